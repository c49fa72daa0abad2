// The entry file "*.Mos" in the entry folder, written by the entry program.
// This system reads entries but never changes one; it only writes the header
// of a new, empty entry file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/error.h"
#include "core/platform.h"
#include "core/record_file.h"
#include "data/entry_layout.h"

namespace meet {

// Texts are as read: the field's bytes decoded, blanks and NULs kept.
struct EntryHeader {
  int32_t entryCount = 0;
  int16_t entryCourse = 0;
  std::string entryCreated;     // yyyy/mm/dd
  std::string entryMeetAbbrev;
  std::string entryVenue;
  std::string entryDateFrom;    // yyyy/mm/dd
  std::string entryDateTo;      // yyyy/mm/dd
  std::string entryMeetCode;
  int16_t classScheme = 0;
  int16_t entryHeaderSpare = 0;
  std::array<int32_t, 10> entryDays{};
  std::string entryFiller;      // raw bytes, carried
};

// Record 2: the meet's own events 30–44 (slot = event code − 30).
struct EventDefinitions {
  std::array<std::string, 15> extraClassNames;
  std::array<std::string, 15> extraEventNames;
  std::array<char, 15> extraRelayFlags{};  // '1' relay, '0' individual, other: not defined
};

struct Entry {
  int32_t entryNo = 0;
  std::string entryCode7;
  std::string regNo;
  std::string swimmerName;
  std::string swimmerKana;
  std::string prefName;
  std::string entryText6a;
  std::string affiliation;
  std::string entryText6b;
  std::string gradeCode;
  int16_t age = 0;
  std::string sexCode;
  std::string entryFlag;
  std::array<int32_t, 44> entryTimes{};  // index = event code − 1; 0 = not entered
  std::string entryText6c = "000000";
  int32_t entryLong = 0;
  std::string entryEventFlags;   // 44 bytes as read, one per event code (index = code − 1)
  std::string entryEventFlags2;  // 44 bytes as read, one per event code
};

// The entry file's path: entry folder + entry file name, found whatever its
// letter case.
std::filesystem::path EntryFilePath(const std::string& entryFolder, const std::string& entryFileName);

// The open entry file (`OpenEntryFile`); closed when it goes out of scope.
class EntryFile {
 public:
  // Opens (creating when missing) the entry file. A file of 10 bytes or less
  // gets a fresh header: entryCount 0, entryCourse 1, today's date as created
  // and meet dates, the abbreviation from the file name up to its first ".".
  static Result<EntryFile> Open(const std::filesystem::path& path, const Clock& clock);
  // Opens an existing entry file for reading only; nothing is created or
  // written. A missing file reads as empty (no entries, empty definitions).
  static Result<EntryFile> OpenForReading(const std::filesystem::path& path);

  EntryHeader& header() { return header_; }
  const EntryHeader& header() const { return header_; }
  // Entries the file really holds: entryCount clamped to the records present.
  int32_t entriesHeld() const;

  // Entry n: 0 gives the cleared entry; a number above entryCount, below 0 or
  // past the end of the file reads as an empty entry.
  Entry Load(int32_t n) const;
  EventDefinitions Events() const;
  Status SaveHeader();

 private:
  EntryFile(RecordFile file, EntryHeader header) : file_(std::move(file)), header_(std::move(header)) {}
  RecordFile file_;
  EntryHeader header_;
};

// Record conversion. The writers exist for the sample entry file and tests:
// the system itself never writes an entry.
EntryHeader EntryHeaderFromRecord(const Record& record);
Record RecordFromEntryHeader(const EntryHeader& header);
Entry EntryFromRecord(const Record& record);
EventDefinitions EventDefinitionsFromRecord(const Record& record);
Record RecordFromEntry(const Entry& entry);
Record RecordFromEventDefinitions(const EventDefinitions& events);

}  // namespace meet
