#include "print/results_print.h"

#include <gtest/gtest.h>

#include "print/print_fixture.h"

namespace meet {
namespace {

using namespace results_print;
using test::HandRace;

// Two heats of one event; places and the texts of the place column in print order.
struct ResultsMeet : test::PrintMeet {
  void TwoHeats(std::array<int, 3> heat1, std::array<int, 3> heat2, int recordClassOfFirst = 0, int eventCode = 2) {
    std::vector<test::HandEntry> swimmers;
    for (int i = 1; i <= 6; ++i) swimmers.push_back(test::Swimmer("選手" + std::to_string(i)));
    Entries(swimmers);
    std::vector<HandRace> races;
    for (int heat = 1; heat <= 2; ++heat) {
      HandRace r;
      r.heatNo = heat;
      r.heatTotal = 2;
      r.eventCode = eventCode;
      r.relayRec = eventCode >= 23 ? heat : 0;
      const auto& times = heat == 1 ? heat1 : heat2;
      for (size_t k = 0; k < 3; ++k) {
        r.laneNo[k] = static_cast<int>((heat - 1) * 3 + k + 1);
        r.laneTime[k] = times[k];
      }
      if (heat == 1) r.recordClass[0] = recordClassOfFirst;
      races.push_back(r);
    }
    Races(races);
  }
  std::vector<std::pair<std::string, std::string>> PlacesAndNames() const {
    // A result line is a line with a name; its place is printed first, and
    // nothing is printed for no place.
    std::vector<std::pair<std::string, std::string>> out;
    const test::PrintedItem* place = nullptr;
    for (const auto& i : items()) {
      if (i.x == kColumns[0].x) place = &i;
      if (i.x == kColumns[2].x && i.text != kColumns[2].head) {
        const bool placed = place && place->y == i.y && place->page == i.page;
        out.emplace_back(placed ? place->text : "", i.text);
      }
    }
    return out;
  }
};

TEST(PrintRaceResults, EqualTimesAcrossHeatsShareAPlaceAndStatusesComeLastWithout) {
  ResultsMeet meet;
  meet.TwoHeats({3050, 700002, 0}, {3010, 3050, 3100});
  auto listed = PrintRaceResults(meet.fake.platform, meet.files(), 2, 1);
  ASSERT_TRUE(listed) << listed.error().message;
  EXPECT_EQ(*listed, 5);
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(meet.PlacesAndNames(), (std::vector<P>{{"  1", "  選手4"}, {"  2", "  選手1"}, {"  2", "  選手5"},
                                                   {"  4", "  選手6"}, {"", "  選手2"}}));
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
}

TEST(PrintRaceResults, ExhibitionSwimsAndNoRecordAreLeftOut) {
  ResultsMeet meet;
  meet.TwoHeats({3050, 999999, 3300}, {3010, 0, 3100}, 99);
  ASSERT_TRUE(PrintRaceResults(meet.fake.platform, meet.files(), 1, 1));
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(meet.PlacesAndNames(), (std::vector<P>{{"  1", "  選手4"}, {"  2", "  選手6"}, {"  3", "  選手3"}}));
}

TEST(PrintRaceResults, LineColumnsAndTheRightAlignedAffiliation) {
  ResultsMeet meet;
  meet.TwoHeats({3050, 0, 0}, {0, 0, 0});
  ASSERT_TRUE(PrintRaceResults(meet.fake.platform, meet.files(), 1, 1));
  const auto& items = meet.items();
  auto at = [&](int x) -> std::string {
    for (auto it = items.rbegin(); it != items.rend(); ++it)
      if (it->x == x) return it->text;
    return "?";
  };
  EXPECT_EQ(at(kColumns[1].x), " 1- 1");
  EXPECT_EQ(at(kColumns[3].x), "ｱｵﾊﾞ");
  EXPECT_EQ(at(kColumns[4].x), "12");
  EXPECT_EQ(at(kColumns[5].x), "中3");
  // 8 bytes at size 9 are 720 twips wide: (1320 − 720) div 110 = 5 blanks.
  EXPECT_EQ(at(kColumns[7].x), "     青葉ＳＣ");
  EXPECT_EQ(at(kColumns[8].x), "   30.50");
  EXPECT_EQ(at(kColumns[13].x), "2301234567");  // 旧番号, apart from the entry code's 番号
  EXPECT_EQ(at(kDateX), "2024/05/01  09:25:00");
}

TEST(PrintRaceResults, RelayTeamsCarryTheirMembersAndPagesEveryTenTeams) {
  ResultsMeet meet;
  std::vector<test::HandEntry> entries;
  for (int i = 1; i <= 30; ++i) entries.push_back(test::Swimmer("人" + std::to_string(i)));
  meet.Entries(entries);
  std::vector<HandRace> races;
  std::vector<test::HandBlock> blocks;
  for (int heat = 1; heat <= 2; ++heat) {
    HandRace r;
    r.heatNo = heat;
    r.heatTotal = 2;
    r.eventCode = 26;
    r.relayRec = heat;
    test::HandBlock b;
    b.raceNo = heat;
    for (size_t k = 0; k < 6; ++k) {
      r.laneNo[k] = static_cast<int>(heat * 6 + k - 5);
      r.laneTime[k] = 20000 + static_cast<int>(heat * 10 + k);
      for (size_t leg = 0; leg < 4; ++leg) b.legs[leg][k] = static_cast<int>(13 + leg);
    }
    races.push_back(r);
    blocks.push_back(b);
  }
  meet.settings.laneCount = 6;
  meet.Races(races);
  meet.Relays(blocks);
  ASSERT_TRUE(PrintRaceResults(meet.fake.platform, meet.files(), 1, 1, 10));
  int members = 0, lastPage = 0;
  for (const auto& i : meet.items()) {
    if (i.x == kMemberX[3] && i.text == "人16") ++members;
    lastPage = std::max(lastPage, i.page);
  }
  EXPECT_EQ(members, 12);
  EXPECT_EQ(lastPage, 2);  // 12 teams: ten on the first page
}

TEST(PrintRaceResults, SectionsPerOptionalCategoryUnderGodo) {
  ResultsMeet meet;
  meet.settings.seedingMode = "4";
  meet.settings.classMode = "1";
  meet.Entries({test::Swimmer("若手", "Ａ", 10), test::Swimmer("年長", "Ｂ", 14), test::Swimmer("他", "Ｃ", 30)});
  HandRace r;
  r.laneNo = {1, 2, 3};
  r.laneTime = {3100, 3000, 2900};
  meet.Races({r});
  std::string cats(32 * 4, '\0');
  test::Put(cats, 0, test::Le16(3));
  auto cat = [&](int n, const std::string& sex, int from, int to, const std::string& name, const std::string& t) {
    const size_t at = static_cast<size_t>(n) * 32;
    test::Put(cats, at, sex);
    test::Put(cats, at + 1, test::Le16(from));
    test::Put(cats, at + 3, test::Le16(to));
    test::Put(cats, at + 5, test::Le16(1));
    test::Put(cats, at + 7, test::Le16(22));
    test::Put(cats, at + 9, test::Sjis(name, 12));
    test::Put(cats, at + 21, t);
  };
  cat(1, "4", 1, 12, "12歳以下", " ");
  cat(2, "1", 13, 18, "13-18歳", " ");
  cat(3, "4", 1, 100, "見出し", "T");
  test::WriteFile(meet.dir / "optkubun.dat", cats);
  ASSERT_TRUE(PrintRaceResults(meet.fake.platform, meet.files(), 1, 1));
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(meet.PlacesAndNames(), (std::vector<P>{{"  1", "   若手"}, {"  1", "   年長"}, {"  1", "    他"}}));
  EXPECT_NE(meet.Item("男子 予選 12歳以下 50m自由形"), nullptr);
  EXPECT_NE(meet.Item("男子 予選 13-18歳 50m自由形"), nullptr);
}

}  // namespace
}  // namespace meet
