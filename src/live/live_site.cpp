#include "live/live_site.h"
#include "core/html.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <unordered_map>
#include <tuple>
#include <optional>

#include "core/file_names.h"
#include "core/numbers.h"
#include "core/printer.h"
#include "core/record_file.h"
#include "core/time_code.h"
#include "live/publish.h"
#include "data/entry_file.h"
#include "data/race_layout.h"
#include "data/race_states.h"
#include "print/print_sources.h"
#include "print/program_pages.h"
#include "print/results_print.h"
#include "race/frm_kyogi_screen.h"
#include "race/timing_files.h"
#include "results/nyusho_file.h"
#include "results/points_print.h"
#include "results/ranking_list.h"
#include "settings/settings.h"

namespace meet::live {
namespace {

constexpr int kNextRaces = 5;
constexpr size_t kCachedAnswers = 4096;
constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr const char* kJsonType = "application/json; charset=utf-8";

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:0.5em;font-size:15px}"
    "table{border-collapse:collapse;width:100%;margin-bottom:1em}"
    "th,td{border-bottom:1px solid #ccc;padding:3px 4px;text-align:left;white-space:nowrap}"
    "td.n{text-align:right}h1{font-size:1.3em}h2{font-size:1.1em}"
    ".w{overflow-x:auto}nav a{margin-right:1em}"
    "tr.s td{white-space:normal;font-size:0.85em;color:#555;padding-top:0}td a{white-space:normal}";

// --- what is read from the meet folder, afresh per request -----------------

struct People;

// The lap files read, by race, each with the size and modification time it
// had: the timing system writes a race's lap file once, so a page built
// again after a posting reads only the new ones.
struct LapFiles {
  std::mutex lock;
  std::map<int, std::pair<std::string, std::vector<LapLine>>> byRace;
};

struct Snapshot {
  Settings settings;
  RaceFileImage races;
  std::optional<RaceStates> states;
  People* people = nullptr;  // the names kept since the entry file last changed
  LapFiles* lapFiles = nullptr;       // the lap files read, kept while they stay as they were
  std::map<int, std::string> lapRaces;  // the races with a lap file: its size and time

  // Race n, decoded once per request (an event's page looks at each heat
  // many times).
  const Race& RaceAt(int n) const {
    if (n < 1 || n > races.raceCount()) {
      if (!outside) outside = races.race(n);
      return *outside;
    }
    if (decoded.empty()) decoded.resize(static_cast<size_t>(races.raceCount()) + 1);
    auto& r = decoded[static_cast<size_t>(n)];
    if (!r) r = races.race(n);
    return *r;
  }

 private:
  mutable std::vector<std::optional<Race>> decoded;
  mutable std::optional<Race> outside;
};

// The races whose lap file is in the lap folder, by one look at the folder
// (looking for each heat's file in turn reads the folder once per heat when
// the file is not there).
std::map<int, std::string> RacesWithLapFiles(const std::filesystem::path& folder) {
  std::map<int, std::string> out;
  std::error_code ec;
  const std::filesystem::path dir = FindFile(folder, "lap");
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != 5 || (name[0] != 'R' && name[0] != 'r')) continue;
    if (name.find_first_not_of("0123456789", 1) != std::string::npos) continue;
    std::error_code statEc;
    const auto size = it->file_size(statEc);
    const auto time = statEc ? std::filesystem::file_time_type{} : it->last_write_time(statEc);
    out.emplace(std::stoi(name.substr(1)),
                statEc ? std::string() : std::to_string(size) + ":" + std::to_string(time.time_since_epoch().count()));
  }
  return out;
}

// The lap file of race n, from the kept copy while the file is unchanged.
std::vector<LapLine> LapsOf(const Snapshot& s, const std::filesystem::path& folder, int n) {
  const auto listed = s.lapRaces.find(n);
  if (listed == s.lapRaces.end()) return {};
  if (!s.lapFiles || listed->second.empty()) return ReadLapFile(folder, n);
  {
    std::lock_guard guard(s.lapFiles->lock);
    if (auto it = s.lapFiles->byRace.find(n); it != s.lapFiles->byRace.end() && it->second.first == listed->second)
      return it->second.second;
  }
  std::vector<LapLine> laps = ReadLapFile(folder, n);
  std::lock_guard guard(s.lapFiles->lock);
  s.lapFiles->byRace[n] = {listed->second, laps};
  return laps;
}

// The meet's files, or nothing when the race file was caught half-written (a
// size that is not whole records, or a header counting more races than it
// holds).
std::optional<Snapshot> LoadSnapshot(const std::filesystem::path& folder, const std::string& entryFolder,
                                     const std::string& entryFileName) {
  Snapshot s;
  s.settings.entryFolder = entryFolder;
  s.settings.entryFileName = entryFileName;
  LoadSettings(folder, s.settings);
  auto bytes = ReadFileHead(FindFile(folder, kRaceFileName), race_layout::kMaxFileBytes);
  std::string raw;
  if (bytes) raw = std::move(*bytes);
  else if (bytes.error().kind != ErrorKind::NotFound) return std::nullopt;
  if (raw.size() > race_layout::kEmptyFileSize) {
    if (raw.size() % race_layout::kRecordLength != 0) return std::nullopt;
    const int held = static_cast<int>(raw.size() / race_layout::kRecordLength) - (race_layout::kFirstRaceRecord - 1);
    const int stored = Record(raw.substr(0, race_layout::kRecordLength), race_layout::kRecordLength).I16(race_layout::kRaceCount);
    if (stored > std::max(held, 0)) return std::nullopt;
  }
  s.races = RaceFileImage::FromBytes(std::move(raw));
  if (auto states = RaceStates::Read(folder)) s.states = std::move(*states);
  return s;
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

// A start time "hh:mm:ss" as held, or "" when none was set.
std::string TimeText(const std::string& held) {
  bool digits = false;
  for (char c : held)
    if (c >= '1' && c <= '9') digits = true;
  return digits ? Trimmed(held) : std::string();
}

// Words joined by one blank, the empty ones left out.
std::string Joined(std::initializer_list<std::string> words) {
  std::string out;
  for (const std::string& w : words) {
    const std::string t = Trimmed(w);
    if (t.empty()) continue;
    if (!out.empty()) out += ' ';
    out += t;
  }
  return out;
}

bool MaskedEntry(const Entry& e, const LiveOptions& o) { return !o.unmask && e.regNo.starts_with(kMaskPrefix); }

struct Person {
  std::string name, kana, club;
};
Person PersonOf(const std::optional<Entry>& entry, const LiveOptions& o) {
  if (!entry) return {};
  if (MaskedEntry(*entry, o)) return {Trimmed(kMaskedName), Trimmed(kMaskedKana), kMaskedClub};
  return {Trimmed(PrintedName(entry->swimmerName)), Trimmed(PrintedText(entry->swimmerKana)),
          Trimmed(PrintedName(entry->affiliation))};
}

// The names shown for the entries, kept while the entry file stays as it was:
// it does not change during a meet, while the race files change with every
// race, and the largest event's page names thousands of entries.
struct People {
  std::mutex lock;
  std::string stamp;  // the entry file's size and modification time
  std::unordered_map<int, Person> byEntry;

  void Refresh(const std::filesystem::path& entryFile) {
    std::error_code ec;
    std::string now;
    if (const auto size = std::filesystem::file_size(entryFile, ec); !ec) {
      const auto time = std::filesystem::last_write_time(entryFile, ec);
      if (!ec) now = std::to_string(size) + ":" + std::to_string(time.time_since_epoch().count());
    }
    std::lock_guard guard(lock);
    if (now != stamp || now.empty()) byEntry.clear();
    stamp = now;
  }
};

Person PersonFor(const Snapshot& s, const PrintSources& src, const LiveOptions& o, int n) {
  if (!s.people || n <= 0) return PersonOf(src.entry(n), o);
  {
    std::lock_guard guard(s.people->lock);
    if (auto it = s.people->byEntry.find(n); it != s.people->byEntry.end()) return it->second;
  }
  Person p = PersonOf(src.entry(n), o);
  std::lock_guard guard(s.people->lock);
  s.people->byEntry.emplace(n, p);
  return p;
}

// A heat is swum once its results were entered or posted ("7", "8"), or a
// lane holds a result.
bool Swum(const Snapshot& s, int n, const Race& r) {
  const char state = s.states ? s.states->state(n) : '\0';
  if (state == kStateChanged || state == kStatePrinted) return true;
  for (size_t k = 0; k < 12; ++k)
    if (r.laneNo[k] != 0 && r.laneTime[k] != 0) return true;
  return false;
}

struct EventInfo {
  int eventNo = 0;
  int firstRace = 0;
  int heats = 0;
  int swum = 0;
  std::string title;
};

std::string RaceTitle(const Race& r, const PrintSources& src) {
  return Joined({SexName(r.sexCode), src.BandLabel(r.classFrom, r.classTo, r.eventCode), src.EventText(r.eventCode),
                 RoundName(r.roundCode)});
}

// The events in program order: races of one printed number, in race order.
std::vector<EventInfo> Events(const Snapshot& s, const PrintSources& src) {
  std::vector<EventInfo> out;
  for (int n = 1; n <= s.races.raceCount(); ++n) {
    const Race& r = s.RaceAt(n);
    if (r.eventNo <= 0) continue;
    auto it = std::find_if(out.begin(), out.end(), [&](const EventInfo& e) { return e.eventNo == r.eventNo; });
    if (it == out.end()) {
      out.push_back(EventInfo{r.eventNo, n, 0, 0, RaceTitle(r, src)});
      it = out.end() - 1;
    }
    ++it->heats;
    if (Swum(s, n, r)) ++it->swum;
  }
  return out;
}

std::string EventState(const EventInfo& e) {
  if (e.swum == 0) return "未";
  if (e.swum < e.heats) return NumberText(e.swum) + "/" + NumberText(e.heats) + "組 終了";
  return "終了";
}

// --- output helpers -------------------------------------------------------

std::string Q(std::string_view text) { return "\"" + JsonEscaped(text) + "\""; }
std::string H(std::string_view text) { return HtmlEscaped(text); }

class Links {
 public:
  Links(const LiveOptions& o, int depth) : static_(o.staticFiles), depth_(depth) {}
  std::string Up() const {
    std::string up;
    for (int i = 0; i < depth_; ++i) up += "../";
    return up;
  }
  std::string Home() const { return static_ ? Up() + "index.html" : (depth_ ? Up() : "./"); }
  std::string Page(const std::string& path) const { return Up() + path + (static_ ? ".html" : ""); }
  std::string Api(const std::string& path) const { return Up() + "api/" + path + (static_ ? ".json" : ""); }

 private:
  bool static_;
  int depth_;
};

// A page: heading, navigation, body; it asks its JSON again every 10 seconds
// and reloads when the data changed (a meta refresh where scripts are off).
// A request that fails or is answered "更新中" waits for the next turn; a
// page opened from a file (where no JSON can be asked for) reloads every 10
// seconds.
std::string HtmlPage(const std::string& title, const Links& links, const std::string& api, const std::string& body) {
  std::string out = "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">";
  out += "<noscript><meta http-equiv=\"refresh\" content=\"" + NumberText(kRefreshSeconds) + "\"></noscript>";
  out += "<title>" + H(title) + "</title><style>" + std::string(kStyle) + "</style></head><body>";
  out += "<nav><a href=\"" + links.Home() + "\">大会</a><a href=\"" + links.Page("points") + "\">得点</a></nav>";
  out += body;
  const std::string every = NumberText(kRefreshSeconds * 1000);
  out += "<script>(function(){var u=" + Q(api) + ",last=null;"
         "if(location.protocol==='file:'){setTimeout(function(){location.reload()}," + every + ");return}"
         "function poll(){fetch(u,{cache:'no-store'})"
         ".then(function(r){if(!r.ok)throw r.status;return r.text()})"
         ".then(function(t){if(last!==null&&t!==last)location.reload();last=t})"
         ".catch(function(){})}poll();setInterval(poll," + every + ")})();</script></body></html>\n";
  return out;
}

std::string Cell(const std::string& text, bool number = false) {
  return std::string(number ? "<td class=\"n\">" : "<td>") + H(text) + "</td>";
}
std::string HeadRow(std::initializer_list<const char*> heads) {
  std::string out = "<tr>";
  for (const char* h : heads) out += std::string("<th>") + h + "</th>";
  return out + "</tr>";
}

std::string MeetLine(const Settings& st) {
  return DateDisplay(st.meetDateFrom) + " ～ " + DateDisplay(st.meetDateTo) + "  " + PrintedText(st.venue);
}

// --- /  ---------------------------------------------------------------------

struct NextRace {
  int race;
  Race r;
};
std::vector<NextRace> NextRaces(const Snapshot& s) {
  std::vector<NextRace> out;
  for (int n = 1; n <= s.races.raceCount() && static_cast<int>(out.size()) < kNextRaces; ++n) {
    const Race& r = s.RaceAt(n);
    if (r.eventNo > 0 && !Swum(s, n, r)) out.push_back({n, r});
  }
  return out;
}

std::string StartTime(const Race& r) {
  return TimeText(PrintedText(r.startTime));
}

std::string MeetJson(const Snapshot& s, const PrintSources& src) {
  const Settings& st = s.settings;
  std::string out = "{\"name\":" + Q(PrintedText(st.meetName)) + ",\"abbrev\":" + Q(PrintedText(st.meetAbbrev)) +
                    ",\"venue\":" + Q(PrintedText(st.venue)) + ",\"dateFrom\":" + Q(DateDisplay(st.meetDateFrom)) +
                    ",\"dateTo\":" + Q(DateDisplay(st.meetDateTo)) + ",\"races\":" + NumberText(s.races.raceCount()) +
                    ",\"events\":[";
  bool first = true;
  for (const EventInfo& e : Events(s, src)) {
    out += std::string(first ? "" : ",") + "{\"event\":" + NumberText(e.eventNo) + ",\"title\":" + Q(e.title) +
           ",\"firstRace\":" + NumberText(e.firstRace) + ",\"heats\":" + NumberText(e.heats) +
           ",\"heatsSwum\":" + NumberText(e.swum) + ",\"state\":" + Q(EventState(e)) + "}";
    first = false;
  }
  out += "],\"next\":[";
  first = true;
  for (const NextRace& n : NextRaces(s)) {
    out += std::string(first ? "" : ",") + "{\"race\":" + NumberText(n.race) + ",\"event\":" + NumberText(n.r.eventNo) +
           ",\"heat\":" + NumberText(n.r.heatNo) + ",\"heats\":" + NumberText(n.r.heatTotal) +
           ",\"title\":" + Q(RaceTitle(n.r, src)) + ",\"start\":" + Q(StartTime(n.r)) + "}";
    first = false;
  }
  return out + "]}\n";
}

std::string MeetHtml(const Snapshot& s, const PrintSources& src, const LiveOptions& o) {
  const Links links(o, 0);
  const Settings& st = s.settings;
  std::string body = "<h1>" + H(PrintedText(st.meetName)) + "</h1><p>" + H(MeetLine(st)) + "</p>";
  body += "<h2>次のレース</h2><div class=\"w\"><table>" + HeadRow({"レース", "種目", "組", "開始"});
  for (const NextRace& n : NextRaces(s))
    body += "<tr>" + Cell(NumberText(n.race), true) + "<td><a href=\"" + links.Page("race/" + NumberText(n.race)) +
            "\">" + H(RaceTitle(n.r, src)) + "</a></td>" + Cell(NumberText(n.r.heatNo) + "/" + NumberText(n.r.heatTotal)) +
            Cell(StartTime(n.r)) + "</tr>";
  body += "</table></div><h2>種目</h2><div class=\"w\"><table>" + HeadRow({"No.", "種目", "組数", "状況"});
  for (const EventInfo& e : Events(s, src))
    body += "<tr>" + Cell(NumberText(e.eventNo), true) + "<td><a href=\"" + links.Page("event/" + NumberText(e.eventNo)) +
            "\">" + H(e.title) + "</a></td>" + Cell(NumberText(e.heats), true) + Cell(EventState(e)) + "</tr>";
  body += "</table></div>";
  return HtmlPage(PrintedText(st.meetName), links, links.Api("meet"), body);
}

// --- /event/N -------------------------------------------------------------

struct LaneView {
  int race, heat, lane;
  Person person;
  std::string entryTime, time;
  std::vector<std::string> splits;  // cumulative, from the lap file
  std::vector<std::string> laps;    // each split after the first minus the one before ("" when unreadable)
  // Its JSON before and after the place, made once: a lane is listed in its
  // heat, in the results and in its category's results.
  mutable std::string jsonHead, jsonTail;
};

struct EventData {
  EventInfo info;
  std::vector<int> heats;  // race numbers
  std::vector<ResultLine> results;     // ranked across the heats, placed
  std::vector<ResultSection> sections;  // the results as the printout lists them (per category under 合同)
  std::vector<ResultLine> exhibition;  // record class 99, by time
  std::map<int, std::vector<LapLine>> laps;  // the lap file of each heat, by race number
  // Each lane shown once made (it is listed among the heats and the results).
  mutable std::map<std::pair<int, int>, LaneView> views;
};

std::optional<EventData> EventOf(const Snapshot& s, const PrintSources& src, const std::filesystem::path& folder,
                                 int eventNo) {
  for (const EventInfo& e : Events(s, src)) {
    if (e.eventNo != eventNo) continue;
    EventData d{e, {}, {}, {}, {}, {}, {}};
    for (int n = e.firstRace; n <= s.races.raceCount() && static_cast<int>(d.heats.size()) < e.heats; ++n)
      if (s.RaceAt(n).eventNo == eventNo) d.heats.push_back(n);
    d.results = CollectEventResults(s.races, e.firstRace, s.settings.laneCount);
    AssignPlaces(d.results);
    const Race first = s.RaceAt(e.firstRace);
    d.sections = EventResultSections(MeetFiles{folder, s.settings}, src, s.races, first, d.results);
    for (ResultSection& section : d.sections)
      if (section.title.empty()) section.title = src.BandLabel(first.classFrom, first.classTo, first.eventCode);
    for (int n : d.heats) {
      const Race& r = s.RaceAt(n);
      for (int k = 0; k < std::clamp<int>(s.settings.laneCount, 1, 12); ++k) {
        const size_t i = static_cast<size_t>(k);
        if (r.laneNo[i] != 0 && r.laneRecordClass[i] == 99 && r.laneTime[i] > 0 && r.laneTime[i] < kNoRecord)
          d.exhibition.push_back(ResultLine{n, k, r.laneTime[i], 0});
      }
      if (s.lapRaces.count(n) && Swum(s, n, r)) d.laps[n] = LapsOf(s, folder, n);
    }
    std::stable_sort(d.exhibition.begin(), d.exhibition.end(),
                     [](const ResultLine& a, const ResultLine& b) { return a.time < b.time; });
    return d;
  }
  return std::nullopt;
}

LaneView MakeView(const Snapshot& s, const PrintSources& src, const LiveOptions& o, const EventData& d, int raceNo,
                  int slot) {
  const Race& r = s.RaceAt(raceNo);
  const size_t k = static_cast<size_t>(slot);
  LaneView v{raceNo, r.heatNo, slot + 1, PersonFor(s, src, o, r.laneNo[k]), Trimmed(FormatTime(r.laneEntryTime[k])),
             Trimmed(FormatTime(r.laneTime[k])), {}, {}, {}, {}};
  // The lap file holds lanes 1 to 10.
  if (const auto laps = d.laps.find(raceNo); laps != d.laps.end() && slot < 10) {
    // As the lap sheet prints them: the last split is the final time.
    const LapTimes times = readLapTimes(laps->second, slot + 1, r.laneTime[k]);
    for (const std::string& text : times.texts) v.splits.push_back(Trimmed(text));
    for (size_t i = 1; i < times.texts.size(); ++i)
      v.laps.push_back(Trimmed(lapDifference(times.texts[i - 1], times.texts[i])));
  }
  return v;
}
const LaneView& ViewOf(const Snapshot& s, const PrintSources& src, const LiveOptions& o, const EventData& d,
                       int raceNo, int slot) {
  auto it = d.views.find({raceNo, slot});
  if (it == d.views.end()) it = d.views.emplace(std::pair{raceNo, slot}, MakeView(s, src, o, d, raceNo, slot)).first;
  return it->second;
}
// A lane as one list shows it: the lane, and its place there (0: none).
struct PlacedView {
  const LaneView* view;
  int place;
};
std::vector<PlacedView> HeatLanes(const Snapshot& s, const PrintSources& src, const LiveOptions& o,
                                  const EventData& d, int raceNo) {
  std::vector<PlacedView> out;
  const Race& r = s.RaceAt(raceNo);
  for (int k = 0; k < std::clamp<int>(s.settings.laneCount, 1, 12); ++k)
    if (r.laneNo[static_cast<size_t>(k)] != 0) out.push_back({&ViewOf(s, src, o, d, raceNo, k), 0});
  return out;
}
std::vector<PlacedView> LineViews(const Snapshot& s, const PrintSources& src, const LiveOptions& o,
                                  const EventData& d, const std::vector<ResultLine>& lines) {
  std::vector<PlacedView> out;
  out.reserve(lines.size());
  for (const ResultLine& l : lines) out.push_back({&ViewOf(s, src, o, d, l.race, l.slot), l.place});
  return out;
}
std::string PlaceText(const PlacedView& p) { return p.place > 0 ? NumberText(p.place) : std::string(); }

std::string LaneJson(const PlacedView& p) {
  const LaneView& v = *p.view;
  if (v.jsonHead.empty()) {
    auto list = [](const std::vector<std::string>& texts) {
      std::string out = "[";
      for (size_t i = 0; i < texts.size(); ++i) out += (i ? "," : "") + Q(texts[i]);
      return out + "]";
    };
    v.jsonHead = "{\"race\":" + NumberText(v.race) + ",\"heat\":" + NumberText(v.heat) +
                 ",\"lane\":" + NumberText(v.lane) + ",\"place\":";
    v.jsonTail = ",\"name\":" + Q(v.person.name) + ",\"kana\":" + Q(v.person.kana) + ",\"club\":" + Q(v.person.club) +
                 ",\"entryTime\":" + Q(v.entryTime) + ",\"time\":" + Q(v.time) + ",\"splits\":" + list(v.splits) +
                 ",\"laps\":" + list(v.laps) + "}";
  }
  std::string out;
  out.reserve(v.jsonHead.size() + v.jsonTail.size() + 6);
  out += v.jsonHead;
  out += p.place > 0 ? NumberText(p.place) : std::string("null");
  out += v.jsonTail;
  return out;
}
std::string LanesJson(const std::vector<PlacedView>& views) {
  std::string out = "[";
  for (size_t i = 0; i < views.size(); ++i) {
    if (i) out += ',';
    out += LaneJson(views[i]);
  }
  return out + "]";
}

std::string EventJson(const Snapshot& s, const PrintSources& src, const LiveOptions& o, const EventData& d) {
  std::string out = "{\"event\":" + NumberText(d.info.eventNo) + ",\"title\":" + Q(d.info.title) +
                    ",\"state\":" + Q(EventState(d.info)) + ",\"heats\":[";
  for (size_t h = 0; h < d.heats.size(); ++h) {
    const Race& r = s.RaceAt(d.heats[h]);
    out += std::string(h ? "," : "") + "{\"race\":" + NumberText(d.heats[h]) + ",\"heat\":" + NumberText(r.heatNo) +
           ",\"start\":" + Q(StartTime(r)) + ",\"lanes\":" + LanesJson(HeatLanes(s, src, o, d, d.heats[h])) + "}";
  }
  out += "],\"results\":" + LanesJson(LineViews(s, src, o, d, d.results)) + ",\"sections\":[";
  for (size_t i = 0; i < d.sections.size(); ++i)
    out += std::string(i ? "," : "") + "{\"title\":" + Q(d.sections[i].title) +
           ",\"results\":" + LanesJson(LineViews(s, src, o, d, d.sections[i].lines)) + "}";
  return out + "],\"exhibition\":" + LanesJson(LineViews(s, src, o, d, d.exhibition)) + "}\n";
}

// The splits of a lane on one line under its result: the cumulative times,
// each after the first with its lap in parentheses. Only where the lap file
// holds a split before the finish.
std::string SplitsRow(const LaneView& v, int columns) {
  if (v.splits.size() < 2) return {};
  std::string text;
  for (size_t i = 0; i < v.splits.size(); ++i) {
    if (i) text += "  ";
    text += v.splits[i];
    if (i > 0 && i - 1 < v.laps.size() && !v.laps[i - 1].empty()) text += " (" + v.laps[i - 1] + ")";
  }
  return "<tr class=\"s\"><td colspan=\"" + NumberText(columns) + "\">" + H(text) + "</td></tr>";
}

std::string LaneRowsHtml(const std::vector<PlacedView>& views, bool results) {
  std::string out = "<div class=\"w\"><table>" +
                    (results ? HeadRow({"順", "組-路", "名前", "所属", "記録"}) : HeadRow({"路", "名前", "所属", "申込", "記録"}));
  for (const PlacedView& p : views) {
    const LaneView& v = *p.view;
    out += "<tr>";
    if (results) out += Cell(PlaceText(p), true) + Cell(NumberText(v.heat) + "-" + NumberText(v.lane));
    else out += Cell(NumberText(v.lane), true);
    out += Cell(v.person.name) + Cell(v.person.club);
    if (!results) out += Cell(v.entryTime, true);
    out += Cell(v.time, true) + "</tr>";
    if (results) out += SplitsRow(v, 5);
  }
  return out + "</table></div>";
}

std::string EventHtml(const Snapshot& s, const PrintSources& src, const LiveOptions& o, const EventData& d) {
  const Links links(o, 1);
  std::string body = "<h1>" + H(NumberText(d.info.eventNo) + " " + d.info.title) + "</h1><p>" + H(EventState(d.info)) + "</p>";
  if (!d.results.empty()) {
    body += "<h2>結果</h2>";
    // Under 合同 one table per category, each placed on its own.
    for (const ResultSection& section : d.sections) {
      if (section.lines.empty()) continue;
      if (d.sections.size() > 1) body += "<h3>" + H(section.title) + "</h3>";
      body += LaneRowsHtml(LineViews(s, src, o, d, section.lines), true);
    }
  }
  if (!d.exhibition.empty()) body += "<h2>オープン</h2>" + LaneRowsHtml(LineViews(s, src, o, d, d.exhibition), true);
  for (int n : d.heats) {
    const Race& r = s.RaceAt(n);
    body += "<h2><a href=\"" + links.Page("race/" + NumberText(n)) + "\">" + H(NumberText(r.heatNo) + "組") + "</a> " +
            H(StartTime(r)) + "</h2>" + LaneRowsHtml(HeatLanes(s, src, o, d, n), false);
  }
  return HtmlPage(NumberText(d.info.eventNo) + " " + d.info.title, links, links.Api("event/" + NumberText(d.info.eventNo)), body);
}

// --- /race/N --------------------------------------------------------------

struct RaceView {
  KyogiHeader header;
  std::vector<std::pair<int, LaneRow>> rows;  // row index, row
  bool swum = false;
  int eventNo = 0;
};

// The race as the race screen shows it (only loading and showing; the
// screen's writing commands are never called). Masked rows lose name,
// reading and affiliation.
std::optional<RaceView> RaceViewOf(const std::filesystem::path& folder, const Snapshot& s, const LiveOptions& o, int n) {
  if (n < 1 || n > s.races.raceCount()) return std::nullopt;
  NullPrinter printer;
  FixedAnswerDialogs dialogs(false);
  SystemClock clock;
  NoLauncher launcher;
  Platform platform{printer, dialogs, clock, launcher};
  FrmKyogiScreen screen(folder, s.settings, platform);
  if (!screen.ShowRace(n)) return std::nullopt;
  RaceView v{screen.header(), {}, Swum(s, n, s.races.race(n)), screen.race().eventNo};
  // A relay row shows no registration number: its team's decides the mask.
  auto entries = EntryFile::OpenForReading(EntryFilePath(s.settings.entryFolder, s.settings.entryFileName));
  for (int i = 0; i < kLaneRows; ++i) {
    LaneRow row = screen.rows()[static_cast<size_t>(i)];
    if (Trimmed(row.txtNamae).empty() && Trimmed(row.txtKiro).empty()) continue;
    std::string regNo = Trimmed(row.txtQBan);
    if (const int16_t no = screen.race().laneNo[static_cast<size_t>(i)]; regNo.empty() && entries && no > 0)
      regNo = Trimmed(PrintedText(entries->Load(no).regNo));
    if (!o.unmask && regNo.starts_with(kMaskPrefix)) {
      row.txtNamae = Trimmed(kMaskedName);
      row.txtKana = Trimmed(kMaskedKana);
      row.txtSho = kMaskedClub;
    }
    v.rows.emplace_back(i, row);
  }
  return v;
}

std::string RaceHeading(const KyogiHeader& h) {
  return Joined({h.lblPno, h.lblSei, h.lblShubetu, h.lblShumoku, h.lblYoketu, h.lblKumi + "組" + h.lblTKumi});
}

std::string RaceJson(int n, const RaceView& v) {
  const KyogiHeader& h = v.header;
  std::string out = "{\"race\":" + NumberText(n) + ",\"event\":" + Q(h.lblPno) + ",\"heat\":" + Q(h.lblKumi) +
                    ",\"heats\":" + Q(h.lblTKumi) + ",\"sex\":" + Q(h.lblSei) + ",\"band\":" + Q(h.lblShubetu) +
                    ",\"eventName\":" + Q(h.lblShumoku) + ",\"round\":" + Q(h.lblYoketu) + ",\"start\":" + Q(TimeText(h.lblYZikan)) +
                    ",\"swum\":" + (v.swum ? "true" : "false") + ",\"lanes\":[";
  for (size_t i = 0; i < v.rows.size(); ++i) {
    const LaneRow& r = v.rows[i].second;
    out += std::string(i ? "," : "") + "{\"lane\":" + Q(LaneLabel(v.rows[i].first)) + ",\"name\":" + Q(Trimmed(r.txtNamae)) +
           ",\"kana\":" + Q(Trimmed(r.txtKana)) + ",\"pref\":" + Q(Trimmed(r.txtKen)) + ",\"club\":" + Q(Trimmed(r.txtSho)) +
           ",\"age\":" + Q(Trimmed(r.txtTosi)) + ",\"grade\":" + Q(Trimmed(r.txtGaku)) + ",\"place\":" + Q(Trimmed(r.txtJun)) +
           ",\"time\":" + Q(Trimmed(r.txtKiro)) + ",\"" + (r.qkiroGrey ? "split" : "entryTime") +
           "\":" + Q(Trimmed(r.txtQkiro)) + "}";
  }
  return out + "]}\n";
}

std::string RaceHtml(int n, const RaceView& v, const LiveOptions& o) {
  const Links links(o, 1);
  std::string body = "<h1>" + H(RaceHeading(v.header)) + "</h1><p>レース " + H(NumberText(n)) + "  " +
                     H(TimeText(v.header.lblYZikan)) + "</p><div class=\"w\"><table>" +
                     HeadRow({"路", "名前", "所属", "順", "記録", "前記録/途中"});
  for (const auto& [index, r] : v.rows)
    body += "<tr>" + Cell(LaneLabel(index)) + Cell(Trimmed(r.txtNamae)) + Cell(Trimmed(r.txtSho)) +
            Cell(Trimmed(r.txtJun), true) + Cell(Trimmed(r.txtKiro), true) + Cell(Trimmed(r.txtQkiro), true) + "</tr>";
  body += "</table></div>";
  if (v.eventNo > 0) body += "<p><a href=\"" + links.Page("event/" + NumberText(v.eventNo)) + "\">種目の結果</a></p>";
  return HtmlPage(RaceHeading(v.header), links, links.Api("race/" + NumberText(n)), body);
}

// --- /points --------------------------------------------------------------

constexpr const char* kListNames[4] = {"男子", "女子", "混合", "総合"};

std::string PointsJson(const NyushoTable& t) {
  std::string out = "{\"tallied\":" + std::string(t.tallied ? "true" : "false") + ",\"date\":" + Q(Trimmed(PrintedText(t.tallyDate))) +
                    ",\"time\":" + Q(Trimmed(PrintedText(t.tallyTime))) + ",\"lists\":[";
  for (int list = 0; list < 4; ++list) {
    out += std::string(list ? "," : "") + "{\"list\":" + Q(kListNames[list]) + ",\"teams\":[";
    const auto lines = t.tallied ? RankLines(t, list, false) : std::vector<RankLine>{};
    for (size_t i = 0; i < lines.size(); ++i) {
      const TeamRecord& team = t.teams[static_cast<size_t>(lines[i].team - 1)];
      out += std::string(i ? "," : "") + "{\"rank\":" + NumberText(lines[i].rank) + ",\"team\":" + Q(PrintedText(team.teamName)) +
             ",\"pref\":" + Q(PrintedText(team.teamPrefName)) + ",\"points\":" + NumberText(lines[i].points) +
             ",\"individual\":" + NumberText(lines[i].individual) + ",\"relay\":" + NumberText(lines[i].relay) + "}";
    }
    out += "]}";
  }
  return out + "]}\n";
}

std::string PointsHtmlPage(const NyushoTable& t, const LiveOptions& o) {
  const Links links(o, 0);
  std::string body = "<h1>得点</h1>";
  if (!t.tallied) body += "<p>得点はまだ集計されていません。</p>";
  else {
    body += "<p>集計 " + H(PrintedText(t.tallyDate) + " " + PrintedText(t.tallyTime)) + "</p>";
    for (int list = 0; list < 4; ++list) {
      body += "<h2>" + std::string(kListNames[list]) + "</h2><div class=\"w\"><table>" +
              HeadRow({"順", "チーム", "得点", "個人", "リレー"});
      for (const RankLine& l : RankLines(t, list, false)) {
        const TeamRecord& team = t.teams[static_cast<size_t>(l.team - 1)];
        body += "<tr>" + Cell(NumberText(l.rank), true) + Cell(PrintedText(team.teamName)) + Cell(NumberText(l.points), true) +
                Cell(NumberText(l.individual), true) + Cell(NumberText(l.relay), true) + "</tr>";
      }
      body += "</table></div>";
    }
  }
  return HtmlPage("得点", links, links.Api("points"), body);
}

// --- routing --------------------------------------------------------------

LiveResponse Html(int status, std::string body) { return {status, kHtmlType, std::move(body)}; }
LiveResponse Json(std::string body) { return {200, kJsonType, std::move(body)}; }

LiveResponse Plain(int status, const std::string& title, bool api) {
  if (api) return {status, kJsonType, "{\"error\":" + Q(title) + "}\n"};
  return Html(status, "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                      "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
                      "<meta http-equiv=\"refresh\" content=\"" + NumberText(kRefreshSeconds) + "\">"
                      "<title>" + H(title) + "</title></head><body><h1>" + H(title) + "</h1></body></html>\n");
}

// A number in a path: 1..32757 written with digits only, no leading zero.
std::optional<int> PathNumber(std::string_view text) {
  if (text.empty() || text.size() > 5 || text[0] == '0') return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > race_layout::kMaxRace) return std::nullopt;
  return value;
}

enum class Route { Meet, Event, Race, Points, None };
struct Target {
  Route route = Route::None;
  bool api = false;
  int number = 0;
};

Target Parse(std::string_view path) {
  if (auto q = path.find_first_of("?#"); q != std::string_view::npos) path = path.substr(0, q);
  Target t;
  if (path.starts_with("/api/")) {
    t.api = true;
    path.remove_prefix(4);
  } else if (path == "/") {
    t.route = Route::Meet;
    return t;
  }
  if (t.api && path == "/meet") t.route = Route::Meet;
  else if (path == "/points") t.route = Route::Points;
  else if (path.starts_with("/event/") || path.starts_with("/race/")) {
    const bool event = path.starts_with("/event/");
    const auto n = PathNumber(path.substr(event ? 7 : 6));
    if (!n) return {};
    t.route = event ? Route::Event : Route::Race;
    t.number = *n;
  }
  return t;
}

const char* kNotFound = "ページがありません";

}  // namespace

LiveSite::LiveSite(std::filesystem::path meetFolder, std::string entryFolder, std::string entryFileName, LiveOptions options)
    : meetFolder_(std::move(meetFolder)),
      entryFolder_(std::move(entryFolder)),
      entryFileName_(std::move(entryFileName)),
      options_(options),
      cache_(std::make_shared<Cache>()) {}

std::filesystem::path LiveSite::entryFile() const { return EntryFilePath(entryFolder_, entryFileName_); }

// The answers made since the files last changed, by route.
struct LiveSite::Cache {
  std::mutex lock;
  std::string stamp;
  std::map<std::tuple<int, bool, int>, LiveResponse> answers;
  People people;
  LapFiles lapFiles;
};

LiveResponse LiveSite::Respond(std::string_view method, std::string_view path) const {
  const Target t = Parse(path);
  if (method != "GET" && method != "HEAD") return Plain(405, "この操作はできません", t.api);
  if (t.route == Route::None) return Plain(404, kNotFound, t.api);
  // An answer is made again only when a file it may be built from changed
  // (its name, size or modification time, or the lap and goal folders').
  const std::string stamp = FilesStamp(meetFolder_, entryFile());
  const auto key = std::tuple{static_cast<int>(t.route), t.api, t.number};
  {
    std::lock_guard guard(cache_->lock);
    if (cache_->stamp != stamp) {
      cache_->answers.clear();
      cache_->stamp = stamp;
    } else if (auto hit = cache_->answers.find(key); hit != cache_->answers.end()) {
      return hit->second;
    }
  }
  LiveResponse answer = Answer(static_cast<int>(t.route), t.api, t.number);
  if (answer.status == 200) {
    std::lock_guard guard(cache_->lock);
    if (cache_->stamp == stamp && cache_->answers.size() < kCachedAnswers) cache_->answers.emplace(key, answer);
  }
  return answer;
}

LiveResponse LiveSite::Answer(int route, bool api, int number) const {
  const Target t{static_cast<Route>(route), api, number};
  auto s = LoadSnapshot(meetFolder_, entryFolder_, entryFileName_);
  if (!s) return Plain(503, kUpdatingText, t.api);
  cache_->people.Refresh(entryFile());
  s->people = &cache_->people;
  s->lapRaces = RacesWithLapFiles(meetFolder_);
  s->lapFiles = &cache_->lapFiles;
  switch (t.route) {
    case Route::Meet: {
      const PrintSources src(MeetFiles{meetFolder_, s->settings});
      return t.api ? Json(MeetJson(*s, src)) : Html(200, MeetHtml(*s, src, options_));
    }
    case Route::Event: {
      const PrintSources src(MeetFiles{meetFolder_, s->settings});
      const auto d = EventOf(*s, src, meetFolder_, t.number);
      if (!d) return Plain(404, kNotFound, t.api);
      return t.api ? Json(EventJson(*s, src, options_, *d)) : Html(200, EventHtml(*s, src, options_, *d));
    }
    case Route::Race: {
      const auto v = RaceViewOf(meetFolder_, *s, options_, t.number);
      if (!v) return Plain(404, kNotFound, t.api);
      return t.api ? Json(RaceJson(t.number, *v)) : Html(200, RaceHtml(t.number, *v, options_));
    }
    case Route::Points: {
      auto table = LoadNyusho(meetFolder_);
      if (!table) return Plain(503, kUpdatingText, t.api);
      return t.api ? Json(PointsJson(*table)) : Html(200, PointsHtmlPage(*table, options_));
    }
    case Route::None: break;
  }
  return Plain(404, kNotFound, t.api);
}

std::vector<LiveSite::SiteFile> LiveSite::SiteFiles() const {
  auto s = LoadSnapshot(meetFolder_, entryFolder_, entryFileName_);
  if (!s) return {};
  cache_->people.Refresh(entryFile());
  s->people = &cache_->people;
  s->lapRaces = RacesWithLapFiles(meetFolder_);
  s->lapFiles = &cache_->lapFiles;
  LiveOptions o = options_;
  o.staticFiles = true;
  std::vector<SiteFile> out;
  const PrintSources src(MeetFiles{meetFolder_, s->settings});
  out.push_back({"index.html", MeetHtml(*s, src, o)});
  out.push_back({"api/meet.json", MeetJson(*s, src)});
  for (const EventInfo& e : Events(*s, src))
    if (const auto d = EventOf(*s, src, meetFolder_, e.eventNo)) {
      out.push_back({"event/" + NumberText(e.eventNo) + ".html", EventHtml(*s, src, o, *d)});
      out.push_back({"api/event/" + NumberText(e.eventNo) + ".json", EventJson(*s, src, o, *d)});
    }
  for (int n = 1; n <= s->races.raceCount(); ++n)
    if (const auto v = RaceViewOf(meetFolder_, *s, o, n)) {
      out.push_back({"race/" + NumberText(n) + ".html", RaceHtml(n, *v, o)});
      out.push_back({"api/race/" + NumberText(n) + ".json", RaceJson(n, *v)});
    }
  auto table = LoadNyusho(meetFolder_);
  if (!table) return {};
  out.push_back({"points.html", PointsHtmlPage(*table, o)});
  out.push_back({"api/points.json", PointsJson(*table)});
  return out;
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
    } else if (u < 0x20) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace meet::live
