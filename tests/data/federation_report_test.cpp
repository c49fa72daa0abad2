// The federation report: games.dat's line, one results.dat value rule per
// row, and the files written from a meet folder.
#include "data/federation_report.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "data/entry_layout.h"
#include "data/race_layout.h"
#include "support/test_support.h"

namespace meet {
namespace {

Settings MeetSettings() {
  Settings s;
  s.meetCode = "0912345";
  s.courseMode = "1";
  s.meetName = "春季大会";
  s.meetAbbrev = "春季";
  s.venue = "県営プール";
  s.meetDateFrom = 20090329;
  s.meetDateTo = 20090401;
  s.poolType = "0";
  s.timingSide = "1";
  s.timingSystem = "1";
  s.affiliationMode = "0";
  s.laneCount = 8;
  return s;
}

TEST(GamesDat, OneLineOf109ValuesAnd78MoreCommas) {
  std::string expected = "0912345,2,春季大会,春季,県営プール,2008,2009/03/29,4,1,2,2," + std::string(98, ',') +
                         std::string(78, ',') + "\r\n";
  EXPECT_EQ(GamesLine(MeetSettings()), expected);
}

TEST(GamesDat, SeasonYearAndMeetDays) {
  EXPECT_EQ(SeasonYear(20090331), 2008);
  EXPECT_EQ(SeasonYear(20090401), 2009);
  EXPECT_EQ(SeasonYear(20091231), 2009);
  EXPECT_EQ(MeetDayCount(20091231, 20100102), 3);
  EXPECT_EQ(MeetDayCount(20090301, 20090301), 1);
  EXPECT_EQ(MeetDayCount(20090301, 20090311), 0);  // beyond ten days
}

TEST(ResultsDat, StrokeAndDistanceOfEvents) {
  struct Row {
    int event;
    const char* stroke;
    const char* distance;
  } rows[] = {{1, "1", "1"}, {7, "1", "7"}, {11, "2", "4"}, {12, "3", "1"}, {19, "4", "4"}, {20, "5", "3"},
              {22, "5", "5"}, {23, "7", "3"}, {25, "7", "5"}, {26, "6", "3"}, {29, "6", "6"}, {30, "", ""}};
  for (const Row& r : rows) {
    EXPECT_EQ(ReportStroke(r.event), r.stroke) << r.event;
    EXPECT_EQ(ReportDistance(r.event), r.distance) << r.event;
  }
}

struct SwimCase {
  Race race;
  Entry entry;
  Settings s = MeetSettings();
  std::vector<std::string> Values(const ReportProgramEntry* program = nullptr) {
    SwimInput in{&race, 0, nullptr, &entry, {}, program, &s};
    return SwimValues(in);
  }
};

SwimCase Case(int32_t time, const std::string& grade = "23") {
  SwimCase c;
  c.race.sexCode = "1";
  c.race.eventCode = 3;
  c.race.roundCode = "2";
  c.race.heatNo = 1;
  c.race.classFrom = 12;
  c.race.laneNo[0] = 1;
  c.race.laneTime[0] = time;
  c.entry.entryCode7 = "3400012";
  c.entry.sexCode = "1";
  c.entry.swimmerName = "広島　一郎";
  c.entry.regNo = "34101200105061";
  c.entry.prefName = "広島県";
  c.entry.affiliation = "ひろしま,SC";
  c.entry.gradeCode = grade;
  return c;
}

TEST(ResultsDat, ResultKindsAndTime) {
  struct Row {
    int32_t code;
    const char* kind;
    const char* time;
  } rows[] = {{12345, "0", " 1:23.45"}, {2345, "0", "   23.45"}, {888888, "1", "        "},
              {700001, "2", "        "}, {700007, "2", "        "}};
  for (const Row& r : rows) {
    auto v = Case(r.code).Values();
    EXPECT_EQ(v[6], r.kind) << r.code;
    EXPECT_EQ(v[35], r.time) << r.code;
  }
}

TEST(ResultsDat, GradeLevelAndYear) {
  struct Row {
    const char* grade;
    const char* level;
    const char* year;
  } rows[] = {{"61", "5", "0"}, {"23", "2", "3"}, {"41", "4", "1"}, {"51", "5", "0"}};
  for (const Row& r : rows) {
    auto v = Case(3000, r.grade).Values();
    EXPECT_EQ(v[26], r.level) << r.grade;
    EXPECT_EQ(v[27], r.year) << r.grade;
  }
}

TEST(ResultsDat, AffiliationModes) {
  struct Row {
    const char* mode;
    const char* value10;
    const char* value31;
  } rows[] = {{"0", "ひろしま，SC", "34101"}, {"1", "広島県", "34000"}, {"2", "中国", "     "}, {"3", "日本", "     "}};
  for (const Row& r : rows) {
    SwimCase c = Case(3000);
    c.s.affiliationMode = r.mode;
    auto v = c.Values();
    EXPECT_EQ(v[9], r.value10) << r.mode;
    EXPECT_EQ(v[30], r.value31) << r.mode;
  }
}

TEST(ResultsDat, SwimmerStageAndProgramValues) {
  SwimCase c = Case(3000);
  ReportProgramEntry p{1, 1, "0", "2"};
  auto v = c.Values(&p);
  EXPECT_EQ(v[0], "1");
  EXPECT_EQ(v[3], "4");  // 決勝
  EXPECT_EQ(v[5], "1");
  EXPECT_EQ(v[7], "12");  // the band's class
  EXPECT_EQ(v[8], "1");   // day 0 counts as day 1
  EXPECT_EQ(v[28], "2");
  EXPECT_EQ(v[10], "3400012");
  EXPECT_EQ(v[12], "広島　一郎");
  EXPECT_EQ(v[13], "2001/05/06");
  c.race.roundCode = "3";
  EXPECT_EQ(c.Values()[3], "");
  c.race.laneRecordClass[0] = 13;
  EXPECT_EQ(c.Values()[37], "日本高校新");
  c.race.laneRecordClass[0] = 31;
  EXPECT_EQ(c.Values()[37], "大会新");
  c.race.laneRecordClass[0] = 32;
  EXPECT_EQ(c.Values()[37], "");
}

TEST(ResultsDat, ALineHas100ValuesAndEndsInCrLf) {
  // The club's comma is written as "，", so only the 99 separators remain.
  std::string line = ReportLine(Case(3000).Values());
  EXPECT_EQ(std::count(line.begin(), line.end(), ','), 99);
  EXPECT_EQ(line.substr(line.size() - 3), ",\r\n");  // value 100 is empty
}

// A meet folder with one race of three slots and a meet event race.
class FederationFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    Race r;
    r.sexCode = "2";
    r.eventCode = 25;
    r.roundCode = "1";
    r.heatNo = 1;
    r.laneNo = {1, 0, 2};
    r.laneTime = {40000, 0, 888888};
    r.relayRec = 1;
    Race meetEvent = r;
    meetEvent.eventCode = 30;
    std::string header(256, '\0');
    header[0] = 2;
    test::WriteFile(dir / "taikai.dat", header + std::string(256 * 9, '\0') + RecordFromRace(r, false).bytes() +
                                            RecordFromRace(meetEvent, false).bytes());
    RelayBlock b;
    for (int leg = 0; leg < 4; ++leg) b.legMembers[static_cast<size_t>(leg * 12)] = static_cast<int16_t>(3 + leg);
    b.splitTimes[0] = 10050;
    std::string relayHeader(256, '\0');
    relayHeader[0] = 1;
    test::WriteFile(dir / "relay.dat", relayHeader + std::string(256 * 9, '\0') + RecordFromRelayBlock(b).bytes());
    EntryHeader h;
    h.entryCount = 6;
    std::string entries = RecordFromEntryHeader(h).bytes() + std::string(384 * 9, '\0');
    for (int n = 1; n <= 6; ++n) {
      Entry e;
      e.entryNo = n;
      e.entryCode7 = "000000" + std::to_string(n);
      e.swimmerName = "泳者" + std::to_string(n);
      e.regNo = "13101199901020";
      e.sexCode = "2";
      e.affiliation = "青葉ＳＣ";
      e.gradeCode = "23";
      entries += RecordFromEntry(e).bytes();
    }
    test::WriteFile(dir / "m.Mos", entries);
  }
  test::TempDir dir;
};

TEST_F(FederationFiles, OneLinePerSwimNoneForEmptySlotsOrMeetEvents) {
  auto done = WriteFederationReport(dir.path(), MeetSettings(), dir / "m.Mos", {{1, 1, "2", "1"}});
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_EQ(done->swims, 2);
  std::string text = DecodeCp932(test::ReadFile(done->resultsFile));
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  std::string first = text.substr(0, text.find("\r\n"));
  std::vector<std::string> v;
  for (size_t from = 0;;) {
    size_t c = first.find(',', from);
    v.push_back(first.substr(from, c == std::string::npos ? std::string::npos : c - from));
    if (c == std::string::npos) break;
    from = c + 1;
  }
  ASSERT_EQ(v.size(), 100u);
  EXPECT_EQ(v[1], "7");
  EXPECT_EQ(v[2], "5");
  EXPECT_EQ(v[8], "2");
  EXPECT_EQ(v[10], "0000003");  // the first leg's member
  EXPECT_EQ(v[22], "0000006");  // the fourth leg's member
  EXPECT_EQ(v[26], "");         // no school values for a team
  EXPECT_EQ(v[35], " 4:00.00");
  EXPECT_EQ(v[36], " 1:00.50");
  EXPECT_EQ(test::ReadFile(done->gamesFile), EncodeCp932(GamesLine(MeetSettings())));
}

// A relay confirmed in 途中 mode with its first legs left untyped holds
// 棄権 as their split; a lane whose swimmer never swam holds no time.
TEST_F(FederationFiles, NoSwimWithoutAResultAndNoSplitFromAStatusCode) {
  Race r;
  r.sexCode = "2";
  r.eventCode = 25;
  r.roundCode = "1";
  r.heatNo = 1;
  r.laneNo = {1, 5, 2, 6};
  r.laneTime = {20500, 0, 888888, 999999};
  r.laneRecordClass = {0, 0, 0, 0};
  r.relayRec = 1;
  std::string header(256, '\0');
  header[0] = 1;
  test::WriteFile(dir / "taikai.dat", header + std::string(256 * 9, '\0') + RecordFromRace(r, false).bytes());
  RelayBlock b;
  b.legMembers[0] = 3;   // slot 0: legs 1 to 4 are entries 3, 4, 5, 6
  b.legMembers[12] = 4;
  b.legMembers[24] = 5;
  b.legMembers[36] = 6;
  b.splitTimes = {888888, 3050, 0, 0, 0, 0, 0, 0, 0, 0};
  std::string relayHeader(256, '\0');
  relayHeader[0] = 1;
  test::WriteFile(dir / "relay.dat", relayHeader + std::string(256 * 9, '\0') + RecordFromRelayBlock(b).bytes());
  auto done = WriteFederationReport(dir.path(), MeetSettings(), dir / "m.Mos", {{1, 1, "2", "1"}});
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_EQ(done->swims, 2);
  EXPECT_EQ(done->lanesWithoutResult, 2);  // lanes 2 (0) and 4 (999999)
  // Values 1–14 and 15–26 of the team in lane 1, value 31 (its club code),
  // 36 the time, 37 empty for the 棄権 split, 38–100 empty (99 commas).
  // Names pass through CleanName mode 1: short ones are padded to five characters.
  auto member = [](int n) { return "000000" + std::to_string(n) + ",2,  泳者" + std::to_string(n) + ",1999/01/02,"; };
  std::string lane1 = "2,7,5,1,1,1,0,0,2,青葉ＳＣ," + member(3) + member(4) + member(5) + member(6) + ",,1,,13101,,,,," +
                      " 2:05.00,," + std::string(62, ',') + "\r\n";
  // Lane 3 withdrew: kind "1", eight blanks, and no split for its lane.
  std::string lane3 = "2,7,5,1,1,3,1,0,2,青葉ＳＣ," + member(2) + std::string(12, ',') + "2,3,1,,13101,,,,,        ,," +
                      std::string(62, ',') + "\r\n";
  EXPECT_EQ(test::ReadFile(done->resultsFile), EncodeCp932(lane1 + lane3));
}

TEST_F(FederationFiles, AShortRaceFileOrAMissingEntryIsRefusedAndNothingWritten) {
  std::string race = test::ReadFile(dir / "taikai.dat");
  test::WriteFile(dir / "taikai.dat", race.substr(0, 256 * 11 + 10));
  EXPECT_FALSE(WriteFederationReport(dir.path(), MeetSettings(), dir / "m.Mos", {}));
  test::WriteFile(dir / "taikai.dat", race);
  std::string entries = test::ReadFile(dir / "m.Mos");
  test::WriteFile(dir / "m.Mos", entries.substr(0, 384 * 13));  // entries 1–3 of 6
  EXPECT_FALSE(WriteFederationReport(dir.path(), MeetSettings(), dir / "m.Mos", {}));
  EXPECT_FALSE(std::filesystem::exists(dir / "results.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir / "games.dat"));
}

}  // namespace
}  // namespace meet
