// 集計 of the masters-size meet of the seeding bench (20,000 swimmers, a
// preliminary and a final for every sex and event with entrants, every race
// with results, sample standards and records): reading the input files once,
// the tally in memory, and the whole run with both files written.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <cstring>
#include <map>
#include <unistd.h>

#include "core/file_names.h"
#include "data/entry_file.h"
#include "data/sample_entries.h"
#include "program/projun_file.h"
#include "program/seeding.h"
#include "records/sample_standards.h"
#include "results/points_tally.h"

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

struct MastersMeet {
  fs::path dir;
  meet::Settings settings;
  int results = 0;
  bool ready = false;

  MastersMeet() {
    dir = fs::temp_directory_path() / ("meetdesk-points-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    settings.laneCount = 8;
    settings.seedingMode = "0";
    settings.classMode = "0";
    settings.entryFolder = dir.string() + "/";
    settings.entryFileName = "bench.Mos";
    for (int p = 0; p < 8; ++p) settings.pointsIndividual[static_cast<size_t>(p)] = static_cast<int16_t>(9 - p);
    for (int p = 0; p < 8; ++p) settings.pointsRelay[static_cast<size_t>(p)] = static_cast<int16_t>(18 - 2 * p);
    meet::SampleOptions options;
    options.swimmers = 20000;
    options.seed = 7;
    const fs::path entryPath = dir / settings.entryFileName;
    if (!meet::WriteSampleEntryFile(entryPath, options, {2026, 12, 8, 9, 0, 0})) return;
    auto file = meet::EntryFile::OpenForReading(entryPath);
    if (!file) return;
    std::map<std::pair<char, int>, int> count;
    for (int32_t n = 1; n <= file->entriesHeld(); ++n) {
      meet::Entry e = file->Load(n);
      for (int ev = 1; ev <= 44; ++ev)
        if (e.entryTimes[static_cast<size_t>(ev - 1)] != 0) ++count[{e.sexCode.empty() ? '\0' : e.sexCode[0], ev}];
    }
    meet::ProgramOrder order = meet::ProgramOrder::FromBytes(dir / "projun.dat", std::string());
    int n = 0;
    for (const auto& [key, entrants] : count) {
      meet::ProgramEntry e;
      e.orderNo = 1;
      e.sexCode = std::string(1, key.first);
      e.ageTo = 100;
      e.eventCode = static_cast<int16_t>(key.second);
      e.seedFlag = "1";
      e.dayNo = "1";
      for (const char* stage : {"1", "2"}) {
        e.stageCode = stage;
        order.SetCount(++n);
        (void)order.Write(n, e);
      }
    }
    (void)meet::WriteWholeFile(dir / "projun.dat", order.bytes());
    NoDialogs dialogs;
    BenchClock clock;
    if (!meet::RunSeeding(dir, settings, {}, dialogs, clock)) return;
    (void)meet::WriteSampleStandards(dir, 7, settings.classMode, {2026, 12, 8, 9, 0, 0});
    // Every seeded lane swims: its entry time a little faster, else 30.00.
    auto bytes = meet::ReadWholeFile(dir / "taikai.dat");
    if (!bytes) return;
    std::string& b = *bytes;
    for (size_t at = 256 * 10; at + 256 <= b.size(); at += 256)
      for (size_t k = 0; k < 10; ++k) {
        int16_t no;
        int32_t entry;
        std::memcpy(&no, &b[at + 22 + 2 * k], 2);
        std::memcpy(&entry, &b[at + 94 + 4 * k], 4);
        if (no == 0) continue;
        const int32_t time = entry > 200 && entry < 595900 ? entry - static_cast<int32_t>((at / 256 + k) % 100) : 3000;
        std::memcpy(&b[at + 46 + 4 * k], &time, 4);
        ++results;
      }
    ready = static_cast<bool>(meet::WriteWholeFile(dir / "taikai.dat", b));
  }
  ~MastersMeet() {
    std::error_code ec;
    fs::remove_all(dir, ec);
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
  BenchClock clock;
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
