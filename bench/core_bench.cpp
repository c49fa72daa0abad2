// Time codes, the shared sort and CP932 text over meet-sized data.
#include <benchmark/benchmark.h>

#include <random>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"

namespace {

void BM_FormatTime(benchmark::State& state) {
  int32_t code = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(meet::FormatTime(code));
    code = (code + 12347) % 1000000;
  }
}
BENCHMARK(BM_FormatTime);

// Ranking keys of a large event: time + entry number, sorted as text.
void BM_SortRankingKeys(benchmark::State& state) {
  std::mt19937 gen(1);
  std::vector<std::string> keys(static_cast<size_t>(state.range(0)));
  for (auto& k : keys) k = meet::RightAligned(gen() % 60000 + 1000000, 8) + meet::RightAligned(gen() % 30000 + 1000, 6);
  for (auto _ : state) {
    auto copy = keys;
    meet::SortStrings(copy);
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BM_SortRankingKeys)->Arg(1000)->Arg(20000);

void BM_DecodeEntryName(benchmark::State& state) {
  std::string bytes = meet::EncodeCp932("山田　太郎      ");
  for (auto _ : state) benchmark::DoNotOptimize(meet::DecodeCp932(bytes));
}
BENCHMARK(BM_DecodeEntryName);

}  // namespace
