// The race screen's lane move cmdIdo ("ｺｰｽ移動") with its shift field
// txtIdo: every swimmer of lanes 1 to 10 and their entry times move by the
// same number of lanes. Results, placings, levels, flags and record classes
// stay in their slots, and the alternate slots never move.
#pragma once

#include <array>
#include <cstdint>
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

inline constexpr int kMovableSlots = 10;

// The lanes of the pool as the lane move and the relay orders use them: the
// setting's lane count, 4 when it is stored below that, and never more than
// the 10 lanes a race record holds.
int PoolLanes(const Settings& settings);

// Where slots 0 to 9 go with the shift: the new entry numbers and entry
// times, and whether every swimmer stays within lanes 1..lanes (an empty
// slot falling outside is dropped).
struct LaneMovePlan {
  std::array<int16_t, kMovableSlots> laneNo{};
  std::array<int32_t, kMovableSlots> laneEntryTime{};
  bool fits = true;
};
LaneMovePlan PlanLaneMove(const Race& race, int64_t shift, int lanes);

enum class LaneMoveOutcome { Cancelled, Moved, Overflow };

// cmdIdo on the race screen with txtIdo's text: asks the shift text +
// "ｺｰｽ移動します。" (OK/Cancel); when everything fits, rewrites only laneNo and
// laneEntryTime of slots 0 to 9 of the race on disk and reloads the screen,
// otherwise tells the operator and writes nothing. A race the file does not
// hold is refused. After OK the widget clears txtIdo and focuses txtToi.
Result<LaneMoveOutcome> cmdIdo(FrmKyogiScreen& screen, std::string_view txtIdo, Dialogs& dialogs);

}  // namespace meet
