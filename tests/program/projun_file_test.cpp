#include "program/projun_file.h"

#include <gtest/gtest.h>

#include "program/program_test_util.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::EntryRecord;
using test::HeaderAndUnused;
using test::RawEntry;
using test::Le16;

TEST(ProgramFile, ReadsEveryFieldAtItsOffset) {
  test::TempDir dir;
  RawEntry raw{.orderNo = 7, .heatCount = 3, .sex = "2", .ageFrom = 10, .ageTo = 12, .eventCode = 21, .stage = "2",
               .perHeat = 130, .total = 300, .start = 93000, .firstRace = 12, .seed = "2", .day = "3", .spare = -5,
               .excluded = 1};
  test::WriteFile(dir / "projun.dat", HeaderAndUnused(1) + EntryRecord(raw));
  auto order = ProgramOrder::Load(dir.path());
  ASSERT_TRUE(order) << order.error().message;
  EXPECT_EQ(order->count(), 1);
  ProgramEntry e = order->Read(1);
  EXPECT_EQ(e.orderNo, 7);
  EXPECT_EQ(e.heatCount, 3);
  EXPECT_EQ(e.sexCode, "2");
  EXPECT_EQ(e.ageFrom, 10);
  EXPECT_EQ(e.ageTo, 12);
  EXPECT_EQ(e.eventCode, 21);
  EXPECT_EQ(e.stageCode, "2");
  EXPECT_EQ(e.perHeatTime, 130);
  EXPECT_EQ(e.totalTime, 300);
  EXPECT_EQ(e.startTime, 93000);
  EXPECT_EQ(e.firstRace, 12);
  EXPECT_EQ(e.seedFlag, "2");
  EXPECT_EQ(e.dayNo, "3");
  EXPECT_EQ(e.entrySpare, -5);
  EXPECT_EQ(e.excludedHeats, 1);
}

TEST(ProgramFile, WritesGoldenBytesAndKeepsUnusedRecords) {
  test::TempDir dir;
  // Records 2–10 hold bytes of another program; the header filler is garbage.
  test::WriteFile(dir / "Projun.DAT", Le16(0) + std::string(62, 'g') + std::string(9 * 64, 'u'));
  auto order = ProgramOrder::Load(dir.path());
  ASSERT_TRUE(order);
  ProgramEntry e = BlankProgramEntry();
  e.heatCount = 2;
  e.sexCode = "1";
  e.eventCode = 3;
  e.stageCode = "1";
  e.startTime = 100000;
  order->SetCount(1);
  ASSERT_TRUE(order->Write(1, e));
  ASSERT_TRUE(order->Save());
  RawEntry raw{.orderNo = 1, .heatCount = 2, .sex = "1", .eventCode = 3, .stage = "1", .start = 100000, .seed = "",
               .day = ""};
  EXPECT_EQ(test::ReadFile(dir / "Projun.DAT"), HeaderAndUnused(1) + EntryRecord(raw));
  EXPECT_FALSE(std::filesystem::exists(dir / "projun.dat"));
}

TEST(ProgramFile, ShortAndMissingFilesHaveNoEntries) {
  test::TempDir dir;
  EXPECT_EQ(ProgramOrder::Load(dir.path())->count(), 0);
  for (size_t size : {0u, 1u, 2u, 10u}) {
    test::WriteFile(dir / "projun.dat", std::string(size, '\x05'));
    auto order = ProgramOrder::Load(dir.path());
    ASSERT_TRUE(order);
    EXPECT_EQ(order->count(), 0) << size;
  }
}

TEST(ProgramFile, CountIsClampedToTheRecordsHeld) {
  struct Case {
    std::string bytes;
    int count;
  };
  std::vector<Case> cases = {
      {HeaderAndUnused(5) + EntryRecord({}) + EntryRecord({}), 2},  // header claims more than the file holds
      {HeaderAndUnused(-3) + EntryRecord({}), 0},                   // negative count
      {Le16(9) + std::string(20, 'x'), 0},                          // header only, cut short
      {HeaderAndUnused(2) + EntryRecord({}) + "abc", 2},            // a partial record counts as held
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    test::WriteFile(dir / "projun.dat", c.bytes);
    auto order = ProgramOrder::Load(dir.path());
    ASSERT_TRUE(order);
    EXPECT_EQ(order->count(), c.count);
    for (int n = -1; n <= 40; ++n) (void)order->Read(n);  // never past the bytes
  }
  auto partial = ProgramOrder::FromBytes("x", HeaderAndUnused(2) + EntryRecord({}) + Le16(42));
  EXPECT_EQ(partial.Read(2).orderNo, 42);
  EXPECT_EQ(partial.Read(2).heatCount, 0);
}

TEST(ProgramFile, GarbageNeverCrashes) {
  std::string garbage;
  for (int i = 0; i < 64 * 40 + 17; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  auto order = ProgramOrder::FromBytes("x", garbage);
  EXPECT_GE(order.count(), 0);
  EXPECT_LE(order.count(), 30);
  for (int n = 1; n <= order.count() + 3; ++n) (void)order.Read(n);
}

TEST(ProgramFile, WritingBeyondTheEndGrowsWithZeros) {
  auto order = ProgramOrder::FromBytes("x", std::string());
  order.SetCount(3);
  ASSERT_TRUE(order.Write(3, BlankProgramEntry()));
  EXPECT_EQ(order.bytes().size(), 13u * 64u);
  EXPECT_EQ(order.bytes().substr(64, 11 * 64), std::string(11 * 64, '\0'));
  EXPECT_EQ(order.Read(3).orderNo, 1);
  EXPECT_FALSE(order.Write(0, BlankProgramEntry()));
  EXPECT_FALSE(order.Write(32768, BlankProgramEntry()));
}

TEST(ProgramFile, UnreadableFileIsAnError) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "projun.dat");
  EXPECT_FALSE(ProgramOrder::Load(dir.path()));
}

TEST(ProgramFile, RaceDaysComeFromTheEntryHoldingEachRace) {
  auto order = ProgramOrder::FromBytes("x", std::string());
  auto entry = [](int16_t orderNo, int16_t firstRace, int16_t heats, std::string day) {
    ProgramEntry e = BlankProgramEntry();
    e.orderNo = orderNo;
    e.firstRace = firstRace;
    e.heatCount = heats;
    e.dayNo = std::move(day);
    return e;
  };
  // Races 1–2 day 1; a hidden entry claiming race 3 is ignored; races 3–5 day
  // 2; an entry running past the race count is cut; race 6 is held by no one.
  const std::vector<ProgramEntry> entries = {entry(1, 1, 2, "1"), entry(0, 3, 1, "9"), entry(2, 3, 3, "2"),
                                             entry(3, 7, 4, "3"), entry(4, 1, 1, "4")};
  order.SetCount(static_cast<int>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) ASSERT_TRUE(order.Write(static_cast<int>(i + 1), entries[i]));
  EXPECT_EQ(RaceDays(order, 8), (std::vector<char>{'1', '1', '2', '2', '2', '\0', '3', '3'}));
  EXPECT_TRUE(RaceDays(order, 0).empty());
}

TEST(ProgramTimes, ConvertHhmmssAndMmss) {
  struct Case {
    int64_t seconds, hhmmss;
  };
  for (Case c : {Case{0, 0}, Case{34200, 93000}, Case{180, 300}, Case{3661, 10101}, Case{86399, 235959}}) {
    EXPECT_EQ(SecondsToHhmmss(c.seconds), c.hhmmss);
    EXPECT_EQ(HhmmssToSeconds(c.hhmmss), c.seconds);
  }
  EXPECT_EQ(MmssToSeconds(130), 90);
  EXPECT_EQ(MmssToSeconds(1005), 605);
  EXPECT_EQ(MmssToSeconds(45), 45);
}

}  // namespace
}  // namespace meet
