// A meet folder for the race screen's tests, its files built byte by byte
// from their layouts: the race file (256-byte records), the entry file (384),
// the relay file (256), the standards table (384) and Race.dat.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/test_support.h"

namespace meet::test {

// Places bytes into a record at an offset.
inline void Put(std::string& record, size_t offset, const std::string& bytes) {
  record.replace(offset, bytes.size(), bytes);
}

struct HandRace {
  int eventNo = 1, heatNo = 1, heatTotal = 1;
  std::string sex = "1";
  int classFrom = 0, classTo = 100, eventCode = 2;
  std::string round = "1";
  std::string start = "093000";
  int relayRec = 0;
  std::array<int, 12> laneNo{}, laneTime{}, entryTime{}, rank{}, openLevel{}, ageLevel{}, recordClass{};
  std::string flags = std::string(12, ' ');
};

// One race record: every field at its offset of the race layout.
inline std::string RaceRecordBytes(const HandRace& r) {
  std::string rec(256, '\0');
  Put(rec, 0, Le16(r.eventNo));
  Put(rec, 2, Le16(r.heatNo));
  Put(rec, 4, Le16(r.heatTotal));
  Put(rec, 6, r.sex.substr(0, 1));
  Put(rec, 7, Le16(r.classFrom));
  Put(rec, 9, Le16(r.classTo));
  Put(rec, 11, Le16(r.eventCode));
  Put(rec, 13, r.round.substr(0, 1));
  Put(rec, 14, r.start.substr(0, 6));
  Put(rec, 20, Le16(r.relayRec));
  for (size_t k = 0; k < 12; ++k) {
    Put(rec, 22 + 2 * k, Le16(r.laneNo[k]));
    Put(rec, 46 + 4 * k, Le32(r.laneTime[k]));
    Put(rec, 94 + 4 * k, Le32(r.entryTime[k]));
    Put(rec, 142 + 2 * k, Le16(r.rank[k]));
    Put(rec, 166 + 2 * k, Le16(r.openLevel[k]));
    Put(rec, 190 + 2 * k, Le16(r.ageLevel[k]));
    Put(rec, 214 + 2 * k, Le16(r.recordClass[k]));
  }
  Put(rec, 238, r.flags.substr(0, 12));
  return rec;
}

// Header (race count), records 2–10 unused, then the races.
inline std::string RaceFileBytes(const std::vector<HandRace>& races, int headerCount = -1) {
  std::string bytes(256 * 10, '\0');
  Put(bytes, 0, Le16(headerCount < 0 ? static_cast<int>(races.size()) : headerCount));
  for (const HandRace& r : races) bytes += RaceRecordBytes(r);
  return bytes;
}

struct HandEntry {
  std::string regNo, name, kana, pref, affiliation, grade;
  int age = 0;
  std::string sex = "1";
};

// Entry file: header (count, class scheme), record 2 (relay flags of the
// meet's own events), records 3–10, the entries.
inline std::string EntryFileBytes(const std::vector<HandEntry>& entries, int classScheme = 0,
                                  const std::string& relayFlags = std::string(15, '0')) {
  std::string header(384, '\0');
  Put(header, 0, Le32(static_cast<int64_t>(entries.size())));
  Put(header, 4, Le16(1));
  Put(header, 63, Le16(classScheme));
  std::string events(384, '\0');
  Put(events, 360, relayFlags.substr(0, 15));
  std::string bytes = header + events + std::string(384 * 8, '\0');
  int n = 1;
  for (const HandEntry& e : entries) {
    std::string rec(384, '\0');
    Put(rec, 0, Le32(n++));
    Put(rec, 11, Sjis(e.regNo, 14));
    Put(rec, 25, Sjis(e.name, 16));
    Put(rec, 41, Sjis(e.kana, 16));
    Put(rec, 57, Sjis(e.pref, 8));
    Put(rec, 71, Sjis(e.affiliation, 12));
    Put(rec, 89, Sjis(e.grade, 2));
    Put(rec, 91, Le16(e.age));
    Put(rec, 93, e.sex.substr(0, 1));
    bytes += rec;
  }
  return bytes;
}

struct HandBlock {
  int raceNo = 0;
  std::array<std::array<int, 12>, 4> legs{};  // legs[l][slot]
  std::array<int, 10> splits{};
};

// Relay file: header (block count), records 2–10, blocks from 1.
inline std::string RelayFileBytes(const std::vector<HandBlock>& blocks) {
  std::string bytes(256 * 10, '\0');
  Put(bytes, 0, Le16(static_cast<int>(blocks.size())));
  int b = 1;
  for (const HandBlock& block : blocks) {
    std::string rec(256, '\0');
    Put(rec, 0, Le16(b++));
    for (size_t l = 0; l < 4; ++l)
      for (size_t k = 0; k < 12; ++k) Put(rec, 2 + 2 * (l * 12 + k), Le16(block.legs[l][k]));
    Put(rec, 98, Le16(block.raceNo));
    for (size_t k = 0; k < 10; ++k) Put(rec, 100 + 4 * k, Le32(block.splits[k]));
    bytes += rec;
  }
  return bytes;
}

// A standards table of `records` records of 384 bytes with the given times:
// {record, cell, time}.
struct HandCell {
  int record, cell, time;
};
inline std::string ShikakuBytes(int records, const std::vector<HandCell>& cells) {
  std::string bytes(static_cast<size_t>(records) * 384, '\0');
  for (int r = 1; r <= records; ++r) Put(bytes, static_cast<size_t>(r - 1) * 384, Le16(r));
  for (const HandCell& c : cells)
    if (c.record <= records) Put(bytes, static_cast<size_t>(c.record - 1) * 384 + 2 + 4 * static_cast<size_t>(c.cell), Le32(c.time));
  return bytes;
}

struct KyogiMeet {
  TempDir dir;
  FakePlatform fake;
  Settings settings;

  KyogiMeet() {
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    settings.classMode = "0";
    settings.seedingMode = "0";
    fake.clock.now = DateTime{2024, 5, 1, 9, 25, 0};
  }
  void Races(const std::vector<HandRace>& races, int headerCount = -1) {
    WriteFile(dir / "taikai.dat", RaceFileBytes(races, headerCount));
  }
  void Entries(const std::vector<HandEntry>& entries, int classScheme = 0,
               const std::string& relayFlags = std::string(15, '0')) {
    WriteFile(dir / "ind.Mos", EntryFileBytes(entries, classScheme, relayFlags));
  }
  void Relays(const std::vector<HandBlock>& blocks) { WriteFile(dir / "relay.dat", RelayFileBytes(blocks)); }
  void States(const std::string& firstStates) {
    std::string bytes(1024, '0');
    Put(bytes, 0, firstStates);
    WriteFile(dir / "Race.dat", bytes);
  }
  std::string RaceBytes() const { return ReadFile(dir / "taikai.dat"); }
  std::string RelayBytes() const { return ReadFile(dir / "relay.dat"); }
  std::string StateBytes() const { return ReadFile(dir / "Race.dat"); }
  // A field of race n at an offset of its record.
  std::string RaceField(int n, size_t offset, size_t width) const {
    return RaceBytes().substr(static_cast<size_t>(n + 9) * 256 + offset, width);
  }
};

}  // namespace meet::test
