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
inline constexpr int kChar = 90;  // a half-width character at 9 points, in twips
// Offsets of an individual lane line from the block's left edge. Each
// column starts where the layout puts it, or one blank after the widest text
// of the column before: the lane number 2, the name 16, the affiliation 10
// (cut to it), the age 2, the grade 4, the place "( 1)" 4, the time 8, the
// record mark 4 half-width characters, the standard flag 1.
inline constexpr int kName = 300;
inline constexpr int kAffiliation = ColumnAfter(1558, kName, 16, kChar);              // 1830, prefecturePrint "0"
inline constexpr int kPrefecture = ColumnAfter(1458, kName, 16, kChar);               // 1830, prefecturePrint "1" / "2"
inline constexpr int kAge = ColumnAfter(2818, kAffiliation, 10, kChar);               // 2820, prefecturePrint "0"
inline constexpr int kAgeOrGrade = ColumnAfter(3075, kAge, 2, kChar);                 // 3090
inline constexpr int kRank = ColumnAfter(3421, kAgeOrGrade, 4, kChar);                // 3540
inline constexpr int kTimeOrReading = ColumnAfter(3934, kRank, 4, kChar);             // 3990
inline constexpr int kRecordMark = ColumnAfter(4792, kTimeOrReading, 8, kChar);       // 4800
inline constexpr int kStandardFlag = ColumnAfter(5202, kRecordMark, 4, kChar);        // 5250
// Where a block's line ends: the next column may start one blank after it.
inline constexpr int kLineEnd = ColumnAfter(0, kStandardFlag, 1, kChar);              // 5430
// Individual blocks: two columns of four blocks of twelve lines; the right
// column one blank after the left one's widest line.
inline constexpr int kIndividualLine = 280;
inline constexpr int kLeftColumn = 567;
inline constexpr int kRightColumn = ColumnAfter(5924, kLeftColumn + kStandardFlag, 1, kChar);  // 5997
inline constexpr int kIndividualTop = 1000;
inline constexpr int kBlockLines = 12;
// Relay blocks: three across the full width.
inline constexpr int kRelayLine = 264;
inline constexpr int kRelayLeft = 1100;
inline constexpr int kRelayTops[3] = {500, 5355, 10210};
// A relay lane line, at page positions: the team's name (16), its four
// members (8 each), prefecture (4), affiliation (12), place, time, mark.
inline constexpr int kTeamName = 1624;
inline constexpr int kMemberWidth = 8;  // bytes of each member's name
inline constexpr int kMemberColumns[4] = {3384, 3384 + 9 * kChar, 3384 + 18 * kChar, 3384 + 27 * kChar};
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
