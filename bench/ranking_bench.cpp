// Ranking every event of a masters-size meet (20,000 swimmers, one age band,
// heats seeded from the entries, every swimmer with a result) by
// 種目順 with the HTML file: the goal is under one second.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_meet.h"
#include "results/frm_ranking_screen.h"

namespace {

using meet::bench::BenchClock;
using meet::bench::NoDialogs;
using meet::bench::NoLauncher;

// The masters meet of heats only, seeded, every swimmer with a result.
struct MastersMeet {
  std::filesystem::path dir;
  meet::Settings settings;
  bool ready = false;
  MastersMeet() {
    meet::bench::BenchMeet& m = meet::bench::MastersMeet(false);
    dir = m.dir;
    settings = m.settings;
    ready = m.Seed() > 0 && m.SwimAll() > 0;
  }
};

void BM_Ranking_Masters_EventOrderHtml(benchmark::State& state) {
  static MastersMeet meet;
  if (!meet.ready) {
    state.SkipWithError("the masters meet could not be made");
    return;
  }
  meet::NullPrinter printer;
  NoDialogs dialogs;
  BenchClock clock;
  NoLauncher launcher;
  meet::Platform platform{printer, dialogs, clock, launcher};
  int lines = 0;
  for (auto _ : state) {
    meet::FrmRankingScreen screen(meet::MeetFiles{meet.dir, meet.settings});
    screen.ClickOption(meet::kFrameJun, meet::kOrderEvent);
    screen.ClickHtml(true);
    auto done = screen.Run(platform);
    if (!done) {
      state.SkipWithError(done.error().message.c_str());
      return;
    }
    lines = done->lines;
  }
  state.counters["lines"] = lines;
}

BENCHMARK(BM_Ranking_Masters_EventOrderHtml)->Unit(benchmark::kMillisecond);

}  // namespace
