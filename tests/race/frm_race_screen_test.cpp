#include "race/frm_race_screen.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/time_code.h"
#include "race/kyogi_fixture.h"
#include "race/standards_check.h"
#include "support/test_support.h"

namespace meet {
namespace {

using test::HandRace;
using test::KyogiMeet;

// Offsets of the race record checked below.
constexpr size_t kTimeAt = 46, kRankAt = 142, kOpenAt = 166, kClassAt = 214, kFlagsAt = 238, kSpareAt = 250;

std::string Le32(int v) { return test::Le32(v); }
std::string Le16(int v) { return test::Le16(v); }

// A meet of two races: race 1 a 50m自由形 final with swimmers in lanes 1–5
// (entries 1–5), race 2 a 4 × 100m relay (event 26) with relay block 1.
struct ConfirmMeet : KyogiMeet {
  ConfirmMeet(int eventCode = 2) {
    HandRace individual;
    individual.eventNo = 7;
    individual.round = "2";
    individual.eventCode = eventCode;
    for (int k = 0; k < 5; ++k) individual.laneNo[static_cast<size_t>(k)] = k + 1;
    individual.openLevel[8] = 3;  // an empty lane's leftovers
    HandRace relay;
    relay.eventNo = 8;
    relay.eventCode = 26;
    relay.relayRec = 1;
    relay.laneNo[1] = 6;
    relay.laneNo[2] = 7;
    relay.laneTime[1] = 25000;
    relay.rank[1] = 1;
    std::string bytes = test::RaceFileBytes({individual, relay});
    // The meet day digit and the spare bytes of race 1, kept by the save.
    test::Put(bytes, 10 * 256 + kSpareAt, "3abcde");
    test::WriteFile(dir / "taikai.dat", bytes);
    std::vector<test::HandEntry> entries;
    for (int n = 1; n <= 7; ++n) entries.push_back({"", "選手" + std::to_string(n), "", "", "クラブ", "31", 16});
    Entries(entries);
    test::HandBlock block;
    block.raceNo = 2;
    Relays({block});
    States("16");
  }
  FrmRaceScreen Screen(int race = 1) {
    FrmRaceScreen s(dir.path(), settings, race, fake.platform);
    EXPECT_TRUE(s.Load().has_value());
    return s;
  }
  // Types one finishing row: the lane, Enter, the time, Enter.
  static void Row(FrmRaceScreen& s, int row, const std::string& lane, const std::string& time) {
    s.txtJun[static_cast<size_t>(row)] = lane;
    s.JunEnter(row);
    s.txtKiro[static_cast<size_t>(row)] = time;
    s.KiroEnter(row);
  }
  int32_t Time(int race, int slot) const {
    std::string b = RaceField(race, kTimeAt + 4 * static_cast<size_t>(slot), 4);
    return static_cast<int32_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8 |
                                static_cast<uint8_t>(b[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[3])) << 24);
  }
  int Rank(int race, int slot) const {
    std::string b = RaceField(race, kRankAt + 2 * static_cast<size_t>(slot), 2);
    return static_cast<int16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
  }
};

TEST(FrmRaceScreen, ShowsTheRaceAndTheRowsToFill) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  EXPECT_EQ(s.lblRace, "1");
  EXPECT_EQ(s.lblPno, "7");
  EXPECT_EQ(s.lblKumi, "1");
  EXPECT_EQ(s.lblSei, "男子");
  EXPECT_EQ(s.lblShu, "50m自由形");
  EXPECT_EQ(s.lblYoketu, "決勝");
  EXPECT_EQ(s.lblNin, "5");
  EXPECT_EQ(s.lblShikkaku[0], "ｽﾀｰﾄ");
  EXPECT_EQ(s.lblShikkaku[7], "棄権");
  for (int row = 0; row < kFinishRows; ++row) {
    EXPECT_EQ(s.rowBackground(row), row < 5 ? kRowToFill : kButtonFace) << row;
    EXPECT_EQ(s.rows()[static_cast<size_t>(row)].lane, 0);
    EXPECT_EQ(s.rows()[static_cast<size_t>(row)].time, kNotEntered);
  }
  EXPECT_EQ(kRowToFill, (Rgb{255, 192, 192}));
  EXPECT_FALSE(s.chkRel);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 0}));
}

TEST(FrmRaceScreen, SplitModeIsTickedForTheLongFreestyleAndAboveEvent22) {
  struct Row { int eventCode; bool ticked; };
  for (const Row& r : std::vector<Row>{{7, true}, {23, true}, {29, true}, {35, true}, {6, false}, {22, false}, {2, false}}) {
    ConfirmMeet meet(r.eventCode);
    EXPECT_EQ(meet.Screen().chkRel, r.ticked) << r.eventCode;
  }
}

TEST(FrmRaceScreenKeys, JunTakesOnlyLanesWithASwimmer) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  s.txtJun[0] = "3";
  s.JunEnter(0);
  EXPECT_EQ(s.rows()[0].lane, 3);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtKiro, 0}));
  for (const char* refused : {"7", "11", "0", "-2", "abc"}) {
    s.txtJun[0] = refused;
    s.JunEnter(0);
    EXPECT_EQ(s.txtJun[0], "") << refused;
    EXPECT_EQ(s.rows()[0].lane, 0) << refused;
    EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 0})) << refused;
  }
  s.txtJun[1] = "05x";
  s.JunEnter(1);
  EXPECT_EQ(s.txtJun[1], "5");
  EXPECT_EQ(s.rows()[1].lane, 5);
}

TEST(FrmRaceScreenKeys, KiroConvertsTheDialogsShortcuts) {
  struct Row { const char* typed; int32_t code; const char* shown; };
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  for (const Row& r : std::vector<Row>{{"1", 700001, "ｽﾀｰﾄ"}, {"7", 700007, "途中"}, {"8", 888888, "棄権"},
                                      {"9", 999999, ""}, {"0", 0, ""}, {"2534", 2534, "   25.34"},
                                      {"12345", 12345, " 1:23.45"}, {"666666", 666666, "参加"}}) {
    s.txtKiro[2] = r.typed;
    s.KiroEnter(2);
    EXPECT_EQ(s.rows()[2].time, r.code) << r.typed;
    EXPECT_EQ(s.txtKiro[2], r.shown) << r.typed;
    EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 3})) << r.typed;
  }
  // Only the digits before the caret count.
  s.txtKiro[2] = "2534";
  s.KiroEnter(2, 2);
  EXPECT_EQ(s.rows()[2].time, 25);
}

TEST(FrmRaceScreenKeys, KiroRefusesLongNegativeAndSixtySecondTexts) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  // The refusal says why only where the operator cannot see it from the box.
  const struct { const char* typed; const char* why; } rows[] = {
      {"1234567", ""}, {"1:05.23", ""}, {"-2500", ""}, {"6010", "6010"}, {"16523", "16523"}, {"9960x", "9960"},
  };
  for (const auto& row : rows) {
    s.txtKiro[0] = "2500";
    s.KiroEnter(0);
    s.txtKiro[0] = row.typed;
    EXPECT_FALSE(s.KiroEnter(0)) << row.typed;
    EXPECT_EQ(s.txtKiro[0], "") << row.typed;
    EXPECT_EQ(s.rows()[0].time, kNotEntered) << row.typed;
    EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtKiro, 0})) << row.typed;
    EXPECT_EQ(s.kiroRefusal(), *row.why ? std::string(kSecondsPastFiftyNine) + row.why : "") << row.typed;
  }
  s.txtKiro[0] = "5999";
  EXPECT_TRUE(s.KiroEnter(0));
  EXPECT_EQ(s.kiroRefusal(), "");
}

TEST(FrmRaceScreenKeys, EnterAgainOnAShownTimeKeepsIt) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  for (const char* typed : {"8", "3", "12345"}) {
    s.txtKiro[4] = typed;
    s.KiroEnter(4);
    int32_t code = s.rows()[4].time;
    s.KiroEnter(4);  // the box now shows "棄権", "折返", " 1:23.45"
    EXPECT_EQ(s.rows()[4].time, code) << typed;
  }
}

TEST(FrmRaceScreenKeys, AnEmptiedBoxIsNotEnteredButAnEmptyLookingTimeStays) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  s.txtKiro[0] = "0";
  s.KiroEnter(0);
  ASSERT_EQ(s.txtKiro[0], "");
  s.KiroEnter(0);  // Enter again on the empty-looking 0
  EXPECT_EQ(s.rows()[0].time, 0);
  s.txtKiro[1] = "2500";
  s.KiroEnter(1);
  s.txtKiro[1] = "";  // the operator empties the box
  s.KiroEnter(1);
  EXPECT_EQ(s.rows()[1].time, kNotEntered);
}

TEST(FrmRaceScreenKakutei, BoxesTypedWithoutEnterCountAsShown) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  ConfirmMeet::Row(s, 0, "2", "2500");
  s.txtJun[1] = "4";     // typed, then the mouse went to 確定
  s.txtKiro[1] = "2600";
  ASSERT_EQ(*s.Kakutei(), Confirmation::Confirmed);
  EXPECT_EQ(meet.Time(1, 3), 2600);
  EXPECT_EQ(meet.Rank(1, 3), 2);
  EXPECT_EQ(meet.Rank(1, 1), 1);
}

TEST(FrmRaceScreenKakutei, ABoxEnterWouldRefuseStopsTheConfirmation) {
  ConfirmMeet meet;
  std::string races = meet.RaceBytes(), states = meet.StateBytes();
  for (auto [lane, time] : std::vector<std::pair<const char*, const char*>>{{"8", "2600"}, {"3", "1:02.00"}}) {
    FrmRaceScreen s = meet.Screen();
    ConfirmMeet::Row(s, 0, "2", "2500");
    s.txtJun[1] = lane;
    s.txtKiro[1] = time;
    auto refused = s.Kakutei();
    ASSERT_FALSE(refused.has_value()) << lane << " " << time;
    EXPECT_EQ(refused.error().kind, ErrorKind::Refused);
    EXPECT_EQ(s.focus().row, 1);
    EXPECT_FALSE(s.closed());
    EXPECT_EQ(meet.RaceBytes(), races);
    EXPECT_EQ(meet.StateBytes(), states);
  }
}

TEST(FrmRaceScreenKeys, FocusMovesAsTheKeysSay) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  s.JunRight(4);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtKiro, 4}));
  s.KiroLeft(4);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 4}));
  s.RowUp(RaceControl::TxtKiro, 0);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtKiro, 0}));
  s.RowDown(RaceControl::TxtJun, 9);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 9}));
  s.RowDown(RaceControl::TxtJun, 3);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 4}));
  s.txtKiro[9] = "3000";
  s.KiroEnter(9);
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtKiro, 9}));  // no row after the last
  s.JunKeypadPoint();
  EXPECT_EQ(s.focus().control, RaceControl::CmdKakutei);
}

TEST(PlaceFinishRows, KeysPlacesAndStatuses) {
  std::array<int16_t, 12> laneNo{1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0, 0};
  std::array<FinishRow, kFinishRows> rows{};
  rows[0] = {3, 2500};
  rows[1] = {1, 2500};
  rows[2] = {5, 2600};
  rows[3] = {2, 666666};   // participation: no placing
  rows[4] = {4, 700002};   // disqualified
  rows[5] = {9, 2700};     // a lane without a swimmer
  rows[6] = {6, 999999};   // typed 9: not entered
  LanePlacing p = PlaceFinishRows(rows, laneNo, {});
  EXPECT_TRUE(p.orderWrong);  // 2700 after a disqualification's 700002
  EXPECT_EQ(p.rank[2], 1);
  EXPECT_EQ(p.rank[0], 1);
  EXPECT_EQ(p.rank[4], 3);
  EXPECT_EQ(p.time[1], 666666);
  EXPECT_EQ(p.rank[1], 0);
  EXPECT_EQ(p.time[3], 700002);
  EXPECT_EQ(p.rank[3], 0);
  EXPECT_EQ(p.time[5], 888888);
  EXPECT_EQ(p.time[6], 888888);  // not entered at all
  EXPECT_EQ(p.rank[6], 0);
  EXPECT_EQ(p.time[8], 0);
  EXPECT_EQ(p.rank[8], 0);
}

TEST(PlaceFinishRows, ZeroTimesTakeNoPlaceAndTheOrderIsChecked) {
  std::array<int16_t, 12> laneNo{1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::array<FinishRow, kFinishRows> rows{};
  rows[0] = {2, 0};
  rows[1] = {3, 3100};
  rows[2] = {1, 3000};
  LanePlacing p = PlaceFinishRows(rows, laneNo, {});
  EXPECT_TRUE(p.orderWrong);
  EXPECT_EQ(p.rank[1], 0);
  EXPECT_EQ(p.time[1], 0);
  EXPECT_EQ(p.rank[0], 1);  // the fastest timed lane is first
  EXPECT_EQ(p.rank[2], 2);
}

TEST(FrmRaceScreenKakutei, NoRowsWithdrawsEverySwimmerAfterAskingAndSetsState7) {
  ConfirmMeet meet;
  meet.States("61");  // the timing system's "6" of race 1 is overwritten; race 2 keeps its "1"
  std::string before = meet.RaceBytes();
  const std::string statesBefore = meet.StateBytes();
  FrmRaceScreen s = meet.Screen();
  // Storing everyone as 棄権 is asked first; Cancel stores nothing.
  ASSERT_EQ(*s.Kakutei(), Confirmation::CancelledAllWithdrawn);
  EXPECT_EQ(meet.fake.dialogs.asked, (std::vector<std::string>{kAskAllWithdrawn}));
  EXPECT_EQ(meet.RaceBytes(), before);
  EXPECT_EQ(meet.StateBytes(), statesBefore);
  EXPECT_FALSE(s.closed());
  meet.fake.dialogs.answers = {true};
  auto done = s.Kakutei();
  ASSERT_TRUE(done.has_value()) << done.error().message;
  EXPECT_EQ(*done, Confirmation::Confirmed);
  EXPECT_TRUE(s.closed());
  for (int slot = 0; slot < 10; ++slot) {
    EXPECT_EQ(meet.Time(1, slot), slot < 5 ? 888888 : 0) << slot;
    EXPECT_EQ(meet.Rank(1, slot), 0) << slot;
  }
  EXPECT_EQ(meet.RaceField(1, kOpenAt + 16, 2), Le16(0));  // an empty lane keeps no level
  EXPECT_EQ(meet.StateBytes().substr(0, 3), "710");
  EXPECT_EQ(meet.StateBytes().size(), 1024u);
  // The header, race 2, and the spare bytes of race 1 are as they were.
  std::string after = meet.RaceBytes();
  EXPECT_EQ(after.substr(0, 2560), before.substr(0, 2560));
  EXPECT_EQ(after.substr(11 * 256), before.substr(11 * 256));
  EXPECT_EQ(meet.RaceField(1, kSpareAt, 6), "3abcde");
  EXPECT_EQ(meet.fake.printer.items.size(), 0u);
  EXPECT_EQ(meet.fake.printer.documentsEnded, 0);
}

TEST(FrmRaceScreenKakutei, ALaneTypedTwiceTakesTheLaterRow) {
  ConfirmMeet meet;
  FrmRaceScreen s = meet.Screen();
  ConfirmMeet::Row(s, 0, "2", "2500");
  ConfirmMeet::Row(s, 1, "1", "2600");
  ConfirmMeet::Row(s, 2, "2", "2700");
  ASSERT_EQ(*s.Kakutei(), Confirmation::Confirmed);
  EXPECT_EQ(meet.Time(1, 1), 2700);
  EXPECT_EQ(meet.Rank(1, 1), 2);
  EXPECT_EQ(meet.Time(1, 0), 2600);
  EXPECT_EQ(meet.Rank(1, 0), 1);
}

TEST(FrmRaceScreenKakutei, CancellingTheOrderWarningStoresNothing) {
  ConfirmMeet meet;
  std::string races = meet.RaceBytes(), states = meet.StateBytes();
  FrmRaceScreen s = meet.Screen();
  ConfirmMeet::Row(s, 0, "1", "2600");
  ConfirmMeet::Row(s, 1, "2", "2500");
  meet.fake.dialogs.answers = {false};
  ASSERT_EQ(*s.Kakutei(), Confirmation::Cancelled);
  ASSERT_EQ(meet.fake.dialogs.asked.size(), 1u);
  EXPECT_EQ(meet.fake.dialogs.asked[0], "記録の並びが不正です。\n    続行しますか。");
  EXPECT_FALSE(s.closed());
  EXPECT_EQ(meet.RaceBytes(), races);
  EXPECT_EQ(meet.StateBytes(), states);
  meet.fake.dialogs.answers = {true};
  ASSERT_EQ(*s.Kakutei(), Confirmation::Confirmed);
  EXPECT_EQ(meet.Rank(1, 1), 1);
  EXPECT_EQ(meet.Rank(1, 0), 2);
}

TEST(FrmRaceScreenKakutei, SplitModeOnARelayStoresOnlyTheSplits) {
  ConfirmMeet meet;
  std::string races = meet.RaceBytes(), states = meet.StateBytes();
  FrmRaceScreen s = meet.Screen(2);
  ASSERT_TRUE(s.chkRel);
  ConfirmMeet::Row(s, 0, "3", "5512");
  ConfirmMeet::Row(s, 1, "2", "5630");
  ASSERT_EQ(*s.Kakutei(), Confirmation::Splits);
  EXPECT_FALSE(s.closed());
  EXPECT_FALSE(s.chkRel);
  EXPECT_EQ(s.rows()[0].lane, 0);
  EXPECT_EQ(s.txtJun[0], "");
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 0}));
  EXPECT_EQ(meet.RaceBytes(), races);
  EXPECT_EQ(meet.StateBytes(), states);
  std::string relay = meet.RelayBytes();
  ASSERT_EQ(relay.size(), 11u * 256);
  const size_t splits = 10 * 256 + 100;
  EXPECT_EQ(relay.substr(splits, 4), Le32(0));
  EXPECT_EQ(relay.substr(splits + 4, 4), Le32(5630));
  EXPECT_EQ(relay.substr(splits + 8, 4), Le32(5512));
  EXPECT_EQ(relay.substr(splits + 12, 4), Le32(0));
  EXPECT_EQ(relay.substr(10 * 256 + 98, 2), Le16(2));  // still race 2's block
  // Then the final order, with the split mode off.
  ConfirmMeet::Row(s, 0, "3", "40012");
  ConfirmMeet::Row(s, 1, "2", "40100");
  ASSERT_EQ(*s.Kakutei(), Confirmation::Confirmed);
  EXPECT_EQ(meet.Time(2, 2), 40012);
  EXPECT_EQ(meet.StateBytes()[1], '7');
}

TEST(FrmRaceScreenKakutei, SplitModeRefusesABlockThatIsNotTheRaces) {
  ConfirmMeet meet;
  test::HandBlock other;
  other.raceNo = 5;
  meet.Relays({other});
  std::string relay = meet.RelayBytes();
  FrmRaceScreen s = meet.Screen(2);
  auto refused = s.Kakutei();
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().kind, ErrorKind::Refused);
  EXPECT_EQ(meet.RelayBytes(), relay);

  std::filesystem::remove(meet.dir / "relay.dat");  // no block at all
  FrmRaceScreen t = meet.Screen(2);
  auto missing = t.Kakutei();
  ASSERT_FALSE(missing.has_value());
  EXPECT_NE(missing.error().message.find("relay.dat"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "relay.dat"));
}

TEST(FrmRaceScreenKakutei, StandardsAndRecordsWithNoticesRepeatedForTheCopies) {
  ConfirmMeet meet;
  meet.settings.printCopies[9] = 3;  // 決勝, race result sheet
  // 男子 50m自由形 (cell 1): 県高 (class 23) and 日本 (11) records, the 標準1 of age 16.
  test::WriteFile(meet.dir / "shikaku.dat",
                  test::ShikakuBytes(570, {{163, 1, 2600}, {151, 1, 2550}, {286, 1, 2500}}));
  FrmRaceScreen s = meet.Screen();
  ConfirmMeet::Row(s, 0, "4", "2500");
  ConfirmMeet::Row(s, 1, "2", "2540");
  ASSERT_EQ(*s.Kakutei(), Confirmation::Confirmed);
  EXPECT_EQ(meet.RaceField(1, kClassAt + 6, 2), Le16(11));
  EXPECT_EQ(meet.RaceField(1, kFlagsAt + 3, 1), "1");
  EXPECT_EQ(meet.RaceField(1, kClassAt + 2, 2), Le16(11));
  EXPECT_EQ(meet.RaceField(1, kFlagsAt + 1, 1), " ");
  // Four records broken, each notice printed three times, under one heading.
  EXPECT_EQ(s.noticesPrinted(), 12);
  int notices = 0;
  for (const auto& item : meet.fake.printer.items)
    if (item.x == kNoticeRightX) ++notices;
  EXPECT_EQ(notices, 12);
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
}

// Race 2 confirmed after race 1 of the same sex and event: its exhibition
// swimmer keeps "OP" without a place, and the 地区 record (24.70) stands at
// race 1's 24.50: 24.60 breaks nothing, 24.40 breaks it with "(24.50)".
TEST(FrmRaceScreenKakutei, AnExhibitionIsNotPlacedAndARecordIsBrokenOnce) {
  ConfirmMeet meet;
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{166, 1, 2470}}));
  HandRace earlier;
  earlier.laneNo[0] = 6;
  earlier.laneTime[0] = 2450;
  HandRace final;
  final.round = "2";
  for (int k = 0; k < 3; ++k) final.laneNo[static_cast<size_t>(k)] = k + 1;
  final.recordClass[1] = 99;
  meet.Races({earlier, final});
  meet.States("11");
  FrmRaceScreen s = meet.Screen(2);
  ConfirmMeet::Row(s, 0, "2", "2300");
  ConfirmMeet::Row(s, 1, "3", "2440");
  ConfirmMeet::Row(s, 2, "1", "2460");
  ASSERT_EQ(*s.Kakutei(), Confirmation::Confirmed);
  EXPECT_EQ((std::array<int, 3>{meet.Rank(2, 0), meet.Rank(2, 1), meet.Rank(2, 2)}), (std::array<int, 3>{2, 0, 1}));
  EXPECT_EQ(meet.Time(2, 1), 2300);
  EXPECT_EQ(meet.RaceField(2, kClassAt, 6), Le16(0) + Le16(99) + Le16(26));
  ASSERT_EQ(s.noticesPrinted(), 1);
  const auto& items = meet.fake.printer.items;
  EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const auto& i) {
    return i.x == kNoticeRightX && i.text == "   24.40  地区 (24.50)";
  }));
}

TEST(FrmRaceScreenKakutei, CopyCountByStage) {
  Settings st;
  st.printCopies[4] = 2;
  st.printCopies[9] = 0;
  st.printCopies[14] = -4;
  EXPECT_EQ(FrmRaceScreen::CopyCount(st, "1"), 2);
  EXPECT_EQ(FrmRaceScreen::CopyCount(st, "2"), 1);
  EXPECT_EQ(FrmRaceScreen::CopyCount(st, "3"), 1);
  st.printCopies[14] = 5;
  EXPECT_EQ(FrmRaceScreen::CopyCount(st, "4"), 5);
  EXPECT_EQ(FrmRaceScreen::CopyCount(st, ""), 5);
}

TEST(FrmRaceScreenKakutei, ARaceNotInTheFileIsRefused) {
  ConfirmMeet meet;
  std::string races = meet.RaceBytes();
  FrmRaceScreen s(meet.dir.path(), meet.settings, 3, meet.fake.platform);
  ASSERT_TRUE(s.Load().has_value());
  EXPECT_FALSE(s.raceInFile());
  EXPECT_FALSE(s.Kakutei().has_value());
  meet.fake.dialogs.answers = {true};
  std::string states = meet.StateBytes();
  EXPECT_FALSE(s.Shoki().has_value());
  EXPECT_EQ(meet.RaceBytes(), races);
  EXPECT_EQ(meet.StateBytes(), states);
  FrmRaceScreen bad(meet.dir.path(), meet.settings, 0, meet.fake.platform);
  EXPECT_FALSE(bad.Load().has_value());
  EXPECT_FALSE(bad.Kakutei().has_value());
}

TEST(FrmRaceScreenKakutei, GarbageFilesNeverCrash) {
  ConfirmMeet meet;
  test::WriteFile(meet.dir / "shikaku.dat", std::string(1000, '\xff'));
  test::WriteFile(meet.dir / "ind.Mos", std::string(500, '\x81'));
  test::WriteFile(meet.dir / "Race.dat", "7");
  FrmRaceScreen s = meet.Screen();
  ConfirmMeet::Row(s, 0, "1", "2500");
  auto done = s.Kakutei();
  ASSERT_TRUE(done.has_value()) << done.error().message;
  EXPECT_EQ(meet.StateBytes(), std::string("7"));  // race 1 is the one byte there
  // A truncated race file: race 1 cut short reads its missing bytes as zeros.
  std::string bytes = meet.RaceBytes();
  test::WriteFile(meet.dir / "taikai.dat", bytes.substr(0, 10 * 256 + 30));
  FrmRaceScreen t = meet.Screen();
  EXPECT_TRUE(t.raceInFile());
  EXPECT_EQ(t.lblNin, "4");  // lane 5's number was cut off
  meet.fake.dialogs.fallback = true;  // everyone 棄権: yes
  ASSERT_TRUE(t.Kakutei().has_value());
  EXPECT_EQ(meet.RaceBytes().size(), 11u * 256);
}

TEST(FrmRaceScreenShoki, ResetsTheStateAndLeavesTheRaceFile) {
  ConfirmMeet meet;
  meet.States("78");
  std::string races = meet.RaceBytes();
  FrmRaceScreen s = meet.Screen();
  ConfirmMeet::Row(s, 0, "1", "2500");
  meet.fake.dialogs.answers = {false};
  EXPECT_FALSE(s.Shoki().has_value());
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "78");
  EXPECT_EQ(s.rows()[0].lane, 1);
  meet.fake.dialogs.answers = {true};
  ASSERT_TRUE(s.Shoki().has_value());
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "データを初期化します。");
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "18");
  EXPECT_EQ(meet.RaceBytes(), races);
  EXPECT_EQ(s.rows()[0].lane, 0);
  EXPECT_EQ(s.txtKiro[0], "");
  EXPECT_EQ(s.focus(), (RaceFocus{RaceControl::TxtJun, 0}));
}

}  // namespace
}  // namespace meet
