// 集計 of the masters-size meet of the seeding bench (20,000 swimmers, a
// preliminary and a final for every sex and event with entrants, every race
// with results, sample standards and records): reading the input files once,
// the tally in memory, and the whole run with both files written.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_meet.h"
#include "records/sample_standards.h"
#include "results/points_tally.h"

namespace {

// The masters meet seeded, with sample standards and records, every lane swum.
struct MastersMeet {
  std::filesystem::path dir;
  meet::Settings settings;
  int results = 0;
  bool ready = false;

  MastersMeet() {
    meet::bench::BenchMeet& m = meet::bench::MastersMeet();
    dir = m.dir;
    settings = m.settings;
    for (int p = 0; p < 8; ++p) settings.pointsIndividual[static_cast<size_t>(p)] = static_cast<int16_t>(9 - p);
    for (int p = 0; p < 8; ++p) settings.pointsRelay[static_cast<size_t>(p)] = static_cast<int16_t>(18 - 2 * p);
    if (m.Seed() == 0) return;
    (void)meet::WriteSampleStandards(dir, 7, settings.classMode, {2026, 12, 8, 9, 0, 0});
    results = m.SwimAll();
    ready = results > 0;
  }
};

MastersMeet& Masters() {
  static MastersMeet meet;
  return meet;
}

void BM_ReadInputs_Masters(benchmark::State& state) {
  MastersMeet& m = Masters();
  if (!m.ready) return state.SkipWithError("the masters meet could not be made");
  for (auto _ : state) {
    auto in = meet::TallyInputs::Load(m.dir, m.settings);
    if (!in) return state.SkipWithError(in.error().message.c_str());
    benchmark::DoNotOptimize(in->entries.data());
  }
  state.counters["results"] = m.results;
}

void BM_TallyInMemory_Masters(benchmark::State& state) {
  MastersMeet& m = Masters();
  if (!m.ready) return state.SkipWithError("the masters meet could not be made");
  auto in = meet::TallyInputs::Load(m.dir, m.settings);
  if (!in) return state.SkipWithError(in.error().message.c_str());
  size_t records = 0;
  for (auto _ : state) {
    meet::TallyResult r = meet::Tally(*in, m.settings, {}, {2026, 12, 8, 9, 0, 0});
    records = r.records.size();
    benchmark::DoNotOptimize(r.nyusho.teams.data());
  }
  state.counters["results"] = m.results;
  state.counters["records"] = static_cast<double>(records);
}

void BM_Shukei_Masters(benchmark::State& state) {
  MastersMeet& m = Masters();
  if (!m.ready) return state.SkipWithError("the masters meet could not be made");
  meet::bench::BenchClock clock;
  for (auto _ : state) {
    auto r = meet::RunTally(m.dir, m.settings, {}, clock);
    if (!r) return state.SkipWithError(r.error().message.c_str());
  }
  state.counters["results"] = m.results;
}

BENCHMARK(BM_ReadInputs_Masters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TallyInMemory_Masters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Shukei_Masters)->Unit(benchmark::kMillisecond);

}  // namespace
