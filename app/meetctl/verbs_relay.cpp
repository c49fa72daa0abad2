// Relay orders (frmOhda "オーダー入力") and lane moves (cmdIdo "ｺｰｽ移動") of
// the race screen, through the same screen classes the windows use:
//   relay order N                      lanes 1..laneCount with team and members
//   relay order N LANE M1 M2 M3 M4     stores the lane's four legs (Enter on each box);
//                                      a member of the other sex, of another club
//                                      or named twice is warned of ("注意: …")
//   race move N SHIFT                  asks; --yes / --no
#include <iostream>
#include <memory>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/printer.h"
#include "data/race_file.h"
#include "meetctl/cli.h"
#include "race/frm_kyogi_screen.h"
#include "race/frm_ohda_screen.h"
#include "race/lane_move.h"

namespace meet::cli {
namespace {

constexpr const char* kRelayUsage = "relay order N [LANE M1 M2 M3 M4]";
constexpr const char* kMoveUsage = "race move N SHIFT";

// The race screen on race n, as "オーダ" and "ｺｰｽ移動" see it.
struct RaceScreen {
  NullPrinter printer;
  std::unique_ptr<Platform> platform;
  std::unique_ptr<FrmKyogiScreen> screen;
};

Status OpenRace(Context& ctx, RaceScreen& r, const std::string& raceText) {
  auto meet = ctx.MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  const int count = ReadRaceCount(*meet);
  if (count == 0) return Fail(ErrorKind::NotFound, "レースファイルにレースがありません。");
  auto n = NumberInRange(raceText, "レース番号", 1, count);
  if (!n) return std::unexpected(n.error());
  r.platform = std::make_unique<Platform>(Platform{r.printer, ctx.dialogs(), ctx.clock(), ctx.launcher()});
  r.screen = std::make_unique<FrmKyogiScreen>(*meet, **settings, *r.platform);
  return r.screen->ShowRace(*n);
}

// The lane's line, then a "注意" line for each warning of its order.
void PrintLane(std::ostream& out, const FrmOhdaScreen& o) {
  out << "lane " << o.lane() << " | " << o.lblShozoku();
  for (int leg = 0; leg < kLegs; ++leg)
    out << " | " << o.txtBango()[static_cast<size_t>(leg)] << ' ' << o.lblNamae()[static_cast<size_t>(leg)];
  out << '\n';
  for (const std::string& warning : o.LaneWarnings()) out << "注意: コース " << o.lane() << ": " << warning << '\n';
}

int RelayOrderVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1 && args.size() != 6) return UsageError(ctx, kRelayUsage);
  RaceScreen r;
  if (auto ok = OpenRace(ctx, r, args[0]); !ok) return Failed(ctx, ok.error());
  FrmOhdaScreen ohda(*r.screen);
  if (auto ok = ohda.Form_Load(); !ok) return Failed(ctx, ok.error());

  if (args.size() == 1) {
    for (int lane = 1; lane <= ohda.lanes(); ++lane) {
      if (auto ok = ohda.ShowLane(lane); !ok) return Failed(ctx, ok.error());
      PrintLane(ctx.out, ohda);
    }
    return 0;
  }
  auto lane = NumberInRange(args[1], "コース", 1, ohda.lanes());
  if (!lane) return Failed(ctx, lane.error());
  if (auto ok = ohda.KousuKey(NavKey::Enter, args[1]); !ok) return Failed(ctx, ok.error());
  for (int leg = 0; leg < kLegs; ++leg) {
    const std::string& typed = args[static_cast<size_t>(leg + 2)];
    if (!WholeNumber(typed)) return UsageError(ctx, "選手番号は数字で指定してください: " + typed);
    ohda.SetBango(leg, typed);
    if (auto ok = ohda.BangoKey(leg, NavKey::Enter, typed); !ok) return Failed(ctx, ok.error());
  }
  if (auto ok = ohda.ShowLane(*lane); !ok) return Failed(ctx, ok.error());
  PrintLane(ctx.out, ohda);
  return 0;
}

int RaceMoveVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(ctx, kMoveUsage);
  const std::string_view shift = args[1].starts_with('+') ? std::string_view(args[1]).substr(1) : args[1];
  if (!WholeNumber(shift)) return UsageError(ctx, "移動するコース数は数字で指定してください: " + args[1]);
  RaceScreen r;
  if (auto ok = OpenRace(ctx, r, args[0]); !ok) return Failed(ctx, ok.error());
  auto moved = cmdIdo(*r.screen, args[1], ctx.dialogs());
  if (!moved) return Failed(ctx, moved.error());
  switch (*moved) {
    case LaneMoveOutcome::Cancelled: ctx.err << "meetctl: 移動しませんでした。\n"; return 1;
    case LaneMoveOutcome::Overflow: return 1;  // the notice is on stderr
    case LaneMoveOutcome::Moved: break;
  }
  for (int row = 0; row < kMovableSlots; ++row) {
    const LaneRow& lane = r.screen->rows()[static_cast<size_t>(row)];
    ctx.out << LaneLabel(row) << " | " << lane.txtNo << " | " << lane.txtNamae << " | " << lane.txtQkiro << '\n';
  }
  return 0;
}

VerbRegistration relayOrderVerb("relay order", kRelayUsage, RelayOrderVerb);
VerbRegistration raceMoveVerb("race move", kMoveUsage, RaceMoveVerb);

}  // namespace
}  // namespace meet::cli
