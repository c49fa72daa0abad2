// The text dumps: lines checked on their text, files written and read back
// through a meet folder, bad dumps refused before anything is written.
#include "race/text_dumps.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "data/race_file.h"
#include "records/shikaku_file.h"
#include "support/test_support.h"

namespace meet {
namespace {

Race SampleRace(int k) {
  Race r;
  r.eventNo = static_cast<int16_t>(k);
  r.heatNo = 2;
  r.heatTotal = 3;
  r.sexCode = "2";
  r.classFrom = 11;
  r.classTo = 16;
  r.eventCode = 26;
  r.roundCode = "1";
  r.startTime = "      ";
  r.relayRec = 4;
  for (size_t s = 0; s < 12; ++s) {
    r.laneNo[s] = static_cast<int16_t>(100 * k + s);
    r.laneTime[s] = static_cast<int32_t>(3000 + s);
    r.laneEntryTime[s] = static_cast<int32_t>(4000 + s);
    r.laneRank[s] = static_cast<int16_t>(s + 1);
    r.standardFlags[s] = s == 0 ? '3' : '\0';
  }
  r.laneRecordClass[1] = 31;
  r.openLevel[2] = 5;
  r.ageLevel[3] = -1;
  return r;
}

std::string RaceFileBytes(int races) {
  std::string header(256, '\0');
  header[0] = static_cast<char>(races);
  std::string bytes = header + std::string(256 * 9, '\0');
  for (int k = 1; k <= races; ++k) {
    Record r = RecordFromRace(SampleRace(k), false);
    r.SetByte(250, '2');  // the meet day, which the dump does not carry
    bytes += r.bytes();
  }
  return bytes;
}

TEST(TextDumps, ARaceLineHoldsItsValuesInOrder) {
  std::string expected = "1,2,3,2,11,16,26,1,      ";
  for (int s = 0; s < 12; ++s) {
    expected += "," + std::to_string(4000 + s) + "," + std::to_string(3000 + s) + "," + std::to_string(100 + s) + "," +
                std::to_string(s + 1) + "," + (s == 2 ? "5" : "0") + "," + (s == 3 ? "-1" : "0") + "," +
                (s == 1 ? "31" : "0") + "," + (s == 0 ? "3" : "");
  }
  expected += ",4,1,1";
  std::string line = DumpLine(DumpKind::Races, RecordFromRace(SampleRace(1), false));
  EXPECT_EQ(line, expected);
  EXPECT_EQ(std::count(line.begin(), line.end(), ',') + 1, kRacesDumpValues);
}

TEST(TextDumps, ValuesPerLineOfEachKind) {
  struct Row {
    DumpKind kind;
    size_t length;
    int values;
  } rows[] = {{DumpKind::Races, 256, 108}, {DumpKind::Program, 64, 15}, {DumpKind::Pages, 128, 3},
              {DumpKind::Relays, 256, 60}};
  for (const Row& r : rows) {
    std::string line = DumpLine(r.kind, Record(r.length));
    EXPECT_EQ(std::count(line.begin(), line.end(), ',') + 1, r.values) << DumpTextName(r.kind);
  }
  Record page(128);
  page.SetI16(0, 5);
  page.SetI16(2, 17);
  EXPECT_EQ(DumpLine(DumpKind::Pages, page), ",17,5");
  Record block(256);
  block.SetI16(2 + 2 * 12, 77);  // leg 2 of slot 1
  std::string relay = DumpLine(DumpKind::Relays, block);
  EXPECT_EQ(relay.substr(0, 8), "0,0,77,0");
}

TEST(TextDumps, ReadersAcceptBlanksAroundValuesAndRefuseBadLines) {
  auto lines = ParseDumpText(" 1 , 2,\t3\r\n4,5,6\n\r\n", 3, 10, "x.txt");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 2u);
  Record r(64);
  struct Bad {
    std::string text;
    const char* says;
  } bad[] = {{"1,2,3\n1,2\n", "2 行目"},
             {"1,2,3\n1,2,3\n1,2,3\n1,2,3\n", "行が多すぎます"},
             {"1,2,\x01\n", "制御文字"},
             {"1,2," + std::string(5000, '1') + "\n", "長すぎます"},
             {"1,2,\x81\n", "Shift-JIS"}};
  for (const Bad& b : bad) {
    auto parsed = ParseDumpText(b.text, 3, 3, "x.txt");
    ASSERT_FALSE(parsed) << b.says;
    EXPECT_NE(parsed.error().message.find(b.says), std::string::npos) << parsed.error().message;
  }
  std::vector<std::string> program(15, " 1 ");
  program[7] = "abc";
  auto ok = RecordFromDumpValues(DumpKind::Program, program, r);
  ASSERT_FALSE(ok);
  EXPECT_NE(ok.error().message.find("8 番目"), std::string::npos);
  program[7] = "70000";
  program[0] = "40000";  // beyond a 16-bit number
  EXPECT_FALSE(RecordFromDumpValues(DumpKind::Program, program, r));
}

class DumpFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "meet");
    std::filesystem::create_directories(dir / "old");
    test::WriteFile(dir / "meet" / "taikai.dat", RaceFileBytes(3));
  }
  std::filesystem::path Meet() const { return dir / "meet"; }
  std::string Old() const { return (dir / "old").string(); }  // typed without a final separator
  test::TempDir dir;
  test::FakePlatform fake;
};

TEST_F(DumpFolder, RacesWrittenAndReadBackUnchanged) {
  auto written = WriteDump(DumpKind::Races, Meet(), Old());
  ASSERT_TRUE(written) << written.error().message;
  EXPECT_EQ(written->textFile, dir / "old" / "qkyogi.txt");
  EXPECT_EQ(written->lines, 3);
  std::string text = test::ReadFile(written->textFile);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  fake.dialogs.answers = {true};
  auto read = ReadRacesDump(Meet(), Old() + "/", fake.platform);
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(test::ReadFile(dir / "meet" / "taikai.dat"), RaceFileBytes(3));
  EXPECT_EQ(fake.dialogs.asked.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(read->backup));
}

TEST_F(DumpFolder, AShorterRaceDumpLeavesLaterRacesOutsideTheCount) {
  std::string one = DumpLine(DumpKind::Races, RecordFromRace(SampleRace(9), false)) + "\r\n";
  test::WriteFile(dir / "old" / "qkyogi.txt", one);
  fake.dialogs.answers = {true};
  ASSERT_TRUE(ReadRacesDump(Meet(), Old(), fake.platform));
  std::string after = test::ReadFile(dir / "meet" / "taikai.dat");
  std::string before = RaceFileBytes(3);
  EXPECT_EQ(after.size(), before.size());
  EXPECT_EQ(after[0], 1);
  EXPECT_EQ(Record(after.substr(256 * 10, 256), 256).I16(0), 9);
  EXPECT_EQ(after.substr(256 * 11), before.substr(256 * 11));  // races 2 and 3 as they were
}

TEST_F(DumpFolder, ABadOrCancelledRaceDumpWritesNothing) {
  std::string good = DumpLine(DumpKind::Races, RecordFromRace(SampleRace(9), false));
  std::string bad = good.substr(0, good.rfind(','));  // one value short
  test::WriteFile(dir / "old" / "qkyogi.txt", good + "\r\n" + bad + "\r\n");
  auto read = ReadRacesDump(Meet(), Old(), fake.platform);
  ASSERT_FALSE(read);
  EXPECT_NE(read.error().message.find("2 行目"), std::string::npos);
  EXPECT_TRUE(fake.dialogs.asked.empty());
  test::WriteFile(dir / "old" / "qkyogi.txt", good + "\r\n");
  fake.dialogs.answers = {false};
  EXPECT_FALSE(ReadRacesDump(Meet(), Old(), fake.platform));
  EXPECT_EQ(test::ReadFile(dir / "meet" / "taikai.dat"), RaceFileBytes(3));
  EXPECT_FALSE(std::filesystem::exists(dir / "meet" / "backup"));
}

TEST_F(DumpFolder, AThreeLineStandardsDumpOverwritesRecords1To3Only) {
  ShikakuTable table = ShikakuTable::Fresh();
  for (int r = 1; r <= 5; ++r) table.Change(r)->cellTimes.fill(5555);
  test::WriteFile(dir / "meet" / "shikaku.dat", ShikakuTableBytes(table));
  std::string text;
  for (int line = 1; line <= 3; ++line) {
    for (int i = 0; i < kStandardsDumpValues; ++i) text += (i ? ", " : "") + std::to_string(line * 1000 + i);
    text += "\r\n";
  }
  test::WriteFile(dir / "old" / "Qsik.txt", text);
  fake.dialogs.answers = {true};
  auto read = ReadStandardsDump(Meet(), Old(), fake.platform);
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->lines, 3);
  auto after = LoadShikaku(Meet());
  ASSERT_TRUE(after);
  const auto& r2 = after->record(2).cellTimes;
  EXPECT_EQ(r2[1], 2000);        // position 2: 50m自由形 男子
  EXPECT_EQ(r2[0], 0);           // 25m events stay 0
  EXPECT_EQ(r2[8], 2006);        // position 9
  EXPECT_EQ(r2[30], 2025);       // position 31: the first value of sex 2
  EXPECT_EQ(r2[57], 2049);       // position 58
  EXPECT_EQ(r2[58], 0);          // sex 3
  EXPECT_EQ(after->record(4).cellTimes[0], 5555);
  EXPECT_EQ(after->record(3).groupKey, 3);
}

TEST_F(DumpFolder, TheFolderBoxMustNameAFolder) {
  EXPECT_FALSE(DumpFilePath("", "qkyogi.txt"));
  EXPECT_FALSE(DumpFilePath((dir / "none").string(), "qkyogi.txt"));
  EXPECT_EQ(*DumpFilePath(Old(), "qpro.txt"), dir / "old" / "qpro.txt");
  EXPECT_EQ(*DumpFilePath(Old() + "/", "qpro.txt"), dir / "old" / "qpro.txt");
  // A data file shorter than its count is refused.
  test::WriteFile(dir / "meet" / "taikai.dat", RaceFileBytes(3).substr(0, 256 * 12));
  EXPECT_FALSE(WriteDump(DumpKind::Races, Meet(), Old()));
  EXPECT_FALSE(WriteDump(DumpKind::Program, Meet(), Old()));  // no projun.dat
  EXPECT_FALSE(std::filesystem::exists(dir / "old" / "qkyogi.txt"));
}

}  // namespace
}  // namespace meet
