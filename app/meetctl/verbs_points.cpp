// The points screen frmTokuten ("得点"):
//   points tally [--range FROM TO] [--club-limit N] [--skip-events E,…] [--bonus-mode rate|add] [--bonus CLASS=VALUE …]
//     "集   計" with the screen's controls set by the flags;
//   points show      the teams of nyusho.dat with their points and place counts;
//   points records   the entries of biko.dat, one line each;
//   points print ranking [--men] [--women] [--mixed] [--total] [--all] | placings | records
//     "得点ランク" (also the HTML files), "入賞者数", "記録一覧" to the --print target.
#include <iostream>
#include <sstream>

#include "core/cp932.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "meetctl/cli.h"
#include "results/frm_tokuten_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kTallyUsage =
    "points tally [--range FROM TO] [--club-limit N] [--skip-events E,…] [--bonus-mode rate|add] [--bonus CLASS=VALUE …]";
constexpr const char* kPrintUsage = "points print ranking [--men] [--women] [--mixed] [--total] [--all] | placings | records";

Result<FrmTokutenScreen> ScreenFor(Context& ctx) {
  auto meet = MeetFolderToWrite(ctx);
  if (!meet) return std::unexpected(meet.error());
  auto settings = ctx.LoadedSettings();
  if (!settings) return std::unexpected(settings.error());
  HubState state;
  state.folders = ctx.folders();
  state.folders.meetFolder = *meet;
  state.settings = **settings;
  return FrmTokutenScreen(*meet, state);
}

// Removes "--range FROM TO"; nothing when absent.
Result<std::optional<std::pair<std::string, std::string>>> TakeRange(std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--range") continue;
    if (i + 2 >= args.size() || !WholeNumber(args[i + 1]) || !WholeNumber(args[i + 2]))
      return Fail(ErrorKind::Invalid, "--range には数字を二つ指定してください（--range 1 100）。");
    std::pair<std::string, std::string> range{args[i + 1], args[i + 2]};
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i + 3));
    return range;
  }
  return std::nullopt;
}

int PointsTally(Context& ctx, std::vector<std::string>& args) {
  auto range = TakeRange(args);
  if (!range) return Failed(ctx, range.error());
  auto limit = TakeOption(args, "--club-limit");
  if (!limit) return Failed(ctx, limit.error());
  auto skip = TakeOption(args, "--skip-events");
  if (!skip) return Failed(ctx, skip.error());
  auto mode = TakeOption(args, "--bonus-mode");
  if (!mode) return Failed(ctx, mode.error());
  std::vector<std::string> bonuses;
  for (;;) {
    auto b = TakeOption(args, "--bonus");
    if (!b) return Failed(ctx, b.error());
    if (!*b) break;
    bonuses.push_back(**b);
  }
  if (!args.empty()) return UsageError(ctx, kTallyUsage);

  auto screen = ScreenFor(ctx);
  if (!screen) return Failed(ctx, screen.error());
  if (*range) {
    screen->ChangeNenrei(0, (*range)->first);
    screen->ChangeNenrei(1, (*range)->second);
  }
  if (*limit) {
    auto n = NumberInRange(**limit, "クラブ制限", 0, 99);
    if (!n) return Failed(ctx, n.error());
    screen->txtSeigen() = NumberText(*n);
  }
  if (*skip) {
    std::stringstream list(**skip);
    for (std::string item; std::getline(list, item, ',');) {
      auto e = NumberInRange(Trim(item), "種目コード", 1, kTallyEvents);
      if (!e) return Failed(ctx, e.error());
      screen->ClickSuru(*e - 1, false);
    }
  }
  if (*mode) {
    if (**mode != "rate" && **mode != "add") return UsageError(ctx, "--bonus-mode は rate（掛率）か add（加算）です: " + **mode);
    screen->ClickBou(**mode == "rate" ? 0 : 1);
  }
  for (const std::string& b : bonuses) {
    const size_t eq = b.find('=');
    if (eq == std::string::npos) return UsageError(ctx, "--bonus は CLASS=VALUE の形です: " + b);
    auto cls = NumberInRange(b.substr(0, eq), "記録区分", 1, kBonusClasses);
    if (!cls) return Failed(ctx, cls.error());
    auto value = NumberInRange(b.substr(eq + 1), "ボーナス点", -32768, 32767);
    if (!value) return Failed(ctx, value.error());
    screen->txtTKiro(*cls - 1) = NumberText(*value);
  }
  auto done = screen->Shukei(ctx.clock());
  if (!done) return Failed(ctx, done.error());
  ctx.out << done->line << '\n';
  if (done->saturated) ctx.err << "meetctl: " << kSaturatedMessage << '\n';
  if (!done->leftOutNote.empty()) ctx.err << "注意: " << done->leftOutNote << '\n';
  return 0;
}

int PointsShow(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "points show");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto table = LoadNyusho(*meet);
  if (!table) return Failed(ctx, table.error());
  if (!table->tallied) return Failed(ctx, Error{ErrorKind::NotFound, kNotTalliedMessage});
  ctx.out << "集計 " << TrimRight(table->tallyDate) << " " << TrimRight(table->tallyTime) << "  チーム "
          << table->teams.size() << '\n';
  ctx.out << "  番号 コード 所属 県名 : 男子個人 女子個人 混合個人 男子リレー 女子リレー 混合リレー（得点/1位..20位）\n";
  for (size_t n = 0; n < table->teams.size(); ++n) {
    const TeamRecord& t = table->teams[n];
    ctx.out << RightAligned(static_cast<int64_t>(n) + 1, 4) << ' ' << PrintedText(t.teamCode) << ' '
            << PrintedText(t.teamName) << ' ' << PrintedText(t.teamPrefName) << " :";
    for (int c = 0; c < kTallyColumns; ++c) {
      ctx.out << ' ' << t.at(0, c) << '/';
      for (int p = 1; p <= 20; ++p) ctx.out << (p > 1 ? "," : "") << t.at(p, c);
    }
    ctx.out << '\n';
  }
  return 0;
}

int PointsRecords(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "points records");
  auto meet = ctx.MeetFolder();
  if (!meet) return Failed(ctx, meet.error());
  auto entries = LoadBikoEntries(*meet);
  if (!entries) return Failed(ctx, entries.error());
  ctx.out << "新記録等 " << entries->size() << " 件\n";
  int n = 0;
  for (const BikoEntry& e : *entries) {
    ctx.out << RightAligned(++n, 4) << " レース種目 " << e.raceEventNo << " " << e.heatNo << "組 性別 " << PrintedText(e.sexCode)
            << " 区分 " << e.classFrom << "-" << e.classTo << " 種目 " << e.eventCode << " ﾘﾚｰ " << PrintedText(e.relayFlag)
            << " 予決 " << PrintedText(e.stageCode) << " 記録 " << Trim(FormatTime(e.time)) << " " << RecordClassAbbrev(e.recordClass)
            << "(" << e.recordClass << ") " << e.place << "位 " << e.placePoints << "点 " << e.reachedOrder << "番目 率 "
            << e.bonusValue << " 泳者 " << e.members[0] << "," << e.members[1] << "," << e.members[2] << "," << e.members[3]
            << " チーム " << PrintedText(e.teamCode) << " 日 " << PrintedText(e.dayNo) << '\n';
  }
  return 0;
}

int PointsPrint(Context& ctx, std::vector<std::string>& args) {
  std::array<bool, 4> lists = {TakeSwitch(args, "--men"), TakeSwitch(args, "--women"), TakeSwitch(args, "--mixed"),
                               TakeSwitch(args, "--total")};
  const bool all = TakeSwitch(args, "--all");
  if (args.size() != 1) return UsageError(ctx, kPrintUsage);
  const std::string what = args[0];
  if (what != "ranking" && (lists[0] || lists[1] || lists[2] || lists[3] || all))
    return UsageError(ctx, "--men, --women, --mixed, --total, --all は ranking だけに付けられます。");
  if (what != "ranking" && what != "placings" && what != "records") return UsageError(ctx, kPrintUsage);
  auto screen = ScreenFor(ctx);
  if (!screen) return Failed(ctx, screen.error());
  if (!screen->printEnabled()) return Failed(ctx, Error{ErrorKind::NotFound, kNotTalliedMessage});
  auto platform = ctx.PlatformFor(true);
  if (!platform) return Failed(ctx, platform.error());
  if (what == "ranking") {
    if (!lists[0] && !lists[1] && !lists[2] && !lists[3]) lists = {true, true, true, true};
    for (int l = 0; l < 4; ++l) screen->ClickList(l, lists[static_cast<size_t>(l)]);
    screen->ClickZenbu(all);
    auto done = screen->Rank(platform->printer);
    if (!done) return Failed(ctx, done.error());
    ctx.out << "得点ランクを印刷しました（" << done->lines << " 行）。\n";
    for (const auto& f : done->htmlFiles) ctx.out << "HTML: " << f.string() << '\n';
  } else if (what == "placings") {
    auto pages = screen->Nyusho(platform->printer);
    if (!pages) return Failed(ctx, pages.error());
    ctx.out << "入賞者数を印刷しました（" << *pages << " ページ）。\n";
  } else {
    auto printed = screen->Biko(platform->printer);
    if (!printed) return Failed(ctx, printed.error());
    ctx.out << "記録一覧を印刷しました（" << *printed << " 件）。\n";
  }
  return 0;
}

static VerbRegistration tally("points tally", kTallyUsage, PointsTally);
static VerbRegistration show("points show", "points show", PointsShow);
static VerbRegistration records("points records", "points records", PointsRecords);
static VerbRegistration print("points print", kPrintUsage, PointsPrint);

}  // namespace
}  // namespace meet::cli
