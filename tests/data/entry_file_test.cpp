#include "data/entry_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;
using test::Sjis;

constexpr size_t kLen = 384;

std::string Nul(size_t n) { return std::string(n, '\0'); }

std::string HeaderBytes(int32_t count, int course = 0, int scheme = 1) {
  std::string s = Le32(count) + Le16(course) + "2024/05/01" + Sjis("春季", 8) + Sjis("市民プール", 12) +
                  "2024/06/01" + "2024/06/02" + "1234567" + Le16(scheme) + Le16(-7);
  for (int k = 0; k < 10; ++k) s += Le32(k == 0 ? 20240601 : (k == 1 ? 20240602 : 0));
  s += std::string(277, '\x7F');
  return s;
}

std::string EventBytes() {
  std::string s;
  for (int k = 0; k < 15; ++k) s += k == 1 ? Sjis("一般", 8) : Nul(8);
  for (int k = 0; k < 15; ++k) s += k == 1 ? Sjis("水中ウォーク", 16) : (k == 2 ? Sjis("4x25mリレー", 16) : Nul(16));
  s += "010" + std::string(12, '9');
  s += Nul(9);
  return s;
}

struct EntryBytes {
  int32_t entryNo = 501;
  std::string text6c = "012345";
  std::string tail = std::string(15, 'T');

  std::string Build() const {
    std::string s = Le32(entryNo) + "A123456" + "13001200101011" + Sjis("山田　太郎", 16) + Sjis("ﾔﾏﾀﾞ ﾀﾛｳ", 16) +
                    Sjis("東京", 8) + "ab12cd" + Sjis("ＡＢＣ水泳", 12) + "xy34zw" + "15" + Le16(12) + "1" + "F";
    for (int k = 0; k < 44; ++k) s += Le32(k == 0 ? 3456 : (k == 22 ? 25012 : 0));
    s += text6c + Le32(-99);
    s += std::string("1") + std::string(21, ' ') + "2" + std::string(21, ' ');  // entryEventFlags
    s += std::string(44, '0');                                                // entryEventFlags2
    s += tail;
    return s;
  }
};

// Header, record 2, records 3–10 and the entries given.
std::string EntryFileBytes(int32_t count, const std::vector<std::string>& entries) {
  std::string s = HeaderBytes(count) + EventBytes();
  for (int r = 3; r <= 10; ++r) s += std::string(kLen, '\xEE');
  for (const auto& e : entries) s += e;
  return s;
}

test::FixedClock Clock(int y, int m, int d) {
  test::FixedClock clock;
  clock.now = DateTime{y, m, d, 9, 30, 0};
  return clock;
}

TEST(EntryLayout, HandBuiltRecordsAreOneRecordLong) {
  EXPECT_EQ(HeaderBytes(0).size(), kLen);
  EXPECT_EQ(EventBytes().size(), kLen);
  EXPECT_EQ(EntryBytes{}.Build().size(), kLen);
}

TEST(EntryFileOpen, EmptyFileGetsAFreshHeader) {
  test::TempDir dir;
  test::WriteFile(dir / "ab.cd.Mos", "");
  auto file = EntryFile::Open(dir / "ab.cd.Mos", Clock(2024, 7, 5));
  ASSERT_TRUE(file) << file.error().message;
  std::string expected = Le32(0) + Le16(1) + "2024/07/05" + Sjis("ab", 8) + Nul(12) + "2024/07/05" + "2024/07/05" +
                         Nul(7) + Le16(0) + Le16(0) + Nul(40) + Nul(277);
  EXPECT_EQ(test::ReadFile(dir / "ab.cd.Mos"), expected);
  EXPECT_EQ(file->header().entryCount, 0);
  EXPECT_EQ(file->header().entryCourse, 1);
  EXPECT_EQ(file->header().entryMeetAbbrev, "ab      ");  // as a later reader sees it
  EXPECT_EQ(file->entriesHeld(), 0);
  EXPECT_EQ(file->Load(1).entryNo, 0);
}

TEST(EntryFileOpen, MissingOrTinyFileIsCreatedOrOverwritten) {
  test::TempDir dir;
  auto created = EntryFile::Open(dir / "new.Mos", Clock(2025, 1, 2));
  ASSERT_TRUE(created);
  EXPECT_EQ(std::filesystem::file_size(dir / "new.Mos"), kLen);

  test::WriteFile(dir / "ten.Mos", std::string(10, '\x33'));
  ASSERT_TRUE(EntryFile::Open(dir / "ten.Mos", Clock(2025, 1, 2)));
  std::string bytes = test::ReadFile(dir / "ten.Mos");
  ASSERT_EQ(bytes.size(), kLen);
  EXPECT_EQ(bytes.substr(0, 6), Le32(0) + Le16(1));
  EXPECT_EQ(bytes.substr(16, 8), Sjis("ten", 8));
}

TEST(EntryFileOpen, AbbreviationIsCutToItsWidthWithoutSplittingACharacter) {
  test::TempDir dir;
  ASSERT_TRUE(EntryFile::Open(dir / "春季水泳大会.Mos", Clock(2024, 4, 1)));
  EXPECT_EQ(test::ReadFile(dir / "春季水泳大会.Mos").substr(16, 8), Sjis("春季水泳", 8));
  ASSERT_TRUE(EntryFile::Open(dir / "abcdefghijk", Clock(2024, 4, 1)));  // no dot: the whole name
  EXPECT_EQ(test::ReadFile(dir / "abcdefghijk").substr(16, 8), "abcdefgh");
}

TEST(EntryFileOpen, ExistingFileIsReadAndLeftUnchanged) {
  test::TempDir dir;
  std::string bytes = HeaderBytes(3, 0, 2);
  bytes.resize(11, '\0');  // eleven bytes already count as a header
  test::WriteFile(dir / "e.Mos", bytes);
  auto file = EntryFile::Open(dir / "e.Mos", Clock(2024, 7, 5));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->header().entryCount, 3);
  EXPECT_EQ(file->header().entryCourse, 0);
  EXPECT_EQ(test::ReadFile(dir / "e.Mos"), bytes);
  EXPECT_EQ(file->entriesHeld(), 0);
}

TEST(EntryFileOpen, AFolderIsNeverTakenForTheEntryFile) {
  test::TempDir dir;
  EXPECT_FALSE(EntryFile::Open(dir.path(), Clock(2024, 7, 5)));
  EXPECT_FALSE(EntryFile::OpenForReading(EntryFilePath(dir.str(), "")));
}

TEST(EntryHeader, FieldsAreReadFromTheirOffsets) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", EntryFileBytes(2, {EntryBytes{}.Build()}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  const EntryHeader& h = file->header();
  EXPECT_EQ(h.entryCount, 2);
  EXPECT_EQ(h.entryCourse, 0);
  EXPECT_EQ(h.entryCreated, "2024/05/01");
  EXPECT_EQ(h.entryMeetAbbrev, "春季    ");
  EXPECT_EQ(h.entryVenue, "市民プール  ");
  EXPECT_EQ(h.entryDateFrom, "2024/06/01");
  EXPECT_EQ(h.entryDateTo, "2024/06/02");
  EXPECT_EQ(h.entryMeetCode, "1234567");
  EXPECT_EQ(h.classScheme, 1);
  EXPECT_EQ(h.entryHeaderSpare, -7);
  EXPECT_EQ(h.entryDays[0], 20240601);
  EXPECT_EQ(h.entryDays[1], 20240602);
  EXPECT_EQ(h.entryDays[9], 0);
  EXPECT_EQ(h.entryFiller, std::string(277, '\x7F'));
  EXPECT_EQ(RecordFromEntryHeader(h).bytes(), HeaderBytes(2));
}

TEST(EntryHeader, SaveHeaderRewritesRecordOneOnly) {
  test::TempDir dir;
  std::string before = EntryFileBytes(1, {EntryBytes{}.Build()});
  test::WriteFile(dir / "e.Mos", before);
  auto file = EntryFile::Open(dir / "e.Mos", Clock(2024, 7, 5));
  ASSERT_TRUE(file);
  file->header().entryDays[2] = 20240603;
  file->header().entryVenue = "";
  ASSERT_TRUE(file->SaveHeader());
  std::string after = test::ReadFile(dir / "e.Mos");
  ASSERT_EQ(after.size(), before.size());
  std::string header = HeaderBytes(1);
  header.replace(24, 12, Nul(12));
  header.replace(67 + 8, 4, Le32(20240603));
  EXPECT_EQ(after.substr(0, kLen), header);
  EXPECT_EQ(after.substr(kLen), before.substr(kLen));
}

TEST(EntryHeader, FileOpenedForReadingIsNeverWritten) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", "");
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->header().entryCount, 0);
  EXPECT_FALSE(file->SaveHeader());
  EXPECT_EQ(std::filesystem::file_size(dir / "e.Mos"), 0u);
  auto missing = EntryFile::OpenForReading(dir / "none.Mos");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->entriesHeld(), 0);
  EXPECT_EQ(missing->Events().extraEventNames[0], "");
  EXPECT_FALSE(std::filesystem::exists(dir / "none.Mos"));
}

TEST(EntryLoad, ReadsRecordNPlusTen) {
  test::TempDir dir;
  EntryBytes second;
  second.entryNo = 502;
  test::WriteFile(dir / "e.Mos", EntryFileBytes(2, {EntryBytes{}.Build(), second.Build()}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  Entry e = file->Load(1);
  EXPECT_EQ(e.entryNo, 501);
  EXPECT_EQ(e.entryCode7, "A123456");
  EXPECT_EQ(e.regNo, "13001200101011");
  EXPECT_EQ(e.swimmerName, "山田　太郎      ");
  EXPECT_EQ(e.swimmerKana, "ﾔﾏﾀﾞ ﾀﾛｳ        ");
  EXPECT_EQ(e.prefName, "東京    ");
  EXPECT_EQ(e.entryText6a, "ab12cd");
  EXPECT_EQ(e.affiliation, "ＡＢＣ水泳  ");
  EXPECT_EQ(e.entryText6b, "xy34zw");
  EXPECT_EQ(e.gradeCode, "15");
  EXPECT_EQ(e.age, 12);
  EXPECT_EQ(e.sexCode, "1");
  EXPECT_EQ(e.entryFlag, "F");
  EXPECT_EQ(e.entryTimes[0], 3456);
  EXPECT_EQ(e.entryTimes[22], 25012);
  EXPECT_EQ(e.entryTimes[43], 0);
  EXPECT_EQ(e.entryText6c, "012345");
  EXPECT_EQ(e.entryLong, -99);
  ASSERT_EQ(e.entryEventFlags.size(), 44u);
  EXPECT_EQ(e.entryEventFlags[0], '1');
  EXPECT_EQ(e.entryEventFlags[22], '2');
  EXPECT_EQ(e.entryEventFlags2, std::string(44, '0'));
  EXPECT_EQ(file->Load(2).entryNo, 502);
}

TEST(EntryLoad, EntryZeroIsTheClearedEntry) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", EntryFileBytes(1, {EntryBytes{}.Build()}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  Entry e = file->Load(0);
  EXPECT_EQ(e.entryNo, 0);
  EXPECT_EQ(e.swimmerName, "");
  EXPECT_EQ(e.entryText6c, "000000");
  EXPECT_EQ(e.entryTimes[0], 0);
}

TEST(EntryLoad, NumbersPastTheEntriesHeldGiveAnEmptyEntry) {
  test::TempDir dir;
  // The count says 5 but only two entries are there.
  test::WriteFile(dir / "e.Mos", EntryFileBytes(5, {EntryBytes{}.Build(), EntryBytes{}.Build()}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->entriesHeld(), 2);
  for (int32_t n : {3, 5, 6, -1, -2147483647 - 1, 2147483647}) {
    SCOPED_TRACE(n);
    Entry e = file->Load(n);
    EXPECT_EQ(e.entryNo, 0);
    EXPECT_EQ(e.entryText6c, "000000");
  }
}

TEST(EntryLoad, CountBelowTheEntriesPresentHidesTheRest) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", EntryFileBytes(1, {EntryBytes{}.Build(), EntryBytes{}.Build()}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->entriesHeld(), 1);
  EXPECT_EQ(file->Load(2).entryNo, 0);
}

TEST(EntryLoad, NegativeCountHoldsNoEntries) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", EntryFileBytes(-4, {EntryBytes{}.Build()}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->entriesHeld(), 0);
  EXPECT_EQ(file->Load(1).entryNo, 0);
}

TEST(EntryLoad, SixDigitTextReadingAsZeroShowsZeros) {
  const std::pair<std::string, std::string> cases[] = {
      {"000000", "000000"}, {"      ", "000000"}, {std::string(6, '\0'), "000000"},
      {"abc123", "000000"}, {"012345", "012345"}, {"  7   ", "  7   "},
  };
  for (const auto& [stored, shown] : cases) {
    SCOPED_TRACE(shown);
    EntryBytes b;
    b.text6c = stored;
    EXPECT_EQ(EntryFromRecord(Record(b.Build(), kLen)).entryText6c, shown);
  }
}

TEST(EntryRecord, WriterFillsEveryFieldAtItsOffsetAndClearsTheTail) {
  Entry e = EntryFromRecord(Record(EntryBytes{}.Build(), kLen));
  EntryBytes expected;
  expected.tail = Nul(15);
  EXPECT_EQ(RecordFromEntry(e).bytes(), expected.Build());
}

TEST(EntryRecord, EmptyTextsAreNulAndShortOnesBlankFilled) {
  Entry e;
  e.swimmerName = "佐藤";
  e.entryText6c = "";
  Record r = RecordFromEntry(e);
  EXPECT_EQ(r.Raw(entry_layout::kSwimmerName, 16), Sjis("佐藤", 16));
  EXPECT_EQ(r.Raw(entry_layout::kRegNo, 14), Nul(14));
  EXPECT_EQ(r.Raw(entry_layout::kEntryText6c, 6), Nul(6));
  EXPECT_EQ(r.Raw(entry_layout::kEntryEventFlags, 88), Nul(88));
}

TEST(EventDefinitions, MeetEventsComeFromRecordTwo) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", EntryFileBytes(0, {}));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  EventDefinitions d = file->Events();
  EXPECT_EQ(d.extraClassNames[1], "一般    ");
  EXPECT_EQ(d.extraEventNames[1], "水中ウォーク    ");
  EXPECT_EQ(d.extraEventNames[2], "4x25mリレー     ");
  EXPECT_EQ(d.extraEventNames[0], Nul(16));
  EXPECT_EQ(d.extraRelayFlags[0], '0');
  EXPECT_EQ(d.extraRelayFlags[1], '1');
  EXPECT_EQ(d.extraRelayFlags[14], '9');
  EXPECT_EQ(RecordFromEventDefinitions(d).bytes(), EventBytes());
}

TEST(EventDefinitions, HeaderOnlyFileReadsZeros) {
  test::TempDir dir;
  test::WriteFile(dir / "e.Mos", HeaderBytes(0));
  auto file = EntryFile::OpenForReading(dir / "e.Mos");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Events().extraRelayFlags[0], '\0');
}

TEST(EntryFilePath, FoundWhateverItsLetterCase) {
  test::TempDir dir;
  test::WriteFile(dir / "MEET.mos", HeaderBytes(0));
  EXPECT_EQ(EntryFilePath(dir.str(), "meet.Mos"), dir / "MEET.mos");
  EXPECT_EQ(EntryFilePath(dir.str(), "other.Mos"), dir / "other.Mos");
}

TEST(EntryFile, GarbageFilesNeverCrash) {
  std::mt19937 gen(7);
  for (size_t size : {11u, 383u, 384u, 769u, 4000u, 20000u}) {
    SCOPED_TRACE(size);
    test::TempDir dir;
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen());
    test::WriteFile(dir / "g.Mos", bytes);
    auto file = EntryFile::OpenForReading(dir / "g.Mos");
    ASSERT_TRUE(file);
    int32_t held = file->entriesHeld();
    EXPECT_GE(held, 0);
    EXPECT_LE(held, static_cast<int32_t>(size / kLen));
    for (int32_t n : {0, 1, held, held + 1, 1000000}) {
      Entry e = file->Load(n);
      EXPECT_EQ(RecordFromEntry(e).size(), kLen);
    }
    EventDefinitions d = file->Events();
    EXPECT_EQ(RecordFromEventDefinitions(d).size(), kLen);
    EXPECT_EQ(test::ReadFile(dir / "g.Mos"), bytes);
  }
}

}  // namespace
}  // namespace meet
