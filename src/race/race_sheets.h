// The race screen's own sheets: the race sheet of one heat (who swims in
// which lane) and the lap sheet (each swimmer's result with every split and
// lap time from the timing system's lap file). The race screen's print menu,
// posting and meetctl print them through these entry points.
#pragma once

#include "core/error.h"
#include "core/platform.h"
#include "data/race_file.h"
#include "print/print_sources.h"
#include "race/timing_files.h"

namespace meet {

namespace race_sheet {
inline constexpr double kFontSize = 10;
inline constexpr int kChar = 100;  // a half-width character at 10 points, in twips
inline constexpr int kTop = 1000;
inline constexpr int kLeft = 500;
// Each column starts where the layout puts it, or one blank after the
// widest text of the column before (name 16, reading 12, prefecture 8,
// affiliation 12, grade 9 ("160-199歳" of a relay team), age 3 half-width
// characters).
inline constexpr int kName = 1078;
inline constexpr int kKana = ColumnAfter(2553, kName, 16, kChar);               // 2778
inline constexpr int kPrefecture = ColumnAfter(3866, kKana, 12, kChar);         // 4078
inline constexpr int kAffiliation = ColumnAfter(4716, kPrefecture, 8, kChar);   // 4978
inline constexpr int kGrade = ColumnAfter(6090, kAffiliation, 12, kChar);       // 6278
inline constexpr int kAge = ColumnAfter(6417, kGrade, 9, kChar);                // 7278
inline constexpr int kEntryTime = ColumnAfter(7461, kAge, 3, kChar);            // 7678
inline constexpr int kRegNo = ColumnAfter(9752, kEntryTime, 8, kChar);          // 9752
}  // namespace race_sheet

namespace lap_sheet {
inline constexpr const char* kTitle = "個  人  記  録（ラップ）  一  覧";
inline constexpr double kFontSize = 10;
inline constexpr int kChar = 100;
inline constexpr int kTop = 500;
inline constexpr int kDateX = 8000;
inline constexpr int kTitleX = 3000;
inline constexpr int kHeadingX = 500;
inline constexpr int kRuleX = 250;
inline constexpr int kRuleLength = 110;  // "-" characters
inline constexpr int kName = 250;
// Age and grade ("12 中1", a relay team's "191 160-199歳": at most 13
// characters) one blank after a full name; the affiliation one blank after
// them.
inline constexpr int kAgeGrade = ColumnAfter(1750, kName, 16, kChar);          // 1950
inline constexpr int kAffiliation = ColumnAfter(2750, kAgeGrade, 13, kChar);   // 3350
inline constexpr int kBlanks = 3950;
inline constexpr int kFinalTime = ColumnAfter(5000, kAffiliation, 12, kChar);  // 5000
inline constexpr int kRegNo = ColumnAfter(9750, kFinalTime, 8, kChar);         // 9750
inline constexpr int kLaps = 3250;
inline constexpr int kLapsPerGroup = 8;
// A lane's lines must end above this; the next lane starts a new page.
inline constexpr int kPageFoot = 15800;
}  // namespace lap_sheet

// The race sheet of race number `raceNo` held in `race`, `copies` times, each
// copy its own document ("race-r0012"). A copy the printer could not print is
// an error (no further copy is tried); so for the lap sheet ("lap-r0012").
Status PrintRaceSheet(Platform& platform, const MeetFiles& meet, int raceNo, const Race& race, int copies);

// The lap sheet of race number `raceNo` held in `race` (the race screen's
// race, or the race being posted), `copies` times, each its own document.
Status PrintLapSheet(Platform& platform, const MeetFiles& meet, int raceNo, const Race& race, int copies);

// The heading line both sheets share: event number, sex, band, event, stage, heat.
std::string SheetHeading(const PrintSources& sources, const Race& race);

}  // namespace meet
