#include <gtest/gtest.h>

#include <filesystem>

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
                     "\"text\":\"- 2 -\",\"name\":\"program-p001-p002\"}"),
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

// pdf:DIR: one file per document, named by what it holds, a "-2" for a name
// already taken, and a "PDF: path" line for each file written.
TEST(MeetctlPrint, PdfFilesAreNamedAndListed) {
  PrintFolder meet;
  const std::filesystem::path folder = meet.dir / "pdf";
  struct Row {
    std::vector<std::string> args;
    std::string file;
  };
  for (const Row& row : {Row{{"print", "results", "1"}, "results-r0001.pdf"},
                         Row{{"print", "results", "1"}, "results-r0001-2.pdf"},
                         Row{{"print", "program", "1", "2"}, "program-p001-p002.pdf"},
                         Row{{"print", "lap-sheet", "1"}, "lap-r0001.pdf"}}) {
    std::vector<std::string> args = {"--meet", meet.dir.str(), "--print", "pdf:" + folder.string()};
    args.insert(args.end(), row.args.begin(), row.args.end());
    auto run = Meetctl(args);
    ASSERT_EQ(run.rc, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("PDF: " + (folder / row.file).string() + "\n")) << run.out;
    EXPECT_EQ(run.out.find("PDF: ", 1), std::string::npos) << "one file, one line";
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / row.file)) << row.file;
  }
}

// A printout that cannot be printed is a failure naming the printer and the
// document, never "印刷しました".
TEST(MeetctlPrint, APrintoutThatCannotBePrintedFails) {
  PrintFolder meet;
  const std::string target = "pdf:" + (meet.dir / "kijun.dat" / "pdf").string();  // under a file
  auto run = Meetctl({"--meet", meet.dir.str(), "--print", target, "print", "results", "1"});
  EXPECT_EQ(run.rc, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "meetctl: 印刷できませんでした（プリンター " + target + "）: 競技結果 レース 1（フォルダー " +
                         (meet.dir / "kijun.dat" / "pdf").string() + " を作れません）\n");
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
