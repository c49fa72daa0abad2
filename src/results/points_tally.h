// 集計 of the points screen: the team list from the entry file, the records
// list biko.dat (every record class and standard a placed result reached),
// the team points and placings into nyusho.dat, and the record bonuses. Both
// files are built in memory and each is written whole once.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "data/entry_file.h"
#include "data/optional_categories.h"
#include "data/relay_file.h"
#include "print/program_pages.h"
#include "program/projun_file.h"
#include "records/biko_file.h"
#include "records/shikaku_file.h"
#include "results/left_out.h"
#include "results/nyusho_file.h"
#include "settings/settings.h"

namespace meet {

inline constexpr int kTallyEvents = 44;
inline constexpr int kBonusClasses = 34;
inline constexpr int kNoClubLimit = 99;

enum class BonusMode { Rate, Add };  // 掛率: (bonus − 1) × place points; 加算: + bonus

// The screen's choices for one run.
struct TallyOptions {
  int nenreiFrom = 1, nenreiTo = 100;  // the tallied ages or grades
  int clubLimit = kNoClubLimit;        // most results of one team that count in one ranking
  std::array<bool, kTallyEvents> events;  // index event code − 1: tallied
  BonusMode bonusMode = BonusMode::Rate;
  std::array<int16_t, kBonusClasses> bonus;  // index record class − 1
  TallyOptions() {
    events.fill(true);
    bonus.fill(1);
  }
};

// Everything 集計 reads, read once.
struct TallyInputs {
  std::vector<Entry> entries;  // entry n at index n − 1
  EventDefinitions events;
  std::vector<ProgramEntry> program;
  RaceFileImage races = RaceFileImage::FromBytes({});
  std::vector<RelayBlock> relayBlocks;  // block b at index b − 1
  std::vector<OptionalCategory> categories;
  ShikakuTable table;
  // Reads the meet folder's files and the entry file the settings name. A
  // missing file reads as empty; a garbage or short one gives what it holds.
  static Result<TallyInputs> Load(const std::filesystem::path& meetFolder, const Settings& settings);
};

struct TallyResult {
  NyushoTable nyusho;
  std::vector<BikoEntry> records;
  bool saturated = false;  // a cell was held at ±32767 instead of wrapping
  int credited = 0;        // places credited to a team
  // Results of the tallied rankings that took no place only because their
  // age (grade under the grade scheme) lies outside the tallied range, each
  // swim once, with the values they hold.
  int leftOut = 0;
  ValueSpan leftOutValues;
};

// What the operator is told of the results the tallied range left out, with
// the range that would count them: "集計区分 1～100 の外のため 24 件を数えて
// いません（1～183 で数えます）。"; empty when none was left out.
std::string LeftOutNote(const TallyOptions& options, const TallyResult& result);

// The team code of an entry: the first 5 characters of its 14-character code
// in club grouping, else its first 2 characters and "000".
std::string TeamCodeOf(const Entry& entry, const std::string& affiliationMode);

// Algorithms 1–4 over inputs already read.
TallyResult Tally(const TallyInputs& inputs, const Settings& settings, const TallyOptions& options,
                  const DateTime& now);

// The whole command: read, tally, write biko.dat and nyusho.dat whole.
Result<TallyResult> RunTally(const std::filesystem::path& meetFolder, const Settings& settings,
                             const TallyOptions& options, const Clock& clock);

}  // namespace meet
