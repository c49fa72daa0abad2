#include "core/backup.h"

#include "core/file_names.h"
#include "core/numbers.h"

namespace meet {

Result<std::filesystem::path> KeepBackup(const std::filesystem::path& meetFolder, const std::filesystem::path& file,
                                         const DateTime& now) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return std::filesystem::path{};
  if (!std::filesystem::is_regular_file(file, ec))
    return Fail(ErrorKind::Io, file.string() + " は通常のファイルではないため、控えを残せません。");
  std::filesystem::path dir = meetFolder / "backup";
  std::filesystem::create_directories(dir, ec);
  if (ec) return Fail(ErrorKind::Io, dir.string() + " を作れません: " + ec.message());
  std::string stamp = ZeroPadded(now.year, 4) + ZeroPadded(now.month, 2) + ZeroPadded(now.day, 2) + "-" +
                      ZeroPadded(now.hour, 2) + ZeroPadded(now.minute, 2) + ZeroPadded(now.second, 2);
  std::filesystem::path target = dir / (file.filename().string() + "." + stamp);
  for (int n = 2; std::filesystem::exists(target, ec); ++n)
    target = dir / (file.filename().string() + "." + stamp + "-" + std::to_string(n));
  // Copied in pieces, so a file of any size is kept without being held in
  // memory, into a temporary name and then renamed: a copy is whole or absent.
  const std::filesystem::path temporary = dir / ("." + target.filename().string() + ".copy");
  std::filesystem::copy_file(file, temporary, std::filesystem::copy_options::overwrite_existing, ec);
  if (!ec) std::filesystem::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return Fail(ErrorKind::Io, "控え " + target.string() + " を作れません: " + ec.message());
  }
  return target;
}

}  // namespace meet
