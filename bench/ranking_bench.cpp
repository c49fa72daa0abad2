// Ranking every event of a masters-size meet (20,000 swimmers, one age band,
// heats and finals seeded from the entries, every swimmer with a result) by
// 種目順 with the HTML file: the goal is under one second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <unistd.h>

#include "core/file_names.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/sample_entries.h"
#include "program/projun_file.h"
#include "program/seeding.h"
#include "results/frm_ranking_screen.h"

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
class NoLauncher : public meet::Launcher {
 public:
  bool Start(const std::string&) override { return true; }
};

struct MastersMeet {
  fs::path dir;
  meet::Settings settings;
  bool ready = false;

  MastersMeet() {
    dir = fs::temp_directory_path() / ("meetdesk-ranking-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    settings.laneCount = 8;
    settings.seedingMode = "0";
    settings.classMode = "0";
    settings.meetAbbrev = "bench";
    settings.entryFolder = dir.string() + "/";
    settings.entryFileName = "bench.Mos";
    meet::SampleOptions options;
    options.swimmers = 20000;
    options.seed = 7;
    const fs::path entryPath = dir / settings.entryFileName;
    if (!meet::WriteSampleEntryFile(entryPath, options, {2026, 12, 8, 9, 0, 0})) return;
    // One program entry per sex and event with entrants: heats only.
    auto file = meet::EntryFile::OpenForReading(entryPath);
    if (!file) return;
    std::map<std::pair<char, int>, int> events;
    for (int32_t n = 1; n <= file->entriesHeld(); ++n) {
      const meet::Entry e = file->Load(n);
      for (int ev = 1; ev <= 44; ++ev)
        if (e.entryTimes[static_cast<size_t>(ev - 1)] != 0) ++events[{e.sexCode.empty() ? '1' : e.sexCode[0], ev}];
    }
    meet::ProgramOrder order = meet::ProgramOrder::FromBytes(dir / "projun.dat", std::string());
    int n = 0;
    for (const auto& [key, count] : events) {
      meet::ProgramEntry e;
      e.orderNo = static_cast<int16_t>(n + 1);
      e.sexCode = std::string(1, key.first);
      e.ageFrom = 0;
      e.ageTo = 100;
      e.eventCode = static_cast<int16_t>(key.second);
      e.stageCode = "1";
      e.seedFlag = "1";
      e.dayNo = "1";
      order.SetCount(++n);
      (void)order.Write(n, e);
    }
    if (!order.Save()) return;
    NoDialogs dialogs;
    BenchClock clock;
    if (!meet::RunSeeding(dir, settings, {}, dialogs, clock)) return;
    // Every swimmer swims his entry time.
    auto bytes = meet::ReadWholeFile(dir / "taikai.dat");
    if (!bytes) return;
    for (size_t at = 256 * 10; at + 256 <= bytes->size(); at += 256)
      bytes->replace(at + 46, 48, bytes->substr(at + 94, 48));
    ready = static_cast<bool>(meet::WriteWholeFile(dir / "taikai.dat", *bytes));
  }
  ~MastersMeet() {
    std::error_code ec;
    fs::remove_all(dir, ec);
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
