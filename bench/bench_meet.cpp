#include "bench_meet.h"

#include <unistd.h>

#include <cstring>
#include <map>
#include <tuple>

#include "core/file_names.h"
#include "data/entry_file.h"
#include "data/sample_entries.h"
#include "program/projun_file.h"
#include "program/seeding.h"

namespace meet::bench {
namespace fs = std::filesystem;

BenchMeet::BenchMeet(const std::string& name, int swimmers, const std::vector<Band>& bands, int maxProgram,
                     bool finals) {
  dir = fs::temp_directory_path() / ("meetdesk-bench-" + name + "-" + std::to_string(getpid()));
  fs::create_directories(dir);
  settings.laneCount = 8;
  settings.seedingMode = "0";
  settings.classMode = bands.size() > 1 ? "1" : "0";
  settings.meetAbbrev = "bench";
  settings.entryFolder = dir.string() + "/";
  settings.entryFileName = "bench.Mos";
  SampleOptions options;
  options.swimmers = swimmers;
  options.seed = 7;
  const fs::path entryPath = dir / settings.entryFileName;
  if (!WriteSampleEntryFile(entryPath, options, {2026, 12, 8, 9, 0, 0})) return;

  // Entrants per (sex, event, band).
  auto file = EntryFile::OpenForReading(entryPath);
  if (!file) return;
  std::map<std::tuple<char, int, size_t>, int> count;
  for (int32_t n = 1; n <= file->entriesHeld(); ++n) {
    const Entry e = file->Load(n);
    for (int ev = 1; ev <= 44; ++ev) {
      if (e.entryTimes[static_cast<size_t>(ev - 1)] == 0) continue;
      ++entries;
      for (size_t b = 0; b < bands.size(); ++b)
        if (bands.size() == 1 || (e.age >= bands[b].from && e.age <= bands[b].to))
          ++count[{e.sexCode.empty() ? '\0' : e.sexCode[0], ev, b}];
    }
  }
  ProgramOrder order = ProgramOrder::FromBytes(dir / "projun.dat", std::string());
  const int stages = finals ? 2 : 1;
  int n = 0;
  for (const auto& [key, entrants] : count) {
    if (n + stages > maxProgram) break;
    const auto& [sex, ev, b] = key;
    largestEvent = std::max(largestEvent, entrants);
    ProgramEntry e;
    e.orderNo = 1;
    e.sexCode = std::string(1, sex);
    e.ageFrom = bands[b].from;
    e.ageTo = bands[b].to;
    e.eventCode = static_cast<int16_t>(ev);
    e.seedFlag = "1";
    e.dayNo = ev % 2 ? "1" : "2";
    for (int stage = 1; stage <= stages; ++stage) {
      e.stageCode = std::to_string(stage);
      order.SetCount(++n);
      (void)order.Write(n, e);
    }
  }
  programEntries = n;
  program = order.bytes();
  RestoreProgram();
  ready = true;
}

BenchMeet::~BenchMeet() {
  std::error_code ec;
  fs::remove_all(dir, ec);
}

void BenchMeet::RestoreProgram() const { (void)WriteWholeFile(dir / "projun.dat", program); }

int BenchMeet::Seed() {
  if (!ready) return 0;
  NoDialogs dialogs;
  BenchClock clock;
  RestoreProgram();
  auto run = RunSeeding(dir, settings, {}, dialogs, clock);
  return run ? run->raceCount : 0;
}

int BenchMeet::SwimAll() {
  auto bytes = ReadWholeFile(dir / "taikai.dat");
  if (!bytes) return -1;
  std::string& b = *bytes;
  int results = 0;
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
  return WriteWholeFile(dir / "taikai.dat", b) ? results : -1;
}

BenchMeet& MastersMeet(bool finals) {
  if (finals) {
    static BenchMeet meet("masters", 20000, {{1, 100}}, 32767, true);
    return meet;
  }
  static BenchMeet heats("masters-heats", 20000, {{1, 100}}, 32767, false);
  return heats;
}

}  // namespace meet::bench
