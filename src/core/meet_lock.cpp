#include "core/meet_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <thread>

namespace meet {

namespace {

std::string& Program() {
  static std::string program = "meetdesk";
  return program;
}

std::string Now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &tm);
  return text;
}

// One line per field; the command cut to one line.
std::string HolderBytes(std::string_view command) {
  std::string flat(command);
  for (char& c : flat)
    if (c == '\n' || c == '\r') c = ' ';
  return "program=" + Program() + "\npid=" + std::to_string(::getpid()) + "\ncommand=" + flat + "\nsince=" + Now() +
         "\n";
}

bool TryLock(int fd) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

}  // namespace

// The lock a process holds on one folder, shared by its nested holders.
struct MeetLock::Held {
  std::string key;
  int fd = -1;
  ~Held();
};

namespace {

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}
std::map<std::string, std::weak_ptr<MeetLock::Held>>& Registry() {
  static std::map<std::string, std::weak_ptr<MeetLock::Held>> held;
  return held;
}

}  // namespace

MeetLock::Held::~Held() {
  if (fd >= 0) ::close(fd);  // closing the description lets the lock go
  std::lock_guard<std::mutex> guard(RegistryMutex());
  if (auto it = Registry().find(key); it != Registry().end() && it->second.expired()) Registry().erase(it);
}

void SetLockProgram(std::string_view program) { Program() = std::string(program); }

std::chrono::milliseconds DefaultLockWait() {
  if (const char* v = std::getenv("MEETDESK_LOCK_WAIT_MS"); v && *v) {
    char* end = nullptr;
    const long ms = std::strtol(v, &end, 10);
    if (end && *end == '\0' && ms >= 0) return std::chrono::milliseconds(ms);
  }
  return std::chrono::seconds(5);
}

MeetLock::MeetLock(std::shared_ptr<Held> held) : held_(std::move(held)) {}
MeetLock::MeetLock(MeetLock&&) noexcept = default;
MeetLock& MeetLock::operator=(MeetLock&&) noexcept = default;
MeetLock::~MeetLock() = default;

Result<MeetLock> MeetLock::Acquire(const std::filesystem::path& folder, std::string_view command,
                                   std::chrono::milliseconds wait) {
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
  if (ec) canonical = folder;
  const std::string key = canonical.string();
  {
    std::lock_guard<std::mutex> guard(RegistryMutex());
    if (auto it = Registry().find(key); it != Registry().end())
      if (auto held = it->second.lock()) return MeetLock(std::move(held));
  }
  const std::filesystem::path path = canonical / kLockFileName;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0)
    return Fail(ErrorKind::Io, "大会フォルダーのロック " + path.string() + " を開けません: " + std::strerror(errno));
  auto held = std::make_shared<Held>();
  held->key = key;
  held->fd = fd;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!TryLock(fd)) {
    if (errno != EAGAIN && errno != EACCES && errno != EINTR)
      return Fail(ErrorKind::Io, "大会フォルダーをロックできません: " + std::string(std::strerror(errno)));
    if (std::chrono::steady_clock::now() >= deadline) {
      const auto holder = ReadLockHolder(canonical);
      return Fail(ErrorKind::Refused, "大会フォルダーは別の処理が書き込み中です" +
                                          (holder ? "（" + HolderText(*holder) + "）" : std::string()) +
                                          "。何も書いていません。終わってからやり直してください。");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string bytes = HolderBytes(command);
  if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
    // Who holds it is only for messages; the lock itself is held.
  }
  {
    std::lock_guard<std::mutex> guard(RegistryMutex());
    Registry()[key] = held;
  }
  return MeetLock(std::move(held));
}

std::optional<LockHolder> ReadLockHolder(const std::filesystem::path& folder) {
  const int fd = ::open((folder / kLockFileName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  char buffer[1024];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  if (n <= 0) return std::nullopt;
  LockHolder h;
  std::string_view text(buffer, static_cast<size_t>(n));
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, eq), value = line.substr(eq + 1);
    if (name == "program") h.program = value;
    else if (name == "pid") h.pid = std::strtol(std::string(value).c_str(), nullptr, 10);
    else if (name == "command") h.command = value;
    else if (name == "since") h.since = value;
  }
  return h;
}

std::string HolderText(const LockHolder& h) {
  std::string text = h.program.empty() ? std::string("不明") : h.program;
  text += "、プロセス " + std::to_string(h.pid);
  if (!h.command.empty()) text += "、" + h.command;
  if (!h.since.empty()) text += "、" + h.since + " から";
  return text;
}

}  // namespace meet
