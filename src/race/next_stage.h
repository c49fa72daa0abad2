// The next stage of an event seeded from its heats: the fastest swimmers of
// every heat (exhibitions, status codes and empty lanes left out), ranked by
// time and then by entry number, go into the lanes of the pattern and the
// two alternate slots. Posting calls it after the last heat; the race
// screen's ﾒﾝﾃﾅﾝｽ → 次ラウンド組分け, frmRace after the confirmation that
// completes the heats, and `meetctl seed next` call it on demand.
//
// The rules, the same for every caller: the heats must all be confirmed
// ("7" or "8"); a next stage that holds a result (a time or a place in any
// lane, or the state "6", "7" or "8") is never seeded again; otherwise its
// lanes are set from the heats, and only its race record is written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "core/printer.h"
#include "data/race_file.h"
#include "print/print_sources.h"

namespace meet {

// The lane of the p-th fastest swimmer of the next stage (character p − 1,
// a hexadecimal lane, "B"/"C" the alternates, "0" nobody), cut to the lanes
// in use.
std::string LanePattern(int lanes, int lanesUsed);

// One swimmer of the heats, in the order of the ranking.
struct RankedSwimmer {
  int16_t entryNo = 0;
  int32_t time = 0;
  bool operator==(const RankedSwimmer&) const = default;
};

// A lane slot (0–11) whose swimmer the seeding changes.
struct LaneChange {
  int slot = 0;
  int16_t before = 0;
  int16_t after = 0;
};

// Equal times that decided the last lane or an alternate: the tied swimmers
// in the order the rule took them, with the slot each got.
struct SwimOff {
  int32_t time = 0;
  std::vector<RankedSwimmer> swimmers;
  std::vector<int> places;  // the slot each got, −1 none
};

struct NextStage {
  int firstHeat = 0;  // the heats are races firstHeat..lastHeat
  int lastHeat = 0;
  int race = 0;       // the next stage race
  Race current;       // the next stage race as it stands
  Race seeded;        // as the heats give it
  std::vector<RankedSwimmer> ranking;
  std::vector<int> heatsNotConfirmed;  // races of the heats not at "7"/"8"
  bool holdsResult = false;
  std::vector<LaneChange> changes;
  std::vector<SwimOff> swimOffs;
  bool written = false;  // the seeding was stored
};

// The heats and the next stage of the event race `race` belongs to: a race of
// a stage before the final seeds the first later race of the same sex, band
// and event; a final is seeded from the stage before it. NotFound when there
// is no such race. Nothing is written.
Result<NextStage> PlanNextStage(const std::filesystem::path& meetFolder, const Settings& settings, int race);

// Plans and, when the rules allow it and the lanes change, writes the next
// stage. Refused (nothing written) when a heat is not confirmed or the next
// stage holds a result; the message names them.
Result<NextStage> SeedNextStage(const std::filesystem::path& meetFolder, const Settings& settings, int race);

// Whether a next stage as it stands agrees with its heats: every lane holds
// the swimmer the heats give it, or — after a withdrawal — an alternate or a
// later swimmer of the ranking in place of one who is no longer in the race;
// the alternates are swimmers of the ranking after those in the lanes, in
// ranking order. Empty lanes of a next stage not yet seeded agree with
// nothing but an empty ranking.
bool NextStageAgrees(const NextStage& stage, int lanes, int lanesUsed);

// A withdrawal typed on lane `slot` of a next stage not yet swum: the first
// alternate takes the lane, the second becomes the first, and the next
// swimmer of the heats' ranking not in the race the second. Returns the race
// with the change and the slots changed; nothing when there is no alternate,
// the race is no next stage or it holds another result.
struct Substitution {
  Race race;
  std::vector<LaneChange> changes;
};
Result<std::optional<Substitution>> PlanAlternateIn(const std::filesystem::path& meetFolder, const Settings& settings,
                                                    int race, const Race& shown, int slot);

// The texts the operator is told, with the names from the entry file:
// "4コース: 12 山田 太郎 → 45 佐藤 一郎"; "空き" for an empty lane.
std::vector<std::string> LaneChangeLines(const std::vector<LaneChange>& changes, const PrintSources& sources);
// One line per tie: "同記録 25.31（レース 20）: 12 山田 太郎 8コース、45 佐藤 一郎 補欠１（…）".
std::vector<std::string> SwimOffLines(const NextStage& stage, const PrintSources& sources);
// The ties on paper, as the record notices are printed: the seeded race's
// heading, then each tie with its swimmers one a line and the place each got,
// in "ＭＳ 明朝" 13; one document ("swimoff-r0020", the seeded race), what the
// printer says of it.
Status PrintSwimOffNotice(Printer& printer, const std::string& heading, const NextStage& stage,
                          const PrintSources& sources);
// "レース 20（決勝 1組）をレース 15～17 から組分けしました（8 名、補欠 2 名）。"
std::string SeededText(const NextStage& stage);
// The seeding asked for at the desk (the race screen's 次ラウンド組分け,
// frmRace after the heats are complete, `meetctl seed next`): the seeding
// with the lines the operator is told — what was seeded (or that nothing
// changed), every lane changed, every tie.
struct OnDemandSeeding {
  NextStage stage;
  std::vector<std::string> lines;
  // What could not be printed when the operator asked for the sheets (the
  // seeding itself is written): one message each, naming the printer.
  std::vector<std::string> printFailures;
};
Result<OnDemandSeeding> SeedNextStageOnDemand(const MeetFiles& meet, int race);
inline constexpr const char* kAskPrintSeeded = "組分けしたレースのレース用紙とプログラムのページを印刷しますか。";
// The seeded race's sheet and its program page, with the copies posting
// prints (at least one each, since the operator asked for them): what was
// printed, one text each, and what the printer could not print, one message
// each (the other document is printed all the same).
struct SeededPrintout {
  std::vector<std::string> printed;
  std::vector<std::string> failures;
};
SeededPrintout PrintSeededStage(Platform& platform, const MeetFiles& meet, const NextStage& stage);
// Seeds on demand and tells the operator through the platform's dialogs: the
// lines, and when the lanes changed the question whether to print them. A
// sheet the printer refuses goes into printFailures for the caller to tell.
Result<OnDemandSeeding> SeedNextStageAtDesk(Platform& platform, const MeetFiles& meet, int race);

// The lane caption of a slot in these texts: "4コース", "補欠１", "補欠２".
std::string SlotText(int slot);

}  // namespace meet
