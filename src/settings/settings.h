// The meet settings, kept in "kijun.dat" in the meet folder: one line of 81
// comma-separated values ending with CR LF, texts in CP932 without quotes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace meet {

inline constexpr const char* kSettingsFileName = "kijun.dat";
inline constexpr int kSettingsValueCount = 81;

struct Settings {
  std::string entryFolder;                // 1  folder of the entry file, ending in the path separator
  std::string entryFileName = "ind.dat";  // 2
  std::string meetCode;                   // 3
  std::string meetName;                   // 4
  std::string meetAbbrev;                 // 5
  int32_t meetDateFrom = 0;               // 6  yyyymmdd
  int32_t meetDateTo = 0;                 // 7  yyyymmdd
  std::string venue;                      // 8
  std::string courseMode;                 // 9  "0" 長水, "1" 短水
  std::string affiliationMode;            // 10 "0" クラブ, "1" 県, "2" 地域, "3" 国
  std::string seedingMode;                // 11 "0" 単純 … "4" 合同
  std::string classMode;                  // 12 "0" 無別, "1" 年齢, "2" 学年
  std::string extraRounds;                // 13 "0" なし, "1" 準決, "2" コン
  int16_t laneCount = 4;                  // 14 4..10
  int16_t minEntrants = 0;                // 15
  std::array<int16_t, 18> printCopies{};  // 16-30 (0-14) and 78-80 (15-17)
  std::array<int16_t, 20> pointsIndividual{};  // 31-50, places 1..20
  std::array<int16_t, 20> pointsRelay{};       // 51-70, places 1..20
  std::string poolType;                   // 71 "0" 屋内, "1" 屋外
  std::string timingSide;                 // 72 "0" 両側, "1" 片側
  std::string timingSystem;               // 73 "0" 手動, "1" 自動
  std::string optionalCategories = "0";   // 74 "1" on, "0" off
  std::string prefecturePrint = "0";      // 75 "0" off, "1" 年齢, "2" 学年
  std::string meetSpare;                  // 76 carried unchanged
  int16_t laneCountUsed = 4;              // 77
  std::string lapText = "0";              // 81
};

// The defaults used when the file cannot be read. The entry folder and file
// name, `meetSpare`, `laneCountUsed`, the lap copy counts 15–17, `lapText`,
// `optionalCategories` and `prefecturePrint` keep their values.
void ResetSettings(Settings& s);

// Reads kijun.dat from the meet folder into `s`. A short file gives "0" for
// every missing value; a file that cannot be read gives the defaults. Never
// fails: a settings file is absorbed whatever it holds.
void LoadSettings(const std::filesystem::path& meetFolder, Settings& s);

// Reads the settings from the text of a kijun.dat file.
void ParseSettings(std::string_view text, const std::filesystem::path& meetFolder, Settings& s);

// The 81 values in file order, each as it is written to the file.
std::vector<std::string> SettingsValues(const Settings& s);
// The names of the 81 values in file order ("printCopies.0", "pointsRelay.20" …).
const std::vector<std::string>& SettingsValueNames();

// The file's text: 81 values, commas, CR LF (UTF-8; encoded when written).
std::string SettingsLine(const Settings& s);

// Writes all 81 values to kijun.dat, replacing the file whole. A text value
// with a comma is refused and nothing is written: the file has no quoting.
Status SaveSettings(const std::filesystem::path& meetFolder, const Settings& s);

// A text setting may not hold a comma, a line end or a NUL, be longer than
// kMaxSettingText CP932 bytes, or hold a character CP932 lacks; the error
// names the field and says which.
inline constexpr int kMaxSettingText = 255;
Status CheckSettingText(std::string_view label, std::string_view value);
// A sound kijun.dat is well under this; more is never read into memory.
inline constexpr uint64_t kMaxSettingsFileBytes = static_cast<uint64_t>(kSettingsValueCount) * (kMaxSettingText + 1) + 2;

// Print copy counts are used held to 0..kMaxPrintCopies whatever the file
// holds; the notice names the counts that were out of range (empty when none).
inline constexpr int kMaxPrintCopies = 99;
int HeldPrintCopies(int stored);
std::string PrintCopiesNotice(const Settings& s);

// yyyymmdd shown as yyyy/mm/dd (0 shows as 0000/00/00).
std::string DateDisplay(int32_t yyyymmdd);

}  // namespace meet
