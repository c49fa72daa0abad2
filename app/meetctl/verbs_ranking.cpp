// ranking: the ranking screen frmRanking's "実行" with its controls set by the
// flags (defaults as the screen's); the lists are written to stdout as text
// too, each list's title line followed by its lines with tab-separated columns.
#include "meetctl/cli.h"
#include "results/frm_ranking_screen.h"

namespace meet::cli {
namespace {

constexpr const char* kRankingUsage =
    "ranking [--order race|event|program] [--sex all|men|women] "
    "[--stroke all|free|back|breast|fly|im|medley-relay|free-relay] [--distance all|25|50|100|200|400|800|1500] "
    "[--stage all|heats|final|consolation|semi|combined|entry] [--records] [--standards] [--open-grade A B] "
    "[--age-grade A B] [--age A B] [--grade A B] [--max-rank N] [--reg PREFIX] [--print] [--html] [--unmask]";

struct Choice {
  const char* flag;
  int frame;
  std::vector<const char*> words;  // option index = position
};
const std::vector<Choice>& Choices() {
  static const std::vector<Choice> choices = {
      {"--order", kFrameJun, {"race", "event", "program"}},
      {"--sex", kFrameSei, {"all", "men", "women"}},
      {"--stroke", kFrameShu, {"all", "free", "back", "breast", "fly", "im", "medley-relay", "free-relay"}},
      {"--distance", kFrameKyori, {"all", "25", "50", "100", "200", "400", "800", "1500"}},
      {"--stage", kFrameYoketu, {"all", "heats", "final", "consolation", "semi", "combined", "entry"}},
  };
  return choices;
}

// Removes "--name A B"; an error when a value is missing.
Result<std::optional<std::pair<std::string, std::string>>> TakePair(std::vector<std::string>& args,
                                                                    const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 2 >= args.size())
      return Fail(ErrorKind::Invalid, name + " の後に二つの値（から・まで）が必要です。");
    std::pair<std::string, std::string> values{args[i + 1], args[i + 2]};
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i + 3));
    return values;
  }
  return std::nullopt;
}

int Ranking(Context& ctx, std::vector<std::string>& args) {
  auto files = ctx.HubMeetFiles();
  if (!files) return Failed(ctx, files.error());
  FrmRankingScreen screen(*files);

  for (const Choice& c : Choices()) {
    auto value = TakeOption(args, c.flag);
    if (!value) return Failed(ctx, value.error());
    if (!*value) continue;
    int index = -1;
    for (size_t i = 0; i < c.words.size(); ++i)
      if (**value == c.words[i]) index = static_cast<int>(i);
    if (index < 0) return UsageError(ctx, std::string(c.flag) + " の値が違います: " + **value + "\n" + kRankingUsage);
    screen.ClickOption(c.frame, index);
  }
  const std::pair<const char*, int> ranges[] = {
      {"--open-grade", kRangeMkyu}, {"--age-grade", kRangeNkyu}, {"--age", kRangeNenrei}, {"--grade", kRangeGakunen}};
  for (const auto& [flag, range] : ranges) {
    auto pair = TakePair(args, flag);
    if (!pair) return Failed(ctx, pair.error());
    if (!*pair) continue;
    screen.txtRange(range, 0) = (*pair)->first;
    screen.txtRange(range, 1) = (*pair)->second;
  }
  auto maxRank = TakeOption(args, "--max-rank");
  if (!maxRank) return Failed(ctx, maxRank.error());
  if (*maxRank) screen.txtJun() = **maxRank;
  auto reg = TakeOption(args, "--reg");
  if (!reg) return Failed(ctx, reg.error());
  if (*reg) screen.txtQBan() = **reg;
  if (TakeSwitch(args, "--records")) screen.ClickOption(kFrameBiko, 1);
  if (TakeSwitch(args, "--standards")) screen.ClickOption(kFrameHyo, 1);
  const bool print = TakeSwitch(args, "--print");
  const bool html = TakeSwitch(args, "--html");
  screen.ClickHiroshima(TakeSwitch(args, "--unmask"));
  if (!args.empty()) return UsageError(ctx, kRankingUsage);
  if (print && screen.option(kFrameJun) == kOrderProgram)
    return UsageError(ctx, "--order program は HTML だけを書き出します（--print は使えません）。");
  if (print) screen.ClickInsatu(true);
  if (html) screen.ClickHtml(true);

  auto platform = ctx.PlatformFor(screen.chkInsatu());
  if (!platform) return Failed(ctx, platform.error());
  auto done = screen.Run(*platform, [&ctx](const std::string& lines) { ctx.out << lines; });
  if (!done) return Failed(ctx, done.error());
  ctx.out << "種目 " << done->events << "、一覧 " << done->lists << "、" << done->lines << " 名";
  if (done->pages > 0) ctx.out << "、印刷 " << done->pages << " ページ";
  ctx.out << '\n';
  if (done->html) ctx.out << "HTML: " << done->html->string() << '\n';
  // On stderr, so that stdout holds the lists and their summary only.
  if (!done->leftOutNote.empty()) ctx.err << "注意: " << done->leftOutNote << '\n';
  return 0;
}

static VerbRegistration ranking("ranking", kRankingUsage, Ranking);

}  // namespace
}  // namespace meet::cli
