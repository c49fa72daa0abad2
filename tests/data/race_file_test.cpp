#include "data/race_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Bytes;
using test::Le16;
using test::Le32;

constexpr size_t kLen = 256;

// A race record built field by field from the layout table.
struct RaceBytes {
  int eventNo = 12, heatNo = 2, heatTotal = 3;
  std::string sex = "2";
  int classFrom = 11, classTo = 12, eventCode = 25;
  std::string round = "1";
  std::string start = "093000";
  int relayRec = 4;
  std::string spare1 = "3", spare2 = "xyz!?";

  std::string Build() const {
    std::string s = Le16(eventNo) + Le16(heatNo) + Le16(heatTotal) + sex + Le16(classFrom) + Le16(classTo) +
                    Le16(eventCode) + round + start + Le16(relayRec);
    for (int k = 0; k < 12; ++k) s += Le16(100 + k);             // laneNo
    for (int k = 0; k < 12; ++k) s += Le32(10000 + k);           // laneTime
    for (int k = 0; k < 12; ++k) s += Le32(20000 + k);           // laneEntryTime
    for (int k = 0; k < 12; ++k) s += Le16(k + 1);               // laneRank
    for (int k = 0; k < 12; ++k) s += Le16(k);                   // openLevel
    for (int k = 0; k < 12; ++k) s += Le16(14 - k);              // ageLevel
    for (int k = 0; k < 12; ++k) s += Le16(k == 3 ? 99 : -k);    // laneRecordClass
    s += "1234567     ";                                         // standardFlags
    s += spare1 + spare2;
    return s;
  }
};

std::string Header(int count) { return Le16(count) + std::string(254, '\0'); }
std::string Filler(char c) { return std::string(kLen, c); }

// Header, records 2–10 and any races given, in file order.
std::string RaceFile(int count, const std::vector<std::string>& races, char unused = '\xEE') {
  std::string s = Header(count);
  for (int r = 2; r <= 10; ++r) s += Filler(unused);
  for (const auto& race : races) s += race;
  return s;
}

void ExpectHandBuiltRace(const Race& r) {
  EXPECT_EQ(r.eventNo, 12);
  EXPECT_EQ(r.heatNo, 2);
  EXPECT_EQ(r.heatTotal, 3);
  EXPECT_EQ(r.sexCode, "2");
  EXPECT_EQ(r.classFrom, 11);
  EXPECT_EQ(r.classTo, 12);
  EXPECT_EQ(r.eventCode, 25);
  EXPECT_EQ(r.roundCode, "1");
  EXPECT_EQ(r.relayRec, 4);
  for (size_t k = 0; k < 12; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(r.laneNo[k], 100 + static_cast<int>(k));
    EXPECT_EQ(r.laneTime[k], 10000 + static_cast<int>(k));
    EXPECT_EQ(r.laneEntryTime[k], 20000 + static_cast<int>(k));
    EXPECT_EQ(r.laneRank[k], static_cast<int>(k) + 1);
    EXPECT_EQ(r.openLevel[k], static_cast<int>(k));
    EXPECT_EQ(r.ageLevel[k], 14 - static_cast<int>(k));
    EXPECT_EQ(r.laneRecordClass[k], k == 3 ? 99 : -static_cast<int>(k));
  }
  EXPECT_EQ(std::string(r.standardFlags.data(), 12), "1234567     ");
}

TEST(RaceLayout, HandBuiltRecordIsOneRecordLong) { EXPECT_EQ(RaceBytes{}.Build().size(), kLen); }

TEST(LoadRace, ReadsRecordElevenForRaceOneWithTheHeaderCount) {
  test::TempDir dir;
  test::WriteFile(dir / "taikai.dat", RaceFile(2, {RaceBytes{}.Build(), Filler('\x11')}));
  auto race = LoadRace(dir.str(), 1);
  ASSERT_TRUE(race) << race.error().message;
  EXPECT_EQ(race->raceCount, 2);
  EXPECT_EQ(race->startTime, "09:30:00");
  ExpectHandBuiltRace(*race);
}

TEST(LoadRace, RaceNIsRecordNPlusTen) {
  test::TempDir dir;
  RaceBytes second;
  second.eventNo = 77;
  test::WriteFile(dir / "taikai.dat", RaceFile(3, {Filler('\x11'), second.Build(), Filler('\x22')}));
  auto race = LoadRace(dir.str(), 2);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->eventNo, 77);
}

TEST(LoadRaceB, KeepsTheStoredStartTimeAndLeavesTheCountAlone) {
  test::TempDir dir;
  test::WriteFile(dir / "taikai.dat", RaceFile(2, {RaceBytes{}.Build()}));
  auto race = LoadRaceB(dir.str(), 1);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->startTime, "093000");
  EXPECT_EQ(race->raceCount, 0);
  ExpectHandBuiltRace(*race);
}

TEST(SaveRace, RewritesTheHeaderAndTheRaceRecordOnly) {
  test::TempDir dir;
  std::string before;
  for (int r = 1; r <= 13; ++r) before += Filler(static_cast<char>(0xA0 + r));
  test::WriteFile(dir / "taikai.dat", before);

  Race race = RaceFromRecord(Record(RaceBytes{}.Build(), kLen), true);
  race.raceCount = 40;
  race.startTime = "10:05:30";
  ASSERT_TRUE(SaveRace(dir.str(), 1, race));

  RaceBytes expected;
  expected.start = "100530";
  expected.spare1 = std::string(1, '\0');
  expected.spare2 = std::string(5, '\0');
  std::string after = test::ReadFile(dir / "taikai.dat");
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(0, kLen), Header(40));
  EXPECT_EQ(after.substr(kLen, 9 * kLen), before.substr(kLen, 9 * kLen));  // records 2–10
  EXPECT_EQ(after.substr(10 * kLen, kLen), expected.Build());             // record 11
  EXPECT_EQ(after.substr(11 * kLen), before.substr(11 * kLen));           // records 12, 13
}

TEST(SaveRaceB, WritesTheRaceRecordWithoutTouchingTheHeader) {
  test::TempDir dir;
  std::string before = RaceFile(5, {Filler('\x11'), Filler('\x22'), Filler('\x33')}, '\x44');
  test::WriteFile(dir / "taikai.dat", before);
  Race race = RaceFromRecord(Record(RaceBytes{}.Build(), kLen), false);
  race.raceCount = 99;  // not written by buffer B
  race.startTime = "134500";
  ASSERT_TRUE(SaveRaceB(dir.str(), 2, race));

  RaceBytes expected;
  expected.start = "134500";
  expected.spare1 = std::string(1, '\0');
  expected.spare2 = std::string(5, '\0');
  std::string after = test::ReadFile(dir / "taikai.dat");
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(0, 11 * kLen), before.substr(0, 11 * kLen));
  EXPECT_EQ(after.substr(11 * kLen, kLen), expected.Build());
  EXPECT_EQ(after.substr(12 * kLen), before.substr(12 * kLen));
}

TEST(SaveRace, CreatesAMissingFileWithZeroedUnusedRecords) {
  test::TempDir dir;
  Race race;
  race.raceCount = 1;
  race.eventNo = 1;
  ASSERT_TRUE(SaveRace(dir.str(), 1, race));
  std::string bytes = test::ReadFile(dir / "taikai.dat");
  ASSERT_EQ(bytes.size(), 11 * kLen);
  EXPECT_EQ(bytes.substr(0, kLen), Header(1));
  EXPECT_EQ(bytes.substr(kLen, 9 * kLen), std::string(9 * kLen, '\0'));
  EXPECT_EQ(bytes.substr(10 * kLen, 2), Le16(1));
  EXPECT_EQ(ReadRaceCount(dir.str()), 1);
}

struct StartTimeCase {
  std::string stored;  // six bytes in the file
  std::string shown;   // race buffer
};

TEST(RaceStartTime, ColonsAreInsertedOnLoadingAndRemovedOnSaving) {
  const StartTimeCase cases[] = {
      {"093000", "09:30:00"},
      {"      ", "  :  :  "},        // not set yet
      {std::string(6, '\0'), std::string("\0\0:\0\0:\0\0", 8)},  // never written
      {"1200  ", "12:00:  "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    RaceBytes b;
    b.start = c.stored;
    Record record(b.Build(), kLen);
    Race race = RaceFromRecord(record, true);
    EXPECT_EQ(race.startTime, c.shown);
    EXPECT_EQ(RecordFromRace(race, true).Raw(race_layout::kStartTime, 6), c.stored);
    EXPECT_EQ(RaceFromRecord(record, false).startTime, c.stored);
  }
}

TEST(RaceStartTime, AnEmptyBufferTimeIsWrittenAsNul) {
  Race race;
  EXPECT_EQ(RecordFromRace(race, true).Raw(race_layout::kStartTime, 6), std::string(6, '\0'));
  race.startTime = "9:3";  // taken character by character like any short text
  EXPECT_EQ(RecordFromRace(race, true).Raw(race_layout::kStartTime, 6), "9:    ");
}

TEST(RaceRecord, LoadingAndSavingKeepsEveryByteButTheSpares) {
  // Texts left NUL by the program that wrote them, blanks and flags must come
  // back byte for byte.
  RaceBytes b;
  b.sex = std::string(1, '\0');
  b.round = " ";
  std::string bytes = b.Build();
  bytes[238 + 5] = '\0';
  for (bool bufferA : {true, false}) {
    std::string written = RecordFromRace(RaceFromRecord(Record(bytes, kLen), bufferA), bufferA).bytes();
    EXPECT_EQ(written.substr(0, 250), bytes.substr(0, 250));
    EXPECT_EQ(written.substr(250), std::string(6, '\0'));
  }
  Record zeros(kLen);
  EXPECT_EQ(RecordFromRace(RaceFromRecord(zeros, true), true).bytes(), zeros.bytes());
}

TEST(RaceRecord, EmptyTextsAreWrittenAsNulAndShortOnesBlankFilled) {
  Race race;
  race.sexCode = "";
  race.roundCode = "2";
  Record r = RecordFromRace(race, false);
  EXPECT_EQ(r.Byte(race_layout::kSexCode), '\0');
  EXPECT_EQ(r.Byte(race_layout::kRoundCode), '2');
  race.startTime = "0930";
  EXPECT_EQ(RecordFromRace(race, false).Raw(race_layout::kStartTime, 6), "0930  ");
}

TEST(RaceFile, SmallFilesHoldNoRaces) {
  const size_t sizes[] = {0, 1, 2, 10};
  for (size_t size : sizes) {
    SCOPED_TRACE(size);
    test::TempDir dir;
    test::WriteFile(dir / "taikai.dat", std::string(size, '\x05'));  // the count bytes read 0x0505
    EXPECT_EQ(ReadRaceCount(dir.str()), 0);
    auto race = LoadRace(dir.str(), 1);
    ASSERT_TRUE(race);
    EXPECT_EQ(race->raceCount, 0);
    EXPECT_EQ(race->eventNo, 0);
  }
  test::TempDir eleven;
  test::WriteFile(eleven / "taikai.dat", Le16(3) + std::string(9, '\0'));
  auto race = LoadRace(eleven.str(), 1);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->raceCount, 3);  // kept as read: SaveRace writes it back
}

TEST(RaceFile, MissingFileReadsAsZeroRacesAndIsNotCreated) {
  test::TempDir dir;
  EXPECT_EQ(ReadRaceCount(dir.str()), 0);
  auto race = LoadRace(dir.str(), 5);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->raceCount, 0);
  ASSERT_TRUE(LoadRaceB(dir.str(), 5));
  EXPECT_FALSE(std::filesystem::exists(dir / "taikai.dat"));
}

TEST(RaceFile, CountLargerThanTheFileReadsZerosPastTheEnd) {
  test::TempDir dir;
  test::WriteFile(dir / "taikai.dat", RaceFile(50, {RaceBytes{}.Build(), RaceBytes{}.Build()}));
  auto race = LoadRace(dir.str(), 5);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->raceCount, 50);
  EXPECT_EQ(race->eventNo, 0);
  EXPECT_EQ(race->laneNo[0], 0);
  EXPECT_EQ(ReadRaceCount(dir.str()), 2);
}

TEST(RaceFile, NegativeCountReadsAsNoRaces) {
  test::TempDir dir;
  test::WriteFile(dir / "taikai.dat", RaceFile(-3, {RaceBytes{}.Build()}));
  EXPECT_EQ(ReadRaceCount(dir.str()), 0);
}

TEST(RaceFile, TruncatedRecordReadsZerosForTheMissingPart) {
  test::TempDir dir;
  std::string file = RaceFile(1, {RaceBytes{}.Build()});
  file.resize(10 * kLen + 28);  // the record ends where laneNo slot 3 starts
  test::WriteFile(dir / "taikai.dat", file);
  auto race = LoadRace(dir.str(), 1);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->eventNo, 12);
  EXPECT_EQ(race->laneNo[2], 102);
  EXPECT_EQ(race->laneNo[3], 0);
  EXPECT_EQ(race->laneTime[0], 0);
  EXPECT_EQ(ReadRaceCount(dir.str()), 1);
}

TEST(RaceFile, RaceNumbersOutsideTheRangeAreRefused) {
  test::TempDir dir;
  Race race;
  for (int n : {0, -1, 32758, 40000, -32768}) {
    SCOPED_TRACE(n);
    auto loaded = LoadRace(dir.str(), n);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().kind, ErrorKind::Invalid);
    EXPECT_FALSE(LoadRaceB(dir.str(), n));
    auto saved = SaveRace(dir.str(), n, race);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().kind, ErrorKind::Invalid);
    EXPECT_FALSE(SaveRaceB(dir.str(), n, race));
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "taikai.dat"));
}

TEST(RaceFile, TheLastRaceNumberIsRecord32767) {
  test::TempDir dir;
  Race race;
  race.eventNo = 9;
  ASSERT_TRUE(SaveRaceB(dir.str(), 32757, race));
  EXPECT_EQ(std::filesystem::file_size(dir / "taikai.dat"), 32767u * kLen);
  auto back = LoadRaceB(dir.str(), 32757);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->eventNo, 9);
}

TEST(RaceFile, FoundWhateverItsLetterCase) {
  test::TempDir dir;
  test::WriteFile(dir / "Taikai.DAT", RaceFile(1, {RaceBytes{}.Build()}));
  auto race = LoadRace(dir.str(), 1);
  ASSERT_TRUE(race);
  EXPECT_EQ(race->eventNo, 12);
  race->eventNo = 13;
  ASSERT_TRUE(SaveRace(dir.str(), 1, *race));
  EXPECT_FALSE(std::filesystem::exists(dir / "taikai.dat"));
  EXPECT_EQ(test::ReadFile(dir / "Taikai.DAT").substr(10 * kLen, 2), Le16(13));
}

TEST(RaceFile, GarbageFilesNeverCrash) {
  std::mt19937 gen(20240705);
  for (size_t size : {11u, 255u, 256u, 2817u, 5000u, 12345u}) {
    SCOPED_TRACE(size);
    test::TempDir dir;
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen());
    test::WriteFile(dir / "taikai.dat", bytes);
    int16_t count = ReadRaceCount(dir.str());
    EXPECT_GE(count, 0);
    EXPECT_LE(count, static_cast<int64_t>((size + kLen - 1) / kLen));
    for (int n : {1, 2, 10, 32757}) {
      auto race = LoadRace(dir.str(), n);
      ASSERT_TRUE(race);
      // Whatever was read can be written back.
      EXPECT_EQ(RecordFromRace(*race, true).size(), kLen);
    }
    ASSERT_TRUE(SaveRace(dir.str(), 1, *LoadRace(dir.str(), 1)));
  }
}

}  // namespace
}  // namespace meet
