#include "live/publish.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/file_names.h"
#include "core/numbers.h"

namespace meet::live {
namespace fs = std::filesystem;

Result<PublishReport> PublishSite(const LiveSite& site, const fs::path& meetFolder, const fs::path& dir) {
  std::error_code ec;
  if (fs::exists(dir, ec) && fs::equivalent(dir, meetFolder, ec))
    return Fail(ErrorKind::Invalid, "公開先に大会フォルダは指定できません: " + dir.string());
  PublishReport report;
  const auto files = site.SiteFiles();
  if (files.empty()) {
    report.updating = true;
    return report;
  }
  for (const auto& file : files) {
    const fs::path path = dir / file.path;
    fs::create_directories(path.parent_path(), ec);
    if (ec) return Fail(ErrorKind::Io, "フォルダを作れません: " + path.parent_path().string() + " (" + ec.message() + ")");
    if (auto old = ReadWholeFile(path); old && *old == file.content) {
      ++report.unchanged;
      continue;
    }
    if (auto ok = CheckWritable(path); !ok) return std::unexpected(ok.error());
    if (auto ok = WriteWholeFile(path, file.content); !ok) return std::unexpected(ok.error());
    ++report.written;
  }
  return report;
}

std::string FilesStamp(const fs::path& meetFolder, const fs::path& entryFile) {
  std::vector<std::string> parts;
  std::error_code ec;
  auto stamp = [&](const fs::path& p) {
    std::error_code e;
    const auto size = fs::file_size(p, e);
    const auto time = fs::last_write_time(p, e);
    parts.push_back(p.filename().string() + ":" + NumberText(static_cast<int64_t>(e ? 0 : size)) + ":" +
                    NumberText(static_cast<int64_t>(time.time_since_epoch().count())));
  };
  // The folders too (lap/, goal/): a timing file added shows in its folder's time.
  for (fs::directory_iterator it(meetFolder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec) || it->is_directory(ec)) stamp(it->path());
  if (!entryFile.empty()) stamp(entryFile);
  std::sort(parts.begin(), parts.end());
  std::string out;
  for (const auto& p : parts) out += p + "\n";
  return out;
}

}  // namespace meet::live
