#include "data/relay_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;

constexpr size_t kLen = 256;

// A block built from the layout table: member of leg l, slot k = 1000 × (l + 1) + k.
std::string BlockBytes(int blockNo, int race, char filler = '\0') {
  std::string s = Le16(blockNo);
  for (int l = 0; l < 4; ++l)
    for (int k = 0; k < 12; ++k) s += Le16(1000 * (l + 1) + k);
  s += Le16(race);
  for (int k = 0; k < 10; ++k) s += Le32(3000 + k);
  s += std::string(116, filler);
  return s;
}

std::string RelayFileBytes(int count, const std::vector<std::string>& blocks) {
  std::string s = Le16(count) + std::string(254, '\0');
  for (int r = 2; r <= 10; ++r) s += std::string(kLen, '\xEE');
  for (const auto& b : blocks) s += b;
  return s;
}

TEST(RelayLayout, HandBuiltBlockIsOneRecordLong) { EXPECT_EQ(BlockBytes(1, 1).size(), kLen); }

TEST(RelayFileOpen, MissingFileIsCreatedEmpty) {
  test::TempDir dir;
  auto file = RelayFile::Open(dir.str());
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(file->relayCount(), 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "relay.dat"));
  EXPECT_EQ(std::filesystem::file_size(dir / "relay.dat"), 0u);
}

TEST(RelayFileOpen, ForReadingNothingIsCreated) {
  test::TempDir dir;
  auto file = RelayFile::OpenForReading(dir.str());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->relayCount(), 0);
  EXPECT_EQ(file->Read(1).relayRace, 0);
  EXPECT_FALSE(file->SetRelayCount(1));
  EXPECT_FALSE(std::filesystem::exists(dir / "relay.dat"));
}

TEST(RelayFileOpen, CountIsReadFromRecordOne) {
  test::TempDir dir;
  test::WriteFile(dir / "relay.dat", RelayFileBytes(2, {BlockBytes(1, 5), BlockBytes(2, 9)}));
  auto file = RelayFile::Open(dir.str());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->relayCount(), 2);
}

TEST(RelayFileOpen, CountIsClampedToTheBlocksHeld) {
  struct Case {
    std::string bytes;
    int16_t count;
  };
  const Case cases[] = {
      {Le16(7) + std::string(8, '\0'), 0},                           // 10 bytes: empty
      {RelayFileBytes(9, {BlockBytes(1, 5), BlockBytes(2, 9)}), 2},  // more than held
      {RelayFileBytes(-1, {BlockBytes(1, 5)}), 0},                   // negative
      {RelayFileBytes(1, {BlockBytes(1, 5), BlockBytes(2, 9)}), 1},  // fewer than held
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    test::TempDir dir;
    test::WriteFile(dir / "relay.dat", c.bytes);
    auto file = RelayFile::OpenForReading(dir.str());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->relayCount(), c.count);
  }
}

TEST(RelayBlock, BlockBIsRecordBPlusTen) {
  test::TempDir dir;
  test::WriteFile(dir / "relay.dat", RelayFileBytes(2, {BlockBytes(1, 5, 'x'), BlockBytes(2, 9)}));
  auto file = RelayFile::OpenForReading(dir.str());
  ASSERT_TRUE(file);
  RelayBlock b = file->Read(2);
  EXPECT_EQ(b.relayBlockNo, 2);
  EXPECT_EQ(b.relayRace, 9);
  EXPECT_EQ(b.splitTimes[0], 3000);
  EXPECT_EQ(b.splitTimes[9], 3009);
  EXPECT_EQ(file->Read(1).relayRace, 5);
}

TEST(RelayBlock, LegLOfSlotKIsElementLTimesTwelvePlusK) {
  RelayBlock b = RelayBlockFromRecord(Record(BlockBytes(1, 5), kLen));
  for (int l = 0; l < 4; ++l)
    for (int k = 0; k < 12; ++k) EXPECT_EQ(b.member(l, k), 1000 * (l + 1) + k) << l << "," << k;
  EXPECT_EQ(b.legMembers[13], 2001);
  EXPECT_EQ(b.member(4, 0), 0);
  EXPECT_EQ(b.member(0, 12), 0);
  EXPECT_EQ(b.member(-1, 0), 0);
}

TEST(RelayBlock, OutsideTheFileReadsEmpty) {
  test::TempDir dir;
  test::WriteFile(dir / "relay.dat", RelayFileBytes(1, {BlockBytes(1, 5)}));
  auto file = RelayFile::OpenForReading(dir.str());
  ASSERT_TRUE(file);
  for (int b : {0, -1, 2, 40000}) {
    RelayBlock block = file->Read(b);
    EXPECT_EQ(block.relayBlockNo, 0) << b;
    EXPECT_EQ(block.legMembers[0], 0) << b;
  }
}

TEST(RelayBlock, WriteReplacesItsRecordOnlyAndClearsTheFiller) {
  test::TempDir dir;
  std::string before = RelayFileBytes(3, {BlockBytes(1, 5, 'x'), BlockBytes(2, 9, 'y'), BlockBytes(3, 11, 'z')});
  test::WriteFile(dir / "relay.dat", before);
  auto file = RelayFile::Open(dir.str());
  ASSERT_TRUE(file);
  RelayBlock b = RelayBlockFromRecord(Record(BlockBytes(2, 9, 'y'), kLen));
  ASSERT_TRUE(file->Write(2, b));
  std::string after = test::ReadFile(dir / "relay.dat");
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(0, 11 * kLen), before.substr(0, 11 * kLen));
  EXPECT_EQ(after.substr(11 * kLen, kLen), BlockBytes(2, 9));
  EXPECT_EQ(after.substr(12 * kLen), before.substr(12 * kLen));
}

TEST(RelayBlock, BlockNumbersOutsideTheRangeAreRefused) {
  test::TempDir dir;
  auto file = RelayFile::Open(dir.str());
  ASSERT_TRUE(file);
  for (int b : {0, -1, 32758}) {
    auto written = file->Write(b, RelayBlock{});
    ASSERT_FALSE(written) << b;
    EXPECT_EQ(written.error().kind, ErrorKind::Invalid);
  }
  EXPECT_EQ(std::filesystem::file_size(dir / "relay.dat"), 0u);
}

TEST(RelayHeader, SetRelayCountWritesRecordOne) {
  test::TempDir dir;
  std::string before = RelayFileBytes(1, {BlockBytes(1, 5)});
  before.replace(2, 3, "abc");  // filler bytes are rewritten as NUL
  test::WriteFile(dir / "relay.dat", before);
  auto file = RelayFile::Open(dir.str());
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->SetRelayCount(4));
  EXPECT_EQ(file->relayCount(), 4);
  std::string after = test::ReadFile(dir / "relay.dat");
  EXPECT_EQ(after.substr(0, kLen), Le16(4) + std::string(254, '\0'));
  EXPECT_EQ(after.substr(kLen), before.substr(kLen));
  EXPECT_FALSE(file->SetRelayCount(-2));
  EXPECT_EQ(file->relayCount(), 4);
}

TEST(RelayFile, FoundWhateverItsLetterCase) {
  test::TempDir dir;
  test::WriteFile(dir / "RELAY.DAT", RelayFileBytes(1, {BlockBytes(1, 5)}));
  auto file = RelayFile::Open(dir.str());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->relayCount(), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "relay.dat"));
}

TEST(RelayFile, GarbageFilesNeverCrash) {
  std::mt19937 gen(99);
  for (size_t size : {11u, 256u, 2817u, 9999u}) {
    SCOPED_TRACE(size);
    test::TempDir dir;
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen());
    test::WriteFile(dir / "relay.dat", bytes);
    auto file = RelayFile::OpenForReading(dir.str());
    ASSERT_TRUE(file);
    EXPECT_GE(file->relayCount(), 0);
    EXPECT_LE(file->relayCount(), static_cast<int>((size + kLen - 1) / kLen));
    for (int b = 0; b <= file->relayCount() + 1; ++b)
      EXPECT_EQ(RecordFromRelayBlock(file->Read(b)).size(), kLen);
  }
}

}  // namespace
}  // namespace meet
