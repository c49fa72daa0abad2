#include "records/shikaku_file.h"

#include <gtest/gtest.h>

#include <random>

#include "core/time_code.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;
using test::Sjis;

constexpr size_t kLen = 384;

// One record built from the layout table: key, 88 cells, 30 bytes of text.
std::string RecordBytes(int key, const std::vector<std::pair<int, int32_t>>& cells = {},
                        const std::string& text = std::string(30, '\0')) {
  std::string s = Le16(key);
  for (int k = 0; k < 88; ++k) {
    int32_t v = 0;
    for (auto [c, t] : cells)
      if (c == k) v = t;
    s += Le32(v);
  }
  return s + text;
}

// Records 1 … n, each on its own with no times.
std::string TableBytes(int n) {
  std::string s;
  for (int r = 1; r <= n; ++r) s += RecordBytes(r);
  return s;
}

std::string RecordAt(const std::string& file, int r) { return file.substr(static_cast<size_t>(r - 1) * kLen, kLen); }

ShikakuTable LoadFrom(const test::TempDir& dir, const std::string& bytes) {
  test::WriteFile(dir / "shikaku.dat", bytes);
  auto t = LoadShikaku(dir.path());
  EXPECT_TRUE(t.has_value());
  return t ? std::move(*t) : ShikakuTable{};
}

std::array<int32_t, 87> CellsWith(int cell, int32_t time) {
  std::array<int32_t, 87> cells{};
  cells[static_cast<size_t>(cell)] = time;
  return cells;
}

NamingContext AgeContext() {
  NamingContext ctx;
  ctx.classMode = "1";
  return ctx;
}

// ---------------------------------------------------------------- layout

TEST(ShikakuLayout, HandBuiltRecordIsOneRecordLong) { EXPECT_EQ(RecordBytes(1).size(), kLen); }

TEST(ShikakuLayout, FieldsAreReadAtTheirOffsets) {
  std::string text = Sjis("前回大会より", 30);
  std::string bytes = RecordBytes(273, {{0, 2507}, {30, 12345}, {86, 595899}, {87, -1}}, text);
  ShikakuRecord r = ShikakuRecordFromRecord(Record(bytes, kLen));
  EXPECT_EQ(r.groupKey, 273);
  EXPECT_EQ(r.cellTimes[0], 2507);
  EXPECT_EQ(r.cellTimes[30], 12345);
  EXPECT_EQ(r.cellTimes[86], 595899);
  EXPECT_EQ(r.cellTimes[87], -1);
  EXPECT_EQ(r.cellTimes[1], 0);
  EXPECT_EQ(r.recordText, text);
  // Written back, the record is byte for byte the hand-built one.
  EXPECT_EQ(RecordFromShikakuRecord(r).bytes(), bytes);
}

TEST(ShikakuLayout, FreshTableIsEveryRecordOnItsOwnWithNoTimes) {
  EXPECT_EQ(ShikakuTableBytes(ShikakuTable::Fresh()), TableBytes(570));
}

TEST(ShikakuLayout, CellOfCountsSexThenEvent) {
  EXPECT_EQ(CellOf(1, 1), 0);
  EXPECT_EQ(CellOf(2, 2), 30);
  EXPECT_EQ(CellOf(3, 29), 86);
  EXPECT_EQ(CellOf(0, 1), -1);
  EXPECT_EQ(CellOf(4, 1), -1);
  EXPECT_EQ(CellOf(1, 30), -1);
  EXPECT_EQ(CellOf(1, 0), -1);
}

// ---------------------------------------------------------------- reading

TEST(LoadShikaku, MissingOrTinyFileIsAnEmptyTable) {
  test::TempDir dir;
  auto missing = LoadShikaku(dir.path());
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->empty());
  for (std::string bytes : {std::string(), std::string("\x05")}) {
    ShikakuTable t = LoadFrom(dir, bytes);
    EXPECT_TRUE(t.empty());
    EXPECT_EQ(t.record(1).groupKey, 0);
  }
  // Two bytes are a table: record 1 with its key, the rest zero.
  ShikakuTable two = LoadFrom(dir, Le16(1));
  EXPECT_FALSE(two.empty());
  EXPECT_EQ(two.recordsHeld(), 1);
  EXPECT_EQ(two.record(1).groupKey, 1);
  EXPECT_EQ(two.record(1).cellTimes[0], 0);
}

TEST(LoadShikaku, FileNameIsFoundWhateverItsCase) {
  test::TempDir dir;
  test::WriteFile(dir / "SHIKAKU.DAT", RecordBytes(7, {{3, 999}}));
  auto t = LoadShikaku(dir.path());
  ASSERT_TRUE(t);
  EXPECT_EQ(t->record(1).groupKey, 7);
  EXPECT_EQ(t->record(1).cellTimes[3], 999);
}

TEST(LoadShikaku, TruncatedRecordReadsZeroPastTheEnd) {
  test::TempDir dir;
  std::string bytes = TableBytes(299) + RecordBytes(300, {{0, 1111}, {50, 2222}}).substr(0, 150);
  ShikakuTable t = LoadFrom(dir, bytes);
  EXPECT_EQ(t.recordsHeld(), 300);
  EXPECT_EQ(t.record(300).groupKey, 300);
  EXPECT_EQ(t.record(300).cellTimes[0], 1111);
  EXPECT_EQ(t.record(300).cellTimes[50], 0);  // past the end of the file
  EXPECT_EQ(t.record(301).groupKey, 0);
}

TEST(LoadShikaku, OversizedFileIsReadToRecord570AndItsTailNeverWritten) {
  test::TempDir dir;
  std::string tail = RecordBytes(-1, {{0, 4444}}) + "garbage";
  ShikakuTable t = LoadFrom(dir, TableBytes(570) + tail);
  EXPECT_EQ(t.recordsHeld(), 570);
  EXPECT_EQ(t.record(571).groupKey, 0);  // outside the table
  EXPECT_EQ(t.Change(571), nullptr);
  EXPECT_EQ(t.Change(0), nullptr);
  EnterCells(t, 570, CellsWith(0, 3333));
  ASSERT_TRUE(SaveShikakuTable(dir / "shikaku.dat", t));
  std::string after = test::ReadFile(dir / "shikaku.dat");
  ASSERT_EQ(after.size(), 570 * kLen + tail.size());
  EXPECT_EQ(after.substr(570 * kLen), tail);
  EXPECT_EQ(RecordAt(after, 570), RecordBytes(570, {{0, 3333}}));
}

TEST(LoadShikaku, GarbageNeverCrashes) {
  test::TempDir dir;
  std::mt19937 gen(11);
  for (size_t size : {size_t{2}, size_t{383}, size_t{385}, size_t{5000}, size_t{570 * 384 + 17}}) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    ShikakuTable t = LoadFrom(dir, bytes);
    GroupList all = ListGroups(t, 1, 570, AgeContext());
    int covered = 0;
    for (const RecordRange& g : all.groups) covered += g.size();
    EXPECT_EQ(covered, 570);
    for (int r = 1; r <= 570; r += 37) {
      RecordRange g = EnterCells(t, r, CellsWith(1, 2507));
      EXPECT_TRUE(g.contains(r));
      EXPECT_EQ(KindOfRecord(g.first), KindOfRecord(g.last));
    }
    ASSERT_TRUE(SaveShikakuTable(dir / "shikaku.dat", t));
    EXPECT_LE(test::ReadFile(dir / "shikaku.dat").size(), std::max(size, size_t{570 * 384}));
  }
}

// ---------------------------------------------------------------- writing

TEST(SaveShikaku, WritesOnlyTheRecordsChanged) {
  test::TempDir dir;
  std::string before = TableBytes(570);
  ShikakuTable t = LoadFrom(dir, before);
  EnterCells(t, 200, CellsWith(5, 12345));
  ASSERT_TRUE(SaveShikakuTable(dir / "shikaku.dat", t));
  std::string after = test::ReadFile(dir / "shikaku.dat");
  ASSERT_EQ(after.size(), before.size());
  for (int r = 1; r <= 570; ++r) {
    if (r != 200) {
      ASSERT_EQ(RecordAt(after, r), RecordAt(before, r)) << r;
    }
  }
  EXPECT_EQ(RecordAt(after, 200), RecordBytes(200, {{5, 12345}}));
}

TEST(SaveShikaku, AnEmptyTableIsCreatedWholeOnItsFirstChange) {
  test::TempDir dir;
  test::WriteFile(dir / "shikaku.dat", "x");
  ShikakuTable t = LoadFrom(dir, "x");
  ASSERT_TRUE(t.empty());
  EnterCells(t, 171, CellsWith(0, 1234));
  ASSERT_TRUE(SaveShikakuTable(dir / "shikaku.dat", t));
  std::string after = test::ReadFile(dir / "shikaku.dat");
  std::string expected = TableBytes(570);
  expected.replace(170 * kLen, kLen, RecordBytes(171, {{0, 1234}}));
  EXPECT_EQ(after, expected);
}

TEST(SaveShikaku, ShortTableTakesARecordBeyondItsEndAsARecordOnItsOwn) {
  test::TempDir dir;
  ShikakuTable t = LoadFrom(dir, TableBytes(100));
  // Record 300 is past the end: its key reads 0, so only it is written.
  RecordRange g = EnterCells(t, 300, CellsWith(2, 2507));
  EXPECT_EQ(g, (RecordRange{300, 300}));
  ASSERT_TRUE(SaveShikakuTable(dir / "shikaku.dat", t));
  std::string after = test::ReadFile(dir / "shikaku.dat");
  ASSERT_EQ(after.size(), 300 * kLen);
  EXPECT_EQ(after.substr(0, 100 * kLen), TableBytes(100));
  EXPECT_EQ(after.substr(100 * kLen, 199 * kLen), std::string(199 * kLen, '\0'));
  EXPECT_EQ(RecordAt(after, 300), RecordBytes(0, {{2, 2507}}));
}

// ---------------------------------------------------------------- group keys

struct BadKeyCase {
  int record;
  int key;
  bool valid;
};

TEST(GroupKeys, KeyMustNameARecordOfTheSameKind) {
  const std::vector<BadKeyCase> cases = {
      {274, 273, true},   {274, 274, true},  {274, 0, false},   {274, -5, false}, {274, 571, false},
      {274, 32767, false}, {274, 175, false}, {274, 371, false}, {141, 140, false}, {1, 140, true},
      {570, 471, true},   {150, 141, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "record " << c.record << " key " << c.key);
    ShikakuTable t = ShikakuTable::Fresh();
    t.Change(c.record)->groupKey = static_cast<int16_t>(c.key);
    EXPECT_EQ(t.GroupKeyValid(c.record), c.valid);
    if (!c.valid) {
      EXPECT_EQ(t.GroupOf(c.record), (RecordRange{c.record, c.record}));
      RecordRange g = EnterCells(t, c.record, CellsWith(0, 4321));
      EXPECT_EQ(g, (RecordRange{c.record, c.record}));
      for (int r = 1; r <= 570; ++r) {
        if (r != c.record) {
          ASSERT_EQ(t.record(r).cellTimes[0], 0) << r;
        }
      }
      EXPECT_EQ(t.record(c.record).groupKey, c.key);  // the bad key is left as it was
    }
  }
}

TEST(GroupKeys, GroupNeverCrossesIntoAnotherKind) {
  ShikakuTable t = ShikakuTable::Fresh();
  // 最高 record 170 and 大会 record 171 both keyed 170: 171's key is bad.
  t.Change(171)->groupKey = 170;
  EXPECT_EQ(t.GroupOf(170), (RecordRange{170, 170}));
  EXPECT_EQ(t.GroupOf(171), (RecordRange{171, 171}));
}

// ---------------------------------------------------------------- labels

struct LabelCase {
  int record;
  const char* label;
};

TEST(RecordLabel, EveryRangeHasItsLabel) {
  const std::vector<LabelCase> cases = {
      {1, "８歳以下 1級"},     {14, "８歳以下 14級"},   {15, "９歳 1級"},       {29, "１０歳 1級"},
      {99, "15･16歳 1級"},     {113, "17･18歳 1級"},    {126, "17･18歳 14級"},  {127, "１９歳以上 1級"},
      {140, "１９歳以上 14級"}, {141, "世界"},           {142, "世界(大学)"},    {143, "世界(高校)"},
      {144, "世界(中学)"},     {145, "世界(学童)"},     {146, "アジア"},        {147, "アジア(大学)"},
      {151, "日本"},           {156, "地方"},           {161, "県"},            {166, "地区"},
      {170, "地区(学童)"},     {171, "1才"},            {180, "10才"},          {270, "100才"},
      {271, "1 歳"},           {300, "30 歳"},          {370, "100 歳"},        {371, ""},
      {375, "幼児"},           {381, "小1"},            {393, "中3"},           {412, "大2"},
      {421, "Ａ"},             {471, "1才"},            {482, "12才"},          {570, "100才"},
      {0, ""},                 {571, ""},               {-3, ""},
  };
  NamingContext ctx = AgeContext();
  for (const auto& c : cases) EXPECT_EQ(RecordLabel(c.record, ctx), c.label) << c.record;
}

TEST(RecordLabel, MeetRecordsFollowTheClassMode) {
  NamingContext grades;
  grades.classMode = "2";
  grades.classScheme = 0;
  EXPECT_EQ(RecordLabel(181, grades), "小1 ");
  EXPECT_EQ(RecordLabel(491, grades), "中1 ");
  NamingContext none;
  none.classMode = "0";
  EXPECT_EQ(RecordLabel(181, none), "");
  EXPECT_EQ(RecordLabel(281, none), "11 歳");  // 標準1 does not depend on it
}

// ---------------------------------------------------------------- times

TEST(ParseTime, ReadsTheDisplayTextBack) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {" 1:23.45", 12345}, {"12:34.56", 123456}, {"   25.07", 2507}, {"    3.45", 345}, {"     .45", 45},
      {"", 0},             {"99:99.99", 999999}, {"参加", 0},        {"棄権", 0},       {"ｺﾞｰﾙ", 0},
      {"abc", 0},          {"1:23.45", 12345},   {"    2507", 207},  // bare digits are not a display text
  };
  for (const auto& [text, code] : cases) EXPECT_EQ(ParseTime(text), code) << '"' << text << '"';
}

TEST(ParseTime, IsTheInverseOfFormatTimeForTimes) {
  for (int32_t code : {10, 99, 100, 2507, 5999, 10000, 12345, 95959, 100000, 595899})
    EXPECT_EQ(ParseTime(FormatTime(code)), code) << code;
  // Texts that are not times read as no time.
  for (int32_t code : {0, 5, 666666, 700001, 888888, 999999}) EXPECT_EQ(ParseTime(FormatTime(code)), 0) << code;
}

// ---------------------------------------------------------------- groups

TEST(ListGroups, FreshMeetRecordsAreHundredSingleLines) {
  ShikakuTable t = ShikakuTable::Fresh();
  GroupList list = ListGroups(t, 171, 270, AgeContext());
  ASSERT_EQ(list.lines.size(), 100u);
  EXPECT_EQ(list.lines[0], "1才");
  EXPECT_EQ(list.lines[99], "100才");
  EXPECT_EQ(list.groups[9], (RecordRange{180, 180}));
}

TEST(Groups, ThreeToFiveOfStandard1ShareTheirTimes) {
  ShikakuTable t = ShikakuTable::Fresh();
  auto made = MakeGroup(t, kKindStandard1, 3, 5);
  ASSERT_TRUE(made);
  EXPECT_EQ(*made, (RecordRange{273, 275}));
  for (int r = 273; r <= 275; ++r) EXPECT_EQ(t.record(r).groupKey, 273);
  EXPECT_EQ(t.record(272).groupKey, 272);
  EXPECT_EQ(t.record(276).groupKey, 276);

  RecordRange written = EnterCells(t, 274, CellsWith(30, 2507));
  EXPECT_EQ(written, (RecordRange{273, 275}));
  for (int r = 273; r <= 275; ++r) EXPECT_EQ(t.record(r).cellTimes[30], 2507) << r;
  EXPECT_EQ(t.record(272).cellTimes[30], 0);
  EXPECT_EQ(t.record(276).cellTimes[30], 0);

  GroupList list = ListGroups(t, 271, 370, AgeContext());
  ASSERT_EQ(list.lines.size(), 98u);
  EXPECT_EQ(list.lines[2], "3 歳-5 歳");
  EXPECT_EQ(list.groups[2], (RecordRange{273, 275}));
  EXPECT_EQ(list.lines[3], "6 歳");
}

TEST(Groups, GroupFileBytesMatchTheLayout) {
  test::TempDir dir;
  ShikakuTable t = LoadFrom(dir, TableBytes(570));
  ASSERT_TRUE(MakeGroup(t, kKindStandard1, 3, 5));
  EnterCells(t, 274, CellsWith(30, 2507));
  ASSERT_TRUE(SaveShikakuTable(dir / "shikaku.dat", t));
  std::string after = test::ReadFile(dir / "shikaku.dat");
  for (int r = 273; r <= 275; ++r) EXPECT_EQ(RecordAt(after, r), RecordBytes(273, {{30, 2507}})) << r;
  EXPECT_EQ(RecordAt(after, 276), RecordBytes(276));
}

TEST(Groups, MakingAGroupInsideAnotherLeavesEveryGroupOneRun) {
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindStandard1, 3, 8));  // 273–278
  ASSERT_TRUE(MakeGroup(t, kKindStandard1, 4, 5));  // 274–275 cut out of it
  EXPECT_EQ(t.record(273).groupKey, 273);
  EXPECT_EQ(t.record(274).groupKey, 274);
  EXPECT_EQ(t.record(275).groupKey, 274);
  for (int r = 276; r <= 278; ++r) EXPECT_EQ(t.record(r).groupKey, 276) << r;
  EXPECT_EQ(t.record(279).groupKey, 279);
  // A time entered in 278 reaches 276–277 but no longer 273.
  EXPECT_EQ(EnterCells(t, 278, CellsWith(0, 999)), (RecordRange{276, 278}));
  EXPECT_EQ(t.record(273).cellTimes[0], 0);
  GroupList list = ListGroups(t, 271, 280, AgeContext());
  std::vector<std::string> expected = {"1 歳", "2 歳", "3 歳", "4 歳-5 歳", "6 歳-8 歳", "9 歳", "10 歳"};
  EXPECT_EQ(list.lines, expected);
}

TEST(Groups, RefusedForOtherKindsAndPositionsOutsideTheKind) {
  struct Case {
    int kind, from, to;
  };
  for (const Case& c : std::vector<Case>{{kKindBest, 1, 2}, {kKindGrade, 1, 2}, {kKindMeet, 0, 3}, {kKindMeet, 5, 101},
                                         {kKindStandard4, 7, 6}, {kKindStandard2, -1, 3}, {9, 1, 2}}) {
    ShikakuTable t = ShikakuTable::Fresh();
    auto made = MakeGroup(t, c.kind, c.from, c.to);
    EXPECT_FALSE(made) << c.kind << ' ' << c.from << ' ' << c.to;
    for (int r = 1; r <= 570; ++r) ASSERT_EQ(t.record(r).groupKey, r);
  }
  ShikakuTable t = ShikakuTable::Fresh();
  EXPECT_TRUE(MakeGroup(t, kKindStandard4, 1, 100));
  EXPECT_EQ(t.record(570).groupKey, 471);
}

// ---------------------------------------------------------------- initialising

TEST(InitialiseKind, MeetRecordsBecomeHundredSingleGroupsWithoutTimes) {
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 1, 50));
  EnterCells(t, 171, CellsWith(3, 5000));
  EnterCells(t, 271, CellsWith(3, 6000));
  RecordRange done = InitialiseKind(t, kKindMeet, 171, false);
  EXPECT_EQ(done, (RecordRange{171, 270}));
  GroupList list = ListGroups(t, 171, 270, AgeContext());
  EXPECT_EQ(list.lines.size(), 100u);
  for (int r = 171; r <= 270; ++r) {
    EXPECT_EQ(t.record(r).groupKey, r);
    EXPECT_EQ(t.record(r).cellTimes[3], 0);
  }
  EXPECT_EQ(t.record(271).cellTimes[3], 6000);  // other kinds untouched
}

TEST(InitialiseKind, KeepingTheTimesResetsOnlyTheGroups) {
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindStandard2, 10, 12));
  EnterCells(t, 380, CellsWith(40, 7777));
  InitialiseKind(t, kKindStandard2, 371, true);
  for (int r = 380; r <= 382; ++r) {
    EXPECT_EQ(t.record(r).groupKey, r);
    EXPECT_EQ(t.record(r).cellTimes[40], 7777);
  }
}

TEST(InitialiseKind, BestOnlyTheRecordShownAndGradesNever) {
  ShikakuTable t = ShikakuTable::Fresh();
  for (int r : {141, 151, 1}) EnterCells(t, r, CellsWith(0, 1000 + r));
  EXPECT_EQ(InitialiseKind(t, kKindBest, 151, false), (RecordRange{151, 151}));
  EXPECT_EQ(t.record(151).cellTimes[0], 0);
  EXPECT_EQ(t.record(141).cellTimes[0], 1141);
  EXPECT_TRUE(InitialiseKind(t, kKindGrade, 1, false).empty());
  EXPECT_EQ(t.record(1).cellTimes[0], 1001);
  EXPECT_TRUE(InitialiseRange(kKindBest, 171).empty());  // a record shown of another kind
}

// ---------------------------------------------------------------- copying

TEST(CopyOriginal, TickedPartsAreTakenWholeAndOthersLeft) {
  ShikakuTable previous = ShikakuTable::Fresh();
  ShikakuTable table = ShikakuTable::Fresh();
  for (int r : {141, 145, 146, 171, 270, 1, 140}) {
    ShikakuRecord* rec = previous.Change(r);
    rec->cellTimes[0] = 5000 + r;
    rec->recordText = Sjis("前回", 30);
  }
  previous.Change(172)->groupKey = 171;
  CopyParts parts{};
  parts[static_cast<size_t>(CopyPartOfCaption("世界"))] = true;
  parts[static_cast<size_t>(CopyPartOfCaption("大会"))] = true;
  auto outcome = CopyOriginal(table, previous, parts);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->recordsCopied, 5 + 100);
  EXPECT_EQ(table.record(141).cellTimes[0], 5141);
  EXPECT_EQ(table.record(145).recordText, Sjis("前回", 30));
  EXPECT_EQ(table.record(270).cellTimes[0], 5270);
  EXPECT_EQ(table.record(172).groupKey, 171);
  EXPECT_EQ(table.record(146).cellTimes[0], 0);  // アジア not ticked
  EXPECT_EQ(table.record(1).cellTimes[0], 0);    // 級 not ticked
}

TEST(CopyOriginal, ShortPreviousTableCopiesOnlyWhatItHolds) {
  test::TempDir dir;
  ShikakuTable previous = LoadFrom(dir, TableBytes(200));
  ShikakuTable table = ShikakuTable::Fresh();
  EnterCells(table, 250, CellsWith(0, 4242));
  CopyParts parts{};
  parts[6] = true;  // 大会 171–270
  auto outcome = CopyOriginal(table, previous, parts);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->recordsCopied, 30);
  EXPECT_EQ(table.record(250).cellTimes[0], 4242);
  EXPECT_EQ(table.record(250).groupKey, 250);
}

TEST(CopyOriginal, EmptyPreviousTableIsRefused) {
  ShikakuTable table;
  CopyParts parts{};
  parts.fill(true);
  auto outcome = CopyOriginal(table, ShikakuTable{}, parts);
  EXPECT_FALSE(outcome);
  EXPECT_TRUE(table.empty());
}

BikoEntry NewRecord(const std::string& sex, int eventCode, int recordClass, int32_t time, int classFrom = 0) {
  BikoEntry e;
  e.sexCode = sex;
  e.eventCode = static_cast<int16_t>(eventCode);
  e.recordClass = static_cast<int16_t>(recordClass);
  e.time = time;
  e.classFrom = static_cast<int16_t>(classFrom);
  e.classTo = static_cast<int16_t>(classFrom);
  return e;
}

TEST(ApplyNewRecords, JapanRecordOfWomens50mFreeSetsCell30OfRecord151) {
  struct Case {
    int32_t stored;
    int32_t expected;
  };
  for (const Case& c : std::vector<Case>{{0, 2507}, {2600, 2507}, {2507, 2507}, {2500, 2500}}) {
    SCOPED_TRACE(c.stored);
    ShikakuTable t = ShikakuTable::Fresh();
    t.Change(151)->cellTimes[30] = c.stored;
    CopyParts parts{};
    parts[2] = true;  // 日本
    CopyOutcome outcome = ApplyNewRecords(t, {NewRecord("2", 2, 11, 2507)}, parts);
    EXPECT_EQ(t.record(151).cellTimes[30], c.expected);
    EXPECT_EQ(outcome.entriesApplied, c.stored == 0 || c.stored > 2507 ? 1 : 0);
    for (int k = 0; k < 88; ++k) {
      if (k != 30) {
        ASSERT_EQ(t.record(151).cellTimes[static_cast<size_t>(k)], 0);
      }
    }
  }
}

TEST(ApplyNewRecords, TimeGoesIntoEveryRecordOfTheTargetsGroup) {
  ShikakuTable t = ShikakuTable::Fresh();
  // 日本 and 日本(大学) kept as one group.
  t.Change(152)->groupKey = 151;
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 10, 12));  // meet records 180–182
  CopyParts parts{};
  parts.fill(true);
  CopyOutcome outcome =
      ApplyNewRecords(t, {NewRecord("2", 2, 11, 2507), NewRecord("1", 3, 31, 5800, 11)}, parts);
  EXPECT_EQ(t.record(151).cellTimes[30], 2507);
  EXPECT_EQ(t.record(152).cellTimes[30], 2507);
  EXPECT_EQ(t.record(153).cellTimes[30], 0);
  for (int r = 180; r <= 182; ++r) EXPECT_EQ(t.record(r).cellTimes[2], 5800) << r;
  EXPECT_EQ(t.record(183).cellTimes[2], 0);
  EXPECT_EQ(outcome.entriesApplied, 2);
  EXPECT_EQ(outcome.cellsWritten, 5);
}

TEST(ApplyNewRecords, OnlyTickedPartsAndUsableEntries) {
  ShikakuTable t = ShikakuTable::Fresh();
  CopyParts parts{};
  parts.fill(true);
  parts[0] = false;  // 世界 not ticked
  std::vector<BikoEntry> entries = {
      NewRecord("1", 2, 1, 2000),        // 世界: not ticked
      NewRecord("1", 2, 32, 2000, 12),   // a standard reached: not a record
      NewRecord("1", 2, 34, 2000, 12),
      NewRecord("9", 2, 11, 2000),       // no such sex
      NewRecord("1", 30, 11, 2000),      // the meet's own event
      NewRecord("1", 0, 11, 2000),
      NewRecord("1", 2, 0, 2000),        // no record class
      NewRecord("1", 2, 11, 0),          // no time
      NewRecord("1", 2, 11, 700001),     // a status code
      NewRecord("1", 2, 31, 2000, 0),    // meet record of no class
      NewRecord("1", 2, 31, 2000, 101),
  };
  CopyOutcome outcome = ApplyNewRecords(t, entries, parts);
  EXPECT_EQ(outcome.entriesApplied, 0);
  for (int r = 1; r <= 570; ++r) ASSERT_EQ(t.record(r).cellTimes, ShikakuRecord{}.cellTimes) << r;
}

TEST(TargetOfNewRecord, ClassesMapToTheirRecords) {
  struct Case {
    int recordClass, classFrom, part, record;
  };
  for (const Case& c : std::vector<Case>{{1, 0, 0, 141}, {5, 0, 0, 145}, {6, 0, 1, 146}, {11, 0, 2, 151},
                                         {16, 0, 3, 156}, {25, 0, 4, 165}, {30, 0, 5, 170}, {31, 1, 6, 171},
                                         {31, 100, 6, 270}}) {
    auto t = TargetOfNewRecord(NewRecord("3", 29, c.recordClass, 30000, c.classFrom));
    ASSERT_TRUE(t) << c.recordClass;
    EXPECT_EQ(t->part, c.part);
    EXPECT_EQ(t->recordNo, c.record);
    EXPECT_EQ(t->cell, 86);
  }
}

}  // namespace
}  // namespace meet
