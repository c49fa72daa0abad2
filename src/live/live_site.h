// The live results site: the meet's pages and their JSON, built from the
// meet folder's files. Nothing here writes a file.
//   /               the meet, its events in program order, the next races, search, favourites
//   /event/N        event N (its printed number): results, heats, start lists
//   /race/N         race N lane by lane
//   /swimmer/ID     every swim of entry ID across the meet
//   /team/CODE      a club's swimmers, results and points
//   /points         the team points of the last 集計
//   /api/meet, /api/event/N, /api/race/N, /api/swimmer/ID, /api/team/CODE,
//   /api/points, /api/search: the same as JSON ("version": 1);
//   /api/stream     the events and races that change, pushed (see http.h)
// The files are read once per change into a model; an answer is kept while
// the data it is built from (its fingerprint) stays the same, and a file
// caught half-written (or that cannot be opened) keeps the last good model.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meet::live {

inline constexpr const char* kUpdatingText = "更新中";
inline constexpr int kRefreshSeconds = 10;
inline constexpr int kApiVersion = 1;

struct LiveOptions {
  bool unmask = false;       // show the swimmers whose code begins with "34"
  bool staticFiles = false;  // links to "….html" files (the published site)
};

// One answer as kept: the body, its gzip form (empty when not worth it), a
// strong ETag (quoted) and when its data last changed.
struct LiveAnswer {
  int status = 200;
  std::string contentType;
  std::string body;
  std::string gzip;
  std::string etag;
  int64_t updated = 0;  // Unix seconds; 0: none
};

struct LiveResponse {
  int status = 200;
  std::string contentType;
  std::string body;
};

// What changed between two looks at the meet's files.
struct LiveChange {
  uint64_t id = 0;
  bool all = false;     // the settings or the entries: every page
  bool meet = false;    // the overview (any race)
  bool points = false;  // the team points
  std::vector<int> events, races;
  // As the stream sends it.
  std::string Json() const;
};

struct Model;

// The site of one meet folder.
class LiveSite {
 public:
  // `entryFolder` and `entryFileName` name the entry file (they come from
  // the folder configuration, not from the meet's settings file).
  LiveSite(std::filesystem::path meetFolder, std::string entryFolder, std::string entryFileName, LiveOptions options);

  const std::filesystem::path& meetFolder() const { return meetFolder_; }
  const LiveOptions& options() const { return options_; }
  const std::string& entryFolder() const { return entryFolder_; }
  const std::string& entryFileName() const { return entryFileName_; }
  // The same meet with other options (a cache of its own).
  LiveSite WithOptions(LiveOptions options) const;
  // The entry file's path.
  std::filesystem::path entryFile() const;

  // The answer to a GET (or HEAD) of the path: 404 outside the routes, 503
  // "更新中" only while no good model was ever read.
  std::shared_ptr<const LiveAnswer> Get(std::string_view path) const;
  // Answers one request as the tests and the published site see it: only GET
  // and HEAD are answered (405 otherwise).
  LiveResponse Respond(std::string_view method, std::string_view path) const;

  // Looks at the files (when they changed since the last look) and returns
  // the changes after `id`, oldest first.
  std::vector<LiveChange> ChangesSince(uint64_t id) const;
  uint64_t LastChangeId() const;

  // The published site: every file with the fingerprint of its data, and
  // the content of one of them (links relative). Nothing when the files were
  // never read whole.
  struct SitePage {
    std::string path;      // relative to the site folder ("event/3.html")
    uint64_t fingerprint;  // changes when its content does
  };
  struct SiteListing {
    std::shared_ptr<const Model> model;
    std::vector<SitePage> pages;
    int64_t newest = 0;  // the newest modification time of the meet's files
  };
  std::optional<SiteListing> Listing() const;
  // The page's content with `updated` (Unix seconds) as the time its data
  // last changed.
  std::string Build(const SiteListing& listing, const SitePage& page, int64_t updated) const;

  struct Cache;

 private:
  std::shared_ptr<const Model> CurrentModel() const;

  std::filesystem::path meetFolder_;
  std::string entryFolder_, entryFileName_;
  LiveOptions options_;
  std::shared_ptr<Cache> cache_;  // shared by the copies of the site
};

// Text for a JSON string (without the quotes).
std::string JsonEscaped(std::string_view text);
// 64-bit FNV-1a of the bytes, continuing from `seed`.
uint64_t Fnv64(std::string_view bytes, uint64_t seed = 14695981039346656037ull);
// The bytes gzipped (zlib, level 6).
std::string Gzipped(std::string_view bytes, int level = 6);

}  // namespace meet::live
