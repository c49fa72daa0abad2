#include "program/frm_projun_screen.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "program/program_test_util.h"

namespace meet {
namespace {

using test::EntryRecord;
using test::HeaderAndUnused;
using test::ProgramMeet;
using test::RawEntry;

RawEntry Numbered(int orderNo, int eventCode = 3, std::string sex = "1") {
  RawEntry e;
  e.orderNo = orderNo;
  e.eventCode = eventCode;
  e.sex = std::move(sex);
  e.ageFrom = 1;
  e.ageTo = 100;
  e.heatCount = 1;
  e.firstRace = orderNo;
  return e;
}

std::vector<int> OrderNumbers(const ProgramMeet& meet) {
  auto order = ProgramOrder::FromBytes("x", meet.ProgramBytes());
  std::vector<int> out;
  for (int n = 1; n <= order.count(); ++n) out.push_back(order.Read(n).orderNo);
  return out;
}

TEST(ProjunListing, LineFormatPadsNamesByDisplayWidth) {
  ProgramMeet meet;
  meet.settings.classMode = "1";
  meet.WriteProgram({RawEntry{.orderNo = 5, .heatCount = 3, .sex = "1", .ageFrom = 10, .ageTo = 12, .eventCode = 21,
                              .stage = "1", .perHeat = 130, .total = 300, .start = 93000, .firstRace = 12,
                              .seed = "2", .day = "1", .excluded = 1}});
  auto screen = meet.Open();
  ASSERT_EQ(screen.lines().size(), 1u);
  // "10- 12才" is 8 columns wide and "200m個人メドレー" 16: padded to 14 and 18.
  EXPECT_EQ(screen.lines()[0],
            "  1   5男子10- 12才      200m個人メドレー  予選  3  9:30.00    3.00  1.30   12 1  1  2");
  EXPECT_EQ(LenMbcs(screen.lines()[0]), 3 + 4 + 4 + 14 + 18 + 4 + 3 + 9 + 8 + 6 + 5 + 8);
}

TEST(ProjunListing, HiddenEntriesAndCounts) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(0), Numbered(2)});
  auto screen = meet.Open();
  EXPECT_EQ(screen.lblL1(), "3");
  EXPECT_EQ(screen.lblLrec(), "2");
  EXPECT_EQ(screen.lineMap(), (std::vector<int>{1, 3}));
  // Line numbers count lines, not entries.
  EXPECT_EQ(screen.lines()[1].substr(0, 7), "  2   2");
  ASSERT_TRUE(screen.SetChkJun(true));
  EXPECT_EQ(screen.lblLrec(), "3");
  EXPECT_EQ(screen.lineMap(), (std::vector<int>{1, 2, 3}));
  // orderNo 0 and the empty fields of the "###" formats show as blanks.
  EXPECT_EQ(screen.lines()[1].substr(0, 7), "  2    ");
}

TEST(ProjunListing, ShortFileListsNothing) {
  ProgramMeet meet;
  test::WriteFile(meet.dir / "projun.dat", std::string(10, '\x03'));
  auto screen = meet.Open();
  EXPECT_TRUE(screen.lines().empty());
  EXPECT_EQ(screen.lblL1(), "0");
  EXPECT_EQ(screen.lblLrec(), "0");
}

TEST(ProjunListing, CombosAndSelection) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1, 3), RawEntry{.orderNo = 2, .sex = "2", .eventCode = 23, .stage = "2", .day = "2",
                                              .spare = 77, .excluded = 12}});
  auto screen = meet.Open();
  EXPECT_EQ(screen.cboSeiItems(), (std::vector<std::string>{"男子", "女子", "混合"}));
  EXPECT_EQ(screen.cboMatchItems(), (std::vector<std::string>{"予選", "決勝", "準決勝", "ｺﾝｿﾚｰｼｮﾝ"}));
  ASSERT_EQ(screen.cboShumokuItems().size(), 44u);
  EXPECT_EQ(screen.cboShumokuItems()[22], "100mメドレーリレー");
  // Entry 1 is shown on opening.
  EXPECT_EQ(screen.controls().cboShumoku, 2);
  ASSERT_TRUE(screen.SelectLine(1));
  EXPECT_EQ(screen.lblR1(), "2");
  const ProjunControls& c = screen.controls();
  EXPECT_EQ(c.txtJun, "2");
  EXPECT_EQ(c.cboSei, 1);
  EXPECT_EQ(c.cboShumoku, 22);
  EXPECT_EQ(c.cboMatch, 1);
  EXPECT_EQ(c.txtHn, "2");
  EXPECT_EQ(c.entrySpare, 77);
  EXPECT_EQ(c.txtSakujo, "1");  // txtSakujo keeps only its first character
  EXPECT_FALSE(screen.SelectLine(2));
}

TEST(ProjunCommands, ShinkiAppendsTheControlsAndForcesTheBandOfOwnEvents) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1)});
  auto screen = meet.Open();
  ProjunControls& c = screen.controls();
  c.txtJun = "2";
  c.txtKumi = "4x";  // a leading number; the rest is ignored
  c.cboSei = -1;     // no selection gives the code "0"
  c.txtAge1 = "10";
  c.txtAge2 = "12";
  c.cboShumoku = 30;  // event 31
  c.cboMatch = 1;
  c.txtZikatan = "abc";
  c.txtMa = "2";
  c.txtHn = "1";
  c.txtSakujo = "1";
  ASSERT_TRUE(screen.Shinki());
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "表示データを新規登録します。");
  EXPECT_EQ(screen.lblL1(), "2");
  auto order = ProgramOrder::FromBytes("x", meet.ProgramBytes());
  ProgramEntry e = order.Read(2);
  EXPECT_EQ(e.heatCount, 4);
  EXPECT_EQ(e.sexCode, "0");
  EXPECT_EQ(e.eventCode, 31);
  EXPECT_EQ(e.ageFrom, 0);
  EXPECT_EQ(e.ageTo, 100);
  EXPECT_EQ(e.stageCode, "2");
  EXPECT_EQ(e.perHeatTime, 0);
  EXPECT_EQ(e.excludedHeats, 1);
}

TEST(ProjunCommands, CancelAnswersWriteNothing) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2)});
  const std::string before = meet.ProgramBytes();
  auto screen = meet.Open();
  meet.fake.dialogs.fallback = false;
  ASSERT_TRUE(screen.SelectLine(0));
  screen.copy() = CopyControls{"3", "1", "2"};
  std::vector<Status> results = {screen.Shinki(), screen.Syusei(), screen.Sakujo(), screen.Sonyu(), screen.Copy()};
  for (const Status& r : results) {
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().kind, ErrorKind::Cancelled);
  }
  EXPECT_EQ(meet.ProgramBytes(), before);
}

TEST(ProjunCommands, SyuseiNeedsASelectedEntryThatStillExists) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2), Numbered(3)});
  auto screen = meet.Open();
  auto none = screen.Syusei();
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error().kind, ErrorKind::Invalid);
  ASSERT_TRUE(screen.SelectLine(2));
  // Another program shortens the file meanwhile.
  meet.WriteProgram({Numbered(1), Numbered(2)});
  const std::string before = meet.ProgramBytes();
  for (Status r : {screen.Syusei(), screen.Sakujo(), screen.Sonyu()}) {
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().kind, ErrorKind::Refused);
    EXPECT_NE(r.error().message.find("3"), std::string::npos);
  }
  EXPECT_EQ(meet.ProgramBytes(), before);
  EXPECT_TRUE(meet.fake.dialogs.asked.empty());
}

TEST(ProjunCommands, SyuseiOverwritesTheSelectedEntry) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2)});
  auto screen = meet.Open();
  ASSERT_TRUE(screen.SelectLine(1));
  screen.controls().txtYotei = "101500";
  ASSERT_TRUE(screen.Syusei());
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "表示データを修正します。");
  auto order = ProgramOrder::FromBytes("x", meet.ProgramBytes());
  EXPECT_EQ(order.count(), 2);
  EXPECT_EQ(order.Read(2).startTime, 101500);
  EXPECT_EQ(order.Read(1).startTime, 0);
  EXPECT_EQ(screen.selectedLine(), -1);  // the list was rebuilt
}

TEST(ProjunCommands, SakujoEnterCorrectsAndMovesToTheNextLine) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2), Numbered(3)});
  auto screen = meet.Open();
  ASSERT_TRUE(screen.SelectLine(0));
  screen.SetTxtSakujo("27");
  EXPECT_EQ(screen.controls().txtSakujo, "2");
  ASSERT_TRUE(screen.SakujoEnter());
  EXPECT_EQ(screen.selectedLine(), 1);
  EXPECT_EQ(screen.lblR1(), "2");
  EXPECT_EQ(ProgramOrder::FromBytes("x", meet.ProgramBytes()).Read(1).excludedHeats, 2);
  ASSERT_TRUE(screen.SelectLine(2));
  ASSERT_TRUE(screen.SakujoEnter());  // the last line: nowhere to move
  EXPECT_EQ(screen.selectedLine(), -1);
}

TEST(ProjunCommands, SakujoLeavesTheOldLastRecordBeyondN) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2), Numbered(3)});
  auto screen = meet.Open();
  ASSERT_TRUE(screen.SelectLine(0));
  ASSERT_TRUE(screen.Sakujo());
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "表示データを削除します。");
  std::string expected = HeaderAndUnused(2) + EntryRecord(Numbered(2)) + EntryRecord(Numbered(3)) +
                         EntryRecord(Numbered(3));
  EXPECT_EQ(meet.ProgramBytes(), expected);
  // Deleting the last entry only lowers N; raising N again without writing
  // the record lists it again.
  ASSERT_TRUE(screen.SelectLine(1));
  ASSERT_TRUE(screen.Sakujo());
  EXPECT_EQ(screen.lblL1(), "1");
  EXPECT_EQ(meet.ProgramBytes().size(), 13u * 64u);
  screen.copy() = CopyControls{"3", "1", "1"};
  ASSERT_TRUE(screen.Copy());
  EXPECT_EQ(OrderNumbers(meet), (std::vector<int>{2, 3, 2}));
}

TEST(ProjunCommands, SonyuShiftsLaterEntriesAndLeavesBlankEntries) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2), Numbered(3)});
  auto screen = meet.Open();
  ASSERT_TRUE(screen.SelectLine(1));
  screen.txtSohnyu() = "2";
  ASSERT_TRUE(screen.Sonyu());
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "空データを2ケ挿入します。");
  std::string blank = EntryRecord(RawEntry{.orderNo = 1, .sex = "", .eventCode = 0, .stage = "", .seed = "", .day = ""});
  EXPECT_EQ(meet.ProgramBytes(), HeaderAndUnused(5) + EntryRecord(Numbered(1)) + blank + blank +
                                     EntryRecord(Numbered(2)) + EntryRecord(Numbered(3)));
  // Blank entries carry orderNo 1, so they are listed without 全種目表示.
  EXPECT_EQ(screen.lines().size(), 5u);
}

TEST(ProjunCommands, SonyuRefusesCountsThatCannotBeStored) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2)});
  const std::string before = meet.ProgramBytes();
  auto screen = meet.Open();
  ASSERT_TRUE(screen.SelectLine(0));
  for (const char* count : {"0", "-3", "abc", "32766"}) {
    screen.txtSohnyu() = count;
    auto r = screen.Sonyu();
    ASSERT_FALSE(r) << count;
    EXPECT_NE(r.error().kind, ErrorKind::Cancelled);
  }
  EXPECT_EQ(meet.ProgramBytes(), before);
  screen.txtSohnyu() = "32765";
  ASSERT_TRUE(screen.SelectLine(0));
  EXPECT_TRUE(screen.Sonyu());
  EXPECT_EQ(screen.lblL1(), "32767");
  ASSERT_TRUE(screen.SelectLine(0));
  EXPECT_FALSE(screen.Shinki());
}

ProgramEntry EntryOf(const ProgramMeet& meet, int n) {
  return ProgramOrder::FromBytes("x", meet.ProgramBytes()).Read(n);
}

TEST(ProjunCopy, ChangesStrokeAndDistanceThroughTheTwoDigitCode) {
  struct Case {
    int eventCode, optShu, optKyori, copied;
  };
  std::vector<Case> cases = {
      {3, 2, 0, 10},   // 100m自由形 → 背泳ぎ: "12" → "22" → 100m背泳ぎ
      {3, 0, 4, 4},    // 100m自由形 → 200m: "12" → "13"
      {10, 3, 3, 14},  // 100m背泳ぎ → 100m平泳ぎ
      {4, 5, 5, 22},   // 200m自由形 → 400m個人メドレー
      {23, 7, 5, 28},  // 100mメドレーリレー → 400mリレー: "62" → "74"
      {3, 0, 0, 3},    // nothing chosen keeps the event
      {31, 2, 3, 31},  // the meet's own events have no two-digit code: kept
  };
  for (const Case& c : cases) {
    ProgramMeet meet;
    meet.WriteProgram({Numbered(1, c.eventCode), Numbered(2)});
    auto screen = meet.Open();
    screen.copy() = CopyControls{"2", "1", "1", 2, 2, c.optShu, c.optKyori};
    ASSERT_TRUE(screen.Copy()) << c.eventCode;
    ProgramEntry e = EntryOf(meet, 2);
    EXPECT_EQ(e.eventCode, c.copied) << c.eventCode << " " << c.optShu << c.optKyori;
    EXPECT_EQ(e.sexCode, "2");
    EXPECT_EQ(e.stageCode, "2");
    EXPECT_EQ(e.orderNo, 1);  // the rest is copied as it is
    EXPECT_EQ(e.firstRace, 1);
  }
}

TEST(ProjunCopy, BeyondNRaisesTheCount) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2)});
  auto screen = meet.Open();
  screen.copy() = CopyControls{"4", "1", "2"};
  ASSERT_TRUE(screen.Copy());
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "4へ1から2までを選択条件で複写します｡ ");
  EXPECT_EQ(screen.lblL1(), "5");
  // Entry 3 was never written: it reads as zeros and is hidden.
  EXPECT_EQ(OrderNumbers(meet), (std::vector<int>{1, 2, 0, 1, 2}));
  EXPECT_EQ(screen.lines().size(), 4u);
}

TEST(ProjunCopy, OverlappingRangesCopyTheEntriesAsTheyWere) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2), Numbered(3)});
  auto screen = meet.Open();
  screen.copy() = CopyControls{"2", "1", "3"};
  ASSERT_TRUE(screen.Copy());
  EXPECT_EQ(OrderNumbers(meet), (std::vector<int>{1, 1, 2, 3}));
}

TEST(ProjunCopy, BadRangesAreRefusedAndNothingIsWritten) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1, 11), Numbered(2), Numbered(3)});
  const std::string before = meet.ProgramBytes();
  auto screen = meet.Open();
  std::vector<CopyControls> bad = {
      {"4", "3", "1"},               // backwards
      {"4", "0", "2"},               // source before entry 1
      {"4", "2", "5"},               // source past N
      {"0", "1", "2"},               // no destination
      {"32767", "1", "2"},           // past the largest count
      {"5", "1", "1", 0, 0, 2, 5},   // 200m背泳ぎ at 400m: no such event
      {"5", "1", "1", 0, 0, 0, 7},   // 200m背泳ぎ at 1500m
  };
  for (const CopyControls& c : bad) {
    screen.copy() = c;
    auto r = screen.Copy();
    ASSERT_FALSE(r) << c.txtC1 << c.txtC2 << c.txtC3;
    EXPECT_NE(r.error().kind, ErrorKind::Cancelled);
    EXPECT_FALSE(r.error().message.empty());
  }
  EXPECT_EQ(meet.ProgramBytes(), before);
  EXPECT_TRUE(meet.fake.dialogs.asked.empty());
}

TEST(ProjunCommands, ShokiNeedsASelectedLine) {
  ProgramMeet meet;
  meet.WriteProgram({Numbered(1), Numbered(2)});
  auto screen = meet.Open();
  EXPECT_FALSE(screen.ShokiStart());
  EXPECT_EQ(meet.fake.dialogs.notices, (std::vector<std::string>{"開始場所を指定してください。"}));
  ASSERT_TRUE(screen.SelectLine(1));
  EXPECT_EQ(screen.ShokiStart(), 2);
}

Entry Swimmer(const std::string& sex, std::initializer_list<int> events) {
  Entry e;
  e.sexCode = sex;
  for (int ev : events) e.entryTimes[static_cast<size_t>(ev - 1)] = 3000;
  return e;
}

TEST(ProjunJidou, AppendsOneEntryPerSexAndEventInEventOrder) {
  ProgramMeet meet;
  test::WriteEntryFile(meet.dir / "ind.Mos",
                       {Swimmer("2", {3, 1}), Swimmer("1", {3}), Swimmer("1", {26}), Swimmer("9", {5}),
                        Swimmer("2", {31})});
  meet.WriteProgram({Numbered(1), Numbered(4)});
  auto screen = meet.Open();
  auto added = screen.Jidou(false);
  ASSERT_TRUE(added) << added.error().message;
  EXPECT_EQ(*added, 10);
  EXPECT_EQ(meet.fake.dialogs.asked.back(), kAskJidouAll);
  auto order = ProgramOrder::FromBytes("x", meet.ProgramBytes());
  ASSERT_EQ(order.count(), 12);
  EXPECT_EQ(order.Read(1).orderNo, 1);  // existing entries are untouched
  struct Want {
    int event;
    const char* sex;
    const char* stage;
  };
  std::vector<Want> want = {{1, "2", "1"}, {1, "2", "2"}, {3, "1", "1"},  {3, "1", "2"},  {3, "2", "1"},
                            {3, "2", "2"}, {26, "1", "1"}, {26, "1", "2"}, {31, "2", "1"}, {31, "2", "2"}};
  for (size_t i = 0; i < want.size(); ++i) {
    ProgramEntry e = order.Read(static_cast<int>(i) + 3);
    EXPECT_EQ(e.eventCode, want[i].event) << i;
    EXPECT_EQ(e.sexCode, want[i].sex) << i;
    EXPECT_EQ(e.stageCode, want[i].stage) << i;
    EXPECT_EQ(e.orderNo, static_cast<int>(i) + 5) << i;
    EXPECT_EQ(e.ageFrom, e.eventCode > 29 ? 0 : 1);
    EXPECT_EQ(e.ageTo, 100);
    // Every stage starts as 初期化 leaves it; seeding marks a final "2".
    EXPECT_EQ(e.seedFlag, "1") << i;
  }
}

TEST(ProjunJidou, BandsCoverEveryAgeEntered) {
  using Bands = std::vector<std::pair<int16_t, int16_t>>;
  struct Row {
    int event;
    std::set<int> ages;
    const char* classMode;
    Bands want;
  };
  const Row rows[] = {
      {3, {9, 45, 100}, "1", {{1, 100}}},
      {31, {20}, "1", {{0, 100}}},
      {3, {20, 113}, "1", {{1, 113}}},                                     // an odd age: one wider band
      {31, {113, 235}, "1", {{0, 235}}},                                    // the meet's own relay: one band
      {26, {14, 113, 119, 120, 165, 235}, "1", {{1, 119}, {120, 159}, {160, 199}, {200, 239}}},
      {26, {150}, "1", {{120, 159}}},
      {26, {150, 300}, "2", {{1, 100}}},                                    // grades: the bands as they were
      {26, {150}, "0", {{1, 100}}},
  };
  for (const Row& r : rows) EXPECT_EQ(GeneratedBands(r.event, r.ages, r.classMode), r.want) << r.event;
}

TEST(ProjunJidou, FinalsOnlyAndRefusals) {
  ProgramMeet meet;
  auto screen = meet.Open();
  auto missing = screen.Jidou(true);
  ASSERT_FALSE(missing);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "projun.dat"));
  test::WriteEntryFile(meet.dir / "ind.Mos", {Swimmer("1", {}), Swimmer("2", {})});
  EXPECT_FALSE(screen.Jidou(true));
  test::WriteEntryFile(meet.dir / "ind.Mos", {Swimmer("1", {4, 2})});
  meet.fake.dialogs.fallback = false;
  EXPECT_FALSE(screen.Jidou(true));
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "projun.dat"));
  meet.fake.dialogs.fallback = true;
  ASSERT_EQ(screen.Jidou(true), 2);
  EXPECT_EQ(meet.fake.dialogs.asked.back(), kAskJidouFinals);
  EXPECT_EQ(EntryOf(meet, 1).eventCode, 2);
  EXPECT_EQ(EntryOf(meet, 1).stageCode, "2");
  EXPECT_EQ(EntryOf(meet, 2).eventCode, 4);
}

}  // namespace
}  // namespace meet
