#include "race/rank_lanes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/time_code.h"
#include "race/frm_race_screen.h"
#include "race/kyogi_fixture.h"

namespace meet {
namespace {

Race WithLanes(std::initializer_list<std::pair<int, int32_t>> lanes) {
  Race race;
  size_t k = 0;
  for (auto [no, time] : lanes) {
    race.laneNo[k] = static_cast<int16_t>(no);
    race.laneTime[k] = time;
    ++k;
  }
  return race;
}

TEST(PlacingKey, TimeRightAlignedThenTwoDigitSlot) {
  Race race = WithLanes({{5, 2507}, {0, 3000}, {7, 0}});
  EXPECT_EQ(PlacingKey(race, 0), "  250700");
  EXPECT_EQ(PlacingKey(race, 1), "99999901");  // no swimmer
  EXPECT_EQ(PlacingKey(race, 2), "     002");
}

struct RankCase {
  const char* name;
  std::vector<std::pair<int, int32_t>> lanes;  // laneNo, time per slot 0..
  std::vector<int16_t> ranks;                  // expected placing per slot
  std::vector<int32_t> times;                  // expected time per slot
};

class RankLanesTable : public ::testing::TestWithParam<RankCase> {};

TEST_P(RankLanesTable, PlacesAsTheTextKeysSort) {
  const RankCase& c = GetParam();
  Race race;
  for (size_t k = 0; k < c.lanes.size(); ++k) {
    race.laneNo[k] = static_cast<int16_t>(c.lanes[k].first);
    race.laneTime[k] = c.lanes[k].second;
    race.laneRank[k] = 99;  // stale placings are always replaced
  }
  rankLanes(race);
  for (size_t k = 0; k < c.ranks.size(); ++k) {
    EXPECT_EQ(race.laneRank[k], c.ranks[k]) << c.name << " slot " << k;
    EXPECT_EQ(race.laneTime[k], c.times[k]) << c.name << " slot " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RankLanesTable,
    ::testing::Values(
        RankCase{"tie", {{1, 3000}, {2, 2900}, {3, 2900}, {4, 3100}}, {3, 1, 1, 4}, {3000, 2900, 2900, 3100}},
        RankCase{"two at zero", {{1, 0}, {2, 3100}, {3, 0}, {4, 3000}}, {0, 2, 0, 1}, {0, 3100, 0, 3000}},
        RankCase{"withdrawn has no place", {{1, 2500}, {2, kWithdrawn}, {3, 2600}}, {1, 0, 2}, {2500, kWithdrawn, 2600}},
        RankCase{"statuses after times", {{1, 700002}, {2, 666666}, {3, 2600}}, {0, 0, 1}, {700002, 666666, 2600}},
        RankCase{"above 777777 becomes withdrawn", {{1, 800000}, {2, 2600}}, {0, 1}, {kWithdrawn, 2600}},
        RankCase{"no swimmer cleared", {{0, 2400}, {2, 2600}}, {0, 1}, {0, 2600}},
        RankCase{"participation stored by the system has no place", {{1, 666666}, {2, 595899}}, {0, 1}, {666666, 595899}},
        RankCase{"codes up to 666665 are placed", {{1, 666665}, {2, 595899}}, {2, 1}, {666665, 595899}}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (ch == ' ') ch = '_';
      return n;
    });

// The exhibition rule through both placings, the race screen's and the
// confirmation's: the lanes are typed in the confirmation in order of time.
struct ExhibitionCase {
  const char* name;
  std::vector<std::array<int32_t, 3>> lanes;  // laneNo, time, record class per slot 0..
  std::vector<int16_t> ranks;
};

TEST(ExhibitionPlacing, AnExhibitionSwimTakesNoPlaceAndIsNotCounted) {
  const std::vector<ExhibitionCase> cases = {
      {"fastest: the others are placed 1, 2, 3", {{1, 2500, 99}, {2, 2600, 0}, {3, 2700, 0}, {4, 2800, 0}}, {0, 1, 2, 3}},
      {"in the middle", {{1, 2500, 0}, {2, 2600, 99}, {3, 2700, 0}}, {1, 0, 2}},
      {"equal to a swimmer: the swimmer places alone", {{1, 2500, 0}, {2, 2600, 99}, {3, 2600, 0}, {4, 2700, 0}},
       {1, 0, 2, 3}},
      {"a tie after it is still shared", {{1, 2500, 99}, {2, 2600, 0}, {3, 2600, 0}, {4, 2700, 0}}, {0, 1, 1, 3}},
      {"only exhibition swimmers", {{1, 2500, 99}, {2, 2600, 99}}, {0, 0}},
      {"disqualified exhibition swimmer", {{1, 700002, 99}, {2, 2600, 0}}, {0, 1}},
      {"record classes other than 99 are placed", {{1, 2500, 26}, {2, 2600, 31}, {3, 2700, 98}}, {1, 2, 3}},
  };
  for (const ExhibitionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Race race;
    std::array<FinishRow, kFinishRows> rows{};
    for (size_t k = 0; k < c.lanes.size(); ++k) {
      race.laneNo[k] = static_cast<int16_t>(c.lanes[k][0]);
      race.laneTime[k] = c.lanes[k][1];
      race.laneRecordClass[k] = static_cast<int16_t>(c.lanes[k][2]);
      race.laneRank[k] = 7;  // a stale placing
      rows[k] = {static_cast<int16_t>(k + 1), c.lanes[k][1]};
    }
    std::sort(rows.begin(), rows.begin() + static_cast<long>(c.lanes.size()),
              [](const FinishRow& a, const FinishRow& b) { return a.time < b.time; });
    const LanePlacing confirmed = PlaceFinishRows(rows, race.laneNo, race.laneRecordClass);
    rankLanes(race);
    for (size_t k = 0; k < c.ranks.size(); ++k) {
      EXPECT_EQ(race.laneRank[k], c.ranks[k]) << "rankLanes slot " << k;
      EXPECT_EQ(race.laneTime[k], c.lanes[k][1]) << "rankLanes slot " << k;  // the time is kept
      EXPECT_EQ(confirmed.rank[k], c.ranks[k]) << "confirmation slot " << k;
      EXPECT_EQ(confirmed.time[k], c.lanes[k][1]) << "confirmation slot " << k;
    }
  }
}

TEST(RankLanes, AlternatesNeverTakePartNorChange) {
  Race race = WithLanes({{1, 3000}, {2, 3100}});
  race.laneNo[10] = 9;
  race.laneTime[10] = 100;  // faster than every lane
  race.laneRank[10] = 5;
  race.laneNo[11] = 0;
  race.laneTime[11] = 4000;
  rankLanes(race);
  EXPECT_EQ(race.laneRank[0], 1);
  EXPECT_EQ(race.laneRank[1], 2);
  EXPECT_EQ(race.laneRank[10], 5);
  EXPECT_EQ(race.laneTime[10], 100);
  EXPECT_EQ(race.laneTime[11], 4000);
}

TEST(RankLanes, GarbageTimesNeverBreakTheWalk) {
  Race race = WithLanes({{1, -5}, {2, 12345678}, {3, 2600}});
  rankLanes(race);
  EXPECT_EQ(race.laneTime[1], kWithdrawn);
  EXPECT_EQ(race.laneRank[1], 0);
  EXPECT_GT(race.laneRank[2], 0);
}

// Race.dat with the states of races 1..: the rest "0".
struct StatesFolder {
  test::TempDir dir;
  explicit StatesFolder(const std::string& states) {
    std::string bytes(1024, '0');
    bytes.replace(0, states.size(), states);
    test::WriteFile(dir / "Race.dat", bytes);
  }
  std::string States(size_t n) const { return test::ReadFile(dir / "Race.dat").substr(0, n); }
};

Race Heat(int heat, int total) {
  Race race;
  race.heatNo = static_cast<int16_t>(heat);
  race.heatTotal = static_cast<int16_t>(total);
  return race;
}

TEST(MarkRaceChanged, PrintedLaterHeatsAllBecomeChanged) {
  StatesFolder meet("18886");  // race 2 is heat 2 of 3: races 2 and 3
  ASSERT_TRUE(markRaceChanged(meet.dir.path(), 2, Heat(2, 3)));
  EXPECT_EQ(meet.States(5), "17786");
}

TEST(MarkRaceChanged, AnUnprintedLaterHeatLeavesTheOthers) {
  StatesFolder meet("1818");  // heat 3 (race 3) not printed
  ASSERT_TRUE(markRaceChanged(meet.dir.path(), 2, Heat(2, 3)));
  EXPECT_EQ(meet.States(4), "1718");
}

TEST(MarkRaceChanged, LastHeatAndNonsenseHeatsMarkOnlyThisRace) {
  StatesFolder meet("888");
  ASSERT_TRUE(markRaceChanged(meet.dir.path(), 3, Heat(1, 1)));
  EXPECT_EQ(meet.States(3), "887");
  ASSERT_TRUE(markRaceChanged(meet.dir.path(), 1, Heat(5, 2)));  // heat above the count
  EXPECT_EQ(meet.States(3), "787");
}

TEST(MarkRaceChanged, WritesOnlyTheChangedBytes) {
  StatesFolder meet("18");
  std::string before = test::ReadFile(meet.dir / "Race.dat");
  ASSERT_TRUE(markRaceChanged(meet.dir.path(), 2, Heat(1, 1)));
  std::string after = test::ReadFile(meet.dir / "Race.dat");
  ASSERT_EQ(after.size(), 1024u);
  before[1] = '7';
  EXPECT_EQ(after, before);
}

TEST(MarkRaceChanged, HeatsPastTheEndOfTheFileAreNotPrinted) {
  test::TempDir dir;
  test::WriteFile(dir / "Race.dat", "88");  // a short file from elsewhere
  ASSERT_TRUE(markRaceChanged(dir.path(), 2, Heat(1, 3)));
  EXPECT_EQ(test::ReadFile(dir / "Race.dat").substr(0, 2), "87");
}

}  // namespace
}  // namespace meet
