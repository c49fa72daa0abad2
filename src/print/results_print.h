// The results list of an event: every competitor of all heats of the event
// ranked by time, one line each (relay teams with their four members under
// the team's line), in sections per optional category under 合同.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "print/print_sources.h"
#include "print/program_pages.h"

namespace meet {

namespace results_print {
inline constexpr double kFontSize = 9;
inline constexpr int kTop = 500;
inline constexpr int kLeft = 500;
inline constexpr int kDateX = 8505;
inline constexpr int kIndividualLinesPerPage = 50;
inline constexpr int kRelayLinesPerPage = 10;  // what the race screen's menu passes
// The affiliation is right-aligned in a column this wide, padded with blanks
// of this width.
inline constexpr int kAffiliationColumn = 1320;
inline constexpr int kAffiliationBlank = 110;
inline constexpr int kChar = 90;  // a half-width character at 9 points, in twips
struct Column {
  int x;
  const char* head;
};
// Each column starts where the layout puts it, or one blank after the widest
// text of the column before: place 3, heat and lane "15-10" 5, name 16,
// reading 12, age 2, prefecture 8, affiliation with its blanks 14, time 8,
// flag and mark 5, levels 2, the 7-character entry code; the grade is cut to
// its column.
inline constexpr int kHeatLaneX = ColumnAfter(824, 500, 3, kChar);        // 860
inline constexpr int kKanaX = ColumnAfter(3053, 1578, 16, kChar);         // 3108
inline constexpr int kOldNumberX = ColumnAfter(9752, 9752, 7, kChar);     // 10472
inline constexpr Column kColumns[] = {{500, " 順 "},    {kHeatLaneX, " 組 路"}, {1578, "名前"}, {kKanaX, "ﾌﾘｶﾅ"},
                                      {4366, "才"},     {4693, "学年"},        {5237, "県"},   {6087, "所属"},
                                      {7461, "記録"},   {8411, " "},           {9162, "無"},   {9445, "年"},
                                      {9752, "番号"},   {kOldNumberX, "旧番号"}};
inline constexpr size_t kColumnCount = sizeof(kColumns) / sizeof(kColumns[0]);
// Where a relay team's four members are printed under its line.
inline constexpr int kMemberX[4] = {1578, kKanaX, 4693, 6087};
inline constexpr int kMemberWidth = 16;
}  // namespace results_print

// One competitor of the event, in ranked order.
struct ResultLine {
  int race = 0;  // race number (position in the race file)
  int slot = 0;  // lane slot 0..
  int32_t time = 0;
  int place = 0;  // 0: no place (a time above 666665)
};

// The heats of the event of race r (r − heatNo + 1 .. r − heatNo + heatTotal,
// kept inside the race file), slots 0..lanes − 1 with a time that is neither
// 0 nor 999999 or more, an entry, and not an exhibition swim (record class
// 99); sorted with SortStrings by time, race and slot. No places yet.
std::vector<ResultLine> CollectEventResults(const RaceFileImage& races, int raceNo, int lanes);
// Places over the lines in order: equal times share the first one's place
// (1, 2, 2, 4); a time above 666665 gets none.
void AssignPlaces(std::vector<ResultLine>& lines);

// One part of the results list: under 合同 one per optional category that
// applies to the race (title: the category's name), each placed on its own,
// then the competitors no category covers under the race's own band (empty
// title); otherwise the placed lines as they are, in one part.
struct ResultSection {
  std::string title;
  std::vector<ResultLine> lines;
};
std::vector<ResultSection> EventResultSections(const MeetFiles& meet, const PrintSources& sources,
                                               const RaceFileImage& races, const Race& race,
                                               const std::vector<ResultLine>& placedLines);

// Prints the results list of the event of race `raceNo`, `copies` times, each
// copy its own document ("results-r0015", ended here; one the printer could
// not print is an error, and no further copy is tried). A new page with the heading starts the
// list and every `relayLinesPerPage` teams of a relay (every 50 lines of an
// individual event). Returns the number of competitors listed in one copy.
Result<int> PrintRaceResults(Platform& platform, const MeetFiles& meet, int raceNo, int copies,
                             int relayLinesPerPage = results_print::kRelayLinesPerPage);

}  // namespace meet
