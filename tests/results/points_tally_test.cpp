#include "results/points_tally.h"

#include <gtest/gtest.h>

#include <tuple>

#include "results/points_fixture.h"

namespace meet {
namespace {

using test::Lane;
using test::PointsMeet;

constexpr int A = 0, B = 1, C = 2;

struct FinalCase {
  const char* name;
  std::vector<Lane> lanes;
  int clubLimit;
  std::array<int, 3> points;  // A, B, C
};

TEST(Tally, FinalPlacesAndPoints) {
  const std::vector<FinalCase> cases = {
      {"equal times share a place and both score", {{A, 3000}, {B, 3000}, {C, 3100}}, 99, {10, 10, 6}},
      {"an exhibition swim takes no place", {{A, 2900, 99}, {B, 3000}, {C, 3100}}, 99, {0, 10, 8}},
      {"a special code takes no place", {{A, 700001}, {B, 3000}, {C, 666666}}, 99, {0, 10, 0}},
      {"participation below 666666 is placed", {{A, 600000}, {B, 3000}}, 99, {8, 10, 0}},
      {"no limit: every swim scores", {{A, 700001}, {A, 3100}, {A, 3200}, {B, 3300}}, 99, {18, 6, 0}},
      {"club limit 2: the third swim of a team scores nothing", {{A, 3000}, {A, 3100}, {A, 3200}, {B, 3300}}, 2, {18, 6, 0}},
      {"club limit 1 passes to the next team", {{A, 3000}, {A, 3050}, {B, 3100}}, 1, {10, 8, 0}},
  };
  for (const FinalCase& c : cases) {
    SCOPED_TRACE(c.name);
    PointsMeet meet;
    meet.Event({c.lanes});
    TallyOptions o;
    o.clubLimit = c.clubLimit;
    auto done = meet.Run(o);
    ASSERT_TRUE(done) << done.error().message;
    EXPECT_EQ((std::array<int, 3>{meet.Points(A), meet.Points(B), meet.Points(C)}), c.points);
  }
}

TEST(Tally, TheClubLimitCountsASwimThatTookNoPlace) {
  PointsMeet meet;
  meet.settings.classMode = "1";
  meet.Event({{{A, 2900, 0, 30}, {A, 3000}, {A, 3100}, {B, 3200}}});
  TallyOptions o;
  o.nenreiTo = 20;
  o.clubLimit = 2;
  ASSERT_TRUE(meet.Run(o));
  EXPECT_EQ(meet.Points(A), 10);
  EXPECT_EQ(meet.Points(B), 8);
}

TEST(Tally, SwimmersOutsideTheTalliedRangeTakeNoPlace) {
  PointsMeet meet;
  meet.settings.classMode = "1";
  meet.Event({{{A, 2900, 0, 30}, {B, 3000, 0, 12}, {C, 3100, 0, 12}}});
  TallyOptions o;
  o.nenreiFrom = 1;
  o.nenreiTo = 20;
  ASSERT_TRUE(meet.Run(o));
  EXPECT_EQ(meet.Points(A), 0);
  EXPECT_EQ(meet.Points(B), 10);
  EXPECT_EQ(meet.Points(C), 8);
  EXPECT_EQ(meet.Cell(meet.TeamNo(B), 1, 0), 1);  // one first place
  EXPECT_EQ(meet.Cell(meet.TeamNo(C), 2, 0), 1);
}

// One optkubun.dat record: sex, class range, event-code range.
std::string Category(const std::string& sex, int from, int to, int eventFrom, int eventTo) {
  std::string rec(32, '\0');
  test::Put(rec, 0, sex);
  test::Put(rec, 1, test::Le16(from));
  test::Put(rec, 3, test::Le16(to));
  test::Put(rec, 5, test::Le16(eventFrom));
  test::Put(rec, 7, test::Le16(eventTo));
  return rec;
}

TEST(Tally, ResultsLeftOutByTheRangeAreCountedWithTheRangeThatTakesThemIn) {
  struct Case {
    const char* name;
    std::string classMode;
    std::vector<Lane> individual, relay;  // a final each
    int from, to;
    int leftOut;
    std::string note;
  };
  const std::vector<Case> cases = {
      {"nothing left out", "1", {{A, 3000}, {B, 3100, 0, 100}}, {}, 1, 100, 0, ""},
      {"relays above 100; a disqualified team is not counted", "1", {{A, 3000}},
       {{A, 20000, 0, 183}, {B, 20100, 0, 150}, {C, 700001, 0, 240}}, 1, 100, 2,
       "集計区分 1～100 の外のため 2 件を数えていません（1～183 で数えます）。"},
      {"grade scheme: both ends widened", "2", {{A, 3000, 0, 12, "16"}, {B, 3100, 0, 15, "31"}, {C, 3200}}, {}, 21, 23,
       2, "集計区分 21～23 の外のため 2 件を数えていません（16～31 で数えます）。"},
      {"a range that already covers everything", "1", {{A, 3000, 0, 9}}, {{B, 20000, 0, 183}}, 1, 200, 0, ""},
      {"open scheme: no range applies", "0", {{A, 3000, 0, 150}}, {}, 0, 100, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointsMeet meet;
    meet.settings.classMode = c.classMode;
    meet.Event({c.individual});
    if (!c.relay.empty()) meet.Event({c.relay}, "2", 25);
    TallyOptions o;
    o.nenreiFrom = c.from;
    o.nenreiTo = c.to;
    auto done = meet.Run(o);
    ASSERT_TRUE(done) << done.error().message;
    EXPECT_EQ(done->leftOut, c.leftOut);
    EXPECT_EQ(LeftOutNote(o, *done), c.note);
  }
}

TEST(Tally, UnderGodoASwimLeftOutOfTwoCategoriesCountsOnce) {
  PointsMeet meet;
  meet.settings.seedingMode = "4";
  meet.settings.classMode = "1";
  meet.Event({{{A, 20000, 0, 183}}}, "2", 25);
  test::WriteFile(meet.dir / "optkubun.dat", test::Le16(2) + std::string(30, '\0') + Category("4", 0, 199, 1, 44) +
                                                 Category("4", 100, 299, 1, 44));
  auto done = meet.Run();
  ASSERT_TRUE(done);
  EXPECT_EQ(done->leftOut, 1);
}

// Two heats of five; the ninth and tenth by time are non-finalists.
std::vector<std::vector<Lane>> TenInHeats(int ninthTime) {
  return {{{A, 3000}, {A, 3010}, {A, 3020}, {A, 3030}, {C, ninthTime}},
          {{A, 3040}, {A, 3050}, {A, 3060}, {B, 3060}, {B, 3200}}};
}

TEST(Tally, HeatsScoreOnlyWhenThePlaceAfterTheLanesHasPoints) {
  {
    PointsMeet meet;  // 0 at place 9: heats are not tallied
    meet.Event(TenInHeats(3100), "1");
    ASSERT_TRUE(meet.Run());
    EXPECT_EQ(meet.Points(A) + meet.Points(B) + meet.Points(C), 0);
  }
  PointsMeet meet;
  meet.settings.pointsIndividual[8] = 3;  // place 9
  meet.settings.pointsIndividual[9] = 2;  // place 10
  meet.Event(TenInHeats(3100), "1");
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.Points(A), 0);  // finalists score only in the final
  EXPECT_EQ(meet.Points(C), 3);
  EXPECT_EQ(meet.Points(B), 2);
  EXPECT_EQ(meet.Cell(meet.TeamNo(C), 9, 0), 1);
}

TEST(Tally, InHeatsTheNinthDoesNotShareTheEighthPlace) {
  PointsMeet meet;
  meet.settings.pointsIndividual[8] = 3;
  // The eighth (B 3060) and the ninth (C 3060) swim the same time.
  meet.Event({{{A, 3000}, {A, 3010}, {A, 3020}, {A, 3030}, {A, 3040}},
              {{A, 3050}, {A, 3055}, {B, 3060}, {C, 3060}, {B, 3300}}},
             "1");
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.Cell(meet.TeamNo(C), 9, 0), 1);
  EXPECT_EQ(meet.Points(C), 3);
}

TEST(Tally, TheFirstOfANewEventTakesPlaceOne) {
  PointsMeet meet;
  meet.Event({{{A, 3000}}});
  meet.Event({{{B, 3000}}});
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.Points(A), 10);
  EXPECT_EQ(meet.Points(B), 10);
}

TEST(Tally, ColumnsFollowSexAndRelayWithTheRelayTable) {
  PointsMeet meet;
  meet.Event({{{A, 3000}}}, "2", 2, "2");
  meet.Event({{{A, 3000}}}, "2", 25, "3");
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.Points(A, 1), 10);
  EXPECT_EQ(meet.Points(A, 5), 20);
  EXPECT_EQ(meet.Points(A, 0), 0);
}

TEST(Tally, JointArrangementRanksPerCategoryAndScoresNothingWithoutOne) {
  PointsMeet meet;
  meet.settings.seedingMode = "4";
  meet.settings.classMode = "1";
  meet.Event({{{A, 3000, 0, 10}, {B, 3100, 0, 14}, {C, 3200, 0, 14}}});
  meet.Event({{{A, 3000, 0, 10}}}, "2", 25);
  // Two categories for event 2 only: ages 9–11 and 12–15.
  test::WriteFile(meet.dir / "optkubun.dat",
                  test::Le16(2) + std::string(30, '\0') + Category("4", 9, 11, 2, 2) + Category("4", 12, 15, 2, 2));
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.Points(A), 10);  // first of 9–11
  EXPECT_EQ(meet.Points(B), 10);  // first of 12–15
  EXPECT_EQ(meet.Points(C), 8);
  EXPECT_EQ(meet.Points(A, 3), 0);  // the relay matches no category
}

// Records: class 1 世界無差別 (record 141) and class 6 アジア無差別 (146) of
// men's event 2 (cell 1) at 3050.
std::string TwoRecords() { return test::ShikakuBytes(570, {{141, 1, 3050}, {146, 1, 3050}, {271 + 11, 1, 3000}}); }

TEST(Tally, RecordBonuses) {
  struct Case {
    const char* name;
    BonusMode mode;
    int class1, class6;
    const char* stage;
    int points;
  };
  const std::vector<Case> cases = {
      {"rate 2 doubles the place points", BonusMode::Rate, 2, 1, "2", 20},
      {"add 3 adds three", BonusMode::Add, 3, 0, "2", 13},
      {"two classes reached: the lower class's bonus only", BonusMode::Rate, 2, 5, "2", 20},
      {"a semi-final gets no bonus", BonusMode::Add, 3, 0, "3", 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointsMeet meet;
    test::WriteFile(meet.dir / "shikaku.dat", TwoRecords());
    meet.Event({{{A, 3000}, {B, 3100}}}, c.stage);
    TallyOptions o;
    o.bonusMode = c.mode;
    o.bonus.fill(c.mode == BonusMode::Rate ? 1 : 0);
    o.bonus[0] = static_cast<int16_t>(c.class1);
    o.bonus[5] = static_cast<int16_t>(c.class6);
    auto done = meet.Run(o);
    ASSERT_TRUE(done);
    EXPECT_EQ(meet.Points(A), c.points);
    EXPECT_EQ(meet.Points(B), 8);
    ASSERT_EQ(done->records.size(), 3u);  // two records and the age standard; B reaches nothing
  }
}

TEST(Tally, HeatsAreListedButGetNoBonus) {
  PointsMeet meet;
  meet.settings.pointsIndividual[8] = 1;
  test::WriteFile(meet.dir / "shikaku.dat", TwoRecords());
  meet.Event({{{A, 3000}}}, "1");
  TallyOptions o;
  o.bonusMode = BonusMode::Add;
  o.bonus.fill(5);
  auto done = meet.Run(o);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->records.size(), 3u);
  EXPECT_EQ(meet.Points(A), 0);
}

// The 地区 record (class 26, record 166) of men's event 2 at 30.50: a heat
// and its final, each listed entry as (stage, time, class).
TEST(Tally, TheRecordsListHasARecordBrokenOnce) {
  using Listed = std::tuple<std::string, int32_t, int>;
  struct Case {
    const char* name;
    std::vector<Lane> heat, final;
    std::vector<Listed> listed;
  };
  const std::vector<Case> cases = {
      {"a slower final under the old record is not listed", {{A, 3000}}, {{B, 3020}}, {{"1", 3000, 26}}},
      {"a faster final is listed again", {{A, 3000}}, {{B, 2990}}, {{"1", 3000, 26}, {"2", 2990, 26}}},
      {"an exhibition swim is neither listed nor earlier", {{A, 2900, 99}}, {{B, 3000}}, {{"2", 3000, 26}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointsMeet meet;
    test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{166, 1, 3050}}));
    meet.Event({c.heat}, "1");
    meet.Event({c.final}, "2");
    auto done = meet.Run();
    ASSERT_TRUE(done) << done.error().message;
    std::vector<Listed> listed;
    for (const BikoEntry& b : done->records) listed.emplace_back(b.stageCode, b.time, b.recordClass);
    EXPECT_EQ(listed, c.listed);
  }
}

TEST(Tally, RecordsListBytes) {
  PointsMeet meet;
  meet.settings.classMode = "1";
  test::WriteFile(meet.dir / "shikaku.dat", TwoRecords());
  // A standard (class 32, record 270 + age 12) reached at an equal time; the
  // world record only strictly.
  meet.Event({{{B, 3100}, {A, 3000, 0, 12}}});
  TallyOptions o;
  o.bonus[31] = 7;
  ASSERT_TRUE(meet.Run(o));
  std::string entry(48, '\0');
  test::Put(entry, 0, test::Le16(1));   // raceEventNo
  test::Put(entry, 2, test::Le16(1));   // heatNo
  test::Put(entry, 4, "1");             // sexCode
  test::Put(entry, 5, test::Le16(0));   // classFrom
  test::Put(entry, 7, test::Le16(100)); // classTo
  test::Put(entry, 9, test::Le16(2));   // eventCode
  test::Put(entry, 11, "0");            // relayFlag
  test::Put(entry, 12, "2");            // stageCode
  test::Put(entry, 13, test::Le32(3000));
  test::Put(entry, 17, test::Le16(1));  // recordClass
  test::Put(entry, 19, test::Le16(1));  // place
  test::Put(entry, 21, test::Le16(10)); // placePoints
  test::Put(entry, 23, test::Le16(1));  // reachedOrder
  test::Put(entry, 25, test::Le16(1));  // bonusValue
  test::Put(entry, 27, test::Le16(2) + test::Le16(0) + test::Le16(0) + test::Le16(0));
  test::Put(entry, 35, "13001");
  test::Put(entry, 40, "1");
  std::string second = entry, third = entry;
  test::Put(second, 17, test::Le16(6));
  test::Put(second, 23, test::Le16(2));
  test::Put(third, 17, test::Le16(32));
  test::Put(third, 23, test::Le16(3));
  test::Put(third, 25, test::Le16(7));
  std::string header(48, '\0');
  test::Put(header, 0, test::Le16(3));
  EXPECT_EQ(meet.Biko(), header + entry + second + third);
}

TEST(Tally, NyushoBytes) {
  PointsMeet meet;
  meet.Event({{{A, 3000}}});
  ASSERT_TRUE(meet.Run());
  std::string expected(318 * 11, '\0');
  test::Put(expected, 0, test::Le16(1));
  test::Put(expected, 2, "2024/05/01");
  test::Put(expected, 12, "09:25:00");
  const size_t team = 318 * 10;
  test::Put(expected, team, "13001");
  test::Put(expected, team + 5, test::Sjis("クラブA", 12));
  test::Put(expected, team + 17, test::Sjis("東京都", 6));
  test::Put(expected, team + 23, test::Le16(10));      // tally(0, 0)
  test::Put(expected, team + 23 + 2, test::Le16(1));   // tally(1, 0)
  EXPECT_EQ(meet.Nyusho(), expected);
}

TEST(Tally, PrefectureGroupingMakesOneTeamPerPrefecture) {
  PointsMeet meet;
  meet.settings.affiliationMode = "1";
  meet.Event({{{A, 3000}, {B, 3100}}});
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.TeamCount(), 1);
  EXPECT_EQ(meet.Nyusho().substr(318 * 10, 17), "13000" + test::Sjis("東京都", 12));
  EXPECT_EQ(meet.Cell(1, 0, 0), 18);
}

TEST(Tally, ATeamInTwoRunsKeepsOneRecord) {
  PointsMeet meet;
  meet.Event({{{A, 3000}, {B, 3100}, {A, 3200}}});
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(meet.TeamCount(), 2);
  EXPECT_EQ(meet.Points(A), 16);
}

TEST(Tally, EmptyEntryFileGivesNoTeamsAndEmptyLists) {
  PointsMeet meet;
  meet.Write();
  auto done = RunTally(meet.dir.path(), meet.settings, {}, meet.fake.clock);
  ASSERT_TRUE(done);
  EXPECT_EQ(meet.Nyusho().size(), 192u);
  EXPECT_EQ(meet.TeamCount(), 0);
  EXPECT_EQ(meet.Biko(), std::string(48, '\0'));
}

TEST(Tally, GarbageInputsGiveWhatCanBeComputed) {
  PointsMeet meet;
  meet.Event({{{A, 3000}}});
  meet.Write();
  for (const char* name : {"projun.dat", "taikai.dat", "shikaku.dat", "optkubun.dat", "relay.dat"}) {
    test::WriteFile(meet.dir / name, std::string("\xff\x7f garbage", 10));
  }
  auto done = RunTally(meet.dir.path(), meet.settings, {}, meet.fake.clock);
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_EQ(meet.TeamCount(), 1);
  EXPECT_EQ(meet.Points(A), 0);
}

TEST(Tally, SumsAreHeldAt32767) {
  PointsMeet meet;
  meet.settings.pointsIndividual[0] = 30000;
  meet.Event({{{A, 3000}}});
  meet.Event({{{A, 3000}}});
  auto done = meet.Run();
  ASSERT_TRUE(done);
  EXPECT_TRUE(done->saturated);
  EXPECT_EQ(meet.Points(A), 32767);
}

TEST(Tally, SkippedEventsAreNotTallied) {
  PointsMeet meet;
  meet.Event({{{A, 3000}}});
  TallyOptions o;
  o.events[1] = false;
  ASSERT_TRUE(meet.Run(o));
  EXPECT_EQ(meet.Points(A), 0);
}

}  // namespace
}  // namespace meet
