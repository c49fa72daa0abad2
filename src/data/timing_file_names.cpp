#include "data/timing_file_names.h"

#include <algorithm>
#include <system_error>

#include "core/file_names.h"
#include "core/numbers.h"
#include "data/race_layout.h"

namespace meet {

namespace {

std::filesystem::path TimingFile(const std::filesystem::path& meetFolder, std::string_view folder, char letter,
                                 int race) {
  const std::filesystem::path dir = FindFile(meetFolder, folder);
  return FindFile(dir, std::string(1, letter) + ZeroPadded(race, 4));
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string GoalFileName(int race) { return std::string(1, kGoalFileLetter) + ZeroPadded(race, 4); }
std::string LapFileName(int race) { return std::string(1, kLapFileLetter) + ZeroPadded(race, 4); }

std::filesystem::path GoalFilePath(const std::filesystem::path& meetFolder, int race) {
  return TimingFile(meetFolder, kGoalFolderName, kGoalFileLetter, race);
}

std::filesystem::path LapFilePath(const std::filesystem::path& meetFolder, int race) {
  return TimingFile(meetFolder, kLapFolderName, kLapFileLetter, race);
}

int RaceOfTimingFileName(std::string_view name, char letter) {
  if (name.size() < 5 || name.size() > 6 || Upper(name[0]) != Upper(letter)) return 0;
  const std::string_view digits = name.substr(1);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return 0;
  const int64_t race = LeadingNumber(digits);
  if (race < 1 || race > race_layout::kMaxRace || ZeroPadded(race, 4) != digits) return 0;
  return static_cast<int>(race);
}

std::string RenumberedTimingFileName(std::string_view name, int race) {
  return std::string(name.substr(0, 1)) + ZeroPadded(race, 4);
}

TimingFolderNames ListTimingFolder(const std::filesystem::path& meetFolder, std::string_view folderName, char letter) {
  TimingFolderNames names;
  const std::filesystem::path dir = FindFile(meetFolder, folderName);
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return names;
  names.folder = dir;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (const int race = RaceOfTimingFileName(name, letter); race != 0) names.races[race].push_back(name);
  }
  for (auto& [race, spelt] : names.races) std::sort(spelt.begin(), spelt.end());
  return names;
}

}  // namespace meet
