#include "program/seeding.h"

#include <gtest/gtest.h>

#include "program/projun_file.h"
#include "program/seeding_fixture.h"

namespace meet {
namespace {

using test::I16Of;
using test::I32Of;
using test::LaneEntrants;
using test::LaneOf;
using test::RaceAt;
using test::RawEntry;
using test::Seeded;
using test::SeedMeet;
using test::Swimmer;

TEST(LanePattern, EveryPoolSizeHasItsNormalAndDescendingPattern) {
  struct Row {
    int lanes;
    const char* normal;
    const char* descending;
  };
  const Row rows[] = {{4, "2314BC000000", "4321BC000000"},  {5, "34251BC00000", "54321BC00000"},
                      {6, "342516BC0000", "654321BC0000"},  {7, "4536271BC000", "7654321BC000"},
                      {8, "45362718BC00", "87654321BC00"},  {9, "564738291BC0", "987654321BC0"},
                      {10, "564738291ABC", "A987654321BC"}};
  for (const Row& r : rows) {
    EXPECT_EQ(LanePattern(r.lanes, false), r.normal) << r.lanes;
    EXPECT_EQ(LanePattern(r.lanes, true), r.descending) << r.lanes;
  }
  EXPECT_EQ(LanePattern(3, false), "");
  EXPECT_EQ(LanePattern(11, true), "");
  EXPECT_EQ(PatternLane('A'), 10);
  EXPECT_EQ(PatternLane('C'), 12);
  EXPECT_EQ(PatternLane('0'), 0);
}

TEST(HeatSizes, SimpleDealingShiftsCompetitorsToTheLastHeats) {
  struct Row {
    int n, heats, lanes;
    std::vector<int> sizes;
  };
  const Row rows[] = {{8, 1, 8, {8}},           {9, 2, 8, {4, 5}},          {17, 3, 8, {4, 5, 8}},
                      {25, 4, 8, {4, 5, 8, 8}}, {8, 2, 7, {4, 4}},          {5, 2, 4, {2, 3}},
                      {16, 2, 8, {8, 8}},       {19, 3, 7, {5, 7, 7}}};
  for (const Row& r : rows) EXPECT_EQ(DealtAndShiftedSizes(r.n, r.heats, r.lanes), r.sizes) << r.n << "/" << r.lanes;
  EXPECT_EQ(DealtBackwardsSizes(11, 2), (std::vector<int>{5, 6}));
  EXPECT_EQ(DealtBackwardsSizes(10, 3), (std::vector<int>{3, 3, 4}));
  EXPECT_EQ(HeatCountFor(17, 8), 3);
  EXPECT_EQ(HeatCountFor(16, 8), 2);
  EXPECT_EQ(HeatCountFor(0, 8), 0);
}

TEST(SeedKey, OrdersByClassThenTimeThenNumberForLargeFiles) {
  // Numbers of five digits and times of seven keep every key distinct.
  EXPECT_EQ(SeedKey("100", 2507, 12), "100000250700012");
  EXPECT_NE(SeedKey("100", 3000, 2), SeedKey("100", 3000, 10002));
  EXPECT_LT(SeedKey("100", 3000, 2), SeedKey("100", 3000, 10002));
  EXPECT_LT(SeedKey("100", 595899, 1), SeedKey("100", 999999, 1));
  EXPECT_LT(SeedKey("131", 999999, 1), SeedKey("132", 1000, 1));
}

TEST(ClassKey, FollowsTheModeAndTheBoxes) {
  Settings s;
  s.seedingMode = "4";
  SeedingOptions o;
  o.chkKubun = true;
  Entrant e;
  e.age = 15;
  e.grade = 23;
  e.prefecture = "13";
  struct Row {
    const char* classMode;
    bool jun;
    int grade;
    const char* key;
  };
  const Row rows[] = {{"0", false, 23, "100"}, {"1", false, 23, "185"}, {"2", false, 23, "277"},
                      {"2", false, 55, "155"}, {"2", true, 55, "245"},  {"2", false, 50, "250"}};
  for (const Row& r : rows) {
    s.classMode = r.classMode;
    o.chkJun = r.jun;
    e.grade = r.grade;
    EXPECT_EQ(ClassKey(e, s, o), r.key) << r.classMode << " " << r.grade;
  }
  s.classMode = "1";
  e.age = 150;  // three digits stay three digits
  EXPECT_EQ(ClassKey(e, s, o), "050");
  o.chkKubun = false;
  EXPECT_EQ(ClassKey(e, s, o), "100");
  o.chkRyouken = true;
  e.prefecture = "32";
  EXPECT_EQ(ClassKey(e, s, o), "132");
  e.prefecture = "31";
  EXPECT_EQ(ClassKey(e, s, o), "131");
}

TEST(Seeding, EightSwimmersFillOneHeatFromTheCentre) {
  SeedMeet meet;
  meet.Entrants(test::Field(8));
  RawEntry final = Seeded();
  final.day = "2";
  meet.Program({final});
  auto run = meet.Run();
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_EQ(run->raceCount, 1);

  const std::string race = meet.Race();
  ASSERT_EQ(race.size(), 11u * 256);
  // Header: raceCount and NUL filler; records 2–10 zero (new file).
  EXPECT_EQ(race.substr(0, 256), test::Le16(1) + std::string(254, '\0'));
  EXPECT_EQ(race.substr(256, 9 * 256), std::string(9 * 256, '\0'));
  const size_t r = RaceAt(1);
  EXPECT_EQ(I16Of(race, r + 0), 1);   // eventNo
  EXPECT_EQ(I16Of(race, r + 2), 1);   // heatNo
  EXPECT_EQ(I16Of(race, r + 4), 1);   // heatTotal
  EXPECT_EQ(race[r + 6], '1');        // sexCode
  EXPECT_EQ(I16Of(race, r + 7), 1);   // classFrom
  EXPECT_EQ(I16Of(race, r + 9), 100); // classTo
  EXPECT_EQ(I16Of(race, r + 11), 3);  // eventCode
  EXPECT_EQ(race[r + 13], '2');       // roundCode
  EXPECT_EQ(race.substr(r + 14, 6), "      ");
  EXPECT_EQ(I16Of(race, r + 20), 0);  // relayRec
  // Fastest in lane 4, then 5, 3, 6, 2, 7, 1, 8.
  EXPECT_EQ(LaneEntrants(race, 1), (std::vector<int>{7, 5, 3, 1, 2, 4, 6, 8}));
  EXPECT_EQ(test::LaneTimes(race, 1), (std::vector<int>{6006, 6004, 6002, 6000, 6001, 6003, 6005, 6007}));
  EXPECT_EQ(race.substr(r + 142, 108), std::string(108, '\0'));  // ranks, levels, classes, flags
  EXPECT_EQ(race[r + 250], '2');  // raceSpare1 = dayNo
  EXPECT_EQ(race.substr(r + 251, 5), std::string(5, '\0'));

  const std::string program = meet.ProgramBytes();
  EXPECT_EQ(I16Of(program, test::ProgramAt(1) + 0), 1);   // orderNo
  EXPECT_EQ(I16Of(program, test::ProgramAt(1) + 2), 1);   // heatCount
  EXPECT_EQ(I16Of(program, test::ProgramAt(1) + 24), 1);  // firstRace
  EXPECT_EQ(program[test::ProgramAt(1) + 26], '1');       // seedFlag

  const std::string states = meet.States();
  ASSERT_EQ(states.size(), 1024u);
  EXPECT_EQ(states[0], '1');
  EXPECT_EQ(states.substr(1), std::string(1023, '0'));
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "hpro.dat"));
}

TEST(Seeding, NineSwimmersMakeHeatsOfFourAndFive) {
  SeedMeet meet;
  meet.Entrants(test::Field(9));
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(I16Of(race, 0), 2);
  // Heat 2 holds the five fastest (1..5), heat 1 the four slowest (6..9).
  EXPECT_EQ(LaneEntrants(race, 2), (std::vector<int>{0, 5, 3, 1, 2, 4, 0, 0}));
  EXPECT_EQ(LaneEntrants(race, 1), (std::vector<int>{0, 0, 8, 6, 7, 9, 0, 0}));
  EXPECT_EQ(I16Of(race, RaceAt(1) + 2), 1);
  EXPECT_EQ(I16Of(race, RaceAt(2) + 2), 2);
  EXPECT_EQ(I16Of(race, RaceAt(2) + 4), 2);
  EXPECT_EQ(I16Of(meet.ProgramBytes(), test::ProgramAt(1) + 2), 2);
}

TEST(Seeding, SeventeenSwimmersMakeHeatsOfFourFiveAndEight) {
  SeedMeet meet;
  meet.Entrants(test::Field(17));
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(test::EntrantCount(race, 1), 4);
  EXPECT_EQ(test::EntrantCount(race, 2), 5);
  EXPECT_EQ(test::EntrantCount(race, 3), 8);
  EXPECT_EQ(LaneOf(race, 3, 1), 4);
  EXPECT_EQ(LaneOf(race, 2, 9), 4);   // the fastest of heat 2
  EXPECT_EQ(LaneOf(race, 1, 14), 4);  // the fastest of heat 1
  EXPECT_EQ(LaneOf(race, 1, 17), 6);
}

TEST(Seeding, AverageGivesEveryHeatAShareOfEverySpeed) {
  SeedMeet meet;
  meet.settings.seedingMode = "1";
  meet.Entrants(test::Field(20));
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  // Heat 3: positions 1, 4, …, 19; heat 2: 2, 5, …, 20; heat 1: 3, 6, …, 18.
  EXPECT_EQ(LaneEntrants(race, 3), (std::vector<int>{19, 13, 7, 1, 4, 10, 16, 0}));
  EXPECT_EQ(LaneEntrants(race, 2), (std::vector<int>{20, 14, 8, 2, 5, 11, 17, 0}));
  EXPECT_EQ(LaneEntrants(race, 1), (std::vector<int>{0, 15, 9, 3, 6, 12, 18, 0}));
}

TEST(Seeding, MixedModesWriteTheirHeats) {
  for (const char* mode : {"2", "3"}) {
    SeedMeet meet;
    meet.settings.seedingMode = mode;
    meet.Entrants(test::Field(11));
    meet.Program({Seeded()});
    ASSERT_TRUE(meet.Run());
    const std::string race = meet.Race();
    ASSERT_EQ(I16Of(race, 0), 2);
    // Sizes dealt to heats 2, 1, 2, …: 6 and 5; the competitors the same way.
    EXPECT_EQ(LaneEntrants(race, 2), (std::vector<int>{0, 9, 5, 1, 3, 7, 11, 0})) << mode;
    EXPECT_EQ(LaneEntrants(race, 1), (std::vector<int>{0, 10, 6, 2, 4, 8, 0, 0})) << mode;
  }
}

TEST(Seeding, UnknownModeSeedsAsSimple) {
  SeedMeet meet;
  meet.settings.seedingMode = "";
  meet.Entrants(test::Field(9));
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(test::EntrantCount(meet.Race(), 2), 5);
}

TEST(Seeding, EqualTimesGoByEntrantNumberAndNoTimeSwimsInTheFirstHeat) {
  SeedMeet meet;
  std::vector<Swimmer> s = test::Field(9);
  s[0].time = 999999;  // no record: slowest of all
  s[5].time = 6002;    // equal to swimmer 3
  meet.Entrants(s);
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  // Sorted: 2 (6001), 3 (6002), 6 (6002), 4, 5, 7, 8, 9, 1.
  EXPECT_EQ(LaneOf(race, 2, 2), 4);
  EXPECT_EQ(LaneOf(race, 2, 3), 5);
  EXPECT_EQ(LaneOf(race, 2, 6), 3);
  EXPECT_EQ(LaneOf(race, 1, 1), 6);  // the last of heat 1
  EXPECT_EQ(test::LaneTimes(race, 1)[5], 999999);
}

TEST(Seeding, EntrantNumbersAboveTenThousandStayApart) {
  SeedMeet meet;
  std::vector<Swimmer> s(10002);
  for (auto& w : s) w.event = 0;  // not entered
  s[1] = Swimmer{.time = 3000};    // entrant 2
  s[10001] = Swimmer{.time = 3000};  // entrant 10002, same time
  meet.Entrants(s);
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(LaneOf(race, 1, 2), 4);
  EXPECT_EQ(LaneOf(race, 1, 10002), 5);
}

TEST(Seeding, CombinedByClassCentresShortHeatsOnDescendingLanes) {
  SeedMeet meet;
  meet.settings.seedingMode = "4";
  meet.options.chkKubun = true;
  meet.Entrants(test::Field(3));
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(LaneOf(race, 1, 1), 5);
  EXPECT_EQ(LaneOf(race, 1, 2), 4);
  EXPECT_EQ(LaneOf(race, 1, 3), 3);
}

TEST(Seeding, CombinedByClassPutsTheOlderClassFirst) {
  SeedMeet meet;
  meet.settings.seedingMode = "4";
  meet.settings.classMode = "1";
  meet.options.chkKubun = true;
  std::vector<Swimmer> s = test::Field(9);
  for (size_t k = 0; k < s.size(); ++k) s[k].age = k < 5 ? 10 : 12;  // the slower four are older
  meet.Entrants(s);
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  // Keys 188 (age 12) before 190 (age 10): heat 2 (five) gets 6..9 and 1,
  // on the descending pattern less its first 4 − 2 characters: 6, 5, 4, 3, 2.
  EXPECT_EQ(LaneOf(race, 2, 6), 6);
  EXPECT_EQ(LaneOf(race, 2, 9), 3);
  EXPECT_EQ(LaneOf(race, 2, 1), 2);
  // Heat 1 (four: 2..5), the same shift: 6, 5, 4, 3.
  EXPECT_EQ(LaneOf(race, 1, 2), 6);
  EXPECT_EQ(LaneOf(race, 1, 5), 3);
}

TEST(Seeding, DualMeetFixesTheLanesOfBothPrefectures) {
  SeedMeet meet;
  meet.options.chkRyouken = true;
  std::vector<Swimmer> s;
  // 1..4 of prefecture 31, 5..7 of 32, 8 of another; times give the order
  // within each prefecture only.
  for (int k = 0; k < 4; ++k) s.push_back(Swimmer{.time = 6100 - k, .pref = "31"});
  for (int k = 0; k < 3; ++k) s.push_back(Swimmer{.time = 5000 + k, .pref = "32"});
  s.push_back(Swimmer{.time = 7000, .pref = "13"});
  meet.Entrants(s);
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(LaneOf(race, 1, 4), 3);  // fastest of 31
  EXPECT_EQ(LaneOf(race, 1, 3), 5);
  EXPECT_EQ(LaneOf(race, 1, 2), 1);
  EXPECT_EQ(LaneOf(race, 1, 5), 4);  // fastest of 32
  EXPECT_EQ(LaneOf(race, 1, 6), 2);
  EXPECT_EQ(LaneOf(race, 1, 7), 6);
  // The others take the pattern's free lanes in order (4 5 3 6 2 7 1 8).
  EXPECT_EQ(LaneOf(race, 1, 8), 7);
  EXPECT_EQ(LaneOf(race, 1, 1), 8);
}

TEST(Seeding, DualMeetInASmallPoolNeverUsesALaneItLacks) {
  SeedMeet meet;
  meet.settings.laneCount = 4;
  meet.options.chkRyouken = true;
  meet.Entrants({Swimmer{.time = 6000, .pref = "31"}, Swimmer{.time = 6001, .pref = "31"},
                 Swimmer{.time = 6002, .pref = "31"}});
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(LaneOf(race, 1, 1), 3);
  EXPECT_EQ(LaneOf(race, 1, 2), 2);  // lane 5 is not there: the pattern's first free lane (2314)
  EXPECT_EQ(LaneOf(race, 1, 3), 1);
}

TEST(Seeding, APreliminaryOfOneHeatIsDroppedAndItsFinalSeededDirectly) {
  SeedMeet meet;
  meet.Entrants(test::Field(6));
  RawEntry prelim = Seeded(3, "1");
  RawEntry final = Seeded(3, "2");
  final.orderNo = 2;
  meet.Program({prelim, final});
  ASSERT_TRUE(meet.Run());
  const std::string program = meet.ProgramBytes();
  EXPECT_EQ(I16Of(program, test::ProgramAt(1)), 0);
  EXPECT_EQ(program[test::ProgramAt(1) + 26], '0');
  EXPECT_EQ(I16Of(program, test::ProgramAt(2)), 1);
  EXPECT_EQ(I16Of(program, test::ProgramAt(2) + 24), 1);
  EXPECT_EQ(program[test::ProgramAt(2) + 26], '1');
  const std::string race = meet.Race();
  EXPECT_EQ(I16Of(race, 0), 1);
  EXPECT_EQ(race[RaceAt(1) + 13], '2');
  EXPECT_EQ(test::EntrantCount(race, 1), 6);
}

TEST(Seeding, KeptPreliminaryMarksItsFinalForLater) {
  SeedMeet meet;
  meet.options.chkYosen = true;
  meet.Entrants(test::Field(6));
  RawEntry prelim = Seeded(3, "1");
  RawEntry other = Seeded(4, "2");  // another event: not marked
  RawEntry semi = Seeded(3, "3");
  RawEntry final = Seeded(3, "2");
  meet.Program({prelim, other, semi, final});
  ASSERT_TRUE(meet.Run());
  const std::string program = meet.ProgramBytes();
  // prelim race 1; event 4 has nobody; semi two empty heats 2–3; final race 4.
  EXPECT_EQ(I16Of(program, test::ProgramAt(1)), 1);
  EXPECT_EQ(I16Of(program, test::ProgramAt(2)), 0);
  EXPECT_EQ(program[test::ProgramAt(2) + 26], '0');
  EXPECT_EQ(program[test::ProgramAt(3) + 26], '2');
  EXPECT_EQ(I16Of(program, test::ProgramAt(3)), 2);
  EXPECT_EQ(I16Of(program, test::ProgramAt(3) + 2), 2);
  EXPECT_EQ(I16Of(program, test::ProgramAt(3) + 24), 2);
  EXPECT_EQ(I16Of(program, test::ProgramAt(4)), 3);
  EXPECT_EQ(I16Of(program, test::ProgramAt(4) + 24), 4);
  const std::string race = meet.Race();
  EXPECT_EQ(I16Of(race, 0), 4);
  for (int r : {2, 3, 4}) {
    EXPECT_EQ(test::EntrantCount(race, r), 0) << r;
    EXPECT_EQ(I16Of(race, RaceAt(r) + 11), 3) << r;
  }
  EXPECT_EQ(I16Of(race, RaceAt(3) + 2), 2);
  EXPECT_EQ(I16Of(race, RaceAt(3) + 4), 2);
  EXPECT_EQ(race[RaceAt(3) + 13], '3');
  EXPECT_EQ(I16Of(race, RaceAt(4) + 0), 3);
  EXPECT_EQ(meet.States().substr(0, 5), "11110");
}

TEST(Seeding, AnEventWithoutEntrantsLeavesTheProgramAndNoRace) {
  SeedMeet meet;
  meet.Entrants(test::Field(3, 5));
  // An old race file of three races: its count must not survive.
  std::string old = test::Le16(3) + std::string(254, '\0') + std::string(12 * 256, 'x');
  test::WriteFile(meet.dir / "taikai.dat", old);
  meet.fake.dialogs.fallback = true;  // the old bytes read as results
  meet.Program({Seeded(3)});
  auto run = meet.Run();
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_EQ(run->raceCount, 0);
  const std::string program = meet.ProgramBytes();
  EXPECT_EQ(I16Of(program, test::ProgramAt(1)), 0);
  EXPECT_EQ(program[test::ProgramAt(1) + 26], '0');
  const std::string race = meet.Race();
  EXPECT_EQ(race.substr(0, 256), test::Le16(0) + std::string(254, '\0'));
  EXPECT_EQ(race.substr(256), old.substr(256));
  EXPECT_EQ(meet.States(), std::string(1024, '0'));
}

TEST(Seeding, RecordsBeyondTheNewCountKeepTheirBytes) {
  SeedMeet meet;
  meet.Entrants(test::Field(4));
  std::string old = test::Le16(5) + std::string(254, 'h') + std::string(9 * 256, 'u');
  for (int r = 1; r <= 5; ++r) old += std::string(256, static_cast<char>('a' + r));
  test::WriteFile(meet.dir / "taikai.dat", old);
  meet.fake.dialogs.fallback = true;
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  ASSERT_EQ(race.size(), old.size());
  EXPECT_EQ(race.substr(0, 256), test::Le16(1) + std::string(254, '\0'));
  EXPECT_EQ(race.substr(256, 9 * 256), std::string(9 * 256, 'u'));
  EXPECT_EQ(race.substr(RaceAt(2)), old.substr(RaceAt(2)));
}

TEST(Seeding, ReservedSemiFinalHeatsGetTheirHeadings) {
  SeedMeet meet;
  meet.Entrants(test::Field(9));
  std::string old = test::Le16(2) + std::string(254, '\0') + std::string(9 * 256, '\0') + std::string(2 * 256, 'x');
  test::WriteFile(meet.dir / "taikai.dat", old);
  meet.fake.dialogs.fallback = true;
  meet.Program({Seeded(3, "3")});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(I16Of(race, 0), 2);
  for (int r : {1, 2}) {
    EXPECT_EQ(I16Of(race, RaceAt(r) + 2), r);
    EXPECT_EQ(test::EntrantCount(race, r), 0);
    EXPECT_EQ(race.substr(RaceAt(r) + 14, 6), "      ");
  }
}

TEST(Seeding, RelayAndFifteenHundredRacesGetRelayBlocks) {
  SeedMeet meet;
  std::vector<Swimmer> s = test::Field(3);
  s.push_back(Swimmer{.time = 180000, .event = 7});
  s.push_back(Swimmer{.time = 40000, .event = 23});
  s.push_back(Swimmer{.time = 41000, .event = 23});
  meet.Entrants(s);
  // An old relay file of five blocks with members entered.
  std::string oldRelay = test::Le16(5) + std::string(254, '\0') + std::string(9 * 256, '\0');
  for (int b = 1; b <= 5; ++b) oldRelay += test::Le16(b) + std::string(254, 'm');
  test::WriteFile(meet.dir / "relay.dat", oldRelay);
  RawEntry relay = Seeded(23);
  relay.orderNo = 3;
  meet.Program({Seeded(3), Seeded(7), relay});
  ASSERT_TRUE(meet.Run());
  const std::string race = meet.Race();
  EXPECT_EQ(I16Of(race, RaceAt(1) + 20), 0);
  EXPECT_EQ(I16Of(race, RaceAt(2) + 20), 1);
  EXPECT_EQ(I16Of(race, RaceAt(3) + 20), 2);
  const std::string relayBytes = meet.Relay();
  ASSERT_EQ(relayBytes.size(), oldRelay.size());
  EXPECT_EQ(relayBytes.substr(0, 256), test::Le16(2) + std::string(254, '\0'));
  // Block b at record b + 10: its number, 48 members 0, its race, splits 0, NUL filler.
  for (int b = 1; b <= 2; ++b) {
    const std::string block = relayBytes.substr(static_cast<size_t>(b + 9) * 256, 256);
    EXPECT_EQ(block, test::Le16(b) + std::string(96, '\0') + test::Le16(b + 1) + std::string(40, '\0') +
                         std::string(116, '\0'))
        << b;
  }
  EXPECT_EQ(relayBytes.substr(12 * 256), oldRelay.substr(12 * 256));  // blocks 3–5 as they were
}

TEST(Seeding, NoSeedingOnlyRebuildsRelaysPagesAndStates) {
  SeedMeet meet;
  meet.options.chkNoHan = true;
  // A race file of two races (one relay) made elsewhere; no entry file at all.
  std::string race = test::Le16(2) + std::string(254, '\0') + std::string(9 * 256, '\0');
  std::string r1(256, '\0'), r2(256, '\0');
  r1.replace(11, 2, test::Le16(3));
  r2.replace(11, 2, test::Le16(24));
  r2.replace(20, 2, test::Le16(1));
  race += r1 + r2;
  test::WriteFile(meet.dir / "taikai.dat", race);
  meet.Program({Seeded()});
  const std::string program = meet.ProgramBytes();
  test::WriteFile(meet.dir / "relay.dat", test::Le16(4) + std::string(254, '\0'));
  test::WriteFile(meet.dir / "Race.dat", "78" + std::string(1022, '0'));
  auto run = meet.Run();
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_EQ(run->raceCount, 2);
  EXPECT_EQ(meet.Race(), race);
  EXPECT_EQ(meet.ProgramBytes(), program);
  EXPECT_EQ(meet.Relay().substr(0, 2), test::Le16(1));
  EXPECT_EQ(meet.Relay().size(), 11u * 256);
  EXPECT_EQ(meet.States().substr(0, 3), "110");
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "hpro.dat"));
}

TEST(Seeding, MoreRacesThanTheFileCanNumberIsRefusedWithNothingWritten) {
  SeedMeet meet;
  meet.Entrants(test::Field(1));
  std::vector<RawEntry> entries(16379, RawEntry{.orderNo = 1, .stage = "3", .seed = "2"});
  meet.Program(entries);  // 2 × 16379 = 32758 races
  const std::string program = meet.ProgramBytes();
  auto run = meet.Run();
  ASSERT_FALSE(run);
  EXPECT_EQ(run.error().kind, ErrorKind::Refused);
  EXPECT_NE(run.error().message.find("32757"), std::string::npos);
  EXPECT_NE(run.error().message.find("32758"), std::string::npos);
  EXPECT_EQ(meet.ProgramBytes(), program);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "taikai.dat"));
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "Race.dat"));
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "relay.dat"));

  entries.pop_back();
  entries.push_back(RawEntry{.orderNo = 1, .stage = "2", .seed = "2"});  // 32757: allowed
  meet.Program(entries);
  auto fits = meet.Run();
  ASSERT_TRUE(fits) << fits.error().message;
  EXPECT_EQ(fits->raceCount, 32757);
  EXPECT_EQ(meet.States().size(), 32u * 1024);
}

TEST(Seeding, AskAndKeepACopyBeforeOverwritingResults) {
  SeedMeet meet;
  meet.Entrants(test::Field(4));
  meet.Program({Seeded()});
  ASSERT_TRUE(meet.Run());
  // A result typed into lane 4 of race 1.
  std::string race = meet.Race();
  race.replace(RaceAt(1) + 46 + 4 * 3, 4, test::Le32(6123));
  test::WriteFile(meet.dir / "taikai.dat", race);
  const std::string relay = meet.Relay();

  meet.fake.dialogs.answers = {false};
  auto cancelled = meet.Run();
  ASSERT_FALSE(cancelled);
  EXPECT_EQ(cancelled.error().kind, ErrorKind::Cancelled);
  ASSERT_EQ(meet.fake.dialogs.asked.size(), 1u);
  EXPECT_EQ(meet.fake.dialogs.asked[0], kAskOverwriteResults);
  EXPECT_EQ(meet.Race(), race);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "backup"));

  meet.fake.dialogs.answers = {true};
  auto run = meet.Run();
  ASSERT_TRUE(run) << run.error().message;
  ASSERT_EQ(run->backups.size(), 2u);
  EXPECT_EQ(run->backups[0], meet.dir / "backup" / "taikai.dat.20261208-093000");
  EXPECT_EQ(test::ReadFile(run->backups[0]), race);
  EXPECT_EQ(test::ReadFile(run->backups[1]), relay);
  EXPECT_EQ(I32Of(meet.Race(), RaceAt(1) + 46 + 12), 0);
}

TEST(Seeding, RefusesWithoutTheEntryFileOrWithAnOddPool) {
  SeedMeet meet;
  meet.Program({Seeded()});
  const std::string program = meet.ProgramBytes();
  auto missing = meet.Run();
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
  EXPECT_EQ(meet.ProgramBytes(), program);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "taikai.dat"));

  meet.Entrants(test::Field(3));
  meet.settings.laneCount = 3;
  auto odd = meet.Run();
  ASSERT_FALSE(odd);
  EXPECT_EQ(odd.error().kind, ErrorKind::Invalid);
  EXPECT_EQ(meet.ProgramBytes(), program);
}

TEST(Seeding, BandAndSexDecideWhoIsAccepted) {
  SeedMeet meet;
  meet.settings.classMode = "1";
  meet.Entrants({Swimmer{.time = 6000, .age = 12}, Swimmer{.time = 6001, .age = 13},
                 Swimmer{.time = 6002, .age = 14}, Swimmer{.time = 6003, .sex = "2", .age = 13}});
  RawEntry e = Seeded();
  e.ageFrom = 13;
  e.ageTo = 14;
  meet.Program({e});
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(LaneEntrants(meet.Race(), 1), (std::vector<int>{0, 0, 0, 2, 3, 0, 0, 0}));

  meet.settings.classMode = "2";
  meet.Entrants({Swimmer{.time = 6000, .grade = "21"}, Swimmer{.time = 6001, .grade = " 9"}});
  RawEntry g = Seeded();
  g.ageFrom = 1;
  g.ageTo = 20;
  meet.Program({g});
  ASSERT_TRUE(meet.Run());
  EXPECT_EQ(LaneEntrants(meet.Race(), 1), (std::vector<int>{0, 0, 0, 2, 0, 0, 0, 0}));
}

TEST(Seeding, WarnsOfFinalsLeftEmptyAndOfEntrantsNoBandTakes) {
  SeedMeet meet;
  meet.settings.classMode = "1";
  std::vector<Swimmer> field = test::Field(6);
  field.push_back(Swimmer{.time = 6100, .age = 113});  // a relay team's summed age, past every band
  meet.Entrants(field);
  // A final already marked "2" while its preliminary (6 swimmers, 8 lanes)
  // is dropped in this run: the final stays empty and the operator is told.
  RawEntry prelim = Seeded(3, "1");
  RawEntry final = Seeded(3, "2");
  final.orderNo = 2;
  final.seed = "2";
  meet.Program({prelim, final});
  auto run = meet.Run();
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_EQ(test::EntrantCount(meet.Race(), 1), 0);
  ASSERT_EQ(run->warnings.size(), 2u);
  EXPECT_NE(run->warnings[0].find("決勝: 前の予選がこの作成で組まれていない"), std::string::npos) << run->warnings[0];
  EXPECT_NE(run->warnings[1].find("申込 7 件がどの競技順の区分にも入らず"), std::string::npos) << run->warnings[1];

  // Started as 初期化 leaves it, the final is seeded from the entries and only
  // the team outside the band is reported.
  meet.Program({prelim, Seeded(3, "2")});
  run = meet.Run();
  ASSERT_TRUE(run);
  EXPECT_EQ(test::EntrantCount(meet.Race(), 1), 6);
  ASSERT_EQ(run->warnings.size(), 1u);
  EXPECT_NE(run->warnings[0].find("申込 1 件"), std::string::npos) << run->warnings[0];
}

TEST(Seeding, GarbageFilesNeverCrashARun) {
  const std::string garbage = [] {
    std::string s;
    for (int k = 0; k < 5000; ++k) s.push_back(static_cast<char>((k * 7919 + 13) % 256));
    return s;
  }();
  for (size_t cut : {size_t{0}, size_t{5}, size_t{11}, size_t{300}, size_t{5000}}) {
    SeedMeet meet;
    test::WriteFile(meet.dir / "ind.Mos", garbage.substr(0, cut));
    test::WriteFile(meet.dir / "projun.dat", garbage.substr(0, cut));
    test::WriteFile(meet.dir / "taikai.dat", garbage.substr(0, cut));
    test::WriteFile(meet.dir / "relay.dat", garbage.substr(0, cut));
    meet.fake.dialogs.fallback = true;
    auto run = meet.Run();
    (void)run;  // any outcome but a crash
    meet.options.chkNoHan = true;
    auto again = meet.Run();
    (void)again;
  }
  // An entry file claiming far more entries than it holds.
  SeedMeet meet;
  std::string bytes = test::EntryFileBytes(test::Field(3), 1000000);
  test::WriteFile(meet.dir / "ind.Mos", bytes);
  meet.Program({Seeded()});
  auto run = meet.Run();
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_EQ(test::EntrantCount(meet.Race(), 1), 3);
}

TEST(SeedingReset, NumbersEveryEntryAndMarksItForSeeding) {
  SeedMeet meet;
  RawEntry a{.orderNo = 0, .heatCount = 3, .perHeat = 130, .firstRace = 9, .seed = "0", .day = "2"};
  RawEntry b{.orderNo = 7, .heatCount = 1, .stage = "2", .seed = "2"};
  meet.Program({a, b});
  std::string before = meet.ProgramBytes();
  auto n = ResetProgramForSeeding(meet.dir.path());
  ASSERT_TRUE(n);
  EXPECT_EQ(*n, 2);
  a.orderNo = 1;
  a.seed = "1";
  b.orderNo = 2;
  b.seed = "1";
  const std::string after = meet.ProgramBytes();
  EXPECT_EQ(after.substr(0, 640), before.substr(0, 640));
  EXPECT_EQ(after.substr(640), test::EntryRecord(a) + test::EntryRecord(b));
}

}  // namespace
}  // namespace meet
