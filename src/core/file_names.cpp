#include "core/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace meet {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

fs::path FindFile(const fs::path& folder, std::string_view name) {
  fs::path exact = folder / std::string(name);
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact;
  std::vector<fs::path> matches;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (SameNameIgnoringCase(candidate, name)) matches.push_back(folder / candidate);
  }
  if (matches.empty()) return exact;
  std::sort(matches.begin(), matches.end());
  return matches.front();
}

std::vector<fs::path> ListFilesWithExtension(const fs::path& folder, std::string_view extension) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    if (SameNameIgnoringCase(it->path().extension().string(), extension)) out.push_back(it->path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

namespace {

// Opens a regular file for reading without waiting on a pipe; -1 with errno
// set, or -2 when the file is there but no regular file.
int OpenRegular(const fs::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -2;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::unexpected<Error> LinkRefused(const fs::path& path) {
  return Fail(ErrorKind::Refused,
              path.string() + " はリンクです。リンク先のファイルを書き換えないよう、書き込みません（通常のファイルにしてください）。");
}

std::unexpected<Error> NotRegular(const fs::path& path) {
  return Fail(ErrorKind::Io, path.string() + " は通常のファイルではありません（パイプ・フォルダ・壊れたリンクなど）。");
}

// The step counter of the crash test's injection hook.
void CrashPoint() {
  static const long crashAt = [] {
    const char* v = std::getenv("MEETDESK_CRASH_AT");
    return v ? std::atol(v) : 0L;
  }();
  static long step = 0;
  if (crashAt > 0 && ++step == crashAt) ::raise(SIGKILL);
}

bool CrashHookOn() {
  return std::getenv("MEETDESK_CRASH_AT") != nullptr || std::getenv("MEETDESK_FAIL_WRITE_AT") != nullptr;
}

// Removes ".NAME.XXXXXX" files of `name` left in `dir` by a killed writer.
void RemoveLeftTemporaries(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  const std::string prefix = "." + name + ".";
  for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    if (candidate.size() != prefix.size() + 6 || candidate.compare(0, prefix.size(), prefix) != 0) continue;
    bool temporary = true;
    for (size_t i = prefix.size(); i < candidate.size(); ++i)
      temporary = temporary && std::isalnum(static_cast<unsigned char>(candidate[i]));
    std::error_code typeEc;
    if (temporary && it->is_regular_file(typeEc)) fs::remove(it->path(), typeEc);
  }
}

}  // namespace

std::unexpected<Error> WriteFailed(const fs::path& path, int err) {
  return Fail(ErrorKind::Io, "ディスクに書き込めません: " + path.string() + "（" + std::strerror(err) + "）");
}

int InjectedWriteError() {
  static const long failAt = [] {
    const char* v = std::getenv("MEETDESK_FAIL_WRITE_AT");
    return v ? std::atol(v) : 0L;
  }();
  static std::atomic<long> step{0};  // writers on several threads count as one
  return failAt > 0 && ++step == failAt ? ENOSPC : 0;
}

Result<std::string> ReadFileHead(const fs::path& path, uint64_t maxBytes) {
  int fd = OpenRegular(path);
  if (fd == -2) return NotRegular(path);
  if (fd < 0) {
    int err = errno;
    if (err == ELOOP) return NotRegular(path);
    return Fail(err == ENOENT ? ErrorKind::NotFound : ErrorKind::Io,
                path.string() + " を読めません: " + std::strerror(err));
  }
  std::string data;
  char buffer[65536];
  while (data.size() < maxBytes) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof buffer, maxBytes - data.size()));
    ssize_t n = ::read(fd, buffer, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return Fail(ErrorKind::Io, path.string() + " を読めません: " + std::strerror(err));
    }
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

Result<std::string> ReadWholeFile(const fs::path& path) { return ReadFileHead(path, UINT64_MAX); }

Status CheckWritable(const fs::path& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return Fail(ErrorKind::Io, path.string() + " を書けません: " + std::strerror(errno));
    std::error_code ec;
    const fs::path dir = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    if (!fs::is_directory(dir, ec)) return Fail(ErrorKind::Io, path.string() + " を書けません: " + dir.string() + " はフォルダではありません。");
    return {};
  }
  if (S_ISREG(st.st_mode)) return {};
  // A link in a data file's place is never written through: it could point at
  // any file (another meet's, the system's).
  if (S_ISLNK(st.st_mode)) return LinkRefused(path);
  return NotRegular(path);
}

Status WriteWholeFile(const fs::path& givenPath, std::string_view bytes) {
  if (auto ok = CheckWritable(givenPath); !ok) return ok;
  const fs::path& path = givenPath;
  fs::path dir = path.parent_path();
  RemoveLeftTemporaries(dir, path.filename().string());
  std::string tmpl = (dir.empty() ? fs::path(".") : dir).string() + "/." + path.filename().string() + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd >= 0)
    if (const int injected = InjectedWriteError(); injected != 0) {
      ::close(fd);
      ::unlink(name.data());
      fd = -1;
      errno = injected;
    }
  if (fd < 0) return WriteFailed(path, errno);
  CrashPoint();
  auto fail = [&](int err) -> Status {
    ::close(fd);
    ::unlink(name.data());
    return WriteFailed(path, err);
  };
  // Written in small pieces when a test hook is on, so it can stop halfway.
  const size_t piece = CrashHookOn() ? 4096 : bytes.size();
  size_t done = 0;
  while (done < bytes.size()) {
    if (const int injected = InjectedWriteError(); injected != 0) return fail(injected);
    ssize_t n = ::write(fd, bytes.data() + done, std::min(piece, bytes.size() - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(n);
    CrashPoint();
  }
  if (const int injected = InjectedWriteError(); injected != 0) return fail(injected);
  if (::fsync(fd) != 0) return fail(errno);
  ::fchmod(fd, 0644);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(name.data());
    return WriteFailed(path, err);
  }
  CrashPoint();
  const int injected = InjectedWriteError();
  if (injected != 0 || ::rename(name.data(), path.c_str()) != 0) {
    int err = injected != 0 ? injected : errno;
    ::unlink(name.data());
    return WriteFailed(path, err);
  }
  CrashPoint();
  return {};
}

Status WriteWholeFiles(const std::vector<FileToWrite>& files) {
  for (const FileToWrite& f : files)
    if (auto ok = CheckWritable(f.path); !ok) return ok;
  std::string written;
  for (const FileToWrite& f : files) {
    if (auto ok = WriteWholeFile(f.path, f.bytes); !ok) {
      if (written.empty()) return ok;
      return Fail(ok.error().kind, ok.error().message + "（" + written + " は書き込みました）");
    }
    written += (written.empty() ? "" : "、") + f.path.filename().string();
  }
  return {};
}

uint64_t FileSize(const fs::path& path) {
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

}  // namespace meet
