#include "data/optional_categories.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Sjis;

constexpr size_t kLen = 32;

std::string CategoryBytes(const std::string& sex, int from, int to, int eventFrom, int eventTo,
                          const std::string& name, const std::string& title, const std::string& spare) {
  return sex + Le16(from) + Le16(to) + Le16(eventFrom) + Le16(eventTo) + Sjis(name, 12) + title + spare;
}

std::string Header(int count) { return Le16(count) + std::string(30, '\0'); }

std::string CategoryFile(int count, int records) {
  std::string s = Header(count);
  for (int n = 1; n <= records; ++n)
    s += CategoryBytes("4", 10 * n, 10 * n + 9, 1, 29, std::to_string(n) + "区分", " ", std::string(10, '\0'));
  return s;
}

TEST(OptionalCategoryLayout, HandBuiltRecordIsOneRecordLong) {
  EXPECT_EQ(CategoryBytes("1", 0, 0, 0, 0, "", "T", std::string(10, 'S')).size(), kLen);
}

TEST(OptionalCategories, CategoriesFollowTheHeaderDirectly) {
  test::TempDir dir;
  test::WriteFile(dir / "optkubun.dat", Header(2) + CategoryBytes("1", 15, 17, 1, 22, "15-17歳", "T", "spare-byte") +
                                            CategoryBytes("4", 18, 100, 23, 29, "18歳以上", " ", std::string(10, '\0')));
  auto cats = ReadOptionalCategories(dir.str());
  ASSERT_EQ(cats.size(), 2u);
  EXPECT_EQ(cats[0].catSex, "1");
  EXPECT_EQ(cats[0].catFrom, 15);
  EXPECT_EQ(cats[0].catTo, 17);
  EXPECT_EQ(cats[0].catEventFrom, 1);
  EXPECT_EQ(cats[0].catEventTo, 22);
  EXPECT_EQ(cats[0].catName, "15-17歳     ");
  EXPECT_EQ(cats[0].catTitleOnly, "T");
  EXPECT_EQ(cats[0].catSpare, "spare-byte");
  EXPECT_EQ(cats[1].catTo, 100);
  EXPECT_EQ(cats[1].catName, "18歳以上    ");
}

TEST(OptionalCategories, WriterPutsEachFieldAtItsOffset) {
  OptionalCategory c;
  c.catSex = "2";
  c.catFrom = 15;
  c.catTo = 100;
  c.catEventFrom = 1;
  c.catEventTo = 22;
  c.catName = "15歳以上";
  c.catTitleOnly = "";
  EXPECT_EQ(RecordFromOptionalCategory(c).bytes(),
            CategoryBytes("2", 15, 100, 1, 22, "15歳以上", std::string(1, '\0'), std::string(10, '\0')));
  std::string bytes = CategoryBytes("3", -1, 7, 30, 44, "ＪＯ予選区分名", "T", "0123456789");
  EXPECT_EQ(RecordFromOptionalCategory(OptionalCategoryFromRecord(Record(bytes, kLen))).bytes(), bytes);
}

TEST(OptionalCategories, CountIsClampedToTheRecordsHeld) {
  struct Case {
    int count, records;
    size_t expected;
  };
  const Case cases[] = {
      {4, 6, 4},    // records past K are left over from a longer preset
      {9, 3, 3},    // more than held
      {-5, 3, 0},   // negative
      {0, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    test::TempDir dir;
    test::WriteFile(dir / "optkubun.dat", CategoryFile(c.count, c.records));
    auto cats = ReadOptionalCategories(dir.str());
    ASSERT_EQ(cats.size(), c.expected);
    if (!cats.empty()) {
      EXPECT_EQ(cats.back().catFrom, static_cast<int16_t>(10 * c.expected));
    }
  }
}

TEST(OptionalCategories, MissingOrTinyFileHasNone) {
  test::TempDir dir;
  EXPECT_TRUE(ReadOptionalCategories(dir.str()).empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "optkubun.dat"));
  test::WriteFile(dir / "optkubun.dat", Le16(3) + std::string(8, '\x41'));  // 10 bytes
  EXPECT_TRUE(ReadOptionalCategories(dir.str()).empty());
}

TEST(OptionalCategories, TruncatedLastCategoryReadsZerosForTheMissingPart) {
  test::TempDir dir;
  std::string bytes = CategoryFile(2, 2);
  bytes.resize(kLen * 2 + 3);  // category 2 ends before catTo
  test::WriteFile(dir / "optkubun.dat", bytes);
  auto cats = ReadOptionalCategories(dir.str());
  ASSERT_EQ(cats.size(), 2u);
  EXPECT_EQ(cats[1].catFrom, 20);
  EXPECT_EQ(cats[1].catTo, 0);
}

TEST(OptionalCategories, FoundWhateverItsLetterCase) {
  test::TempDir dir;
  test::WriteFile(dir / "OptKubun.DAT", CategoryFile(1, 1));
  EXPECT_EQ(ReadOptionalCategories(dir.str()).size(), 1u);
}

TEST(OptionalCategories, GarbageFilesNeverCrash) {
  std::mt19937 gen(3);
  for (size_t size : {11u, 32u, 33u, 1000u, 70000u}) {
    SCOPED_TRACE(size);
    test::TempDir dir;
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen());
    test::WriteFile(dir / "optkubun.dat", bytes);
    auto cats = ReadOptionalCategories(dir.str());
    EXPECT_LE(cats.size(), size / kLen + 1);
  }
}

}  // namespace
}  // namespace meet
