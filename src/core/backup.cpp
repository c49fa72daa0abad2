#include "core/backup.h"

#include "core/file_names.h"
#include "core/numbers.h"

namespace meet {

Result<std::filesystem::path> KeepBackup(const std::filesystem::path& meetFolder, const std::filesystem::path& file,
                                         const DateTime& now) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return std::filesystem::path{};
  auto bytes = ReadWholeFile(file);
  if (!bytes) return std::unexpected(bytes.error());
  std::filesystem::path dir = meetFolder / "backup";
  std::filesystem::create_directories(dir, ec);
  if (ec) return Fail(ErrorKind::Io, dir.string() + " を作れません: " + ec.message());
  std::string stamp = ZeroPadded(now.year, 4) + ZeroPadded(now.month, 2) + ZeroPadded(now.day, 2) + "-" +
                      ZeroPadded(now.hour, 2) + ZeroPadded(now.minute, 2) + ZeroPadded(now.second, 2);
  std::filesystem::path target = dir / (file.filename().string() + "." + stamp);
  for (int n = 2; std::filesystem::exists(target, ec); ++n)
    target = dir / (file.filename().string() + "." + stamp + "-" + std::to_string(n));
  if (auto ok = WriteWholeFile(target, *bytes); !ok) return std::unexpected(ok.error());
  return target;
}

}  // namespace meet
