// The ranking lists: for every selected event of the meet, every swimmer of
// all its heats ranked by time (or by entry time), filtered, one list per
// optional category under 合同; or, in the order "プロ", every race in race
// order with the placings stored in it. A run lists one event at a time so
// that a screen can show its progress between events.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/error.h"
#include "data/meet_files.h"
#include "data/optional_categories.h"
#include "print/print_sources.h"
#include "print/program_pages.h"
#include "program/projun_file.h"
#include "results/left_out.h"

namespace meet {

// The options of the frames "打出順" (optJun) and "予決" (optYoketu).
enum RankingOrder { kOrderRace = 0, kOrderEvent = 1, kOrderProgram = 2 };
enum RankingStage {
  kStageAll = 0,
  kStageHeats = 1,
  kStageFinal = 2,
  kStageConsolation = 3,
  kStageSemi = 4,
  kStageCombined = 5,
  kStageEntry = 6,
};

struct RankingOptions {
  int order = kOrderRace;  // optJun
  int sex = 0;             // optSei: 全部, 男子, 女子
  int stroke = 0;          // optShu: 全部, 自由 … ＦＲ
  int distance = 0;        // optKyori: 全部, 25 … 1500
  int stage = kStageAll;   // optYoketu
  bool records = false;    // optBiko "該当"
  bool standards = false;  // optHyo "該当"
  int openFrom = 0, openTo = 14;     // txtMkyu
  int ageLevelFrom = 0, ageLevelTo = 14;  // txtNkyu
  int ageFrom = 0, ageTo = 100;      // txtNenrei
  int gradeFrom = 0, gradeTo = 100;  // txtGakunen
  int maxRank = 1000;                // txtJun
  std::string regPrefix;             // txtQBan, empty: every swimmer
  bool unmask = false;               // chkHiroshima
};

// The stage code an option of "予決" selects ("" for none): "予選" "1",
// "決勝" "2", "コン" "4" (ｺﾝｿﾚｰｼｮﾝ), "準決" "3" (準決勝).
std::string StageFilterCode(int stage);
// Whether a program entry is listed: numbered, and passing the distance,
// stroke, stage and sex filters; the meet's own events (30–44) pass only
// when distance and stroke are "全部".
bool EventListed(const ProgramEntry& entry, const RankingOptions& options);

// The output columns, in order, with their headings.
inline constexpr int kRankingColumns = 14;
inline constexpr std::array<const char*, kRankingColumns> kRankingHeads = {
    " 順 ", "組 路 ", "名前         ", "ﾌﾘｶﾅ        ", "才 ",   "学年  ", "県     ",
    "所属       ", "記録   ", " ", "無", "年 ", "番号    ", "旧番号"};
// Columns holding numbers (right-aligned in the HTML file).
inline constexpr std::array<bool, kRankingColumns> kRankingNumeric = {true,  true, false, false, true, false, false,
                                                                      false, true, false, true,  true, false, false};
// The columns a relay team's four members are shown in, leg by leg.
inline constexpr std::array<int, 4> kMemberColumns = {2, 3, 5, 7};
// What is shown of a swimmer whose registration number begins with "34"
// while chkHiroshima is not ticked.
inline constexpr const char* kMaskPrefix = "34";
inline constexpr const char* kMaskedName = "(広島)      ";
inline constexpr const char* kMaskedKana = "(ﾋﾛｼﾏ)      ";
inline constexpr const char* kMaskedClub = "(広島)";

struct RankingRow {
  int race = 0;      // race number of the swimmer's heat
  int slot = 0;      // lane slot 0..
  int32_t time = 0;  // the time ranked (result or entry time)
  int rank = 0;      // shown rank; 0: blank (a special code, or no placing)
  int position = 0;  // the position the rank limit counts
  bool member = false;  // the line of a relay team's four members
  std::array<std::string, kRankingColumns> cells;  // display texts, as printed
};

// One list: an event (or, under 合同, one category of it, or in "プロ" one race).
struct RankingBlock {
  std::string title;
  std::vector<RankingRow> rows;
};

class RankingRun {
 public:
  // Reads the program order, the race file, the entry and relay files, the
  // optional categories; for "種目順" rebuilds projun2.dat first. Missing
  // files read as empty (an empty program lists nothing).
  static Result<RankingRun> Start(const MeetFiles& meet, const RankingOptions& options);

  // Events (or, in "プロ", races) to list, and those listed so far.
  int count() const { return static_cast<int>(items_.size()); }
  int done() const { return next_; }
  bool finished() const { return next_ >= count(); }
  // The title of the event the next Step lists.
  std::string NextTitle() const;
  // Lists the next event: its lists with at least one line each.
  std::vector<RankingBlock> Step();

  // Results of the events listed so far that every other filter passed but
  // the age or grade range left off the lists, each swim once per event.
  int leftOut() const { return leftOut_; }
  // What the operator is told of them, with the ranges that would list them:
  // "年齢 0～100 の外のため 24 件を載せていません（年齢 0～183 で載せます）。";
  // empty when none was left out.
  std::string LeftOutNote() const;

 private:
  struct Item {
    ProgramEntry entry;  // events
    int race = 0;        // "プロ": the race
  };
  RankingRun(const MeetFiles& meet, const RankingOptions& options);
  std::string EventTitle(const ProgramEntry& e) const;
  std::string RaceTitle(int raceNo) const;
  std::vector<RankingBlock> RankEvent(const ProgramEntry& e);
  RankingBlock ListRace(int raceNo);
  const Entry& EntryOf(int n);
  void AddRow(RankingBlock& block, int raceNo, const Race& heat, int slot, int32_t time, int rankShown, int position,
              bool relay);
  enum class Filtered { Listed, OnlyByRange, Out };
  // Whether a result is listed, left out only by the age or grade range, or
  // left out by another filter.
  Filtered Filter(const Race& heat, int slot, const Entry& entry, int position) const;
  // Whether the entry file holds entry n.
  bool EntryHeld(int n) const;

  MeetFiles meet_;
  RankingOptions options_;
  std::unique_ptr<PrintSources> sources_;
  RaceFileImage races_;
  std::vector<OptionalCategory> categories_;  // under 合同
  std::vector<Item> items_;
  int next_ = 0;
  std::optional<EntryFileImage> entryImage_;  // the entry file read whole, when it reads
  std::unordered_map<int, Entry> entries_;     // entries decoded so far
  int leftOut_ = 0;
  ValueSpan leftOutAges_, leftOutGrades_;
};

}  // namespace meet
