#include <gtest/gtest.h>

#include "app/meetctl_run.h"
#include "print/print_fixture.h"

namespace meet {
namespace {

struct PrintFolder : test::PrintMeet {
  PrintFolder() {
    settings.laneCount = 4;
    EXPECT_TRUE(SaveSettings(dir.path(), settings));
    Entries({test::Swimmer("山田　太郎")});
    test::HandRace race;
    race.laneNo[1] = 1;
    race.laneTime[1] = 3149;
    Races({race});
    Pages({{1}, {1}});
    std::filesystem::create_directories(dir / "lap");
    test::WriteFile(dir / "lap" / "R0001", "2,15.20,\r\n2,31.55,G\r\n");
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", dir.str(), "--print", "jsonl:" + (dir / "out.jsonl").string()});
    return Meetctl(args);
  }
  std::string Printed() const { return test::ReadFile(dir / "out.jsonl"); }
};

TEST(MeetctlPrint, ProgramPagesInCopiesAsJsonl) {
  PrintFolder meet;
  auto run = meet.Run({"print", "program", "1", "2", "--copies", "2"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, "プログラムを印刷しました（4 枚）。\n");
  const std::string out = meet.Printed();
  EXPECT_NE(out.find("{\"doc\":1,\"page\":4,\"x\":5300,\"y\":15000,\"font\":\"ＭＳ 明朝\",\"size\":9,\"bold\":false,"
                     "\"text\":\"- 2 -\"}"),
            std::string::npos);
  EXPECT_NE(meet.Run({"print", "program", "0", "1"}).rc, 0);
  EXPECT_NE(meet.Run({"print", "program", "x", "1"}).rc, 0);
}

TEST(MeetctlPrint, ResultsAndSheetsOfARace) {
  PrintFolder meet;
  for (const char* what : {"results", "race-sheet", "lap-sheet"}) {
    auto run = meet.Run({"print", what, "1"});
    EXPECT_EQ(run.rc, 0) << what << run.err;
  }
  const std::string out = meet.Printed();
  EXPECT_NE(out.find("\"text\":\"個  人  記  録（ラップ）  一  覧\""), std::string::npos);
  EXPECT_NE(out.find("\"text\":\"    15.20     31.49 \""), std::string::npos);
  EXPECT_NE(meet.Run({"print", "results", "2"}).rc, 0);
}

TEST(MeetctlLaps, SplitsAndLapTimesOfALane) {
  PrintFolder meet;
  auto run = meet.Run({"laps", "1", "2"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, " 1    15.20\n 2    31.49  (   16.29)\n");
  EXPECT_EQ(meet.Run({"laps", "1", "3"}).out, "ラップはありません。\n");
  EXPECT_NE(meet.Run({"laps", "1", "11"}).rc, 0);
}

}  // namespace
}  // namespace meet
