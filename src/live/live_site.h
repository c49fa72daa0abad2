// The live results site: the meet's pages and their JSON, built from the
// meet folder's files; an answer is kept until any of those files changes.
// Nothing here writes a file.
//   /            the meet and its events in program order, the next races
//   /event/N     event N (its printed number): heats, and the results ranked
//   /race/N      race N as the race screen shows it
//   /points      the team points of the last 集計
//   /api/meet, /api/event/N, /api/race/N, /api/points: the same as JSON
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace meet::live {

inline constexpr const char* kUpdatingText = "更新中";
inline constexpr int kRefreshSeconds = 10;

struct LiveOptions {
  bool unmask = false;       // show the swimmers whose code begins with "34"
  bool staticFiles = false;  // links to "….html" files (the published site)
};

struct LiveResponse {
  int status = 200;
  std::string contentType;
  std::string body;
};

// The site of one meet folder.
class LiveSite {
 public:
  // `entryFolder` and `entryFileName` name the entry file (they come from
  // the folder configuration, not from the meet's settings file).
  LiveSite(std::filesystem::path meetFolder, std::string entryFolder, std::string entryFileName, LiveOptions options);

  const std::filesystem::path& meetFolder() const { return meetFolder_; }
  // The entry file's path.
  std::filesystem::path entryFile() const;

  // Answers one request. Only GET and HEAD are answered (405 otherwise, with
  // an Allow header the caller adds); paths outside the routes give 404; a
  // file caught while it is being written gives 503 "更新中".
  LiveResponse Respond(std::string_view method, std::string_view path) const;

  // One file of the published site: its path relative to the site folder and
  // its content.
  struct SiteFile {
    std::string path;
    std::string content;
  };
  // Every page and JSON file of the site, links relative. Empty when the
  // files were caught while being written.
  std::vector<SiteFile> SiteFiles() const;

 private:
  struct Cache;
  // The answer to a GET of a route, built from the files.
  LiveResponse Answer(int route, bool api, int number) const;

  std::filesystem::path meetFolder_;
  std::string entryFolder_, entryFileName_;
  LiveOptions options_;
  std::shared_ptr<Cache> cache_;  // shared by the copies of the site
};

// Text for a JSON string (without the quotes).
std::string JsonEscaped(std::string_view text);

}  // namespace meet::live
