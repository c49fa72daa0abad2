// Loads what the naming routines need from the meet's files: record 2 and the
// class scheme of the entry file, and the optional categories when the
// setting turns them on.
#pragma once

#include <filesystem>

#include "core/naming.h"
#include "settings/settings.h"

namespace meet {

// Never fails: a missing entry file or category file reads as empty. Nothing
// is created or written.
NamingContext LoadNamingContext(const Settings& settings, const std::filesystem::path& meetFolder);

}  // namespace meet
