// Hand-built projun.dat records for the program tests.
#pragma once

#include <string>

#include "support/test_support.h"

namespace meet::test {

struct RawEntry {
  int orderNo = 1, heatCount = 0;
  std::string sex = "1";
  int ageFrom = 0, ageTo = 0, eventCode = 1;
  std::string stage = "1";
  int perHeat = 0, total = 0, start = 0, firstRace = 0;
  std::string seed = "1", day = "1";
  int spare = 0, excluded = 0;
};

// One 64-byte entry record built from the layout: offsets 0 orderNo, 2
// heatCount, 4 sexCode, 5 ageFrom, 7 ageTo, 9 eventCode, 11 stageCode, 12
// perHeatTime, 16 totalTime, 20 startTime, 24 firstRace, 26 seedFlag, 27
// dayNo, 28 entrySpare, 30 excludedHeats, 32 filler of blanks.
inline std::string EntryRecord(const RawEntry& e) {
  auto one = [](const std::string& c) { return c.empty() ? std::string(1, '\0') : c.substr(0, 1); };
  return Le16(e.orderNo) + Le16(e.heatCount) + one(e.sex) + Le16(e.ageFrom) + Le16(e.ageTo) + Le16(e.eventCode) +
         one(e.stage) + Le32(e.perHeat) + Le32(e.total) + Le32(e.start) + Le16(e.firstRace) + one(e.seed) +
         one(e.day) + Le16(e.spare) + Le16(e.excluded) + std::string(32, ' ');
}

// Record 1 (count and 62 blanks) and records 2–10 filled with `unused`.
inline std::string HeaderAndUnused(int count, char unused = 'u') {
  return Le16(count) + std::string(62, ' ') + std::string(9 * 64, unused);
}

}  // namespace meet::test

#include "data/entry_file.h"
#include "program/frm_projun_screen.h"
#include "settings/settings.h"

namespace meet::test {

// An entry file with the given entries (record 1 header, record 2 the meet's
// own events, records 3–10 empty), written with the entry file's own layout.
inline void WriteEntryFile(const std::filesystem::path& path, const std::vector<Entry>& entries,
                           const EventDefinitions& events = {}) {
  EntryHeader header;
  header.entryCount = static_cast<int32_t>(entries.size());
  std::string bytes = RecordFromEntryHeader(header).bytes() + RecordFromEventDefinitions(events).bytes() +
                      std::string(8 * 384, '\0');
  for (const Entry& e : entries) bytes += RecordFromEntry(e).bytes();
  WriteFile(path, bytes);
}

// A meet folder with projun.dat and the settings the editor needs.
struct ProgramMeet {
  TempDir dir;
  FakePlatform fake;
  Settings settings;

  ProgramMeet() {
    settings.classMode = "0";
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    settings.meetAbbrev = "市民";
    settings.meetCode = "1234567";
    fake.dialogs.fallback = true;
  }
  void WriteProgram(const std::vector<RawEntry>& entries, int count = -1) {
    std::string bytes = HeaderAndUnused(count < 0 ? static_cast<int>(entries.size()) : count);
    for (const RawEntry& e : entries) bytes += EntryRecord(e);
    WriteFile(dir / "projun.dat", bytes);
  }
  std::string ProgramBytes() const { return ReadFile(dir / "projun.dat"); }
  FrmProjunScreen Open() {
    FrmProjunScreen screen(dir.path(), settings, fake.platform);
    auto ok = screen.Open();
    EXPECT_TRUE(ok) << (ok ? "" : ok.error().message);
    return screen;
  }
};

}  // namespace meet::test
