// `meetctl serve` as a process over a meet made with meetctl: every route
// against the race file, a race posted meanwhile, bad requests, and not one
// byte or time of the meet's files changed by serving.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <regex>
#include <thread>

#include "core/time_code.h"
#include "print/program_pages.h"
#include "live/live_process.h"

namespace meet {
namespace {

using test::Http;

std::string TimeOf(int32_t code) {
  std::string t = FormatTime(code);
  t.erase(0, t.find_first_not_of(' '));
  t.erase(t.find_last_not_of(' ') + 1);
  return t;
}

// The number after `"key":` at or after `from`.
int JsonNumber(const std::string& json, const std::string& key, size_t from = 0) {
  const size_t at = json.find("\"" + key + "\":", from);
  return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + key.size() + 3);
}

struct LiveServe : ::testing::Test {
  void SetUp() override {
    std::string message;
    ASSERT_TRUE(meet.Make(120, 2, &message)) << message;
    ASSERT_EQ(meet.Meetctl({"points", "tally"}).rc, 0);
    port = test::FreePort();
    server = std::make_unique<test::Child>(
        std::vector<std::string>{test::MeetctlPath(), "--ctl", meet.ctl.string(), "serve", "--port", std::to_string(port)},
        meet.dir / "serve.log");
    ASSERT_TRUE(test::WaitForServer(port)) << test::ReadFile(meet.dir / "serve.log");
  }
  void TearDown() override { server.reset(); }
  std::string Get(const std::string& path) {
    const auto a = Http(port, "GET", path);
    EXPECT_EQ(a.status, 200) << path << " " << a.error << "\n" << a.body;
    return a.body;
  }
  test::SeededMeet meet;
  int port = 0;
  std::unique_ptr<test::Child> server;
};

TEST_F(LiveServe, EveryRouteShowsTheRaceFile) {
  const auto before = test::FolderState(meet.dir / "meets");
  auto races = RaceFileImage::Load(meet.meet);
  ASSERT_TRUE(races);
  const Race first = races->race(1);

  const std::string meetJson = Get("/api/meet");
  EXPECT_EQ(JsonNumber(meetJson, "races"), races->raceCount());
  EXPECT_NE(Get("/").find("href=\"event/" + std::to_string(first.eventNo) + "\""), std::string::npos);

  // Race 1 lane by lane as posted.
  const std::string raceJson = Get("/api/race/1");
  EXPECT_NE(raceJson.find("\"state\":\"final\""), std::string::npos);
  for (size_t k = 0; k < 8; ++k)
    if (first.laneNo[k] != 0) {
      EXPECT_NE(raceJson.find("\"lane\":" + std::to_string(k + 1) + ",\"place\":"), std::string::npos) << k;
    }
  const std::string racePage = Get("/race/1");
  for (size_t k = 0; k < 8; ++k)
    if (first.laneNo[k] != 0) {
      EXPECT_NE(racePage.find(">" + TimeOf(first.laneTime[k]) + "<"), std::string::npos) << k;
    }

  // The event's results: every timed lane of its heats, fastest first, with
  // its heat and lane.
  std::vector<std::pair<int32_t, std::string>> timed;
  for (int n = 1; n <= races->raceCount(); ++n) {
    const Race r = races->race(n);
    if (r.eventNo != first.eventNo) continue;
    for (size_t k = 0; k < 8; ++k)
      if (r.laneNo[k] != 0 && r.laneTime[k] > 0 && r.laneTime[k] < kNoRecord && r.laneRecordClass[k] != 99)
        timed.emplace_back(r.laneTime[k], std::to_string(r.heatNo) + "-" + std::to_string(k + 1));
  }
  ASSERT_FALSE(timed.empty());
  std::stable_sort(timed.begin(), timed.end(), [](auto& a, auto& b) { return a.first < b.first; });
  const std::string event = "/event/" + std::to_string(first.eventNo);
  // A row: the place, the name with "H組Lコース" beneath, the time (and its marks).
  const auto rows = test::TableRows(Get(event), "id=\"p-results\"");
  std::vector<std::pair<std::string, std::string>> shown, expected;
  const std::regex where("([0-9]+)組([0-9]+)コース");
  for (const auto& row : rows) {
    std::smatch m;
    if (row.size() == 3 && std::regex_search(row[1], m, where))
      shown.emplace_back(row[2].substr(0, row[2].find(' ')), m[1].str() + "-" + m[2].str());
  }
  for (const auto& [time, heatLane] : timed) expected.emplace_back(TimeOf(time), heatLane);
  // Equal times may stand in either order.
  std::sort(shown.begin(), shown.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(rows.front().at(0), "1");
  const std::string eventJson = Get("/api" + event);
  EXPECT_EQ(JsonNumber(eventJson, "event"), first.eventNo);
  EXPECT_TRUE(std::regex_search(eventJson, std::regex("\"splits\":\\[[0-9]+")));  // the stand-in wrote the lap file

  EXPECT_NE(Get("/api/points").find("\"tallied\":true"), std::string::npos);
  EXPECT_NE(Get("/points").find("<h2>総合</h2>"), std::string::npos);
  EXPECT_EQ(Http(port, "HEAD", event).status, 200);
  const auto options = Http(port, "OPTIONS", "/api/meet");
  EXPECT_EQ(options.status, 204);
  EXPECT_NE(options.headers.find("Access-Control-Allow-Origin: *"), std::string::npos);

  struct Bad {
    const char* method;
    std::string path;
    int status;
  };
  const std::string overlong(40, '9');
  const Bad bad[] = {
      {"POST", "/", 405},          {"PUT", "/api/race/1", 405},  {"DELETE", event, 405},
      {"POST", "/nowhere", 405},   {"GET", "/nowhere", 404},     {"GET", "/event/0", 404},
      {"GET", "/event/-1", 404},   {"GET", "/event/99999", 404}, {"GET", "/event/1e3", 404},
      {"GET", "/race/0", 404},     {"GET", "/race/-1", 404},     {"GET", "/race/99999", 404},
      {"GET", "/race/1e3", 404},   {"GET", "/race/" + overlong, 404}, {"GET", "/api/event/" + overlong, 404},
      {"GET", "/api/race/99999", 404}, {"GET", "/kijun.dat", 404}, {"GET", "/../kijun.dat", 404},
      {"GET", "/%2e%2e/kijun.dat", 404}, {"GET", "/race/1/../../taikai.dat", 404}, {"GET", "/api/", 404},
  };
  for (const Bad& b : bad) EXPECT_EQ(Http(port, b.method, b.path).status, b.status) << b.method << " " << b.path;

  EXPECT_TRUE(server->running());
  EXPECT_TRUE(test::FolderState(meet.dir / "meets") == before) << "serving changed a file of the meet";
}

TEST_F(LiveServe, ARacePostedMeanwhileShowsOnTheNextRequest) {
  // The first race not yet posted.
  auto races = RaceFileImage::Load(meet.meet);
  ASSERT_TRUE(races);
  int next = 3;
  while (next <= races->raceCount() && races->race(next).laneNo[3] == 0 && races->race(next).laneNo[4] == 0) ++next;
  ASSERT_LE(next, races->raceCount());
  const std::string path = "/api/race/" + std::to_string(next);
  const std::string event = "/event/" + std::to_string(races->race(next).eventNo);
  const std::string before = Get(path), eventBefore = Get(event);
  EXPECT_NE(before.find("\"state\":\"scheduled\""), std::string::npos);

  std::string message;
  ASSERT_TRUE(meet.Post(next, &message)) << message;
  const auto posted = test::FolderState(meet.dir / "meets");
  const std::string after = Get(path);
  EXPECT_NE(after.find("\"state\":\"final\""), std::string::npos) << after;
  races = RaceFileImage::Load(meet.meet);
  const Race r = races->race(next);
  for (size_t k = 0; k < 8; ++k)
    if (r.laneNo[k] != 0 && r.laneTime[k] > 0 && r.laneTime[k] < kNoRecord) {
      EXPECT_NE(after.find("\"text\":\"" + TimeOf(r.laneTime[k]) + "\""), std::string::npos) << k;
    }
  EXPECT_NE(Get(event), eventBefore);
  EXPECT_TRUE(test::FolderState(meet.dir / "meets") == posted) << "serving changed a file of the meet";
}

TEST_F(LiveServe, MeetctlPrintsNoneOfQtsStartUpNoise) {
  // Printing to PDF starts Qt's application; without XDG_RUNTIME_DIR Qt would
  // say so, and at exit it would tell of its thread storage.
  const char* held = std::getenv("XDG_RUNTIME_DIR");
  const std::string runtime = held ? held : "";
  unsetenv("XDG_RUNTIME_DIR");
  // The same PDF name in both runs: each writes into a folder of its own.
  auto argv = [&](const char* folder) {
    return std::vector<std::string>{test::MeetctlPath(), "--ctl", meet.ctl.string(), "--print",
                                    "pdf:" + (meet.dir / folder / "pdf").string(), "print", "results", "1"};
  };
  const test::ProcessRun both = test::RunProcess(argv("a"), std::chrono::seconds(60), true);
  const test::ProcessRun stdoutOnly = test::RunProcess(argv("b"), std::chrono::seconds(60), false);
  if (held) setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  EXPECT_EQ(both.rc, 0) << both.out;
  EXPECT_FALSE(stdoutOnly.out.empty());
  auto folderless = [](std::string out) {
    for (size_t at; (at = out.find("/b/pdf/")) != std::string::npos;) out.replace(at, 7, "/a/pdf/");
    return out;
  };
  EXPECT_EQ(both.out, folderless(stdoutOnly.out)) << "stderr held more than nothing";
}

}  // namespace
}  // namespace meet

namespace meet {
namespace {

// Waits until `done` holds, at most `limit`; the time it took, or -1.
int64_t WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < limit) {
    if (done()) return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

TEST(LivePublish, WatchPublishesAPostingWithinASecondAndTriesAgainAfterAFailure) {
  test::SeededMeet meet;
  std::string message;
  ASSERT_TRUE(meet.Make(80, 1, &message)) << message;
  const std::filesystem::path site = meet.dir / "site", elsewhere = meet.dir / "elsewhere";
  test::Child watch({test::MeetctlPath(), "--ctl", meet.ctl.string(), "--print", "none", "publish", site.string(), "--watch"},
                    meet.dir / "watch.log");
  auto has = [](const std::filesystem::path& p, const std::string& text) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && test::ReadFile(p).find(text) != std::string::npos;
  };
  ASSERT_GE(WaitFor([&] { return has(site / "api" / "race" / "2.json", "\"state\":\"scheduled\""); }, std::chrono::seconds(30)), 0)
      << test::ReadFile(meet.dir / "watch.log");
  // Race 2 posted: its page within a second of the posting.
  ASSERT_TRUE(meet.Post(2, &message)) << message;
  const int64_t took = WaitFor([&] { return has(site / "api" / "race" / "2.json", "\"state\":\"final\""); }, std::chrono::seconds(5));
  std::cout << "publish --watch: race 2 published " << took << " ms after its posting\n";
  EXPECT_GE(took, 0);
  EXPECT_LT(took, 1000);
  // A link where race 3's page goes: said, nothing written through it; once
  // it is gone the next look publishes.
  std::filesystem::create_directories(elsewhere);
  test::WriteFile(elsewhere / "target", "keep");
  std::filesystem::remove(site / "race" / "3.html");
  std::filesystem::create_symlink(elsewhere / "target", site / "race" / "3.html");
  ASSERT_TRUE(meet.Post(3, &message)) << message;
  EXPECT_GE(WaitFor([&] { return has(meet.dir / "watch.log", "通常のファイルではありません"); }, std::chrono::seconds(5)), 0)
      << test::ReadFile(meet.dir / "watch.log");
  EXPECT_EQ(test::ReadFile(elsewhere / "target"), "keep");
  EXPECT_TRUE(has(site / "api" / "race" / "3.json", "\"state\":\"scheduled\""));  // nothing of that publish written
  std::filesystem::remove(site / "race" / "3.html");
  EXPECT_GE(WaitFor([&] { return has(site / "api" / "race" / "3.json", "\"state\":\"final\""); }, std::chrono::seconds(8)), 0)
      << test::ReadFile(meet.dir / "watch.log");
  EXPECT_GE(WaitFor([&] { return has(meet.dir / "watch.log", "書き込めるようになりました"); }, std::chrono::seconds(2)), 0);
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(site / "race" / "3.html")));
  EXPECT_TRUE(watch.running());
}

}  // namespace
}  // namespace meet
