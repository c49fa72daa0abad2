// Meet folders for the seeding tests: an entry file and a program order built
// byte by byte from their layout tables, and readers of the race, relay and
// program bytes by the offsets of their tables.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/error.h"
#include "program/program_test_util.h"
#include "program/seeding.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace meet::test {

struct Swimmer {
  int time = 0;             // entry time of `event`
  int event = 3;
  std::string sex = "1";
  int age = 20;
  std::string grade = "  ";  // 2 characters
  std::string pref = "13";   // first two characters of regNo
  std::map<int, int> more = {};  // further events → times
};

// One 384-byte entrant record: 0 entryNo, 4 code (7), 11 regNo (14), 25 name
// (16), 41 kana (16), 57 prefecture name (8), 65 text (6), 71 affiliation
// (12), 83 text (6), 89 grade (2), 91 age, 93 sex, 94 flag, 95 44 entry
// times, 271 six digits, 277 Long, 281 44 flags, 325 44 flags, 369 tail (15).
inline std::string EntrantRecord(int number, const Swimmer& s) {
  std::string r = Le32(number) + std::string(7, ' ') + Sjis(s.pref + "00100000000", 14) + Sjis("選手", 16) +
                  std::string(16, ' ') + std::string(8, ' ') + std::string(6, ' ') + std::string(12, ' ') +
                  std::string(6, ' ') + s.grade.substr(0, 2) + std::string(2 - std::min<size_t>(2, s.grade.size()), ' ') +
                  Le16(s.age) + s.sex.substr(0, 1) + " ";
  for (int ev = 1; ev <= 44; ++ev) {
    int t = 0;
    if (ev == s.event) t = s.time;
    if (auto it = s.more.find(ev); it != s.more.end()) t = it->second;
    r += Le32(t);
  }
  r += "000000" + Le32(0) + std::string(44, '0') + std::string(44, '0') + std::string(15, ' ');
  return r;
}

// Header (entryCount, course 0, blank texts), record 2 (blank names, relay
// flags "0"), records 3–10 empty, then the entrants.
inline std::string EntryFileBytes(const std::vector<Swimmer>& swimmers, int count = -1) {
  std::string header = Le32(count < 0 ? static_cast<int>(swimmers.size()) : count) + Le16(0);
  header.resize(384, ' ');
  std::string events = std::string(360, ' ') + std::string(15, '0') + std::string(9, ' ');
  std::string bytes = header + events + std::string(8 * 384, '\0');
  for (size_t k = 0; k < swimmers.size(); ++k) bytes += EntrantRecord(static_cast<int>(k + 1), swimmers[k]);
  return bytes;
}

// Fields of race n of a taikai.dat image (record n + 10, 256 bytes).
inline size_t RaceAt(int n) { return static_cast<size_t>(n + 9) * 256; }
inline int I16Of(const std::string& b, size_t at) {
  if (at + 2 > b.size()) return 0;
  return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}
inline int I32Of(const std::string& b, size_t at) {
  if (at + 4 > b.size()) return 0;
  uint32_t v = 0;
  for (size_t k = 0; k < 4; ++k) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + k])) << (8 * k);
  return static_cast<int32_t>(v);
}
// laneNo of slots 0..lanes−1 of race n.
inline std::vector<int> LaneEntrants(const std::string& race, int n, int lanes = 8) {
  std::vector<int> v;
  for (int k = 0; k < lanes; ++k) v.push_back(I16Of(race, RaceAt(n) + 22 + 2 * static_cast<size_t>(k)));
  return v;
}
// laneEntryTime of slots 0..lanes−1 of race n.
inline std::vector<int> LaneTimes(const std::string& race, int n, int lanes = 8) {
  std::vector<int> v;
  for (int k = 0; k < lanes; ++k) v.push_back(I32Of(race, RaceAt(n) + 94 + 4 * static_cast<size_t>(k)));
  return v;
}
// The lane (1..12) of an entrant in race n, 0 when absent.
inline int LaneOf(const std::string& race, int n, int entrant) {
  for (int k = 0; k < 12; ++k)
    if (I16Of(race, RaceAt(n) + 22 + 2 * static_cast<size_t>(k)) == entrant) return k + 1;
  return 0;
}
// Entrants of race n, any lane.
inline int EntrantCount(const std::string& race, int n) {
  int c = 0;
  for (int k = 0; k < 12; ++k) c += I16Of(race, RaceAt(n) + 22 + 2 * static_cast<size_t>(k)) != 0;
  return c;
}

// Program entry n of a projun.dat image (record n + 10, 64 bytes).
inline size_t ProgramAt(int n) { return static_cast<size_t>(n + 9) * 64; }

struct SeedMeet {
  TempDir dir;
  FakePlatform fake;
  Settings settings;
  SeedingOptions options;

  SeedMeet() {
    settings.laneCount = 8;
    settings.seedingMode = "0";
    settings.classMode = "0";
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    fake.clock.now = DateTime{2026, 12, 8, 9, 30, 0};
  }
  void Entrants(const std::vector<Swimmer>& swimmers) { WriteFile(dir / "ind.Mos", EntryFileBytes(swimmers)); }
  void Program(const std::vector<RawEntry>& entries) {
    std::string bytes = HeaderAndUnused(static_cast<int>(entries.size()));
    for (const RawEntry& e : entries) bytes += EntryRecord(e);
    WriteFile(dir / "projun.dat", bytes);
  }
  Result<SeedingSummary> Run() { return RunSeeding(dir.path(), settings, options, fake.dialogs, fake.clock); }
  std::string Race() const { return ReadFile(dir / "taikai.dat"); }
  std::string Relay() const { return ReadFile(dir / "relay.dat"); }
  std::string ProgramBytes() const { return ReadFile(dir / "projun.dat"); }
  std::string States() const { return ReadFile(dir / "Race.dat"); }
};

// A program entry to be seeded from the entries.
inline RawEntry Seeded(int eventCode = 3, const std::string& stage = "2", const std::string& sex = "1") {
  return RawEntry{.orderNo = 1, .heatCount = 0, .sex = sex, .ageFrom = 1, .ageTo = 100, .eventCode = eventCode,
                  .stage = stage, .seed = "1", .day = "1"};
}

// n swimmers of event 3 with times 6000 + k (swimmer k + 1 is the k-th fastest).
inline std::vector<Swimmer> Field(int n, int event = 3) {
  std::vector<Swimmer> v;
  for (int k = 0; k < n; ++k) v.push_back(Swimmer{.time = 6000 + k, .event = event});
  return v;
}

}  // namespace meet::test
