// 50 clients at once for 10 seconds against `meetctl serve` on loopback
// while races are finished and posted: prints the requests per second and
// the slowest answer; every answer is 200 (or 503 "更新中" for a file caught
// half-written), no connection fails, and the server is still up at the end.
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <mutex>
#include <thread>

#include "print/program_pages.h"
#include "live/live_process.h"

namespace meet {
namespace {

using Clock = std::chrono::steady_clock;

TEST(LiveLoad, FiftyClientsForTenSecondsWhileRacesArePosted) {
  test::SeededMeet meet;
  std::string message;
  ASSERT_TRUE(meet.Make(200, 1, &message)) << message;
  auto races = RaceFileImage::Load(meet.meet);
  ASSERT_TRUE(races);
  const std::string event = std::to_string(races->race(1).eventNo);
  const int port = test::FreePort();
  test::Child server({test::MeetctlPath(), "--ctl", meet.ctl.string(), "serve", "--port", std::to_string(port)},
                     meet.dir / "serve.log");
  ASSERT_TRUE(test::WaitForServer(port));

  const std::vector<std::string> paths = {"/", "/event/" + event, "/api/event/" + event, "/race/1", "/race/2",
                                          "/api/race/2", "/api/meet", "/points", "/api/points"};
  constexpr int kClients = 50;
  const auto end = Clock::now() + std::chrono::seconds(10);
  std::atomic<int> requests{0}, updating{0};
  std::atomic<int64_t> slowestMs{0};
  std::mutex failuresLock;
  std::vector<std::string> failures;
  std::atomic<bool> stop{false};

  // The desk meanwhile: race after race finished and posted.
  std::atomic<int> posted{0};
  std::thread desk([&] {
    for (int n = 2; n <= races->raceCount() && !stop; ++n)
      if (meet.Post(n, nullptr)) ++posted;
  });
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c)
    clients.emplace_back([&, c] {
      for (size_t i = static_cast<size_t>(c); Clock::now() < end; ++i) {
        const std::string& path = paths[i % paths.size()];
        const auto start = Clock::now();
        const auto a = test::Http(port, "GET", path);
        const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        for (int64_t s = slowestMs; ms > s && !slowestMs.compare_exchange_weak(s, ms);) {
        }
        ++requests;
        if (a.status == 503 && a.body.find("更新中") != std::string::npos) ++updating;
        else if (a.status != 200) {
          std::lock_guard lock(failuresLock);
          failures.push_back(path + ": " + std::to_string(a.status) + " " + a.error);
        }
      }
    });
  for (auto& t : clients) t.join();
  stop = true;
  desk.join();

  std::cout << "load: " << requests << " requests from " << kClients << " clients in 10 s, "
            << requests / 10 << " requests/s, slowest " << slowestMs << " ms, " << updating << " answered 更新中, "
            << posted << " races posted meanwhile\n";
  EXPECT_TRUE(failures.empty()) << failures.size() << " failed, the first: " << failures.front();
  EXPECT_GT(posted, 0);
  EXPECT_TRUE(server.running());
  EXPECT_EQ(test::Http(port, "GET", "/api/meet").status, 200);
}

}  // namespace
}  // namespace meet
