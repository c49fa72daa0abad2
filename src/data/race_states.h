// The race state file Race.dat of the meet folder: one character per race,
// character i (from 1) the state of race i of the race file:
//   "0" no race, "1" seeded, "6" waiting in the timing system's files,
//   "7" results entered or changed and not printed, "8" printed.
// The file is made of 1024-byte records. Up to 1024 races it is the single
// record the timing system knows; a meet with more races extends it by whole
// records, so race i always keeps its state at byte i − 1.
//
// The timing system writes "6" into the file at any time, so a change writes
// only the bytes that change, at their offsets, never a whole record read
// earlier.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "core/error.h"

namespace meet {

inline constexpr const char* kRaceStateFileName = "Race.dat";
inline constexpr size_t kRaceStateRecordLength = 1024;
// The most bytes read: the 32 records that 32757 races need.
inline constexpr size_t kRaceStateMaxBytes = 32 * kRaceStateRecordLength;

inline constexpr char kStateNoRace = '0';
inline constexpr char kStateSeeded = '1';
inline constexpr char kStateTimingWaiting = '6';
inline constexpr char kStateChanged = '7';
inline constexpr char kStatePrinted = '8';

// The state text of Race.dat as read, with the changes made since. Only the
// changed characters are written back.
class RaceStates {
 public:
  // Reads the whole file (found whatever its letter case). A missing file
  // reads as no states.
  static Result<RaceStates> Read(const std::filesystem::path& meetFolder);

  // The state of race n (from 1) with the changes made; '\0' for a race the
  // file does not reach (or n below 1).
  char state(int n) const;
  // Changes race n's state in memory (n 1..32757; anything else is ignored).
  void Set(int n, char state);
  // Writes the changed characters at their offsets. A race past the end of
  // the file extends it by whole 1024-byte records filled with "0".
  Status Write(const std::filesystem::path& meetFolder);

  // The text as read, with the changes made (length = the file's).
  std::string text() const;
  size_t size() const { return text_.size(); }

 private:
  std::string text_;               // as read
  std::map<int, char> changes_;    // race → new state
};

// The file seeding leaves: "1" for races 1..raceCount, "0" for the rest of
// its records; one record for up to 1024 races, else as many whole records as
// the races need. Written whole (temporary file and rename) under the name of
// the existing file, or "Race.dat".
Status CreateRaceStates(const std::filesystem::path& meetFolder, int raceCount);

// The bytes CreateRaceStates writes.
std::string RaceStateFileBytes(int raceCount);

}  // namespace meet
