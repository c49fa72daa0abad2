// The live results site as static files in a folder, for an ordinary web
// server or a hosting service. Only the pages whose data changed are made
// again; each is written whole (a temporary file, synced, renamed) with a
// gzip copy beside it ("NAME.gz", for nginx's gzip_static). Only regular
// files of the folder's own are written, and no link inside it is followed:
// a link (or anything else that is no regular file) where a page goes stops
// the publish before its first write. What was published is kept in the
// folder's ".meetdesk-publish" (path, fingerprint of the data, when it
// changed, size and time of the file), so a later publish compares without
// reading; a file it does not list is compared by its size, then piece by
// piece.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/error.h"
#include "live/live_site.h"

namespace meet::live {

inline constexpr const char* kPublishManifest = ".meetdesk-publish";

struct PublishReport {
  int written = 0;    // files written (new or changed), gzip copies not counted
  int unchanged = 0;  // files that already held the same content
  int removed = 0;    // files of an earlier publish no longer in the site
  bool updating = false;  // the meet's files were caught being written; nothing written
};

// Called now and then with the pages looked at so far and their number.
using PublishProgress = std::function<void(size_t done, size_t total)>;

// Writes the site into `dir` (made when missing). A folder that is the meet
// folder itself is refused. `site` is used with links to ".html" files (its
// options' staticFiles). A failure writes nothing: temporaries are removed
// and no file is renamed into place.
Result<PublishReport> PublishSite(const LiveSite& site, const std::filesystem::path& meetFolder,
                                  const std::filesystem::path& dir, const PublishProgress& progress = {});

// What changes when any file the site is built from changes: the names,
// sizes and modification times of the meet folder's files (and of its lap/
// and goal/ folders) and of the entry file.
std::string FilesStamp(const std::filesystem::path& meetFolder, const std::filesystem::path& entryFile);

}  // namespace meet::live
