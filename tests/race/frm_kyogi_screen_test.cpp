#include "race/frm_kyogi_screen.h"

#include <gtest/gtest.h>

#include "core/time_code.h"
#include "race/kyogi_fixture.h"

namespace meet {
namespace {

using test::HandBlock;
using test::HandCell;
using test::HandEntry;
using test::HandRace;
using test::Le16;
using test::Le32;

HandRace Individual(std::initializer_list<int> lanes, int eventCode = 2) {
  HandRace r;
  r.eventCode = eventCode;
  size_t k = 0;
  for (int no : lanes) r.laneNo[k++] = no;
  return r;
}

std::vector<HandEntry> FourSwimmers() {
  return {
      {"13000123456789", "山田太郎花子様", "ﾔﾏﾀﾞﾀﾛｳ", "東京", "ＡＢＣ水泳", "15", 12},
      {"13000223456789", "鈴木一郎", "ｽｽﾞｷｲﾁﾛｳ", "大阪", "ＸＹＺ", "16", 11},
      {"13000323456789", "佐藤花子", "ｻﾄｳﾊﾅｺ", "京都", "ＱＱ", "21", 13},
      {"13000423456789", "高橋三郎", "ﾀｶﾊｼｻﾌﾞﾛｳ", "奈良", "ＲＲ", "22", 14},
  };
}

struct Screen {
  test::KyogiMeet meet;
  std::unique_ptr<FrmKyogiScreen> screen;
  FrmKyogiScreen& Open() {
    screen = std::make_unique<FrmKyogiScreen>(meet.dir.path(), meet.settings, meet.fake.platform);
    EXPECT_TRUE(screen->Open());
    return *screen;
  }
};

// ---------------------------------------------------------------- showing

TEST(FrmKyogiShow, HeaderLabelsOfTheRace) {
  Screen s;
  HandRace r = Individual({});
  r.eventNo = 12;
  r.heatNo = 2;
  r.heatTotal = 3;
  r.sex = "2";
  r.round = "2";
  s.meet.Races({r, Individual({})});
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.header().lblRecord, "1 / 2");
  EXPECT_EQ(k.header().lblPno, "12");
  EXPECT_EQ(k.header().lblKumi, "2");
  EXPECT_EQ(k.header().lblTKumi, "(3)");
  EXPECT_EQ(k.header().lblSei, "女子");
  EXPECT_EQ(k.header().lblShumoku, "50m自由形");
  EXPECT_EQ(k.header().lblYoketu, "決勝");
  EXPECT_EQ(k.header().lblYZikan, "09:30:00");
  EXPECT_EQ(k.header().lblZikan, "09:25:00");
  EXPECT_EQ(k.header().lblDate, "2024/05/01");
}

TEST(FrmKyogiShow, AnEmptyRaceShowsBlankRowsAndNoOrderButton) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  s.meet.Races({Individual({}), Individual({}, 26)});
  FrmKyogiScreen& k = s.Open();
  for (const LaneRow& row : k.rows()) EXPECT_EQ(row, LaneRow{});
  EXPECT_FALSE(k.isRelay());
  EXPECT_FALSE(k.cmdOhdaEnabled());
  ASSERT_TRUE(k.showNextRace());  // an empty relay: still no order button
  EXPECT_TRUE(k.isRelay());
  EXPECT_FALSE(k.cmdOhdaEnabled());
}

TEST(FrmKyogiShow, LanesAndAlternatesOfAnIndividualRace) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({1, 2});
  r.laneNo[10] = 3;  // 補欠１
  r.laneTime = {2507, 0, 0, 0, 0, 0, 0, 0, 0, 0, 700003, 0};
  r.rank[0] = 1;
  r.entryTime[0] = 2610;
  r.openLevel[0] = 4;
  r.ageLevel[0] = 7;
  r.recordClass[0] = 21;
  r.flags = "3          5";
  s.meet.Races({r});
  FrmKyogiScreen& k = s.Open();
  const LaneRow& lane1 = k.rows()[0];
  EXPECT_EQ(lane1.txtNo, "1");
  EXPECT_EQ(lane1.txtQBan, "13000123456789");
  EXPECT_EQ(lane1.txtNamae, "山田太郎花子様");
  EXPECT_EQ(lane1.txtKana, "ﾔﾏﾀﾞﾀﾛｳ");
  EXPECT_EQ(lane1.txtKen, "東京");
  EXPECT_EQ(lane1.txtSho, "ＡＢＣ水泳");
  EXPECT_EQ(lane1.txtTosi, "12");
  EXPECT_EQ(lane1.txtGaku, "小5");
  EXPECT_EQ(lane1.txtJun, "1");
  EXPECT_EQ(lane1.txtKiro, "   25.07");
  EXPECT_EQ(lane1.txtMu, "4");
  EXPECT_EQ(lane1.txtNen, "7");
  EXPECT_EQ(lane1.txtHoj, "3");
  EXPECT_EQ(lane1.txtBiko, "県　");
  EXPECT_EQ(lane1.txtQkiro, "   26.10");
  EXPECT_FALSE(lane1.qkiroGrey);
  EXPECT_EQ(k.rows()[1].txtJun, "");  // placing 0 is blank
  const LaneRow& alternate = k.rows()[10];
  EXPECT_EQ(alternate.txtNamae, "佐藤花子");
  EXPECT_EQ(alternate.txtKiro, "折返");
  EXPECT_EQ(alternate.txtJun, "");
  EXPECT_EQ(k.rows()[2], LaneRow{});
}

TEST(FrmKyogiShow, RelayMembersSplitsAndNoNamesForAlternates) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({1, 2}, 26);
  r.laneNo[10] = 3;
  r.relayRec = 1;
  r.entryTime = {5000, 5100, 0, 0, 0, 0, 0, 0, 0, 0, 5300, 0};
  s.meet.Races({r});
  HandBlock b;
  b.raceNo = 1;
  b.legs[0][0] = 1;  // slot 0: legs 1, 2, 3, 4
  b.legs[1][0] = 2;
  b.legs[2][0] = 3;
  b.legs[3][0] = 4;
  b.legs[0][1] = 0;  // slot 1: only leg 2 set
  b.legs[1][1] = 4;
  b.splits[0] = 1290;
  s.meet.Relays({b});
  FrmKyogiScreen& k = s.Open();
  EXPECT_TRUE(k.isRelay());
  EXPECT_TRUE(k.cmdOhdaEnabled());
  EXPECT_EQ(k.rows()[0].txtNamae, "山田太郎花子  鈴木一郎");
  EXPECT_EQ(k.rows()[0].txtKana, "佐藤花子    高橋三郎");  // six characters of each name, blanks included
  EXPECT_EQ(k.rows()[1].txtNamae, "  高橋三郎");
  EXPECT_EQ(k.rows()[1].txtKana, "");
  EXPECT_EQ(k.rows()[0].txtQkiro, "   12.90");
  EXPECT_TRUE(k.rows()[0].qkiroGrey);
  EXPECT_EQ(k.rows()[1].txtQkiro, "   51.00");
  EXPECT_FALSE(k.rows()[1].qkiroGrey);
  EXPECT_EQ(k.rows()[0].txtQBan, "");  // a team shows no registration number
  EXPECT_EQ(k.rows()[0].txtGaku, "");  // only with 合同 and 学年
  EXPECT_EQ(k.rows()[10].txtNo, "3");
  EXPECT_EQ(k.rows()[10].txtNamae, "");
  EXPECT_EQ(k.rows()[10].txtQkiro, "   53.00");
}

TEST(FrmKyogiShow, ARelayTeamShowsItsOwnNameUntilItsOrderIsEntered) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({1, 2, 3}, 26);
  r.relayRec = 1;
  s.meet.Races({r});
  HandBlock b;
  b.raceNo = 1;
  b.legs[3][0] = 4;  // slot 0: only leg 4 entered
  s.meet.Relays({b});
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.rows()[0].txtNamae, "");  // an order, even of one leg, shows its members
  EXPECT_EQ(k.rows()[0].txtKana, "  高橋三郎");
  EXPECT_EQ(k.rows()[1].txtNamae, "鈴木一郎");  // no order yet: the team's name
  EXPECT_EQ(k.rows()[1].txtKana, "");
  EXPECT_EQ(k.rows()[2].txtNamae, "佐藤花子");
  // Without its relay block the team still shows its name.
  r.relayRec = 9;
  s.meet.Races({r});
  ASSERT_TRUE(k.ShowRace(1));
  EXPECT_EQ(k.rows()[0].txtNamae, "山田太郎花子様");
}

TEST(FrmKyogiShow, RelayGradeUnderJointSeedingByGrade) {
  Screen s;
  s.meet.settings.seedingMode = "4";
  s.meet.settings.classMode = "2";
  s.meet.Entries(FourSwimmers());
  s.meet.Races({Individual({2}, 27)});
  EXPECT_EQ(s.Open().rows()[0].txtGaku, "小6");
}

TEST(FrmKyogiShow, MeetOwnEventIsARelayByItsFlag) {
  Screen s;
  s.meet.Entries(FourSwimmers(), 0, "010000000000000");
  s.meet.Races({Individual({1}, 30), Individual({1}, 31)});
  FrmKyogiScreen& k = s.Open();
  EXPECT_FALSE(k.isRelay());
  ASSERT_TRUE(k.showNextRace());
  EXPECT_TRUE(k.isRelay());
}

TEST(FrmKyogiShow, The1500mShowsThe800mSplitExceptForAlternates) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({1, 2}, 7);
  r.laneNo[10] = 3;
  r.relayRec = 1;
  r.entryTime = {180000, 181000, 0, 0, 0, 0, 0, 0, 0, 0, 190000, 0};
  s.meet.Races({r});
  HandBlock b;
  b.splits[0] = 85012;
  s.meet.Relays({b});
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.rows()[0].txtQkiro, " 8:50.12");
  EXPECT_TRUE(k.rows()[0].qkiroGrey);
  EXPECT_EQ(k.rows()[1].txtQkiro, "18:10.00");
  EXPECT_EQ(k.rows()[10].txtQkiro, "19:00.00");
  EXPECT_FALSE(k.rows()[10].qkiroGrey);
  EXPECT_EQ(k.rows()[0].txtNamae, "山田太郎花子様");  // an individual race keeps the swimmer's name
}

TEST(FrmKyogiShow, BadReferencesShowWhatTheRaceHolds) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({99, -4}, 26);  // entries past the file, garbage
  r.relayRec = 7;                         // relay.dat holds one block
  r.entryTime[0] = 5000;
  s.meet.Races({r});
  HandBlock b;
  b.splits[0] = 1111;
  s.meet.Relays({b});
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.rows()[0].txtNo, "99");
  EXPECT_EQ(k.rows()[0].txtNamae, "");
  EXPECT_EQ(k.rows()[0].txtQkiro, "   50.00");
  EXPECT_EQ(k.rows()[1].txtNo, "-4");
}

// ---------------------------------------------------------------- standards

TEST(FrmKyogiStandards, PanelFromTheRecordsOfTheRace) {
  Screen s;
  HandRace r = Individual({}, 3);  // 男子 100m自由形: cell 2
  r.classFrom = 12;
  s.meet.Races({r});
  test::WriteFile(s.meet.dir / "shikaku.dat",
                  test::ShikakuBytes(570, {{141, 2, 4691}, {170, 2, 5800}, {182, 2, 5500}, {282, 2, 10000},
                                           {382, 2, 10100}, {482, 2, 10200}, {141, 31, 5200}}));
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.txtTKiro()[0], "   46.91");
  EXPECT_EQ(k.txtTKiro()[29], "   58.00");
  EXPECT_EQ(k.txtTKiro()[30], "   55.00");
  EXPECT_EQ(k.txtTKiro()[31], " 1:00.00");
  EXPECT_EQ(k.txtTKiro()[32], " 1:01.00");
  EXPECT_EQ(k.txtTKiro()[33], " 1:02.00");
  EXPECT_EQ(k.txtTKiro()[1], "");
}

TEST(FrmKyogiStandards, ClassZeroReadsCategoryOne) {
  Screen s;
  s.meet.Races({Individual({}, 1)});
  test::WriteFile(s.meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{171, 0, 1500}}));
  EXPECT_EQ(s.Open().txtTKiro()[30], "   15.00");
}

TEST(FrmKyogiStandards, MeetOwnEventShowsOnlyItsMeetRecord) {
  Screen s;
  HandRace r = Individual({}, 31);
  r.sex = "2";
  s.meet.Races({r});
  // record 31 + 220, first cell of 女子 (29): where the confirmation looks.
  test::WriteFile(s.meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{251, 29, 3333}, {141, 29, 1000}}));
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.txtTKiro()[30], "   33.33");
  EXPECT_EQ(k.txtTKiro()[0], "");
  EXPECT_EQ(k.txtTKiro()[31], "");
}

TEST(FrmKyogiStandards, ShortEmptyAndGarbageTablesNeverCrash) {
  Screen s;
  HandRace r = Individual({}, 3);
  r.classFrom = 90;
  s.meet.Races({r});
  test::WriteFile(s.meet.dir / "shikaku.dat", test::ShikakuBytes(150, {{141, 2, 4691}, {150, 2, 5000}}));
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.txtTKiro()[0], "   46.91");
  EXPECT_EQ(k.txtTKiro()[9], "   50.00");
  EXPECT_EQ(k.txtTKiro()[10], "");
  EXPECT_EQ(k.txtTKiro()[33], "");
  test::WriteFile(s.meet.dir / "shikaku.dat", "x");  // counts as empty
  ASSERT_TRUE(k.Reload());
  for (const std::string& box : k.txtTKiro()) EXPECT_EQ(box, "");
  test::WriteFile(s.meet.dir / "shikaku.dat", std::string(1000, '\xff'));
  EXPECT_TRUE(k.Reload());
  r.sex = "9";  // no such sex: nothing to show
  r.classFrom = 32000;
  s.meet.Races({r});
  EXPECT_TRUE(k.Reload());
  for (const std::string& box : k.txtTKiro()) EXPECT_EQ(box, "");
}

// ---------------------------------------------------------------- clock

struct ClockCase {
  DateTime now;
  const char* start;  // as the race file holds it
  const char* difference;
  Rgb colour;
};

class FrmKyogiClockTable : public ::testing::TestWithParam<ClockCase> {};

TEST_P(FrmKyogiClockTable, DifferenceAndColour) {
  const ClockCase& c = GetParam();
  Screen s;
  HandRace r = Individual({});
  r.start = c.start;
  s.meet.Races({r});
  s.meet.fake.clock.now = c.now;
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.header().lblSZikan, c.difference);
  ASSERT_TRUE(k.header().lblSZikanColour.has_value());
  EXPECT_EQ(*k.header().lblSZikanColour, c.colour);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrmKyogiClockTable,
    ::testing::Values(ClockCase{{2024, 5, 1, 9, 25, 0}, "093000", "0:05:00", kAheadShort},
                      ClockCase{{2024, 5, 1, 9, 10, 0}, "093000", "0:20:00", kAheadLong},
                      ClockCase{{2024, 5, 1, 9, 10, 1}, "093000", "0:19:59", kAheadShort},
                      ClockCase{{2024, 5, 1, 9, 30, 0}, "093000", "0:00:00", kBehindShort},
                      ClockCase{{2024, 5, 1, 9, 49, 59}, "093000", "0:19:59", kBehindShort},
                      ClockCase{{2024, 5, 1, 11, 0, 0}, "093000", "1:30:00", kBehindLong},
                      ClockCase{{2024, 5, 1, 0, 5, 0}, "120000", "11:55:00", kAheadLong},
                      ClockCase{{2024, 5, 1, 9, 25, 0}, " 93000", "0:05:00", kAheadShort}));

TEST(FrmKyogiClock, AnUnsetStartLeavesTheLabelBlankAndItsColour) {
  Screen s;
  HandRace set = Individual({});
  HandRace zero = Individual({});
  zero.start = "000000";
  HandRace blank = Individual({});
  blank.start = "      ";
  s.meet.Races({set, zero, blank});
  FrmKyogiScreen& k = s.Open();
  ASSERT_EQ(k.header().lblSZikanColour, kAheadShort);
  ASSERT_TRUE(k.showNextRace());
  EXPECT_EQ(k.header().lblSZikan, "");
  EXPECT_EQ(k.header().lblSZikanColour, kAheadShort);
  ASSERT_TRUE(k.showNextRace());
  EXPECT_EQ(k.header().lblSZikan, "");
  EXPECT_EQ(k.header().lblSZikanColour, kAheadShort);
}

TEST(FrmKyogiClock, TickRefreshesOnlyTheClock) {
  Screen s;
  s.meet.Races({Individual({})});
  FrmKyogiScreen& k = s.Open();
  const auto rows = k.rows();
  s.meet.fake.clock.now = DateTime{2024, 5, 2, 10, 0, 0};
  k.Tick();
  EXPECT_EQ(k.header().lblZikan, "10:00:00");
  EXPECT_EQ(k.header().lblDate, "2024/05/02");
  EXPECT_EQ(k.header().lblSZikan, "0:30:00");
  EXPECT_EQ(k.header().lblSZikanColour, kBehindLong);
  EXPECT_EQ(k.rows(), rows);
}

// ---------------------------------------------------------------- stepping

TEST(FrmKyogiStep, MessagesAtEitherEnd) {
  Screen s;
  s.meet.Races({Individual({}), Individual({})});
  FrmKyogiScreen& k = s.Open();
  ASSERT_TRUE(k.showPreviousRace());
  EXPECT_EQ(k.currentRace(), 1);
  ASSERT_EQ(s.meet.fake.dialogs.notices.size(), 1u);
  EXPECT_EQ(s.meet.fake.dialogs.notices[0], "１より小さいレコードはありません。");
  ASSERT_TRUE(k.showNextRace());
  EXPECT_EQ(k.currentRace(), 2);
  EXPECT_EQ(k.header().lblRecord, "2 / 2");
  ASSERT_TRUE(k.showNextRace());
  EXPECT_EQ(k.currentRace(), 2);
  ASSERT_EQ(s.meet.fake.dialogs.notices.size(), 2u);
  EXPECT_EQ(s.meet.fake.dialogs.notices[1], "2より大きいデータはありません。");
}

TEST(FrmKyogiStep, AHeaderCountBeyondTheFileStopsAtTheLastRaceHeld) {
  Screen s;
  s.meet.Races({Individual({}), Individual({})}, 40);
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.raceCount(), 2);
  ASSERT_TRUE(k.showNextRace());
  ASSERT_TRUE(k.showNextRace());
  EXPECT_EQ(k.currentRace(), 2);
}

std::vector<HandRace> ThreeEvents() {
  std::vector<HandRace> races;
  auto heat = [](int eventNo, int heatNo, int total) {
    HandRace r;
    r.eventNo = eventNo;
    r.heatNo = heatNo;
    r.heatTotal = total;
    return r;
  };
  races.push_back(heat(1, 1, 1));
  races.push_back(heat(2, 1, 3));
  races.push_back(heat(2, 2, 3));
  races.push_back(heat(2, 3, 3));
  races.push_back(heat(3, 1, 1));
  return races;
}

TEST(FrmKyogiJump, CommandFieldSelectsEventAndHeat) {
  Screen s;
  s.meet.Races(ThreeEvents());
  FrmKyogiScreen& k = s.Open();
  ASSERT_TRUE(k.EnterToi("2.2"));
  EXPECT_EQ(k.currentRace(), 3);
  ASSERT_TRUE(k.EnterToi("3.1"));
  EXPECT_EQ(k.currentRace(), 5);
  ASSERT_TRUE(k.EnterToi("2.9"));  // above the heat count: the last heat
  EXPECT_EQ(k.currentRace(), 4);
  ASSERT_TRUE(k.EnterToi("7.1"));  // no such event: stays
  EXPECT_EQ(k.currentRace(), 4);
  ASSERT_TRUE(k.EnterToi("1"));  // without "." nothing moves
  EXPECT_EQ(k.currentRace(), 4);
  ASSERT_TRUE(k.EnterToi("x.y"));
  EXPECT_EQ(k.currentRace(), 4);
}

TEST(FrmKyogiKeys, ToiKeysChooseFocusOrStep) {
  Screen s;
  s.meet.Races(ThreeEvents());
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(*k.ToiKey(NavKey::Left, false), (FocusTarget{"cmdKeiji", -1}));
  EXPECT_EQ(*k.ToiKey(NavKey::Right, false), (FocusTarget{"cmdShudo", -1}));
  EXPECT_EQ(*k.ToiKey(NavKey::Up, true), (FocusTarget{"txtNo", 0}));
  EXPECT_EQ(k.currentRace(), 1);
  EXPECT_EQ(*k.ToiKey(NavKey::Down, false), std::nullopt);
  EXPECT_EQ(k.currentRace(), 2);
  EXPECT_EQ(*k.ToiKey(NavKey::Up, false), std::nullopt);
  EXPECT_EQ(k.currentRace(), 1);
  EXPECT_EQ(ButtonKeyMove("cmdOhda", NavKey::Home), ToiFocus());
  EXPECT_EQ(ButtonKeyMove("cmdKeiji", NavKey::Up), std::nullopt);
}

struct MoveCase {
  LaneField field;
  int row;
  NavKey key;
  std::optional<FocusTarget> target;
};

class LaneFieldMoveTable : public ::testing::TestWithParam<MoveCase> {};

TEST_P(LaneFieldMoveTable, MovesInTheFieldOrder) {
  const MoveCase& c = GetParam();
  EXPECT_EQ(LaneFieldMove(c.field, c.row, c.key), c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaneFieldMoveTable,
    ::testing::Values(MoveCase{LaneField::txtJun, 3, NavKey::Right, FocusTarget{"txtKiro", 3}},
                      MoveCase{LaneField::txtJun, 3, NavKey::Left, std::nullopt},
                      MoveCase{LaneField::txtQkiro, 3, NavKey::Right, FocusTarget{"txtNo", 3}},
                      MoveCase{LaneField::txtNo, 3, NavKey::Right, std::nullopt},
                      MoveCase{LaneField::txtNo, 3, NavKey::Left, FocusTarget{"txtQkiro", 3}},
                      MoveCase{LaneField::txtHoj, 3, NavKey::Left, FocusTarget{"txtNen", 3}},
                      MoveCase{LaneField::txtKiro, 0, NavKey::Up, std::nullopt},
                      MoveCase{LaneField::txtKiro, 1, NavKey::Up, FocusTarget{"txtKiro", 0}},
                      MoveCase{LaneField::txtKiro, 11, NavKey::Down, std::nullopt},
                      MoveCase{LaneField::txtKiro, 10, NavKey::Down, FocusTarget{"txtKiro", 11}},
                      MoveCase{LaneField::txtBiko, 5, NavKey::Home, FocusTarget{"txtToi", -1}}));

// ---------------------------------------------------------------- entering

size_t TimeAt(int slot) { return 46 + 4 * static_cast<size_t>(slot); }
size_t RankAt(int slot) { return 142 + 2 * static_cast<size_t>(slot); }

struct Entering : ::testing::Test {
  Screen s;
  void SetUp() override {
    s.meet.Entries(FourSwimmers());
    HandRace r = Individual({1, 2, 3, 4});
    r.laneTime = {3000, 3100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    r.rank = {1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    s.meet.Races({r});
    s.meet.States("1");
    s.Open();
  }
  FrmKyogiScreen& k() { return *s.screen; }
};

TEST_F(Entering, ATimeIsStoredPlacedAndMarked) {
  auto focus = k().EnterLaneField(LaneField::txtKiro, 2, "2950");
  ASSERT_TRUE(focus) << focus.error().message;
  EXPECT_EQ(*focus, (FocusTarget{"txtKiro", 2}));
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(2), 4), Le32(2950));
  EXPECT_EQ(s.meet.RaceField(1, RankAt(0), 6), Le16(2) + Le16(3) + Le16(1));
  EXPECT_EQ(k().rows()[2].txtKiro, "   29.50");
  EXPECT_EQ(k().rows()[2].txtJun, "1");
  EXPECT_EQ(s.meet.StateBytes()[0], '7');
}

TEST_F(Entering, TiesShareThePlace) {
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 1, "3000"));
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 2, "3200"));
  EXPECT_EQ(s.meet.RaceField(1, RankAt(0), 6), Le16(1) + Le16(1) + Le16(3));
}

TEST_F(Entering, WithdrawnAndClearedTimes) {
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 0, "8"));
  EXPECT_EQ(k().rows()[0].txtKiro, "棄権");
  EXPECT_EQ(k().rows()[0].txtJun, "");
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(0), 4), Le32(888888));
  EXPECT_EQ(k().rows()[1].txtJun, "1");
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 0, "9"));
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(0), 4), Le32(0));
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 1, "0"));
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(1), 4), Le32(0));
  EXPECT_EQ(k().rows()[1].txtKiro, "");
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 3, "3"));
  EXPECT_EQ(k().rows()[3].txtKiro, "折返");
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 2, "1:05.23"));  // read up to the ":"
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(2), 4), Le32(700001));
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 2, "abc"));
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(2), 4), Le32(0));
}

TEST_F(Entering, ATimeWithSixtyOrMoreSecondsIsRefusedAndNothingWritten) {
  const struct { const char* typed; bool taken; } rows[] = {
      {"6010", false}, {"16523", false}, {"9960", false}, {"5999", true}, {"10005", true}, {"666666", true},
  };
  for (const auto& row : rows) {
    s.meet.States("1");
    const std::string before = s.meet.RaceBytes();
    auto focus = k().EnterLaneField(LaneField::txtKiro, 2, row.typed);
    EXPECT_EQ(focus.has_value(), row.taken) << row.typed;
    if (row.taken) continue;
    EXPECT_EQ(focus.error().message, std::string(kSecondsPastFiftyNine) + row.typed);
    EXPECT_EQ(s.meet.RaceBytes(), before) << row.typed;
    EXPECT_EQ(s.meet.StateBytes()[0], '1') << row.typed;
  }
}

TEST_F(Entering, AnAlternatesTimeIsStoredButNotPlaced) {
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtKiro, 10, "100"));
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(10), 4), Le32(100));
  EXPECT_EQ(s.meet.RaceField(1, RankAt(10), 2), Le16(0));
  EXPECT_EQ(s.meet.RaceField(1, RankAt(0), 4), Le16(1) + Le16(2));
}

TEST_F(Entering, CaretAtTheStartStoresNothing) {
  const std::string before = s.meet.RaceBytes();
  const std::string states = s.meet.StateBytes();
  for (LaneField f : kLaneFieldOrder) {
    auto focus = k().EnterLaneField(f, 0, "");
    ASSERT_TRUE(focus);
    EXPECT_EQ(*focus, ToiFocus());
  }
  EXPECT_EQ(s.meet.RaceBytes(), before);
  EXPECT_EQ(s.meet.StateBytes(), states);
}

TEST_F(Entering, NumberFieldsAndOnlyTheirBytes) {
  std::string expected = s.meet.RaceBytes();
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtJun, 3, "5x"));
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtMu, 3, "12"));
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtNen, 3, "99999"));  // clamped to 16 bits
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtBiko, 3, "11"));
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtHoj, 3, "63"));
  const size_t rec = 10 * 256;
  expected.replace(rec + 142 + 6, 2, Le16(5));
  expected.replace(rec + 166 + 6, 2, Le16(12));
  expected.replace(rec + 190 + 6, 2, Le16(32767));
  expected.replace(rec + 214 + 6, 2, Le16(11));
  expected[rec + 238 + 3] = '6';
  EXPECT_EQ(s.meet.RaceBytes(), expected);
  EXPECT_EQ(k().rows()[3].txtBiko, "日本");
  EXPECT_EQ(k().rows()[3].txtHoj, "6");
  EXPECT_EQ(s.meet.StateBytes()[0], '1');  // only a time marks the race
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtHoj, 3, "0"));
  EXPECT_EQ(s.meet.RaceField(1, 238 + 3, 1), " ");
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtHoj, 3, "-3"));
  EXPECT_EQ(s.meet.RaceField(1, 238 + 3, 1), " ");
}

TEST_F(Entering, AnEntryNumberAboveTheEntryCountEmptiesTheLane) {
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtNo, 0, "5"));
  EXPECT_EQ(s.meet.RaceField(1, 22, 2), Le16(0));
  EXPECT_EQ(s.meet.RaceField(1, TimeAt(0), 4), Le32(3000));  // the other values stay
  EXPECT_EQ(k().rows()[0], LaneRow{});
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtNo, 0, "4"));
  EXPECT_EQ(s.meet.RaceField(1, 22, 2), Le16(4));
  EXPECT_EQ(k().rows()[0].txtNamae, "高橋三郎");
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtNo, 0, "-2"));
  EXPECT_EQ(s.meet.RaceField(1, 22, 2), Le16(0));
}

TEST_F(Entering, EntryTimeOfAnIndividualRace) {
  ASSERT_TRUE(k().EnterLaneField(LaneField::txtQkiro, 1, "3055"));
  EXPECT_EQ(s.meet.RaceField(1, 94 + 4, 4), Le32(3055));
  EXPECT_EQ(k().rows()[1].txtQkiro, "   30.55");
  EXPECT_FALSE(std::filesystem::exists(s.meet.dir / "relay.dat"));
}

TEST_F(Entering, RowsOutsideTheRaceAreRefused) {
  EXPECT_FALSE(k().EnterLaneField(LaneField::txtKiro, 12, "2500"));
  EXPECT_FALSE(k().EnterLaneField(LaneField::txtKiro, -1, "2500"));
}

TEST(FrmKyogiEnter, SplitRuleOnARelay) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({1, 2}, 23);
  r.relayRec = 1;
  s.meet.Races({r});
  HandBlock b;
  b.raceNo = 1;
  b.splits[0] = 1500;  // slot 1 has no split yet
  s.meet.Relays({b});
  FrmKyogiScreen& k = s.Open();
  const std::string raceBefore = s.meet.RaceBytes();
  ASSERT_TRUE(k.EnterLaneField(LaneField::txtQkiro, 0, "1466"));
  std::string relay = s.meet.RelayBytes();
  EXPECT_EQ(relay.substr(10 * 256 + 100, 4), Le32(1466));
  EXPECT_EQ(s.meet.RaceBytes(), raceBefore);
  EXPECT_EQ(k.rows()[0].txtQkiro, "   14.66");
  EXPECT_TRUE(k.rows()[0].qkiroGrey);
  ASSERT_TRUE(k.EnterLaneField(LaneField::txtQkiro, 1, "5900"));  // split 0: the entry time
  EXPECT_EQ(s.meet.RelayBytes(), relay);
  EXPECT_EQ(s.meet.RaceField(1, 94 + 4, 4), Le32(5900));
}

TEST(FrmKyogiEnter, ARelayBlockOutsideRelayDatIsNeverWritten) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  HandRace r = Individual({1}, 7);
  r.relayRec = 3;
  s.meet.Races({r});
  HandBlock b;
  b.splits[0] = 1500;
  s.meet.Relays({b});
  const std::string relay = s.meet.RelayBytes();
  FrmKyogiScreen& k = s.Open();
  ASSERT_TRUE(k.EnterLaneField(LaneField::txtQkiro, 0, "170000"));
  EXPECT_EQ(s.meet.RelayBytes(), relay);
  EXPECT_EQ(s.meet.RaceField(1, 94, 4), Le32(170000));
}

TEST(FrmKyogiEnter, CorrectionsMarkPrintedLaterHeats) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  std::vector<HandRace> races = ThreeEvents();
  races[2].laneNo[0] = 1;  // race 3: heat 2 of 3
  s.meet.Races(races);
  s.meet.States("18886");
  FrmKyogiScreen& k = s.Open();
  ASSERT_TRUE(k.EnterToi("2.2"));
  ASSERT_TRUE(k.EnterLaneField(LaneField::txtKiro, 0, "2800"));
  EXPECT_EQ(s.meet.StateBytes().substr(0, 5), "18776");
  ASSERT_TRUE(k.raceStates().has_value());
  EXPECT_EQ(k.raceStates()->state(4), '7');
}

TEST(FrmKyogiEnter, AnEmptyRaceFileIsNeverWritten) {
  Screen s;
  s.meet.Entries(FourSwimmers());
  FrmKyogiScreen& k = s.Open();
  EXPECT_EQ(k.raceCount(), 0);
  auto refused = k.EnterLaneField(LaneField::txtKiro, 0, "2500");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind, ErrorKind::Refused);
  EXPECT_FALSE(std::filesystem::exists(s.meet.dir / "taikai.dat"));
  EXPECT_FALSE(std::filesystem::exists(s.meet.dir / "Race.dat"));
}

// ---------------------------------------------------------------- bad files

TEST(FrmKyogiFiles, TruncatedOversizedAndGarbageFilesNeverCrash) {
  const std::vector<std::string> garbage = {
      "",
      std::string(10, '\x05'),
      test::RaceFileBytes({Individual({1, 2})}).substr(0, 2560 + 100),
      test::RaceFileBytes({Individual({1, 2})}, 32767),
      std::string(256 * 13, '\xff'),
      std::string(256 * 11 + 7, '\x80'),
  };
  for (const std::string& bytes : garbage) {
    Screen s;
    test::WriteFile(s.meet.dir / "taikai.dat", bytes);
    test::WriteFile(s.meet.dir / "ind.Mos", std::string(500, '\xfe'));
    test::WriteFile(s.meet.dir / "relay.dat", std::string(300, '\xff'));
    test::WriteFile(s.meet.dir / "Race.dat", std::string(7, '8'));
    test::WriteFile(s.meet.dir / "shikaku.dat", std::string(383, '\x7f'));
    auto k = std::make_unique<FrmKyogiScreen>(s.meet.dir.path(), s.meet.settings, s.meet.fake.platform);
    (void)k->Open();
    EXPECT_GE(k->raceCount(), 0);
    EXPECT_LE(k->raceCount(), 3);
    (void)k->showNextRace();
    (void)k->EnterToi("1.1");
    for (LaneField f : kLaneFieldOrder) (void)k->EnterLaneField(f, 0, "123");
    (void)k->showPreviousRace();
  }
}

}  // namespace
}  // namespace meet
