#include "core/record_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Bytes;
using test::Le16;
using test::Le32;

TEST(Record, IntegersAreLittleEndian) {
  Record r(8);
  r.SetI16(0, -2);
  r.SetI32(2, 0x01020304);
  EXPECT_EQ(r.bytes(), Bytes({0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01, 0, 0}));
  EXPECT_EQ(r.I16(0), -2);
  EXPECT_EQ(r.I32(2), 0x01020304);
}

TEST(Record, TextFieldsAreBlankFilledOrNulFilledWhenEmpty) {
  Record r(10);
  r.SetText(0, 6, "山a");
  EXPECT_EQ(r.Raw(0, 6), std::string("\x8e\x52" "a   "));
  r.SetText(6, 4, "");
  EXPECT_EQ(r.Raw(6, 4), std::string(4, '\0'));
  r.SetText(6, 3, "山田");  // cut without splitting the second character
  EXPECT_EQ(r.Raw(6, 3), std::string("\x8e\x52 "));
  EXPECT_EQ(r.Text(0, 6), "山a   ");
}

TEST(Record, AccessOutsideTheRecordIsHarmless) {
  Record r(4);
  r.SetI32(2, 7);
  r.SetText(3, 5, "abc");
  EXPECT_EQ(r.bytes(), std::string(4, '\0'));
  EXPECT_EQ(r.I32(2), 0);
  EXPECT_EQ(r.I16(100), 0);
  EXPECT_EQ(r.Text(2, 10), "");
}

TEST(RecordFile, RecordsAreNumberedFromOneAndPastTheEndReadsZero) {
  test::TempDir dir;
  test::WriteFile(dir / "f.dat", Bytes({1, 2, 3, 4, 5, 6}));
  auto file = RecordFile::Open(dir / "f.dat", 4, RecordFile::Mode::ReadOnly);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Read(1).bytes(), Bytes({1, 2, 3, 4}));
  EXPECT_EQ(file->Read(2).bytes(), Bytes({5, 6, 0, 0}));  // partly held
  EXPECT_EQ(file->Read(3).bytes(), std::string(4, '\0'));
  EXPECT_EQ(file->Read(0).bytes(), std::string(4, '\0'));
  EXPECT_EQ(file->recordsHeld(), 2);
}

TEST(RecordFile, MissingFileReadsAsEmptyAndIsNotCreated) {
  test::TempDir dir;
  auto file = RecordFile::Open(dir / "none.dat", 16, RecordFile::Mode::ReadOnly);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->byteSize(), 0u);
  EXPECT_EQ(file->Read(5).bytes(), std::string(16, '\0'));
  EXPECT_FALSE(std::filesystem::exists(dir / "none.dat"));
  EXPECT_FALSE(file->Write(1, Record(16)));
}

TEST(RecordFile, WritingARecordTouchesOnlyItsBytes) {
  test::TempDir dir;
  test::WriteFile(dir / "f.dat", std::string(12, 'x'));
  {
    auto file = RecordFile::Open(dir / "f.dat", 4, RecordFile::Mode::ReadWrite);
    ASSERT_TRUE(file);
    Record r(4);
    r.SetI16(0, 258);
    ASSERT_TRUE(file->Write(2, r));
    ASSERT_TRUE(file->Write(5, r));  // beyond the end: the gap reads as zero
  }
  EXPECT_EQ(test::ReadFile(dir / "f.dat"),
            "xxxx" + Le16(258) + Bytes({0, 0}) + "xxxx" + std::string(4, '\0') + Le16(258) + Bytes({0, 0}));
}

TEST(RecordFile, ByteWritesChangeOnlyTheGivenBytes) {
  test::TempDir dir;
  test::WriteFile(dir / "s.dat", "11116111");
  auto file = RecordFile::Open(dir / "s.dat", 8, RecordFile::Mode::ReadWrite);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->WriteBytesAt(2, "7"));
  EXPECT_EQ(file->ReadBytesAt(0, 10), std::string("11716111") + std::string(2, '\0'));
  EXPECT_EQ(test::ReadFile(dir / "s.dat"), "11716111");
  (void)Le32(0);
}

TEST(RecordFile, OpeningAFolderFails) {
  test::TempDir dir;
  auto file = RecordFile::Open(dir.path(), 4, RecordFile::Mode::ReadWrite);
  EXPECT_FALSE(file);
}

}  // namespace
}  // namespace meet
