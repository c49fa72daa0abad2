// A meet folder for the ranking lists: hand-built race, entry and relay files
// (the race screen's fixture) and a program order built from its layout.
#pragma once

#include <string>
#include <vector>

#include "print/print_sources.h"
#include "race/kyogi_fixture.h"

namespace meet::test {

struct HandProgramEntry {
  int orderNo = 1, heatCount = 1;
  std::string sex = "1";
  int ageFrom = 0, ageTo = 100, eventCode = 2;
  std::string stage = "1";
  int firstRace = 1;
};

// One projun.dat record: every field at its offset, the filler blank.
inline std::string ProgramRecordBytes(const HandProgramEntry& e) {
  std::string rec(64, '\0');
  Put(rec, 0, Le16(e.orderNo));
  Put(rec, 2, Le16(e.heatCount));
  Put(rec, 4, e.sex.substr(0, 1));
  Put(rec, 5, Le16(e.ageFrom));
  Put(rec, 7, Le16(e.ageTo));
  Put(rec, 9, Le16(e.eventCode));
  Put(rec, 11, e.stage.substr(0, 1));
  Put(rec, 24, Le16(e.firstRace));
  Put(rec, 26, "1");
  Put(rec, 27, "1");
  Put(rec, 32, std::string(32, ' '));
  return rec;
}

// Header (count and 62 blanks), records 2–10, the entries.
inline std::string ProgramFileBytes(const std::vector<HandProgramEntry>& entries) {
  std::string header = Le16(static_cast<int>(entries.size())) + std::string(62, ' ');
  std::string bytes = header + std::string(64 * 9, '\0');
  for (const auto& e : entries) bytes += ProgramRecordBytes(e);
  return bytes;
}

struct RankingMeet : KyogiMeet {
  RankingMeet() {
    settings.laneCount = 8;
    settings.meetAbbrev = "練習";
  }
  MeetFiles files() const { return MeetFiles{dir.path(), settings}; }
  void Program(const std::vector<HandProgramEntry>& entries) {
    WriteFile(dir / "projun.dat", ProgramFileBytes(entries));
  }
};

// A swimmer of the hand-built entry file.
inline HandEntry RankSwimmer(const std::string& name, int age = 12, const std::string& regNo = "2301234567") {
  return HandEntry{regNo, name, "ｶﾅ", "東京都", "青葉ＳＣ", "23", age};
}

}  // namespace meet::test
