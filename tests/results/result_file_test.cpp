// The result file and ind2.dat: built in memory from hand-made sources and
// checked on their bytes.
#include "results/result_file.h"

#include <gtest/gtest.h>

#include "core/file_names.h"
#include "data/entry_layout.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::Le32;

Record EntryRecord(int n, const std::string& sex = "1", int age = 10, const std::string& grade = "14") {
  Entry e;
  e.entryNo = n;
  e.swimmerName = "選手" + std::to_string(n);
  e.sexCode = sex;
  e.age = static_cast<int16_t>(age);
  e.gradeCode = grade;
  e.entryTimes[0] = 9999;  // an entry time, cleared in the result file
  e.entryEventFlags = std::string(44, '0');
  return RecordFromEntry(e);
}

ResultSources Sources(int entries, const std::string& firstDay = "2009/03/30") {
  ResultSources in;
  EntryHeader h;
  h.entryCount = entries;
  h.entryDateFrom = firstDay;
  in.entryHeader = RecordFromEntryHeader(h);
  for (int n = 1; n <= entries; ++n) in.entries.push_back(EntryRecord(n));
  return in;
}

ProgramEntry Program(int eventCode, const std::string& stage, int firstRace, int heats, const std::string& day) {
  ProgramEntry p;
  p.orderNo = 1;
  p.eventCode = static_cast<int16_t>(eventCode);
  p.stageCode = stage;
  p.firstRace = static_cast<int16_t>(firstRace);
  p.heatCount = static_cast<int16_t>(heats);
  p.dayNo = day;
  return p;
}

// A race with (entry number, time) in slots 0, 1, …
Race RaceWith(int eventCode, std::initializer_list<std::pair<int, int32_t>> lanes, int relayRec = 0) {
  Race r;
  r.eventCode = static_cast<int16_t>(eventCode);
  r.relayRec = static_cast<int16_t>(relayRec);
  size_t slot = 0;
  for (auto [n, t] : lanes) {
    r.laneNo[slot] = static_cast<int16_t>(n);
    r.laneTime[slot] = t;
    ++slot;
  }
  return r;
}

Settings Lanes8() {
  Settings s;
  s.laneCount = 8;
  s.classMode = "1";
  return s;
}

const std::string& KekEntry(const ResultFileBytes& b, int n) {
  static std::string cut;
  cut = b.resultFile.substr((static_cast<size_t>(n) + 9) * entry_layout::kRecordLength, entry_layout::kRecordLength);
  return cut;
}
int32_t TimeOf(const ResultFileBytes& b, int n, int e) { return Record(KekEntry(b, n), 384).I32(95 + 4 * (e - 1)); }
char DayOf(const ResultFileBytes& b, int n, int e) { return KekEntry(b, n)[static_cast<size_t>(281 + e - 1)]; }

TEST(MeetDayDates, CountOverMonthAndYearEnds) {
  struct Row {
    int32_t first;
    std::array<int32_t, 3> firstThree;
    int32_t tenth;
  } rows[] = {
      {20090330, {20090330, 20090331, 20090401}, 20090408},
      {20081230, {20081230, 20081231, 20090101}, 20090108},
      {20080228, {20080228, 20080229, 20080301}, 20080308},
      {20090228, {20090228, 20090301, 20090302}, 20090309},
  };
  for (const Row& r : rows) {
    auto days = MeetDayDates(r.first);
    EXPECT_EQ(days[0], r.firstThree[0]) << r.first;
    EXPECT_EQ(days[1], r.firstThree[1]) << r.first;
    EXPECT_EQ(days[2], r.firstThree[2]) << r.first;
    EXPECT_EQ(days[9], r.tenth) << r.first;
  }
}

TEST(ResultFile, HeaderEntriesAndInd2OnTheBytes) {
  ResultSources in = Sources(2, "2008/12/31");
  auto built = BuildResultFile(in, Lanes8(), {});
  ASSERT_TRUE(built) << built.error().message;
  // Header: the entry file's with the ten day dates; records 2–10 zero.
  std::string header = in.entryHeader.bytes();
  std::string dates;
  for (int32_t d : {20081231, 20090101, 20090102, 20090103, 20090104, 20090105, 20090106, 20090107, 20090108,
                    20090109})
    dates += Le32(d);
  header.replace(67, 40, dates);
  std::string expected = header + std::string(384 * 9, '\0');
  // Entries: copied with their 44 times zeroed.
  for (const Record& e : in.entries) {
    std::string bytes = e.bytes();
    bytes.replace(95, 176, std::string(176, '\0'));
    expected += bytes;
  }
  EXPECT_EQ(built->resultFile, expected);
  // ind2.dat: the count, then bytes 0–93 of each entry in records 2, 3.
  std::string ind2 = Le32(2) + std::string(124, '\0');
  for (const Record& e : in.entries) ind2 += e.bytes().substr(0, 94) + std::string(34, '\0');
  EXPECT_EQ(built->ind2, ind2);
}

// The meet's settings say when it is swum; the entry header's dates are
// what the entry program was told before, and only stand in for none.
TEST(ResultFile, TheTenDaysAreTheSettingsDaysOnTheBytes) {
  ResultSources in = Sources(1, "2008/12/31");
  Settings s = Lanes8();
  s.meetDateFrom = 20090329;
  s.meetDateTo = 20090330;
  auto built = BuildResultFile(in, s, {});
  ASSERT_TRUE(built) << built.error().message;
  std::string header = in.entryHeader.bytes();
  std::string dates;
  for (int32_t d : {20090329, 20090330, 20090331, 20090401, 20090402, 20090403, 20090404, 20090405, 20090406,
                    20090407})
    dates += Le32(d);
  header.replace(67, 40, dates);  // the date texts at 36 and 46 stay the entry file's
  EXPECT_EQ(built->resultFile.substr(0, 384), header);
  EXPECT_TRUE(built->firstDay.fromSettings);
}

TEST(ResultFile, FirstDayFromTheSettingsOrTheHeader) {
  struct Row {
    int32_t from, to;
    const char* headerDate;
    int32_t first;  // 0: refused
    bool fromSettings;
  } rows[] = {
      {20090329, 20090330, "2008/12/31", 20090329, true},
      {20090329, 0, "2008/12/31", 20090329, true},         // no last day: the first still counts
      {20090329, 20090407, "2008/12/31", 20090329, true},  // the tenth day
      {0, 0, "2008/12/31", 20081231, false},               // no dates set: the header's
      {0, 0, "abcd/ef/gh", 0, false},
      {0, 20090330, "2008/12/31", 0, false},                // a last day alone
      {20090230, 0, "2008/12/31", 0, false},                // no calendar day
      {20090329, 20090328, "2008/12/31", 0, false},         // before the first
      {20090329, 20090408, "2008/12/31", 0, false},         // an eleventh day
      {20090329, 20090231, "2008/12/31", 0, false},
  };
  for (const Row& r : rows) {
    Settings s = Lanes8();
    s.meetDateFrom = r.from;
    s.meetDateTo = r.to;
    auto first = ResultFileFirstDay(s, Sources(0, r.headerDate).entryHeader);
    if (r.first == 0) {
      EXPECT_FALSE(first) << r.from << " " << r.to;
      continue;
    }
    ASSERT_TRUE(first) << r.from << " " << r.to << ": " << first.error().message;
    EXPECT_EQ(first->date, r.first) << r.from;
    EXPECT_EQ(first->fromSettings, r.fromSettings) << r.from;
  }
}

TEST(ResultFile, AHeaderDateThatIsNoDateIsRefused) {
  for (const char* date : {"2009/13/01", "2009/02/30", "abcd/ef/gh", ""}) {
    auto built = BuildResultFile(Sources(1, date), Lanes8(), {});
    EXPECT_FALSE(built) << date;
  }
}

TEST(ResultFile, TheLowerOfTwoTimesIsKeptWithItsDay) {
  struct Row {
    int32_t heat, final;
    int32_t stored;
    char day;
  } rows[] = {{3000, 2950, 2950, '2'}, {3000, 3100, 3000, '1'}, {3000, 3000, 3000, '1'}};
  for (const Row& r : rows) {
    ResultSources in = Sources(1);
    in.program = {Program(3, "1", 1, 1, "1"), Program(3, "2", 2, 1, "2")};
    in.races = {RaceWith(3, {{1, r.heat}}), RaceWith(3, {{1, r.final}})};
    ResultFileOptions o;
    o.writeResults = true;
    auto built = BuildResultFile(in, Lanes8(), o);
    ASSERT_TRUE(built);
    EXPECT_EQ(TimeOf(*built, 1, 3), r.stored) << r.heat << " " << r.final;
    EXPECT_EQ(DayOf(*built, 1, 3), r.day) << r.heat << " " << r.final;
  }
}

TEST(ResultFile, FinalsOnlyWritesThePlacesOfFinals) {
  ResultSources in = Sources(6);
  in.program = {Program(3, "1", 1, 1, "0"), Program(3, "2", 2, 1, " ")};
  in.races = {RaceWith(3, {{6, 2800}}),
              RaceWith(3, {{1, 3100}, {2, 2900}, {3, 3000}, {4, 3000}, {5, 3200}})};
  ResultFileOptions o;
  o.writeResults = true;
  o.finalsOnly = true;
  o.places = 3;
  auto built = BuildResultFile(in, Lanes8(), o);
  ASSERT_TRUE(built);
  // Places 1, 2, 2 are written (equal times share place 2); place 4 and the heat are not.
  EXPECT_EQ(TimeOf(*built, 2, 3), 2900);
  EXPECT_EQ(TimeOf(*built, 3, 3), 3000);
  EXPECT_EQ(TimeOf(*built, 4, 3), 3000);
  EXPECT_EQ(TimeOf(*built, 1, 3), 0);
  EXPECT_EQ(TimeOf(*built, 6, 3), 0);
  EXPECT_EQ(DayOf(*built, 2, 3), '1');  // a blank day digit counts as day 1
  // "全体" writes every valid result.
  o.finalsOnly = false;
  built = BuildResultFile(in, Lanes8(), o);
  EXPECT_EQ(TimeOf(*built, 6, 3), 2800);
  EXPECT_EQ(TimeOf(*built, 1, 3), 3100);
}

// An exhibition swim (record class 99) is the swimmer's time but has no
// place: "全体" writes it, "決勝のみ" never does, and it takes no place
// from the others.
TEST(ResultFile, AnExhibitionSwimIsWrittenWithoutAPlace) {
  struct Row {
    bool finalsOnly;
    std::array<int32_t, 3> times;  // entries 1 (exhibition), 2, 3
  } rows[] = {{false, {2800, 2900, 3000}}, {true, {0, 2900, 3000}}};
  for (const Row& r : rows) {
    ResultSources in = Sources(3);
    in.program = {Program(3, "2", 1, 1, "1")};
    in.races = {RaceWith(3, {{1, 2800}, {2, 2900}, {3, 3000}})};
    in.races[0].laneRecordClass[0] = 99;
    ResultFileOptions o;
    o.writeResults = true;
    o.finalsOnly = r.finalsOnly;
    o.places = 2;
    auto built = BuildResultFile(in, Lanes8(), o);
    ASSERT_TRUE(built);
    for (int n = 1; n <= 3; ++n)
      EXPECT_EQ(TimeOf(*built, n, 3), r.times[static_cast<size_t>(n - 1)]) << r.finalsOnly << " entry " << n;
  }
}

TEST(ResultFile, SpecialCodesWriteNothing) {
  for (int32_t code : {666666, 700001, 888888, 999999, 0, -5}) {
    ResultSources in = Sources(1);
    in.program = {Program(3, "1", 1, 1, "1")};
    in.races = {RaceWith(3, {{1, code}})};
    ResultFileOptions o;
    o.writeResults = true;
    auto built = BuildResultFile(in, Lanes8(), o);
    ASSERT_TRUE(built);
    EXPECT_EQ(TimeOf(*built, 1, 3), 0) << code;
    EXPECT_EQ(built->resultsWritten, 0) << code;
  }
}

TEST(ResultFile, AFirstLegTimeIsStoredOnlyWhenBetter) {
  struct Row {
    int32_t own, split, stored;
    char day;
  } rows[] = {{1500, 1450, 1450, '3'}, {1500, 1600, 1500, '1'}, {0, 1600, 1600, '3'}, {1500, 1500, 1500, '3'}};
  for (const Row& r : rows) {
    ResultSources in = Sources(3);
    // 25m自由形 (1) first, then the 100mリレー (26) whose first leg is entry 2.
    in.program = {Program(1, "1", 1, 1, "1"), Program(26, "2", 2, 1, "3")};
    in.races = {RaceWith(1, {{2, r.own}}), RaceWith(26, {{3, 6000}}, 1)};
    RelayBlock block;
    block.legMembers[0] = 2;  // leg 1 of slot 0
    block.splitTimes[0] = r.split;
    in.blocks = {block};
    ResultFileOptions o;
    o.writeResults = true;
    o.withFirstLeg = true;
    auto built = BuildResultFile(in, Lanes8(), o);
    ASSERT_TRUE(built) << built.error().message;
    EXPECT_EQ(TimeOf(*built, 2, 1), r.stored) << r.own << " " << r.split;
    EXPECT_EQ(DayOf(*built, 2, 1), r.day) << r.own << " " << r.split;
    EXPECT_EQ(TimeOf(*built, 3, 26), 6000);
    // Without the box the split is not written.
    o.withFirstLeg = false;
    built = BuildResultFile(in, Lanes8(), o);
    EXPECT_EQ(TimeOf(*built, 2, 1), r.own);
  }
}

TEST(ResultFile, The800mOfA1500mGoesTo800m) {
  ResultSources in = Sources(1);
  in.program = {Program(7, "2", 1, 1, "2")};
  in.races = {RaceWith(7, {{1, 170000}}, 1)};
  RelayBlock block;
  block.splitTimes[0] = 90000;
  in.blocks = {block};
  ResultFileOptions o;
  o.writeResults = true;
  o.with800 = true;
  auto built = BuildResultFile(in, Lanes8(), o);
  ASSERT_TRUE(built);
  EXPECT_EQ(TimeOf(*built, 1, 6), 90000);
  EXPECT_EQ(DayOf(*built, 1, 6), '2');
  EXPECT_EQ(TimeOf(*built, 1, 7), 170000);
}

TEST(ResultFile, DropEmptyMovesTheKeptEntriesUp) {
  ResultSources in = Sources(3);
  in.program = {Program(3, "1", 1, 1, "1")};
  in.races = {RaceWith(3, {{3, 3000}})};
  ResultFileOptions o;
  o.writeResults = true;
  o.dropEmpty = true;
  auto built = BuildResultFile(in, Lanes8(), o);
  ASSERT_TRUE(built);
  EXPECT_EQ(built->resultFile.size(), 384u * 11);
  EXPECT_EQ(Record(built->resultFile.substr(0, 384), 384).I32(0), 1);
  Record kept(KekEntry(*built, 1), 384);
  EXPECT_EQ(kept.I32(0), 3);  // entry 3's own bytes, number kept
  EXPECT_EQ(kept.I32(95 + 4 * 2), 3000);
  // ind2.dat still lists every entry.
  EXPECT_EQ(Record(built->ind2.substr(0, 128), 128).I32(0), 3);
}

TEST(ResultFile, StandardsWriteOnlyTimesThatReachThem) {
  struct Row {
    StandardChoice choice;
    int record;  // 270 + age 10, 370 + grade 14, 470 + age 10
  } rows[] = {{StandardChoice::Standard1, 280}, {StandardChoice::Standard2, 384}, {StandardChoice::Standard4, 480}};
  for (const Row& r : rows) {
    ResultSources in = Sources(2);
    in.program = {Program(3, "1", 1, 1, "1")};
    in.races = {RaceWith(3, {{1, 3000}, {2, 3001}})};
    ShikakuTable table = ShikakuTable::Fresh();
    table.Change(r.record)->cellTimes[static_cast<size_t>(CellOf(1, 3))] = 3000;
    in.standards = table;
    ResultFileOptions o;
    o.writeStandards = true;
    o.standard = r.choice;
    auto built = BuildResultFile(in, Lanes8(), o);
    ASSERT_TRUE(built);
    EXPECT_EQ(TimeOf(*built, 1, 3), 3000) << r.record;
    EXPECT_EQ(TimeOf(*built, 2, 3), 0) << r.record;
  }
}

TEST(ResultFile, ALaneNamingAMissingEntryOrRaceIsRefused) {
  ResultSources in = Sources(1);
  in.program = {Program(3, "1", 1, 1, "1")};
  in.races = {RaceWith(3, {{2, 3000}})};
  ResultFileOptions o;
  o.writeResults = true;
  EXPECT_FALSE(BuildResultFile(in, Lanes8(), o));
  in.program = {Program(3, "1", 1, 2, "1")};  // heat 2 is not in the race file
  in.races = {RaceWith(3, {{1, 3000}})};
  EXPECT_FALSE(BuildResultFile(in, Lanes8(), o));
}

class ResultFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.path() / "meet");
    std::filesystem::create_directories(dir.path() / "entry");
    ResultSources in = Sources(2);
    entryBytes = in.entryHeader.bytes() + std::string(384 * 9, '\0');
    for (const Record& r : in.entries) entryBytes += r.bytes();
    test::WriteFile(dir.path() / "entry" / "meet.Mos", entryBytes);
  }
  std::string Meet() const { return (dir.path() / "meet").string() + "/"; }
  std::string EntryFolder() const { return (dir.path() / "entry").string() + "/"; }
  test::TempDir dir;
  std::string entryBytes;
};

TEST_F(ResultFileOnDisk, WritesBothFilesWholeAndNeverTheEntryFile) {
  auto done = MakeResultFile(Meet(), EntryFolder(), "meet.Mos", ResultFileNameFor("meet.Mos"), Lanes8(), {});
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_EQ(done->resultFile.filename(), "meet.kek");
  EXPECT_EQ(FileSize(done->resultFile), 384u * 12);
  EXPECT_EQ(FileSize(done->ind2File), 128u * 3);
  EXPECT_EQ(test::ReadFile(dir.path() / "entry" / "meet.Mos"), entryBytes);
  for (const auto& f : std::filesystem::directory_iterator(dir.path() / "entry"))
    EXPECT_TRUE(f.path().filename() == "meet.Mos" || f.path().filename() == "meet.kek") << f.path();
}

TEST_F(ResultFileOnDisk, RefusesBadNamesAndMissingFilesBeforeWriting) {
  ResultFileOptions results;
  results.writeResults = true;
  struct Row {
    std::string name;
    ResultFileOptions options;
  } rows[] = {{"MEET.MOS", {}}, {"", {}}, {"../x.kek", {}}, {"meet.kek", results}};  // no projun.dat
  for (const Row& r : rows) {
    auto done = MakeResultFile(Meet(), EntryFolder(), "meet.Mos", r.name, Lanes8(), r.options);
    EXPECT_FALSE(done) << r.name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "entry" / "meet.kek"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "meet" / "ind2.dat"));
  // An entry file shorter than its count.
  test::WriteFile(dir.path() / "entry" / "meet.Mos", entryBytes.substr(0, 384 * 11 + 100));
  auto done = MakeResultFile(Meet(), EntryFolder(), "meet.Mos", "meet.kek", Lanes8(), {});
  ASSERT_FALSE(done);
  EXPECT_NE(done.error().message.find("途中で切れています"), std::string::npos);
}

}  // namespace
}  // namespace meet
