// Hand-built taikai.dat and hpro.dat bytes for the page tests.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace meet::test {

struct RawRace {
  int eventNo = 1, heatNo = 1, heatTotal = 1;
  std::string sex = "1";
  int classFrom = 0, classTo = 100, eventCode = 3;
  std::string round = "1";
  char day = '1';
};

// One 256-byte race record: 0 eventNo, 2 heatNo, 4 heatTotal, 6 sexCode,
// 7 classFrom, 9 classTo, 11 eventCode, 13 roundCode, 14 startTime (6),
// 20 relayRec, 22..249 the lane arrays (zero), 250 raceSpare1, 251 raceSpare2 (5).
inline std::string RaceRecord(const RawRace& r) {
  std::string bytes = Le16(r.eventNo) + Le16(r.heatNo) + Le16(r.heatTotal) + r.sex.substr(0, 1) + Le16(r.classFrom) +
                      Le16(r.classTo) + Le16(r.eventCode) + r.round.substr(0, 1) + std::string(6, ' ') + Le16(0);
  bytes += std::string(250 - bytes.size(), '\0');
  bytes += std::string(1, r.day) + std::string(5, '\0');
  return bytes;
}

// The race file: header (raceCount, 254 NULs), records 2–10 NUL, the races.
inline std::string RaceFileBytes(const std::vector<RawRace>& races, int count = -1) {
  std::string bytes = Le16(count < 0 ? static_cast<int>(races.size()) : count) + std::string(254, '\0');
  bytes += std::string(9 * 256, '\0');
  for (const RawRace& r : races) bytes += RaceRecord(r);
  return bytes;
}

// One 128-byte page record: 0 slotCount, 2 pageRace × 8, 18 pageMark, 19 filler (109).
inline std::string PageRecord(int slotCount, const std::array<int, 8>& races, char mark = '\0', char filler = '\0') {
  std::string bytes = Le16(slotCount);
  for (int r : races) bytes += Le16(r);
  bytes += std::string(1, mark) + std::string(109, filler);
  return bytes;
}

// Record 1 (pageCount, pagePattern, 124 filler bytes) and records 2–10.
inline std::string PageHeader(int count, int pattern = 0, char filler = '\0', char unused = '\0') {
  return Le16(count) + Le16(pattern) + std::string(124, filler) + std::string(9 * 128, unused);
}

// `n` heats 1..n of one event.
inline std::vector<RawRace> Heats(int n, RawRace base) {
  std::vector<RawRace> races;
  for (int h = 1; h <= n; ++h) {
    base.heatNo = h;
    base.heatTotal = n;
    races.push_back(base);
  }
  return races;
}

inline void Append(std::vector<RawRace>& to, const std::vector<RawRace>& more) { to.insert(to.end(), more.begin(), more.end()); }

}  // namespace meet::test
