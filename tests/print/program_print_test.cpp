#include "print/program_print.h"

#include <gtest/gtest.h>

#include "print/frm_lp_page_screen.h"
#include "print/print_fixture.h"

namespace meet {
namespace {

using namespace program_print;
using test::HandRace;

// Six races: 1–4 individual heats of one event, 5 a relay, 6 an individual race.
struct ProgramMeet : test::PrintMeet {
  ProgramMeet() {
    Entries({test::Swimmer("山田　太郎"), test::Swimmer("鈴木　一郎"), test::Swimmer("青葉Ａ", "青葉ＳＣ", 0),
             test::Swimmer("佐藤　花子")});
    std::vector<HandRace> races;
    for (int heat = 1; heat <= 4; ++heat) {
      HandRace r;
      r.eventNo = 3;
      r.heatNo = heat;
      r.heatTotal = 4;
      r.laneNo[3] = heat == 2 ? 1 : 0;
      r.laneNo[4] = heat == 2 ? 9 : 0;  // beyond the entry file
      races.push_back(r);
    }
    HandRace relay;
    relay.eventNo = 7;
    relay.eventCode = 24;
    relay.relayRec = 1;
    relay.laneNo[2] = 3;
    relay.rank[2] = 1;
    relay.laneTime[2] = 20512;
    races.push_back(relay);
    HandRace done;
    done.eventNo = 8;
    done.laneNo[0] = 2;
    done.rank[0] = 1;
    done.laneTime[0] = 3012;
    done.recordClass[0] = 31;
    done.flags = "3" + std::string(11, ' ');
    races.push_back(done);
    Races(races);
    test::HandBlock block;
    block.raceNo = 5;
    block.legs[0][2] = 1;
    block.legs[1][2] = 2;
    block.legs[3][2] = 4;  // leg 3 not entered yet
    Relays({block});
  }
  Status Print(int page, bool officials = false) {
    return PrintProgramPage(fake.printer, PrintSources(files()), dir.path(), page, officials);
  }
};

TEST(PrintProgramPages, PagesThreeToFiveInTwoCopiesEachOnItsOwnSheet) {
  ProgramMeet meet;
  meet.Pages({{1}, {2}, {3}, {4}, {5}});
  auto sheets = PrintProgramPages(meet.fake.platform, meet.files(), 3, 5, 2, false);
  ASSERT_TRUE(sheets) << sheets.error().message;
  EXPECT_EQ(*sheets, 6);
  std::vector<std::pair<int, std::string>> feet;
  for (const auto& i : meet.items())
    if (i.y == kFootY) feet.emplace_back(i.page, i.text);
  const std::vector<std::pair<int, std::string>> expected = {{1, "- 3 -"}, {2, "- 4 -"}, {3, "- 5 -"},
                                                             {4, "- 3 -"}, {5, "- 4 -"}, {6, "- 5 -"}};
  EXPECT_EQ(feet, expected);
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
  EXPECT_EQ(meet.items().back().page, 6);  // no empty sheet after the last page
}

TEST(PrintProgramPages, RefusesPagesBelowOneAndRunawayCounts) {
  ProgramMeet meet;
  meet.Pages({{1}});
  EXPECT_FALSE(PrintProgramPages(meet.fake.platform, meet.files(), 0, 1, 1, false));
  EXPECT_FALSE(PrintProgramPages(meet.fake.platform, meet.files(), 2, 1, 1, false));
  EXPECT_FALSE(PrintProgramPages(meet.fake.platform, meet.files(), 1, 30000, 1, false));
  EXPECT_TRUE(meet.items().empty());
  FrmLpPageScreen screen(meet.dir.path(), meet.settings);
  screen.txtLpS = "-1";
  screen.txtLpE = "1";
  EXPECT_FALSE(screen.cmdZikko(meet.fake.platform));
}

TEST(PrintProgramPage, BlockPositionsHeadingsAndLanes) {
  ProgramMeet meet;
  // Slot 1 heat 1, slot 2 heat 2 (no first heading), an empty slot 3, slot 5 heat 3 (right column).
  meet.Pages({{1, 2, 0, 0, 3}});
  ASSERT_TRUE(meet.Print(1));
  const int row1 = kIndividualTop + 12 * kIndividualLine;
  const test::PrintedItem* first = meet.Item("No.3 男子 50m自由形");
  ASSERT_NE(first, nullptr) << meet.items()[0].text;
  EXPECT_EQ(first->x, kLeftColumn);
  EXPECT_EQ(first->y, kIndividualTop);
  EXPECT_EQ(meet.Line(1, row1), (std::vector<std::string>{}));  // heat 2 has no first heading line
  EXPECT_EQ(meet.Line(1, row1 + kIndividualLine), (std::vector<std::string>{"予選  2組"}));
  // Lane 4 of heat 2: name, affiliation, age, grade, rank, time; lane 5's entry is missing: its number only.
  const int lane4 = row1 + 5 * kIndividualLine;
  EXPECT_EQ(meet.Line(1, lane4), (std::vector<std::string>{" 4", "山田　太郎", "青葉ＳＣ", "12", "中3", "(  )"}));
  EXPECT_EQ(meet.Line(1, lane4 + kIndividualLine), (std::vector<std::string>{" 5"}));
  EXPECT_EQ(meet.Line(1, row1 + 2 * kIndividualLine), (std::vector<std::string>{" 1", "(  )"}));
  // The empty slot 3 prints nothing in its block.
  const int row2 = kIndividualTop + 2 * 12 * kIndividualLine;
  for (int line = 0; line < 12; ++line) EXPECT_TRUE(meet.Line(1, row2 + line * kIndividualLine).empty()) << line;
  // Slot 5 starts the right column at the top.
  const test::PrintedItem* right = nullptr;
  for (const auto& i : meet.items())
    if (i.text == "予選  3組") right = &i;
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->x, kRightColumn);
  EXPECT_EQ(right->y, kIndividualTop + kIndividualLine);
}

TEST(PrintProgramPage, ResultsMarksAndTheOfficialsCopy) {
  ProgramMeet meet;
  meet.Pages({{6}});
  ASSERT_TRUE(meet.Print(1));
  const int lane1 = kIndividualTop + 2 * kIndividualLine;
  EXPECT_EQ(meet.Line(1, lane1),
            (std::vector<std::string>{" 1", "鈴木　一郎", "青葉ＳＣ", "12", "中3", "( 1)", "   30.12", "大会", "3"}));
  meet.fake.printer.items.clear();
  ASSERT_TRUE(meet.Print(1, true));
  EXPECT_EQ(meet.Line(1, lane1), (std::vector<std::string>{" 1", "鈴木　一郎", "青葉ＳＣ", "12", "中3", "( 1)", "ｱｵﾊﾞ"}));
}

TEST(PrintProgramPage, PrefectureColumnsFollowTheSetting) {
  ProgramMeet meet;
  meet.settings.prefecturePrint = "1";
  meet.Pages({{6}});
  ASSERT_TRUE(meet.Print(1));
  const test::PrintedItem* pref = meet.Item("東京 青葉ＳＣ");
  ASSERT_NE(pref, nullptr);
  EXPECT_EQ(pref->x, kLeftColumn + kPrefecture);
  EXPECT_EQ(meet.Item("12")->x, kLeftColumn + kAgeOrGrade);
}

TEST(PrintProgramPage, RelayBlockAcrossThePageWithItsMembers) {
  ProgramMeet meet;
  meet.Pages({{5, 5}});
  ASSERT_TRUE(meet.Print(1));
  const int lane3 = kRelayTops[0] + 4 * kRelayLine;
  std::vector<std::pair<int, std::string>> line;
  for (const auto& i : meet.items())
    if (i.page == 1 && i.y == lane3) line.emplace_back(i.x, i.text);
  const std::vector<std::pair<int, std::string>> expected = {
      {kRelayLeft, " 3"},          {kTeamName, "青葉Ａ"},          {kMemberColumns[0], "山田　太"},
      {kMemberColumns[1], "鈴木　一"}, {kMemberColumns[3], "佐藤　花"}, {kRelayAffiliation, "青葉ＳＣ"},
      {kRelayRank, "( 1)"},        {kRelayTime, " 2:05.12"}};
  EXPECT_EQ(line, expected);
  // The same race in slot 2 goes to the second relay row.
  EXPECT_NE(meet.Item("No.7 男子 200mメドレーリレー"), nullptr) << meet.items()[0].text;
  bool secondRow = false;
  for (const auto& i : meet.items()) secondRow |= i.y == kRelayTops[1] && i.x == kRelayLeft;
  EXPECT_TRUE(secondRow);
}

TEST(PrintProgramPage, APageAboveTheCountPrintsOnlyItsNumber) {
  ProgramMeet meet;
  meet.Pages({{1}});
  ASSERT_TRUE(meet.Print(4));
  ASSERT_EQ(meet.items().size(), 1u);
  EXPECT_EQ(meet.items()[0].text, "- 4 -");
  EXPECT_EQ(meet.items()[0].x, kFootX);
  EXPECT_FALSE(meet.Print(0));
}

TEST(FrmLpPageScreen, OpensOnThePageHoldingTheRace) {
  ProgramMeet meet;
  meet.Pages({{1, 2}, {3, 4}, {5}});
  FrmLpPageScreen screen(meet.dir.path(), meet.settings);
  screen.OpenOnRace(4);
  EXPECT_EQ(screen.txtLpS, "2");
  EXPECT_EQ(screen.txtLpE, "2");
  EXPECT_EQ(screen.txtMaisu, "1");
  FrmLpPageScreen none(meet.dir.path(), meet.settings);
  none.OpenOnRace(6);
  EXPECT_EQ(none.txtLpS, "");
}

}  // namespace
}  // namespace meet
