// Posting the timing system's results (`postTimingResults`, the race
// screen's "確定"): every race the timing system marked "6" gets its splits
// from the lap file, its times from the goal file, placings, levels,
// standards and records, is saved and marked "7"; after the last heat of a
// stage before the final the next stage is seeded from the heats; then,
// unless printing is off, its lap sheet, the event's results and the seeded
// race's sheet and program page are printed and the race marked "8".
//
// Race.dat is changed one state byte at a time, so a "6" the timing system
// writes into another race meanwhile is kept (and posted when this run
// reaches it). A race whose goal file is missing is left as it is, at "6".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "data/race_file.h"
#include "print/print_sources.h"
#include "race/next_stage.h"
#include "settings/settings.h"

namespace meet {

// The lap length the timing system counts in: one pool length (50 m 長水,
// 25 m 短水), doubled when only one end is timed (計時サイド 片側).
int TimingLapLength(const Settings& settings);
// The lap line whose count gives the split: 800 m of the 1500m自由形 (7), the
// first leg of a relay (23–29), over the lap length; 0 when there is none or
// the distance is not a whole number of laps.
int SplitIndex(int eventCode, int lapLength);
// The distance of an event code 1–29 in metres (a relay's whole distance); 0
// for the meet's own events and anything else.
int EventDistance(int eventCode);
// Whether the race sheet of an event has laps at a lap distance (txtmLap):
// the event is longer than the distance; the meet's own events always.
bool RaceHasLaps(int eventCode, int lapDistance);
// The print copy values of posting, counted from 1 in the settings' list, by
// the stage code of the race.
int PostCopies(const Settings& settings, std::string_view roundCode, int first, int second, int other);

struct PostedRace {
  int race = 0;
  char state = '6';  // "7" or "8"
};
struct SeededRace {
  int race = 0;       // the next stage race
  int fromRace = 0;   // the last heat it was seeded from
  int swimmers = 0;   // placed in lanes and alternates
};
struct PrintedDocument {
  std::string what;  // "ラップ", "結果", "レース", "プログラム", "記録", "同記録", "プログラム(決勝)"
  int race = 0;      // the race it is for (the page number for program pages)
  int copies = 0;
};

// A document the printer could not print: the message names the printer and
// the document; the posted races it belongs to stay "7" (none for a ready page).
struct PrintFailure {
  std::string message;
  std::vector<int> races;
};

struct PostReport {
  std::vector<PostedRace> posted;
  std::vector<SeededRace> seeded;
  std::vector<PrintedDocument> printed;  // printed whole, in the order printed
  std::vector<PrintFailure> failures;
  // What the operator is told: races left at "6", lines taken as no result,
  // a next stage not found.
  std::vector<std::string> notes;
  // The race the screen shows afterwards; 0 when nothing was posted (the
  // screen stays where it is).
  int showRace = 0;
  // The failure that stopped the posting after it had begun (a file that
  // could not be written or read): what was done before it is reported above.
  std::optional<Error> stopped;
};

inline constexpr const char* kNothingToPost = "確定するレースはありません。";

// What the operator is told of the failures: one line per document, then
// which races stay "7" to be printed again. Empty without failures.
std::vector<std::string> PrintFailureLines(const PostReport& report);

// Runs the posting over every race of the race file. `printing` is false
// while "印刷しない" is ticked: nothing is printed (record notices neither) and
// the posted races stay "7"; the next stage is seeded all the same. A second
// posting started while one runs is refused.
//
// Each document is printed once per posting: the program pages the seeded
// races are on are printed after every race is in (a page two finals share
// once, with both), and the ready page is never one of them again. A posted
// race is marked "8" only when every document it asked for was printed; a
// document the printer refuses is a failure in the report and the posting
// goes on. Nothing posted prints nothing (no ready page).
Result<PostReport> postTimingResults(const MeetFiles& meet, Platform& platform, bool printing);

}  // namespace meet
