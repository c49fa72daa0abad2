// The timing system's side and posting:
//   timing finish N [--seed S] [--lap-length 25|50|100] [--dq LANE] [--missing LANE]
//   timing finish --all-seeded [same options]
//   post [--no-print]
// `timing finish` stands in for the pool's timing system: it writes the goal
// and lap files of race N and sets it to "6". `post` is the race screen's
// "確定" (with --no-print: "印刷しない" ticked) and prints, one line each, the
// races posted with their new state, the next-stage races seeded, the
// printouts, the documents that could not be printed ("印刷失敗", and then
// the exit status is 1), what the operator is told, and the race the screen
// shows (none when nothing was posted).
#include "core/numbers.h"
#include "data/race_file.h"
#include "meetctl/cli.h"
#include "race/timing_post.h"
#include "race/timing_standin.h"

namespace meet::cli {
namespace {

constexpr const char* kFinishUsage =
    "timing finish N|--all-seeded [--seed S] [--lap-length 25|50|100] [--dq LANE] [--missing LANE]";

Result<int> LaneOption(std::vector<std::string>& args, const std::string& name) {
  auto v = TakeOption(args, name);
  if (!v) return std::unexpected(v.error());
  if (!*v) return 0;
  return NumberInRange(**v, "コース", 1, 10);
}

int TimingFinish(Context& ctx, std::vector<std::string>& args) {
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  TimingFinishOptions options;
  auto seed = TakeOption(args, "--seed");
  if (!seed) return Failed(ctx, seed.error());
  if (*seed) {
    auto s = NumberInRange(**seed, "シード", 0, 4294967295LL);
    if (!s) return Failed(ctx, s.error());
    options.seed = static_cast<uint32_t>(*s);
  }
  auto lap = TakeOption(args, "--lap-length");
  if (!lap) return Failed(ctx, lap.error());
  if (*lap) {
    if (**lap != "25" && **lap != "50" && **lap != "100") return UsageError(ctx, kFinishUsage);
    options.lapLength = static_cast<int>(LeadingNumber(**lap));
  }
  auto dq = LaneOption(args, "--dq");
  if (!dq) return Failed(ctx, dq.error());
  options.dqLane = *dq;
  auto missing = LaneOption(args, "--missing");
  if (!missing) return Failed(ctx, missing.error());
  options.missingLane = *missing;

  std::vector<int> races;
  if (TakeSwitch(args, "--all-seeded")) {
    if (!args.empty()) return UsageError(ctx, kFinishUsage);
    auto found = FirstUnswumEventRaces(*meet);
    if (!found) return Failed(ctx, found.error());
    if (found->empty()) return Failed(ctx, Error{ErrorKind::NotFound, "状態 1 のレースがありません。"});
    races = *found;
  } else {
    if (args.size() != 1) return UsageError(ctx, kFinishUsage);
    auto n = NumberInRange(args[0], "レース番号", 1, 32757);
    if (!n) return Failed(ctx, n.error());
    races.push_back(*n);
  }
  for (int n : races) {
    if (auto ok = FinishRace(*meet, **settings, n, options); !ok) return Failed(ctx, ok.error());
    ctx.out << "計時 レース " << n << " → 6\n";
  }
  return 0;
}

int Post(Context& ctx, std::vector<std::string>& args) {
  const bool noPrint = TakeSwitch(args, "--no-print");
  if (!args.empty()) return UsageError(ctx, "post [--no-print]");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return Failed(ctx, settings.error());
  auto platform = ctx.PlatformFor(!noPrint);
  if (!platform) return Failed(ctx, platform.error());
  auto report = postTimingResults(MeetFiles{*meet, **settings}, *platform, !noPrint);
  if (!report) return Failed(ctx, report.error());
  for (const PostedRace& p : report->posted) ctx.out << "確定 レース " << p.race << " → " << p.state << '\n';
  for (const SeededRace& s : report->seeded)
    ctx.out << "組分け レース " << s.race << " ← レース " << s.fromRace << "まで（" << s.swimmers << " 名）\n";
  for (const PrintedDocument& d : report->printed)
    ctx.out << "印刷 " << d.what << (d.what.starts_with("プログラム") ? " ページ " : " レース ") << d.race << " × "
            << d.copies << '\n';
  const std::vector<std::string> failures = PrintFailureLines(*report);
  for (size_t i = 0; i < failures.size(); ++i)
    ctx.out << (i < report->failures.size() ? "印刷失敗 " : "注意 ") << failures[i] << '\n';
  for (const std::string& note : report->notes) ctx.out << "注意 " << note << '\n';
  if (report->posted.empty()) ctx.out << kNothingToPost << '\n';
  if (report->showRace > 0) ctx.out << "表示 レース " << report->showRace << '\n';
  if (report->stopped)
    return Failed(ctx, Error{report->stopped->kind, "確定を途中でやめました（上の行は確定済みです）: " + report->stopped->message});
  if (!report->failures.empty()) {
    ctx.err << "meetctl: " << report->failures.size() << " 件の印刷物を印刷できませんでした（上の「印刷失敗」の行）。\n";
    return 1;
  }
  return 0;
}

VerbRegistration finishVerb("timing finish", kFinishUsage, TimingFinish);
VerbRegistration postVerb("post", "post [--no-print]", Post);

}  // namespace
}  // namespace meet::cli
