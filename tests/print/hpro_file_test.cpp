#include "print/hpro_file.h"

#include <gtest/gtest.h>

#include "print/pages_test_bytes.h"

namespace meet {
namespace {

using test::PageHeader;
using test::PageRecord;

TEST(PageFile, ReadsPagesFromHandBuiltBytes) {
  std::string bytes = PageHeader(2, 1) + PageRecord(3, {5, 6, 7, 0, 0, 0, 0, 0}, '1') +
                      PageRecord(1, {0, 0, 0, 9, 0, 0, 0, -2});
  PageFile file = PageFile::FromBytes("hpro.dat", bytes);
  EXPECT_EQ(file.pageCount(), 2);
  EXPECT_EQ(file.pagePattern(), 1);
  ProgramPage first = file.Read(1);
  EXPECT_EQ(first.slotCount, 3);
  EXPECT_EQ(first.pageRace, (std::array<int16_t, 8>{5, 6, 7, 0, 0, 0, 0, 0}));
  EXPECT_EQ(first.pageMark, '1');
  ProgramPage second = file.Read(2);
  EXPECT_EQ(second.pageRace[3], 9);
  EXPECT_EQ(second.pageRace[7], -2);
  EXPECT_EQ(second.FilledSlots(), 2);
}

TEST(PageFile, NeverTrustsThePageCount) {
  struct Case {
    std::string bytes;
    int pages;
  };
  const std::string twoPages = PageHeader(2) + PageRecord(1, {1}) + PageRecord(1, {2});
  for (const Case& c : {
           Case{"", 0},
           Case{std::string(10, '\x05'), 0},                          // shorter than 11 bytes
           Case{test::Le16(7) + std::string(8, '\0'), 0},             // 10 bytes with a count
           Case{PageHeader(9), 0},                                    // header only
           Case{twoPages, 2},
           Case{PageHeader(40) + PageRecord(1, {1}), 1},              // count above the records held
           Case{PageHeader(-3) + PageRecord(1, {1}), 0},              // negative count
           Case{PageHeader(5) + PageRecord(1, {1}) + "xy", 2},        // a partial record counts, reading zeros
           Case{test::Le16(3) + std::string(300, '\xff'), 0},         // garbage, no page record
       }) {
    PageFile file = PageFile::FromBytes("hpro.dat", c.bytes);
    EXPECT_EQ(file.pageCount(), c.pages) << c.bytes.size();
  }
}

TEST(PageFile, ReadsZerosPastTheEndAndOutsideThePageRange) {
  PageFile file = PageFile::FromBytes("hpro.dat", PageHeader(1) + PageRecord(2, {4, 5}).substr(0, 4));
  ProgramPage partial = file.Read(1);
  EXPECT_EQ(partial.slotCount, 2);
  EXPECT_EQ(partial.pageRace[0], 4);
  EXPECT_EQ(partial.pageRace[1], 0);  // cut off by the end of the file
  for (int p : {0, -1, 2, 32757, 32758, 100000}) {
    ProgramPage page = file.Read(p);
    EXPECT_EQ(page.slotCount, 0) << p;
    EXPECT_EQ(page.FilledSlots(), 0) << p;
  }
}

TEST(PageFile, WritesAPageRecordAtItsPlaceKeepingEverythingElse) {
  const std::string before = PageHeader(2, 1, 'h', 'u') + PageRecord(1, {1}, 'm', 'f') + PageRecord(1, {2}, 'n', 'g') +
                             PageRecord(1, {3}, 'o', 'k');
  PageFile file = PageFile::FromBytes("hpro.dat", before);
  ProgramPage page = file.Read(2);
  page.pageRace = {7, 8, 0, 0, 0, 0, 0, 0};
  page.slotCount = 2;
  ASSERT_TRUE(file.Write(2, page));
  std::string expected = before;
  expected.replace(11 * 128, 128, PageRecord(2, {7, 8}, 'n', 'g'));
  EXPECT_EQ(file.bytes(), expected);
  EXPECT_TRUE(file.changed());
}

TEST(PageFile, NewPageRecordsAndHeaderAreNulFilled) {
  PageFile file = PageFile::FromBytes("hpro.dat", "");
  ProgramPage page;
  page.slotCount = 1;
  page.pageRace[0] = 3;
  ASSERT_TRUE(file.Write(2, page));
  ASSERT_TRUE(file.WriteHeader(2, 1));
  std::string expected = PageHeader(2, 1) + PageRecord(0, {}) + PageRecord(1, {3});
  EXPECT_EQ(file.bytes(), expected);
}

TEST(PageFile, RefusesPagesOutsideTheRange) {
  PageFile file = PageFile::FromBytes("hpro.dat", PageHeader(0));
  EXPECT_FALSE(file.Write(0, ProgramPage{}));
  EXPECT_FALSE(file.Write(32758, ProgramPage{}));
  EXPECT_FALSE(file.WriteHeader(-1, 0));
  EXPECT_FALSE(file.WriteHeader(32758, 0));
  EXPECT_EQ(file.bytes(), PageHeader(0));
  EXPECT_FALSE(file.changed());
}

TEST(PageFile, LoadFindsTheFileWhateverItsCaseAndSavesWhole) {
  test::TempDir dir;
  EXPECT_EQ(PageFile::Load(dir.path())->pageCount(), 0);  // missing reads as empty
  test::WriteFile(dir / "HPRO.DAT", PageHeader(1) + PageRecord(1, {4}));
  auto file = PageFile::Load(dir.path());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->pageCount(), 1);
  ProgramPage page;
  page.slotCount = 1;
  page.pageRace[0] = 6;
  ASSERT_TRUE(file->Write(1, page));
  ASSERT_TRUE(file->Save());
  EXPECT_EQ(test::ReadFile(dir / "HPRO.DAT"), PageHeader(1) + PageRecord(1, {6}));
  EXPECT_FALSE(std::filesystem::exists(dir / "hpro.dat"));
}

}  // namespace
}  // namespace meet
