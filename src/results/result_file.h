// The result file for the entry program: a copy of the entry file (".kek" in
// the entry folder, same 384-byte layout) holding each swimmer's best written
// result per event with its meet day, and ind2.dat in the meet folder, the
// entries' personal data. Everything is built in memory from the entry file,
// projun.dat, taikai.dat, relay.dat and shikaku.dat, and each file is written
// once, whole, through a temporary file; the entry file is only read.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/record_file.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/relay_file.h"
#include "program/projun_file.h"
#include "records/shikaku_file.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kInd2FileName = "ind2.dat";
inline constexpr const char* kResultFileExtension = ".kek";

// Which standard "標準突破記録の書出" compares with (optKiroku 0–2).
enum class StandardChoice { None = -1, Standard1 = 0, Standard2 = 1, Standard4 = 2 };

struct ResultFileOptions {
  bool writeResults = false;    // chkKubun(1) 結果記録の書出
  bool finalsOnly = false;      // optYoketu(1) 決勝のみ
  int places = 0;               // txtNin, with 決勝のみ
  bool writeStandards = false;  // chkKubun(2) 標準突破記録の書出
  StandardChoice standard = StandardChoice::None;
  bool with800 = false;         // chkTochu(0) 1500m途中記録(800m)を含む
  bool withFirstLeg = false;    // chkTochu(1) リレー第一泳者記録を含む
  bool dropEmpty = false;       // chkKubun(0) 無該当者削除
};

// The result file's name for an entry file: its name up to the first "."
// followed by ".kek".
std::string ResultFileNameFor(std::string_view entryFileName);

// The dates of meet days 1–10 as yyyymmdd from the first day's date.
std::array<int32_t, 10> MeetDayDates(int32_t firstDay);

// Day 1 of the result file: the settings' first day (meetDateFrom); the
// entry header's first date only when the settings hold neither date. A
// settings date that is no calendar day, a last day without a first, or a
// last day before the first or more than ten days on is refused, naming it.
struct FirstMeetDay {
  int32_t date = 0;           // yyyymmdd
  bool fromSettings = false;  // false: from the entry file's header
};
Result<FirstMeetDay> ResultFileFirstDay(const Settings& s, const Record& entryHeader);

// The event a split time is also written for: 6 for the 1500m (7); the
// first leg's event for relays 23–29 (8, 9, 10, 1, 2, 3, 4); 0 otherwise.
int SplitEvent(int eventCode);

// The inputs of one run, read whole.
struct ResultSources {
  Record entryHeader{entry_layout::kRecordLength};
  std::vector<Record> entries;                 // entry n at index n − 1
  std::vector<ProgramEntry> program;           // entries 1..N
  std::vector<Race> races;                     // race n at index n − 1
  std::vector<RelayBlock> blocks;              // block b at index b − 1
  std::optional<ShikakuTable> standards;       // read when standards are written
};

// The two files' bytes.
struct ResultFileBytes {
  std::string resultFile;
  std::string ind2;
  int entriesKept = 0;
  int resultsWritten = 0;
  FirstMeetDay firstDay;
};

// Algorithms in their order: ind2.dat, the copy with the day dates and zeroed
// results, the results, the standard results, the removal of entries without
// results. An error (a race or relay block the files lack, a lane naming an
// entry that is not there, meet dates that are no dates) leaves nothing
// built.
Result<ResultFileBytes> BuildResultFile(const ResultSources& in, const Settings& s, const ResultFileOptions& options);

struct ResultFileOutcome {
  std::filesystem::path resultFile;
  std::filesystem::path ind2File;
  int entries = 0;        // in the entry file
  int entriesKept = 0;    // in the result file
  int resultsWritten = 0;
  FirstMeetDay firstDay;  // day 1 of the ten day dates, and where it came from
};

// The line saying where the ten meet days of the result file came from.
std::string MeetDaysNote(const FirstMeetDay& firstDay);

// Program entries 1..N of projun.dat; a missing file, or one shorter than
// its count, is an error.
Result<std::vector<ProgramEntry>> LoadWholeProgram(const std::filesystem::path& meetFolder);

// Reads the sources (projun.dat and taikai.dat only when results or
// standards are written, relay.dat only for split times, shikaku.dat only
// for standards; each must then be there and whole), builds both files and
// writes ind2.dat, then the result file. `resultFileName` is a plain file
// name in the entry folder, never the entry file itself.
Result<ResultFileOutcome> MakeResultFile(const std::filesystem::path& meetFolder, const std::string& entryFolder,
                                         const std::string& entryFileName, const std::string& resultFileName,
                                         const Settings& s, const ResultFileOptions& options);

}  // namespace meet
