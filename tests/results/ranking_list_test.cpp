// The ranking lists: ranks across heats, special codes, entry times, the
// result filters after the rank, categories under 合同, masking, the event
// filters and damaged input.
#include "results/ranking_list.h"

#include <gtest/gtest.h>

#include "results/ranking_fixture.h"

namespace meet {
namespace {

using test::HandProgramEntry;
using test::HandRace;
using P = std::pair<std::string, std::string>;  // shown rank, name

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

struct Meet : test::RankingMeet {
  // Heats of one event (races 1..), three lanes each; swimmer n swims in
  // heat (n − 1) / 3 + 1, its time the n-th of `times`.
  void Heats(const std::vector<int>& times, const std::vector<int>& entryTimes = {},
             const std::vector<int>& recordClasses = {}, int lanes = 3) {
    std::vector<test::HandEntry> swimmers;
    for (size_t i = 0; i < times.size(); ++i) swimmers.push_back(test::RankSwimmer("選手" + std::to_string(i + 1)));
    Entries(swimmers);
    const int heats = static_cast<int>((times.size() + lanes - 1) / lanes);
    std::vector<HandRace> races;
    for (int h = 0; h < heats; ++h) {
      HandRace r;
      r.heatNo = h + 1;
      r.heatTotal = heats;
      for (int k = 0; k < lanes && h * lanes + k < static_cast<int>(times.size()); ++k) {
        const size_t i = static_cast<size_t>(h * lanes + k);
        r.laneNo[static_cast<size_t>(k)] = static_cast<int>(i) + 1;
        r.laneTime[static_cast<size_t>(k)] = times[i];
        if (i < entryTimes.size()) r.entryTime[static_cast<size_t>(k)] = entryTimes[i];
        if (i < recordClasses.size()) r.recordClass[static_cast<size_t>(k)] = recordClasses[i];
      }
      races.push_back(r);
    }
    Races(races);
    Program({HandProgramEntry{1, heats, "1", 0, 100, 2, "1", 1}});
  }
  std::vector<std::vector<P>> Lists(const RankingOptions& options) {
    auto run = RankingRun::Start(files(), options);
    EXPECT_TRUE(run) << run.error().message;
    std::vector<std::vector<P>> out;
    while (run && !run->finished())
      for (const RankingBlock& b : run->Step()) {
        out.emplace_back();
        for (const RankingRow& row : b.rows)
          if (!row.member) out.back().emplace_back(Trim(row.cells[0]), Trim(row.cells[2]));
      }
    return out;
  }
};

TEST(RankingRun, EqualTimesInDifferentHeatsShareARankAndSpecialCodesComeLastWithout) {
  Meet meet;
  meet.Heats({3050, 700002, 3300, 3010, 3050, 3100});
  RankingOptions o;
  EXPECT_EQ(meet.Lists(o), (std::vector<std::vector<P>>{
                               {{"1", "選手4"}, {"2", "選手1"}, {"2", "選手5"}, {"4", "選手6"}, {"5", "選手3"}, {"", "選手2"}}}));
  // The rank limit counts the disqualified swimmer at the position he would have had.
  o.maxRank = 5;
  EXPECT_EQ(meet.Lists(o).at(0).size(), 5u);
  o.maxRank = 6;
  EXPECT_EQ(meet.Lists(o).at(0).back(), (P{"", "選手2"}));
}

TEST(RankingRun, AnExhibitionSwimIsNotRanked) {
  Meet meet;
  meet.Heats({2900, 3000, 3100, 3000}, {}, {99, 0, 0, 0}, 2);
  RankingOptions o;
  EXPECT_EQ(meet.Lists(o), (std::vector<std::vector<P>>{{{"1", "選手2"}, {"1", "選手4"}, {"3", "選手3"}}}));
}

TEST(RankingRun, ResultFiltersKeepTheFullListRanks) {
  Meet meet;
  std::vector<int> times, classes(10, 0);
  for (int i = 0; i < 10; ++i) times.push_back(3000 + 10 * i);
  classes[2] = 21;
  classes[7] = 31;
  classes[8] = 21;
  meet.Heats(times, {}, classes, 5);
  RankingOptions o;
  o.records = true;
  o.maxRank = 8;
  EXPECT_EQ(meet.Lists(o), (std::vector<std::vector<P>>{{{"3", "選手3"}, {"8", "選手8"}}}));
}

TEST(RankingRun, EntryTimesAreRankedUnderMoshikomi) {
  Meet meet;
  meet.Heats({3000, 3100, 3200}, {3300, 3200, 3100});
  RankingOptions o;
  o.stage = kStageEntry;
  EXPECT_EQ(meet.Lists(o), (std::vector<std::vector<P>>{{{"1", "選手3"}, {"2", "選手2"}, {"3", "選手1"}}}));
}

TEST(RankingRun, RangesTheWrongWayRoundListNothing) {
  Meet meet;
  meet.Heats({3000, 3100});
  for (auto set : std::vector<void (*)(RankingOptions&)>{
           [](RankingOptions& o) { o.ageFrom = 20, o.ageTo = 10; },
           [](RankingOptions& o) { o.openFrom = 14, o.openTo = 0; },
           [](RankingOptions& o) { o.maxRank = 0; },
           [](RankingOptions& o) { o.regPrefix = "99"; }}) {
    RankingOptions o;
    set(o);
    EXPECT_TRUE(meet.Lists(o).empty());
  }
  RankingOptions o;
  o.regPrefix = " 23 ";
  EXPECT_EQ(meet.Lists(o).at(0).size(), 2u);
}

TEST(RankingRun, ResultsLeftOffByTheAgeOrGradeRangeAreCountedWithTheRangesThatListThem) {
  struct Swimmer {
    int age;
    std::string grade;
  };
  struct Case {
    const char* name;
    std::vector<Swimmer> swimmers;  // one heat, times in this order
    void (*set)(RankingOptions&);
    int leftOut;
    std::string note;
    bool laneWithoutEntry = false;  // one more lane, its entry past the entry file
  };
  const std::vector<Case> cases = {
      {"nothing left out", {{12, "23"}, {100, "23"}}, [](RankingOptions&) {}, 0, ""},
      {"relays above 100", {{183, "  "}, {150, "  "}, {12, "23"}}, [](RankingOptions&) {}, 2,
       "年齢 0～100 の外のため 2 件を載せていません（年齢 0～183 で載せます）。"},
      {"grade range: both ends widened", {{12, "16"}, {15, "31"}, {14, "23"}},
       [](RankingOptions& o) { o.gradeFrom = 21, o.gradeTo = 23; }, 2,
       "学年 21～23 の外のため 2 件を載せていません（学年 16～31 で載せます）。"},
      {"both ranges", {{30, "41"}, {12, "23"}}, [](RankingOptions& o) { o.ageTo = 20, o.gradeTo = 30; }, 1,
       "年齢 0～20・学年 0～30 の外のため 1 件を載せていません（年齢 0～30・学年 0～41 で載せます）。"},
      {"left off by the rank limit as well: not counted", {{12, "23"}, {183, "  "}},
       [](RankingOptions& o) { o.maxRank = 1; }, 0, ""},
      {"a range that already covers everything", {{183, "  "}, {12, "23"}}, [](RankingOptions& o) { o.ageTo = 200; },
       0, ""},
      {"a lane whose entry is past the file is not counted", {{12, "23"}},
       [](RankingOptions& o) { o.ageFrom = 10, o.ageTo = 20; }, 0, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Meet meet;
    std::vector<int> times;
    std::vector<test::HandEntry> entries;
    for (const Swimmer& s : c.swimmers) {
      times.push_back(3000 + 100 * static_cast<int>(times.size()));
      entries.push_back(test::HandEntry{"2301234567", "選手", "ｶﾅ", "東京都", "青葉ＳＣ", s.grade, s.age});
    }
    if (c.laneWithoutEntry) times.push_back(9000);
    meet.Heats(times, {}, {}, 8);
    meet.Entries(entries);
    RankingOptions o;
    c.set(o);
    auto run = RankingRun::Start(meet.files(), o);
    ASSERT_TRUE(run);
    while (!run->finished()) run->Step();
    EXPECT_EQ(run->leftOut(), c.leftOut);
    EXPECT_EQ(run->LeftOutNote(), c.note);
  }
}

TEST(RankingRun, SwimmersOfPrefecture34AreMaskedUnlessUnmasked) {
  Meet meet;
  meet.Heats({3000});
  meet.Entries({test::RankSwimmer("広島太郎", 12, "3401234567")});
  auto row = [&](bool unmask) {
    RankingOptions o;
    o.unmask = unmask;
    auto run = RankingRun::Start(meet.files(), o);
    return run->Step().at(0).rows.at(0).cells;
  };
  const auto masked = row(false);
  EXPECT_EQ(masked[2], kMaskedName);
  EXPECT_EQ(masked[3], kMaskedKana);
  EXPECT_EQ(masked[7], kMaskedClub);
  EXPECT_EQ(masked[13], "3401234567");
  EXPECT_EQ(Trim(row(true)[2]), "広島太郎");
}

TEST(RankingRun, UnderGodoEachCategoryIsRankedOnItsOwn) {
  Meet meet;
  meet.settings.seedingMode = "4";
  meet.settings.classMode = "1";
  std::vector<test::HandEntry> swimmers = {test::RankSwimmer("若1", 9), test::RankSwimmer("年1", 30),
                                           test::RankSwimmer("若2", 10), test::RankSwimmer("年2", 40)};
  HandRace r;
  r.heatTotal = 1;
  for (size_t k = 0; k < 4; ++k) {
    r.laneNo[k] = static_cast<int>(k) + 1;
    r.laneTime[k] = 3000 + 100 * static_cast<int>(k);
  }
  meet.Entries(swimmers);
  meet.Races({r});
  meet.Program({HandProgramEntry{}});
  // optkubun.dat: two categories for every sex and event, one title-only.
  auto cat = [](const std::string& sex, int from, int to, const std::string& name, const std::string& t) {
    std::string rec(32, '\0');
    test::Put(rec, 0, sex);
    test::Put(rec, 1, test::Le16(from));
    test::Put(rec, 3, test::Le16(to));
    test::Put(rec, 5, test::Le16(1));
    test::Put(rec, 7, test::Le16(44));
    test::Put(rec, 9, test::Sjis(name, 12));
    test::Put(rec, 21, t);
    return rec;
  };
  test::WriteFile(meet.dir / "optkubun.dat", test::Le16(3) + std::string(30, '\0') + cat("4", 0, 10, "10歳以下", " ") +
                                                 cat("1", 11, 99, "11歳以上", " ") + cat("4", 0, 99, "見出し", "T"));
  EXPECT_EQ(meet.Lists(RankingOptions{}),
            (std::vector<std::vector<P>>{{{"1", "若1"}, {"2", "若2"}}, {{"1", "年1"}, {"2", "年2"}}}));
}

TEST(RankingRun, RelayTeamsAreFollowedByTheirMembers) {
  Meet meet;
  std::vector<test::HandEntry> swimmers = {test::RankSwimmer("青葉Ａ"), test::RankSwimmer("泳者1"),
                                           test::RankSwimmer("泳者2", 12, "3400000000")};
  meet.Entries(swimmers);
  HandRace r;
  r.eventCode = 26;
  r.relayRec = 1;
  r.laneNo[0] = 1;
  r.laneTime[0] = 20000;
  meet.Races({r});
  test::HandBlock block;
  block.raceNo = 1;
  block.legs[0][0] = 2;
  block.legs[2][0] = 3;
  meet.Relays({block});
  meet.Program({HandProgramEntry{1, 1, "1", 0, 100, 26, "1", 1}});
  auto run = RankingRun::Start(meet.files(), RankingOptions{});
  const auto rows = run->Step().at(0).rows;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[1].member);
  EXPECT_EQ(Trim(rows[1].cells[kMemberColumns[0]]), "泳者1");
  EXPECT_EQ(rows[1].cells[kMemberColumns[1]], "");
  EXPECT_EQ(rows[1].cells[kMemberColumns[2]], kMaskedName);
}

TEST(RankingRun, ProgramOrderListsEveryRaceWithItsStoredPlacings) {
  Meet meet;
  meet.Heats({3000, 0, 3200, 3100});
  RankingOptions o;
  o.order = kOrderProgram;
  o.maxRank = 0;  // no filter applies
  auto run = RankingRun::Start(meet.files(), o);
  ASSERT_EQ(run->count(), 2);
  const auto block = run->Step().at(0);
  ASSERT_EQ(block.rows.size(), 3u);  // lanes with a swimmer, timed or not
  EXPECT_EQ(block.rows[1].cells[1], "  1- 2 ");
  EXPECT_EQ(block.rows[1].cells[8], " " + std::string());
}

TEST(RankingRun, DamagedProgramOrRaceFileNeverCrashes) {
  Meet meet;
  meet.Heats({3000});
  meet.Program({HandProgramEntry{1, 1, "1", 0, 100, 2, "1", 500}, HandProgramEntry{1, 1, "1", 0, 100, 2, "1", -3}});
  EXPECT_TRUE(meet.Lists(RankingOptions{}).empty());
  test::WriteFile(meet.dir / "taikai.dat", "garbage");
  test::WriteFile(meet.dir / "projun.dat", std::string(5, '\xff'));
  EXPECT_TRUE(meet.Lists(RankingOptions{}).empty());
}

TEST(EventListed, FiltersOnDistanceStrokeStageAndSex) {
  struct Row {
    int eventCode;
    std::string sex, stage;
    int distance, stroke, stageOption, sexOption;
    bool listed;
  };
  const Row rows[] = {
      {2, "1", "1", 0, 0, 0, 0, true},    {2, "1", "1", 2, 1, 0, 0, true},   {2, "1", "1", 3, 0, 0, 0, false},
      {20, "1", "1", 3, 5, 0, 0, true},   {29, "1", "1", 6, 7, 0, 0, true},  {7, "1", "1", 7, 1, 0, 0, true},
      {8, "1", "1", 0, 1, 0, 0, false},   {35, "1", "1", 0, 0, 0, 0, true},  {35, "1", "1", 1, 0, 0, 0, false},
      {35, "1", "1", 0, 1, 0, 0, false},  {2, "1", "4", 0, 0, 3, 0, true},   {2, "1", "3", 0, 0, 3, 0, false},
      {2, "1", "3", 0, 0, 4, 0, true},    {2, "1", "2", 0, 0, 5, 0, true},   {2, "1", "2", 0, 0, 6, 0, true},
      {2, "2", "1", 0, 0, 0, 1, false},   {2, "2", "1", 0, 0, 0, 2, true},   {2, "3", "1", 0, 0, 0, 2, false},
  };
  for (const Row& r : rows) {
    ProgramEntry e;
    e.orderNo = 1;
    e.eventCode = static_cast<int16_t>(r.eventCode);
    e.sexCode = r.sex;
    e.stageCode = r.stage;
    RankingOptions o;
    o.distance = r.distance;
    o.stroke = r.stroke;
    o.stage = r.stageOption;
    o.sex = r.sexOption;
    EXPECT_EQ(EventListed(e, o), r.listed) << r.eventCode << " " << r.stage << " " << r.stageOption;
  }
  ProgramEntry hidden;
  hidden.orderNo = 0;
  EXPECT_FALSE(EventListed(hidden, RankingOptions{}));
}

}  // namespace
}  // namespace meet
