#include "race/timing_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace meet {
namespace {

TEST(SplitTimingLine, CommasQuotesAndBlanks) {
  struct Row {
    std::string line;
    std::vector<std::string> values;
  } rows[] = {
      {"3,  31.50 ,G", {"3", "31.50", "G"}},
      {"3,\"   31.50\",\"G\"", {"3", "   31.50", "G"}},
      {" 10 ,\"1,2\" , x", {"10", "1,2", "x"}},
      {"", {""}},
      {"4,", {"4", ""}},
      {"\"open", {"open"}},
  };
  for (const Row& r : rows) EXPECT_EQ(SplitTimingLine(r.line), r.values) << r.line;
}

TEST(LapDifference, BorrowsAndRefusesAnEarlierLaterText) {
  struct Row {
    std::string earlier, later, difference;
  } rows[] = {
      {"   31.50", " 1:05.12", "   33.62"},
      {"   59.90", " 1:00.00", "     .10"},
      {"   59.99", " 1:00.00", ""},        // .01 is shown as FormatTime shows 1: empty
      {" 1:59.80", " 2:00.10", "     .30"},
      {"   30.00", "   30.00", ""},       // no difference: FormatTime(0)
      {" 1:05.12", "   31.50", ""},       // the later sorts first
      {"   31.50", "    参加", ""},
      {"31.50", "1:00.00", "   28.50"},   // short texts are right-aligned first
      {"00:15.10", "   30.12", "   15.02"},  // a split as timed, then the final time as shown
      {"00:31.50", " 1:05.12", "   33.62"},
      {"01:05.12", "   31.50", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(lapDifference(r.earlier, r.later), r.difference) << r.earlier << " " << r.later;
}

struct LapFolder {
  test::TempDir dir;
  void Lap(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(dir / "LAP");
    test::WriteFile(dir / "LAP" / name, text);
  }
};

TEST(ReadLapTimes, StopsAfterTheFinishAndTakesTheFinalTime) {
  LapFolder meet;
  meet.Lap("r0012", "1,15.20,\r\n2,15.80,\n\n1,\"31.50\",\"G\"\r\n1,45.00,\r\ngarbage line\r\n12,1:00.00,G\n2, 32.00 ,G\n");
  const LapTimes lane1 = readLapTimes(meet.dir.path(), 12, 1, 3149);
  EXPECT_EQ(lane1.texts, (std::vector<std::string>{"   15.20", "   31.49"}));
  const LapTimes lane2 = readLapTimes(meet.dir.path(), 12, 2, 0);  // no result: the split as timed
  EXPECT_EQ(lane2.texts, (std::vector<std::string>{"   15.80", "   32.00"}));
  EXPECT_EQ(readLapTimes(meet.dir.path(), 12, 3, 0).count(), 0);
  EXPECT_EQ(readLapTimes(meet.dir.path(), 12, 11, 0).count(), 0);
  EXPECT_EQ(readLapTimes(meet.dir.path(), 13, 1, 0).count(), 0);  // no file
}

TEST(ReadLapTimes, AtMostSixtyLaps) {
  std::vector<LapLine> laps;
  for (int i = 0; i < 75; ++i) laps.push_back(LapLine{4, "   10.00", false});
  const LapTimes t = readLapTimes(laps, 4, 200000);
  ASSERT_EQ(t.count(), kMaxLaps);
  EXPECT_EQ(t.texts.back(), "20:00.00");
}

TEST(ReadGoalFile, TenSlotsInLineOrder) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "goal");
  test::WriteFile(dir / "goal" / "G0003", "1,3012\r\n 2 , 3100\r\nx\r\n");
  const auto slots = ReadGoalFile(dir.path(), 3);
  ASSERT_EQ(slots.size(), 10u);
  ASSERT_TRUE(slots[0] && slots[1]);
  EXPECT_EQ(slots[1]->time, 3100);
  EXPECT_FALSE(slots[2]);
  EXPECT_FALSE(slots[9]);
}

}  // namespace
}  // namespace meet
