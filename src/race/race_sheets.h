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
inline constexpr int kTop = 1000;
inline constexpr int kLeft = 500;
inline constexpr int kName = 1078;
inline constexpr int kKana = 2553;
inline constexpr int kPrefecture = 3866;
inline constexpr int kAffiliation = 4716;
inline constexpr int kGrade = 6090;
inline constexpr int kAge = 6417;
inline constexpr int kEntryTime = 7461;
inline constexpr int kRegNo = 9752;
}  // namespace race_sheet

namespace lap_sheet {
inline constexpr const char* kTitle = "個  人  記  録（ラップ）  一  覧";
inline constexpr double kFontSize = 10;
inline constexpr int kTop = 500;
inline constexpr int kDateX = 8000;
inline constexpr int kTitleX = 3000;
inline constexpr int kHeadingX = 500;
inline constexpr int kRuleX = 250;
inline constexpr int kRuleLength = 110;  // "-" characters
inline constexpr int kName = 250;
inline constexpr int kAgeGrade = 1750;
inline constexpr int kAffiliation = 2750;
inline constexpr int kBlanks = 3950;
inline constexpr int kFinalTime = 5000;
inline constexpr int kRegNo = 9750;
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
