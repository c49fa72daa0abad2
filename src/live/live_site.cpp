#include "live/live_site.h"

#include <zlib.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <unordered_map>

#include "core/numbers.h"
#include "data/entry_file.h"
#include "live/live_model.h"
#include "live/publish.h"

namespace meet::live {
namespace {

constexpr size_t kCachedAnswers = 4096;
constexpr size_t kKeptChanges = 256;
// Answers shorter than this go out as they are.
constexpr size_t kGzipFrom = 256;
// A meet folder that could not be read is looked at again after this.
constexpr auto kRetryAfterFailure = std::chrono::milliseconds(200);

std::string Key(const Target& t) {
  return NumberText(static_cast<int>(t.route)) + (t.api ? "a" : "p") + NumberText(t.number) + t.code;
}

std::string Hex(uint64_t v) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, v >>= 4) out[static_cast<size_t>(i)] = kHex[v & 15];
  return out;
}

std::shared_ptr<const LiveAnswer> MakeAnswer(int status, std::string contentType, std::string body, int64_t updated) {
  auto a = std::make_shared<LiveAnswer>();
  a->status = status;
  a->contentType = std::move(contentType);
  a->body = std::move(body);
  if (a->body.size() >= kGzipFrom) {
    a->gzip = Gzipped(a->body);
    if (a->gzip.size() >= a->body.size()) a->gzip.clear();
  }
  if (status == 200) a->etag = "\"" + Hex(Fnv64(a->body)) + "\"";
  a->updated = updated;
  return a;
}

constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr const char* kJsonType = "application/json; charset=utf-8";

// The server path of a file of the published site.
std::string RouteOf(const std::string& file) {
  if (file == "index.html") return "/";
  if (file.ends_with(".html") || file.ends_with(".json")) return "/" + file.substr(0, file.size() - 5);
  return "/" + file;
}

}  // namespace

std::string LiveChange::Json() const {
  auto list = [](const std::vector<int>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + NumberText(values[i]);
    return out + "]";
  };
  return "{\"version\":" + NumberText(kApiVersion) + ",\"id\":" + NumberText(static_cast<int64_t>(id)) +
         ",\"all\":" + (all ? "true" : "false") + ",\"meet\":" + (meet ? "true" : "false") +
         ",\"points\":" + (points ? "true" : "false") + ",\"events\":" + list(events) + ",\"races\":" + list(races) + "}";
}

struct LiveSite::Cache {
  std::mutex lock;
  std::string stamp;                    // the files as last read
  std::shared_ptr<const Model> model;   // the last good model
  std::chrono::steady_clock::time_point failedAt{};
  bool failed = false;
  std::shared_ptr<const Entries> entries;
  LapCache laps;
  struct Kept {
    uint64_t fingerprint = 0;
    std::shared_ptr<const LiveAnswer> answer;
  };
  std::unordered_map<std::string, Kept> answers;
  // When each answer's data last changed, kept longer than the answers.
  std::unordered_map<std::string, std::pair<uint64_t, int64_t>> seen;
  std::deque<LiveChange> changes;
  uint64_t lastId = 0;
};

LiveSite::LiveSite(std::filesystem::path meetFolder, std::string entryFolder, std::string entryFileName, LiveOptions options)
    : meetFolder_(std::move(meetFolder)),
      entryFolder_(std::move(entryFolder)),
      entryFileName_(std::move(entryFileName)),
      options_(options),
      cache_(std::make_shared<Cache>()) {}

std::filesystem::path LiveSite::entryFile() const { return EntryFilePath(entryFolder_, entryFileName_); }

LiveSite LiveSite::WithOptions(LiveOptions options) const {
  return LiveSite(meetFolder_, entryFolder_, entryFileName_, options);
}

std::shared_ptr<const Model> LiveSite::CurrentModel() const {
  const std::filesystem::path entry = entryFile();
  const std::string stamp = FilesStamp(meetFolder_, entry);
  std::lock_guard guard(cache_->lock);
  if (cache_->model && stamp == cache_->stamp) return cache_->model;
  const auto now = std::chrono::steady_clock::now();
  if (cache_->failed && stamp == cache_->stamp && now - cache_->failedAt < kRetryAfterFailure) return cache_->model;
  auto fresh = LoadModel(meetFolder_, entry, entryFolder_, entryFileName_, options_, cache_->entries, cache_->laps);
  cache_->stamp = stamp;
  if (!fresh) {
    // Half-written, or a file that could not be opened: the last good one stays.
    cache_->failed = true;
    cache_->failedAt = now;
    return cache_->model;
  }
  cache_->failed = false;
  if (cache_->model) {
    LiveChange change = Difference(*cache_->model, *fresh);
    if (change.all || change.meet || change.points) {
      change.id = ++cache_->lastId;
      cache_->changes.push_back(std::move(change));
      if (cache_->changes.size() > kKeptChanges) cache_->changes.pop_front();
    }
  }
  cache_->model = fresh;
  return fresh;
}

std::shared_ptr<const LiveAnswer> LiveSite::Get(std::string_view path) const {
  const Target t = ParseTarget(path);
  if (t.route == Route::None) return MakeAnswer(404, t.api ? kJsonType : kHtmlType, NotFoundPage(options_, t.api), 0);
  const auto model = CurrentModel();
  if (!model) return MakeAnswer(503, t.api ? kJsonType : kHtmlType, UpdatingPage(t.api), 0);
  const auto fingerprint = Fingerprint(*model, t);
  if (!fingerprint) return MakeAnswer(404, t.api ? kJsonType : kHtmlType, NotFoundPage(options_, t.api), 0);
  const std::string key = Key(t);
  int64_t updated = 0;
  {
    std::lock_guard guard(cache_->lock);
    if (const auto it = cache_->answers.find(key); it != cache_->answers.end() && it->second.fingerprint == *fingerprint)
      return it->second.answer;
    auto& seen = cache_->seen[key];
    if (seen.first != *fingerprint || seen.second == 0) {
      seen.first = *fingerprint;
      seen.second = model->newest > 0 ? model->newest : static_cast<int64_t>(std::time(nullptr));
    }
    updated = seen.second;
  }
  if (t.route == Route::Css || t.route == Route::Js) updated = 0;
  auto built = BuildTarget(*model, t, updated);
  if (!built) return MakeAnswer(404, t.api ? kJsonType : kHtmlType, NotFoundPage(options_, t.api), 0);
  auto answer = MakeAnswer(200, built->contentType, std::move(built->body), updated);
  std::lock_guard guard(cache_->lock);
  if (cache_->answers.size() >= kCachedAnswers) cache_->answers.clear();
  cache_->answers[key] = Cache::Kept{*fingerprint, answer};
  return answer;
}

LiveResponse LiveSite::Respond(std::string_view method, std::string_view path) const {
  if (method != "GET" && method != "HEAD") {
    const bool api = ParseTarget(path).api || path.starts_with("/api/");
    return {405, api ? kJsonType : kHtmlType,
            api ? "{\"version\":" + NumberText(kApiVersion) + ",\"error\":\"この操作はできません\"}\n"
                : "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>この操作はできません</title></head>"
                  "<body><main><h1>この操作はできません</h1></main></body></html>\n"};
  }
  const auto a = Get(path);
  return {a->status, a->contentType, a->body};
}

std::vector<LiveChange> LiveSite::ChangesSince(uint64_t id) const {
  CurrentModel();
  std::lock_guard guard(cache_->lock);
  std::vector<LiveChange> out;
  for (const LiveChange& c : cache_->changes)
    if (c.id > id) out.push_back(c);
  return out;
}

uint64_t LiveSite::LastChangeId() const {
  std::lock_guard guard(cache_->lock);
  return cache_->lastId;
}

std::optional<LiveSite::SiteListing> LiveSite::Listing() const {
  const auto model = CurrentModel();
  if (!model) return std::nullopt;
  // A model read while a file was being written is the last good one: the
  // published site then waits for the next look.
  {
    std::lock_guard guard(cache_->lock);
    if (cache_->failed) return std::nullopt;
  }
  SiteListing listing;
  listing.model = model;
  listing.newest = model->newest;
  for (const auto& [file, target] : SiteTargets(*model))
    if (const auto fp = Fingerprint(*model, target)) listing.pages.push_back({file, *fp});
  return listing;
}

std::string LiveSite::Build(const SiteListing& listing, const SitePage& page, int64_t updated) const {
  const Target t = ParseTarget(RouteOf(page.path));
  auto built = BuildTarget(*listing.model, t, t.route == Route::Css || t.route == Route::Js ? 0 : updated);
  return built ? std::move(built->body) : std::string();
}

std::string JsonEscaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '<') {
      out += "\\u003c";  // never closes a script element it is placed in
    } else if (u < 0x20 || u == 0x7f) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

uint64_t Fnv64(std::string_view bytes, uint64_t seed) {
  uint64_t h = seed;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string Gzipped(std::string_view bytes, int level) {
  z_stream zs{};
  if (deflateInit2(&zs, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  std::string out;
  out.resize(deflateBound(&zs, static_cast<uLong>(bytes.size())));
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  zs.avail_in = static_cast<uInt>(bytes.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return rc == Z_STREAM_END ? out : std::string();
}

}  // namespace meet::live
