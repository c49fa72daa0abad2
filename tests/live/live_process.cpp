#include "live/live_process.h"

#include "live/json_check.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <thread>

extern char** environ;

namespace meet::test {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string MeetctlPath() { return MEETCTL_PATH; }

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const fs::path& output, bool withErrors = true) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string out = output.empty() ? std::string("/dev/null") : output.string();
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (withErrors) posix_spawn_file_actions_adddup2(&actions, 1, 2);
  else posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own process group, so that a kill reaches what it starts too.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return pid;
}

// Waits for the process at most `timeout`; its exit code, or -1 when it
// had to be killed.
int Reap(pid_t pid, std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  int status = 0;
  for (;;) {
    const pid_t got = waitpid(pid, &status, WNOHANG);
    if (got == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (got < 0) return -1;
    if (Clock::now() >= end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(-pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

}  // namespace

ProcessRun RunProcess(const std::vector<std::string>& argv, std::chrono::seconds timeout, bool withErrors) {
  TempDir tmp;
  const fs::path out = tmp / "out.txt";
  ProcessRun run;
  const pid_t pid = Spawn(argv, out, withErrors);
  if (pid < 0) {
    run.out = "cannot start " + argv.front();
    return run;
  }
  run.rc = Reap(pid, timeout);
  run.out = ReadFile(out);
  return run;
}

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t at = 0; at <= dirs.size();) {
    const size_t end = std::min(dirs.find(':', at), dirs.size());
    const fs::path candidate = fs::path(dirs.substr(at, end - at)) / name;
    if (end > at && access(candidate.c_str(), X_OK) == 0) return candidate.string();
    at = end + 1;
  }
  return {};
}

Child::Child(const std::vector<std::string>& argv, const fs::path& output) : pid_(Spawn(argv, output)) {}

bool Child::running() {
  if (pid_ < 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

void Child::Stop() {
  if (!running()) return;
  kill(-pid_, SIGTERM);
  Reap(pid_, std::chrono::milliseconds(3000));
  pid_ = -1;
}

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t len = sizeof a;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(fd);
  return port;
}

HttpAnswer Http(int port, const std::string& method, const std::string& path, std::chrono::milliseconds timeout) {
  HttpAnswer answer;
  const auto end = Clock::now() + timeout;
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    answer.error = "socket";
    return answer;
  }
  auto left = [&] {
    return static_cast<int>(std::max<int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
  };
  auto wait = [&](short events) {
    pollfd p{fd, events, 0};
    return poll(&p, 1, left()) == 1;
  };
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
    answer.error = std::string("connect: ") + std::strerror(errno);
    close(fd);
    return answer;
  }
  int soError = 0;
  socklen_t soLen = sizeof soError;
  if (!wait(POLLOUT) || getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &soLen) != 0 || soError != 0) {
    answer.error = std::string("connect: ") + (soError ? std::strerror(soError) : "timed out");
    close(fd);
    return answer;
  }
  const std::string request = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
                              (method == "POST" || method == "PUT" ? "Content-Length: 0\r\n" : "") + "\r\n";
  size_t sent = 0;
  while (sent < request.size()) {
    if (!wait(POLLOUT)) break;
    const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  std::string got;
  size_t bodyAt = std::string::npos, length = std::string::npos;
  char buffer[65536];
  while (true) {
    if (bodyAt != std::string::npos && length != std::string::npos && got.size() >= bodyAt + length) break;
    if (!wait(POLLIN)) {
      answer.error = "timed out";
      break;
    }
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
    if (bodyAt == std::string::npos) {
      const size_t at = got.find("\r\n\r\n");
      if (at == std::string::npos) continue;
      bodyAt = at + 4;
      std::string head = got.substr(0, at);
      for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (const size_t l = head.find("\r\ncontent-length:"); l != std::string::npos)
        length = method == "HEAD" ? 0 : std::stoul(head.substr(l + 17));
    }
  }
  close(fd);
  if (bodyAt == std::string::npos || got.size() < 12) {
    if (answer.error.empty()) answer.error = "no answer";
    return answer;
  }
  if (length != std::string::npos && got.size() < bodyAt + length) {
    if (answer.error.empty()) answer.error = "cut short";
    return answer;
  }
  answer.status = std::atoi(got.c_str() + 9);
  answer.headers = got.substr(0, bodyAt);
  answer.body = got.substr(bodyAt);
  return answer;
}

bool WaitForServer(int port, std::chrono::seconds timeout) {
  const auto end = Clock::now() + timeout;
  while (Clock::now() < end) {
    if (Http(port, "HEAD", "/api/meet", std::chrono::milliseconds(2000)).status != 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

ProcessRun SeededMeet::Meetctl(std::vector<std::string> args) const {
  args.insert(args.begin(), {MeetctlPath(), "--ctl", ctl.string(), "--print", "none"});
  return RunProcess(args);
}

bool SeededMeet::Make(int swimmers, int posted, std::string* message) {
  ctl = dir / "ctl" / "dr_kyo.ctl";
  fs::create_directories(dir / "entries");
  fs::create_directories(dir / "meets");
  const std::string entry = (dir / "entries" / "live.Mos").string();
  std::vector<std::vector<std::string>> steps = {
      {"sample-entries", entry, "--swimmers", std::to_string(swimmers)},
      {"new", entry, (dir / "meets").string()},
  };
  for (const char* kv : {"laneCount 8", "laneCountUsed 8", "minEntrants 1", "classMode 1", "seedingMode 0",
                         "timingSystem 1", "affiliationMode 0"}) {
    const std::string s = kv;
    steps.push_back({"settings", "set", s.substr(0, s.find(' ')), s.substr(s.find(' ') + 1)});
  }
  steps.push_back({"--yes", "program", "generate"});
  steps.push_back({"--yes", "seed"});
  for (const auto& step : steps) {
    const ProcessRun r = Meetctl(step);
    if (r.rc != 0) {
      *message = "meetctl " + step.front() + ": " + r.out;
      return false;
    }
  }
  for (const auto& e : fs::directory_iterator(dir / "meets"))
    if (e.is_directory()) meet = e.path();
  if (meet.empty()) {
    *message = "no meet folder";
    return false;
  }
  for (int n = 1; n <= posted; ++n)
    if (!Post(n, message)) return false;
  return true;
}

bool SeededMeet::Post(int race, std::string* message) const {
  for (const std::vector<std::string>& step :
       {std::vector<std::string>{"timing", "finish", std::to_string(race), "--seed", std::to_string(race)},
        std::vector<std::string>{"post", "--no-print"}}) {
    const ProcessRun r = Meetctl(step);
    if (r.rc != 0) {
      if (message) *message = "meetctl " + step.front() + " (race " + std::to_string(race) + "): " + r.out;
      return false;
    }
  }
  return true;
}

std::map<std::string, FileState> FolderState(const fs::path& folder) {
  std::map<std::string, FileState> out;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file())
      out[fs::relative(e.path(), folder).string()] = FileState{ReadFile(e.path()), fs::last_write_time(e.path())};
  return out;
}

DevToolsBrowser::DevToolsBrowser(const std::string& program, const fs::path& profile) {
  int in[2], out[2];
  if (pipe(in) != 0) return;
  if (pipe(out) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  // Chromium reads commands on descriptor 3 and writes answers on 4.
  const std::vector<std::string> argv = {program, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                         "--disable-dev-shm-usage", "--remote-debugging-pipe",
                                         "--user-data-dir=" + profile.string(), "about:blank"};
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, in[0], 3);
  posix_spawn_file_actions_adddup2(&actions, out[1], 4);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  if (posix_spawn(&pid_, args[0], &actions, &attr, args.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(in[0]);
  close(out[1]);
  toBrowser_ = in[1];
  fromBrowser_ = out[0];
  if (pid_ < 0) return;
  const std::string created = Call("Target.createTarget", "{\"url\":\"about:blank\"}", false);
  const Json target = ParseJson(created);
  const Json* result = target.get("result");
  const Json* id = result ? result->get("targetId") : nullptr;
  if (!id) return;
  const Json attached = ParseJson(Call("Target.attachToTarget", "{\"targetId\":\"" + id->text + "\",\"flatten\":true}", false));
  const Json* r = attached.get("result");
  if (const Json* s = r ? r->get("sessionId") : nullptr) session_ = s->text;
}

DevToolsBrowser::~DevToolsBrowser() {
  if (toBrowser_ >= 0) close(toBrowser_);
  if (fromBrowser_ >= 0) close(fromBrowser_);
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
}

std::string DevToolsBrowser::Call(const std::string& method, const std::string& params, bool inSession) {
  if (toBrowser_ < 0 || fromBrowser_ < 0) return {};
  const int id = nextId_++;
  std::string message = "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method + "\",\"params\":" + params +
                        (inSession ? ",\"sessionId\":\"" + session_ + "\"" : std::string()) + "}";
  message.push_back('\0');
  if (write(toBrowser_, message.data(), message.size()) != static_cast<ssize_t>(message.size())) return {};
  const std::string want = "\"id\":" + std::to_string(id) + ",";
  const auto end = Clock::now() + std::chrono::seconds(30);
  for (;;) {
    for (size_t zero; (zero = buffer_.find('\0')) != std::string::npos;) {
      std::string one = buffer_.substr(0, zero);
      buffer_.erase(0, zero + 1);
      if (one.starts_with("{" + want)) return one;
    }
    const int left = static_cast<int>(std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
    pollfd p{fromBrowser_, POLLIN, 0};
    if (left == 0 || poll(&p, 1, left) != 1) {
      std::cerr << "DevTools: no answer to " << method << "\n";
      return {};
    }
    char chunk[65536];
    const ssize_t n = read(fromBrowser_, chunk, sizeof chunk);
    if (n <= 0) return {};
    buffer_.append(chunk, static_cast<size_t>(n));
  }
}

void DevToolsBrowser::Viewport(int width, int height, bool mobile) {
  Call("Emulation.setDeviceMetricsOverride",
       "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) +
           ",\"deviceScaleFactor\":1,\"mobile\":" + (mobile ? "true" : "false") + "}",
       true);
}

bool DevToolsBrowser::Navigate(const std::string& url) {
  if (Call("Page.navigate", "{\"url\":\"" + url + "\"}", true).empty()) return false;
  const auto end = Clock::now() + std::chrono::seconds(20);
  std::string last;
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    last = Eval("document.readyState + ' ' + location.href");
    if (last == "\"complete " + url + "\"") return true;
  }
  std::cerr << "navigating to " << url << ": " << last << "\n";
  return false;
}

std::string DevToolsBrowser::Eval(const std::string& expression) {
  std::string escaped;
  for (char c : expression) {
    if (c == '"' || c == '\\') escaped += '\\';
    if (c == '\n') {
      escaped += "\\n";
      continue;
    }
    escaped += c;
  }
  const Json answer = ParseJson(Call("Runtime.evaluate", "{\"expression\":\"" + escaped + "\",\"returnByValue\":true}", true));
  const Json* result = answer.get("result");
  const Json* inner = result ? result->get("result") : nullptr;
  const Json* value = inner ? inner->get("value") : nullptr;
  if (!value) return {};
  // Back to JSON text: strings quoted, numbers and booleans as they are.
  switch (value->kind) {
    case Json::String: return "\"" + value->text + "\"";
    case Json::Bool: return value->boolean ? "true" : "false";
    case Json::Number: {
      if (value->integer) return std::to_string(static_cast<long long>(value->number));
      return std::to_string(value->number);
    }
    default: return "null";
  }
}

std::vector<std::vector<std::string>> TableRows(const std::string& html, const std::string& heading) {
  std::vector<std::vector<std::string>> rows;
  const size_t from = html.find(heading);
  if (from == std::string::npos) return rows;
  const size_t start = html.find("<table", from);
  const size_t end = html.find("</table>", start);
  if (start == std::string::npos || end == std::string::npos) return rows;
  const std::string table = html.substr(start, end - start);
  for (size_t tr = table.find("<tr"); tr != std::string::npos; tr = table.find("<tr", tr + 3)) {
    const size_t trEnd = std::min(table.find("</tr>", tr), table.size());
    std::vector<std::string> cells;
    for (size_t td = table.find("<td", tr); td < trEnd; td = table.find("<td", td + 3)) {
      const size_t open = table.find('>', td) + 1;
      const size_t close = table.find("</td>", open);
      std::string text;
      bool inTag = false;
      for (size_t i = open; i < close; ++i) {
        if (table[i] == '<') inTag = true;
        else if (table[i] == '>') inTag = false;
        else if (!inTag) text += table[i];
      }
      cells.push_back(text);
    }
    if (!cells.empty()) rows.push_back(cells);
  }
  return rows;
}

}  // namespace meet::test
