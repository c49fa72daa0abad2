// print program|results|race-sheet|lap-sheet and laps: the printed program
// (through the program printing screen frmLpPage), an event's results, the
// race sheet and the lap sheet of a race, and a lane's laps from the lap file.
#include "core/cp932.h"
#include "core/numbers.h"
#include "data/race_file.h"
#include "meetctl/cli.h"
#include "print/frm_lp_page_screen.h"
#include "print/results_print.h"
#include "race/race_sheets.h"
#include "race/timing_files.h"

namespace meet::cli {
namespace {

struct Opened {
  MeetFiles meet;
  int copies = 1;
};

// The meet folder, its settings and --copies N (1..99).
Result<Opened> Open(Context& ctx, std::vector<std::string>& args) {
  auto meet = ctx.MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  Opened opened{MeetFiles{*meet, **settings}, 1};
  auto copies = TakeOption(args, "--copies");
  if (!copies) return std::unexpected(copies.error());
  if (*copies) {
    auto n = NumberInRange(**copies, "枚数", 1, 99);
    if (!n) return std::unexpected(n.error());
    opened.copies = *n;
  }
  return opened;
}

// Race N of the race file, loaded as the race buffer holds it.
Result<std::pair<int, Race>> RaceArgument(const Opened& opened, const std::string& text) {
  const int count = ReadRaceCount(opened.meet.meetFolder);
  if (count < 1) return Fail(ErrorKind::NotFound, "レースファイルにレースがありません。");
  auto n = NumberInRange(text, "レース番号", 1, count);
  if (!n) return std::unexpected(n.error());
  auto race = LoadRace(opened.meet.meetFolder, *n);
  if (!race) return std::unexpected(race.error());
  return std::pair<int, Race>{*n, *race};
}

int PrintProgram(Context& ctx, std::vector<std::string>& args) {
  auto opened = Open(ctx, args);
  if (!opened) return Failed(ctx, opened.error());
  const bool officials = TakeSwitch(args, "--officials");
  if (args.size() != 2) return UsageError(ctx, "print program FROM TO [--copies N] [--officials]");
  for (const std::string& a : args)
    if (!WholeNumber(a)) return Failed(ctx, Error{ErrorKind::Invalid, "ページ番号は数字で指定してください: " + a});
  FrmLpPageScreen screen(opened->meet.meetFolder, opened->meet.settings);
  screen.txtLpS = args[0];
  screen.txtLpE = args[1];
  screen.txtMaisu = NumberText(opened->copies);
  screen.officialsCopy = officials;
  auto platform = ctx.PlatformFor(true);
  if (!platform) return Failed(ctx, platform.error());
  auto sheets = screen.cmdZikko(*platform);
  if (!sheets) return Failed(ctx, sheets.error());
  ctx.out << "プログラムを印刷しました（" << *sheets << " 枚）。\n";
  return 0;
}

int PrintResults(Context& ctx, std::vector<std::string>& args) {
  auto opened = Open(ctx, args);
  if (!opened) return Failed(ctx, opened.error());
  if (args.size() != 1) return UsageError(ctx, "print results N [--copies N]");
  auto race = RaceArgument(*opened, args[0]);
  if (!race) return Failed(ctx, race.error());
  auto platform = ctx.PlatformFor(true);
  if (!platform) return Failed(ctx, platform.error());
  auto listed = PrintRaceResults(*platform, opened->meet, race->first, opened->copies);
  if (!listed) return Failed(ctx, listed.error());
  ctx.out << "競技結果を印刷しました（" << *listed << " 名）。\n";
  return 0;
}

int PrintSheet(Context& ctx, std::vector<std::string>& args, bool lap) {
  auto opened = Open(ctx, args);
  if (!opened) return Failed(ctx, opened.error());
  if (args.size() != 1) return UsageError(ctx, lap ? "print lap-sheet N [--copies N]" : "print race-sheet N [--copies N]");
  auto race = RaceArgument(*opened, args[0]);
  if (!race) return Failed(ctx, race.error());
  auto platform = ctx.PlatformFor(true);
  if (!platform) return Failed(ctx, platform.error());
  Status ok = lap ? PrintLapSheet(*platform, opened->meet, race->first, race->second, opened->copies)
                  : PrintRaceSheet(*platform, opened->meet, race->first, race->second, opened->copies);
  if (!ok) return Failed(ctx, ok.error());
  ctx.out << (lap ? "ラップ表" : "レース表") << "を印刷しました（レース " << race->first << "）。\n";
  return 0;
}

int Laps(Context& ctx, std::vector<std::string>& args) {
  auto opened = Open(ctx, args);
  if (!opened) return Failed(ctx, opened.error());
  if (args.size() != 2) return UsageError(ctx, "laps N LANE");
  auto race = RaceArgument(*opened, args[0]);
  if (!race) return Failed(ctx, race.error());
  auto lane = NumberInRange(args[1], "コース", 1, 10);
  if (!lane) return Failed(ctx, lane.error());
  const LapTimes laps = readLapTimes(opened->meet.meetFolder, race->first, *lane,
                                     race->second.laneTime[static_cast<size_t>(*lane - 1)]);
  if (laps.count() == 0) {
    ctx.out << "ラップはありません。\n";
    return 0;
  }
  for (int i = 0; i < laps.count(); ++i) {
    const std::string& text = laps.texts[static_cast<size_t>(i)];
    std::string line = RightAligned(i + 1, 2) + " " + text;
    if (i > 0) line += "  (" + PadLeftToWidth(lapDifference(laps.texts[static_cast<size_t>(i - 1)], text), 8) + ")";
    ctx.out << line << '\n';
  }
  return 0;
}

VerbRegistration programVerb("print program", "print program FROM TO [--copies N] [--officials]", PrintProgram);
VerbRegistration resultsVerb("print results", "print results N [--copies N]", PrintResults);
VerbRegistration raceSheetVerb("print race-sheet", "print race-sheet N [--copies N]",
                               [](Context& c, std::vector<std::string>& a) { return PrintSheet(c, a, false); });
VerbRegistration lapSheetVerb("print lap-sheet", "print lap-sheet N [--copies N]",
                              [](Context& c, std::vector<std::string>& a) { return PrintSheet(c, a, true); });
VerbRegistration lapsVerb("laps", "laps N LANE", Laps);

}  // namespace
}  // namespace meet::cli
