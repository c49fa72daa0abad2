// The timing system's files of a finished race: the goal file
// goal/G + NNNN (one line per lane slot 0–9: placing, final time) and the lap
// file lap/R + NNNN (lines of lane, cumulative split text mm:ss.hh and the
// marker "G" on a lane's finishing line, the lanes interleaved). NNNN is the
// race number with leading zeros to four digits; the names live with the
// other meet files in data/timing_file_names.h. Both are comma-separated
// sequential text: values separated by commas, text values possibly in
// double quotes, blanks around values ignored, CR LF or LF line ends. Folders
// and files are found whatever their letter case. Posting and the lap sheet
// read them here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/timing_file_names.h"

namespace meet {

// The most laps kept for one lane.
inline constexpr int kMaxLaps = 60;
// The most bytes read from one timing file (a longer file is read up to here).
inline constexpr size_t kMaxTimingFileBytes = 1 << 20;

// The values of one line: quotes taken off, blanks around each value removed.
std::vector<std::string> SplitTimingLine(std::string_view line);
// The lines of a timing file, each split into its values; a missing or
// unreadable file has none. CR LF and LF both end a line.
std::vector<std::vector<std::string>> ReadTimingFile(const std::filesystem::path& path);

struct GoalLine {
  int16_t rank = 0;  // the timing system's placing (placings are worked out again)
  int32_t time = 0;  // final time code mmsshh
};
// Lines 1..10 of the goal file for slots 0..9; a slot whose line is missing
// has nothing.
std::vector<std::optional<GoalLine>> ReadGoalFile(const std::filesystem::path& meetFolder, int race);

struct LapLine {
  int lane = 0;      // 1..10 for a usable line; 0 for a line whose lane is not a number
  std::string time;  // the split text, right-aligned in 8 characters (cut to 8 when longer)
  bool finish = false;  // marked "G"
};
// Every line of the lap file of the race, in file order.
std::vector<LapLine> ReadLapFile(const std::filesystem::path& meetFolder, int race);

struct LapTimes {
  std::vector<std::string> texts;  // each 8 characters wide
  int count() const { return static_cast<int>(texts.size()); }
};
// The split texts of a lane (1..10): its lines in order, at most 60, up to and
// including its line marked "G"; the last is then the final time (FormatTime,
// right-aligned in 8) when the race holds one for the lane (a final time of 0
// or 999999 keeps the split as timed).
LapTimes readLapTimes(const std::vector<LapLine>& laps, int lane, int32_t finalTime);
LapTimes readLapTimes(const std::filesystem::path& meetFolder, int race, int lane, int32_t finalTime);

// The later split text minus the earlier (texts mm:ss.hh, right-aligned in 8)
// as a formatted time, borrowing 100 hundredths per second and 60 seconds per
// minute; empty when the later time is before the earlier one or either is
// no time. The texts may be written either way ("00:31.50" as timed, "   31.50"
// as the desk shows a final time).
std::string lapDifference(std::string_view earlier, std::string_view later);

}  // namespace meet
