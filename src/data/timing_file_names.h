// The names of the timing system's files of a race in the meet folder: the
// goal file goal/G + NNNN and the lap file lap/R + NNNN, NNNN the race number
// with leading zeros to four digits (race 12: G0012, R0012). Folders and files
// are found whatever their letter case. Posting and the lap sheet read them
// (race/timing_files.h); an insertion renames them with their races.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace meet {

inline constexpr const char* kGoalFolderName = "goal";
inline constexpr const char* kLapFolderName = "lap";
inline constexpr char kGoalFileLetter = 'G';
inline constexpr char kLapFileLetter = 'R';

// "G0012", "R0012": the name a new timing file of the race is written with.
std::string GoalFileName(int race);
std::string LapFileName(int race);

// meet folder / goal / G0012 and meet folder / lap / R0012 (whatever their case).
std::filesystem::path GoalFilePath(const std::filesystem::path& meetFolder, int race);
std::filesystem::path LapFilePath(const std::filesystem::path& meetFolder, int race);

// The timing folder (goal/ or lap/, whatever its case) and the names in it
// that name a race: the letter in either case followed by the race number as
// four digits (five from race 10000). A race normally has one name; two
// spellings of one name ("G0012" and "g0012") both show.
struct TimingFolderNames {
  std::filesystem::path folder;                   // empty when the meet has no such folder
  std::map<int, std::vector<std::string>> races;  // race → names as spelt, sorted
};
TimingFolderNames ListTimingFolder(const std::filesystem::path& meetFolder, std::string_view folderName, char letter);

// The race a timing file name names (letter in either case, then exactly the
// digits ZeroPadded(race, 4) writes), or 0.
int RaceOfTimingFileName(std::string_view name, char letter);

// The name with its digits replaced by those of `race`, its letter as spelt.
std::string RenumberedTimingFileName(std::string_view name, int race);

}  // namespace meet
