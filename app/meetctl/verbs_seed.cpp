// seed [options] | seed --reset: the seeding screen frmHangumi on the meet
// folder, through the same screen class as the GUI. The options are the
// screen's check boxes and cboPattern.
#include <iostream>

#include "data/race_file.h"
#include "meetctl/cli.h"
#include "print/print_sources.h"
#include "program/frm_hangumi_screen.h"
#include "race/next_stage.h"

namespace meet::cli {
namespace {

constexpr const char* kUsage =
    "seed [--ryouken] [--age-order] [--class-first] [--no-seed] [--keep-prelims] [--no-day-break] "
    "[--no-round-break] [--pattern 0|1] | seed --reset";

int SeedVerb(Context& ctx, std::vector<std::string>& args) {
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());

  auto platform = ctx.PlatformFor(false);
  if (!platform) return Failed(ctx, platform.error());
  FrmHangumiScreen screen(*meet, **settings, *platform);

  if (TakeSwitch(args, "--reset")) {
    if (!args.empty()) return UsageError(ctx, "seed --reset は他の引数と一緒に使えません。");
    auto n = screen.Shoki();
    if (!n) return Failed(ctx, n.error());
    ctx.out << "初期化しました（競技順 " << *n << " 件）。\n";
    return 0;
  }

  SeedingOptions& o = screen.options();
  o.chkRyouken = TakeSwitch(args, "--ryouken");
  o.chkJun = TakeSwitch(args, "--age-order");
  o.chkKubun = TakeSwitch(args, "--class-first");
  o.chkNoHan = TakeSwitch(args, "--no-seed");
  o.chkYosen = TakeSwitch(args, "--keep-prelims");
  o.chkNichi = TakeSwitch(args, "--no-day-break");
  o.chkKetugo = TakeSwitch(args, "--no-round-break");
  auto pattern = TakeOption(args, "--pattern");
  if (!pattern) return Failed(ctx, pattern.error());
  if (*pattern) {
    if (**pattern != "0" && **pattern != "1") return UsageError(ctx, "--pattern は 0（標準）か 1（予決同頁）です。");
    screen.SetCboPattern(**pattern == "1" ? 1 : 0);
  }
  if (!args.empty()) return UsageError(ctx, "不明な引数です: " + args[0] + "（" + kUsage + "）");

  auto run = screen.Zikko();
  if (!run) {
    if (run.error().kind == ErrorKind::Cancelled)
      return Failed(ctx, Error{ErrorKind::Cancelled,
                               "記録が入力済みのため作成していません（--yes で控えを残して作成します）。"});
    return Failed(ctx, run.error());
  }
  for (const auto& kept : run->backups) ctx.out << "控え: " << kept.string() << '\n';
  ctx.out << "レース数: " << run->raceCount << '\n';
  for (const std::string& warning : run->warnings) ctx.out << "注意: " << warning << '\n';
  return 0;
}

constexpr const char* kNextUsage = "seed next N (N: a race of the heats, or of the final to seed again)";

// The lines of an on-demand seeding as meetctl prints them: a tie is a
// "注意 同記録 …" line.
void PrintSeedingLines(std::ostream& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out << (line.starts_with("同記録") ? "注意 " : "") << line << '\n';
}

int SeedNextVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(ctx, kNextUsage);
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  const int count = ReadRaceCount(*meet);
  if (count == 0) return Failed(ctx, Error{ErrorKind::NotFound, "レースファイルにレースがありません。"});
  auto n = NumberInRange(args[0], "レース番号", 1, count);
  if (!n) return Failed(ctx, n.error());
  const MeetFiles files{*meet, **settings};
  auto seeded = SeedNextStageOnDemand(files, *n);
  if (!seeded) return Failed(ctx, seeded.error());
  PrintSeedingLines(ctx.out, seeded->lines);
  if (!seeded->stage.written || !ctx.dialogs().AskYesNo(kAskPrintSeeded)) return 0;
  auto platform = ctx.PlatformFor(true);
  if (!platform) return Failed(ctx, platform.error());
  const SeededPrintout printed = PrintSeededStage(*platform, files, seeded->stage);
  for (const std::string& line : printed.printed) ctx.out << "印刷 " << line << '\n';
  for (const std::string& failure : printed.failures) ctx.err << "meetctl: " << failure << '\n';
  return printed.failures.empty() ? 0 : 1;
}

VerbRegistration seedVerb("seed", kUsage, SeedVerb);
VerbRegistration seedNextVerb("seed next", kNextUsage, SeedNextVerb);

}  // namespace
}  // namespace meet::cli
