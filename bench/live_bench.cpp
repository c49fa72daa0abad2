// The live results site over the masters-size meet, seeded, every lane swum:
// /event/N of the event with the most heats (goal under 50 ms) and the meet
// overview / (goal under 20 ms). "Fresh": the first request after a race was
// posted (built from the files again); otherwise the answer kept since.
// Publishing it: the whole site into an empty folder (goal under 5 s), again
// after one race was posted (goal under 0.5 s), beside the floor of copying
// the same bytes once. One open event page for an hour: the bytes it costs
// polling every 10 seconds with its ETag, and with the pushed stream, while
// its event changes 20 times (goal under 1 MB).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <fcntl.h>
#include <unistd.h>

#include "bench_meet.h"
#include "print/program_pages.h"
#include "core/file_names.h"
#include "live/http.h"
#include "live/live_site.h"
#include "live/publish.h"
#include "core/numbers.h"
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

namespace fs = std::filesystem;

fs::path Scratch(const std::string& name) {
  fs::path p = fs::temp_directory_path() / ("meetdesk-bench-" + std::to_string(::getpid()) + "-" + name);
  std::error_code ec;
  fs::remove_all(p, ec);
  return p;
}

// A race posted: one lane of race n a hundredth faster.
void PostOne(LiveMeet& meet, int n) {
  auto bytes = meet::ReadWholeFile(meet.m.dir / "taikai.dat");
  if (!bytes) return;
  const size_t at = static_cast<size_t>(n + 9) * 256 + 46;
  if (at + 4 > bytes->size()) return;
  (*bytes)[at] = static_cast<char>((*bytes)[at] ^ 1);
  (void)meet::WriteWholeFile(meet.m.dir / "taikai.dat", *bytes);
}

struct Published {
  size_t files = 0;
  uint64_t bytes = 0;
};
Published Count(const fs::path& dir) {
  Published p;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) {
      ++p.files;
      p.bytes += e.file_size();
    }
  return p;
}

void BM_Publish_Whole(benchmark::State& state) {
  LiveMeet& meet = Live();
  if (!meet.ready) return state.SkipWithError("the masters meet could not be made");
  const meet::live::LiveSite site = meet.Site().WithOptions({false, true});
  fs::path out;
  for (auto _ : state) {
    state.PauseTiming();
    out = Scratch("whole");
    state.ResumeTiming();
    auto report = meet::live::PublishSite(site, meet.m.dir, out);
    if (!report) return state.SkipWithError(report.error().message.c_str());
  }
  const Published p = Count(out);
  state.counters["files"] = static_cast<double>(p.files);
  state.counters["MB"] = static_cast<double>(p.bytes) / 1e6;
  std::error_code ec;
  fs::remove_all(out, ec);
}

void BM_Publish_AfterOnePosting(benchmark::State& state) {
  LiveMeet& meet = Live();
  if (!meet.ready) return state.SkipWithError("the masters meet could not be made");
  const meet::live::LiveSite site = meet.Site().WithOptions({false, true});
  const fs::path out = Scratch("again");
  if (!meet::live::PublishSite(site, meet.m.dir, out)) return state.SkipWithError("first publish failed");
  int n = 1, written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    PostOne(meet, n++ % meet.races + 1);
    state.ResumeTiming();
    auto report = meet::live::PublishSite(site, meet.m.dir, out);
    if (!report) return state.SkipWithError(report.error().message.c_str());
    written = report->written;
  }
  state.counters["written"] = written;
  std::error_code ec;
  fs::remove_all(out, ec);
}

// The floor: every file of a published site copied once into a new folder
// (written and renamed; publishing does not sync the site either).
void BM_Publish_Floor(benchmark::State& state) {
  LiveMeet& meet = Live();
  if (!meet.ready) return state.SkipWithError("the masters meet could not be made");
  const fs::path from = Scratch("floor-from");
  if (!meet::live::PublishSite(meet.Site().WithOptions({false, true}), meet.m.dir, from))
    return state.SkipWithError("publish failed");
  std::vector<std::pair<fs::path, std::string>> files;
  for (const auto& e : fs::recursive_directory_iterator(from))
    if (e.is_regular_file()) files.emplace_back(fs::relative(e.path(), from), meet::ReadWholeFile(e.path()).value_or(""));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path to = Scratch("floor-to");
    state.ResumeTiming();
    for (const auto& [rel, bytes] : files) {
      const fs::path target = to / rel;
      fs::create_directories(target.parent_path());
      const std::string temp = target.string() + ".tmp";
      const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) return state.SkipWithError("cannot write");
      if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return state.SkipWithError("short write");
      ::close(fd);
      ::rename(temp.c_str(), target.c_str());
    }
    state.PauseTiming();
    std::error_code ec;
    fs::remove_all(to, ec);
    state.ResumeTiming();
  }
  state.counters["files"] = static_cast<double>(files.size());
  std::error_code ec;
  fs::remove_all(from, ec);
}

// One open event page for an hour: a poll every 10 seconds (If-None-Match,
// gzip), or the stream's events and a fetch of the page when its event
// changed; the event changes 20 times.
void BM_PageHour(benchmark::State& state) {
  LiveMeet& meet = Live();
  if (!meet.ready) return state.SkipWithError("the masters meet could not be made");
  const meet::live::LiveSite site = meet.Site();
  auto events = meet::RaceFileImage::Load(meet.m.dir);
  // The event with the fewest heats (a page of ordinary size here, where
  // one band holds every age).
  int eventNo = 0, race = 0;
  std::map<int, std::vector<int>> heats;
  for (int n = 1; n <= events->raceCount(); ++n) heats[events->race(n).eventNo].push_back(n);
  size_t fewest = SIZE_MAX;
  for (const auto& [e, rs] : heats)
    if (e > 0 && rs.size() < fewest) {
      fewest = rs.size();
      eventNo = e;
      race = rs.front();
    }
  state.counters["heats"] = static_cast<double>(fewest);
  if (eventNo == 0) return state.SkipWithError("no event");
  const std::string path = "/event/" + meet::NumberText(eventNo);
  uint64_t polled = 0, pushed = 0;
  size_t page = 0;
  for (auto _ : state) {
    polled = pushed = 0;
    std::string etag;
    for (int poll = 0; poll < 360; ++poll) {
      if (poll % 18 == 9) {
        state.PauseTiming();
        PostOne(meet, race + (poll / 18) % static_cast<int>(fewest));
        state.ResumeTiming();
        const auto changes = site.ChangesSince(site.LastChangeId() > 0 ? site.LastChangeId() - 1 : 0);
        pushed += changes.empty() ? 0 : meet::live::StreamEvent(changes.back().id, changes.back().Json()).size();
      }
      const std::string request = "GET " + path + " HTTP/1.1\r\nHost: x\r\nAccept-Encoding: gzip\r\n" +
                                  (etag.empty() ? std::string() : "If-None-Match: " + etag + "\r\n") + "\r\n";
      const auto parsed = meet::live::ParseRequest(request);
      const auto reply = meet::live::Reply(site, parsed.request);
      polled += request.size() + reply.bytes.size();
      if (reply.status == 200) {
        pushed += request.size() + reply.bytes.size();  // the stream: only the fetches after a change
        const size_t at = reply.bytes.find("ETag: ");
        etag = reply.bytes.substr(at + 6, reply.bytes.find("\r\n", at) - at - 6);
        page = reply.bytes.size();
      }
    }
  }
  state.counters["polling_bytes_per_hour"] = static_cast<double>(polled);
  state.counters["stream_bytes_per_hour"] = static_cast<double>(pushed);
  state.counters["page_gzip_bytes"] = static_cast<double>(page);
}

BENCHMARK(BM_Publish_Whole)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Publish_AfterOnePosting)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Publish_Floor)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PageHour)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LiveEvent_Largest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveEvent_Largest_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveEventJson_Largest_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveMeet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveMeet_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveRace_Fresh)->Unit(benchmark::kMillisecond);

}  // namespace
