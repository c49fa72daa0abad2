// What leaves the meet:
//   result-file [--results] [--finals-only N] [--standards 1|2|4] [--with-800] [--with-first-leg] [--drop-empty]
//     the result file screen frmKekka's "実行" with its controls set by the flags;
//   federation-report
//     the hub's "日水報告" (cmdAto2).
#include <iostream>

#include "data/entry_file.h"
#include "meetctl/cli.h"
#include "results/federation_export.h"
#include "results/frm_kekka_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kResultFileUsage =
    "result-file [--results] [--finals-only N] [--standards 1|2|4] [--with-800] [--with-first-leg] [--drop-empty]";

// The hub's state: the folder configuration's entry folder and file, else
// the ones the meet's settings name.
Result<HubState> StateFor(Context& ctx) {
  auto meet = ctx.MeetFolder();
  if (!meet) return std::unexpected(meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  HubState state;
  state.folders = ctx.folders();
  state.folders.meetFolder = *meet;
  state.settings = **settings;
  if (state.folders.entryFolder.empty()) {
    state.folders.entryFolder = state.settings.entryFolder;
    state.folders.entryFileName = state.settings.entryFileName;
  }
  return state;
}

int ResultFile(Context& ctx, std::vector<std::string>& args) {
  auto finals = TakeOption(args, "--finals-only");
  if (!finals) return Failed(ctx, finals.error());
  auto standards = TakeOption(args, "--standards");
  if (!standards) return Failed(ctx, standards.error());
  bool results = TakeSwitch(args, "--results");
  bool with800 = TakeSwitch(args, "--with-800");
  bool firstLeg = TakeSwitch(args, "--with-first-leg");
  bool drop = TakeSwitch(args, "--drop-empty");
  if (!args.empty()) return UsageError(ctx, kResultFileUsage);
  if (*finals && !results) return UsageError(ctx, "--finals-only は --results と一緒に指定してください。");
  if (*finals && (with800 || firstLeg))
    return UsageError(ctx, "決勝のみ（--finals-only）では途中記録（--with-800, --with-first-leg）は書き出せません。");

  auto state = StateFor(ctx);
  if (!state) return Failed(ctx, state.error());
  FrmKekkaScreen screen(state->folders.meetFolder, *state);
  screen.ClickKubun(kDropEmpty, drop);
  screen.ClickKubun(kWriteResults, results);
  if (*finals) {
    auto n = NumberInRange(**finals, "順位", 0, 999);
    if (!n) return Failed(ctx, n.error());
    screen.ClickYoketu(1);
    screen.txtNin() = std::to_string(*n);
  }
  if (*standards) {
    int option = **standards == "1" ? 0 : **standards == "2" ? 1 : **standards == "4" ? 2 : -1;
    if (option < 0) return UsageError(ctx, "--standards は 1, 2, 4 のどれかです: " + **standards);
    screen.ClickKubun(kWriteStandards, true);
    screen.ClickKiroku(option);
  }
  screen.ClickTochu(0, with800);
  screen.ClickTochu(1, firstLeg);

  auto done = screen.Run();
  if (!done) return Failed(ctx, done.error());
  ctx.out << "結果ファイル: " << done->resultFile.string() << '\n';
  ctx.out << "ind2.dat: " << done->ind2File.string() << '\n';
  ctx.out << MeetDaysNote(done->firstDay) << '\n';
  ctx.out << "申込者 " << done->entries << " 名のうち " << done->entriesKept << " 名、記録 " << done->resultsWritten
          << " 件を書き出しました。\n";
  return 0;
}

int FederationReport(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "federation-report");
  auto state = StateFor(ctx);
  if (!state) return Failed(ctx, state.error());
  auto done = ExportFederationReport(state->folders.meetFolder, state->settings, state->folders.entryFolder,
                                     state->folders.entryFileName);
  if (!done) return Failed(ctx, done.error());
  ctx.out << "games.dat: " << done->gamesFile.string() << '\n';
  ctx.out << "results.dat: " << done->resultsFile.string() << '\n';
  ctx.out << "泳者 " << done->swims << " 件\n";
  if (std::string note = LanesWithoutResultNote(*done); !note.empty()) ctx.out << note << '\n';
  return 0;
}

static VerbRegistration resultFile("result-file", kResultFileUsage, ResultFile);
static VerbRegistration federationReport("federation-report", "federation-report", FederationReport);

}  // namespace
}  // namespace meet::cli
