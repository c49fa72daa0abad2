#include "race/lane_move.h"

#include <string>

#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "data/race_layout.h"
#include "data/race_states.h"

namespace meet {

namespace L = race_layout;

namespace {

bool SlotHoldsResult(const Race& race, size_t k) {
  const char flag = race.standardFlags[k];
  return race.laneTime[k] != 0 || race.laneRank[k] != 0 || race.openLevel[k] != 0 || race.ageLevel[k] != 0 ||
         (race.laneRecordClass[k] != 0 && race.laneRecordClass[k] != kExhibitionClass) ||
         (flag != ' ' && flag != '\0');
}

// The race as it stands on disk with its state, or why it cannot be moved.
struct OnDisk {
  RecordFile file;
  Record record;
  Race race;
};

Result<OnDisk> ReadMovable(const FrmKyogiScreen& screen) {
  const int n = screen.currentRace();
  if (n < 1 || n > ReadRaceCount(screen.meetFolder()))
    return Fail(ErrorKind::NotFound, "レース " + NumberText(n) + " はレースファイルにありません。");
  auto states = RaceStates::Read(screen.meetFolder());
  if (!states) return std::unexpected(states.error());
  auto file = RecordFile::Open(FindFile(screen.meetFolder(), kRaceFileName), L::kRecordLength,
                               RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  Record record = file->Read(n + 10);
  Race race = RaceFromRecord(record, false);
  if (auto why = LaneMoveRefusal(race, states->state(n))) return Fail(ErrorKind::Refused, *why);
  return OnDisk{std::move(*file), std::move(record), std::move(race)};
}

}  // namespace

int PoolLanes(const Settings& settings) {
  if (settings.laneCount < 4) return 4;
  if (settings.laneCount > kMovableSlots) return kMovableSlots;
  return settings.laneCount;
}

std::optional<std::string> LaneMoveRefusal(const Race& race, char state) {
  if (state == kStateTimingWaiting) return std::string(kLaneMoveTimed);
  if (state == kStateChanged || state == kStatePrinted) return std::string(kLaneMoveConfirmed);
  for (size_t k = 0; k < L::kSlots; ++k)
    if (SlotHoldsResult(race, k)) return std::string(kLaneMoveResults);
  return std::nullopt;
}

LaneMovePlan PlanLaneMove(const Race& race, int64_t shift, int lanes) {
  LaneMovePlan plan;
  for (int i = 0; i < kMovableSlots; ++i) {
    const size_t k = static_cast<size_t>(i);
    const int64_t target = i + shift;
    if (target >= 0 && target <= lanes - 1 && target < kMovableSlots) {
      const size_t t = static_cast<size_t>(target);
      plan.laneNo[t] = race.laneNo[k];
      plan.laneEntryTime[t] = race.laneEntryTime[k];
      plan.laneRecordClass[t] = race.laneRecordClass[k] == kExhibitionClass ? kExhibitionClass : 0;
    } else if (race.laneNo[k] != 0) {
      plan.fits = false;
    }
  }
  return plan;
}

Result<LaneMoveOutcome> cmdIdo(FrmKyogiScreen& screen, std::string_view txtIdo, Dialogs& dialogs) {
  if (auto before = ReadMovable(screen); !before) return std::unexpected(before.error());
  if (!dialogs.AskOkCancel(std::string(txtIdo) + kAskLaneMove)) return LaneMoveOutcome::Cancelled;
  // The question may have stood open while the timing system delivered the
  // race: it is read again, and only the moved fields are replaced.
  auto onDisk = ReadMovable(screen);
  if (!onDisk) return std::unexpected(onDisk.error());
  const LaneMovePlan plan = PlanLaneMove(onDisk->race, LeadingNumber(txtIdo), PoolLanes(screen.settings()));
  if (!plan.fits) {
    dialogs.Notify(kLaneMoveOverflow);
    return LaneMoveOutcome::Overflow;
  }
  Record& record = onDisk->record;
  for (size_t k = 0; k < kMovableSlots; ++k) {
    record.SetI16(L::kLaneNo + 2 * k, plan.laneNo[k]);
    record.SetI32(L::kLaneEntryTime + 4 * k, plan.laneEntryTime[k]);
    record.SetI16(L::kLaneRecordClass + 2 * k, plan.laneRecordClass[k]);
  }
  if (auto ok = onDisk->file.Write(screen.currentRace() + 10, record); !ok) return std::unexpected(ok.error());
  if (auto ok = screen.Reload(); !ok) return std::unexpected(ok.error());
  return LaneMoveOutcome::Moved;
}

}  // namespace meet
