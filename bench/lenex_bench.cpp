// The Lenex results export of the masters-size meet (20,000 swimmers, heats
// and finals seeded, every seeded lane swum, a points table loaded): the
// element tree built, written as text, zipped and written whole; the goal is
// under 2 s. Beside it the floor: writing the same .lxf bytes whole, and
// zipping the same text.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_meet.h"
#include "core/file_names.h"
#include "interchange/frm_lenex_screen.h"
#include "interchange/lenex_export.h"
#include "interchange/lxf_write.h"
#include "results/wa_points.h"

namespace {

struct LenexMeet {
  meet::bench::BenchMeet& m = meet::bench::MastersMeet();
  meet::MeetFiles files;
  bool ready = false;
  LenexMeet() {
    if (m.Seed() == 0 || m.SwimAll() <= 0) return;
    std::string table;
    for (const char* course : {"LCM", "SCM"})
      for (const char* gender : {"M", "F"})
        for (const char* row : {"50,FREE,1,21.00", "100,FREE,1,47.00", "200,FREE,1,1:43.00", "100,BACK,1,52.00",
                                "100,BREAST,1,58.00", "100,FLY,1,50.00", "200,MEDLEY,1,1:55.00"})
          table += std::string(course) + "," + gender + "," + row + "\n";
    if (!meet::WriteWholeFile(m.dir / "in.csv", table) || !meet::ImportPointsTable(m.dir, m.dir / "in.csv")) return;
    files = meet::MeetFiles{m.dir, m.settings};
    // The bench meet's settings hold no dates; a Lenex session needs one.
    files.settings.meetDateFrom = files.settings.meetDateTo = 20261208;
    ready = true;
  }
};

LenexMeet& Meet() {
  static LenexMeet meet;
  return meet;
}

void BM_Lenex_Masters_ResultsExport(benchmark::State& state) {
  LenexMeet& meet = Meet();
  if (!meet.ready) {
    state.SkipWithError("the masters meet could not be made");
    return;
  }
  meet::LenexCounts counts;
  for (auto _ : state) {
    meet::FrmLenexScreen screen(meet.files);
    screen.txtFile() = (meet.m.dir / "bench.lxf").string();
    auto done = screen.ClickExport();
    if (!done) {
      state.SkipWithError(done.error().message.c_str());
      return;
    }
    counts = *done;
  }
  state.counters["athletes"] = counts.athletes;
  state.counters["results"] = counts.results;
  state.counters["bytes"] = static_cast<double>(meet::FileSize(meet.m.dir / "bench.lxf"));
}
BENCHMARK(BM_Lenex_Masters_ResultsExport)->Unit(benchmark::kMillisecond);

// The floor: the same file's bytes written whole, nothing built.
void BM_Lenex_Masters_WriteSameBytes(benchmark::State& state) {
  LenexMeet& meet = Meet();
  auto bytes = meet.ready ? meet::ReadWholeFile(meet.m.dir / "bench.lxf") : meet::Result<std::string>{};
  if (!meet.ready || !bytes || bytes->empty()) {
    state.SkipWithError("run after BM_Lenex_Masters_ResultsExport");
    return;
  }
  for (auto _ : state)
    if (!meet::WriteWholeFile(meet.m.dir / "floor.lxf", *bytes)) state.SkipWithError("write failed");
}
BENCHMARK(BM_Lenex_Masters_WriteSameBytes)->Unit(benchmark::kMillisecond);

// Where the time goes: the tree alone, and the zip of its text alone.
void BM_Lenex_Masters_TreeOnly(benchmark::State& state) {
  LenexMeet& meet = Meet();
  if (!meet.ready) {
    state.SkipWithError("the masters meet could not be made");
    return;
  }
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(meet::BuildLenexDocument(doc, meet.files, {}));
  }
}
BENCHMARK(BM_Lenex_Masters_TreeOnly)->Unit(benchmark::kMillisecond);

void BM_Lenex_Masters_ZipOnly(benchmark::State& state) {
  LenexMeet& meet = Meet();
  pugi::xml_document doc;
  if (!meet.ready || !meet::BuildLenexDocument(doc, meet.files, {})) {
    state.SkipWithError("the masters meet could not be made");
    return;
  }
  const std::string text = meet::LenexText(doc);
  for (auto _ : state) benchmark::DoNotOptimize(meet::LxfBytes("bench.lef", text));
  state.counters["lef"] = static_cast<double>(text.size());
}
BENCHMARK(BM_Lenex_Masters_ZipOnly)->Unit(benchmark::kMillisecond);

}  // namespace
