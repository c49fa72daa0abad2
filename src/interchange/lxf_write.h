// A .lxf file: a zip holding one UTF-8 .lef file of the same base name. The
// zip is made in memory with libzip and written whole (a temporary file
// beside the target, then renamed), so that a failed export leaves the old
// file as it was and never half a new one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/error.h"

namespace meet {

// The zip's bytes holding `lef` as the entry `entryName`.
Result<std::string> LxfBytes(std::string_view entryName, std::string_view lef);

// Writes `lef` into `target` (which must end in ".lxf", any letter case) as
// TARGETBASE.lef.
Status WriteLxf(const std::filesystem::path& target, std::string_view lef);

}  // namespace meet
