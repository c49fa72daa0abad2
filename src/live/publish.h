// The live results site as static files in a folder, for an ordinary web
// server or a hosting service: every page and JSON file written through a
// temporary file and a rename, only when its content changed.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"
#include "live/live_site.h"

namespace meet::live {

struct PublishReport {
  int written = 0;    // files written (new or changed)
  int unchanged = 0;  // files that already held the same content
  bool updating = false;  // the meet's files were caught being written; nothing written
};

// Writes the site into `dir` (made when missing). A folder that is the meet
// folder itself is refused.
Result<PublishReport> PublishSite(const LiveSite& site, const std::filesystem::path& meetFolder,
                                  const std::filesystem::path& dir);

// What changes when any file the site is built from changes: the names,
// sizes and modification times of the meet folder's files and of the entry
// file.
std::string FilesStamp(const std::filesystem::path& meetFolder, const std::filesystem::path& entryFile);

}  // namespace meet::live
