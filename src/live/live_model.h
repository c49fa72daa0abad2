// What the live site reads from a meet folder, once per change of its files:
// the settings, every race decoded, the race states, the relay blocks, the
// entries, the lap files, the points; a fingerprint per race (and for what
// every page shares) so that an answer is made again only when its data
// changed; and the views of a lane every page and JSON is built from, masked
// once here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/relay_file.h"
#include "live/live_site.h"
#include "print/print_sources.h"
#include "print/program_pages.h"
#include "print/results_print.h"
#include "race/timing_files.h"
#include "results/nyusho_file.h"
#include "results/wa_points.h"
#include "settings/settings.h"

namespace meet::live {

// The entries of the entry file, decoded once while the file stays as it was.
struct Entries {
  std::string stamp;  // size and modification time
  std::vector<Entry> byNumber;  // index = entry number (0 unused)
  const Entry* at(int n) const {
    return n > 0 && static_cast<size_t>(n) < byNumber.size() ? &byNumber[static_cast<size_t>(n)] : nullptr;
  }
};

// The lap files read, by race, kept while each stays as it was.
struct LapCache {
  std::mutex lock;
  std::map<int, std::pair<std::string, std::vector<LapLine>>> byRace;
};

// A time code as shown: its state, the time in hundredths where it is one,
// and the text.
struct TimeView {
  const char* status = "none";  // none, time, participation, dq, dnf, dns, invalid
  std::optional<int64_t> hundredths;
  std::string text;
};
TimeView TimeOf(int32_t code);

// A swimmer or a relay team as shown (masked: "(広島)", nothing personal).
struct PersonView {
  int entry = 0;  // 0: none or masked (no page to link)
  bool masked = false;
  std::string name, kana, club, pref, grade, team;  // team: the club's code ("" masked)
  int age = 0;  // 0: not shown
};

struct LegView {
  int leg = 0;  // 1..4
  PersonView person;
};

// One lane of a race.
struct LaneView {
  int race = 0, heat = 0, lane = 0, slot = 0;
  int place = 0;  // the race's placing, or the place in a list
  bool relay = false, exhibition = false;
  PersonView person;  // the swimmer, or the team with its letter
  std::vector<LegView> legs;
  int32_t time = 0, entryTime = 0, split = 0;
  std::vector<int64_t> splits, laps;  // hundredths: cumulative from the lap file, and each lap
  int standard = 0, recordClass = 0;
  std::string mark;  // the standard flag and the record class, as the results printout shows them
  std::optional<int> points;  // World Aquatics points, when the meet's table has the swim's row
};

struct EventInfo {
  int eventNo = 0, firstRace = 0, swum = 0;
  std::vector<int> heats;  // race numbers in race order
  std::string title;
  bool relay = false, seeded = false;
  // pending (a next stage not seeded yet), scheduled, partial, final
  const char* State() const;
  std::string StateLabel() const;
};

// Where an entry swims: the race, the slot, and the leg (0: its own lane).
struct Appearance {
  int race = 0, slot = 0, leg = 0;
};

struct Model {
  std::filesystem::path folder;
  LiveOptions options;
  Settings settings;
  RaceFileImage races;
  std::vector<Race> decoded;  // index = race number
  std::string states;          // Race.dat as read
  std::string relayBytes;      // relay.dat as read
  int relayCount = 0;
  std::shared_ptr<const Entries> entries;
  std::unique_ptr<PrintSources> sources;
  std::map<int, std::string> lapStamps;  // races with a lap file: its size and time
  LapCache* lapCache = nullptr;
  std::optional<NyushoTable> nyusho;
  std::optional<PointsTable> pointsTable;  // wapoints.csv; none when missing or unusable
  int64_t newest = 0;  // the newest modification time of the files read

  uint64_t global = 0;              // what every page shares
  std::vector<uint64_t> raceHash;   // index = race number
  uint64_t allRaces = 0;
  uint64_t points = 0;
  std::vector<EventInfo> events;    // in race order of their first heat
  std::map<int, size_t> eventAt;    // printed number → index in events
  std::unordered_map<int, std::vector<Appearance>> byEntry;
  std::map<std::string, std::vector<int>> clubEntries;  // club code → entries (not masked)

  const Race& race(int n) const;
  char state(int n) const;
  bool Swum(int n) const;
  bool IsRelay(const Race& r) const;
  std::optional<RelayBlock> Block(const Race& r) const;
  const EventInfo* Event(int eventNo) const;
  std::string RaceTitle(const Race& r) const;

  PersonView Person(int entryNo, bool team) const;
  LaneView Lane(int raceNo, int slot) const;
  // The lap file of a race, from the cache while it is unchanged.
  std::vector<LapLine> Laps(int raceNo) const;
  // Fingerprint of a swimmer's or a club's data.
  uint64_t SwimmerPrint(int entryNo) const;
  uint64_t TeamPrint(const std::string& code) const;
  // The club code of an entry ("" when masked or none).
  std::string ClubOf(const Entry& e) const;
  bool Masked(const Entry& e) const;
};

// Reads the meet's files into a model; nothing when a file was caught
// half-written or could not be read (the last good model is kept then).
// `entries` and `laps` are kept between models.
std::shared_ptr<const Model> LoadModel(const std::filesystem::path& folder, const std::filesystem::path& entryFile,
                                       const std::string& entryFolder, const std::string& entryFileName,
                                       const LiveOptions& options, std::shared_ptr<const Entries>& entries,
                                       LapCache& laps);

// What changed from one model to the next.
LiveChange Difference(const Model& before, const Model& after);

// --- the routes --------------------------------------------------------------

enum class Route { Meet, Event, Race, Points, Swimmer, Team, Search, Css, Js, None };
struct Target {
  Route route = Route::None;
  bool api = false;
  int number = 0;
  std::string code;  // the club code of /team/CODE
};
Target ParseTarget(std::string_view path);
// The caption of lane slot k: "1" … "10", "補欠１", "補欠２".
std::string LaneLabelText(int slot);
// The fingerprint of a target's data; nothing when it is not there (404).
std::optional<uint64_t> Fingerprint(const Model& m, const Target& t);
// The answer's body; nothing when it is not there (404). `updated`: when its
// data last changed.
struct Built {
  std::string body;
  const char* contentType;
};
std::optional<Built> BuildTarget(const Model& m, const Target& t, int64_t updated);
std::string NotFoundPage(const LiveOptions& o, bool api);
std::string UpdatingPage(bool api);

// The site's files: the pages of the static site and their paths.
std::vector<std::pair<std::string, Target>> SiteTargets(const Model& m);

}  // namespace meet::live
