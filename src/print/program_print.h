// The printed program: the races of a program page (hpro.dat) with every
// lane's competitor and, once swum, the results held in the race file, so a
// page reprinted after its races is a result sheet.
#pragma once

#include "core/error.h"
#include "core/platform.h"
#include "core/printer.h"
#include "print/print_sources.h"

namespace meet {

namespace program_print {
inline constexpr double kFontSize = 9;
// Individual blocks: two columns of four blocks of twelve lines.
inline constexpr int kIndividualLine = 280;
inline constexpr int kLeftColumn = 567;
inline constexpr int kRightColumn = 5924;
inline constexpr int kIndividualTop = 1000;
inline constexpr int kBlockLines = 12;
// Relay blocks: three across the full width.
inline constexpr int kRelayLine = 264;
inline constexpr int kRelayLeft = 1100;
inline constexpr int kRelayTops[3] = {500, 5355, 10210};
// Offsets of an individual lane line from the block's left edge.
inline constexpr int kName = 300;
inline constexpr int kAffiliation = 1558;      // prefecturePrint "0"
inline constexpr int kAge = 2818;              // prefecturePrint "0"
inline constexpr int kPrefecture = 1458;       // prefecturePrint "1" / "2"
inline constexpr int kAgeOrGrade = 3075;
inline constexpr int kRank = 3421;
inline constexpr int kTimeOrReading = 3934;
inline constexpr int kRecordMark = 4792;
inline constexpr int kStandardFlag = 5202;
// A relay lane line, at page positions.
inline constexpr int kTeamName = 1624;
inline constexpr int kMemberColumns[4] = {3384, 4228, 5072, 5916};
inline constexpr int kMemberWidth = 9;  // bytes of each member's name
inline constexpr int kRelayPrefecture = 6709;
inline constexpr int kRelayAffiliation = 7232;
inline constexpr int kRelayRank = 8552;
inline constexpr int kRelayTime = 9100;
inline constexpr int kRelayMark = 9996;
// The page foot "- p -".
inline constexpr int kFootX = 5300;
inline constexpr int kFootY = 15000;
}  // namespace program_print

// Prints page p of the program on the current printer page, without ending
// the page. A page above the page count prints only its foot; p below 1 is
// refused. `officialsCopy`: the officials' copy (readings instead of times).
Status PrintProgramPage(Printer& printer, const PrintSources& sources, const std::filesystem::path& meetFolder,
                        int page, bool officialsCopy);

// Pages `from`..`to`, `copies` times over (from, …, to, from, …, to), each
// page on its own sheet, as one document ("program-p003-p005") that is ended
// here. Returns the number of sheets printed; a document the printer could
// not print is an error.
Result<int> PrintProgramPages(Platform& platform, const MeetFiles& meet, int from, int to, int copies,
                              bool officialsCopy);

// The first page whose eight slots hold the race, or 0.
int PageOfRace(const std::filesystem::path& meetFolder, int race);

}  // namespace meet
