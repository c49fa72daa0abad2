#include "race/lane_move.h"

#include <string>

#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "data/race_layout.h"

namespace meet {

namespace L = race_layout;

int PoolLanes(const Settings& settings) {
  if (settings.laneCount < 4) return 4;
  if (settings.laneCount > kMovableSlots) return kMovableSlots;
  return settings.laneCount;
}

LaneMovePlan PlanLaneMove(const Race& race, int64_t shift, int lanes) {
  LaneMovePlan plan;
  for (int i = 0; i < kMovableSlots; ++i) {
    const size_t k = static_cast<size_t>(i);
    const int64_t target = i + shift;
    if (target >= 0 && target <= lanes - 1 && target < kMovableSlots) {
      plan.laneNo[static_cast<size_t>(target)] = race.laneNo[k];
      plan.laneEntryTime[static_cast<size_t>(target)] = race.laneEntryTime[k];
    } else if (race.laneNo[k] != 0) {
      plan.fits = false;
    }
  }
  return plan;
}

Result<LaneMoveOutcome> cmdIdo(FrmKyogiScreen& screen, std::string_view txtIdo, Dialogs& dialogs) {
  if (!dialogs.AskOkCancel(std::string(txtIdo) + kAskLaneMove)) return LaneMoveOutcome::Cancelled;
  const int n = screen.currentRace();
  if (n < 1 || n > ReadRaceCount(screen.meetFolder()))
    return Fail(ErrorKind::NotFound, "レース " + NumberText(n) + " はレースファイルにありません。");

  auto file = RecordFile::Open(FindFile(screen.meetFolder(), kRaceFileName), L::kRecordLength,
                               RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  // The race as it stands on disk; only the moved fields are replaced.
  Record record = file->Read(n + 10);
  const Race onDisk = RaceFromRecord(record, false);
  const LaneMovePlan plan = PlanLaneMove(onDisk, LeadingNumber(txtIdo), PoolLanes(screen.settings()));
  if (!plan.fits) {
    dialogs.Notify(kLaneMoveOverflow);
    return LaneMoveOutcome::Overflow;
  }
  for (size_t k = 0; k < kMovableSlots; ++k) {
    record.SetI16(L::kLaneNo + 2 * k, plan.laneNo[k]);
    record.SetI32(L::kLaneEntryTime + 4 * k, plan.laneEntryTime[k]);
  }
  if (auto ok = file->Write(n + 10, record); !ok) return std::unexpected(ok.error());
  if (auto ok = screen.Reload(); !ok) return std::unexpected(ok.error());
  return LaneMoveOutcome::Moved;
}

}  // namespace meet
