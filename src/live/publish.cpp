#include "live/publish.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <exception>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <system_error>
#include <thread>
#include <unordered_map>
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
// Present while a publish writes: one killed on the way left temporaries, so
// the next one looks for them in every folder (else no folder is listed).
constexpr const char* kPublishing = ".meetdesk-publishing";

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
  bool listed = false;  // still a page of the site (not written to the list)
};

// The publish list as read: its text, and what it says of each path (the
// keys point into the text).
struct Manifest {
  std::string text;
  std::unordered_map<std::string_view, Kept> files;
};

// How many threads make and write pages: the machine's cores, at least two
// (one makes a page while the other waits on the disk).
size_t Threads() { return std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 8); }

// work(i) for every i below `count`, spread over the threads (this one among
// them, so `tick` runs here after each of its items). The first failure stops
// the rest; the one of the lowest i is returned.
Status Spread(size_t count, const std::function<Status(size_t)>& work, const std::function<void()>& tick = {}) {
  std::atomic<size_t> next{0};
  std::atomic<bool> stop{false};
  std::mutex lock;
  std::optional<std::pair<size_t, Error>> first;
  auto run = [&](bool here) {
    while (!stop.load(std::memory_order_relaxed)) {
      const size_t i = next.fetch_add(1);
      if (i >= count) return;
      Status ok;
      try {
        ok = work(i);
      } catch (const std::exception& e) {  // out of memory, on a thread that cannot pass it on
        ok = Fail(ErrorKind::Io, std::string("公開を中止しました: ") + e.what());
      }
      if (!ok) {
        std::lock_guard guard(lock);
        if (!first || i < first->first) first.emplace(i, ok.error());
        stop = true;
      }
      if (here && tick) tick();
    }
  };
  {
    std::vector<std::jthread> helpers;
    for (size_t t = 1; t < std::min(Threads(), count); ++t) helpers.emplace_back(run, false);
    run(true);
  }
  if (first) return std::unexpected(first->second);
  return {};
}

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
  Publisher(const fs::path& dir, Dir root) : dir_(dir), root_(std::move(root)) {
    struct stat st;
    leftBehind_ = ::fstatat(root_.fd, kPublishing, &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (leftBehind_) RemoveLeftTemporaries(root_.fd);
  }

  // Marks the folder as being written, before the first temporary; the mark
  // goes with the publisher, once every file is in place or its temporary
  // removed.
  void Begin() {
    if (begun_) return;
    begun_ = true;
    const int fd = ::openat(root_.fd, kPublishing, O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
  }
  ~Publisher() {
    Abandon();
    if (begun_) ::unlinkat(root_.fd, kPublishing, 0);
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
    if (leftBehind_) RemoveLeftTemporaries(fd);
    return folders_.emplace(relative, Dir(fd)).first->second.fd;
  }

  // What is at the path now: nothing, a regular file (its size and time),
  // or something that is not ours to write.
  struct Seen {
    bool exists = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
  };
  // `relative`: its path in the site, for a message.
  Result<Seen> Look(int folder, const std::string& name, std::string_view relative) {
    struct stat st;
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) return Seen{};
      return Fail(ErrorKind::Io, (dir_ / relative).string() + " を読めません: " + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) return NotOurs(dir_ / relative);
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
      temp = "." + name + kTempMark + RandomText();
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
  // The renames are spread over the threads in runs of the order written,
  // so that each mostly works in a folder of its own.
  Status Commit() {
    const size_t runs = std::min(Threads(), staged_.size());
    auto ok = Spread(runs, [&](size_t run) -> Status {
      for (size_t i = run * staged_.size() / runs; i < (run + 1) * staged_.size() / runs; ++i) {
        const Staged& s = staged_[i];
        if (const int injected = InjectedWriteError(); injected != 0) return WriteFailed(dir_ / s.name, injected);
        if (::renameat(s.folder, s.temp.c_str(), s.folder, s.name.c_str()) != 0) return WriteFailed(dir_ / s.name, errno);
      }
      return {};
    });
    if (!ok) return ok;  // what was renamed stays (each file whole); Abandon removes the rest
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

  // The gzip copy beside a page made, compared and written, or an old copy
  // removed when the page is now too small for one.
  Status GzipCopy(int folder, const std::string& folderName, const std::string& name, std::string_view bytes, bool gzip) {
    const std::string gzName = name + ".gz";
    auto gz = Look(folder, gzName, folderName.empty() ? gzName : folderName + "/" + gzName);
    if (!gz) return std::unexpected(gz.error());
    if (!gzip) {
      if (gz->exists) Remove(folder, gzName);
      return {};
    }
    const std::string packed = Gzipped(bytes);
    if (gz->exists && Same(folder, gzName, gz->size, packed)) return {};
    return Stage(folder, folderName, gzName, packed, nullptr);
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
  std::string RandomText() {
    std::lock_guard guard(randomLock_);
    return Hex(random_()).substr(0, 7);
  }
  std::mutex stagedLock_, randomLock_;
  fs::path dir_;
  Dir root_;
  std::map<std::string, Dir> folders_;
  std::vector<std::string> madeFolders_;
  std::vector<Staged> staged_, removals_;
  std::mt19937_64 random_{std::random_device{}()};
  bool leftBehind_ = false, begun_ = false;
};

Manifest ReadManifest(Publisher& p) {
  Manifest out;
  struct stat st;
  if (::fstatat(p.root(), kPublishManifest, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<uint64_t>(st.st_size) > kMaxManifest)
    return out;
  const int fd = ::openat(p.root(), kPublishManifest, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return out;
  std::string& text = out.text;
  text.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || text.size() > kMaxManifest) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!text.starts_with(std::string(kManifestHead) + "\n")) return out;
  out.files.reserve(text.size() / 48);
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
    out.files.emplace(f[0], Kept{FromHex(f[1]), LeadingNumber(f[2]), static_cast<uint64_t>(LeadingNumber(f[3])), LeadingNumber(f[4])});
  }
  return out;
}

void AppendNumber(std::string& out, int64_t v) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, r.ptr);
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
  Manifest kept = ReadManifest(p);
  const size_t count = listing->pages.size();

  // Looked at first, written afterwards: a file that is not ours stops the
  // publish before anything is written.
  struct Plan {
    const LiveSite::SitePage* page;
    int folder;
    std::string folderName, name;
    Publisher::Seen file;
  };
  std::vector<Plan> plans;
  plans.reserve(count);
  auto fail = [&](Error e) -> Result<PublishReport> {
    p.Abandon();
    p.RemoveMadeFolders();
    if (made) fs::remove(dir, ec);
    return std::unexpected(std::move(e));
  };
  for (const auto& page : listing->pages) {
    const size_t slash = page.path.rfind('/');
    Plan plan{&page, -1, slash == std::string::npos ? std::string() : page.path.substr(0, slash),
              slash == std::string::npos ? page.path : page.path.substr(slash + 1), {}};
    // The pages come folder by folder.
    if (!plans.empty() && plans.back().folderName == plan.folderName) {
      plan.folder = plans.back().folder;
    } else {
      auto folder = p.Folder(plan.folderName);
      if (!folder) return fail(folder.error());
      plan.folder = *folder;
    }
    plans.push_back(std::move(plan));
  }
  if (auto looked = Spread(count, [&](size_t i) -> Status {
        Plan& plan = plans[i];
        auto file = p.Look(plan.folder, plan.name, plan.page->path);
        if (!file) return std::unexpected(file.error());
        plan.file = *file;
        return {};
      });
      !looked)
    return fail(looked.error());
  if (auto manifest = p.Look(p.root(), kPublishManifest, kPublishManifest); !manifest) return fail(manifest.error());

  // Listed with the same data and still as written: nothing to read. The
  // rest is made (and compared, and written) on every thread.
  std::vector<Kept> now(count);
  struct Job {
    size_t plan;
    int64_t updated;
  };
  std::vector<Job> jobs;
  bool listChanged = kept.files.size() != count;
  for (size_t i = 0; i < count; ++i) {
    const Plan& plan = plans[i];
    const auto& page = *plan.page;
    const auto old = kept.files.find(page.path);
    const bool sameData = old != kept.files.end() && old->second.fingerprint == page.fingerprint;
    if (old != kept.files.end()) old->second.listed = true;
    if (sameData && plan.file.exists && plan.file.size == old->second.size && plan.file.mtimeNs == old->second.mtimeNs) {
      now[i] = old->second;
      ++report.unchanged;
      continue;
    }
    listChanged = true;
    jobs.push_back({i, sameData ? old->second.updated : listing->newest});
  }
  if (listChanged) p.Begin();
  std::atomic<int> written{0}, unchanged{0};
  std::atomic<size_t> finished{0};
  auto lastShown = std::chrono::steady_clock::now();
  const size_t before = count - jobs.size();
  auto shown = [&] {
    if (!progress) return;
    const auto t = std::chrono::steady_clock::now();
    if (t - lastShown < std::chrono::milliseconds(200)) return;
    progress(before + finished.load(), count);
    lastShown = t;
  };
  auto built = Spread(jobs.size(), [&](size_t j) -> Status {
    const Plan& plan = plans[jobs[j].plan];
    const std::string content = site.Build(*listing, *plan.page, jobs[j].updated);
    Kept& k = now[jobs[j].plan];
    k = Kept{plan.page->fingerprint, jobs[j].updated, content.size(), 0};
    if (plan.file.exists && p.Same(plan.folder, plan.name, plan.file.size, content)) {
      k.mtimeNs = plan.file.mtimeNs;
      ++unchanged;
    } else {
      ++written;
      if (auto ok = p.Stage(plan.folder, plan.folderName, plan.name, content, &k.mtimeNs); !ok) return ok;
    }
    auto ok = p.GzipCopy(plan.folder, plan.folderName, plan.name, content, content.size() >= kGzipFrom);
    ++finished;
    return ok;
  }, shown);
  if (!built) return fail(built.error());
  report.written = written;
  report.unchanged += unchanged;
  // Files of the earlier publish that the site no longer has.
  for (const auto& [path, k] : kept.files) {
    if (k.listed) continue;
    listChanged = true;
    p.Begin();
    const size_t slash = path.rfind('/');
    const std::string folderName(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
    const std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (name.empty() || name[0] == '.' || path.find("..") != std::string_view::npos) continue;
    auto folder = p.Folder(folderName);
    if (!folder) continue;
    auto file = p.Look(*folder, name, path);
    if (!file || !file->exists) continue;
    p.Remove(*folder, name);
    if (auto gz = p.Look(*folder, name + ".gz", std::string(path) + ".gz"); gz && gz->exists) p.Remove(*folder, name + ".gz");
    ++report.removed;
  }
  if (progress) progress(count, count);
  if (auto ok = p.Commit(); !ok) return fail(ok.error());
  if (!listChanged) return report;
  // The list of what was published, for the next publish to compare with.
  std::string manifest = std::string(kManifestHead) + "\n";
  manifest.reserve(count * 64);
  for (size_t i = 0; i < count; ++i) {
    const Kept& k = now[i];
    manifest += plans[i].page->path;
    manifest += '\t';
    manifest += Hex(k.fingerprint);
    manifest += '\t';
    AppendNumber(manifest, k.updated);
    manifest += '\t';
    AppendNumber(manifest, static_cast<int64_t>(k.size));
    manifest += '\t';
    AppendNumber(manifest, k.mtimeNs);
    manifest += '\n';
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
