#include "records/sample_standards.h"

#include <gtest/gtest.h>

#include <map>

#include "core/time_code.h"
#include "data/entry_file.h"
#include "data/sample_entries.h"
#include "records/record_check.h"
#include "support/test_support.h"

namespace meet {
namespace {

TEST(SampleStandards, SameSeedSameBytesOtherSeedOtherTimes) {
  std::string a = ShikakuTableBytes(SampleStandardsTable(1, "1"));
  EXPECT_EQ(a.size(), 570u * 384u);
  EXPECT_EQ(a, ShikakuTableBytes(SampleStandardsTable(1, "1")));
  EXPECT_NE(a, ShikakuTableBytes(SampleStandardsTable(2, "1")));
  EXPECT_NE(a, ShikakuTableBytes(SampleStandardsTable(1, "2")));
}

TEST(SampleStandards, LevelsRunSlowerFromWorldToDistrict) {
  for (uint64_t seed : {1u, 2u, 99u}) {
    ShikakuTable t = SampleStandardsTable(seed, "1");
    int cellsWithTimes = 0;
    for (int category = 0; category < 5; ++category) {
      for (size_t c = 0; c < 87; ++c) {
        int32_t above = 0;
        for (int level = 0; level < 6; ++level) {
          int32_t time = t.record(141 + level * 5 + category).cellTimes[c];
          if (level == 0 && time == 0) break;  // no such event for this sex
          ASSERT_GT(time, above) << "seed " << seed << " level " << level << " category " << category << " cell " << c;
          ASSERT_GE(time, t.record(141 + level * 5).cellTimes[c]);  // school records are never faster
          EXPECT_EQ(ParseTime(FormatTime(time)), time);  // a real time
          above = time;
          ++cellsWithTimes;
        }
      }
    }
    EXPECT_EQ(cellsWithTimes, 5 * 6 * (22 * 2 + 7 * 3));
  }
}

TEST(SampleStandards, GradeLaddersRunFasterLevelByLevel) {
  // The level rule climbs while the time is within the next level's time, so
  // level 1 must be the easiest time and level 14 the hardest.
  ShikakuTable t = SampleStandardsTable(4, "1");
  for (int band = 0; band < 10; ++band)
    for (int level = 2; level <= 14; ++level)
      for (size_t c = 0; c < 87; ++c) {
        int32_t faster = t.record(band * 14 + level).cellTimes[c];
        int32_t slower = t.record(band * 14 + level - 1).cellTimes[c];
        if (faster != 0) {
          ASSERT_GT(slower, faster) << band << ' ' << level << ' ' << c;
        }
      }
}

TEST(SampleStandards, AdultStandardsShareOneGroup) {
  ShikakuTable t = SampleStandardsTable(1, "1");
  EXPECT_EQ(t.GroupOf(295), (RecordRange{289, 299}));
  EXPECT_EQ(t.record(299).cellTimes, t.record(289).cellTimes);
  EXPECT_EQ(t.GroupOf(288), (RecordRange{288, 288}));
  EXPECT_EQ(t.GroupOf(171), (RecordRange{171, 171}));
}

TEST(SampleStandards, ADemoMeetBreaksRecordsAndReachesStandards) {
  for (const std::string classMode : {"1", "2"}) {
    test::TempDir dir;
    SampleOptions options;
    ASSERT_TRUE(WriteSampleEntryFile(dir / "demo.Mos", options, DateTime{2026, 6, 1}));
    auto entries = EntryFile::OpenForReading(dir / "demo.Mos");
    ASSERT_TRUE(entries);
    ShikakuTable t = SampleStandardsTable(1, classMode);
    std::map<int, int> records;  // record class → findings
    int standards = 0;
    for (int32_t n = 1; n <= entries->entriesHeld(); ++n)
      for (const auto& f : CheckEntrant(t, entries->Load(n), classMode)) {
        if (f.standard) ++standards;
        else ++records[f.kind];
      }
    SCOPED_TRACE(classMode);
    EXPECT_GT(standards, 20);
    EXPECT_GT(records[31], 5);  // meet records
    int district = 0, world = 0;
    for (int k = 26; k <= 30; ++k) district += records[k];
    for (int k = 1; k <= 5; ++k) world += records[k];
    EXPECT_GT(district, 5);
    EXPECT_EQ(world, 0);
  }
}

TEST(WriteSampleStandards, WritesTheWholeTableAndKeepsTheOldOne) {
  test::TempDir dir;
  DateTime now{2026, 12, 8, 10, 0, 0};
  auto first = WriteSampleStandards(dir.path(), 7, "1", now);
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->backup.empty());
  EXPECT_EQ(test::ReadFile(first->file), ShikakuTableBytes(SampleStandardsTable(7, "1")));
  auto second = WriteSampleStandards(dir.path(), 8, "1", now);
  ASSERT_TRUE(second);
  ASSERT_FALSE(second->backup.empty());
  EXPECT_EQ(test::ReadFile(second->backup), ShikakuTableBytes(SampleStandardsTable(7, "1")));
  EXPECT_EQ(test::ReadFile(second->file), ShikakuTableBytes(SampleStandardsTable(8, "1")));
}

}  // namespace
}  // namespace meet
