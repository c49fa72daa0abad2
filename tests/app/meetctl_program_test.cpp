#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/meetctl_run.h"
#include "settings/settings.h"
#include "meetctl/cli.h"
#include "program/frm_projun_screen.h"
#include "program/program_test_util.h"
#include "program/projun_file.h"

namespace meet {
namespace {

using test::RawEntry;

struct ProgramFolder {
  test::TempDir dir;
  // A meet folder: kijun.dat holding the settings a folder without one reads as.
  ProgramFolder() {
    Settings defaults;
    LoadSettings(dir.path(), defaults);
    EXPECT_TRUE(SaveSettings(dir.path(), defaults));
  }
  void Write(const std::vector<RawEntry>& entries) {
    std::string bytes = test::HeaderAndUnused(static_cast<int>(entries.size()));
    for (const RawEntry& e : entries) bytes += test::EntryRecord(e);
    test::WriteFile(dir / "projun.dat", bytes);
  }
  ProgramOrder Order() const { return ProgramOrder::FromBytes("x", test::ReadFile(dir / "projun.dat")); }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", dir.str(), "program"});
    return Meetctl(args);
  }
};

RawEntry Simple(int orderNo, int eventCode = 3) {
  return RawEntry{.orderNo = orderNo, .heatCount = 1, .eventCode = eventCode, .firstRace = orderNo};
}

TEST(MeetctlProgram, ListLeadsWithTheDataNumberTheOtherVerbsTake) {
  ProgramFolder meet;
  meet.Write({Simple(1), Simple(0), Simple(2)});
  auto list = meet.Run({"list"});
  ASSERT_EQ(list.rc, 0) << list.err;
  std::istringstream lines(list.out);
  std::string first, second, third;
  std::getline(lines, first);
  std::getline(lines, second);
  std::getline(lines, third);
  EXPECT_EQ(first, std::string("ﾃﾞｰﾀ ") + kProjunHeading);
  EXPECT_EQ(second.substr(0, 12), "   1   1   1");
  // The hidden entry 2 is not listed: list line 2 is data number 3.
  EXPECT_EQ(third.substr(0, 12), "   3   2   2");
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 3);
  auto all = meet.Run({"list", "--all"});
  EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 4);
}

TEST(MeetctlProgram, QuestionsNeedYes) {
  ProgramFolder meet;
  meet.Write({Simple(1)});
  const std::string before = test::ReadFile(meet.dir / "projun.dat");
  auto refused = meet.Run({"add", "orderNo=2"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_NE(refused.err.find("表示データを新規登録します。"), std::string::npos);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
  EXPECT_EQ(test::ReadFile(meet.dir / "projun.dat"), before);
  auto added = meet.Run({"--yes", "add", "orderNo=2", "sexCode=2", "eventCode=31", "stageCode=2", "ageFrom=9",
                         "perHeatTime=130", "excludedHeats=3"});
  ASSERT_EQ(added.rc, 0) << added.err;
  ProgramEntry e = meet.Order().Read(2);
  EXPECT_EQ(e.orderNo, 2);
  EXPECT_EQ(e.sexCode, "2");
  EXPECT_EQ(e.eventCode, 31);
  EXPECT_EQ(e.ageFrom, 0);  // the meet's own events always get 0–100
  EXPECT_EQ(e.ageTo, 100);
  EXPECT_EQ(e.perHeatTime, 130);
  EXPECT_EQ(e.excludedHeats, 3);
}

TEST(MeetctlProgram, EditingVerbs) {
  ProgramFolder meet;
  meet.Write({Simple(1), Simple(2), Simple(3)});
  ASSERT_EQ(meet.Run({"correct", "2", "startTime=93000", "--yes"}).rc, 0);
  EXPECT_EQ(meet.Order().Read(2).startTime, 93000);
  ASSERT_EQ(meet.Run({"--yes", "insert", "2", "--count", "2"}).rc, 0);
  EXPECT_EQ(meet.Order().count(), 5);
  EXPECT_EQ(meet.Order().Read(4).orderNo, 2);
  ASSERT_EQ(meet.Run({"--yes", "delete", "1"}).rc, 0);
  EXPECT_EQ(meet.Order().count(), 4);
  auto copied = meet.Run({"--yes", "copy", "--to", "6", "--from", "3", "--through", "4", "--sex", "2", "--stroke",
                          "2", "--distance", "4"});
  ASSERT_EQ(copied.rc, 0) << copied.err;
  ProgramOrder order = meet.Order();
  EXPECT_EQ(order.count(), 7);
  EXPECT_EQ(order.Read(6).orderNo, 2);
  EXPECT_EQ(order.Read(6).eventCode, 11);  // 100m自由形 → 200m背泳ぎ
  EXPECT_EQ(order.Read(7).sexCode, "2");
}

TEST(MeetctlProgram, BadInputIsRefusedAndWritesNothing) {
  ProgramFolder meet;
  meet.Write({Simple(1), Simple(2)});
  const std::string before = test::ReadFile(meet.dir / "projun.dat");
  std::vector<std::vector<std::string>> bad = {
      {"--yes", "correct", "3", "orderNo=4"},
      {"--yes", "delete", "0"},
      {"--yes", "delete", "x"},
      {"--yes", "insert", "1", "--count", "32767"},
      {"--yes", "copy", "--to", "3", "--from", "2", "--through", "1"},
      {"--yes", "copy", "--to", "3", "--from", "1", "--through", "1", "--stroke", "8"},
      {"--yes", "add", "colour=red"},
      {"--yes", "add", "sexCode=4"},
      {"--yes", "init", "--from", "5", "--renumber"},
      {"--yes", "init", "--from", "1", "--unit-times", "1,2,3"},
      {"--yes", "init", "--from", "1"},
  };
  for (const auto& args : bad) {
    auto r = meet.Run(args);
    EXPECT_NE(r.rc, 0) << args[1];
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(test::ReadFile(meet.dir / "projun.dat"), before);
}

TEST(MeetctlProgram, InitRunsTheTickedItems) {
  ProgramFolder meet;
  meet.Write({RawEntry{.orderNo = 4, .heatCount = 2, .eventCode = 3, .stage = "1", .firstRace = 8},
              RawEntry{.orderNo = 0, .heatCount = 2, .eventCode = 3, .stage = "1"},
              RawEntry{.orderNo = 9, .heatCount = 3, .eventCode = 4, .stage = "2", .excluded = 1}});
  auto r = meet.Run({"init", "--from", "1", "--unit-times", "0,0,130,0,0,0,0,0,0,0,300,0,0,0", "--start", "93000",
                     "--day", "2", "--band", "10", "12", "--renumber"});
  ASSERT_EQ(r.rc, 0) << r.err;
  ProgramOrder order = meet.Order();
  ProgramEntry a = order.Read(1), b = order.Read(2), c = order.Read(3);
  EXPECT_EQ(a.perHeatTime, 130);
  EXPECT_EQ(c.perHeatTime, 300);
  EXPECT_EQ(a.startTime, 93000);
  EXPECT_EQ(a.totalTime, 300);
  EXPECT_EQ(c.startTime, 93300);
  EXPECT_EQ(c.totalTime, 600);  // 2 counted heats of 3:00
  EXPECT_EQ(b.startTime, 0);
  EXPECT_EQ(b.dayNo, "2");
  EXPECT_EQ(a.ageFrom, 10);
  EXPECT_EQ(std::vector<int>({a.orderNo, b.orderNo, c.orderNo}), std::vector<int>({1, 0, 2}));
  EXPECT_EQ(c.firstRace, 3);
  EXPECT_EQ(c.excludedHeats, 0);
  auto all = meet.Run({"init", "--from", "1", "--renumber", "--all"});
  ASSERT_EQ(all.rc, 0);
  EXPECT_EQ(meet.Order().Read(2).orderNo, 2);
}

TEST(MeetctlProgram, PrintWritesThePrintoutTheHtmlAndTheRaceTimes) {
  ProgramFolder meet;
  setenv("MEETDESK_CLOCK", "20240503090507", 1);
  meet.Write({RawEntry{.orderNo = 1, .heatCount = 2, .perHeat = 130, .start = 93000, .firstRace = 1}});
  std::string races = test::Le16(2) + std::string(254, '\0') + std::string(11 * 256, '\0');
  test::WriteFile(meet.dir / "taikai.dat", races);
  auto r = Meetctl({"--meet", meet.dir.str(), "--print", "jsonl:" + (meet.dir / "print.jsonl").string(), "program",
                    "print"});
  unsetenv("MEETDESK_CLOCK");
  ASSERT_EQ(r.rc, 0) << r.err;
  std::string jsonl = test::ReadFile(meet.dir / "print.jsonl");
  EXPECT_NE(jsonl.find("\"text\":\"2024/05/03 09:05:07\""), std::string::npos);
  EXPECT_NE(jsonl.find("\"x\":6000"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "2.html"));
  std::string after = test::ReadFile(meet.dir / "taikai.dat");
  EXPECT_EQ(after.substr(11 * 256 + 14, 6), " 93130");
}

TEST(MeetctlProgram, GenerateAppendsFromTheEntryFile) {
  ProgramFolder meet;
  Entry swimmer;
  swimmer.sexCode = "1";
  swimmer.entryTimes[1] = 3000;
  test::WriteEntryFile(meet.dir / "ind.dat", {swimmer});
  test::WriteFile(meet.dir / "kijun.dat", meet.dir.str() + ",ind.dat\r\n");
  auto r = meet.Run({"--yes", "generate", "--finals-only"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(meet.Order().count(), 1);
  EXPECT_EQ(meet.Order().Read(1).eventCode, 2);
  auto again = meet.Run({"--yes", "generate"});
  ASSERT_EQ(again.rc, 0);
  EXPECT_EQ(meet.Order().count(), 3);
}

}  // namespace
}  // namespace meet
