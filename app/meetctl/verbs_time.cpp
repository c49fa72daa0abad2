// time format / time input / sort: the time codes and the shared sort.
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
    for (const auto& code : args) ctx.out << FormatTime(LeadingInt32(code)) << '\n';
    return 0;
  }
  if (sub == "input") {
    auto screen = TakeOption(args, "--screen");
    if (!screen) return UsageError(ctx, screen.error().message);
    std::string which = screen->value_or("race");
    if (which != "race" && which != "confirm") return UsageError(ctx, "--screen は race か confirm です。");
    for (const auto& text : args)
      ctx.out << (which == "race" ? RaceScreenTimeInput(text) : ConfirmScreenTimeInput(text)) << '\n';
    return 0;
  }
  return UsageError(ctx, "time の後は format か input です。");
}

int SortVerb(Context& ctx, std::vector<std::string>&) {
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
