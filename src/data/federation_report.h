// The federation report: "games.dat" (one line describing the meet) and
// "results.dat" (one line per swim) in the meet folder, Shift-JIS text with
// CR LF line ends and comma-separated values without quotes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/relay_file.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kGamesFileName = "games.dat";
inline constexpr const char* kResultsReportFileName = "results.dat";
inline constexpr int kGamesValues = 109;
inline constexpr int kGamesExtraCommas = 78;
inline constexpr int kResultsValues = 100;

// What the report takes from the program order for the races of one program
// entry: races firstRace … firstRace + heatCount − 1.
struct ReportProgramEntry {
  int16_t firstRace = 0;
  int16_t heatCount = 0;
  std::string dayNo;      // one character
  std::string stageCode;  // one character
};

// A text as one value of a comma-separated line: a comma becomes "，" and
// every character below a blank (line ends, NULs) a blank.
std::string ReportText(std::string_view text);

// The season year: the year of the first day, less one before April.
int SeasonYear(int32_t meetDateFrom);
// The meet day (1–10) whose date is meetDateTo, or 0 when none is.
int MeetDayCount(int32_t meetDateFrom, int32_t meetDateTo);

// Stroke and distance codes of events 1–29 ("1".."7"); empty otherwise.
std::string ReportStroke(int eventCode);
std::string ReportDistance(int eventCode);
// The region of a prefecture number (first two characters of regNo), or
// five blanks.
std::string ReportRegion(std::string_view regNo);
// The record name of a record class 1–31, empty for any other code.
std::string ReportRecordName(int recordClass);

// The 109 values of games.dat (values 12–109 empty).
std::vector<std::string> GamesValues(const Settings& s);
// The line of games.dat in UTF-8 with its CR LF.
std::string GamesLine(const Settings& s);

// Everything one results.dat line is made from.
struct SwimInput {
  const Race* race = nullptr;
  int slot = 0;
  const RelayBlock* block = nullptr;             // the race's relay block, or none
  const Entry* swimmer = nullptr;                // the lane's own entry
  std::array<const Entry*, 4> members{};         // a relay team's four legs, when it is one
  const ReportProgramEntry* program = nullptr;   // the race's program entry, or none
  const Settings* settings = nullptr;
};
// Whether a lane's time is a result the report writes: a time or a status
// code. 0, 999999 and the codes that show as nothing are no result.
bool HasResult(int32_t time);
// Whether a relay block's split is a time (value 37): neither 0 nor a
// status code (a first leg confirmed as 棄権 is no split).
bool IsSplitTime(int32_t split);

// The 100 values of one swim.
std::vector<std::string> SwimValues(const SwimInput& in);
// Values joined: each followed by a comma except the last, then CR LF.
std::string ReportLine(const std::vector<std::string>& values, int extraCommas = 0);

struct FederationReportOutcome {
  std::filesystem::path gamesFile;
  std::filesystem::path resultsFile;
  int swims = 0;
  int lanesWithoutResult = 0;  // lanes with a swimmer but no result, not written
};

// Writes both files, each whole through a temporary file. The race file,
// the entry file and the program entries must be there; relay.dat only when
// a race names a block. A race file or entry file shorter than its count, a
// lane naming an entry the entry file lacks, or a race naming a relay block
// the relay file lacks is refused before anything is written. A lane whose
// swimmer has no result (HasResult) is left out and counted.
Result<FederationReportOutcome> WriteFederationReport(const std::filesystem::path& meetFolder, const Settings& s,
                                                      const std::filesystem::path& entryFile,
                                                      const std::vector<ReportProgramEntry>& program);

}  // namespace meet
