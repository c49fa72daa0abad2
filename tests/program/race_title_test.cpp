#include "program/race_title.h"

#include <gtest/gtest.h>

#include "print/pages_test_bytes.h"
#include "program/program_test_util.h"
#include "race/kyogi_fixture.h"

namespace meet {
namespace {

using test::HandBlock;
using test::HandRace;
using test::Le16;
using test::Put;

HandRace Heat(int eventNo, int heat, int total, int lane1 = 0) {
  HandRace r;
  r.eventNo = eventNo;
  r.heatNo = heat;
  r.heatTotal = total;
  r.laneNo[0] = lane1;
  r.laneTime[0] = lane1 * 10;
  return r;
}

// Races: event 1 heats 1-2, event 2 heat 1, event 3 heat 1 (each with a
// swimmer numbered after the race), and the meet day digit of every race.
struct TitleMeet {
  test::KyogiMeet meet;
  TitleMeet() {
    std::string bytes = test::RaceFileBytes({Heat(1, 1, 2, 11), Heat(1, 2, 2, 12), Heat(2, 1, 1, 13), Heat(3, 1, 1, 14)});
    for (int n = 1; n <= 4; ++n) bytes[static_cast<size_t>(n + 9) * 256 + 250] = '1';
    test::WriteFile(meet.dir / "taikai.dat", bytes);
  }
  std::string Record(int n) const { return meet.RaceBytes().substr(static_cast<size_t>(n + 9) * 256, 256); }
  int Field16(int n, size_t offset) const {
    const std::string f = meet.RaceField(n, offset, 2);
    return static_cast<int16_t>(static_cast<uint8_t>(f[0]) | static_cast<uint8_t>(f[1]) << 8);
  }
  FrmmKkyogiScreen Open(int race) {
    FrmmKkyogiScreen s(meet.dir.path(), race);
    EXPECT_TRUE(s.Open());
    return s;
  }
};

TEST(FrmmKkyogiOpen, TheBoxesShowTheRaceHeading) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(2);
  EXPECT_EQ(s.boxes, (TitleBoxes{"1", "1", "0", "100", "2", "1", "2", "2", "093000", "0"}));
  FrmmKkyogiScreen outside(m.meet.dir.path(), 5);
  EXPECT_FALSE(outside.Open());
}

TEST(FrmmKkyogiZikko, WithoutInsertionOnlyTheHeadingOfTheRaceChanges) {
  TitleMeet m;
  const std::string before = m.meet.RaceBytes();
  FrmmKkyogiScreen s = m.Open(2);
  s.boxes = {"7", "2", "11", "12", "23", "2", "3", "1", "1015", "99999"};
  auto done = s.cmdZikko();
  ASSERT_TRUE(done);
  EXPECT_FALSE(done->inserted);

  std::string expected = before;
  const size_t at = 11 * 256;
  Put(expected, at + 0, Le16(7));
  Put(expected, at + 2, Le16(1));
  Put(expected, at + 4, Le16(3));
  Put(expected, at + 6, "2");
  Put(expected, at + 7, Le16(11));
  Put(expected, at + 9, Le16(12));
  Put(expected, at + 11, Le16(23));
  Put(expected, at + 13, "2");
  Put(expected, at + 14, "1015  ");     // cut or blank-filled to six
  Put(expected, at + 20, Le16(32767));  // a number past 16 bits is clamped
  EXPECT_EQ(m.meet.RaceBytes(), expected);  // lanes, spare bytes and the count stay
}

TEST(FrmmKkyogiZikko, HeatInsertionCopiesTheRaceUpAndKeepsEventNumbers) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(2);
  s.optSohnyu = Insertion::Heat;
  s.boxes.txtKumi = "3";
  const std::string old2 = m.Record(2), old3 = m.Record(3), old4 = m.Record(4);
  ASSERT_TRUE(s.cmdZikko());
  EXPECT_EQ(m.meet.RaceBytes().substr(0, 2), Le16(5));
  EXPECT_EQ(m.Record(3), old2);
  EXPECT_EQ(m.Record(4), old3);
  EXPECT_EQ(m.Record(5), old4);
  // The new race keeps the lanes that stood there; only its heading is typed.
  EXPECT_EQ(m.Field16(2, 2), 3);
  EXPECT_EQ(m.Field16(2, 22), 12);
  EXPECT_EQ(m.meet.RaceField(2, 250, 1), "1");
}

TEST(FrmmKkyogiZikko, EventInsertionRaisesEveryLaterEventNumber) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(3);
  s.optSohnyu = Insertion::Event;
  s.boxes.txtNo = "3";
  ASSERT_TRUE(s.cmdZikko());
  const int events[] = {1, 1, 3, 3, 4};
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(m.Field16(n, 0), events[n - 1]) << n;
}

TEST(FrmmKkyogiZikko, InsertingAtTheLastRaceAppendsACopy) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(4);
  s.optSohnyu = Insertion::Heat;
  s.boxes.txtKumi = "9";
  const std::string old4 = m.Record(4);
  ASSERT_TRUE(s.cmdZikko());
  EXPECT_EQ(m.meet.RaceBytes().size(), 15u * 256);
  EXPECT_EQ(m.Record(5), old4);
  EXPECT_EQ(m.Field16(4, 2), 9);
}

TEST(FrmmKkyogiZikko, InsertionKeepsStatesPagesRelayBlocksAndProgramWithTheirRaces) {
  TitleMeet m;
  m.meet.States("1787");  // race 2 confirmed, race 3 printed, race 4 confirmed
  HandBlock b3, b4, b1;
  b1.raceNo = 1;
  b3.raceNo = 3;
  b4.raceNo = 4;
  m.meet.Relays({b1, b3, b4});
  std::string pages = test::PageHeader(2) + test::PageRecord(2, {1, 2, 0, 0, 0, 0, 0, 0}) +
                      test::PageRecord(2, {3, 4, 0, 0, 0, 0, 0, 0}, 'P');
  test::WriteFile(m.meet.dir / "hpro.dat", pages);
  test::RawEntry e1, e2, e3;
  e1.firstRace = 1;
  e2.firstRace = 3;
  e3.firstRace = 4;
  std::string program = test::HeaderAndUnused(3) + test::EntryRecord(e1) + test::EntryRecord(e2) + test::EntryRecord(e3);
  test::WriteFile(m.meet.dir / "projun.dat", program);

  FrmmKkyogiScreen s = m.Open(2);
  s.optSohnyu = Insertion::Heat;
  auto done = s.cmdZikko();
  ASSERT_TRUE(done);
  EXPECT_EQ(done->raceCount, 5);

  std::string states(1024, '0');
  Put(states, 0, "11787");
  EXPECT_EQ(m.meet.StateBytes(), states);

  std::string relays = m.meet.RelayBytes();
  EXPECT_EQ(relays.substr(10 * 256 + 98, 2), Le16(1));
  EXPECT_EQ(relays.substr(11 * 256 + 98, 2), Le16(4));
  EXPECT_EQ(relays.substr(12 * 256 + 98, 2), Le16(5));

  const std::string expectedPages = test::PageHeader(2) + test::PageRecord(2, {1, 3, 0, 0, 0, 0, 0, 0}) +
                                    test::PageRecord(2, {4, 5, 0, 0, 0, 0, 0, 0}, 'P');
  EXPECT_EQ(test::ReadFile(m.meet.dir / "hpro.dat"), expectedPages);  // the new race 2 is on no page

  e2.firstRace = 4;
  e3.firstRace = 5;
  EXPECT_EQ(test::ReadFile(m.meet.dir / "projun.dat"),
            test::HeaderAndUnused(3) + test::EntryRecord(e1) + test::EntryRecord(e2) + test::EntryRecord(e3));
}

TEST(FrmmKkyogiZikko, AnInsertionPastTheLargestRaceNumberWritesNothing) {
  test::KyogiMeet meet;
  std::string bytes(256 * 10, '\0');
  Put(bytes, 0, Le16(32757));
  bytes.resize(static_cast<size_t>(32757 + 10) * 256, '\0');
  test::WriteFile(meet.dir / "taikai.dat", bytes);
  meet.States("1");
  FrmmKkyogiScreen s(meet.dir.path(), 32757);
  ASSERT_TRUE(s.Open());
  s.optSohnyu = Insertion::Heat;
  auto done = s.cmdZikko();
  ASSERT_FALSE(done);
  EXPECT_EQ(done.error().kind, ErrorKind::Refused);
  EXPECT_EQ(meet.RaceBytes(), bytes);
  EXPECT_FALSE(s.wroteRaceFile());
}

}  // namespace
}  // namespace meet
