// time format / time input / sort: the time codes and the shared sort.
#include <climits>
#include <iostream>
#include <string>

#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

int TimeVerb(Context& ctx, std::vector<std::string>& args) {
  if (args.empty()) return UsageError(ctx, "time format CODE… または time input --screen race|confirm TEXT…");
  std::string sub = args[0];
  args.erase(args.begin());
  if (sub == "format") {
    if (args.empty()) return UsageError(ctx, "time format CODE…（タイムコードを指定してください）");
    // Every code is checked before the first is printed.
    for (const auto& code : args)
      if (auto n = NumberInRange(code, "タイムコード", INT32_MIN, INT32_MAX); !n) return Failed(ctx, n.error());
    for (const auto& code : args) ctx.out << FormatTime(LeadingInt32(code)) << '\n';
    return 0;
  }
  if (sub == "input") {
    auto screen = TakeOption(args, "--screen");
    if (!screen) return UsageError(ctx, screen.error().message);
    std::string which = screen->value_or("race");
    if (which != "race" && which != "confirm") return UsageError(ctx, "--screen は race か confirm です。");
    if (args.empty()) return UsageError(ctx, "time input --screen race|confirm TEXT…（入力する文字を指定してください）");
    for (const auto& text : args)
      ctx.out << (which == "race" ? RaceScreenTimeInput(text) : ConfirmScreenTimeInput(text)) << '\n';
    return 0;
  }
  return UsageError(ctx, "time の後は format か input です。");
}

int SortVerb(Context& ctx, std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(ctx, "sort は引数をとりません（行は標準入力から読みます）: " + args[0]);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(ctx.in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  SortStrings(lines);
  for (const auto& l : lines) ctx.out << l << '\n';
  return 0;
}

VerbRegistration timeVerb("time", "time format CODE… | time input --screen race|confirm TEXT…", TimeVerb);
VerbRegistration sortVerb("sort", "sort  (lines from standard input, sorted by the shared sort)", SortVerb);

}  // namespace
}  // namespace meet::cli
