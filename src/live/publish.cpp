#include "live/publish.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <deque>
#include <map>
#include <unordered_map>
#include <mutex>
#include <optional>
#include <thread>
#include <random>
#include <system_error>
#include <vector>

#include "core/file_names.h"
#include "core/numbers.h"

namespace meet::live {
namespace fs = std::filesystem;
namespace {

// Smaller files go without a gzip copy (nginx compresses them itself when asked).
constexpr size_t kGzipFrom = 2048;
constexpr uint64_t kMaxManifest = 64 << 20;
constexpr const char* kManifestHead = "meetdesk-publish 1";
constexpr const char* kTempMark = ".pub-";

// An open folder, closed when this goes.
struct Dir {
  int fd = -1;
  Dir() = default;
  explicit Dir(int f) : fd(f) {}
  Dir(Dir&& o) noexcept : fd(o.fd) { o.fd = -1; }
  Dir& operator=(Dir&& o) noexcept {
    std::swap(fd, o.fd);
    return *this;
  }
  ~Dir() {
    if (fd >= 0) ::close(fd);
  }
};

struct Kept {
  uint64_t fingerprint = 0;
  int64_t updated = 0;
  uint64_t size = 0;
  int64_t mtimeNs = 0;
};

std::string Hex(uint64_t v) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, v >>= 4) out[static_cast<size_t>(i)] = kHex[v & 15];
  return out;
}
uint64_t FromHex(std::string_view s) {
  uint64_t v = 0;
  for (char c : s) v = v * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  return v;
}

std::unexpected<Error> NotOurs(const fs::path& path) {
  return Fail(ErrorKind::Refused, "公開先の " + path.string() + " は通常のファイルではありません（リンク・フォルダなど）。公開を中止しました。");
}

int64_t MtimeNs(const struct stat& st) { return int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec; }

class Publisher {
 public:
  Publisher(const fs::path& dir, Dir root) : dir_(dir), root_(std::move(root)) {}
  ~Publisher() {
    (void)Written();
    Abandon();
  }

  // The folder a file goes into, opened without following a link; made
  // when missing.
  Result<int> Folder(const std::string& relative) {
    if (relative.empty()) return root_.fd;
    if (auto it = folders_.find(relative); it != folders_.end()) return it->second.fd;
    const size_t slash = relative.rfind('/');
    auto parent = Folder(slash == std::string::npos ? std::string() : relative.substr(0, slash));
    if (!parent) return parent;
    const std::string name = slash == std::string::npos ? relative : relative.substr(slash + 1);
    struct stat st;
    if (::fstatat(*parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) return Fail(ErrorKind::Io, "フォルダを作れません: " + (dir_ / relative).string() + "（" + std::strerror(errno) + "）");
      if (::mkdirat(*parent, name.c_str(), 0755) != 0 && errno != EEXIST)
        return Fail(ErrorKind::Io, "フォルダを作れません: " + (dir_ / relative).string() + "（" + std::strerror(errno) + "）");
      madeFolders_.push_back(relative);
    } else if (!S_ISDIR(st.st_mode)) {
      return NotOurs(dir_ / relative);
    }
    const int fd = ::openat(*parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ELOOP || errno == ENOTDIR) return NotOurs(dir_ / relative);
      return Fail(ErrorKind::Io, "フォルダを開けません: " + (dir_ / relative).string() + "（" + std::strerror(errno) + "）");
    }
    RemoveLeftTemporaries(fd);
    return folders_.emplace(relative, Dir(fd)).first->second.fd;
  }

  // What is at the path now: nothing, a regular file (its size and time),
  // or something that is not ours to write.
  struct Seen {
    bool exists = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
  };
  Result<Seen> Look(int folder, const std::string& name, const fs::path& shown) {
    struct stat st;
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) return Seen{};
      return Fail(ErrorKind::Io, shown.string() + " を読めません: " + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) return NotOurs(shown);
    return Seen{true, static_cast<uint64_t>(st.st_size), MtimeNs(st)};
  }

  // True when the file holds exactly these bytes: the size first, then piece
  // by piece, so a file of any size costs no more memory than one piece.
  bool Same(int folder, const std::string& name, uint64_t size, std::string_view content) {
    if (size != content.size()) return false;
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    size_t at = 0;
    bool same = true;
    while (same) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      same = at + static_cast<size_t>(n) <= content.size() && std::memcmp(buffer, content.data() + at, static_cast<size_t>(n)) == 0;
      at += static_cast<size_t>(n);
    }
    ::close(fd);
    return same && at == content.size();
  }

  // Writes the bytes to a temporary file beside the name; renamed into
  // place by Commit once every file was written.
  Status Stage(int folder, const std::string& folderName, const std::string& name, std::string_view bytes,
               int64_t* mtime = nullptr) {
    const fs::path shown = dir_ / (folderName.empty() ? name : folderName + "/" + name);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
      temp = "." + name + kTempMark + Hex(random_())[0] + Hex(random_()).substr(0, 6);
      fd = ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd >= 0)
      if (const int injected = InjectedWriteError(); injected != 0) {
        ::close(fd);
        ::unlinkat(folder, temp.c_str(), 0);
        fd = -1;
        errno = injected;
      }
    if (fd < 0) return WriteFailed(shown, errno);
    {
      std::lock_guard guard(stagedLock_);
      staged_.push_back({folder, temp, name});
    }
    size_t done = 0;
    while (done < bytes.size()) {
      if (const int injected = InjectedWriteError(); injected != 0) {
        ::close(fd);
        return WriteFailed(shown, injected);
      }
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        ::close(fd);
        return WriteFailed(shown, err);
      }
      done += static_cast<size_t>(n);
    }
    // Renaming keeps the time: the one the file will have in place.
    struct stat st;
    if (mtime && ::fstat(fd, &st) == 0) *mtime = MtimeNs(st);
    if (::close(fd) != 0) return WriteFailed(shown, errno);
    return {};
  }

  // The same on a thread of its own, so that the next pages are made while
  // these are written; the first failure is kept and stops the rest.
  // `write`: the file itself is written (else only its gzip copy is looked
  // at); `gzip`: a gzip copy beside it, else none.
  void StageLater(int folder, const std::string& folderName, const std::string& name, std::string bytes, int64_t* mtime,
                  bool write, bool gzip) {
    std::unique_lock guard(jobsLock_);
    if (!writer_.joinable()) writer_ = std::thread([this] { Write(); });
    roomLeft_.wait(guard, [&] { return queuedBytes_ < kMaxQueued || failed_; });
    queuedBytes_ += bytes.size();
    jobs_.push_back({folder, folderName, name, std::move(bytes), mtime, write, gzip});
    jobsReady_.notify_one();
  }
  // Waits for what is queued; the first failure.
  Status Written() {
    {
      std::lock_guard guard(jobsLock_);
      finishing_ = true;
      jobsReady_.notify_one();
    }
    if (writer_.joinable()) writer_.join();
    finishing_ = false;
    if (error_) return std::unexpected(*error_);
    return {};
  }
  bool failed() {
    std::lock_guard guard(jobsLock_);
    return failed_;
  }

  Status Remove(int folder, const std::string& name) {
    std::lock_guard guard(stagedLock_);
    removals_.push_back({folder, std::string(), name});
    return {};
  }

  // Every staged file renamed into place, so that a reader (nginx, rsync)
  // sees the old page or the new one, never a part. The site is not synced
  // to the disk: it is made again from the meet at any time, and a page a
  // power cut took back or left empty no longer matches the publish list's
  // size and time, so the next publish writes it again.
  Status Commit() {
    for (const Staged& s : staged_) {
      if (const int injected = InjectedWriteError(); injected != 0) return WriteFailed(dir_ / s.name, injected);
      if (::renameat(s.folder, s.temp.c_str(), s.folder, s.name.c_str()) != 0) return WriteFailed(dir_ / s.name, errno);
    }
    staged_.clear();
    for (const Staged& r : removals_) ::unlinkat(r.folder, r.name.c_str(), 0);
    return {};
  }

  // The temporaries of a publish that did not finish.
  void Abandon() {
    for (const Staged& s : staged_) ::unlinkat(s.folder, s.temp.c_str(), 0);
    staged_.clear();
  }
  // Folders made by a publish that failed before writing anything.
  void RemoveMadeFolders() {
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) {
      folders_.erase(*it);
      ::unlinkat(root_.fd, it->c_str(), AT_REMOVEDIR);
    }
  }

  int root() const { return root_.fd; }

 private:
  // ".NAME.pub-XXXXXXX" left by a publish that was killed.
  static void RemoveLeftTemporaries(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    DIR* d = ::fdopendir(fd);
    if (!d) {
      ::close(fd);
      return;
    }
    std::vector<std::string> left;
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() > 8 && name[0] == '.' && name.find(kTempMark) != std::string::npos && e->d_type == DT_REG) left.push_back(name);
    }
    for (const std::string& name : left) ::unlinkat(folder, name.c_str(), 0);
    ::closedir(d);
  }

  struct Staged {
    int folder;
    std::string temp, name;
  };
  struct Job {
    int folder;
    std::string folderName, name, bytes;
    int64_t* mtime;
    bool write, gzip;
  };
  // A job: the file, and its gzip copy made, compared and written (or an
  // old copy removed when the file is now too small for one).
  Status Do(const Job& job) {
    if (job.write)
      if (auto ok = Stage(job.folder, job.folderName, job.name, job.bytes, job.mtime); !ok) return ok;
    const std::string gzName = job.name + ".gz";
    auto gz = Look(job.folder, gzName, dir_ / (job.folderName.empty() ? gzName : job.folderName + "/" + gzName));
    if (!gz) return std::unexpected(gz.error());
    if (!job.gzip) {
      if (gz->exists) Remove(job.folder, gzName);
      return {};
    }
    const std::string gzip = Gzipped(job.bytes);
    if (gz->exists && Same(job.folder, gzName, gz->size, gzip)) return {};
    return Stage(job.folder, job.folderName, gzName, gzip, nullptr);
  }
  static constexpr size_t kMaxQueued = 64 << 20;
  void Write() {
    for (;;) {
      Job job;
      {
        std::unique_lock guard(jobsLock_);
        jobsReady_.wait(guard, [&] { return !jobs_.empty() || finishing_; });
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
        if (failed_) {
          queuedBytes_ -= job.bytes.size();
          roomLeft_.notify_all();
          continue;
        }
      }
      auto ok = Do(job);
      std::lock_guard guard(jobsLock_);
      queuedBytes_ -= job.bytes.size();
      if (!ok && !failed_) {
        failed_ = true;
        error_ = ok.error();
      }
      roomLeft_.notify_all();
    }
  }
  std::thread writer_;
  std::mutex jobsLock_, stagedLock_;
  std::condition_variable jobsReady_, roomLeft_;
  std::deque<Job> jobs_;
  size_t queuedBytes_ = 0;
  bool finishing_ = false, failed_ = false;
  std::optional<Error> error_;
  fs::path dir_;
  Dir root_;
  std::map<std::string, Dir> folders_;
  std::vector<std::string> madeFolders_;
  std::vector<Staged> staged_, removals_;
  std::mt19937_64 random_{std::random_device{}()};
};

std::unordered_map<std::string, Kept> ReadManifest(Publisher& p) {
  std::unordered_map<std::string, Kept> out;
  struct stat st;
  if (::fstatat(p.root(), kPublishManifest, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<uint64_t>(st.st_size) > kMaxManifest)
    return out;
  const int fd = ::openat(p.root(), kPublishManifest, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return out;
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || text.size() > kMaxManifest) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!text.starts_with(std::string(kManifestHead) + "\n")) return out;
  size_t at = text.find('\n') + 1;
  while (at < text.size()) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = std::string_view(text).substr(at, end - at);
    at = end + 1;
    std::string_view f[5];
    size_t count = 0;
    for (size_t a = 0; count < 5;) {
      const size_t tab = line.find('\t', a);
      f[count++] = line.substr(a, tab == std::string_view::npos ? std::string_view::npos : tab - a);
      if (tab == std::string_view::npos) break;
      a = tab + 1;
    }
    if (count != 5 || f[1].size() != 16 || f[1].find_first_not_of("0123456789abcdef") != std::string_view::npos) continue;
    out.emplace(std::string(f[0]), Kept{FromHex(f[1]), LeadingNumber(f[2]), static_cast<uint64_t>(LeadingNumber(f[3])), LeadingNumber(f[4])});
  }
  return out;
}

}  // namespace

Result<PublishReport> PublishSite(const LiveSite& given, const fs::path& meetFolder, const fs::path& dir,
                                  const PublishProgress& progress) {
  std::error_code ec;
  if (fs::exists(dir, ec) && fs::equivalent(dir, meetFolder, ec))
    return Fail(ErrorKind::Invalid, "公開先に大会フォルダは指定できません: " + dir.string());
  const LiveSite site = given.options().staticFiles ? given : given.WithOptions({given.options().unmask, true});
  PublishReport report;
  const auto listing = site.Listing();
  if (!listing) {
    report.updating = true;
    return report;
  }
  // The folder itself (the operator's, a link to it is taken as it is).
  struct stat st;
  bool made = false;
  if (::stat(dir.c_str(), &st) != 0) {
    fs::create_directories(dir, ec);
    if (ec) return Fail(ErrorKind::Io, "フォルダを作れません: " + dir.string() + " (" + ec.message() + ")");
    made = true;
  } else if (!S_ISDIR(st.st_mode)) {
    return Fail(ErrorKind::Invalid, "公開先がフォルダではありません: " + dir.string());
  }
  const int rootFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rootFd < 0) return Fail(ErrorKind::Io, "フォルダを開けません: " + dir.string() + "（" + std::strerror(errno) + "）");
  Publisher p(dir, Dir(rootFd));
  const std::unordered_map<std::string, Kept> kept = ReadManifest(p);
  std::unordered_map<std::string, Kept> now;
  now.reserve(listing->pages.size());

  // Looked at first, written afterwards: a file that is not ours stops the
  // publish before anything is written.
  struct Plan {
    const LiveSite::SitePage* page;
    int folder;
    std::string folderName, name;
    Publisher::Seen file;
  };
  std::vector<Plan> plans;
  plans.reserve(listing->pages.size());
  auto fail = [&](Error e) -> Result<PublishReport> {
    (void)p.Written();
    p.Abandon();
    p.RemoveMadeFolders();
    if (made) fs::remove(dir, ec);
    return std::unexpected(std::move(e));
  };
  for (const auto& page : listing->pages) {
    const size_t slash = page.path.rfind('/');
    Plan plan{&page, -1, slash == std::string::npos ? std::string() : page.path.substr(0, slash),
              slash == std::string::npos ? page.path : page.path.substr(slash + 1), {}};
    auto folder = p.Folder(plan.folderName);
    if (!folder) return fail(folder.error());
    plan.folder = *folder;
    auto file = p.Look(plan.folder, plan.name, dir / page.path);
    if (!file) return fail(file.error());
    plan.file = *file;
    plans.push_back(std::move(plan));
  }
  if (auto manifest = p.Look(p.root(), kPublishManifest, dir / kPublishManifest); !manifest) return fail(manifest.error());

  auto lastShown = std::chrono::steady_clock::now();
  bool listChanged = kept.size() != listing->pages.size();
  for (size_t i = 0; i < plans.size(); ++i) {
    const Plan& plan = plans[i];
    const auto& page = *plan.page;
    if (progress && i % 64 == 0) {
      const auto t = std::chrono::steady_clock::now();
      if (t - lastShown > std::chrono::milliseconds(200)) {
        progress(i, plans.size());
        lastShown = t;
      }
    }
    if (p.failed()) break;
    const auto old = kept.find(page.path);
    const bool sameData = old != kept.end() && old->second.fingerprint == page.fingerprint;
    // Listed with the same data and still as written: nothing to read.
    if (sameData && plan.file.exists && plan.file.size == old->second.size && plan.file.mtimeNs == old->second.mtimeNs) {
      now.emplace(page.path, old->second);
      ++report.unchanged;
      continue;
    }
    listChanged = true;
    const int64_t updated = sameData ? old->second.updated : listing->newest;
    std::string content = site.Build(*listing, page, updated);
    const bool gzip = content.size() >= kGzipFrom;
    Kept& k = now.emplace(page.path, Kept{page.fingerprint, updated, content.size(), 0}).first->second;
    const bool same = plan.file.exists && p.Same(plan.folder, plan.name, plan.file.size, content);
    if (same) {
      k.mtimeNs = plan.file.mtimeNs;
      ++report.unchanged;
    } else {
      ++report.written;
    }
    p.StageLater(plan.folder, plan.folderName, plan.name, std::move(content), &k.mtimeNs, !same, gzip);
  }
  if (auto ok = p.Written(); !ok) return fail(ok.error());
  // Files of the earlier publish that the site no longer has.
  for (const auto& [path, k] : kept) {
    if (now.count(path)) continue;
    listChanged = true;
    const size_t slash = path.rfind('/');
    const std::string folderName = slash == std::string::npos ? std::string() : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name[0] == '.' || path.find("..") != std::string::npos) continue;
    auto folder = p.Folder(folderName);
    if (!folder) continue;
    auto file = p.Look(*folder, name, dir / path);
    if (!file || !file->exists) continue;
    p.Remove(*folder, name);
    if (auto gz = p.Look(*folder, name + ".gz", dir / (path + ".gz")); gz && gz->exists) p.Remove(*folder, name + ".gz");
    ++report.removed;
  }
  if (progress) progress(plans.size(), plans.size());
  if (auto ok = p.Commit(); !ok) return fail(ok.error());
  if (!listChanged) return report;
  // The list of what was published, for the next publish to compare with.
  std::string manifest = std::string(kManifestHead) + "\n";
  manifest.reserve(now.size() * 64);
  std::vector<const std::pair<const std::string, Kept>*> sorted;
  sorted.reserve(now.size());
  for (const auto& entry : now) sorted.push_back(&entry);
  std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->first < b->first; });
  for (const auto* entry : sorted) {
    const Kept& k = entry->second;
    manifest += entry->first + "\t" + Hex(k.fingerprint) + "\t" + NumberText(k.updated) + "\t" +
                NumberText(static_cast<int64_t>(k.size)) + "\t" + NumberText(k.mtimeNs) + "\n";
  }
  if (auto ok = p.Stage(p.root(), std::string(), kPublishManifest, manifest); !ok) return std::unexpected(ok.error());
  if (auto ok = p.Commit(); !ok) return std::unexpected(ok.error());
  return report;
}

std::string FilesStamp(const fs::path& meetFolder, const fs::path& entryFile) {
  std::vector<std::string> parts;
  std::error_code ec;
  auto stamp = [&](const fs::path& p) {
    struct stat st;
    if (::stat(p.c_str(), &st) != 0) {
      parts.push_back(p.filename().string() + ":-");
      return;
    }
    parts.push_back(p.filename().string() + ":" + NumberText(static_cast<int64_t>(st.st_size)) + ":" +
                    NumberText(st.st_mtim.tv_sec) + "." + NumberText(st.st_mtim.tv_nsec));
  };
  // The folders too (lap/, goal/): a timing file added shows in its folder's time.
  for (fs::directory_iterator it(meetFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name == ".meetdesk.lock") continue;  // the writers' lock changes no data
    stamp(it->path());
  }
  if (ec) parts.push_back("!unreadable");
  if (!entryFile.empty()) stamp(entryFile);
  std::sort(parts.begin(), parts.end());
  std::string out;
  for (const auto& p : parts) out += p + "\n";
  return out;
}

}  // namespace meet::live
