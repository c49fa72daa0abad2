#include "race/lane_move.h"

#include <gtest/gtest.h>

#include "race/kyogi_fixture.h"

namespace meet {
namespace {

using test::HandRace;

HandRace Lanes(std::initializer_list<int> lanes) {
  HandRace r;
  size_t k = 0;
  for (int no : lanes) {
    r.laneNo[k] = no;
    r.entryTime[k] = no == 0 ? 0 : 3000 + no;
    ++k;
  }
  return r;
}

struct MoveRow {
  const char* what;
  std::vector<int> lanes;  // laneNo of slots 0..9
  int shift, poolLanes;
  bool fits;
  std::vector<int> after;  // laneNo of slots 0..9 when it fits
};

TEST(PlanLaneMove, ShiftsSwimmersAndRefusesThoseLeavingThePool) {
  const MoveRow rows[] = {
      {"8 lanes, lanes 1-6 by 2", {1, 2, 3, 4, 5, 6, 0, 0, 0, 0}, 2, 8, true, {0, 0, 1, 2, 3, 4, 5, 6, 0, 0}},
      {"lane 6 would land in lane 9", {1, 2, 3, 4, 5, 6, 0, 0, 0, 0}, 3, 8, false, {}},
      {"-1 with lane 1 empty", {0, 7, 0, 0, 0, 0, 0, 0, 0, 0}, -1, 8, true, {7, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"-1 with lane 1 taken", {7, 8, 0, 0, 0, 0, 0, 0, 0, 0}, -1, 8, false, {}},
      {"empty slots fall out silently", {0, 0, 5, 0, 0, 0, 0, 0, 0, 0}, 5, 8, true, {0, 0, 0, 0, 0, 0, 0, 5, 0, 0}},
      {"shift 0 rewrites unchanged", {1, 0, 2, 0, 0, 0, 0, 0, 0, 0}, 0, 8, true, {1, 0, 2, 0, 0, 0, 0, 0, 0, 0}},
      {"swimmer beyond the pool's lanes cannot stay", {0, 0, 0, 0, 0, 0, 0, 0, 9, 0}, 0, 8, false, {}},
      {"huge shift", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 2000000000, 10, false, {}},
  };
  for (const MoveRow& row : rows) {
    Race race;
    for (size_t k = 0; k < 10; ++k) {
      race.laneNo[k] = static_cast<int16_t>(row.lanes[k]);
      race.laneEntryTime[k] = row.lanes[k] * 100;
    }
    const LaneMovePlan plan = PlanLaneMove(race, row.shift, row.poolLanes);
    EXPECT_EQ(plan.fits, row.fits) << row.what;
    if (!row.fits) continue;
    for (size_t k = 0; k < 10; ++k) {
      EXPECT_EQ(plan.laneNo[k], row.after[k]) << row.what << " slot " << k;
      EXPECT_EQ(plan.laneEntryTime[k], row.after[k] * 100) << row.what << " slot " << k;
    }
  }
}

TEST(PoolLanes, TheSettingWithinFourToTen) {
  const std::pair<int, int> rows[] = {{0, 4}, {3, 4}, {8, 8}, {10, 10}, {12, 10}, {-5, 4}};
  for (auto [stored, used] : rows) {
    Settings s;
    s.laneCount = static_cast<int16_t>(stored);
    EXPECT_EQ(PoolLanes(s), used) << stored;
  }
}

struct Meet {
  test::KyogiMeet meet;
  std::unique_ptr<FrmKyogiScreen> screen;
  FrmKyogiScreen& Open(int laneCount) {
    meet.settings.laneCount = static_cast<int16_t>(laneCount);
    screen = std::make_unique<FrmKyogiScreen>(meet.dir.path(), meet.settings, meet.fake.platform);
    EXPECT_TRUE(screen->Open());
    return *screen;
  }
};

TEST(CmdIdo, OnlyLaneNumbersAndEntryTimesOfLanesOneToTenChangeOnDisk) {
  Meet m;
  HandRace r = Lanes({1, 2, 3, 4, 5, 6});
  r.laneTime[0] = 2500;  // results stay in their slots
  r.rank[0] = 1;
  r.laneNo[10] = 9;      // an alternate never moves
  m.meet.Races({r});
  std::string before = m.meet.RaceBytes();
  before[10 * 256 + 250] = '2';  // the meet day digit survives
  test::WriteFile(m.meet.dir / "taikai.dat", before);
  FrmKyogiScreen& k = m.Open(8);
  m.meet.fake.dialogs.answers = {true};
  auto moved = cmdIdo(k, "2", m.meet.fake.dialogs);
  ASSERT_TRUE(moved);
  EXPECT_EQ(*moved, LaneMoveOutcome::Moved);
  EXPECT_EQ(m.meet.fake.dialogs.asked.at(0), "2ｺｰｽ移動します。");

  std::string expected = before;
  HandRace shifted = Lanes({0, 0, 1, 2, 3, 4, 5, 6});
  for (size_t k2 = 0; k2 < 10; ++k2) {
    test::Put(expected, 10 * 256 + 22 + 2 * k2, test::Le16(shifted.laneNo[k2]));
    test::Put(expected, 10 * 256 + 94 + 4 * k2, test::Le32(shifted.entryTime[k2]));
  }
  EXPECT_EQ(m.meet.RaceBytes(), expected);
  EXPECT_EQ(k.rows()[2].txtNo, "1");  // the screen shows the moved race
  EXPECT_EQ(k.rows()[0].txtNo, "");
}

TEST(CmdIdo, OverflowAndCancelWriteNothing) {
  Meet m;
  m.meet.Races({Lanes({1, 2, 3, 4, 5, 6})});
  const std::string before = m.meet.RaceBytes();
  FrmKyogiScreen& k = m.Open(8);

  m.meet.fake.dialogs.answers = {true};
  auto overflow = cmdIdo(k, "3", m.meet.fake.dialogs);
  ASSERT_TRUE(overflow);
  EXPECT_EQ(*overflow, LaneMoveOutcome::Overflow);
  EXPECT_EQ(m.meet.fake.dialogs.notices.back(), kLaneMoveOverflow);

  m.meet.fake.dialogs.answers = {false};
  auto cancelled = cmdIdo(k, "1", m.meet.fake.dialogs);
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(*cancelled, LaneMoveOutcome::Cancelled);
  EXPECT_EQ(m.meet.RaceBytes(), before);
}

TEST(CmdIdo, ATwelveLaneSettingMovesWithinTenLanes) {
  Meet m;
  m.meet.Races({Lanes({0, 0, 0, 0, 0, 0, 0, 0, 0, 5})});
  FrmKyogiScreen& k = m.Open(12);
  m.meet.fake.dialogs.answers = {true};
  auto moved = cmdIdo(k, "1", m.meet.fake.dialogs);  // lane 10 has no lane 11 to go to
  ASSERT_TRUE(moved);
  EXPECT_EQ(*moved, LaneMoveOutcome::Overflow);
}

TEST(CmdIdo, ARaceOutsideTheFileIsRefused) {
  Meet m;
  m.meet.Races({});
  FrmKyogiScreen& k = m.Open(8);
  m.meet.fake.dialogs.answers = {true};
  EXPECT_FALSE(cmdIdo(k, "1", m.meet.fake.dialogs));
  EXPECT_EQ(m.meet.RaceBytes().size(), 2560u);
}

}  // namespace
}  // namespace meet
