// The program order "projun.dat" of the meet folder: one entry per sex, age
// band, event and stage, with its heats, first race and times. Commands read
// the whole file into a ProgramOrder, change entries in memory and write it
// back once; the bytes left on disk are those that writing the same entries
// record by record would leave (records 2–10 and records beyond N are kept).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/record_file.h"
#include "program/projun_layout.h"

namespace meet {

inline constexpr const char* kProgramFileName = "projun.dat";

struct ProgramEntry {
  int16_t orderNo = 0;        // 順; 0 = hidden unless "全種目表示"
  int16_t heatCount = 0;      // 組数
  std::string sexCode;        // one character ("" when the byte is NUL)
  int16_t ageFrom = 0;
  int16_t ageTo = 0;
  int16_t eventCode = 0;      // 1–29, 30–44
  std::string stageCode;      // one character
  int32_t perHeatTime = 0;    // MMSS
  int32_t totalTime = 0;      // HHMMSS
  int32_t startTime = 0;      // HHMMSS
  int16_t firstRace = 0;
  std::string seedFlag;       // one character
  std::string dayNo;          // one character
  int16_t entrySpare = 0;
  int16_t excludedHeats = 0;

  bool operator==(const ProgramEntry&) const = default;
};

// The blank entry: orderNo 1, every other number 0, the texts empty.
ProgramEntry BlankProgramEntry();

// Record conversion. A one-character field reads as its character, a NUL
// byte as empty; an empty field is written as NUL, the filler as blanks.
ProgramEntry ProgramEntryFromRecord(const Record& record);
Record RecordFromProgramEntry(const ProgramEntry& entry);
// Record 1: the count and 62 blanks.
Record ProgramHeaderRecord(int16_t count);

// Program times are plain decimal HHMMSS and MMSS numbers.
int64_t HhmmssToSeconds(int64_t hhmmss);
int64_t SecondsToHhmmss(int64_t seconds);
int64_t MmssToSeconds(int64_t mmss);

// The whole file in memory for one command.
class ProgramOrder {
 public:
  // Reads projun.dat (found whatever its letter case). A missing file reads
  // as no entries; a file shorter than 11 bytes has no entries; the header
  // count is clamped to 0 .. the entry records the file holds.
  static Result<ProgramOrder> Load(const std::filesystem::path& meetFolder);
  // An order over the given file bytes (tests, batch tools).
  static ProgramOrder FromBytes(std::filesystem::path path, std::string bytes);

  int count() const { return count_; }
  void SetCount(int n);

  // Entry n (record n + 10); past the end of the file it reads as zeros.
  ProgramEntry Read(int n) const;
  // Writes entry n as record n + 10 and the current count into record 1.
  // n must be 1..32767.
  Status Write(int n, const ProgramEntry& entry);
  // Writes the current count into record 1.
  void WriteHeader();

  bool changed() const { return changed_; }
  // Writes the file back whole (temporary file and rename) when it changed.
  Status Save();

  const std::string& bytes() const { return bytes_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  void PutRecord(int64_t recordNo, const Record& record);
  std::filesystem::path path_;
  std::string bytes_;
  int count_ = 0;
  bool changed_ = false;
};

// Entries 1..N in file order.
Result<std::vector<ProgramEntry>> LoadProgramEntries(const std::filesystem::path& meetFolder);

// The meet day of races 1..raceCount (index r − 1): the dayNo of the first
// numbered entry (orderNo ≠ 0) whose races firstRace .. firstRace +
// heatCount − 1 include race r; NUL for a race no entry holds.
std::vector<char> RaceDays(const ProgramOrder& order, int raceCount);

}  // namespace meet
