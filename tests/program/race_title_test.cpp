#include "program/race_title.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "print/pages_test_bytes.h"
#include "program/program_test_util.h"
#include "program/projun_file.h"
#include "race/kyogi_fixture.h"

namespace meet {
namespace {

namespace fs = std::filesystem;
using test::HandBlock;
using test::HandRace;
using test::Le16;
using test::Put;
using test::RawEntry;

HandRace Heat(int eventNo, int heat, int total, int lane1 = 0) {
  HandRace r;
  r.eventNo = eventNo;
  r.heatNo = heat;
  r.heatTotal = total;
  r.laneNo[0] = lane1;
  r.laneTime[0] = lane1 * 10;
  return r;
}

// A race as an insertion makes it: the heading only, every lane field zero
// and the standard flags NUL.
HandRace NewRace(int eventNo, int heat, int total) {
  HandRace r;
  r.eventNo = eventNo;
  r.heatNo = heat;
  r.heatTotal = total;
  r.start = "101500";
  r.flags = std::string(12, '\0');
  return r;
}

RawEntry Entry(int orderNo, int heats, int firstRace, int eventCode, const char* day) {
  RawEntry e;
  e.orderNo = orderNo;
  e.heatCount = heats;
  e.firstRace = firstRace;
  e.eventCode = eventCode;
  e.day = day;
  return e;
}

// Every file under the meet folder (backup/ left out), by name.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& f : fs::recursive_directory_iterator(dir)) {
    const std::string name = f.path().lexically_relative(dir).generic_string();
    if (name.starts_with("backup")) continue;
    files[name] = f.is_regular_file() ? test::ReadFile(f.path()) : "(folder)";
  }
  return files;
}

// Races: event 1 heats 1-2, event 2 a relay (block 1), event 3 on day 2,
// each with a swimmer numbered after the race; their program entries, three
// pages, states "1787" and the timing files of races 3 and 4 (lap file in
// lower case).
struct TitleMeet {
  test::KyogiMeet meet;
  std::vector<HandRace> races;
  RawEntry e1 = Entry(1, 2, 1, 2, "1"), e2 = Entry(2, 1, 3, 26, "1"), e3 = Entry(3, 1, 4, 2, "2");
  TitleMeet() {
    meet.fake.dialogs.fallback = true;  // insertions are answered OK
    HandRace relay = Heat(2, 1, 1, 13);
    relay.eventCode = 26;
    relay.relayRec = 1;
    races = {Heat(1, 1, 2, 11), Heat(1, 2, 2, 12), relay, Heat(3, 1, 1, 14)};
    WriteRaces(races, "1112");
    WriteProgram({e1, e2, e3});
    HandBlock b;
    b.raceNo = 3;
    b.legs[0][0] = 7;
    meet.Relays({b});
    test::WriteFile(meet.dir / "hpro.dat", test::PageHeader(3) + test::PageRecord(2, {1, 2, 0, 0, 0, 0, 0, 0}) +
                                               test::PageRecord(1, {3, 0, 0, 0, 0, 0, 0, 0}, 'P') +
                                               test::PageRecord(1, {4, 0, 0, 0, 0, 0, 0, 0}));
    meet.States("1787");
    fs::create_directories(meet.dir / "goal");
    fs::create_directories(meet.dir / "lap");
    test::WriteFile(meet.dir / "goal" / "G0003", "1,5823\r\n");
    test::WriteFile(meet.dir / "goal" / "G0004", "1,6000\r\n");
    test::WriteFile(meet.dir / "lap" / "r0003", "1,\"0:28.34\",\"G\"\r\n");
  }
  void WriteRaces(const std::vector<HandRace>& list, const std::string& days) {
    std::string bytes = test::RaceFileBytes(list);
    for (size_t n = 0; n < days.size(); ++n) bytes[(n + 10) * 256 + 250] = days[n];
    test::WriteFile(meet.dir / "taikai.dat", bytes);
  }
  static std::string ProgramBytes(const std::vector<RawEntry>& entries) {
    std::string bytes = test::HeaderAndUnused(static_cast<int>(entries.size()));
    for (const RawEntry& e : entries) bytes += test::EntryRecord(e);
    return bytes;
  }
  void WriteProgram(const std::vector<RawEntry>& entries) {
    test::WriteFile(meet.dir / "projun.dat", ProgramBytes(entries));
  }
  std::string Record(int n) const { return meet.RaceBytes().substr(static_cast<size_t>(n + 9) * 256, 256); }
  int Field16(int n, size_t offset) const {
    const std::string f = meet.RaceField(n, offset, 2);
    return static_cast<int16_t>(static_cast<uint8_t>(f[0]) | static_cast<uint8_t>(f[1]) << 8);
  }
  FrmmKkyogiScreen Open(int race) {
    FrmmKkyogiScreen s(meet.dir.path(), race, meet.fake.clock, meet.fake.dialogs);
    EXPECT_TRUE(s.Open());
    return s;
  }
};

TEST(FrmmKkyogiOpen, TheBoxesShowTheRaceHeading) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(2);
  EXPECT_EQ(s.boxes, (TitleBoxes{"1", "1", "0", "100", "2", "1", "2", "2", "093000", "0"}));
  FrmmKkyogiScreen outside(m.meet.dir.path(), 5, m.meet.fake.clock, m.meet.fake.dialogs);
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
  Put(expected, at + 14, " 01015");     // hhmmss read right-aligned: 0:10:15
  Put(expected, at + 20, Le16(32767));  // a number past 16 bits is clamped
  EXPECT_EQ(m.meet.RaceBytes(), expected);  // lanes, spare bytes and the count stay
  EXPECT_FALSE(fs::exists(m.meet.dir / "backup"));
}

TEST(FrmmKkyogiZikko, AHeatInsertionWritesEveryFileThatNamesTheMovedRaces) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(2);
  s.optSohnyu = Insertion::Heat;
  s.boxes.txtKumi = "9";  // heats are numbered again whatever is typed
  s.boxes.txtJikan = "101500";
  auto done = s.cmdZikko();
  ASSERT_TRUE(done) << done.error().message;

  // The new race 2 is heat 2 of 3 with empty lanes; the heats around it are
  // numbered 1..3 of 3.
  std::vector<HandRace> races = m.races;
  races[0].heatTotal = 3;
  races[1].heatNo = 3;
  races[1].heatTotal = 3;
  races.insert(races.begin() + 1, NewRace(1, 2, 3));
  std::string expected = test::RaceFileBytes(races);
  const std::string days = "11112";
  for (size_t n = 0; n < days.size(); ++n) expected[(n + 10) * 256 + 250] = days[n];
  EXPECT_EQ(m.meet.RaceBytes(), expected);

  RawEntry e1 = m.e1, e2 = m.e2, e3 = m.e3;
  e1.heatCount = 3;  // its first race stays race 1
  e2.firstRace = 4;
  e3.firstRace = 5;
  EXPECT_EQ(test::ReadFile(m.meet.dir / "projun.dat"), TitleMeet::ProgramBytes({e1, e2, e3}));

  HandBlock b;
  b.raceNo = 4;
  b.legs[0][0] = 7;
  EXPECT_EQ(m.meet.RelayBytes(), test::RelayFileBytes({b}));
  EXPECT_EQ(test::ReadFile(m.meet.dir / "hpro.dat"),
            test::PageHeader(3) + test::PageRecord(2, {1, 3, 0, 0, 0, 0, 0, 0}) +
                test::PageRecord(1, {4, 0, 0, 0, 0, 0, 0, 0}, 'P') + test::PageRecord(1, {5, 0, 0, 0, 0, 0, 0, 0}));
  std::string states(1024, '0');
  Put(states, 0, "11787");
  EXPECT_EQ(m.meet.StateBytes(), states);

  // The timing files moved with their races, the lap file keeping its case.
  EXPECT_EQ(test::ReadFile(m.meet.dir / "goal" / "G0004"), "1,5823\r\n");
  EXPECT_EQ(test::ReadFile(m.meet.dir / "goal" / "G0005"), "1,6000\r\n");
  EXPECT_EQ(test::ReadFile(m.meet.dir / "lap" / "r0004"), "1,\"0:28.34\",\"G\"\r\n");
  EXPECT_FALSE(fs::exists(m.meet.dir / "goal" / "G0003"));
  EXPECT_FALSE(fs::exists(m.meet.dir / "lap" / "r0003"));

  EXPECT_EQ(done->raceCount, 5);
  EXPECT_EQ(done->heatsFrom, 1);
  EXPECT_EQ(done->heats, 3);
  EXPECT_EQ(done->heatsRenumbered, 2);
  EXPECT_EQ(done->timingFilesRenamed, 3);
  EXPECT_EQ(done->statesMoved, 4);
  EXPECT_EQ(done->backups.size(), 5u);  // taikai, projun, relay, hpro, Race.dat
  EXPECT_EQ(test::ReadFile(m.meet.dir / "backup" / "projun.dat.20240501-092500"),
            TitleMeet::ProgramBytes({m.e1, m.e2, m.e3}));
}

TEST(FrmmKkyogiZikko, AnEventInsertionAddsItsProgramEntryAndRelayBlock) {
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(3);  // the relay, first race of event 2
  s.optSohnyu = Insertion::Event;
  s.boxes.txtSei = "2";
  s.boxes.txtShu = "7";  // 1500m自由形: a relay block of its own
  s.boxes.txtYoketu = "2";
  s.boxes.txtJikan = "101500";
  s.boxes.txtRirei = "1";  // the block of the race that stood there is not shared
  auto done = s.cmdZikko();
  ASSERT_TRUE(done) << done.error().message;

  std::vector<HandRace> races = m.races;
  HandRace added = NewRace(2, 1, 1);
  added.sex = "2";
  added.eventCode = 7;
  added.round = "2";
  added.relayRec = 2;
  races[2].eventNo = 3;
  races[3].eventNo = 4;
  races.insert(races.begin() + 2, added);
  std::string expected = test::RaceFileBytes(races);
  const std::string days = "11112";
  for (size_t n = 0; n < days.size(); ++n) expected[(n + 10) * 256 + 250] = days[n];
  EXPECT_EQ(m.meet.RaceBytes(), expected);

  // The new event's entry before the entry of the race that stood there.
  RawEntry entry;
  entry.orderNo = 2;
  entry.heatCount = 1;
  entry.sex = "2";
  entry.ageFrom = 0;
  entry.ageTo = 100;
  entry.eventCode = 7;
  entry.stage = "2";
  entry.start = 101500;
  entry.firstRace = 3;
  entry.seed = "1";
  entry.day = "1";
  RawEntry e2 = m.e2, e3 = m.e3;
  e2.orderNo = 3;
  e2.firstRace = 4;
  e3.orderNo = 4;
  e3.firstRace = 5;
  EXPECT_EQ(test::ReadFile(m.meet.dir / "projun.dat"), TitleMeet::ProgramBytes({m.e1, entry, e2, e3}));

  // relay.dat: the moved block and a fresh block 2 for the new race.
  HandBlock moved, fresh;
  moved.raceNo = 4;
  moved.legs[0][0] = 7;
  fresh.raceNo = 3;
  EXPECT_EQ(m.meet.RelayBytes(), test::RelayFileBytes({moved, fresh}));
  std::string states(1024, '0');
  Put(states, 0, "17187");
  EXPECT_EQ(m.meet.StateBytes(), states);
  EXPECT_EQ(done->programEntryInserted, 2);
  EXPECT_EQ(done->newRelayBlock, 2);
  EXPECT_EQ(done->programNumbersRaised, 2);
}

// Where a heat goes decides the event's heats and its program entry.
TEST(FrmmKkyogiZikko, AHeatInsertionNumbersTheEventsHeatsAgain) {
  struct Row {
    int at;
    std::vector<int> heatNo, heatTotal;  // races 1..5 after
    int firstRace1, heats1, firstRace3, heats3;
  };
  const Row rows[] = {
      {1, {1, 2, 3, 1, 1}, {3, 3, 3, 1, 1}, 1, 3, 5, 1},  // before the first heat: the entry keeps race 1
      {2, {1, 2, 3, 1, 1}, {3, 3, 3, 1, 1}, 1, 3, 5, 1},
      {4, {1, 2, 1, 1, 2}, {2, 2, 1, 2, 2}, 1, 2, 4, 2},  // a second heat of the last event
  };
  for (const Row& row : rows) {
    TitleMeet m;
    FrmmKkyogiScreen s = m.Open(row.at);
    s.optSohnyu = Insertion::Heat;
    auto done = s.cmdZikko();
    ASSERT_TRUE(done) << row.at << ": " << done.error().message;
    for (int n = 1; n <= 5; ++n) {
      EXPECT_EQ(m.Field16(n, 2), row.heatNo[static_cast<size_t>(n - 1)]) << row.at << " race " << n;
      EXPECT_EQ(m.Field16(n, 4), row.heatTotal[static_cast<size_t>(n - 1)]) << row.at << " race " << n;
    }
    const ProgramOrder order = ProgramOrder::FromBytes("p", test::ReadFile(m.meet.dir / "projun.dat"));
    EXPECT_EQ(order.Read(1).firstRace, row.firstRace1) << row.at;
    EXPECT_EQ(order.Read(1).heatCount, row.heats1) << row.at;
    EXPECT_EQ(order.Read(3).firstRace, row.firstRace3) << row.at;
    EXPECT_EQ(order.Read(3).heatCount, row.heats3) << row.at;
  }
}

TEST(FrmmKkyogiZikko, AnEventInsertionNumbersTheLaterEventsInFileOrder) {
  struct Row {
    int at;
    std::vector<int> eventNo;                        // races 1..5 after
    std::vector<std::pair<int, int>> program;        // (orderNo, firstRace) in file order
  };
  const Row rows[] = {
      {1, {1, 2, 2, 3, 4}, {{1, 1}, {2, 2}, {3, 4}, {4, 5}}},
      {4, {1, 1, 2, 3, 4}, {{1, 1}, {2, 3}, {3, 4}, {4, 5}}},
  };
  for (const Row& row : rows) {
    TitleMeet m;
    FrmmKkyogiScreen s = m.Open(row.at);
    s.optSohnyu = Insertion::Event;
    auto done = s.cmdZikko();
    ASSERT_TRUE(done) << row.at << ": " << done.error().message;
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(m.Field16(n, 0), row.eventNo[static_cast<size_t>(n - 1)]) << row.at;
    const ProgramOrder order = ProgramOrder::FromBytes("p", test::ReadFile(m.meet.dir / "projun.dat"));
    ASSERT_EQ(order.count(), 4);
    for (int n = 1; n <= 4; ++n) {
      EXPECT_EQ(order.Read(n).orderNo, row.program[static_cast<size_t>(n - 1)].first) << row.at << " entry " << n;
      EXPECT_EQ(order.Read(n).firstRace, row.program[static_cast<size_t>(n - 1)].second) << row.at << " entry " << n;
    }
  }
}

TEST(FrmmKkyogiZikko, ARefusedInsertionWritesNothing) {
  struct Row {
    const char* what;
    int at;
    Insertion insertion;
    std::function<void(TitleMeet&, FrmmKkyogiScreen&)> tweak;
    const char* says;
  };
  const Row rows[] = {
      {"a heat numbered for another event", 2, Insertion::Heat,
       [](TitleMeet&, FrmmKkyogiScreen& s) { s.boxes.txtNo = "5"; }, "同じ 1 に"},
      {"an event in the middle of an event", 2, Insertion::Event, nullptr, "途中の組"},
      {"no program entry holds the race", 2, Insertion::Heat,
       [](TitleMeet& m, FrmmKkyogiScreen&) { m.WriteProgram({m.e2, m.e3}); }, "projun.dat"},
      {"a stale goal file beyond the last race", 2, Insertion::Heat,
       [](TitleMeet& m, FrmmKkyogiScreen&) { test::WriteFile(m.meet.dir / "goal" / "g0005", "old"); },
       "goal/g0005"},
      {"two spellings of one lap file", 2, Insertion::Heat,
       [](TitleMeet& m, FrmmKkyogiScreen&) { test::WriteFile(m.meet.dir / "lap" / "R0003", "x"); }, "R0003"},
      {"a goal file that is a folder", 2, Insertion::Heat,
       [](TitleMeet& m, FrmmKkyogiScreen&) {
         fs::remove(m.meet.dir / "goal" / "G0004");
         fs::create_directories(m.meet.dir / "goal" / "G0004");
       },
       "G0004"},
  };
  for (const Row& row : rows) {
    TitleMeet m;
    FrmmKkyogiScreen s = m.Open(row.at);
    s.optSohnyu = row.insertion;
    if (row.tweak) row.tweak(m, s);
    const auto before = Snapshot(m.meet.dir.path());
    auto done = s.cmdZikko();
    ASSERT_FALSE(done) << row.what;
    EXPECT_NE(done.error().message.find(row.says), std::string::npos) << row.what << ": " << done.error().message;
    EXPECT_EQ(Snapshot(m.meet.dir.path()), before) << row.what;
    EXPECT_FALSE(fs::exists(m.meet.dir / "backup")) << row.what;
    EXPECT_FALSE(s.wroteRaceFile()) << row.what;
  }
}

// Writes that fail at the k-th call (whole files, renames and Race.dat
// alike), and at `alsoAt` too when set.
class FailingWrites : public TitleWrites {
 public:
  FailingWrites(int at, int alsoAt = 0) : at_(at), alsoAt_(alsoAt) {}
  int calls = 0;
  Status WriteWhole(const fs::path& p, std::string_view b) override {
    return Next() ? TitleWrites::WriteWhole(p, b) : Failed();
  }
  Status Remove(const fs::path& p) override { return Next() ? TitleWrites::Remove(p) : Failed(); }
  Status Rename(const fs::path& a, const fs::path& b) override {
    return Next() ? TitleWrites::Rename(a, b) : Failed();
  }
  Status WriteStates(const fs::path& d, RaceStates& s) override {
    return Next() ? TitleWrites::WriteStates(d, s) : Failed();
  }

 private:
  bool Next() {
    ++calls;
    return calls != at_ && calls != alsoAt_;
  }
  static Status Failed() { return Fail(ErrorKind::Io, "ディスクがいっぱいです"); }
  int at_, alsoAt_;
};

TEST(FrmmKkyogiZikko, AWriteFailingMidwayPutsBackWhatWasWritten) {
  // Both insertions, each write failing in turn: taikai.dat, projun.dat,
  // relay.dat, hpro.dat, the renames and Race.dat.
  for (Insertion insertion : {Insertion::Heat, Insertion::Event}) {
    for (int k = 1;; ++k) {
      TitleMeet m;
      FrmmKkyogiScreen s = m.Open(3);
      s.optSohnyu = insertion;
      const auto before = Snapshot(m.meet.dir.path());
      FailingWrites writes(k);
      s.UseWrites(writes);
      auto done = s.cmdZikko();
      if (done) {
        EXPECT_GT(k, 5) << "every file and rename was written";
        break;
      }
      EXPECT_NE(done.error().message.find("元に戻しました"), std::string::npos) << k << ": " << done.error().message;
      EXPECT_EQ(Snapshot(m.meet.dir.path()), before) << "failing write " << k;
      EXPECT_FALSE(s.wroteRaceFile()) << k;
    }
  }
  // A race file that cannot be put back either is named, and the dialog
  // closes to show what is on disk.
  TitleMeet m;
  FrmmKkyogiScreen s = m.Open(3);
  s.optSohnyu = Insertion::Heat;
  FailingWrites writes(2, 3);  // projun.dat, then putting back taikai.dat
  s.UseWrites(writes);
  auto done = s.cmdZikko();
  ASSERT_FALSE(done);
  EXPECT_NE(done.error().message.find("taikai.dat を元に戻せませんでした"), std::string::npos) << done.error().message;
  EXPECT_TRUE(s.wroteRaceFile());
}

TEST(FrmmKkyogiZikko, AnInsertionPastTheLargestRaceNumberWritesNothing) {
  test::KyogiMeet meet;
  std::string bytes(256 * 10, '\0');
  Put(bytes, 0, Le16(32757));
  bytes.resize(static_cast<size_t>(32757 + 10) * 256, '\0');
  test::WriteFile(meet.dir / "taikai.dat", bytes);
  meet.States("1");
  FrmmKkyogiScreen s(meet.dir.path(), 32757, meet.fake.clock, meet.fake.dialogs);
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
