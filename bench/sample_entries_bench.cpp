// Generating the sample entry file of a large meet: 20,000 swimmers and their
// relay teams, and a small demo meet for comparison.
#include <benchmark/benchmark.h>

#include "data/sample_entries.h"

namespace {

void BM_SampleEntryFile(benchmark::State& state) {
  meet::SampleOptions options;
  options.swimmers = static_cast<int>(state.range(0));
  options.course = 1;
  const meet::DateTime today{2026, 12, 8, 9, 0, 0};
  int64_t entries = 0;
  for (auto _ : state) {
    meet::SampleSummary summary;
    auto bytes = meet::SampleEntryFileBytes(options, today, &summary);
    if (!bytes) {
      state.SkipWithError(bytes.error().message.c_str());
      return;
    }
    benchmark::DoNotOptimize(bytes->data());
    entries += summary.entries;
  }
  state.counters["entries"] = benchmark::Counter(static_cast<double>(entries), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SampleEntryFile)->Arg(600)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
