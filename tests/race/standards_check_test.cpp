#include "race/standards_check.h"

#include <gtest/gtest.h>

#include <random>

#include "race/kyogi_fixture.h"
#include "race/record_standings.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::HandCell;

// The table written by hand and read back as the system reads it.
ShikakuTable Table(test::TempDir& dir, int records, const std::vector<HandCell>& cells) {
  test::WriteFile(dir / "shikaku.dat", test::ShikakuBytes(records, cells));
  auto table = LoadShikaku(dir.path());
  EXPECT_TRUE(table.has_value());
  return table ? *table : ShikakuTable();
}

Entry Swimmer(const std::string& grade, int age, const std::string& name = "山田太郎",
              const std::string& affiliation = "ＡＢＣ水泳クラブ") {
  Entry e;
  e.entryNo = 4;
  e.swimmerName = name;
  e.affiliation = affiliation;
  e.gradeCode = grade;
  e.age = static_cast<int16_t>(age);
  e.sexCode = "1";
  return e;
}

// Cell of 男子 50m自由形: position (1 − 1) × 29 + 2 = 2.
constexpr int kCell = 1;

TEST(TablePosition, SexAndEventGiveThePositionFromOne) {
  struct Row { int sex, event, position; };
  for (const Row& r : std::vector<Row>{{1, 1, 1}, {1, 29, 29}, {2, 2, 31}, {3, 29, 87},
                                      {0, 2, 0}, {4, 2, 0}, {1, 0, 0}, {2, 0, 0}, {1, 30, 0}, {3, 45, 0}})
    EXPECT_EQ(TablePosition(r.sex, r.event), r.position) << r.sex << "/" << r.event;
}

TEST(AgeBandOffset, FollowsTheLadderBands) {
  struct Row { int age, offset; };
  for (const Row& r : std::vector<Row>{{-3, 0}, {0, 0}, {8, 0}, {9, 14}, {10, 28}, {11, 42}, {12, 56}, {13, 70},
                                      {14, 84}, {15, 98}, {16, 98}, {17, 112}, {18, 112}, {19, 126}, {80, 126}})
    EXPECT_EQ(AgeBandOffset(r.age), r.offset) << r.age;
}

TEST(CategoryNumber, AgeInAgeModeElseTheGradeOrOne) {
  EXPECT_EQ(CategoryNumber(Swimmer("31", 16), "1"), 16);
  EXPECT_EQ(CategoryNumber(Swimmer("31", 16), "2"), 31);
  EXPECT_EQ(CategoryNumber(Swimmer("31", 16), "0"), 31);
  EXPECT_EQ(CategoryNumber(Swimmer("", 16), "2"), 1);
  EXPECT_EQ(CategoryNumber(Swimmer("00", 16), "0"), 1);
  EXPECT_EQ(CategoryNumber(Swimmer("ab", 16), "0"), 1);
}

TEST(CheckLane, ExactlyOnAStandardAchievesItExactlyOnARecordDoesNotBreakIt) {
  test::TempDir dir;
  ShikakuTable table = Table(dir, 570, {
      {286, kCell, 2500},  // 標準1, age 16: equal
      {401, kCell, 2499},  // 標準2, grade 31: faster than the swim
      {501, kCell, 2500},  // 標準4, class 31: equal
      {201, kCell, 2500},  // meet record of class 31: equal, not broken
      {151, kCell, 2500},  // 日本: equal, not broken
  });
  LaneCheck c = CheckLane(table, 1, 2, 2500, Swimmer("31", 16), "0");
  EXPECT_EQ(c.standardFlags, '5');
  EXPECT_EQ(c.recordClass, 0);
  EXPECT_TRUE(c.broken.empty());
  LaneCheck faster = CheckLane(table, 1, 2, 2499, Swimmer("31", 16), "0");
  EXPECT_EQ(faster.standardFlags, '7');
  ASSERT_EQ(faster.broken.size(), 2u);
  EXPECT_EQ(faster.broken[0].recordClass, kMeetRecordClass);
  EXPECT_EQ(faster.broken[1].recordClass, 11);
  EXPECT_EQ(faster.recordClass, 11);
}

TEST(CheckLane, SchoolClassIsTriedBeforeTheGeneralOneAndTheHighestWins) {
  test::TempDir dir;
  ShikakuTable table = Table(dir, 570, {
      {163, kCell, 2600},  // class 23 県高
      {151, kCell, 2550},  // class 11 日本
      {170, kCell, 3000},  // class 30 地区学童: not the swimmer's school
      {168, kCell, 2500},  // class 28 地区高: equal, not broken
      {141, kCell, 2400},  // class 1 世界: slower swim
  });
  LaneCheck c = CheckLane(table, 1, 2, 2500, Swimmer("31", 16), "0");
  ASSERT_EQ(c.broken.size(), 2u);
  EXPECT_EQ(c.broken[0].recordClass, 23);
  EXPECT_EQ(c.broken[0].recordNo, 163);
  EXPECT_EQ(c.broken[0].recordTime, 2600);
  EXPECT_EQ(c.broken[1].recordClass, 11);
  EXPECT_EQ(c.recordClass, 11);
}

TEST(CheckLane, OrderWithinALevelIsSchoolThenGeneral) {
  test::TempDir dir;
  // 県 (21) and 県学 (25) both broken by a school level "1" swimmer.
  ShikakuTable table = Table(dir, 570, {{161, kCell, 3000}, {165, kCell, 3000}});
  LaneCheck c = CheckLane(table, 1, 2, 2900, Swimmer("15", 11), "0");
  ASSERT_EQ(c.broken.size(), 2u);
  EXPECT_EQ(c.broken[0].recordClass, 25);
  EXPECT_EQ(c.broken[1].recordClass, 21);
  EXPECT_EQ(c.recordClass, 21);
}

TEST(CheckLane, LaddersStopAtTheFirstStepNotReached) {
  test::TempDir dir;
  std::vector<HandCell> cells = {{99, kCell, 2600}, {100, kCell, 2550}, {101, kCell, 2500}, {102, kCell, 2499}};
  for (int r = 127; r <= 140; ++r) cells.push_back({r, kCell, 3000});
  cells.push_back({85, kCell, 9999});  // the age band of 14: not this swimmer's
  ShikakuTable table = Table(dir, 570, cells);
  LaneCheck c = CheckLane(table, 1, 2, 2500, Swimmer("31", 16), "0");
  EXPECT_EQ(c.ageLevel, 3);   // records 99, 100, 101 reached (the last one exactly)
  EXPECT_EQ(c.openLevel, kTopLevel);
  // An empty step is never reached: a swimmer of 8 has no ladder here.
  EXPECT_EQ(CheckLane(table, 1, 2, 2500, Swimmer("13", 8), "0").ageLevel, 0);
}

TEST(CheckLane, TimesThatAreNotSwimTimesAchieveNothing) {
  test::TempDir dir;
  std::vector<HandCell> cells;
  for (int r = 1; r <= 570; ++r) cells.push_back({r, kCell, 999999});  // a table that every code would beat
  ShikakuTable table = Table(dir, 570, cells);
  for (int32_t code : {0, -5, 595900, 666666, 700001, 700007, 888888, 999999}) {
    LaneCheck c = CheckLane(table, 1, 2, code, Swimmer("31", 16), "0");
    EXPECT_EQ(c.openLevel, 0) << code;
    EXPECT_EQ(c.ageLevel, 0) << code;
    EXPECT_EQ(c.standardFlags, ' ') << code;
    EXPECT_EQ(c.recordClass, 0) << code;
    EXPECT_TRUE(c.broken.empty()) << code;
  }
  EXPECT_EQ(CheckLane(table, 1, 2, 595899, Swimmer("31", 16), "0").openLevel, kTopLevel);
}

TEST(CheckLane, SexOrEventOutsideTheTableAchievesNothing) {
  test::TempDir dir;
  std::vector<HandCell> cells;
  for (int r = 1; r <= 570; ++r)
    for (int cell = 0; cell < 88; ++cell) cells.push_back({r, cell, 5000});
  ShikakuTable table = Table(dir, 570, cells);
  struct Row { int sex, event; };
  for (const Row& r : std::vector<Row>{{0, 2}, {4, 2}, {-1, 2}, {2, 0}, {1, -3}, {1, 45}, {3, 100}, {0, 35}}) {
    LaneCheck c = CheckLane(table, r.sex, r.event, 2500, Swimmer("31", 16), "0");
    EXPECT_EQ(c.openLevel, 0) << r.sex << "/" << r.event;
    EXPECT_EQ(c.standardFlags, ' ') << r.sex << "/" << r.event;
    EXPECT_TRUE(c.broken.empty()) << r.sex << "/" << r.event;
  }
}

TEST(CheckLane, MeetOwnEventsHaveOnlyTheirMeetRecord) {
  test::TempDir dir;
  // Event 35, 女子: record 35 + 220, position (2 − 1) × 29 + 1 = 30.
  std::vector<HandCell> cells = {{255, 29, 5000}, {255, 30, 9000}};
  for (int r = 127; r <= 140; ++r) cells.push_back({r, 29, 9000});
  ShikakuTable table = Table(dir, 570, cells);
  LaneCheck c = CheckLane(table, 2, 35, 4999, Swimmer("31", 16), "0");
  ASSERT_EQ(c.broken.size(), 1u);
  EXPECT_EQ(c.broken[0].recordNo, 255);
  EXPECT_EQ(c.recordClass, kMeetRecordClass);
  EXPECT_EQ(c.openLevel, 0);
  EXPECT_EQ(c.ageLevel, 0);
  EXPECT_EQ(c.standardFlags, ' ');
  EXPECT_TRUE(CheckLane(table, 2, 35, 5000, Swimmer("31", 16), "0").broken.empty());
}

TEST(CheckLane, StandardsReadOnlyTheirOwnRecords) {
  test::TempDir dir;
  // Age 0 would point at record 270 (a meet record) and grade 0 at record 370
  // (the 標準1 of age 100); neither is a standard of the swimmer.
  ShikakuTable table = Table(dir, 570, {{270, kCell, 5000}, {370, kCell, 5000}, {471, kCell, 2000}});
  LaneCheck c = CheckLane(table, 1, 2, 2500, Swimmer("00", 0), "0");
  EXPECT_EQ(c.standardFlags, ' ');
  // In age mode the meet class is the age: age 0 reads no meet record either.
  test::TempDir dir2;
  ShikakuTable table2 = Table(dir2, 570, {{170, kCell, 5000}});
  LaneCheck c2 = CheckLane(table2, 1, 2, 2500, Swimmer("00", 0), "1");
  EXPECT_TRUE(c2.broken.empty());
}

TEST(CheckLane, AgeModeUsesTheAgeAsMeetClass) {
  test::TempDir dir;
  ShikakuTable table = Table(dir, 570, {{186, kCell, 2600}, {486, kCell, 2600}});
  LaneCheck age = CheckLane(table, 1, 2, 2500, Swimmer("31", 16), "1");
  EXPECT_EQ(age.standardFlags, '4');
  EXPECT_EQ(age.recordClass, kMeetRecordClass);
  LaneCheck grade = CheckLane(table, 1, 2, 2500, Swimmer("31", 16), "2");
  EXPECT_EQ(grade.standardFlags, ' ');
  EXPECT_EQ(grade.recordClass, 0);
}

TEST(CheckLane, ShortTruncatedAndGarbageTablesNeverCrash) {
  test::TempDir dir;
  // Only 150 records: 日本 (151) and everything after read as empty.
  ShikakuTable shortTable = Table(dir, 150, {{141, kCell, 3000}, {151, kCell, 3000}});
  LaneCheck c = CheckLane(shortTable, 1, 2, 2500, Swimmer("31", 16), "0");
  ASSERT_EQ(c.broken.size(), 1u);
  EXPECT_EQ(c.broken[0].recordClass, 1);

  test::WriteFile(dir / "shikaku.dat", std::string(1, '\x7f'));
  auto tiny = LoadShikaku(dir.path());
  ASSERT_TRUE(tiny.has_value());
  EXPECT_TRUE(CheckLane(*tiny, 1, 2, 2500, Swimmer("31", 16), "0").broken.empty());

  std::string bytes = test::ShikakuBytes(570, {});
  bytes.resize(bytes.size() - 200);  // the last record cut short
  test::WriteFile(dir / "shikaku.dat", bytes);
  ASSERT_TRUE(LoadShikaku(dir.path()).has_value());

  std::mt19937 gen(7);
  std::string garbage(384 * 600 + 17, '\0');
  for (char& ch : garbage) ch = static_cast<char>(gen() & 0xFF);
  test::WriteFile(dir / "shikaku.dat", garbage);
  auto table = LoadShikaku(dir.path());
  ASSERT_TRUE(table.has_value());
  for (int age : {-30000, 0, 9, 18, 30000})
    for (const char* grade : {"", "\xff\xff", "99", "-5"}) {
      LaneCheck g = CheckLane(*table, 1, 2, 2500, Swimmer(grade, age), "0");
      EXPECT_LE(g.openLevel, kTopLevel);
      EXPECT_LE(g.ageLevel, kTopLevel);
    }
}

struct NoticeRace {
  Race race;
  NoticeRace() {
    race.eventNo = 12;
    race.heatNo = 3;
    race.sexCode = "1";
    race.classFrom = 0;
    race.classTo = 100;
    race.eventCode = 2;
    race.roundCode = "2";
  }
};

TEST(RecordNotices, HeadingAndNoticeAtTheirPositions) {
  test::RecordingPrinter printer;
  NoticeRace r;
  NamingContext naming;
  naming.classMode = "0";
  RecordNotices notices(printer, r.race, naming);
  notices.recordNotice(3, Swimmer("31", 16), 2500, BrokenRecord{11, 151, 2550});
  ASSERT_EQ(printer.items.size(), 3u);
  const test::PrintedItem heading = printer.items[0];
  EXPECT_EQ(heading.text, "12 男子 50m自由形 決勝 3組");
  EXPECT_EQ(heading.x, kNoticeHeadingX);
  EXPECT_EQ(heading.y, kNoticeTop);
  EXPECT_EQ(heading.font, "ＭＳ 明朝");
  EXPECT_EQ(heading.size, 13);
  const test::PrintedItem left = printer.items[1];
  EXPECT_EQ(left.text, "4ｺｰｽ 山田太郎 ＡＢＣ水泳ク 16 高1");
  EXPECT_EQ(left.x, kNoticeLeftX);
  EXPECT_GT(left.y, heading.y + printer.LineHeight());  // an empty line between
  EXPECT_EQ(left.size, 13);
  const test::PrintedItem right = printer.items[2];
  EXPECT_EQ(right.text, "   25.00  日本 (25.50)");
  EXPECT_EQ(right.x, kNoticeRightX);
  EXPECT_EQ(right.y, left.y);
  EXPECT_EQ(printer.font().size, 11);
  EXPECT_EQ(notices.printed(), 1);

  // The next notice goes on the next line, without a second heading.
  notices.recordNotice(0, Swimmer("", 20, "長い名前の選手です", "所属"), 2400, BrokenRecord{31, 201, 2450});
  ASSERT_EQ(printer.items.size(), 5u);
  EXPECT_GT(printer.items[3].y, left.y);
  EXPECT_EQ(printer.items[3].text, "1ｺｰｽ 長い名前の選手で 所属 20");
  EXPECT_EQ(printer.items[4].text, "   24.00  大会 (24.50)");
}

TEST(RecordNotices, ALongListGoesOnANewPageWithItsHeading) {
  test::RecordingPrinter printer;
  NoticeRace r;
  NamingContext naming;
  RecordNotices notices(printer, r.race, naming);
  for (int i = 0; i < 80; ++i) notices.recordNotice(0, Swimmer("31", 16), 2500, BrokenRecord{11, 151, 2550});
  int headings = 0;
  for (const auto& item : printer.items) {
    EXPECT_LE(item.y, kNoticeLastLineY + printer.LineHeight()) << item.text;
    if (item.x == kNoticeHeadingX) {
      ++headings;
      EXPECT_EQ(item.y, kNoticeTop);
    }
  }
  EXPECT_GE(printer.pageNo(), 2);
  EXPECT_EQ(headings, printer.pageNo());
}

TEST(CheckStandardsAndRecords, SetsTheSlotAndPrintsANoticePerRecord) {
  test::TempDir dir;
  ShikakuTable table = Table(dir, 570, {{163, kCell, 2600}, {151, kCell, 2550}, {286, kCell, 2500}});
  test::WriteFile(dir / "ind.Mos", test::EntryFileBytes({{"", "佐藤", "", "", "Ｘ", "31", 16}}));
  auto entries = EntryFile::OpenForReading(dir / "ind.Mos");
  ASSERT_TRUE(entries.has_value());
  NoticeRace r;
  r.race.laneNo[2] = 1;
  r.race.laneTime[2] = 2500;
  r.race.laneNo[5] = 77;  // past the entry file: an empty swimmer
  r.race.laneTime[5] = 2500;
  r.race.openLevel[0] = 9;  // an empty lane: cleared
  test::RecordingPrinter printer;
  NamingContext naming;
  RecordNotices notices(printer, r.race, naming);
  const RaceFileImage noRaces = RaceFileImage::FromBytes({});
  const RecordStandings asStored(table, noRaces, {}, "0");
  for (int s = 0; s < 10; ++s) checkStandardsAndRecords(r.race, 1, s, table, *entries, "0", asStored, notices);
  checkStandardsAndRecords(r.race, 1, 10, table, *entries, "0", asStored, notices);  // alternates are not checked
  checkStandardsAndRecords(r.race, 1, -1, table, *entries, "0", asStored, notices);
  EXPECT_EQ(r.race.laneRecordClass[2], 11);
  EXPECT_EQ(r.race.standardFlags[2], '1');
  EXPECT_EQ(r.race.laneRecordClass[5], 11);  // the general record needs no swimmer data
  EXPECT_EQ(r.race.standardFlags[5], ' ');
  EXPECT_EQ(r.race.openLevel[0], 0);
  EXPECT_EQ(r.race.standardFlags[0], ' ');
  EXPECT_EQ(notices.printed(), 3);  // 県高 and 日本 for lane 3, 日本 for lane 6
}

TEST(CheckStandardsAndRecords, AnExhibitionSwimStaysOneWithoutANotice) {
  struct Row {
    const char* name;
    int32_t time;
    int16_t classBefore;
    int16_t classAfter;
    int notices;
    char flags;
  };
  const Row rows[] = {
      {"under two records: OP kept, no notice, the standard still worked out", 2500, 99, 99, 0, '1'},
      {"not swum yet", 0, 99, 99, 0, ' '},
      {"disqualified", 700002, 99, 99, 0, ' '},
      {"a class of an earlier check is worked out again", 2500, 26, 11, 2, '1'},
  };
  test::TempDir dir;
  ShikakuTable table = Table(dir, 570, {{163, kCell, 2600}, {151, kCell, 2550}, {286, kCell, 2500}});
  test::WriteFile(dir / "ind.Mos", test::EntryFileBytes({{"", "佐藤", "", "", "Ｘ", "31", 16}}));
  auto entries = EntryFile::OpenForReading(dir / "ind.Mos");
  ASSERT_TRUE(entries.has_value());
  const RaceFileImage noRaces = RaceFileImage::FromBytes({});
  const RecordStandings asStored(table, noRaces, {}, "0");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    NoticeRace r;
    r.race.laneNo[0] = 1;
    r.race.laneTime[0] = row.time;
    r.race.laneRecordClass[0] = row.classBefore;
    test::RecordingPrinter printer;
    const NamingContext naming;  // the notices keep a reference to it
    RecordNotices notices(printer, r.race, naming);
    // Checked twice, as a confirmation with two copies does.
    for (int copy = 0; copy < 2; ++copy) checkStandardsAndRecords(r.race, 1, 0, table, *entries, "0", asStored, notices);
    EXPECT_EQ(r.race.laneRecordClass[0], row.classAfter);
    EXPECT_EQ(notices.printed(), 2 * row.notices);
    EXPECT_EQ(r.race.standardFlags[0], row.flags);
  }
}

}  // namespace
}  // namespace meet
