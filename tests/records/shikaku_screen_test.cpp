#include "records/shikaku_screen.h"

#include <gtest/gtest.h>

#include "core/time_code.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;


struct ScreenFixture {
  test::TempDir dir;
  test::FakePlatform fake;
  Settings settings;

  ScreenFixture() {
    settings.classMode = "1";
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    fake.clock.now = DateTime{2026, 12, 8, 9, 30, 0};
  }
  std::filesystem::path meet() const { return dir.path() / "meet"; }
  std::filesystem::path table() const { return meet() / "shikaku.dat"; }
  void WriteTable(const ShikakuTable& t) const {
    std::filesystem::create_directories(meet());
    test::WriteFile(table(), ShikakuTableBytes(t));
  }
  ShikakuTable Read() const {
    auto t = LoadShikaku(meet());
    EXPECT_TRUE(t);
    return t ? std::move(*t) : ShikakuTable{};
  }
  FrmShikakuScreen Screen() {
    std::filesystem::create_directories(meet());
    return FrmShikakuScreen(meet().string() + "/", settings, fake.platform);
  }
  std::vector<std::filesystem::path> Backups() const {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(meet() / "backup", ec)) found.push_back(e.path());
    return found;
  }
};

// ---------------------------------------------------------------- showing

TEST(FrmShikakuScreen, OpensOnTheMeetRecordsAtRecord171) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(171)->cellTimes[0] = 12345;
  t.Change(171)->cellTimes[86] = 2507;
  f.WriteTable(t);
  FrmShikakuScreen s = f.Screen();
  EXPECT_EQ(s.field(0), kTimeFieldInitialText);  // before opening
  ASSERT_TRUE(s.Open());
  EXPECT_EQ(s.kind(), kKindMeet);
  EXPECT_EQ(s.shownRecord(), 171);
  EXPECT_EQ(s.naiyoLabel(), "1才");
  EXPECT_EQ(s.recordLabel(), "171");
  EXPECT_EQ(s.field(0), " 1:23.45");
  EXPECT_EQ(s.field(86), "   25.07");
  EXPECT_EQ(s.field(1), "");
  EXPECT_EQ(s.groups().lines.size(), 100u);
  EXPECT_EQ(s.groupLine(), 0);
}

TEST(FrmShikakuScreen, ChoosingAKindOrALineShowsItsFirstRecord) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindStandard1, 3, 5));
  f.WriteTable(t);
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  const std::vector<std::pair<int, int>> firsts = {{0, 141}, {1, 171}, {2, 271}, {3, 371}, {4, 471}, {5, 1}};
  for (auto [kind, first] : firsts) {
    ASSERT_TRUE(s.ChooseKind(kind));
    EXPECT_EQ(s.shownRecord(), first);
    EXPECT_EQ(s.groupLine(), 0);
  }
  ASSERT_TRUE(s.ChooseKind(kKindStandard1));
  EXPECT_EQ(s.groups().lines[2], "3 歳-5 歳");
  ASSERT_TRUE(s.ChooseGroupLine(3));
  EXPECT_EQ(s.shownRecord(), 276);
  ASSERT_TRUE(s.ChooseGroupLine(2));
  EXPECT_EQ(s.shownRecord(), 273);
  EXPECT_EQ(s.naiyoLabel(), "3 歳");
  EXPECT_FALSE(s.ChooseGroupLine(98));
  EXPECT_FALSE(s.ChooseGroupLine(-1));
  EXPECT_FALSE(s.ChooseKind(6));
  EXPECT_EQ(s.kind(), kKindStandard1);
}

TEST(FrmShikakuScreen, CursorKeysMoveByRowAndColumnWithinTheGrid) {
  struct Case {
    int field, up, down, left, right;
  };
  for (const Case& c : std::vector<Case>{{0, 0, 1, 0, 29},
                                         {28, 27, 29, 28, 57},
                                         {29, 28, 30, 0, 58},
                                         {57, 56, 58, 28, 86},
                                         {60, 59, 61, 31, 60},
                                         {86, 85, 86, 57, 86}}) {
    EXPECT_EQ(FrmShikakuScreen::FieldAbove(c.field), c.up) << c.field;
    EXPECT_EQ(FrmShikakuScreen::FieldBelow(c.field), c.down) << c.field;
    EXPECT_EQ(FrmShikakuScreen::FieldLeft(c.field), c.left) << c.field;
    EXPECT_EQ(FrmShikakuScreen::FieldRight(c.field), c.right) << c.field;
  }
}

// ---------------------------------------------------------------- entering

TEST(FrmShikakuScreen, EnterWritesTheFieldsIntoTheWholeGroup) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindStandard1, 3, 5));
  t.Change(274)->cellTimes[0] = 12345;
  t.Change(274)->cellTimes[87] = 77;  // the unused cell is carried
  f.WriteTable(t);
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  ASSERT_TRUE(s.ShowRecord(274));
  EXPECT_EQ(s.kind(), kKindStandard1);
  auto written = s.EnterField(30, "2507");
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, (RecordRange{273, 275}));
  EXPECT_EQ(s.field(30), "   25.07");
  ShikakuTable after = f.Read();
  for (int r = 273; r <= 275; ++r) {
    EXPECT_EQ(after.record(r).cellTimes[30], 2507) << r;
    EXPECT_EQ(after.record(r).cellTimes[0], 12345) << r;  // the other fields as shown
  }
  EXPECT_EQ(after.record(274).cellTimes[87], 77);
  EXPECT_EQ(after.record(272).cellTimes[30], 0);
  EXPECT_EQ(after.record(276).cellTimes[30], 0);
}

TEST(FrmShikakuScreen, EnterTakesTheDigitsBeforeTheCaret) {
  ScreenFixture f;
  f.WriteTable(ShikakuTable::Fresh());
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"12345", " 1:23.45"}, {"2507abc", "   25.07"}, {"", ""},     {"abc", ""},
      {"5", ""},             {"-300", ""},             {"666666", "参加"},
  };
  for (const auto& [typed, shown] : cases) {
    ASSERT_TRUE(s.EnterField(5, typed));
    EXPECT_EQ(s.field(5), shown) << typed;
    // What is stored is the field read back: a status text stores no time.
    int32_t stored = f.Read().record(171).cellTimes[5];
    EXPECT_EQ(stored, ParseTime(shown)) << typed;
  }
  EXPECT_FALSE(s.EnterField(87, "1"));
  EXPECT_FALSE(s.EnterField(-1, "1"));
}

TEST(FrmShikakuScreen, TypedTextOfOtherFieldsIsWrittenWithTheField) {
  ScreenFixture f;
  f.WriteTable(ShikakuTable::Fresh());
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  s.SetFieldText(3, " 1:00.00");
  ASSERT_TRUE(s.EnterField(4, "5999"));
  EXPECT_EQ(f.Read().record(171).cellTimes[3], 10000);
  EXPECT_EQ(f.Read().record(171).cellTimes[4], 5999);
}

TEST(FrmShikakuScreen, EnteringIntoAMissingTableCreatesIt) {
  ScreenFixture f;
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  EXPECT_EQ(s.field(0), "");
  ASSERT_TRUE(s.EnterField(0, "3000"));
  ShikakuTable t = f.Read();
  EXPECT_EQ(t.recordsHeld(), 570);
  EXPECT_EQ(t.record(171).cellTimes[0], 3000);
  EXPECT_EQ(t.record(570).groupKey, 570);
}

// ---------------------------------------------------------------- groups

TEST(FrmShikakuScreen, GroupButtonUsesTheTwoPositionsOfTheKind) {
  ScreenFixture f;
  f.WriteTable(ShikakuTable::Fresh());
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.ChooseKind(kKindStandard1));
  s.SetGroupText(0, "3");
  s.SetGroupText(1, "5");
  auto made = s.MakeGroupFromFields();
  ASSERT_TRUE(made);
  EXPECT_EQ(*made, (RecordRange{273, 275}));
  EXPECT_EQ(s.groups().lines.size(), 98u);
  EXPECT_EQ(f.Read().record(275).groupKey, 273);

  ASSERT_TRUE(s.ChooseKind(kKindBest));
  EXPECT_FALSE(s.MakeGroupFromFields());
  ASSERT_TRUE(s.ChooseKind(kKindMeet));
  s.SetGroupText(1, "101");
  EXPECT_FALSE(s.MakeGroupFromFields());
  EXPECT_EQ(f.Read().record(175).groupKey, 175);
}

// ---------------------------------------------------------------- initialising

TEST(FrmShikakuScreen, InitialiseAsksAndCancelChangesNothing) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 1, 10));
  t.Change(171)->cellTimes[0] = 5000;
  f.WriteTable(t);
  std::string before = test::ReadFile(f.table());
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  f.fake.dialogs.answers = {false};
  auto done = s.Initialise();
  ASSERT_FALSE(done);
  EXPECT_EQ(done.error().kind, ErrorKind::Cancelled);
  ASSERT_EQ(f.fake.dialogs.asked.size(), 1u);
  EXPECT_NE(f.fake.dialogs.asked[0].find("「大会」"), std::string::npos);
  EXPECT_EQ(test::ReadFile(f.table()), before);
  EXPECT_TRUE(f.Backups().empty());
}

TEST(FrmShikakuScreen, InitialiseKeepsABackupThenListsHundredSingleRecords) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 1, 10));
  t.Change(171)->cellTimes[0] = 5000;
  f.WriteTable(t);
  std::string before = test::ReadFile(f.table());
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  EXPECT_EQ(s.groups().lines.size(), 91u);
  f.fake.dialogs.answers = {true};
  auto done = s.Initialise();
  ASSERT_TRUE(done);
  EXPECT_EQ(*done, (RecordRange{171, 270}));
  EXPECT_EQ(s.groups().lines.size(), 100u);
  EXPECT_EQ(s.field(0), "");
  ShikakuTable after = f.Read();
  EXPECT_EQ(after.record(171).cellTimes[0], 0);
  EXPECT_EQ(after.record(172).groupKey, 172);
  auto backups = f.Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].filename(), "shikaku.dat.20261208-093000");
  EXPECT_EQ(test::ReadFile(backups[0]), before);
  EXPECT_EQ(s.lastBackup(), backups[0].string());
}

TEST(FrmShikakuScreen, InitialiseWithKeptTimesAndForTheBestRecordShown) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(151)->cellTimes[30] = 2507;
  t.Change(152)->groupKey = 151;
  t.Change(152)->cellTimes[30] = 2507;
  t.Change(141)->cellTimes[30] = 2400;
  f.WriteTable(t);
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.ShowRecord(152));
  s.SetKeepTimes(true);
  f.fake.dialogs.answers = {true};
  auto done = s.Initialise();
  ASSERT_TRUE(done);
  EXPECT_EQ(*done, (RecordRange{152, 152}));
  EXPECT_NE(f.fake.dialogs.asked.back().find("記録は残します"), std::string::npos);
  ShikakuTable after = f.Read();
  EXPECT_EQ(after.record(152).groupKey, 152);
  EXPECT_EQ(after.record(152).cellTimes[30], 2507);
  EXPECT_EQ(after.record(141).cellTimes[30], 2400);
}

TEST(FrmShikakuScreen, GradesAreNeverInitialised) {
  ScreenFixture f;
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(1)->cellTimes[0] = 3000;
  f.WriteTable(t);
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.ChooseKind(kKindGrade));
  auto done = s.Initialise();
  ASSERT_TRUE(done);
  EXPECT_TRUE(done->empty());
  EXPECT_TRUE(f.fake.dialogs.asked.empty());
  EXPECT_EQ(f.Read().record(1).cellTimes[0], 3000);
  EXPECT_TRUE(f.Backups().empty());
}

// ---------------------------------------------------------------- previous meet

std::string BikoHeader(int count) { return Le16(count) + std::string(46, '\0'); }

// A new-record entry: women's 50m自由形 at 日本 level (class 11) unless given.
std::string BikoEntryBytes(int recordClass, int32_t time, const std::string& sex = "2", int eventCode = 2,
                           int classFrom = 12) {
  std::string s = Le16(5) + Le16(1) + sex + Le16(classFrom) + Le16(classFrom) + Le16(eventCode) + "0" + "2" +
                  Le32(time) + Le16(recordClass) + Le16(1) + Le16(9) + Le16(1) + Le16(1) + Le16(501) + Le16(0) +
                  Le16(0) + Le16(0) + "13001" + "1" + std::string(7, ' ');
  EXPECT_EQ(s.size(), 48u);
  return s;
}

TEST(FrmShikakuScreen, TakingAPreviousMeetShowsWhatItHas) {
  ScreenFixture f;
  test::TempDir previous;
  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());

  s.ChoosePreviousFolder(previous.str());
  ASSERT_TRUE(s.TakePreviousMeet());
  EXPECT_EQ(s.targetLabels(), (std::array<std::string, 2>{"無", "無"}));
  EXPECT_EQ(s.targetEnabled(), (std::array<bool, 2>{false, false}));

  test::WriteFile(previous / "Shikaku.dat", ShikakuTableBytes(ShikakuTable::Fresh()));
  test::WriteFile(previous / "biko.dat", BikoHeader(0));
  ASSERT_TRUE(s.TakePreviousMeet());
  EXPECT_EQ(s.targetLabels(), (std::array<std::string, 2>{"有", "有"}));
  EXPECT_EQ(s.targetEnabled(), (std::array<bool, 2>{true, false}));  // a list with no entries
  EXPECT_EQ(s.copyMode(), CopyMode::Original);
  // This meet has no table yet: every part is offered.
  for (bool ticked : s.parts()) EXPECT_TRUE(ticked);

  test::WriteFile(previous / "biko.dat", BikoHeader(1) + BikoEntryBytes(11, 2507));
  test::WriteFile(previous / "Shikaku.dat", "x");
  f.WriteTable(ShikakuTable::Fresh());
  ASSERT_TRUE(s.TakePreviousMeet());
  EXPECT_EQ(s.targetLabels(), (std::array<std::string, 2>{"無", "有"}));
  EXPECT_EQ(s.targetEnabled(), (std::array<bool, 2>{false, true}));
  EXPECT_EQ(s.copyMode(), CopyMode::Results);
  for (bool ticked : s.parts()) EXPECT_FALSE(ticked);  // this meet has its table

  s.ChoosePreviousFolder((previous.path() / "nowhere").string());
  EXPECT_FALSE(s.TakePreviousMeet());
  EXPECT_EQ(s.previousFolder(), previous.str());
}

TEST(FrmShikakuScreen, CopyOriginalTakesTheTickedPartsAndKeepsABackup) {
  ScreenFixture f;
  test::TempDir previous;
  ShikakuTable old = ShikakuTable::Fresh();
  old.Change(151)->cellTimes[30] = 2600;
  old.Change(171)->cellTimes[0] = 1500;
  test::WriteFile(previous / "shikaku.dat", ShikakuTableBytes(old));
  ShikakuTable mine = ShikakuTable::Fresh();
  mine.Change(171)->cellTimes[0] = 1400;
  f.WriteTable(mine);
  std::string before = test::ReadFile(f.table());

  FrmShikakuScreen s = f.Screen();
  ASSERT_TRUE(s.Open());
  s.ChoosePreviousFolder(previous.str());
  ASSERT_TRUE(s.TakePreviousMeet());
  EXPECT_FALSE(s.Copy());  // nothing ticked
  s.SetPart(CopyPartOfCaption("日本"), true);
  auto copied = s.Copy();
  ASSERT_TRUE(copied) << copied.error().message;
  EXPECT_EQ(copied->recordsCopied, 5);
  ShikakuTable after = f.Read();
  EXPECT_EQ(after.record(151).cellTimes[30], 2600);
  EXPECT_EQ(after.record(171).cellTimes[0], 1400);  // 大会 not ticked
  auto backups = f.Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(test::ReadFile(backups[0]), before);
}

TEST(FrmShikakuScreen, CopyResultsAppliesTheNewRecordsOfThePreviousMeet) {
  ScreenFixture f;
  test::TempDir previous;
  test::WriteFile(previous / "biko.dat", BikoHeader(3) + BikoEntryBytes(11, 2507) + BikoEntryBytes(32, 2000) +
                                             BikoEntryBytes(31, 5800, "1", 3, 12));
  FrmShikakuScreen s = f.Screen();  // this meet has no table yet
  ASSERT_TRUE(s.Open());
  s.ChoosePreviousFolder(previous.str());
  ASSERT_TRUE(s.TakePreviousMeet());
  s.SetCopyMode(CopyMode::Original);
  EXPECT_FALSE(s.Copy());  // no previous table
  s.SetCopyMode(CopyMode::Results);
  auto applied = s.Copy();
  ASSERT_TRUE(applied) << applied.error().message;
  EXPECT_EQ(applied->entriesApplied, 2);
  ShikakuTable t = f.Read();
  EXPECT_EQ(t.recordsHeld(), 570);
  EXPECT_EQ(t.record(151).cellTimes[30], 2507);
  EXPECT_EQ(t.record(182).cellTimes[2], 5800);    // meet record of class 12, 男子 100m自由形
  EXPECT_EQ(t.record(282).cellTimes[30], 0);      // a standard reached changes nothing
  EXPECT_TRUE(f.Backups().empty());               // there was no table to keep
  EXPECT_EQ(s.field(0), "");
}

}  // namespace
}  // namespace meet
