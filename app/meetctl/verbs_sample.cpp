// sample-entries OUT.Mos: writes a realistic entry file for demos, rehearsals
// and benchmarks; the same options give the same bytes.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "data/sample_entries.h"
#include "meetctl/cli.h"

namespace meet::cli {
namespace {

constexpr const char* kUsage = "sample-entries OUT.Mos [--swimmers N] [--seed S] [--scheme 0|2] [--course 0|1]";

// Digits only: no sign, no blanks, nothing after them, no overflow.
std::optional<uint64_t> Digits(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Takes "--name VALUE" as a number up to `high`; an error line when it is not one.
std::optional<std::string> TakeNumber(std::vector<std::string>& args, const std::string& name, uint64_t high,
                                      uint64_t& value) {
  auto taken = TakeOption(args, name);
  if (!taken) return taken.error().message;
  if (!*taken) return std::nullopt;
  auto number = Digits(**taken);
  if (!number || *number > high) return name + " の値が正しくありません: " + **taken;
  value = *number;
  return std::nullopt;
}

int SampleEntriesVerb(Context& ctx, std::vector<std::string>& args) {
  SampleOptions options;
  uint64_t swimmers = static_cast<uint64_t>(options.swimmers), seed = options.seed;
  uint64_t scheme = static_cast<uint64_t>(options.scheme), course = static_cast<uint64_t>(options.course);
  for (auto problem : {TakeNumber(args, "--swimmers", kMaxSampleSwimmers, swimmers),
                       TakeNumber(args, "--seed", UINT64_MAX, seed), TakeNumber(args, "--scheme", 2, scheme),
                       TakeNumber(args, "--course", 1, course)}) {
    if (problem) return UsageError(ctx, *problem);
  }
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return UsageError(ctx, kUsage);
  options.swimmers = static_cast<int>(swimmers);
  options.seed = seed;
  options.scheme = static_cast<int>(scheme);
  options.course = static_cast<int>(course);
  if (auto ok = CheckSampleOptions(options); !ok) return UsageError(ctx, ok.error().message);

  auto summary = WriteSampleEntryFile(args[0], options, ctx.clock().Now());
  if (!summary) return Failed(ctx, summary.error());
  ctx.out << args[0] << ": " << summary->entries << " 件を書きました（うちリレーチーム " << summary->relayTeams
          << " 件）\n";
  return 0;
}

VerbRegistration sampleVerb("sample-entries", kUsage, SampleEntriesVerb);

}  // namespace
}  // namespace meet::cli
