// Heat and lane seeding (frmHangumi "作成"): the program order projun.dat and
// the entry file become the race file taikai.dat, one race per heat; then the
// relay blocks of relay.dat, the program pages hpro.dat and the race states
// Race.dat are rebuilt.
//
// A run reads every input once, decides everything in memory and writes each
// file whole (temporary file and rename). The bytes left are those writing
// the same records one by one would leave: race i at record i + 10 with its
// meet day in raceSpare1, records beyond the new race count kept as they
// were. Nothing is written when a run is refused or cancelled.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/platform.h"
#include "data/race_file.h"
#include "program/projun_file.h"
#include "settings/settings.h"

namespace meet {

// The question asked before re-seeding a race file that holds results.
inline constexpr const char* kAskOverwriteResults =
    "競技ファイルには記録が入力されています。\n"
    "作成すると入力済みの記録が上書きされます（元のファイルは backup フォルダに保存します）。\n"
    "    続行しますか。";
// The same question when only the follow-up steps run (chkNoHan).
inline constexpr const char* kAskRebuildWithResults =
    "競技ファイルには記録が入力されています。\n"
    "リレーファイルとレース状態を作り直します（元のファイルは backup フォルダに保存します）。\n"
    "    続行しますか。";

// The options of the screen, named after its controls.
struct SeedingOptions {
  bool chkRyouken = false;  // "両県対抗コース固定": fixed lanes for prefectures 31 and 32
  bool chkJun = false;      // "年齢順": grade classes always use the descending class key
  bool chkKubun = false;    // "合同レースで区分を優先する": class first, descending lanes, centring (合同)
  bool chkNichi = false;    // "開催日で改ページしない": page building only
  bool chkNoHan = false;    // "組合せしない（挿入処理後）": only the follow-up steps run
  bool chkKetugo = false;   // "予選決勝で改ページしない": page building only
  int cboPattern = 0;       // page layout: 0 "標準", 1 "予決同頁"
  bool chkYosen = false;    // "コース人数以下でも予選を組み込む": keep a preliminary of one heat
};

// The lane-order pattern of a pool of `laneCount` lanes (4..10): the k-th
// character, read as a hexadecimal digit, is the lane of the k-th competitor
// placed in a heat. Empty for any other lane count.
std::string LanePattern(int laneCount, bool descending);

// The lane of a pattern character ('1'..'9', 'A'..'C'); 0 for any other.
int PatternLane(char c);

// One entrant of the entry file as seeding sees it.
struct Entrant {
  int32_t number = 0;       // position in the entry file (record number − 10)
  char sexCode = '\0';
  int16_t age = 0;
  int32_t grade = 0;        // the 2-character grade code read as a number
  std::string prefecture;   // the first two characters of regNo
  std::array<int32_t, 44> entryTimes{};  // index = event code − 1; 0 = not entered
};

// The 3-character class key of a competitor: "131"/"132" for the two
// prefectures of a dual meet, else "100" unless the meet seeds combined races
// by class (seedingMode "4" with chkKubun), where the age or grade gives it.
std::string ClassKey(const Entrant& e, const Settings& settings, const SeedingOptions& options);

// The sort key of a competitor: class key, entry time as seven digits,
// entrant number as five digits. Sorted with SortStrings the order is class
// key, then entry time (fastest first), then entrant number.
std::string SeedKey(std::string_view classKey, int32_t entryTime, int32_t number);

// Heats for n competitors in a pool of L lanes (n ≥ 1): n div L, plus one
// when there is a remainder.
int HeatCountFor(int n, int laneCount);

// Heat sizes (index 0 = heat 1) of 単純 and 合同: dealt in turn to heats 1..H,
// then moved from the front heats to the back until the back heats are full
// and the front heats keep half the lanes (8 lanes, 17 competitors: 4, 5, 8).
std::vector<int> DealtAndShiftedSizes(int n, int heats, int laneCount);
// Heat sizes of 混合 and 混合2: dealt one at a time to heats H, H − 1, …, 1, H …
std::vector<int> DealtBackwardsSizes(int n, int heats);

// Everything a run reads, read once.
struct SeedingInput {
  ProgramOrder program;
  std::filesystem::path raceFile;    // taikai.dat, found whatever its letter case
  std::string raceBytes;             // as on disk (empty when missing)
  std::filesystem::path relayFile;   // relay.dat
  std::string relayBytes;
  std::vector<Entrant> entrants;     // entrant n at index n − 1
  std::array<char, 15> extraRelayFlags{};
  bool entryFileFound = false;
  NamingContext naming;              // for the events named in warnings
};

// Reads projun.dat, taikai.dat, relay.dat and (unless chkNoHan) the entry
// file named by the settings.
Result<SeedingInput> ReadSeedingInput(const std::filesystem::path& meetFolder, const Settings& settings,
                                      const SeedingOptions& options);

// What a run leaves, in memory.
struct SeedingPlan {
  std::string programBytes;  // projun.dat; unchanged when programChanged is false
  bool programChanged = false;
  std::string raceBytes;     // taikai.dat
  bool raceChanged = false;
  std::string relayBytes;    // relay.dat
  bool relayChanged = false;
  int raceCount = 0;
  int relayBlocks = 0;
  int eventsNumbered = 0;    // program entries given an orderNo
  // What the operator must know although the run went through: later stages
  // left empty because no earlier stage was seeded in this run, and entrants
  // that no program entry's band takes. One line each.
  std::vector<std::string> warnings;
};

// Seeds (unless chkNoHan) and links the relay blocks, in memory. Refused,
// with nothing decided, when the program needs more than 32757 races or an
// entrant numbered above 32767 would have to be placed in a lane.
Result<SeedingPlan> PlanSeeding(const SeedingInput& input, const Settings& settings, const SeedingOptions& options);

// True when one of races 1..raceCount of the race file holds a result (a lane
// with a non-zero laneTime).
bool RaceFileHoldsResults(std::string_view raceBytes);

struct SeedingSummary {
  int raceCount = 0;
  int relayBlocks = 0;
  int eventsNumbered = 0;
  std::vector<std::filesystem::path> backups;  // copies kept before results were overwritten
  std::vector<std::string> warnings;           // as SeedingPlan::warnings
};

// cmdZikko "作成": reads, plans, asks before overwriting a race file that
// holds results (Cancel: ErrorKind::Cancelled, nothing written) and keeps a
// copy of taikai.dat and relay.dat under backup/, writes projun.dat,
// taikai.dat and relay.dat, builds the program pages and writes Race.dat.
Result<SeedingSummary> RunSeeding(const std::filesystem::path& meetFolder, const Settings& settings,
                                  const SeedingOptions& options, Dialogs& dialogs, const Clock& clock);

// cmdShoki "初期化": every program entry n gets orderNo n and seedFlag "1";
// nothing else changes. Returns the number of entries.
Result<int> ResetProgramForSeeding(const std::filesystem::path& meetFolder);

}  // namespace meet
