// The race screen's lane move cmdIdo ("ｺｰｽ移動") with its shift field
// txtIdo: every swimmer of lanes 1 to 10 and their entry times move by the
// same number of lanes, before the race is swum. A race the timing system
// has delivered ("6"), a confirmed or printed race ("7", "8") and a race with
// any result in a lane slot are refused: results stay in their slots, so a
// move would give them to other swimmers. The alternate slots never move.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/platform.h"
#include "data/race_file.h"
#include "race/frm_kyogi_screen.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kIdoCaption = "ｺｰｽ移動";
inline constexpr const char* kIdoTip = "選手と申込記録のコース移動";
inline constexpr const char* kAskLaneMove = "ｺｰｽ移動します。";  // after the shift text
inline constexpr const char* kLaneMoveOverflow = "コースよりあふれる為、移動できません。";
inline constexpr const char* kLaneMoveTimed = "計時システムの記録が届いているため、コース移動できません。";
inline constexpr const char* kLaneMoveConfirmed = "確定済みのレースはコース移動できません。";
inline constexpr const char* kLaneMoveResults = "記録が入っているため、コース移動できません。";

inline constexpr int kMovableSlots = 10;
// The record class an exhibition swimmer (OP) is marked with before the race.
inline constexpr int16_t kExhibitionClass = 99;

// The lanes of the pool as the lane move and the relay orders use them: the
// setting's lane count, 4 when it is stored below that, and never more than
// the 10 lanes a race record holds.
int PoolLanes(const Settings& settings);

// Why the lanes of the race may not move, or nothing when they may: its
// Race.dat state is "6", "7" or "8", or one of its twelve slots holds a
// result (a time, a placing, a level, a standard flag, or a record class
// other than the exhibition mark 99).
std::optional<std::string> LaneMoveRefusal(const Race& race, char state);

// Where slots 0 to 9 go with the shift: the new entry numbers, entry times
// and exhibition marks, and whether every swimmer stays within lanes
// 1..lanes (an empty slot falling outside is dropped).
struct LaneMovePlan {
  std::array<int16_t, kMovableSlots> laneNo{};
  std::array<int32_t, kMovableSlots> laneEntryTime{};
  std::array<int16_t, kMovableSlots> laneRecordClass{};  // 99 moves with its swimmer, else 0
  bool fits = true;
};
LaneMovePlan PlanLaneMove(const Race& race, int64_t shift, int lanes);

enum class LaneMoveOutcome { Cancelled, Moved, Overflow };

// cmdIdo on the race screen with txtIdo's text. A race the file does not
// hold, or one whose lanes may not move (LaneMoveRefusal), is refused before
// anything is asked (ErrorKind::Refused with the reason). Otherwise asks the
// shift text + "ｺｰｽ移動します。" (OK/Cancel); after OK the race is read again
// (the timing system may have delivered it meanwhile) and, when everything
// fits, only laneNo, laneEntryTime and the exhibition marks of slots 0 to 9
// are rewritten on disk and the screen reloaded; otherwise the operator is
// told and nothing is written. After OK the widget clears txtIdo and focuses
// txtToi.
Result<LaneMoveOutcome> cmdIdo(FrmKyogiScreen& screen, std::string_view txtIdo, Dialogs& dialogs);

}  // namespace meet
