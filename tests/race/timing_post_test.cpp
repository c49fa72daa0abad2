#include "race/timing_post.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "kyogi_fixture.h"
#include "print/pages_test_bytes.h"
#include "race/timing_files.h"
#include "race/timing_standin.h"

namespace meet {
namespace {

using test::HandRace;

struct PostMeet : test::KyogiMeet {
  PostMeet() {
    settings.laneCount = 8;
    settings.laneCountUsed = 8;
    settings.timingSystem = "1";
    settings.courseMode = "0";
    settings.timingSide = "0";
    settings.printCopies[4] = 1;  // record check, heats
    Entries(std::vector<test::HandEntry>(40, test::HandEntry{"1", "選手", "ｾﾝｼｭ", "東京", "ｸﾗﾌﾞ", "", 20}));
    test::WriteFile(dir / "shikaku.dat", test::ShikakuBytes(570, {}));
    std::filesystem::create_directories(dir / "goal");
    std::filesystem::create_directories(dir / "lap");
  }
  MeetFiles meet() const { return MeetFiles{dir.path(), settings}; }
  void Goal(int race, const std::string& text) { test::WriteFile(dir / "goal" / ("G" + ZeroPad(race)), text); }
  void Lap(int race, const std::string& text) { test::WriteFile(dir / "lap" / ("R" + ZeroPad(race)), text); }
  static std::string ZeroPad(int n) {
    std::string s = std::to_string(n);
    return std::string(4 - s.size(), '0') + s;
  }
  int32_t Time(int race, int slot) const { return Int32(RaceField(race, 46 + 4 * slot, 4)); }
  int16_t Rank(int race, int slot) const { return static_cast<int16_t>(Int16(RaceField(race, 142 + 2 * slot, 2))); }
  int16_t Lane(int race, int slot) const { return static_cast<int16_t>(Int16(RaceField(race, 22 + 2 * slot, 2))); }
  static int32_t Int32(const std::string& b) {
    return static_cast<int32_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8 |
                                static_cast<uint8_t>(b[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[3])) << 24);
  }
  static int Int16(const std::string& b) {
    return static_cast<int16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
  }
};

HandRace Heat(int heat, int heats, std::vector<int> swimmers, int eventCode = 2, std::string round = "1") {
  HandRace r;
  r.heatNo = heat;
  r.heatTotal = heats;
  r.eventCode = eventCode;
  r.round = std::move(round);
  for (size_t k = 0; k < swimmers.size(); ++k) r.laneNo[k] = swimmers[k];
  return r;
}

TEST(SplitIndex, FollowsTheLapLengthTable) {
  struct Row {
    int lapLength, code, index;
  };
  for (const Row& r : {Row{25, 7, 32}, Row{25, 23, 1}, Row{25, 27, 2}, Row{25, 28, 4}, Row{25, 29, 8},
                       Row{50, 7, 16}, Row{50, 26, 0}, Row{50, 24, 1}, Row{50, 29, 4}, Row{100, 7, 8},
                       Row{100, 24, 0}, Row{100, 25, 1}, Row{100, 29, 2}, Row{50, 2, 0}}) {
    EXPECT_EQ(SplitIndex(r.code, r.lapLength), r.index) << r.lapLength << " m, code " << r.code;
  }
}

TEST(LanePattern, CutToTheLanesInUse) {
  EXPECT_EQ(LanePattern(8, 8), "45362718BC00");
  EXPECT_EQ(LanePattern(8, 0), "45362718BC00");
  EXPECT_EQ(LanePattern(10, 8), "56473829BC00");
  EXPECT_EQ(LanePattern(10, 10), "564738291ABC");
  EXPECT_EQ(LanePattern(6, 4), "3425BC000000");
  EXPECT_EQ(LanePattern(12, 12), "564738291ABC");  // a pool above 10 lanes is held at 10
}

// A relay or 1500m whose lap file has ten lines per lane: the split is the
// line of the split index, taken into the race's relay block.
TEST(PostTimingResults, TakesTheSplitFromTheLineOfTheSplitIndex) {
  struct Row {
    const char* name;
    std::string course, side;
    int eventCode, line;
  };
  for (const Row& row : {Row{"4x50m relay, 25 m pool, both sides", "1", "0", 24, 2},
                         Row{"1500m, 50 m pool, one side", "0", "1", 7, 8}}) {
    PostMeet m;
    m.settings.courseMode = row.course;
    m.settings.timingSide = row.side;
    HandRace r = Heat(1, 1, {0, 3, 4}, row.eventCode, "2");
    r.relayRec = 1;
    m.Races({r});
    test::HandBlock block;
    block.raceNo = 1;
    block.splits[1] = 111;  // kept when the lap file does not reach the line
    m.Relays({block});
    m.States("6");
    m.Goal(1, "0,0\r\n1,20000\r\n2,20100\r\n");
    std::string laps;
    for (int i = 1; i <= 10; ++i)
      laps += "3,\" " + std::to_string(i) + ":0" + std::to_string(i) + ".1" + std::to_string(i) + "\"," +
              (i == 10 ? "\"G\"" : "\"\"") + "\r\n2,\"junk\"\r\n";
    laps.resize(laps.size() - 2);  // lane 2 has no swimmer: its lines are ignored
    m.Lap(1, laps + "\n4,\"0:30.00\",\"G\"\n");
    auto report = postTimingResults(m.meet(), m.fake.platform, false);
    ASSERT_TRUE(report) << report.error().message;
    const std::string want = test::Le32(row.line * 10000 + row.line * 100 + 10 + row.line);
    EXPECT_EQ(m.RelayBytes().substr(2560 + 100 + 4 * 1, 4), test::Le32(111)) << row.name;
    EXPECT_EQ(m.RelayBytes().substr(2560 + 100 + 4 * 2, 4), want) << row.name;
    EXPECT_EQ(m.RelayBytes().substr(2560 + 100 + 4 * 3, 4), test::Le32(0)) << row.name << ": one line only";
  }
}

TEST(PostTimingResults, PostsRacesInOrderAndShowsTheRaceBeforeTheFirstNotTimed) {
  PostMeet m;
  m.Races({Heat(1, 3, {1, 2, 3}), Heat(2, 3, {4, 5, 6}), Heat(3, 3, {7, 8})});
  m.States("661");
  m.Goal(1, "1,3000\r\n2,2900\r\n3,0\r\n");
  m.Goal(2, "  1 , \"2800\"\n2,2800\n0,abc\n");
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report) << report.error().message;
  ASSERT_EQ(report->posted.size(), 2u);
  EXPECT_EQ(report->posted[0].race, 1);
  EXPECT_EQ(report->posted[1].race, 2);
  EXPECT_EQ(report->showRace, 2);
  EXPECT_EQ(m.StateBytes().substr(0, 4), "7710");
  // Placings recomputed: 2900 first, 3000 second, 0 no place.
  EXPECT_EQ(m.Rank(1, 0), 2);
  EXPECT_EQ(m.Rank(1, 1), 1);
  EXPECT_EQ(m.Rank(1, 2), 0);
  EXPECT_EQ(m.Time(2, 0), 2800);
  EXPECT_EQ(m.Rank(2, 0), 1);
  EXPECT_EQ(m.Rank(2, 1), 1);
  // "abc" is no result, and the operator is told about that lane.
  EXPECT_EQ(m.Time(2, 2), 0);
  ASSERT_EQ(report->notes.size(), 1u);
  EXPECT_NE(report->notes[0].find("レース 2 3コース"), std::string::npos);
  EXPECT_TRUE(m.fake.printer.items.empty()) << "印刷しない: nothing printed";
}

TEST(PostTimingResults, BadGoalLinesGiveNoResult) {
  PostMeet m;
  m.Races({Heat(1, 1, {1, 2, 3, 4, 5, 6, 7}, 2, "2")});
  m.States("6");
  m.Goal(1, "1,-2500\r\n\r\n3\r\n4,1234567\r\n5,12x4\r\n6,2600\r\n7,9999\r\n" + std::string(3u << 20, 'x'));
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report) << report.error().message;
  for (int slot : {0, 1, 2, 3, 4, 6}) EXPECT_EQ(m.Time(1, slot), 0) << slot << ": 9999 is no time code";
  EXPECT_EQ(m.Time(1, 5), 2600);
  EXPECT_EQ(m.Rank(1, 5), 1);
  EXPECT_EQ(report->notes.size(), 6u) << ::testing::PrintToString(report->notes);
  // A goal file of which no line can be read is no result: the race waits at "6".
  m.States("6");
  m.Goal(1, "\xff\xfe garbage\r\nno,time\r\n1,9999\r\n");
  report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report);
  EXPECT_EQ(m.StateBytes().substr(0, 1), "6");
  ASSERT_EQ(report->notes.size(), 1u);
  EXPECT_NE(report->notes[0].find("読める行がない"), std::string::npos) << report->notes[0];
}

// A program page file that cannot be used fails the ready page, not the
// posting: the races posted are reported.
TEST(PostTimingResults, AnUnusablePageFileIsAFailedPrintoutAndThePostingIsReported) {
  PostMeet m;
  m.Races({Heat(1, 1, {1, 2})});
  m.States("6");
  m.Goal(1, "1,3000\n2,3100\n");
  std::filesystem::create_directory(m.dir / "hpro.dat");
  auto report = postTimingResults(m.meet(), m.fake.platform, true);
  ASSERT_TRUE(report) << report.error().message;
  ASSERT_EQ(report->posted.size(), 1u);
  EXPECT_FALSE(report->stopped);
  ASSERT_EQ(report->failures.size(), 1u);
  EXPECT_NE(report->failures[0].message.find("hpro.dat"), std::string::npos);
}

TEST(PostTimingResults, MissingGoalFileLeavesTheRaceAtSixAndGoesOn) {
  PostMeet m;
  m.Races({Heat(1, 2, {1, 2}), Heat(2, 2, {3, 4})});
  m.States("66");
  m.Goal(2, "1,3000\n2,3100\n");
  const std::string before = m.RaceField(1, 0, 256);
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report) << report.error().message;
  EXPECT_EQ(m.StateBytes().substr(0, 2), "67");
  EXPECT_EQ(m.RaceField(1, 0, 256), before);
  ASSERT_FALSE(report->notes.empty());
  EXPECT_NE(report->notes[0].find("レース 1"), std::string::npos);
  EXPECT_EQ(report->showRace, 2) << "every race is at 6 or above";
}

TEST(PostTimingResults, CopyValueZeroSkipsTheCheck) {
  for (int copies : {0, 1}) {
    PostMeet m;
    m.settings.printCopies[4] = static_cast<int16_t>(copies);
    HandRace r = Heat(1, 1, {1});
    r.openLevel[0] = 5;
    r.flags[0] = '3';
    m.Races({r});
    m.States("6");
    m.Goal(1, "1,3000\n");
    ASSERT_TRUE(postTimingResults(m.meet(), m.fake.platform, false));
    EXPECT_EQ(m.RaceField(1, 166, 2), test::Le16(copies == 0 ? 5 : 0)) << copies;
    EXPECT_EQ(m.RaceField(1, 238, 1), copies == 0 ? "3" : " ") << copies;
  }
}

TEST(PostTimingResults, PrintingMarksTheRaceEight) {
  PostMeet m;
  m.settings.printCopies[15] = 1;  // lap sheet, heats
  m.settings.printCopies[0] = 1;   // results, heats
  m.settings.lapText = "25";
  m.Races({Heat(1, 1, {1, 2})});
  m.States("6");
  m.Goal(1, "1,3000\n2,3100\n");
  m.Lap(1, "1,\"15.00\",\"\"\n1,\"30.00\",\"G\"\n");
  auto report = postTimingResults(m.meet(), m.fake.platform, true);
  ASSERT_TRUE(report) << report.error().message;
  EXPECT_EQ(m.StateBytes().substr(0, 1), "8");
  ASSERT_EQ(report->printed.size(), 2u);
  EXPECT_EQ(report->printed[0].what, "ラップ");
  EXPECT_EQ(report->printed[1].what, "結果");
  EXPECT_EQ(m.fake.printer.documentsEnded, 2);
  EXPECT_EQ(report->notes.size(), 1u) << "no next stage race for the heats";
}

// Two heats of a 100m and their final, on pages 1 (the heats) and 2 (the
// final), with every printout of posting asked for once.
struct PrintedPostMeet : PostMeet {
  PrintedPostMeet() {
    settings.lapText = "50";
    for (int k : {0, 15, 7, 6, 8}) settings.printCopies[static_cast<size_t>(k)] = 1;  // results, laps, final's sheet and page, ready page
    settings.printCopies[4] = 0;
    Races({Heat(1, 2, {1, 2, 3}, 3), Heat(2, 2, {4, 5, 6}, 3), Heat(1, 1, {}, 3, "2")});
    test::WriteFile(dir / "hpro.dat", test::PageHeader(2) + test::PageRecord(2, {1, 2}) + test::PageRecord(1, {3}));
    Goal(1, "0,10001\n0,10002\n0,10003\n");
    Goal(2, "0,10004\n0,10005\n0,10006\n");
    for (int race : {1, 2}) Lap(race, "1,\"30.00\",\"\"\n1,\"1:00.01\",\"G\"\n");
  }
  char PageMark(int page) const { return test::ReadFile(dir / "hpro.dat").at(static_cast<size_t>(page + 9) * 128 + 18); }
};

// A document the printer refuses is a failure of its race alone: the results
// are kept ("7"), that race stays "7" to be printed again, the other races are
// printed and marked "8", and every refused document is listed. The final's
// page is printed once, and the ready page is not that page again.
TEST(PostTimingResults, ARefusedDocumentKeepsItsRaceAtSevenAndTheOthersGoOn) {
  struct Row {
    const char* name;
    std::vector<std::string> refused;
    std::string states;                  // races 1..3 after posting
    std::vector<std::string> failures;   // the documents named, in order
    char pageMark;                       // page 2 marked printed ("1") or not
  };
  const std::vector<std::string> all = {"lap-r0001", "lap-r0002", "results-r0002", "race-r0003", "program-p002"};
  for (const Row& row : {Row{"all printed", {"none"}, "881", {}, '1'},
                         Row{"a lap sheet", {"lap-r0001"}, "781", {"ラップ表 レース 1"}, '1'},
                         Row{"the results", {"results"}, "871", {"競技結果 レース 2"}, '1'},
                         Row{"the final's page", {"program"}, "871", {"プログラム 2 ページ"}, '\0'},
                         Row{"no printer", {""}, "771",
                             {"ラップ表 レース 1", "ラップ表 レース 2", "競技結果 レース 2", "レース表 レース 3",
                              "プログラム 2 ページ"},
                             '\0'}}) {
    SCOPED_TRACE(row.name);
    PrintedPostMeet m;
    m.States("661");
    test::RefusingPrinter printer;
    printer.refused = row.refused;
    Platform platform{printer, m.fake.dialogs, m.fake.clock, m.fake.launcher};
    auto report = postTimingResults(m.meet(), platform, true);
    ASSERT_TRUE(report) << report.error().message;
    EXPECT_EQ(m.StateBytes().substr(0, 3), row.states);
    EXPECT_EQ(printer.documents, all) << "each document once, in posting order";
    ASSERT_EQ(report->failures.size(), row.failures.size());
    for (size_t i = 0; i < row.failures.size(); ++i)
      EXPECT_EQ(report->failures[i].message, "印刷できませんでした（プリンター system）: " + row.failures[i] + "（プリンターがありません）");
    EXPECT_EQ(report->printed.size(), all.size() - row.failures.size());
    EXPECT_EQ(m.Time(1, 2), 10003) << "results kept";
    EXPECT_EQ(m.Lane(3, 3), 1) << "the final seeded all the same";
    EXPECT_EQ(m.PageMark(2), row.pageMark);
    if (row.failures.size() == all.size()) {
      EXPECT_EQ(PrintFailureLines(*report).back(), "レース 1、2 は状態 7 のままです（印刷し直せます）。");
    }
  }
}

TEST(PostTimingResults, NothingToPostPrintsNothingAndTheScreenStays) {
  PrintedPostMeet m;
  m.States("661");
  ASSERT_TRUE(postTimingResults(m.meet(), m.fake.platform, true));
  m.fake.printer.documents.clear();
  test::WriteFile(m.dir / "hpro.dat", test::PageHeader(2) + test::PageRecord(2, {1, 2}) + test::PageRecord(1, {3}));
  auto report = postTimingResults(m.meet(), m.fake.platform, true);  // page 2 is ready, unmarked
  ASSERT_TRUE(report) << report.error().message;
  EXPECT_TRUE(report->posted.empty());
  EXPECT_TRUE(m.fake.printer.documents.empty()) << "no ready page";
  EXPECT_EQ(m.PageMark(2), '\0');
  EXPECT_EQ(report->showRace, 0);
}

// The final of an 8-lane pool seeded from two heats, with printing off.
TEST(PostTimingResults, SeedsTheFinalFromTheHeatsInThePatternLanes) {
  struct Row {
    int swimmers;
    std::array<int, 12> lanes;  // entry numbers in slots 0..11 of the final
  };
  // Entry e swims 2000 + e: entry 1 fastest.
  for (const Row& row : {Row{6, {0, 5, 3, 1, 2, 4, 6, 0, 0, 0, 0, 0}},
                         Row{12, {7, 5, 3, 1, 2, 4, 6, 8, 0, 0, 9, 10}}}) {
    PostMeet m;
    std::vector<int> first, second;
    for (int e = 1; e <= row.swimmers; ++e) (e % 2 ? first : second).push_back(e);
    HandRace final = Heat(1, 1, {20, 21}, 2, "2");
    m.Races({Heat(1, 2, first), Heat(2, 2, second), final});
    m.States("661");
    for (int race : {1, 2}) {
      std::string goal;
      for (int e : race == 1 ? first : second) goal += "0," + std::to_string(2000 + e) + "\n";
      m.Goal(race, goal);
    }
    auto report = postTimingResults(m.meet(), m.fake.platform, false);
    ASSERT_TRUE(report) << report.error().message;
    ASSERT_EQ(report->seeded.size(), 1u);
    EXPECT_EQ(report->seeded[0].race, 3);
    EXPECT_EQ(m.StateBytes().substr(0, 3), "771") << "seeded with printing off";
    for (int slot = 0; slot < 12; ++slot) {
      EXPECT_EQ(m.Lane(3, slot), row.lanes[static_cast<size_t>(slot)]) << row.swimmers << " slot " << slot;
      const int e = row.lanes[static_cast<size_t>(slot)];
      EXPECT_EQ(m.RaceField(3, 94 + 4 * static_cast<size_t>(slot), 4), test::Le32(e ? 2000 + e : 0));
    }
  }
}

TEST(PostTimingResults, TenLanePoolWithEightInUse) {
  PostMeet m;
  m.settings.laneCount = 10;
  m.settings.laneCountUsed = 8;
  m.Races({Heat(1, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), Heat(1, 1, {}, 2, "2")});
  m.States("61");
  m.Goal(1, "0,2001\n0,2002\n0,2003\n0,2004\n0,2005\n0,2006\n0,2007\n0,2008\n0,2009\n0,2010\n");
  ASSERT_TRUE(postTimingResults(m.meet(), m.fake.platform, false));
  const std::array<int, 12> want = {0, 7, 5, 3, 1, 2, 4, 6, 8, 0, 9, 10};
  for (int slot = 0; slot < 12; ++slot) EXPECT_EQ(m.Lane(2, slot), want[static_cast<size_t>(slot)]) << slot;
}

TEST(PostTimingResults, FinalWithResultsIsNotSeededAgain) {
  PostMeet m;
  HandRace final = Heat(1, 1, {9}, 2, "2");
  final.laneTime[0] = 2500;
  m.Races({Heat(1, 1, {1, 2}), final});
  m.States("68");
  m.Goal(1, "0,2001\n0,2002\n");
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->seeded.empty());
  EXPECT_EQ(m.Lane(2, 0), 9);
}

// Heats, then their final, posted: the exhibition swimmer of the
// heat (record class 99) keeps "OP", takes no place and is not seeded; the
// heat's 24.50 breaks the 地区 record (24.70) once, so the final's 24.60
// under the old record is no record and its 24.40 is.
TEST(PostTimingResults, ExhibitionStaysOutAndARecordIsBrokenOnce) {
  PostMeet m;
  m.settings.printCopies[9] = 1;  // record check, finals
  test::WriteFile(m.dir / "shikaku.dat", test::ShikakuBytes(570, {{166, 1, 2470}}));
  HandRace heat = Heat(1, 1, {1, 2, 3});
  heat.recordClass[1] = 99;
  m.Races({heat, Heat(1, 1, {}, 2, "2")});
  m.States("61");
  m.Goal(1, "0,2450\n0,2300\n0,2500\n");
  ASSERT_TRUE(postTimingResults(m.meet(), m.fake.platform, false));
  // The final is swum once it is seeded.
  m.States("76");
  m.Goal(2, "0,0\n0,0\n0,0\n0,2460\n0,2440\n");
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report) << report.error().message;
  auto recordClass = [&](int race, int slot) { return PostMeet::Int16(m.RaceField(race, 214 + 2 * static_cast<size_t>(slot), 2)); };
  EXPECT_EQ(recordClass(1, 1), 99);
  EXPECT_EQ(m.Time(1, 1), 2300);
  EXPECT_EQ((std::array<int16_t, 3>{m.Rank(1, 0), m.Rank(1, 1), m.Rank(1, 2)}), (std::array<int16_t, 3>{1, 0, 2}));
  EXPECT_EQ(recordClass(1, 0), 26);
  const std::array<int, 12> want = {0, 0, 0, 1, 3, 0, 0, 0, 0, 0, 0, 0};
  for (int slot = 0; slot < 12; ++slot) EXPECT_EQ(m.Lane(2, slot), want[static_cast<size_t>(slot)]) << slot;
  EXPECT_EQ(recordClass(2, 3), 0);
  EXPECT_EQ(recordClass(2, 4), 26);
}

// Another process (the timing system) writes "6" into later races while
// posting runs: every one of them is still "6" afterwards.
TEST(PostTimingResults, KeepsSixesWrittenMeanwhile) {
  PostMeet m;
  std::vector<HandRace> races;
  for (int i = 0; i < 300; ++i) races.push_back(Heat(1, 1, {1, 2, 3}));
  m.Races(races);
  m.States(std::string(150, '6') + std::string(150, '1'));
  for (int n = 1; n <= 150; ++n) m.Goal(n, "0,3000\n0,3100\n0,3200\n");
  const std::string stateFile = (m.dir / "Race.dat").string();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int fd = open(stateFile.c_str(), O_WRONLY);
    for (int n = 151; n <= 300; ++n) {
      if (fd < 0 || pwrite(fd, "6", 1, n - 1) != 1) _exit(1);
      usleep(200);
    }
    _exit(0);
  }
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(report) << report.error().message;
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::string states = m.StateBytes();
  EXPECT_EQ(states.substr(0, 150), std::string(150, '7'));
  EXPECT_EQ(states.substr(150, 150), std::string(150, '6'));
}

TEST(PostTimingResults, GarbageLapFileLeavesSplitsAndOtherRaces) {
  PostMeet m;
  HandRace relay = Heat(1, 1, {1, 2}, 24, "2");
  relay.relayRec = 1;
  m.Races({relay, Heat(1, 1, {3})});
  test::HandBlock block;
  block.raceNo = 1;
  block.splits = {77, 88};
  m.Relays({block});
  m.States("66");
  m.Goal(1, "1,20000\n2,20100\n");
  m.Goal(2, "1,3000\n");
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += "\xff\x81,\"\"\",99,-1," + std::to_string(i % 13) + ",\"aa:bb.cc\"\n";
  m.Lap(1, garbage);
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report) << report.error().message;
  EXPECT_EQ(m.RelayBytes().substr(2560 + 100, 8), test::Le32(77) + test::Le32(88));
  EXPECT_EQ(m.StateBytes().substr(0, 2), "77");
}

TEST(TimingStandIn, FilesPostAsTheTimingSystemWouldWriteThem) {
  PostMeet m;
  HandRace r = Heat(1, 1, {1, 2, 3, 4}, 3);
  r.entryTime = {10000, 10500, 11000, 11500};
  m.Races({r});
  m.States("1");
  TimingFinishOptions options;
  options.dqLane = 2;
  options.missingLane = 4;
  ASSERT_TRUE(FinishRace(m.dir.path(), m.settings, 1, options));
  EXPECT_EQ(m.StateBytes().substr(0, 1), "6");
  const std::string lap = test::ReadFile(m.dir / "lap" / "R0001");
  EXPECT_NE(lap.find(",\"G\"\r\n"), std::string::npos);
  EXPECT_EQ(lap.find("4,"), std::string::npos) << "the missing lane swims no laps";
  auto report = postTimingResults(m.meet(), m.fake.platform, false);
  ASSERT_TRUE(report) << report.error().message;
  EXPECT_EQ(m.Time(1, 1), 700002);
  EXPECT_EQ(m.Rank(1, 1), 0);
  EXPECT_EQ(m.Time(1, 3), 0);
  EXPECT_GE(m.Time(1, 0), 5880) << "1:00.00 less 2%";
  EXPECT_LE(m.Time(1, 0), 10120) << "1:00.00 and 2%";
  EXPECT_EQ(readLapTimes(m.dir.path(), 1, 1, m.Time(1, 0)).count(), 2);
}

}  // namespace
}  // namespace meet
