// Before a command overwrites results that were entered, it keeps a copy of
// the old file under backup/ in the meet folder, named after the file with a
// time stamp: backup/taikai.dat.20261208-093000 (a counter is added when
// that name is taken).
#pragma once

#include <filesystem>

#include "core/error.h"
#include "core/platform.h"

namespace meet {

// Copies `file` into meetFolder/backup/. A missing file needs no copy and
// gives an empty path.
Result<std::filesystem::path> KeepBackup(const std::filesystem::path& meetFolder, const std::filesystem::path& file,
                                         const DateTime& now);

}  // namespace meet
