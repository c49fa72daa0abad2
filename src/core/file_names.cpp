#include "core/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

Result<std::string> ReadWholeFile(const fs::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    return Fail(err == ENOENT ? ErrorKind::NotFound : ErrorKind::Io,
                path.string() + " を読めません: " + std::strerror(err));
  }
  std::string data;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
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

Status WriteWholeFile(const fs::path& path, std::string_view bytes) {
  fs::path dir = path.parent_path();
  std::string tmpl = (dir.empty() ? fs::path(".") : dir).string() + "/." + path.filename().string() + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    return Fail(ErrorKind::Io, path.string() + " を書けません: " + std::strerror(errno));
  }
  auto fail = [&](int err) -> Status {
    ::close(fd);
    ::unlink(name.data());
    return Fail(ErrorKind::Io, path.string() + " を書けません: " + std::strerror(err));
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  ::fchmod(fd, 0644);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(name.data());
    return Fail(ErrorKind::Io, path.string() + " を書けません: " + std::strerror(err));
  }
  if (::rename(name.data(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(name.data());
    return Fail(ErrorKind::Io, path.string() + " を書けません: " + std::strerror(err));
  }
  return {};
}

uint64_t FileSize(const fs::path& path) {
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

}  // namespace meet
