// The race file "taikai.dat" of the meet folder: every race (one heat of one
// event) with its twelve lane slots. The race buffer and race buffer B of the
// screens are plain `Race` values.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/record_file.h"
#include "data/race_layout.h"

namespace meet {

inline constexpr const char* kRaceFileName = "taikai.dat";

struct Race {
  int16_t raceCount = 0;  // from the header (race buffer only)
  int16_t eventNo = 0;
  int16_t heatNo = 0;
  int16_t heatTotal = 0;
  std::string sexCode;    // one character as read ("1", "2", "3"; NUL when never written)
  int16_t classFrom = 0;
  int16_t classTo = 0;
  int16_t eventCode = 0;
  std::string roundCode;  // one character as read
  // Race buffer: "hh:mm:ss" (colons inserted on loading, removed on saving).
  // Race buffer B: the six characters hhmmss as stored.
  std::string startTime;
  int16_t relayRec = 0;
  std::array<int16_t, 12> laneNo{};
  std::array<int32_t, 12> laneTime{};
  std::array<int32_t, 12> laneEntryTime{};
  std::array<int16_t, 12> laneRank{};
  std::array<int16_t, 12> openLevel{};
  std::array<int16_t, 12> ageLevel{};
  std::array<int16_t, 12> laneRecordClass{};
  std::array<char, 12> standardFlags{};  // "1".."7" or blank per slot, as read
};

// Races in the file: the header's raceCount clamped to 0 .. the race records
// the file holds (0 for a missing file or one of 10 bytes or less).
int16_t ReadRaceCount(const std::filesystem::path& meetFolder);

// Race n (1..32757) into the race buffer: header raceCount, start time as
// hh:mm:ss. A race past the end of the file reads as zeros; a missing file as
// zero races. A race number outside 1..32757 is an error.
Result<Race> LoadRace(const std::filesystem::path& meetFolder, int n);
// Writes the header (raceCount from the buffer, the filler as NUL) and race n;
// the start time loses its colons; raceSpare1 and raceSpare2 are written NUL.
Status SaveRace(const std::filesystem::path& meetFolder, int n, const Race& race);

// The same for race buffer B: the header is neither read nor written and the
// start time keeps its six-character form.
Result<Race> LoadRaceB(const std::filesystem::path& meetFolder, int n);
Status SaveRaceB(const std::filesystem::path& meetFolder, int n, const Race& race);

// Record conversion, shared by the routines above and by batch commands that
// read the whole file.
Race RaceFromRecord(const Record& record, bool bufferA);
Record RecordFromRace(const Race& race, bool bufferA);

}  // namespace meet
