// projun2.dat: the numbered program entries re-sorted by sex, event, age band
// and position, behind a copy of projun.dat's header.
#include "results/projun2_file.h"

#include <gtest/gtest.h>

#include "results/ranking_fixture.h"

namespace meet {
namespace {

using test::HandProgramEntry;

TEST(EventOrderFile, BytesAreTheHeaderCopyThenTheEntriesInEventOrder) {
  test::RankingMeet meet;
  const std::vector<HandProgramEntry> program = {
      {1, 2, "2", 0, 100, 2, "1", 1},   // 女子 50m
      {0, 1, "1", 0, 100, 1, "1", 3},   // hidden: not copied
      {3, 1, "1", 11, 12, 2, "2", 4},   // 男子 50m 11–12
      {4, 1, "1", 9, 10, 2, "2", 5},    // 男子 50m 9–10
      {5, 1, "1", 9, 10, 2, "1", 6},    // the same band, later in the program
      {6, 1, "1", 120, 1099, 26, "1", 7},  // relay band with a four-digit bound
      {7, 1, "1", 120, 159, 26, "1", 8},
  };
  meet.Program(program);
  auto order = ProgramOrder::Load(meet.dir.path());
  ASSERT_TRUE(order);
  auto sorted = RebuildEventOrderFile(meet.dir.path(), *order);
  ASSERT_TRUE(sorted);
  std::string expected = test::Le16(7) + std::string(62, ' ') + std::string(64 * 9, '\0');
  for (size_t i : {3u, 4u, 2u, 6u, 5u, 0u}) expected += test::ProgramRecordBytes(program[i]);
  EXPECT_EQ(test::ReadFile(meet.dir / "projun2.dat"), expected);
  ASSERT_EQ(sorted->size(), 6u);
  EXPECT_EQ(sorted->front().position, 4);
  EXPECT_EQ(sorted->back().position, 1);
}

TEST(EventOrderFile, AnEmptyProgramGivesTheHeaderAlone) {
  test::RankingMeet meet;
  auto order = ProgramOrder::Load(meet.dir.path());
  ASSERT_TRUE(order);
  auto sorted = RebuildEventOrderFile(meet.dir.path(), *order);
  ASSERT_TRUE(sorted);
  EXPECT_TRUE(sorted->empty());
  EXPECT_EQ(test::ReadFile(meet.dir / "projun2.dat").size(), 64u * 10);
}

}  // namespace
}  // namespace meet
