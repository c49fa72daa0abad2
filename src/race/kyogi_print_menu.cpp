#include "race/kyogi_print_menu.h"

#include "print/results_print.h"
#include "race/race_sheets.h"

namespace meet {

namespace {

Status NeedsRace(const FrmKyogiScreen& screen) {
  if (screen.raceCount() < 1 || screen.currentRace() > screen.raceCount())
    return Fail(ErrorKind::NotFound, "印刷するレースがありません。");
  return {};
}

MeetFiles Files(const FrmKyogiScreen& screen) { return MeetFiles{screen.meetFolder(), screen.settings()}; }

}  // namespace

Status mLpRank(const FrmKyogiScreen& screen, Platform& platform) {
  if (auto ok = NeedsRace(screen); !ok) return ok;
  auto printed = PrintRaceResults(platform, Files(screen), screen.currentRace(), 1, results_print::kRelayLinesPerPage);
  if (!printed) return std::unexpected(printed.error());
  return {};
}

Status mLpRace(const FrmKyogiScreen& screen, Platform& platform) {
  if (auto ok = NeedsRace(screen); !ok) return ok;
  return PrintRaceSheet(platform, Files(screen), screen.currentRace(), screen.race(), 1);
}

Status mLpLap(const FrmKyogiScreen& screen, Platform& platform) {
  if (auto ok = NeedsRace(screen); !ok) return ok;
  return PrintLapSheet(platform, Files(screen), screen.currentRace(), screen.race(), 1);
}

}  // namespace meet
