// Seeding a meet: a national-size meet (3,000 swimmers, about 9,000 entries,
// 300 program entries in age bands) and a masters-size meet (20,000 swimmers,
// the largest event with over a thousand entrants). Side by side: reading the
// input files once, planning in memory, and the whole run with its writes
// (race, relay and program files, pages, race states).
#include <benchmark/benchmark.h>

#include "bench_meet.h"

#include "program/seeding.h"
#include "data/race_states.h"
#include "race/timing_post.h"
#include "race/timing_standin.h"
#include "records/sample_standards.h"

namespace {

using meet::bench::BenchClock;
using meet::bench::BenchMeet;
using meet::bench::NoDialogs;

BenchMeet& National() {
  static BenchMeet meet("national", 3000, {{1, 12}, {13, 15}, {16, 18}, {19, 100}}, 300);
  return meet;
}
BenchMeet& Masters() { return meet::bench::MastersMeet(); }

void Counters(benchmark::State& state, const BenchMeet& meet) {
  state.counters["entries"] = meet.entries;
  state.counters["program"] = meet.programEntries;
  state.counters["largest"] = meet.largestEvent;
}

void ReadInputs(benchmark::State& state, BenchMeet& meet) {
  meet.RestoreProgram();
  for (auto _ : state) {
    auto input = meet::ReadSeedingInput(meet.dir, meet.settings, {});
    if (!input) {
      state.SkipWithError(input.error().message.c_str());
      return;
    }
    benchmark::DoNotOptimize(input->entrants.data());
  }
  Counters(state, meet);
}

void Plan(benchmark::State& state, BenchMeet& meet) {
  meet.RestoreProgram();
  auto input = meet::ReadSeedingInput(meet.dir, meet.settings, {});
  if (!input) {
    state.SkipWithError(input.error().message.c_str());
    return;
  }
  int races = 0;
  for (auto _ : state) {
    auto plan = meet::PlanSeeding(*input, meet.settings, {});
    if (!plan) {
      state.SkipWithError(plan.error().message.c_str());
      return;
    }
    races = plan->raceCount;
    benchmark::DoNotOptimize(plan->raceBytes.data());
  }
  Counters(state, meet);
  state.counters["races"] = races;
}

void WholeRun(benchmark::State& state, BenchMeet& meet) {
  NoDialogs dialogs;
  BenchClock clock;
  int races = 0;
  for (auto _ : state) {
    state.PauseTiming();
    meet.RestoreProgram();
    state.ResumeTiming();
    auto run = meet::RunSeeding(meet.dir, meet.settings, {}, dialogs, clock);
    if (!run) {
      state.SkipWithError(run.error().message.c_str());
      return;
    }
    races = run->raceCount;
  }
  Counters(state, meet);
  state.counters["races"] = races;
}

void BM_ReadInputs_National(benchmark::State& s) { ReadInputs(s, National()); }
void BM_Plan_National(benchmark::State& s) { Plan(s, National()); }
void BM_Seed_National(benchmark::State& s) { WholeRun(s, National()); }
void BM_ReadInputs_Masters(benchmark::State& s) { ReadInputs(s, Masters()); }
void BM_Plan_Masters(benchmark::State& s) { Plan(s, Masters()); }
void BM_Seed_Masters(benchmark::State& s) { WholeRun(s, Masters()); }

BENCHMARK(BM_ReadInputs_National)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plan_National)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Seed_National)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadInputs_Masters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plan_Masters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Seed_Masters)->Unit(benchmark::kMillisecond);

// Posting one race of the seeded masters meet from its goal and lap files:
// a relay race with its relay block (split import), placing, the standards
// and records check, the save and the state, printing off.
void PostOneRace(benchmark::State& state, BenchMeet& meet) {
  NoDialogs dialogs;
  BenchClock clock;
  meet::NullPrinter printer;
  meet.RestoreProgram();
  meet::Settings settings = meet.settings;
  settings.timingSystem.assign(1, '1');  // not = "1": GCC 12 warns falsely (-Wrestrict)
  settings.printCopies[4] = settings.printCopies[9] = settings.printCopies[14] = 1;
  auto run = meet::RunSeeding(meet.dir, settings, {}, dialogs, clock);
  if (!run || !meet::WriteSampleStandards(meet.dir, 7, settings.classMode, clock.Now())) {
    state.SkipWithError("seeding or standards failed");
    return;
  }
  int raceNo = 0;
  meet::Race race;
  for (int n = 1; n <= run->raceCount && raceNo == 0; ++n) {
    auto r = meet::LoadRaceB(meet.dir, n);
    if (r && r->eventCode >= 24 && r->eventCode <= 29 && r->relayRec > 0 && r->laneNo[3] != 0 &&
        r->heatNo < r->heatTotal) {
      raceNo = n;
      race = *r;
    }
  }
  if (raceNo == 0 || !meet::FinishRace(meet.dir, settings, raceNo, {})) {
    state.SkipWithError("no relay heat to post");
    return;
  }
  meet::bench::NoLauncher launcher;
  meet::Platform platform{printer, dialogs, clock, launcher};
  const meet::MeetFiles files{meet.dir, settings};
  for (auto _ : state) {
    state.PauseTiming();
    auto states = meet::RaceStates::Read(meet.dir);
    states->Set(raceNo, meet::kStateTimingWaiting);
    (void)states->Write(meet.dir);
    state.ResumeTiming();
    auto report = meet::postTimingResults(files, platform, false);
    if (!report || report->posted.size() != 1) {
      state.SkipWithError("posting failed");
      return;
    }
  }
  Counters(state, meet);
  state.counters["races"] = run->raceCount;
}

void BM_PostOneRace_Masters(benchmark::State& s) { PostOneRace(s, Masters()); }
BENCHMARK(BM_PostOneRace_Masters)->Unit(benchmark::kMillisecond);

}  // namespace
