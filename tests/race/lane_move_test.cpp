#include "race/lane_move.h"

#include <gtest/gtest.h>

#include <functional>

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

TEST(CmdIdo, OnlyLaneNumbersEntryTimesAndExhibitionMarksOfLanesOneToTenChangeOnDisk) {
  Meet m;
  HandRace r = Lanes({1, 2, 3, 4, 5, 6});
  r.recordClass[1] = 99;  // the exhibition swimmer of lane 2 stays one
  r.laneNo[10] = 9;       // an alternate never moves
  m.meet.Races({r});
  std::string before = m.meet.RaceBytes();
  before[10 * 256 + 250] = '2';  // the meet day digit survives
  test::WriteFile(m.meet.dir / "taikai.dat", before);
  m.meet.States("1");
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
    test::Put(expected, 10 * 256 + 214 + 2 * k2, test::Le16(k2 == 3 ? 99 : 0));
  }
  EXPECT_EQ(m.meet.RaceBytes(), expected);
  EXPECT_EQ(k.rows()[2].txtNo, "1");  // the screen shows the moved race
  EXPECT_EQ(k.rows()[0].txtNo, "");
}

// A race that is swum, or holds any result, keeps its lanes: results stay in
// their slots, so a move would give them to other swimmers.
TEST(CmdIdo, ARaceWithResultsOrBeyondItsSeedingIsRefusedBeforeTheQuestion) {
  struct Row {
    const char* what;
    char state;
    std::function<void(HandRace&)> result;
    const char* says;  // nullptr: the lanes move
  };
  const Row rows[] = {
      {"seeded, no result", '1', nullptr, nullptr},
      {"no state", '0', nullptr, nullptr},
      {"an exhibition mark typed before the race", '1', [](HandRace& r) { r.recordClass[0] = 99; }, nullptr},
      {"blank standard flags", '1', [](HandRace& r) { r.flags = std::string(12, ' '); }, nullptr},
      {"delivered by the timing system", '6', nullptr, kLaneMoveTimed},
      {"confirmed", '7', nullptr, kLaneMoveConfirmed},
      {"printed", '8', nullptr, kLaneMoveConfirmed},
      {"a time", '1', [](HandRace& r) { r.laneTime[3] = 888888; }, kLaneMoveResults},
      {"a placing", '1', [](HandRace& r) { r.rank[0] = 1; }, kLaneMoveResults},
      {"an open level", '1', [](HandRace& r) { r.openLevel[1] = 14; }, kLaneMoveResults},
      {"an age level", '1', [](HandRace& r) { r.ageLevel[1] = 3; }, kLaneMoveResults},
      {"a record class", '1', [](HandRace& r) { r.recordClass[2] = 31; }, kLaneMoveResults},
      {"a standard flag", '1', [](HandRace& r) { r.flags[4] = '1'; }, kLaneMoveResults},
      {"a time in an alternate slot", '1', [](HandRace& r) { r.laneTime[11] = 3000; }, kLaneMoveResults},
  };
  for (const Row& row : rows) {
    Meet m;
    HandRace r = Lanes({1, 2, 3});
    r.flags = std::string(12, '\0');
    if (row.result) row.result(r);
    m.meet.Races({r});
    m.meet.States(std::string(1, row.state));
    const std::string before = m.meet.RaceBytes();
    FrmKyogiScreen& k = m.Open(8);
    m.meet.fake.dialogs.answers = {true};
    auto moved = cmdIdo(k, "1", m.meet.fake.dialogs);
    if (!row.says) {
      ASSERT_TRUE(moved) << row.what << ": " << moved.error().message;
      EXPECT_EQ(*moved, LaneMoveOutcome::Moved) << row.what;
      EXPECT_EQ(m.meet.RaceField(1, 24, 2), test::Le16(1)) << row.what;
      continue;
    }
    ASSERT_FALSE(moved) << row.what;
    EXPECT_EQ(moved.error().kind, ErrorKind::Refused) << row.what;
    EXPECT_EQ(moved.error().message, row.says) << row.what;
    EXPECT_TRUE(m.meet.fake.dialogs.asked.empty()) << row.what;
    EXPECT_EQ(m.meet.RaceBytes(), before) << row.what;
  }
}

// The timing system delivers the race while the question stands open.
class DeliveringDialogs : public test::ScriptedDialogs {
 public:
  explicit DeliveringDialogs(std::filesystem::path states) : states_(std::move(states)) {}
  bool AskOkCancel(std::string_view text) override {
    test::WriteFile(states_, "6" + std::string(1023, '0'));
    return test::ScriptedDialogs::AskOkCancel(text);
  }

 private:
  std::filesystem::path states_;
};

TEST(CmdIdo, ARaceDeliveredWhileTheQuestionStandsIsNotMoved) {
  Meet m;
  m.meet.Races({Lanes({1, 2, 3})});
  m.meet.States("1");
  const std::string before = m.meet.RaceBytes();
  FrmKyogiScreen& k = m.Open(8);
  DeliveringDialogs dialogs(m.meet.dir / "Race.dat");
  dialogs.answers = {true};
  auto moved = cmdIdo(k, "1", dialogs);
  ASSERT_FALSE(moved);
  EXPECT_EQ(moved.error().message, kLaneMoveTimed);
  EXPECT_EQ(m.meet.RaceBytes(), before);
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
