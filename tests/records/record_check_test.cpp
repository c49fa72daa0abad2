#include "records/record_check.h"

#include <gtest/gtest.h>

#include "core/numbers.h"
#include "records/entry_fixture.h"
#include "support/test_support.h"

namespace meet {
namespace {

constexpr int kFree50 = 2;  // 50m自由形
constexpr size_t kMenFree50 = 1;

// Every cell of the records given set to `time`.
ShikakuTable TableWith(const std::vector<int>& records, int32_t time, size_t cell = kMenFree50) {
  ShikakuTable t = ShikakuTable::Fresh();
  for (int r : records) t.Change(r)->cellTimes[cell] = time;
  return t;
}

std::vector<int> AllRecords(int first, int last) {
  std::vector<int> v;
  for (int r = first; r <= last; ++r) v.push_back(r);
  return v;
}

Entry Swimmer(const std::string& grade, int age, int32_t free50, const std::string& sex = "1") {
  Entry e = test::Entrant(7, "山田　太郎      ", grade, age, sex, "ＡＢＣ水泳  ");
  e.entryTimes[kFree50 - 1] = free50;
  return e;
}

std::vector<int> RecordsOf(const std::vector<RecordCheckFinding>& findings) {
  std::vector<int> v;
  for (const auto& f : findings) v.push_back(f.recordNo);
  return v;
}

// ---------------------------------------------------------------- findings

TEST(CheckEntrant, OrderIsStandardsMeetRecordThenLevelsFromDistrictUp) {
  // Every record and standard of the table slower than the entry time.
  ShikakuTable t = TableWith(AllRecords(141, 570), 3100);
  auto findings = CheckEntrant(t, Swimmer("21", 13, 3000), "2");
  // 標準1 age 13, 標準2 grade 21, 標準4 class 21, meet record class 21, then
  // per level the 中学 record before the general one, 地区 up to 世界.
  std::vector<int> expected = {283, 391, 491, 191, 169, 166, 164, 161, 159, 156, 154, 151, 149, 146, 144, 141};
  EXPECT_EQ(RecordsOf(findings), expected);
  ASSERT_EQ(findings.size(), expected.size());
  std::vector<std::pair<bool, int>> kinds;
  for (const auto& f : findings) kinds.emplace_back(f.standard, f.kind);
  std::vector<std::pair<bool, int>> expectedKinds = {{true, 1},   {true, 2},   {true, 4},   {false, 31},
                                                     {false, 29}, {false, 26}, {false, 24}, {false, 21},
                                                     {false, 19}, {false, 16}, {false, 14}, {false, 11},
                                                     {false, 9},  {false, 6},  {false, 4},  {false, 1}};
  EXPECT_EQ(kinds, expectedKinds);
  for (const auto& f : findings) {
    EXPECT_EQ(f.eventCode, kFree50);
    EXPECT_EQ(f.time, 3000);
    EXPECT_EQ(f.recordTime, 3100);
  }
}

TEST(CheckEntrant, EqualToAStandardIsReportedEqualToARecordIsNot) {
  ShikakuTable t = TableWith(AllRecords(141, 570), 3000);
  auto findings = CheckEntrant(t, Swimmer("21", 13, 3000), "2");
  EXPECT_EQ(RecordsOf(findings), (std::vector<int>{283, 391, 491}));
  for (const auto& f : findings) EXPECT_TRUE(f.standard);
  // One hundredth slower reaches nothing.
  EXPECT_TRUE(CheckEntrant(t, Swimmer("21", 13, 3001), "2").empty());
}

TEST(CheckEntrant, SchoolTypeChoosesTheSchoolRecordOfEachLevel) {
  ShikakuTable t = TableWith(AllRecords(141, 170), 3100);
  struct Case {
    std::string grade;
    std::vector<int> records;
  };
  const std::vector<Case> cases = {
      {"11", {170, 166, 165, 161, 160, 156, 155, 151, 150, 146, 145, 141}},  // 学童
      {"21", {169, 166, 164, 161, 159, 156, 154, 151, 149, 146, 144, 141}},  // 中学
      {"32", {168, 166, 163, 161, 158, 156, 153, 151, 148, 146, 143, 141}},  // 高校
      {"41", {167, 166, 162, 161, 157, 156, 152, 151, 147, 146, 142, 141}},  // 大学
      {"05", {166, 161, 156, 151, 146, 141}},                                // only the general records
      {"51", {166, 161, 156, 151, 146, 141}},
      {"5", {166, 161, 156, 151, 146, 141}},  // right-aligned: " 5"
  };
  for (const auto& c : cases) EXPECT_EQ(RecordsOf(CheckEntrant(t, Swimmer(c.grade, 30, 3000), "1")), c.records) << c.grade;
}

TEST(CheckEntrant, EveryLevelIsExaminedOnItsOwn) {
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(161)->cellTimes[kMenFree50] = 3100;  // 県
  t.Change(151)->cellTimes[kMenFree50] = 3050;  // 日本
  t.Change(146)->cellTimes[kMenFree50] = 2900;  // アジア: not beaten
  auto findings = CheckEntrant(t, Swimmer("05", 30, 3000), "1");
  EXPECT_EQ(RecordsOf(findings), (std::vector<int>{161, 151}));
}

TEST(CheckEntrant, ClassKeyIsTheAgeUnderClassesByAge) {
  ShikakuTable t = TableWith({213, 513, 191, 491}, 3100);
  EXPECT_EQ(RecordsOf(CheckEntrant(t, Swimmer("21", 43, 3000), "1")), (std::vector<int>{513, 213}));
  EXPECT_EQ(RecordsOf(CheckEntrant(t, Swimmer("21", 43, 3000), "2")), (std::vector<int>{491, 191}));
  EXPECT_EQ(RecordsOf(CheckEntrant(t, Swimmer("21", 43, 3000), "0")), (std::vector<int>{491, 191}));
}

TEST(CheckEntrant, WomenAndMixedUseTheirOwnCells) {
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(141)->cellTimes[30] = 3100;  // 女子 50m自由形
  EXPECT_EQ(RecordsOf(CheckEntrant(t, Swimmer("05", 30, 3000, "2"), "1")), (std::vector<int>{141}));
  EXPECT_TRUE(CheckEntrant(t, Swimmer("05", 30, 3000, "1"), "1").empty());
  for (std::string sex : {"0", "4", "", "x"}) EXPECT_TRUE(CheckEntrant(t, Swimmer("05", 30, 3000, sex), "1").empty());
}

TEST(CheckEntrant, OwnEventsZeroCellsAndStatusCodesGiveNothing) {
  ShikakuTable all = ShikakuTable::Fresh();
  for (int r = 1; r <= 570; ++r) all.Change(r)->cellTimes.fill(999999);
  Entry e = Swimmer("21", 13, 0);
  for (int code = 30; code <= 44; ++code) e.entryTimes[static_cast<size_t>(code - 1)] = 2000;
  EXPECT_TRUE(CheckEntrant(all, e, "1").empty());
  // Entry times that are not times never reach a standard or break a record.
  for (int32_t code : {595900, 666666, 700001, 888888, 999999, -5})
    EXPECT_TRUE(CheckEntrant(all, Swimmer("21", 13, code), "1").empty()) << code;
  EXPECT_TRUE(CheckEntrant(ShikakuTable::Fresh(), Swimmer("21", 13, 1), "1").empty());
}

TEST(CheckEntrant, AgeOrClassOutsideTheirKindConsultNoOtherKind) {
  // Record 270 is the meet record of class 100 and 370 the 標準1 of age 100;
  // an age of 0 or 101 must not take them for its standards.
  ShikakuTable t = TableWith({270, 370, 470, 170, 570}, 3100);
  for (int age : {0, 101, -1}) {
    auto findings = CheckEntrant(t, Swimmer("00", age, 3000), "1");
    for (const auto& f : findings) EXPECT_FALSE(f.standard) << age;
    for (const auto& f : findings) EXPECT_NE(f.kind, 31) << age;
  }
}

// ---------------------------------------------------------------- lines

TEST(FindingLine, StandardLineAtItsTwoPositions) {
  RecordCheckFinding f{kFree50, 3000, true, 1, 283, 3100};
  auto pieces = FindingLine(Swimmer("21", 13, 3000), f, 0, NamingContext{});
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].x, 1500);
  // A blank between name, club, grade code and grade name; the event padded
  // to 18 so that the times line up under each other.
  EXPECT_EQ(pieces[0].text, "   7 山田　太郎       ＡＢＣ水泳   21 中1");
  EXPECT_EQ(pieces[1].x, 6500);
  EXPECT_EQ(pieces[1].text, "50m自由形" + std::string(10, ' ') + "   30.00  標準突破  1");
}

TEST(FindingLine, RecordLineAtItsEightPositions) {
  RecordCheckFinding f{kFree50, 3000, false, 29, 169, 3100};
  Entry e = test::Entrant(1234, "長谷川　健太郎ab", "21", 13, "1", "港南スイミング");
  e.entryTimes[1] = 3000;
  auto pieces = FindingLine(e, f, 0, NamingContext{});
  std::vector<std::pair<int, std::string>> got;
  for (const auto& p : pieces) got.emplace_back(p.x, p.text);
  std::vector<std::pair<int, std::string>> expected = {
      {1000, "1234"},      {1500, "長谷川　健太郎a"}, {3200, "港南スイミン"},  // 3000 would touch 8 full-width
      {4500, "13"},        {4900, "中1"},            {5500, "50m自由形"},      // 4800 a three-digit age
      {7500, "   30.00"},  {8500, "区中  (   31.00)"},
  };
  EXPECT_EQ(got, expected);
}

TEST(FindingLine, WorldRecordsPrintAsRecordsNotStandards) {
  // Record classes 1, 2 and 4 share their numbers with the standards' digits.
  for (int kind : {1, 2, 4}) {
    RecordCheckFinding f{kFree50, 3000, false, kind, 140 + kind, 3100};
    auto pieces = FindingLine(Swimmer("21", 13, 3000), f, 0, NamingContext{});
    ASSERT_EQ(pieces.size(), 8u) << kind;
    EXPECT_EQ(pieces[7].text, RecordClassAbbrev(kind) + "  (   31.00)");
  }
}

// ---------------------------------------------------------------- printing

struct CheckFolder {
  test::TempDir dir;
  Settings settings;
  test::FixedClock clock;

  CheckFolder(const std::vector<Entry>& entrants, const ShikakuTable& table, const std::string& classMode = "2") {
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    settings.classMode = classMode;
    settings.meetName = "春季記録会";
    settings.meetDateFrom = 20260607;
    settings.meetDateTo = 20260608;
    clock.now = DateTime{2026, 5, 30, 9, 15, 0};
    test::WriteFile(dir / "ind.Mos", test::EntryFileBytes(entrants));
    test::WriteFile(dir / "shikaku.dat", ShikakuTableBytes(table));
  }
};

// The finding lines' texts printed at x (below the page heading).
std::vector<test::PrintedItem> TextsAt(const test::RecordingPrinter& p, int x) {
  std::vector<test::PrintedItem> out;
  for (const auto& item : p.items)
    if (!item.isLine && item.x == x && item.y >= kCheckFirstLineY) out.push_back(item);
  return out;
}

TEST(RunRecordCheck, PrintsEachFindingOnItsOwnLineAndEndsTheJob) {
  ShikakuTable t = TableWith({283, 166}, 3100);
  Entry a = Swimmer("21", 13, 3000);
  Entry none = test::Entrant(8, "佐藤　花子", "22", 14, "2");  // no entry times
  Entry b = Swimmer("21", 13, 2900);
  b.entryNo = 9;
  CheckFolder f({a, none, b}, t);
  test::RecordingPrinter printer;
  auto found = RunRecordCheck(f.dir.path(), f.settings, printer, f.clock);
  ASSERT_TRUE(found) << found.error().message;
  EXPECT_EQ(*found, 4);
  EXPECT_EQ(printer.documentsEnded, 1);

  // Standard lines at 1500 and 6500, record lines from 1000, one line each.
  auto standards = TextsAt(printer, 6500);
  ASSERT_EQ(standards.size(), 2u);
  auto records = TextsAt(printer, 8500);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].text, "地区  (   31.00)");
  std::vector<int> ys = {standards[0].y, records[0].y, standards[1].y, records[1].y};
  for (size_t i = 1; i < ys.size(); ++i) EXPECT_GT(ys[i], ys[i - 1]);
  EXPECT_EQ(ys[1] - ys[0], ys[3] - ys[2]);  // one line height apart
  EXPECT_GE(ys[0], kCheckFirstLineY);
  auto numbers = TextsAt(printer, 1000);
  bool sawNine = false;
  for (const auto& n : numbers) sawNine = sawNine || n.text == "   9";
  EXPECT_TRUE(sawNine);
  // The heading names the meet.
  auto texts = printer.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "個人記録確認"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "春季記録会"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "2026/06/07～2026/06/08"), texts.end());
}

TEST(RunRecordCheck, LongListsRunOverSeveralPagesEachWithItsHeading) {
  ShikakuTable t = TableWith({166}, 3100);
  std::vector<Entry> entrants;
  for (int n = 1; n <= 150; ++n) {
    Entry e = Swimmer("05", 30, 3000);
    e.entryNo = n;
    entrants.push_back(e);
  }
  CheckFolder f(entrants, t, "1");
  test::RecordingPrinter printer;
  auto found = RunRecordCheck(f.dir.path(), f.settings, printer, f.clock);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, 150);
  int pages = 0;
  for (const auto& item : printer.items) {
    pages = std::max(pages, item.page);
    if (!item.isLine) {
      EXPECT_LE(item.y, kCheckLastLineY + 400) << item.text;
    }
    EXPECT_EQ(item.doc, 1);
  }
  EXPECT_GE(pages, 3);
  auto texts = printer.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "個人記録確認"), pages);
  EXPECT_NE(std::find(texts.begin(), texts.end(), NumberText(pages) + " 頁"), texts.end());
  // Every entrant's line is there, in entry order.
  auto numbers = TextsAt(printer, 1000);
  ASSERT_EQ(numbers.size(), 150u);
  for (int n = 1; n <= 150; ++n) EXPECT_EQ(numbers[static_cast<size_t>(n - 1)].text, RightAligned(n, 4));
}

TEST(RunRecordCheck, EmptyEntryFilePrintsAnEmptyJob) {
  CheckFolder f({}, TableWith(AllRecords(141, 570), 3100));
  test::RecordingPrinter printer;
  auto found = RunRecordCheck(f.dir.path(), f.settings, printer, f.clock);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, 0);
  EXPECT_EQ(printer.documentsEnded, 1);
  EXPECT_TRUE(TextsAt(printer, 1000).empty());
  EXPECT_TRUE(TextsAt(printer, 6500).empty());
}

TEST(RunRecordCheck, MissingEntryFileIsAnErrorNotAnEmptyList) {
  CheckFolder f({Swimmer("21", 13, 3000)}, TableWith({166}, 3100));
  f.settings.entryFileName = "other.Mos";
  test::RecordingPrinter printer;
  auto found = RunRecordCheck(f.dir.path(), f.settings, printer, f.clock);
  ASSERT_FALSE(found);
  EXPECT_EQ(found.error().kind, ErrorKind::NotFound);
  EXPECT_TRUE(printer.items.empty());
}

TEST(RunRecordCheck, GarbageEntryFileNeverCrashes) {
  CheckFolder f({}, TableWith(AllRecords(141, 570), 3100));
  std::string bytes = test::EntryFileBytes({Swimmer("21", 13, 3000)});
  for (size_t k = 3840; k < bytes.size(); ++k) bytes[k] = static_cast<char>(k * 7 + 3);
  bytes.replace(0, 4, test::Le32(1000000));  // a count far beyond the entries held
  test::WriteFile(f.dir / "ind.Mos", bytes);
  test::RecordingPrinter printer;
  auto found = RunRecordCheck(f.dir.path(), f.settings, printer, f.clock);
  ASSERT_TRUE(found);
  EXPECT_EQ(printer.documentsEnded, 1);
}

}  // namespace
}  // namespace meet
