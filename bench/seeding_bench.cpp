// Seeding a meet: a national-size meet (3,000 swimmers, about 9,000 entries,
// 300 program entries in age bands) and a masters-size meet (20,000 swimmers,
// the largest event with over a thousand entrants). Side by side: reading the
// input files once, planning in memory, and the whole run with its writes
// (race, relay and program files, pages, race states).
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

#include "core/file_names.h"
#include "data/entry_file.h"
#include "data/sample_entries.h"
#include "program/projun_file.h"
#include "program/seeding.h"
#include "data/race_states.h"
#include "race/timing_post.h"
#include "race/timing_standin.h"
#include "records/sample_standards.h"

namespace {

namespace fs = std::filesystem;

class NoDialogs : public meet::Dialogs {
 public:
  bool AskOkCancel(std::string_view) override { return true; }
  bool AskYesNo(std::string_view) override { return true; }
  void Notify(std::string_view) override {}
  std::optional<std::string> PickFolder(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> PickFile(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

class BenchClock : public meet::Clock {
 public:
  meet::DateTime Now() const override { return {2026, 12, 8, 9, 0, 0}; }
};

struct Band {
  int16_t from, to;
};

// A meet folder with a sample entry file and a program of preliminaries and
// finals for the sexes, events and bands that have entrants.
struct BenchMeet {
  fs::path dir;
  meet::Settings settings;
  std::string program;  // projun.dat as built, restored before every run
  int entries = 0;      // entry times in the file
  int programEntries = 0;
  int largestEvent = 0;

  BenchMeet(const std::string& name, int swimmers, const std::vector<Band>& bands, int maxProgram) {
    dir = fs::temp_directory_path() / ("meetdesk-seeding-bench-" + name + "-" + std::to_string(getpid()));
    fs::create_directories(dir);
    settings.laneCount = 8;
    settings.seedingMode = "0";
    settings.classMode = bands.size() > 1 ? "1" : "0";
    settings.entryFolder = dir.string() + "/";
    settings.entryFileName = "bench.Mos";
    meet::SampleOptions options;
    options.swimmers = swimmers;
    options.seed = 7;
    const fs::path entryPath = dir / settings.entryFileName;
    if (!meet::WriteSampleEntryFile(entryPath, options, {2026, 12, 8, 9, 0, 0})) return;

    // Entrants per (sex, event, band).
    auto file = meet::EntryFile::OpenForReading(entryPath);
    if (!file) return;
    std::map<std::tuple<char, int, size_t>, int> count;
    for (int32_t n = 1; n <= file->entriesHeld(); ++n) {
      meet::Entry e = file->Load(n);
      for (int ev = 1; ev <= 44; ++ev) {
        if (e.entryTimes[static_cast<size_t>(ev - 1)] == 0) continue;
        ++entries;
        for (size_t b = 0; b < bands.size(); ++b)
          if (bands.size() == 1 || (e.age >= bands[b].from && e.age <= bands[b].to))
            ++count[{e.sexCode.empty() ? '\0' : e.sexCode[0], ev, b}];
      }
    }
    meet::ProgramOrder order = meet::ProgramOrder::FromBytes(dir / "projun.dat", std::string());
    int n = 0;
    for (const auto& [key, entrants] : count) {
      if (n + 2 > maxProgram) break;
      const auto& [sex, ev, b] = key;
      largestEvent = std::max(largestEvent, entrants);
      meet::ProgramEntry e;
      e.orderNo = 1;
      e.sexCode = std::string(1, sex);
      e.ageFrom = bands[b].from;
      e.ageTo = bands[b].to;
      e.eventCode = static_cast<int16_t>(ev);
      e.seedFlag = "1";
      e.dayNo = ev % 2 ? "1" : "2";
      for (const char* stage : {"1", "2"}) {
        e.stageCode = stage;
        order.SetCount(++n);
        (void)order.Write(n, e);
      }
    }
    programEntries = n;
    program = order.bytes();
  }
  ~BenchMeet() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  void RestoreProgram() const { (void)meet::WriteWholeFile(dir / "projun.dat", program); }
};

BenchMeet& National() {
  static BenchMeet meet("national", 3000, {{1, 12}, {13, 15}, {16, 18}, {19, 100}}, 300);
  return meet;
}
BenchMeet& Masters() {
  static BenchMeet meet("masters", 20000, {{1, 100}}, 32767);
  return meet;
}

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
  settings.timingSystem = "1";
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
  struct : meet::Launcher {
    bool Start(const std::string&) override { return false; }
  } launcher;
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
