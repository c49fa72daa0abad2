#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/meetctl_run.h"
#include "race/kyogi_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

using test::HandEntry;
using test::HandRace;
using test::Le32;

struct RaceMeet {
  test::KyogiMeet meet;
  RaceMeet() {
    setenv("MEETDESK_CLOCK", "20240501092500", 1);
    EXPECT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
    meet.Entries({{"13000123456789", "山田太郎", "ﾔﾏﾀﾞﾀﾛｳ", "東京", "ＡＢＣ", "15", 12},
                  {"13000223456789", "鈴木一郎", "ｽｽﾞｷｲﾁﾛｳ", "大阪", "ＸＹＺ", "16", 11}});
    HandRace a;
    a.eventNo = 4;
    a.heatTotal = 2;
    a.laneNo = {1, 2};
    a.laneTime = {3000, 3100};
    a.rank = {1, 2};
    HandRace b = a;
    b.heatNo = 2;
    meet.Races({a, b});
    meet.States("18");
  }
  ~RaceMeet() { unsetenv("MEETDESK_CLOCK"); }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", meet.dir.str(), "race"});
    return Meetctl(args);
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(MeetctlRaceScreen, ViewShowsHeaderClockStandardsAndRows) {
  RaceMeet m;
  auto view = m.Run({"view", "2"});
  ASSERT_EQ(view.rc, 0) << view.err;
  auto lines = Lines(view.out);
  EXPECT_EQ(lines[0], "lblRecord=2 / 2");
  EXPECT_NE(view.out.find("lblKumi=2\n"), std::string::npos);
  EXPECT_NE(view.out.find("lblTKumi=(2)\n"), std::string::npos);
  EXPECT_NE(view.out.find("lblShumoku=50m自由形\n"), std::string::npos);
  EXPECT_NE(view.out.find("lblZikan=09:25:00\n"), std::string::npos);
  EXPECT_NE(view.out.find("lblSZikan=0:05:00\n"), std::string::npos);
  EXPECT_NE(view.out.find("lblSZikan.colour=0,255,255\n"), std::string::npos);
  EXPECT_NE(view.out.find("cmdOhda=disabled\n"), std::string::npos);
  // Header (14 lines), standards (7), heading, column names, 12 rows.
  ASSERT_EQ(lines.size(), 14u + 7u + 2u + 12u);
  const std::string& lane1 = lines[23];
  EXPECT_EQ(lane1.substr(0, 6), "1     ");
  EXPECT_NE(lane1.find("山田太郎"), std::string::npos);
  EXPECT_NE(lane1.find("   30.00"), std::string::npos);
  EXPECT_EQ(lines[33].substr(0, 9), "補欠１");
}

TEST(MeetctlRaceScreen, EnterStoresThroughTheScreenAndPrintsTheRow) {
  RaceMeet m;
  auto entered = m.Run({"enter", "1", "2", "txtKiro", "2950"});
  ASSERT_EQ(entered.rc, 0) << entered.err;
  EXPECT_NE(entered.out.find("   29.50"), std::string::npos);
  EXPECT_EQ(m.meet.RaceField(1, 46 + 4, 4), Le32(2950));
  EXPECT_EQ(m.meet.RaceField(1, 142, 4), test::Le16(2) + test::Le16(1));
  EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "78");  // heat 1 of 2: race 2 printed too
  auto states = m.Run({"states"});
  ASSERT_EQ(states.rc, 0);
  EXPECT_EQ(states.out, "1 7\n2 8\n");
}

TEST(MeetctlRaceScreen, EnterReadsAWrittenTimeAndRefusesSecondsPastFiftyNine) {
  struct Row {
    const char* typed;
    int32_t stored;  // -1: refused, nothing written
  };
  const Row rows[] = {
      {"35.12", 3512}, {"1:05.23", 10523},  // written times
      {"35abc", 35},   {"3", 700003},       // digits: the screen's rule
      {"6010", -1},    {"1:65.23", -1},     // seconds of 60 and more
      {"35.1", -1},    {"0.05", -1},        // no time, or one that would read as a status
  };
  for (const Row& row : rows) {
    RaceMeet m;
    const std::string before = m.meet.RaceBytes();
    auto entered = m.Run({"enter", "1", "2", "txtKiro", row.typed});
    if (row.stored < 0) {
      EXPECT_EQ(entered.rc, 1) << row.typed;
      EXPECT_TRUE(entered.err.starts_with("meetctl: ") && entered.err.ends_with("\n")) << row.typed;
      EXPECT_EQ(m.meet.RaceBytes(), before) << row.typed;
      EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "18") << row.typed;
    } else {
      EXPECT_EQ(entered.rc, 0) << row.typed << ": " << entered.err;
      EXPECT_EQ(m.meet.RaceField(1, 46 + 4, 4), Le32(row.stored)) << row.typed;
    }
  }
}

TEST(MeetctlRaceScreen, EnterWithNothingBeforeTheCaretStoresNothing) {
  RaceMeet m;
  const std::string before = m.meet.RaceBytes();
  auto entered = m.Run({"enter", "1", "1", "txtJun", ""});
  ASSERT_EQ(entered.rc, 0) << entered.err;
  EXPECT_NE(entered.out.find("focus=txtToi"), std::string::npos);
  EXPECT_EQ(m.meet.RaceBytes(), before);
}

TEST(MeetctlRaceScreen, EnterRefusesBadArguments) {
  RaceMeet m;
  EXPECT_NE(m.Run({"enter", "1", "13", "txtKiro", "1"}).rc, 0);
  EXPECT_NE(m.Run({"enter", "1", "1", "txtNamae", "1"}).rc, 0);
  EXPECT_NE(m.Run({"enter", "3", "1", "txtKiro", "1"}).rc, 0);
  EXPECT_NE(m.Run({"view", "0"}).rc, 0);
  EXPECT_NE(m.Run({"view"}).rc, 0);
}

TEST(MeetctlRaceScreen, GotoPrintsTheRaceSelected) {
  RaceMeet m;
  auto go = m.Run({"goto", "4.2"});
  ASSERT_EQ(go.rc, 0) << go.err;
  EXPECT_EQ(go.out, "2\n");
  EXPECT_EQ(m.Run({"goto", "4.7"}).out, "2\n");  // above the heat count: the last heat
  auto missing = m.Run({"goto", "9.1"});
  EXPECT_NE(missing.rc, 0);
  EXPECT_NE(missing.err.find("9.1 のレースはありません"), std::string::npos);
  EXPECT_NE(m.Run({"goto", "4"}).rc, 0);
}

TEST(MeetctlRaceScreen, StatesOfAMissingOrShortFile) {
  RaceMeet m;
  std::filesystem::remove(m.meet.dir / "Race.dat");
  EXPECT_EQ(m.Run({"states"}).out, "1 -\n2 -\n");
  test::WriteFile(m.meet.dir / "Race.dat", "6");
  EXPECT_EQ(m.Run({"states"}).out, "1 6\n2 -\n");
}

}  // namespace
}  // namespace meet
