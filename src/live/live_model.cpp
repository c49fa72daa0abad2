#include "live/live_model.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "core/time_code.h"
#include "data/optional_categories.h"
#include "data/race_layout.h"
#include "data/race_states.h"
#include "data/relay_layout.h"
#include "results/ranking_list.h"

namespace meet::live {
namespace fs = std::filesystem;
namespace {

// Changes whenever the pages are made differently: every fingerprint holds it.
constexpr const char* kSiteVersion = "live-site 2";
// The most a reader takes of a file the site reads whole.
constexpr uint64_t kMaxSmallFile = 1 << 20;
constexpr uint64_t kMaxRelayBytes = static_cast<uint64_t>(relay_layout::kMaxBlock + relay_layout::kFirstBlockRecord - 1) *
                                    relay_layout::kRecordLength;
constexpr uint64_t kMaxStateBytes = 64 * 1024;

uint64_t Mix(uint64_t h, uint64_t v) {
  for (int i = 0; i < 8; ++i) {
    h ^= (v >> (8 * i)) & 0xff;
    h *= 1099511628211ull;
  }
  return h;
}

std::string Stamp(const fs::path& p, int64_t* mtime = nullptr) {
  struct stat st;
  if (::stat(p.c_str(), &st) != 0) return {};
  if (mtime) *mtime = std::max<int64_t>(*mtime, st.st_mtim.tv_sec);
  return NumberText(static_cast<int64_t>(st.st_size)) + ":" + NumberText(st.st_mtim.tv_sec) + "." +
         NumberText(st.st_mtim.tv_nsec);
}

// Without blanks (half- and full-width) and NULs at either end.
std::string Trimmed(std::string text) {
  static const std::string kWide = "\u3000";
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    else if (text.ends_with(kWide)) text.resize(text.size() - kWide.size());
    else break;
  }
  size_t i = 0;
  for (;;) {
    if (i < text.size() && (text[i] == ' ' || text[i] == '\0')) ++i;
    else if (text.compare(i, kWide.size(), kWide) == 0) i += kWide.size();
    else break;
  }
  return text.substr(i);
}

// A file read whole up to its limit: the bytes, "" when missing, nothing
// when it is there but cannot be read.
std::optional<std::string> ReadSmall(const fs::path& folder, const char* name, uint64_t limit, int64_t* newest) {
  const fs::path p = FindFile(folder, name);
  auto bytes = ReadFileHead(p, limit);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return std::string();
    return std::nullopt;
  }
  Stamp(p, newest);
  return std::move(*bytes);
}

// The races whose lap file is in the lap folder, by one look at the folder.
std::map<int, std::string> RacesWithLapFiles(const fs::path& folder) {
  std::map<int, std::string> out;
  std::error_code ec;
  const fs::path dir = FindFile(folder, "lap");
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != 5 || (name[0] != 'R' && name[0] != 'r')) continue;
    if (name.find_first_not_of("0123456789", 1) != std::string::npos) continue;
    out.emplace(std::stoi(name.substr(1)), Stamp(it->path()));
  }
  return out;
}

std::shared_ptr<const Entries> ReadEntries(const fs::path& path, const std::string& stamp, bool* failed) {
  auto file = EntryFile::OpenForReading(path);
  if (!file) {
    if (file.error().kind != ErrorKind::NotFound) *failed = true;
    auto empty = std::make_shared<Entries>();
    empty->stamp = stamp;
    return empty;
  }
  auto out = std::make_shared<Entries>();
  out->stamp = stamp;
  const int32_t held = std::clamp<int32_t>(file->entriesHeld(), 0, 1 << 20);
  out->byNumber.resize(static_cast<size_t>(held) + 1);
  for (int32_t n = 1; n <= held; ++n) out->byNumber[static_cast<size_t>(n)] = file->Load(n);
  return out;
}

int64_t Hundredths(int32_t code) {
  return int64_t{code / 10000} * 6000 + int64_t{(code / 100) % 100} * 100 + code % 100;
}

// A split text of the lap file ("0:28.34", "   28.34", "1:02.15") in hundredths.
std::optional<int64_t> TextHundredths(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  int64_t minutes = 0;
  if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
    const std::string_view m = text.substr(0, colon);
    if (m.empty() || m.size() > 3 || m.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    minutes = LeadingNumber(m);
    text.remove_prefix(colon + 1);
  }
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot > 2 || text.size() != dot + 3) return std::nullopt;
  if (text.substr(0, dot).find_first_not_of("0123456789") != std::string_view::npos ||
      text.substr(dot + 1).find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  const int64_t seconds = LeadingNumber(text.substr(0, dot));
  if (seconds > 59 && minutes > 0) return std::nullopt;
  return minutes * 6000 + seconds * 100 + LeadingNumber(text.substr(dot + 1));
}

}  // namespace

TimeView TimeOf(int32_t code) {
  TimeView v;
  if (code == 0 || code == kNoRecord) return v;
  if (!IsTimeCode(code)) {
    v.status = "invalid";
    return v;
  }
  if (code >= 595900 && code <= kParticipation) {
    v.status = "participation";
    v.text = "参加";
  } else if (code >= kDisqualifiedFirst && code < kDidNotFinish) {
    v.status = "dq";
    v.text = "失格（" + StatusLabel(code) + "）";
  } else if (code == kDidNotFinish) {
    v.status = "dnf";
    v.text = "途中棄権";
  } else if (code == kWithdrawn) {
    v.status = "dns";
    v.text = "棄権";
  } else {
    v.status = "time";
    v.hundredths = Hundredths(code);
    v.text = Trimmed(FormatTime(code));
  }
  return v;
}

const char* EventInfo::State() const {
  if (!seeded && swum == 0) return "pending";
  if (swum == 0) return "scheduled";
  if (swum < static_cast<int>(heats.size())) return "partial";
  return "final";
}

std::string EventInfo::StateLabel() const {
  const std::string s = State();
  if (s == "pending") return "予選終了後に決定";
  if (s == "scheduled") return "未";
  if (s == "partial") return "途中経過 " + NumberText(swum) + "/" + NumberText(static_cast<int64_t>(heats.size())) + "組";
  return "確定";
}

const Race& Model::race(int n) const {
  static const Race kNone{};
  return n >= 1 && static_cast<size_t>(n) < decoded.size() ? decoded[static_cast<size_t>(n)] : kNone;
}

char Model::state(int n) const { return n >= 1 && static_cast<size_t>(n) <= states.size() ? states[static_cast<size_t>(n - 1)] : '\0'; }

// A heat is swum once its results were entered or posted ("7", "8"), or a
// lane holds a result.
bool Model::Swum(int n) const {
  const char s = state(n);
  if (s == kStateChanged || s == kStatePrinted) return true;
  const Race& r = race(n);
  for (size_t k = 0; k < 12; ++k)
    if (r.laneNo[k] != 0 && r.laneTime[k] != 0) return true;
  return false;
}

bool Model::IsRelay(const Race& r) const { return sources->IsRelay(r.eventCode); }

std::optional<RelayBlock> Model::Block(const Race& r) const {
  if (!IsRelayLinked(r.eventCode) && !IsRelay(r)) return std::nullopt;
  if (r.relayRec < 1 || r.relayRec > relayCount) return std::nullopt;
  const size_t at = static_cast<size_t>(r.relayRec + relay_layout::kFirstBlockRecord - 2) * relay_layout::kRecordLength;
  if (at + relay_layout::kRecordLength > relayBytes.size()) return std::nullopt;
  return RelayBlockFromRecord(Record(relayBytes.substr(at, relay_layout::kRecordLength), relay_layout::kRecordLength));
}

const EventInfo* Model::Event(int eventNo) const {
  const auto it = eventAt.find(eventNo);
  return it == eventAt.end() ? nullptr : &events[it->second];
}

std::string Model::RaceTitle(const Race& r) const {
  std::string out;
  for (const std::string& w : {SexName(r.sexCode), sources->BandLabel(r.classFrom, r.classTo, r.eventCode),
                               sources->EventText(r.eventCode), RoundName(r.roundCode)}) {
    const std::string t = Trimmed(w);
    if (t.empty()) continue;
    if (!out.empty()) out += ' ';
    out += t;
  }
  return out;
}

bool Model::Masked(const Entry& e) const { return !options.unmask && e.regNo.starts_with(kMaskPrefix); }

std::string Model::ClubOf(const Entry& e) const {
  if (Masked(e)) return {};
  const std::string code = e.regNo.substr(0, std::min<size_t>(5, e.regNo.size()));
  if (code.size() != 5 || code.find_first_not_of("0123456789") != std::string::npos) return {};
  return code;
}

PersonView Model::Person(int entryNo, bool team) const {
  PersonView p;
  const Entry* e = entries->at(entryNo);
  if (!e) return p;
  if (Masked(*e)) {
    p.masked = true;
    p.name = Trimmed(kMaskedName);
    p.kana = Trimmed(kMaskedKana);
    p.club = kMaskedClub;
    p.pref = Trimmed(PrintedName(e->prefName));
    return p;
  }
  p.entry = entryNo;
  // A team's name keeps its letter as the entry file has it (ＡＢ…).
  p.name = Trimmed(team ? PrintedText(e->swimmerName) : PrintedName(e->swimmerName));
  p.kana = Trimmed(PrintedText(e->swimmerKana));
  p.club = Trimmed(PrintedName(e->affiliation));
  p.pref = Trimmed(PrintedName(e->prefName));
  p.team = ClubOf(*e);
  if (!team) {
    p.age = e->age > 0 && e->age < 200 ? e->age : 0;
    p.grade = Trimmed(sources->GradeText(e->gradeCode));
  }
  return p;
}

std::vector<LapLine> Model::Laps(int raceNo) const {
  const auto listed = lapStamps.find(raceNo);
  if (listed == lapStamps.end()) return {};
  if (!lapCache || listed->second.empty()) return ReadLapFile(folder, raceNo);
  {
    std::lock_guard guard(lapCache->lock);
    if (auto it = lapCache->byRace.find(raceNo); it != lapCache->byRace.end() && it->second.first == listed->second)
      return it->second.second;
  }
  std::vector<LapLine> laps = ReadLapFile(folder, raceNo);
  std::lock_guard guard(lapCache->lock);
  lapCache->byRace[raceNo] = {listed->second, laps};
  return laps;
}

LaneView Model::Lane(int raceNo, int slot) const {
  const Race& r = race(raceNo);
  const size_t k = static_cast<size_t>(std::clamp(slot, 0, 11));
  LaneView v;
  v.race = raceNo;
  v.heat = r.heatNo;
  v.lane = slot + 1;
  v.slot = slot;
  v.place = r.laneRank[k] > 0 ? r.laneRank[k] : 0;
  v.relay = IsRelay(r);
  v.person = Person(r.laneNo[k], v.relay);
  v.time = r.laneTime[k];
  v.entryTime = r.laneEntryTime[k];
  v.recordClass = r.laneRecordClass[k];
  v.exhibition = v.recordClass == 99;
  const std::string flag = FlagText(r.standardFlags[k]);
  v.standard = flag.size() == 1 && flag[0] >= '1' && flag[0] <= '7' ? flag[0] - '0' : 0;
  v.mark = flag + RecordClassAbbrev(v.recordClass);
  if (pointsTable && !v.exhibition && r.eventCode >= 1 && r.eventCode <= 44) {
    const std::string extra = r.eventCode >= 30 ? sources->naming().extraEventNames[static_cast<size_t>(r.eventCode - 30)] : "";
    v.points = pointsTable->Points(CourseCode(settings.courseMode), GenderCode(r.sexCode),
                                   SwimStyleOf(r.eventCode, extra, v.relay), v.time);
  }
  if (const auto block = Block(r)) {
    if (slot < 10) v.split = block->splitTimes[k];
    if (v.relay)
      for (int leg = 0; leg < 4; ++leg)
        if (const int member = block->member(leg, slot); member != 0) {
          LegView l{leg + 1, Person(member, false)};
          // The legs of a team that is masked are masked with it.
          if (v.person.masked && !l.person.masked) {
            l.person = PersonView{};
            l.person.masked = true;
            l.person.name = Trimmed(kMaskedName);
            l.person.kana = Trimmed(kMaskedKana);
            l.person.club = kMaskedClub;
          }
          v.legs.push_back(std::move(l));
        }
  }
  // The lap file holds lanes 1 to 10; the last split is the final time.
  if (slot < 10 && lapStamps.count(raceNo) && Swum(raceNo)) {
    const LapTimes times = readLapTimes(Laps(raceNo), slot + 1, r.laneTime[k]);
    std::optional<int64_t> before;
    for (const std::string& text : times.texts) {
      const auto h = TextHundredths(text);
      if (!h) continue;
      v.splits.push_back(*h);
      if (before && *h >= *before) v.laps.push_back(*h - *before);
      before = h;
    }
  }
  return v;
}

uint64_t Model::SwimmerPrint(int entryNo) const {
  uint64_t h = Mix(global, static_cast<uint64_t>(entryNo));
  if (const auto it = byEntry.find(entryNo); it != byEntry.end())
    for (const Appearance& a : it->second) {
      h = Mix(h, static_cast<uint64_t>(a.race) * 64 + static_cast<uint64_t>(a.slot) * 4 + static_cast<uint64_t>(a.leg));
      h = Mix(h, raceHash[static_cast<size_t>(a.race)]);
    }
  return h;
}

uint64_t Model::TeamPrint(const std::string& code) const {
  uint64_t h = Fnv64(code, Mix(global, points));
  if (const auto it = clubEntries.find(code); it != clubEntries.end())
    for (int n : it->second) h = Mix(h, SwimmerPrint(n));
  return h;
}

std::shared_ptr<const Model> LoadModel(const fs::path& folder, const fs::path& entryFile, const std::string& entryFolder,
                                       const std::string& entryFileName, const LiveOptions& options,
                                       std::shared_ptr<const Entries>& entries, LapCache& laps) {
  auto m = std::make_shared<Model>();
  m->folder = folder;
  m->options = options;
  int64_t newest = 0;
  const auto settingsBytes = ReadSmall(folder, kSettingsFileName, kMaxSettingsFileBytes, &newest);
  if (!settingsBytes) return nullptr;
  if (!settingsBytes->empty()) ParseSettings(*settingsBytes, folder, m->settings);
  else LoadSettings(folder, m->settings);  // none: the settings of a new meet
  m->settings.entryFolder = entryFolder;
  m->settings.entryFileName = entryFileName;

  // The race file: a size that is not whole records, or a header counting
  // more races than it holds, is a file being written.
  const auto raceBytes = ReadSmall(folder, kRaceFileName, race_layout::kMaxFileBytes, &newest);
  if (!raceBytes) return nullptr;
  if (raceBytes->size() > race_layout::kEmptyFileSize) {
    if (raceBytes->size() % race_layout::kRecordLength != 0) return nullptr;
    const int held = static_cast<int>(raceBytes->size() / race_layout::kRecordLength) - (race_layout::kFirstRaceRecord - 1);
    const int stored = Record(raceBytes->substr(0, race_layout::kRecordLength), race_layout::kRecordLength).I16(race_layout::kRaceCount);
    if (stored > std::max(held, 0)) return nullptr;
  }
  m->races = RaceFileImage::FromBytes(*raceBytes);
  const auto states = ReadSmall(folder, kRaceStateFileName, kMaxStateBytes, &newest);
  const auto relays = ReadSmall(folder, kRelayFileName, kMaxRelayBytes, &newest);
  const auto categories = ReadSmall(folder, kOptionalCategoryFileName, kMaxSmallFile, &newest);
  const auto nyushoBytes = ReadSmall(folder, kNyushoFileName, 64 << 20, &newest);
  const auto pointsBytes = ReadSmall(folder, kPointsTableFileName, kMaxPointsTableBytes, &newest);
  if (!states || !relays || !categories || !nyushoBytes || !pointsBytes) return nullptr;
  // A table that cannot be used shows no points rather than stopping the site.
  if (!pointsBytes->empty())
    if (auto table = ParsePointsTable(*pointsBytes, kPointsTableFileName)) m->pointsTable = std::move(*table);
  m->states = *states;
  m->relayBytes = *relays;
  if (relays->size() % relay_layout::kRecordLength != 0 && relays->size() > relay_layout::kEmptyFileSize) return nullptr;
  m->relayCount = RelayBlocksHeld(*relays);

  const std::string entryStamp = Stamp(entryFile, &newest);
  if (!entries || entries->stamp != entryStamp || entryStamp.empty()) {
    bool failed = false;
    auto read = ReadEntries(entryFile, entryStamp, &failed);
    if (failed) return nullptr;
    entries = read;
  }
  m->entries = entries;
  m->sources = std::make_unique<PrintSources>(MeetFiles{folder, m->settings});
  m->lapStamps = RacesWithLapFiles(folder);
  m->lapCache = &laps;
  if (!nyushoBytes->empty()) {
    auto table = LoadNyusho(folder);
    if (!table) return nullptr;
    m->nyusho = std::move(*table);
  }
  m->newest = newest;

  // Fingerprints.
  m->global = Fnv64(*settingsBytes, Fnv64(kSiteVersion));
  m->global = Fnv64(entryStamp, m->global);
  m->global = Fnv64(*categories, m->global);
  m->global = Fnv64(*pointsBytes, m->global);
  m->global = Mix(m->global, (options.unmask ? 1 : 0) + (options.staticFiles ? 2 : 0));
  m->global = Mix(m->global, static_cast<uint64_t>(m->races.raceCount()));
  m->points = Fnv64(*nyushoBytes, m->global);
  const int count = m->races.raceCount();
  m->decoded.resize(static_cast<size_t>(count) + 1);
  m->raceHash.assign(static_cast<size_t>(count) + 1, 0);
  m->allRaces = m->global;
  for (int n = 1; n <= count; ++n) {
    m->decoded[static_cast<size_t>(n)] = m->races.race(n);
    const Race& r = m->decoded[static_cast<size_t>(n)];
    uint64_t h = Fnv64(m->races.RecordOf(n).bytes(), m->global);
    h = Mix(h, static_cast<unsigned char>(m->state(n)));
    if (r.relayRec >= 1 && r.relayRec <= m->relayCount) {
      const size_t at = static_cast<size_t>(r.relayRec + relay_layout::kFirstBlockRecord - 2) * relay_layout::kRecordLength;
      if (at + relay_layout::kRecordLength <= m->relayBytes.size())
        h = Fnv64(std::string_view(m->relayBytes).substr(at, relay_layout::kRecordLength), h);
    }
    if (const auto lap = m->lapStamps.find(n); lap != m->lapStamps.end()) h = Fnv64(lap->second, Mix(h, 1));
    m->raceHash[static_cast<size_t>(n)] = h;
    m->allRaces = Mix(m->allRaces, h);
  }

  // The events in race order, and where every entry swims.
  const int lanes = std::clamp<int>(m->settings.laneCount, 1, 12);
  for (int n = 1; n <= count; ++n) {
    const Race& r = m->race(n);
    for (int k = 0; k < 12; ++k) {
      const int entry = r.laneNo[static_cast<size_t>(k)];
      if (entry != 0) m->byEntry[entry].push_back({n, k, 0});
    }
    if (m->IsRelay(r))
      if (const auto block = m->Block(r))
        for (int k = 0; k < 10; ++k)
          for (int leg = 0; leg < 4; ++leg)
            if (const int member = block->member(leg, k); member != 0 && r.laneNo[static_cast<size_t>(k)] != 0)
              m->byEntry[member].push_back({n, k, leg + 1});
    if (r.eventNo <= 0) continue;
    auto at = m->eventAt.find(r.eventNo);
    if (at == m->eventAt.end()) {
      EventInfo e;
      e.eventNo = r.eventNo;
      e.firstRace = n;
      e.title = m->RaceTitle(r);
      e.relay = m->IsRelay(r);
      at = m->eventAt.emplace(r.eventNo, m->events.size()).first;
      m->events.push_back(std::move(e));
    }
    EventInfo& e = m->events[at->second];
    e.heats.push_back(n);
    if (m->Swum(n)) ++e.swum;
    for (int k = 0; k < lanes; ++k)
      if (r.laneNo[static_cast<size_t>(k)] != 0) e.seeded = true;
  }
  for (int n = 1; n < static_cast<int>(m->entries->byNumber.size()); ++n) {
    const Entry& e = m->entries->byNumber[static_cast<size_t>(n)];
    if (const std::string code = m->ClubOf(e); !code.empty()) m->clubEntries[code].push_back(n);
  }
  return m;
}

LiveChange Difference(const Model& before, const Model& after) {
  LiveChange c;
  c.all = before.global != after.global;
  c.points = before.points != after.points;
  std::set<int> events, races;
  const size_t count = std::max(before.raceHash.size(), after.raceHash.size());
  for (size_t n = 1; n < count; ++n) {
    const uint64_t a = n < before.raceHash.size() ? before.raceHash[n] : 0;
    const uint64_t b = n < after.raceHash.size() ? after.raceHash[n] : 0;
    if (!c.all && a == b) continue;
    races.insert(static_cast<int>(n));
    if (const int e = before.race(static_cast<int>(n)).eventNo; e > 0) events.insert(e);
    if (const int e = after.race(static_cast<int>(n)).eventNo; e > 0) events.insert(e);
  }
  c.meet = c.all || !races.empty();
  c.events.assign(events.begin(), events.end());
  c.races.assign(races.begin(), races.end());
  return c;
}

// --- routes -------------------------------------------------------------------

namespace {

// A number in a path: 1..32757 written with digits only, no leading zero.
std::optional<int> PathNumber(std::string_view text, int most) {
  if (text.empty() || text.size() > 6 || text[0] == '0') return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > most) return std::nullopt;
  return value;
}

}  // namespace

Target ParseTarget(std::string_view path) {
  if (auto q = path.find_first_of("?#"); q != std::string_view::npos) path = path.substr(0, q);
  Target t;
  if (path == "/site.css") return {Route::Css, false, 0, {}};
  if (path == "/site.js") return {Route::Js, false, 0, {}};
  if (path.starts_with("/api/")) {
    t.api = true;
    path.remove_prefix(4);
  } else if (path == "/") {
    t.route = Route::Meet;
    return t;
  }
  if (t.api && path == "/meet") t.route = Route::Meet;
  else if (t.api && path == "/search") t.route = Route::Search;
  else if (path == "/points") t.route = Route::Points;
  else if (path.starts_with("/event/") || path.starts_with("/race/")) {
    const bool event = path.starts_with("/event/");
    const auto n = PathNumber(path.substr(event ? 7 : 6), race_layout::kMaxRace);
    if (!n) return {};
    t.route = event ? Route::Event : Route::Race;
    t.number = *n;
  } else if (path.starts_with("/swimmer/")) {
    const auto n = PathNumber(path.substr(9), 1 << 20);
    if (!n) return {};
    t.route = Route::Swimmer;
    t.number = *n;
  } else if (path.starts_with("/team/")) {
    const std::string_view code = path.substr(6);
    if (code.size() != 5 || code.find_first_not_of("0123456789") != std::string_view::npos) return {};
    t.route = Route::Team;
    t.code = std::string(code);
  }
  return t;
}

std::optional<uint64_t> Fingerprint(const Model& m, const Target& t) {
  const uint64_t base = Mix(Mix(m.global, static_cast<uint64_t>(t.route)), t.api ? 1 : 0);
  switch (t.route) {
    case Route::Meet: return Mix(base, m.allRaces);
    case Route::Event: {
      const EventInfo* e = m.Event(t.number);
      if (!e) return std::nullopt;
      uint64_t h = Mix(base, static_cast<uint64_t>(t.number));
      for (int n : e->heats) h = Mix(h, m.raceHash[static_cast<size_t>(n)]);
      return h;
    }
    case Route::Race:
      if (t.number < 1 || t.number > m.races.raceCount()) return std::nullopt;
      return Mix(Mix(base, static_cast<uint64_t>(t.number)), m.raceHash[static_cast<size_t>(t.number)]);
    case Route::Points: return Mix(base, m.points);
    case Route::Swimmer: {
      const Entry* e = m.entries->at(t.number);
      if (!e || m.Masked(*e) || !m.byEntry.count(t.number)) return std::nullopt;
      return Mix(base, m.SwimmerPrint(t.number));
    }
    case Route::Team:
      if (!m.clubEntries.count(t.code)) return std::nullopt;
      return Mix(base, m.TeamPrint(t.code));
    case Route::Search: return base;
    case Route::Css:
    case Route::Js: return Fnv64(kSiteVersion, static_cast<uint64_t>(t.route));
    case Route::None: break;
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, Target>> SiteTargets(const Model& m) {
  std::vector<std::pair<std::string, Target>> out;
  auto both = [&](const std::string& page, const std::string& api, Target t) {
    if (!page.empty()) out.emplace_back(page, t);
    t.api = true;
    out.emplace_back(api, t);
  };
  out.emplace_back("site.css", Target{Route::Css, false, 0, {}});
  out.emplace_back("site.js", Target{Route::Js, false, 0, {}});
  both("index.html", "api/meet.json", Target{Route::Meet, false, 0, {}});
  both("points.html", "api/points.json", Target{Route::Points, false, 0, {}});
  both("", "api/search.json", Target{Route::Search, false, 0, {}});
  for (const EventInfo& e : m.events)
    both("event/" + NumberText(e.eventNo) + ".html", "api/event/" + NumberText(e.eventNo) + ".json",
         Target{Route::Event, false, e.eventNo, {}});
  for (int n = 1; n <= m.races.raceCount(); ++n)
    both("race/" + NumberText(n) + ".html", "api/race/" + NumberText(n) + ".json", Target{Route::Race, false, n, {}});
  std::vector<int> swimmers;
  for (const auto& [entry, where] : m.byEntry) swimmers.push_back(entry);
  std::sort(swimmers.begin(), swimmers.end());
  for (int entry : swimmers) {
    const Entry* e = m.entries->at(entry);
    if (!e || m.Masked(*e)) continue;
    both("swimmer/" + NumberText(entry) + ".html", "api/swimmer/" + NumberText(entry) + ".json",
         Target{Route::Swimmer, false, entry, {}});
  }
  for (const auto& [code, members] : m.clubEntries) {
    (void)members;
    both("team/" + code + ".html", "api/team/" + code + ".json", Target{Route::Team, false, 0, code});
  }
  return out;
}

}  // namespace meet::live
