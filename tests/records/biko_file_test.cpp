#include "records/biko_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;

constexpr size_t kLen = 48;

std::string Header(int count) { return Le16(count) + std::string(46, '\xEE'); }

// One entry built field by field from the layout table.
struct BikoBytes {
  int raceEventNo = 12, heatNo = 3;
  std::string sex = "2";
  int classFrom = 11, classTo = 12, eventCode = 2;
  std::string relay = "0", stage = "2";
  int32_t time = 2507;
  int recordClass = 11, place = 1, placePoints = 9, reachedOrder = 1, bonusValue = 2;
  std::array<int, 4> members = {501, 0, 0, 0};
  std::string team = "13001", day = "1", spare = "spare!!";

  std::string Build() const {
    std::string s = Le16(raceEventNo) + Le16(heatNo) + sex + Le16(classFrom) + Le16(classTo) + Le16(eventCode) +
                    relay + stage + Le32(time) + Le16(recordClass) + Le16(place) + Le16(placePoints) +
                    Le16(reachedOrder) + Le16(bonusValue);
    for (int m : members) s += Le16(m);
    return s + team + day + spare;
  }
};

TEST(BikoLayout, HandBuiltEntryIsOneRecordLong) {
  EXPECT_EQ(BikoBytes{}.Build().size(), kLen);
  EXPECT_EQ(Header(0).size(), kLen);
}

TEST(LoadBikoEntries, ReadsEveryFieldAtItsOffset) {
  test::TempDir dir;
  BikoBytes relay;
  relay.sex = "3";
  relay.eventCode = 28;
  relay.relay = "1";
  relay.stage = "1";
  relay.time = 41234;
  relay.recordClass = 31;
  relay.members = {11, 12, -13, 14};
  relay.team = "27000";
  relay.day = "2";
  test::WriteFile(dir / "biko.dat", Header(2) + BikoBytes{}.Build() + relay.Build());
  auto entries = LoadBikoEntries(dir.path());
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  const BikoEntry& a = (*entries)[0];
  EXPECT_EQ(a.raceEventNo, 12);
  EXPECT_EQ(a.heatNo, 3);
  EXPECT_EQ(a.sexCode, "2");
  EXPECT_EQ(a.classFrom, 11);
  EXPECT_EQ(a.classTo, 12);
  EXPECT_EQ(a.eventCode, 2);
  EXPECT_EQ(a.relayFlag, "0");
  EXPECT_EQ(a.stageCode, "2");
  EXPECT_EQ(a.time, 2507);
  EXPECT_EQ(a.recordClass, 11);
  EXPECT_EQ(a.place, 1);
  EXPECT_EQ(a.placePoints, 9);
  EXPECT_EQ(a.reachedOrder, 1);
  EXPECT_EQ(a.bonusValue, 2);
  EXPECT_EQ(a.members, (std::array<int16_t, 4>{501, 0, 0, 0}));
  EXPECT_EQ(a.teamCode, "13001");
  EXPECT_EQ(a.dayNo, "1");
  EXPECT_EQ(a.recordSpare, "spare!!");
  const BikoEntry& b = (*entries)[1];
  EXPECT_EQ(b.sexCode, "3");
  EXPECT_EQ(b.eventCode, 28);
  EXPECT_EQ(b.relayFlag, "1");
  EXPECT_EQ(b.time, 41234);
  EXPECT_EQ(b.recordClass, 31);
  EXPECT_EQ(b.members, (std::array<int16_t, 4>{11, 12, -13, 14}));
  EXPECT_EQ(b.teamCode, "27000");
  EXPECT_EQ(b.dayNo, "2");
  EXPECT_EQ(BikoEntriesHeld(dir.path()), 2);
}

TEST(LoadBikoEntries, MissingOrTinyFileIsAnEmptyList) {
  test::TempDir dir;
  auto missing = LoadBikoEntries(dir.path());
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->empty());
  for (std::string bytes : {std::string(), std::string("\x03")}) {
    test::WriteFile(dir / "biko.dat", bytes);
    auto entries = LoadBikoEntries(dir.path());
    ASSERT_TRUE(entries);
    EXPECT_TRUE(entries->empty());
    EXPECT_EQ(BikoEntriesHeld(dir.path()), 0);
  }
}

TEST(LoadBikoEntries, CountIsClampedToTheEntriesHeld) {
  struct Case {
    int count;
    int entriesWritten;
    size_t expected;
  };
  for (const Case& c : std::vector<Case>{{5, 2, 2}, {-3, 2, 0}, {0, 3, 0}, {1, 3, 1}, {32767, 0, 0}}) {
    test::TempDir dir;
    std::string bytes = Header(c.count);
    for (int n = 0; n < c.entriesWritten; ++n) bytes += BikoBytes{}.Build();
    test::WriteFile(dir / "biko.dat", bytes);
    auto entries = LoadBikoEntries(dir.path());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), c.expected) << c.count << ' ' << c.entriesWritten;
  }
}

TEST(LoadBikoEntries, TruncatedEntryReadsZeroPastTheEnd) {
  test::TempDir dir;
  test::WriteFile(dir / "biko.dat", Header(2) + BikoBytes{}.Build() + BikoBytes{}.Build().substr(0, 13));
  auto entries = LoadBikoEntries(dir.path());
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[1].eventCode, 2);  // within the bytes held
  EXPECT_EQ((*entries)[1].time, 0);       // past the end
  EXPECT_EQ((*entries)[1].recordClass, 0);
}

TEST(LoadBikoEntries, FileNameIsFoundWhateverItsCase) {
  test::TempDir dir;
  test::WriteFile(dir / "Biko.DAT", Header(1) + BikoBytes{}.Build());
  auto entries = LoadBikoEntries(dir.path());
  ASSERT_TRUE(entries);
  EXPECT_EQ(entries->size(), 1u);
}

TEST(LoadBikoEntries, GarbageNeverCrashes) {
  test::TempDir dir;
  std::mt19937 gen(5);
  for (size_t size : {size_t{2}, size_t{47}, size_t{49}, size_t{1000}, size_t{48 * 300 + 7}}) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    test::WriteFile(dir / "biko.dat", bytes);
    auto entries = LoadBikoEntries(dir.path());
    ASSERT_TRUE(entries);
    EXPECT_LE(entries->size(), (size + kLen - 1) / kLen - 1);
  }
}

}  // namespace
}  // namespace meet
