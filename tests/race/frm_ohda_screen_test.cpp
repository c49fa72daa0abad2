#include "race/frm_ohda_screen.h"

#include <gtest/gtest.h>

#include "race/kyogi_fixture.h"

namespace meet {
namespace {

using test::HandBlock;
using test::HandEntry;
using test::HandRace;

std::vector<HandEntry> Swimmers() {
  return {
      {"1", "山田太郎花子様", "", "東京", "ＡＢＣ水泳", "", 12}, {"2", "鈴木一郎", "", "大阪", "ＸＹＺ", "", 11},
      {"3", "佐藤花子", "", "", "", "", 13},                     {"4", "高橋三郎", "", "", "", "", 14},
      {"5", "伊藤五郎", "", "", "", "", 15},
  };
}

struct Relay {
  test::KyogiMeet meet;
  std::unique_ptr<FrmKyogiScreen> kyogi;
  // A relay race (event 26) with teams in the given lanes and block 1.
  explicit Relay(std::initializer_list<int> teams, int relayRec = 1, int eventCode = 26) {
    meet.settings.laneCount = 8;
    meet.Entries(Swimmers());
    HandRace r;
    r.eventCode = eventCode;
    r.relayRec = relayRec;
    size_t k = 0;
    for (int no : teams) r.laneNo[k++] = no;
    meet.Races({r});
    HandBlock b;
    b.raceNo = 1;
    b.legs[0][7] = 5;  // another lane's member, never touched
    meet.Relays({b});
  }
  FrmKyogiScreen& Kyogi() {
    kyogi = std::make_unique<FrmKyogiScreen>(meet.dir.path(), meet.settings, meet.fake.platform);
    EXPECT_TRUE(kyogi->Open());
    return *kyogi;
  }
  // The member of leg l, slot k in block 1 on disk.
  int Member(int leg, int slot) const {
    const std::string bytes = meet.RelayBytes();
    const size_t at = 10 * 256 + 2 + 2 * static_cast<size_t>(leg * 12 + slot);
    return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
  }
};

TEST(FrmOhdaLoad, TheFirstLaneWithATeamElseTheFirstAlternate) {
  {
    Relay r({0, 0, 2, 1});
    FrmOhdaScreen o(r.Kyogi());
    ASSERT_TRUE(o.Form_Load());
    EXPECT_EQ(o.txtKousu(), "3");
    EXPECT_EQ(o.lblShozoku(), "ＸＹＺ");
  }
  {
    Relay r({});
    FrmOhdaScreen o(r.Kyogi());
    ASSERT_TRUE(o.Form_Load());
    EXPECT_EQ(o.txtKousu(), "11");
  }
}

TEST(FrmOhdaLoad, RefusesAnIndividualRaceAndABlockOutsideTheRelayFile) {
  {
    Relay r({1}, 1, 2);
    FrmOhdaScreen o(r.Kyogi());
    EXPECT_FALSE(o.Form_Load());
  }
  for (int relayRec : {0, 2, -3}) {
    Relay r({1}, relayRec);
    FrmOhdaScreen o(r.Kyogi());
    EXPECT_FALSE(o.Form_Load()) << relayRec;
  }
}

TEST(FrmOhdaEntry, FourLegsOfLaneThreeReachTheBlockAndTheRaceScreen) {
  Relay r({0, 0, 2});
  FrmKyogiScreen& k = r.Kyogi();
  FrmOhdaScreen o(k);
  ASSERT_TRUE(o.Form_Load());
  const std::string before = r.meet.RelayBytes();
  for (int leg = 0; leg < 4; ++leg) {
    const std::string typed = std::to_string(leg + 1);
    o.SetBango(leg, typed);
    auto focus = o.BangoKey(leg, NavKey::Enter, typed);
    ASSERT_TRUE(focus);
    EXPECT_EQ(*focus, leg < 3 ? (FocusTarget{"txtBango", leg + 1}) : (FocusTarget{"txtKousu", -1}));
  }
  EXPECT_EQ(o.lblNamae()[0], "山田太郎花子様");
  std::string expected = before;
  for (int leg = 0; leg < 4; ++leg) test::Put(expected, 10 * 256 + 2 + 2 * (leg * 12 + 2), test::Le16(leg + 1));
  EXPECT_EQ(r.meet.RelayBytes(), expected);  // lane 3 only; lane 8's member stays

  ASSERT_TRUE(k.Reload());
  EXPECT_EQ(k.rows()[2].txtNamae, "山田太郎花子  鈴木一郎");
  EXPECT_EQ(k.rows()[2].txtKana, "佐藤花子    高橋三郎");  // six characters of the padded name
}

TEST(FrmOhdaEntry, OneLegRewritesAllFourFromTheBoxesAndNoOtherLane) {
  Relay r({1});
  FrmOhdaScreen o(r.Kyogi());
  ASSERT_TRUE(o.Form_Load());
  o.SetBango(0, "3");
  o.SetBango(1, "4");
  o.SetBango(3, "abc");  // reads as 0
  ASSERT_TRUE(o.BangoKey(1, NavKey::Enter, "4"));
  EXPECT_EQ(r.Member(0, 0), 3);
  EXPECT_EQ(r.Member(1, 0), 4);
  EXPECT_EQ(r.Member(3, 0), 0);
  EXPECT_EQ(r.Member(0, 7), 5);
}

TEST(FrmOhdaWarnings, OtherSexOtherClubAndTwiceNamedAreToldAndStoredAsTyped) {
  struct Row {
    const char* raceSex;
    std::array<int, 4> legs;
    std::vector<std::string> told;
  };
  const std::vector<Row> rows = {
      {"1", {2, 5, 6, 0}, {}},
      {"1", {2, 3, 4, 5},
       {"2泳者 3 佐藤花子 は女子です（レースは男子）。", "3泳者 4 高橋三郎 の所属は ＸＹＺ です（チームは ＡＢＣ）。"}},
      {"2", {3, 2, 0, 0}, {"2泳者 2 鈴木一郎 は男子です（レースは女子）。"}},
      {"3", {2, 3, 5, 2}, {"1泳者と4泳者 2 鈴木一郎 が同じ選手です。"}},  // 混合 takes both sexes
      {"1", {7, 0, 0, 0}, {"1泳者 7 伊藤六子 の所属は （なし） です（チームは ＡＢＣ）。"}},
  };
  for (const Row& row : rows) {
    Relay r({1});
    r.meet.Entries({{"1", "ＡＢＣ Ａ", "", "", "ＡＢＣ", "", 50, "1"},
                    {"2", "鈴木一郎", "", "", "ＡＢＣ", "", 11, "1"},
                    {"3", "佐藤花子", "", "", "ＡＢＣ", "", 13, "2"},
                    {"4", "高橋三郎", "", "", "ＸＹＺ", "", 14, "1"},
                    {"5", "伊藤五郎", "", "", "ＡＢＣ", "", 15, "1"},
                    {"6", "中村四郎", "", "", "ＡＢＣ", "", 15, "1"},
                    {"7", "伊藤六子", "", "", "", "", 15, "1"}});
    HandRace race;
    race.eventCode = 26;
    race.relayRec = 1;
    race.sex = row.raceSex;
    race.laneNo[0] = 1;
    r.meet.Races({race});
    FrmOhdaScreen o(r.Kyogi());
    ASSERT_TRUE(o.Form_Load());
    EXPECT_TRUE(o.LaneWarnings().empty());  // nothing entered yet
    for (int leg = 0; leg < 4; ++leg) o.SetBango(leg, std::to_string(row.legs[static_cast<size_t>(leg)]));
    ASSERT_TRUE(o.BangoKey(3, NavKey::Enter, std::to_string(row.legs[3])));
    EXPECT_EQ(o.LaneWarnings(), row.told) << row.raceSex << " " << row.legs[0];
    for (int leg = 0; leg < 4; ++leg) EXPECT_EQ(r.Member(leg, 0), row.legs[static_cast<size_t>(leg)]);
    ASSERT_TRUE(o.ShowLane(1));  // shown again from the block: the same warnings
    EXPECT_EQ(o.LaneWarnings(), row.told);
  }
}

TEST(FrmOhdaEntry, MemberNumbersOutsideTheEntryFileAreRefused) {
  Relay r({1});
  FrmOhdaScreen o(r.Kyogi());
  ASSERT_TRUE(o.Form_Load());
  const std::string before = r.meet.RelayBytes();
  for (const char* typed : {"32768", "-1", "99999999999", "32767", "900"}) {
    o.SetBango(0, typed);
    EXPECT_FALSE(o.BangoKey(0, NavKey::Enter, typed)) << typed;
    EXPECT_EQ(r.meet.RelayBytes(), before) << typed;
  }
  // Without a readable entry file, any 16-bit number is stored as typed.
  std::filesystem::remove(r.meet.dir / "ind.Mos");
  o.SetBango(0, "900");
  ASSERT_TRUE(o.BangoKey(0, NavKey::Enter, "900"));
  EXPECT_EQ(o.lblNamae()[0], "");
  EXPECT_EQ(r.Member(0, 0), 900);
}

TEST(FrmOhdaEntry, EnterAtTheStartOfABoxStoresNothing) {
  Relay r({1});
  FrmOhdaScreen o(r.Kyogi());
  ASSERT_TRUE(o.Form_Load());
  const std::string before = r.meet.RelayBytes();
  o.SetBango(0, "2");
  auto focus = o.BangoKey(0, NavKey::Enter, "");
  ASSERT_TRUE(focus);
  EXPECT_EQ(*focus, (FocusTarget{"txtBango", 1}));
  EXPECT_EQ(r.meet.RelayBytes(), before);
}

TEST(FrmOhdaKeys, LaneFieldAndBoxesMoveWithinTheirEnds) {
  Relay r({1, 2});
  FrmOhdaScreen o(r.Kyogi());
  ASSERT_TRUE(o.Form_Load());
  struct Row {
    const char* what;
    NavKey key;
    const char* typed;
    int laneAfter;
  };
  const Row rows[] = {
      {"Up on lane 1 stays", NavKey::Up, "", 1},    {"Down", NavKey::Down, "", 2},
      {"Enter 8", NavKey::Enter, "8", 8},           {"Down on the last lane stays", NavKey::Down, "", 8},
      {"Up", NavKey::Up, "", 7},                    {"above the lanes becomes 1", NavKey::Enter, "9", 1},
      {"below 1 becomes 1", NavKey::Enter, "-2", 1},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(o.KousuKey(row.key, row.typed)) << row.what;
    EXPECT_EQ(o.lane(), row.laneAfter) << row.what;
    EXPECT_EQ(o.txtKousu(), std::to_string(row.laneAfter)) << row.what;
  }
  EXPECT_EQ(*o.KousuKey(NavKey::Enter, ""), (FocusTarget{"txtBango", 0}));
  EXPECT_EQ(*o.BangoKey(0, NavKey::Up, ""), (FocusTarget{"txtKousu", -1}));
  EXPECT_EQ(*o.BangoKey(3, NavKey::Down, ""), (FocusTarget{"txtKousu", -1}));
  EXPECT_EQ(*o.BangoKey(2, NavKey::Up, ""), (FocusTarget{"txtBango", 1}));
}

}  // namespace
}  // namespace meet
