// The live results site over the masters-size meet, seeded, every lane swum:
// /event/N of the event with the most heats (goal under 50 ms) and the meet
// overview / (goal under 20 ms). "Fresh": the first request after a race was
// posted (built from the files again); otherwise the answer kept since.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "bench_meet.h"
#include "print/program_pages.h"
#include "core/file_names.h"
#include "live/live_site.h"
#include "settings/settings.h"

namespace {

struct LiveMeet {
  meet::bench::BenchMeet& m = meet::bench::MastersMeet();
  int largestEvent = 0;  // printed number of the event with the most heats
  int heats = 0;
  int races = 0;
  bool ready = false;
  LiveMeet() {
    races = m.Seed();
    if (races == 0 || m.SwimAll() <= 0 || !meet::SaveSettings(m.dir, m.settings)) return;
    auto image = meet::RaceFileImage::Load(m.dir);
    if (!image) return;
    std::map<int, int> count;
    for (int n = 1; n <= image->raceCount(); ++n) ++count[image->race(n).eventNo];
    for (const auto& [event, n] : count)
      if (event > 0 && n > heats) {
        heats = n;
        largestEvent = event;
      }
    // Every heat of that event timed at each of four lengths, as the timing
    // system leaves its lap files.
    std::filesystem::create_directories(m.dir / "lap");
    for (int n = 1; n <= image->raceCount(); ++n) {
      if (image->race(n).eventNo != largestEvent) continue;
      std::string text;
      for (int lap = 1; lap <= 4; ++lap)
        for (int lane = 1; lane <= 10; ++lane)
          text += std::to_string(lane) + ",00:" + std::to_string(20 + 8 * lap) + "." + std::to_string(10 + lane) +
                  (lap == 4 ? ",G\r\n" : ",\r\n");
      char name[8];
      std::snprintf(name, sizeof name, "R%04d", n % 10000);
      if (!meet::WriteWholeFile(m.dir / "lap" / name, text)) return;
    }
    ready = largestEvent > 0;
  }
  meet::live::LiveSite Site() const { return {m.dir, m.settings.entryFolder, m.settings.entryFileName, {}}; }
};

LiveMeet& Live() {
  static LiveMeet meet;
  return meet;
}

void Respond(benchmark::State& state, const std::string& path, bool fresh = false) {
  LiveMeet& meet = Live();
  if (!meet.ready) return state.SkipWithError("the masters meet could not be made");
  const meet::live::LiveSite kept = meet.Site();
  size_t bytes = 0;
  const std::filesystem::path raceStates = meet.m.dir / "Race.dat";
  int tick = 0;
  for (auto _ : state) {
    if (fresh) {
      // A race posted: the state file changes, the entry file does not.
      state.PauseTiming();
      std::error_code ec;
      std::filesystem::last_write_time(raceStates, std::filesystem::file_time_type::clock::now() +
                                                       std::chrono::seconds(++tick), ec);
      state.ResumeTiming();
    }
    const auto r = kept.Respond("GET", path);
    if (r.status != 200) return state.SkipWithError(("status " + std::to_string(r.status)).c_str());
    bytes = r.body.size();
    benchmark::DoNotOptimize(r.body.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["heats"] = meet.heats;
  state.counters["races"] = meet.races;
}

std::string LargestEvent(bool api) { return (api ? "/api/event/" : "/event/") + std::to_string(Live().largestEvent); }
void BM_LiveEvent_Largest(benchmark::State& state) { Respond(state, LargestEvent(false)); }
void BM_LiveEvent_Largest_Fresh(benchmark::State& state) { Respond(state, LargestEvent(false), true); }
void BM_LiveEventJson_Largest_Fresh(benchmark::State& state) { Respond(state, LargestEvent(true), true); }
void BM_LiveMeet(benchmark::State& state) { Respond(state, "/"); }
void BM_LiveMeet_Fresh(benchmark::State& state) { Respond(state, "/", true); }
void BM_LiveRace_Fresh(benchmark::State& state) { Respond(state, "/race/1", true); }

BENCHMARK(BM_LiveEvent_Largest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveEvent_Largest_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveEventJson_Largest_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveMeet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveMeet_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveRace_Fresh)->Unit(benchmark::kMillisecond);

}  // namespace
