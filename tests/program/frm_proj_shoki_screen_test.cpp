#include "program/frm_proj_shoki_screen.h"

#include <gtest/gtest.h>

#include "program/program_test_util.h"
#include "program/projun_file.h"

namespace meet {
namespace {

using test::ProgramMeet;
using test::RawEntry;

std::vector<ProgramEntry> Entries(const ProgramMeet& meet) {
  auto order = ProgramOrder::FromBytes("x", meet.ProgramBytes());
  std::vector<ProgramEntry> out;
  for (int n = 1; n <= order.count(); ++n) out.push_back(order.Read(n));
  return out;
}

TEST(ShokiUnitTime, EnterRuleAndReading) {
  struct Case {
    const char* typed;
    const char* shown;
    int32_t value;
  };
  for (Case c : {Case{"130", " 1.30", 130}, Case{"1030", "10.30", 1030}, Case{"45", "  .45", 45},
                 Case{"", "  .  ", 0}, Case{" 1.30", " 1.30", 130}, Case{"abc", " a.bc", 0}}) {
    EXPECT_EQ(UnitTimeText(c.typed), c.shown) << c.typed;
    EXPECT_EQ(UnitTimeValue(c.shown), c.value) << c.typed;
    // A box typed without Enter reads as the same time.
    EXPECT_EQ(UnitTimeValue(c.typed), c.value) << c.typed;
  }
}

TEST(ShokiUnitTime, EnterCutsAtTheCaretAndMovesOn) {
  FrmProjShokiScreen screen("/nowhere", "0", 1, false);
  screen.txtTanka[0] = "13099";
  EXPECT_EQ(screen.TankaEnter(0, 3), 1);
  EXPECT_EQ(screen.txtTanka[0], " 1.30");
  screen.txtTanka[13] = "200";
  EXPECT_EQ(screen.TankaEnter(13, 3), -1);
  EXPECT_EQ(screen.txtTanka[13], " 2.00");
  EXPECT_EQ(FrmProjShokiScreen::TankaUp(0), -1);
  EXPECT_EQ(FrmProjShokiScreen::TankaUp(7), 6);
  EXPECT_EQ(FrmProjShokiScreen::TankaDown(6), 7);
  EXPECT_EQ(FrmProjShokiScreen::TankaDown(13), -1);
}

TEST(ShokiUnitTime, DistanceRows) {
  std::vector<int> rows(45);
  for (int ev = 1; ev <= 44; ++ev) rows[static_cast<size_t>(ev)] = DistanceRow(ev);
  std::vector<int> want = {2, 0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 2, 3, 4,
                           2, 3, 4, 2, 3, 4, 5, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  rows[0] = DistanceRow(0);
  EXPECT_EQ(rows, want);
}

TEST(ShokiItems, UnitTimeByDistanceAndStage) {
  ProgramMeet meet;
  meet.WriteProgram({RawEntry{.eventCode = 4, .stage = "1"}, RawEntry{.eventCode = 4, .stage = "2"},
                     RawEntry{.eventCode = 7, .stage = "3"}, RawEntry{.orderNo = 0, .eventCode = 35, .stage = "1"}});
  FrmProjShokiScreen screen(meet.dir.path(), "1", 1, false);
  screen.chkKohmoku[kItemUnitTime] = true;
  for (int i = 0; i < kTankaBoxes; ++i) screen.txtTanka[static_cast<size_t>(i)] = UnitTimeText(std::to_string(100 + i));
  ASSERT_TRUE(screen.Zikko());
  EXPECT_TRUE(screen.closed());
  auto e = Entries(meet);
  EXPECT_EQ(e[0].perHeatTime, 103);  // 200m, 予選: box 3
  EXPECT_EQ(e[1].perHeatTime, 110);  // 200m, 決勝: box 10
  EXPECT_EQ(e[2].perHeatTime, 113);  // 1500m, 準決勝 counts as 決勝: box 13
  EXPECT_EQ(e[3].perHeatTime, 102);  // the meet's own events use the 100m row
}

TEST(ShokiItems, ScheduleOfTheThreeHeatExample) {
  ProgramMeet meet;
  meet.WriteProgram({
      RawEntry{.orderNo = 1, .heatCount = 2, .perHeat = 100, .total = 7, .start = 7},
      RawEntry{.orderNo = 2, .heatCount = 3, .perHeat = 130, .excluded = 1},
      RawEntry{.orderNo = 0, .heatCount = 4, .perHeat = 100, .total = 55, .start = 66},
      RawEntry{.orderNo = 3, .heatCount = 1, .perHeat = 45},
  });
  FrmProjShokiScreen screen(meet.dir.path(), "1", 2, false);
  screen.chkKohmoku[kItemSchedule] = true;
  screen.txtYotei = "93000";
  ASSERT_TRUE(screen.Zikko());
  auto e = Entries(meet);
  // Before the start position nothing changes.
  EXPECT_EQ(e[0].totalTime, 7);
  EXPECT_EQ(e[0].startTime, 7);
  // 3 heats at 1:30 with one excluded take 3:00.
  EXPECT_EQ(e[1].startTime, 93000);
  EXPECT_EQ(e[1].totalTime, 300);
  // orderNo 0 keeps its times and takes no time.
  EXPECT_EQ(e[2].totalTime, 55);
  EXPECT_EQ(e[2].startTime, 66);
  EXPECT_EQ(e[3].startTime, 93300);
  EXPECT_EQ(e[3].totalTime, 45);
}

TEST(ShokiItems, UnitTimesFeedTheScheduleInTheSameRun) {
  ProgramMeet meet;
  meet.WriteProgram({RawEntry{.orderNo = 1, .heatCount = 2, .eventCode = 3, .stage = "1"},
                     RawEntry{.orderNo = 2, .heatCount = 1, .eventCode = 3, .stage = "2"}});
  FrmProjShokiScreen screen(meet.dir.path(), "1", 1, false);
  screen.chkKohmoku[kItemUnitTime] = true;
  screen.chkKohmoku[kItemSchedule] = true;
  screen.txtTanka[2] = " 2.00";
  screen.txtTanka[9] = " 3.00";
  screen.txtYotei = "100000";
  ASSERT_TRUE(screen.Zikko());
  auto e = Entries(meet);
  EXPECT_EQ(e[0].totalTime, 400);
  EXPECT_EQ(e[1].startTime, 100400);
  EXPECT_EQ(e[1].totalTime, 300);
}

TEST(ShokiItems, DayFromTheStartAndBandForAll) {
  ProgramMeet meet;
  meet.WriteProgram({RawEntry{.ageFrom = 3, .ageTo = 4, .day = "1"}, RawEntry{.orderNo = 0, .day = "1"},
                     RawEntry{.day = "1"}});
  FrmProjShokiScreen screen(meet.dir.path(), "1", 2, false);
  screen.chkKohmoku[kItemDay] = true;
  screen.chkKohmoku[kItemBand] = true;
  screen.txtNiti = "2";
  screen.txtKubun = {"10", "12"};
  ASSERT_TRUE(screen.Zikko());
  auto e = Entries(meet);
  EXPECT_EQ(e[0].dayNo, "1");
  EXPECT_EQ(e[1].dayNo, "2");
  EXPECT_EQ(e[2].dayNo, "2");
  for (const auto& x : e) {
    EXPECT_EQ(x.ageFrom, 10);
    EXPECT_EQ(x.ageTo, 12);
  }
}

TEST(ShokiItems, StartBeyondNChangesNothingInScheduleAndDay) {
  ProgramMeet meet;
  meet.WriteProgram({RawEntry{.start = 5, .day = "1"}});
  const std::string before = meet.ProgramBytes();
  FrmProjShokiScreen screen(meet.dir.path(), "1", 2, false);
  screen.chkKohmoku[kItemSchedule] = true;
  screen.chkKohmoku[kItemDay] = true;
  screen.txtYotei = "93000";
  ASSERT_TRUE(screen.Zikko());
  EXPECT_EQ(meet.ProgramBytes(), before);
}

std::vector<RawEntry> RenumberProgram() {
  return {RawEntry{.orderNo = 5, .heatCount = 2, .ageFrom = 10, .ageTo = 12, .firstRace = 9, .seed = "2",
                   .excluded = 1},
          RawEntry{.orderNo = 0, .heatCount = 3, .firstRace = 4, .seed = "0", .excluded = 2},
          RawEntry{.orderNo = 7, .heatCount = 1, .firstRace = 1, .seed = "2"}};
}

TEST(ShokiItems, RenumberSkipsEmptyEntriesButResetsTheirFlags) {
  ProgramMeet meet;
  meet.WriteProgram(RenumberProgram());
  FrmProjShokiScreen screen(meet.dir.path(), "1", 1, false);
  screen.chkKohmoku[kItemRenumber] = true;
  ASSERT_TRUE(screen.Zikko());
  auto e = Entries(meet);
  EXPECT_EQ(e[0].orderNo, 1);
  EXPECT_EQ(e[0].firstRace, 1);
  EXPECT_EQ(e[1].orderNo, 0);
  EXPECT_EQ(e[1].firstRace, 4);
  EXPECT_EQ(e[2].orderNo, 2);
  EXPECT_EQ(e[2].firstRace, 3);
  for (const auto& x : e) {
    EXPECT_EQ(x.seedFlag, "1");
    EXPECT_EQ(x.excludedHeats, 0);
  }
  EXPECT_EQ(e[0].ageFrom, 10);  // 年齢: the band stays
}

TEST(ShokiItems, RenumberWithShowAllNumbersEveryEntry) {
  ProgramMeet meet;
  meet.WriteProgram(RenumberProgram());
  FrmProjShokiScreen screen(meet.dir.path(), "0", 3, true);
  screen.chkKohmoku[kItemRenumber] = true;
  ASSERT_TRUE(screen.Zikko());
  auto e = Entries(meet);
  EXPECT_EQ(e[0].orderNo, 1);
  EXPECT_EQ(e[1].orderNo, 2);
  EXPECT_EQ(e[1].firstRace, 3);
  EXPECT_EQ(e[2].orderNo, 3);
  EXPECT_EQ(e[2].firstRace, 6);
  for (const auto& x : e) {  // 無別: every band becomes 1–100
    EXPECT_EQ(x.ageFrom, 1);
    EXPECT_EQ(x.ageTo, 100);
  }
}

TEST(ShokiItems, NothingTickedWritesNothing) {
  ProgramMeet meet;
  meet.WriteProgram({RawEntry{}});
  std::string garbageHeader = meet.ProgramBytes();
  garbageHeader[5] = 'z';
  test::WriteFile(meet.dir / "projun.dat", garbageHeader);
  FrmProjShokiScreen screen(meet.dir.path(), "0", 1, false);
  ASSERT_TRUE(screen.Zikko());
  EXPECT_EQ(meet.ProgramBytes(), garbageHeader);
}

}  // namespace
}  // namespace meet
