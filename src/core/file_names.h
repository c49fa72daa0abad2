// File names in a meet folder are found whatever their letter case, so that
// folders copied from other systems (taikai.dat / Taikai.dat) work.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace meet {

namespace fs = std::filesystem;

// The existing file in `folder` whose name equals `name` ignoring ASCII
// letter case; the exact spelling wins. When there is none, folder / name,
// the spelling a new file is created with.
fs::path FindFile(const fs::path& folder, std::string_view name);

// True when the names are equal ignoring ASCII letter case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// Files in `folder` whose extension equals `extension` (".Mos") ignoring case,
// sorted by name.
std::vector<fs::path> ListFilesWithExtension(const fs::path& folder, std::string_view extension);

// The whole file, or an error. A missing file is ErrorKind::NotFound.
Result<std::string> ReadWholeFile(const fs::path& path);

// Writes the bytes to a temporary file in the same folder and renames it into
// place, so that a crash leaves either the old file or the new one, never half.
Status WriteWholeFile(const fs::path& path, std::string_view bytes);

// Byte size of a file; 0 when it is missing.
uint64_t FileSize(const fs::path& path);

}  // namespace meet
