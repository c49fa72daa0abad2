// A crowd against `meetctl serve` on loopback, run under `ulimit -n 1024`:
// 2,000 connections at once for 20 seconds (each asks for the overview once
// and then stays open and idle, as a phone does), 200 of them polling their
// event every second with its ETag, 10 streams of changes, and a fresh
// client after another, while races are finished and posted. No answer is
// an error, a fresh client's slowest 1 % answers within a second, a posted
// race reaches the streams within 2 seconds, the idle connections are
// closed by the server after 15 seconds, and it is still up at the end.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <mutex>
#include <thread>

#include "live/live_process.h"
#include "print/program_pages.h"

namespace meet {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kConnections = 2000;
constexpr int kPolling = 200;
constexpr int kStreams = 10;
constexpr auto kRun = std::chrono::seconds(20);

int64_t Ms(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); }

int64_t Percentile(std::vector<int64_t> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

struct Conn {
  int fd = -1;
  enum Kind { Idle, Polling, Stream } kind = Idle;
  std::string in;
  bool waiting = false;  // a request sent, its answer not whole yet
  Clock::time_point sent{}, next{};
  std::string etag;
  bool closedByServer = false;
  Clock::time_point closedAt{};
};

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
    close(fd);
    return -1;
  }
  return fd;
}

// The status of the first whole answer in `in` (removed from it), 0 while
// none is whole.
int TakeAnswer(std::string& in, std::string* etag) {
  const size_t end = in.find("\r\n\r\n");
  if (end == std::string::npos) return 0;
  std::string head = in.substr(0, end);
  size_t length = 0;
  for (size_t at = 0; (at = head.find("\r\n", at)) != std::string::npos;) {
    at += 2;
    const size_t colon = head.find(':', at);
    if (colon == std::string::npos) break;
    std::string name = head.substr(at, colon - at);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string value = head.substr(colon + 2, head.find("\r\n", colon) - colon - 2);
    if (name == "content-length") length = std::stoul(value);
    if (name == "etag" && etag) *etag = value;
  }
  if (in.size() < end + 4 + length) return 0;
  const int status = std::atoi(in.c_str() + 9);
  in.erase(0, end + 4 + length);
  return status;
}

void Send(int fd, const std::string& request) {
  size_t done = 0;
  while (done < request.size()) {
    const ssize_t n = send(fd, request.data() + done, request.size() - done, MSG_NOSIGNAL);
    if (n <= 0) {
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      return;
    }
    done += static_cast<size_t>(n);
  }
}

TEST(LiveLoad, ACrowdUnderTheCommonOpenFileLimitWhileRacesArePosted) {
  // This client holds more sockets than 1,024 too.
  rlimit lim{};
  getrlimit(RLIMIT_NOFILE, &lim);
  lim.rlim_cur = lim.rlim_max;
  setrlimit(RLIMIT_NOFILE, &lim);
  if (lim.rlim_cur < kConnections + 200) GTEST_SKIP() << "the open-file limit here is " << lim.rlim_cur;

  test::SeededMeet meet;
  std::string message;
  ASSERT_TRUE(meet.Make(200, 1, &message)) << message;
  auto races = RaceFileImage::Load(meet.meet);
  ASSERT_TRUE(races);
  const std::string event = std::to_string(races->race(1).eventNo);
  const int port = test::FreePort();
  test::Child server({"/bin/sh", "-c", "ulimit -S -n 1024 && exec \"$0\" \"$@\"", test::MeetctlPath(), "--ctl",
                      meet.ctl.string(), "serve", "--port", std::to_string(port)},
                     meet.dir / "serve.log");
  ASSERT_TRUE(test::WaitForServer(port)) << test::ReadFile(meet.dir / "serve.log");

  std::atomic<bool> stop{false};
  std::mutex lock;
  std::vector<std::string> errors;
  auto error = [&](const std::string& e) {
    std::lock_guard g(lock);
    if (errors.size() < 20) errors.push_back(e);
  };

  // The desk: race after race finished and posted; its own stream says
  // when each posted race was pushed (timed from the start of the posting).
  std::vector<Clock::time_point> postedAt;
  std::vector<int64_t> pushMs;
  std::thread desk([&] {
    const int fd = Connect(port);
    pollfd p{fd, POLLOUT, 0};
    poll(&p, 1, 2000);
    Send(fd, "GET /api/stream HTTP/1.1\r\nHost: x\r\n\r\n");
    std::string in;
    // Reads the stream until `until`; true when an event listed race n.
    auto listed = [&](int n, Clock::time_point until) {
      for (;;) {
        for (size_t at; (at = in.find("\n\n")) != std::string::npos;) {
          const std::string event = in.substr(0, at);
          in.erase(0, at + 2);
          const size_t races = event.find("\"races\":[");
          if (races == std::string::npos) continue;
          const std::string list = "," + event.substr(races + 9, event.find(']', races) - races - 9) + ",";
          if (n > 0 && list.find("," + std::to_string(n) + ",") != std::string::npos) return true;
        }
        const int64_t left = Ms(until - Clock::now());
        if (left <= 0) return false;
        pollfd q{fd, POLLIN, 0};
        if (poll(&q, 1, static_cast<int>(left)) != 1) return false;
        char buffer[65536];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        in.append(buffer, static_cast<size_t>(got));
      }
    };
    for (int n = 2; n <= races->raceCount() && !stop; ++n) {
      if (meet.Meetctl({"timing", "finish", std::to_string(n), "--seed", std::to_string(n)}).rc != 0) continue;
      listed(0, Clock::now() + std::chrono::milliseconds(600));  // the timing system's "6" pushed and read
      const auto start = Clock::now();
      if (meet.Meetctl({"post", "--no-print"}).rc != 0) continue;
      const bool pushed = listed(n, start + std::chrono::seconds(5));
      std::lock_guard g(lock);
      postedAt.push_back(Clock::now());
      if (pushed) pushMs.push_back(Ms(Clock::now() - start));
      else errors.push_back("race " + std::to_string(n) + " posted, not pushed within 5 s");
    }
    close(fd);
  });
  // Fresh clients, one after another.
  std::vector<int64_t> freshMs;
  std::thread fresh([&] {
    const std::vector<std::string> paths = {"/", "/event/" + event, "/api/event/" + event, "/race/2", "/api/meet", "/points"};
    for (size_t i = 0; !stop; ++i) {
      const auto start = Clock::now();
      const auto a = test::Http(port, "GET", paths[i % paths.size()], std::chrono::milliseconds(5000));
      const int64_t ms = Ms(Clock::now() - start);
      std::lock_guard g(lock);
      freshMs.push_back(ms);
      if (a.status != 200) errors.push_back("fresh " + paths[i % paths.size()] + ": " + std::to_string(a.status) + " " + a.error);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });

  // The crowd, on one thread.
  const auto begin = Clock::now(), end = begin + kRun;
  std::vector<Conn> conns(kConnections);
  int refused = 0;
  for (int i = 0; i < kConnections; ++i) {
    Conn& c = conns[static_cast<size_t>(i)];
    c.kind = i < kPolling ? Conn::Polling : i < kPolling + kStreams ? Conn::Stream : Conn::Idle;
    c.fd = Connect(port);
    if (c.fd < 0) ++refused;
  }
  int answers = 0, notModified = 0, streamEvents = 0;
  std::vector<int64_t> pollMs;
  std::vector<Clock::time_point> firstRequest(kConnections);
  std::vector<bool> opened(kConnections, false);
  while (Clock::now() < end) {
    std::vector<pollfd> fds;
    std::vector<size_t> which;
    const auto now = Clock::now();
    for (size_t i = 0; i < conns.size(); ++i) {
      Conn& c = conns[i];
      if (c.fd < 0) continue;
      if (!opened[i]) {
        fds.push_back({c.fd, POLLOUT, 0});
        which.push_back(i);
        continue;
      }
      if (c.kind == Conn::Polling && !c.waiting && now >= c.next) {
        Send(c.fd, "GET /api/event/" + event + " HTTP/1.1\r\nHost: x\r\nAccept-Encoding: gzip\r\n" +
                       (c.etag.empty() ? std::string() : "If-None-Match: " + c.etag + "\r\n") + "\r\n");
        c.waiting = true;
        c.sent = now;
      }
      fds.push_back({c.fd, POLLIN, 0});
      which.push_back(i);
    }
    if (poll(fds.data(), fds.size(), 50) < 0) break;
    for (size_t j = 0; j < fds.size(); ++j) {
      if (fds[j].revents == 0) continue;
      const size_t i = which[j];
      Conn& c = conns[i];
      if (!opened[i]) {
        int soError = 0;
        socklen_t len = sizeof soError;
        getsockopt(c.fd, SOL_SOCKET, SO_ERROR, &soError, &len);
        if (soError != 0) {
          error("connect: " + std::string(std::strerror(soError)));
          close(c.fd);
          c.fd = -1;
          continue;
        }
        opened[i] = true;
        const std::string path = c.kind == Conn::Stream ? "/api/stream" : "/";
        Send(c.fd, "GET " + path + " HTTP/1.1\r\nHost: x\r\nAccept-Encoding: gzip\r\n\r\n");
        c.waiting = c.kind != Conn::Stream;
        c.sent = Clock::now();
        continue;
      }
      char buffer[65536];
      const ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
      if (n <= 0) {
        if (n < 0 && errno == EAGAIN) continue;
        if (c.waiting) error("connection closed before its answer");
        c.closedByServer = true;
        c.closedAt = Clock::now();
        close(c.fd);
        c.fd = -1;
        // A poller comes back at once, as the page's next turn would.
        if (c.kind == Conn::Polling && Clock::now() < end - std::chrono::seconds(1)) {
          Conn again;
          again.kind = Conn::Polling;
          again.etag = c.etag;
          again.fd = Connect(port);
          c = again;
          opened[i] = false;
        }
        continue;
      }
      c.in.append(buffer, static_cast<size_t>(n));
      if (c.kind == Conn::Stream) {
        for (size_t at; (at = c.in.find("\nevent: change\n")) != std::string::npos;) {
          ++streamEvents;
          c.in.erase(0, at + 14);
        }
        continue;
      }
      for (int status; (status = TakeAnswer(c.in, c.kind == Conn::Polling ? &c.etag : nullptr)) != 0;) {
        ++answers;
        if (status == 304) ++notModified;
        else if (status != 200) error("answer " + std::to_string(status));
        if (c.kind == Conn::Polling) {
          pollMs.push_back(Ms(Clock::now() - c.sent));
          c.next = Clock::now() + std::chrono::seconds(1);
        }
        c.waiting = false;
      }
    }
  }
  stop = true;
  fresh.join();
  desk.join();
  int idleClosed = 0, idle = 0;
  for (size_t i = 0; i < conns.size(); ++i) {
    Conn& c = conns[i];
    if (c.kind == Conn::Idle && opened[i]) {
      ++idle;
      if (c.closedByServer && c.closedAt - begin >= std::chrono::seconds(kRun.count() / 2)) ++idleClosed;
    }
    if (c.fd >= 0) close(c.fd);
  }
  std::cout << "load: " << kConnections << " connections (" << idle << " idle, " << kPolling << " polling, " << kStreams
            << " streams), " << answers << " answers to them (" << notModified << " × 304), " << freshMs.size()
            << " fresh clients: p99 " << Percentile(freshMs, 0.99) << " ms, slowest " << Percentile(freshMs, 1.0)
            << " ms; polling p99 " << Percentile(pollMs, 0.99) << " ms; " << postedAt.size() << " races posted, "
            << streamEvents << " changes pushed to the streams (a posted race pushed at most " << Percentile(pushMs, 1.0)
            << " ms after its posting began); " << idleClosed
            << " idle connections closed by the server; refused " << refused << "\n";
  EXPECT_TRUE(errors.empty()) << errors.size() << " errors, the first: " << errors.front();
  EXPECT_EQ(refused, 0);
  EXPECT_LT(Percentile(freshMs, 0.99), 1000);
  EXPECT_GT(postedAt.size(), 0u);
  EXPECT_GT(streamEvents, 0);
  EXPECT_LT(Percentile(pushMs, 1.0), 2000);
  EXPECT_GT(notModified, 0);
  EXPECT_GE(idleClosed, idle * 9 / 10);
  EXPECT_TRUE(server.running());
  EXPECT_EQ(test::Http(port, "GET", "/api/meet").status, 200);
}

}  // namespace
}  // namespace meet
