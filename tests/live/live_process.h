// What the tests of `meetctl serve` as a process share: running meetctl
// bounded in time, a server process that is always killed, plain HTTP/1.1
// requests over a loopback socket, a seeded meet with results, and the
// bytes and times of a folder's files.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace meet::test {

// The meetctl program the build made (passed in by CMake).
std::string MeetctlPath();

struct ProcessRun {
  int rc = -1;  // -1: it did not end in time and was killed
  std::string out;
};
// Runs a program (a path) with its arguments, waits at most `timeout`;
// stdout in `out`, and stderr too unless `withErrors` is false.
ProcessRun RunProcess(const std::vector<std::string>& argv, std::chrono::seconds timeout = std::chrono::seconds(60),
                      bool withErrors = true);
// The program's path found on PATH, or "".
std::string FindProgram(const std::string& name);

// A started process, killed (TERM, then KILL) when this goes away.
class Child {
 public:
  explicit Child(const std::vector<std::string>& argv, const std::filesystem::path& output = {});
  ~Child() { Stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  bool running();
  void Stop();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// A loopback port nothing listens on just now.
int FreePort();

struct HttpAnswer {
  int status = 0;  // 0: no answer (connection refused, timed out, cut short)
  std::string headers;
  std::string body;
  std::string error;
};
// One request on a fresh connection to 127.0.0.1:port, bounded in time.
HttpAnswer Http(int port, const std::string& method, const std::string& path,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
// Waits until something answers on the port (at most `timeout`).
bool WaitForServer(int port, std::chrono::seconds timeout = std::chrono::seconds(20));

// A demo meet made with meetctl as an operator makes one: a generated entry
// file, settings, the program, the heats, and the first races finished by
// the timing stand-in and posted.
struct SeededMeet {
  TempDir dir;
  std::filesystem::path ctl, meet;
  // meetctl --ctl … --print none ARGS
  ProcessRun Meetctl(std::vector<std::string> args) const;
  // Makes it; false with a message on failure. `posted`: the races finished
  // and posted.
  bool Make(int swimmers, int posted, std::string* message);
  // Race n finished by the timing stand-in and posted.
  bool Post(int race, std::string* message) const;
};

// Path (relative) → size, bytes and modification time of every file below a folder.
struct FileState {
  std::string bytes;
  std::filesystem::file_time_type time;
  bool operator==(const FileState&) const = default;
};
std::map<std::string, FileState> FolderState(const std::filesystem::path& folder);

// A headless Chromium driven over its DevTools pipe (--remote-debugging-pipe):
// one page, navigated and asked to evaluate scripts. Killed when this goes.
class DevToolsBrowser {
 public:
  DevToolsBrowser(const std::string& program, const std::filesystem::path& profile);
  ~DevToolsBrowser();
  DevToolsBrowser(const DevToolsBrowser&) = delete;
  DevToolsBrowser& operator=(const DevToolsBrowser&) = delete;
  // The page was opened (false where Chromium cannot start here).
  bool ready() const { return !session_.empty(); }
  // The viewport of a phone (mobile) or a desktop.
  void Viewport(int width, int height, bool mobile);
  // Loads the URL and waits until the document is complete.
  bool Navigate(const std::string& url);
  // The value of a script (an expression) as JSON text, "" on failure.
  std::string Eval(const std::string& expression);

 private:
  std::string Call(const std::string& method, const std::string& params, bool inSession);
  pid_t pid_ = -1;
  int toBrowser_ = -1, fromBrowser_ = -1;
  int nextId_ = 1;
  std::string buffer_, session_;
};

// The texts of the cells of each row of the first table after `heading`
// in an HTML page, tags taken off; rows without cells left out.
std::vector<std::vector<std::string>> TableRows(const std::string& html, const std::string& heading);

}  // namespace meet::test
