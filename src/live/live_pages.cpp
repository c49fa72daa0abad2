// The pages and the JSON of the live site, both from the lane views of the
// model, so that the two never disagree.
#include <algorithm>
#include <ctime>
#include <set>
#include <unordered_map>

#include "core/html.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "live/live_model.h"
#include "results/points_print.h"
#include "results/ranking_list.h"

namespace meet::live {
namespace {

constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr const char* kJsonType = "application/json; charset=utf-8";
constexpr int kNextRaces = 5;
constexpr const char* kListNames[4] = {"男子", "女子", "混合", "総合"};

std::string Q(std::string_view text) { return "\"" + JsonEscaped(text) + "\""; }
std::string H(std::string_view text) { return HtmlEscaped(text); }
std::string N(int64_t n) { return NumberText(n); }
std::string OptN(int64_t n) { return n > 0 ? NumberText(n) : std::string("null"); }
std::string B(bool b) { return b ? "true" : "false"; }

// Local time of the data's last change, for people ("09:31") and for JSON
// (ISO 8601 with the offset).
std::tm Local(int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  return tm;
}
std::string ClockText(int64_t t) {
  if (t <= 0) return {};
  const std::tm tm = Local(t);
  return ZeroPadded(tm.tm_mon + 1, 2) + "/" + ZeroPadded(tm.tm_mday, 2) + " " + ZeroPadded(tm.tm_hour, 2) + ":" +
         ZeroPadded(tm.tm_min, 2) + ":" + ZeroPadded(tm.tm_sec, 2);
}
std::string IsoTime(int64_t t) {
  if (t <= 0) return "null";
  const std::tm tm = Local(t);
  const long off = tm.tm_gmtoff / 60;
  return "\"" + N(tm.tm_year + 1900) + "-" + ZeroPadded(tm.tm_mon + 1, 2) + "-" + ZeroPadded(tm.tm_mday, 2) + "T" +
         ZeroPadded(tm.tm_hour, 2) + ":" + ZeroPadded(tm.tm_min, 2) + ":" + ZeroPadded(tm.tm_sec, 2) +
         (off < 0 ? "-" : "+") + ZeroPadded(std::labs(off) / 60, 2) + ":" + ZeroPadded(std::labs(off) % 60, 2) + "\"";
}
// A date yyyymmdd as ISO text, or null.
std::string IsoDate(int32_t d) {
  if (d < 10000101 || d > 99991231) return "null";
  return "\"" + N(d / 10000) + "-" + ZeroPadded(d / 100 % 100, 2) + "-" + ZeroPadded(d % 100, 2) + "\"";
}

// Without blanks (half- and full-width) and NULs at either end.
std::string Trim(std::string text) {
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
std::string StartTime(const Race& r) {
  const std::string held = Trim(PrintedText(r.startTime));
  bool digits = false;
  for (char c : held)
    if (c >= '1' && c <= '9') digits = true;
  if (!digits) return {};
  if (held.size() == 6 && held.find_first_not_of("0123456789") == std::string::npos)
    return held.substr(0, 2) + ":" + held.substr(2, 2) + ":" + held.substr(4, 2);
  return held;
}
std::string OptText(const std::string& text) { return text.empty() ? std::string("null") : Q(text); }

class Links {
 public:
  Links(const LiveOptions& o, int depth) : static_(o.staticFiles), depth_(depth) {}
  std::string Up() const {
    std::string up;
    for (int i = 0; i < depth_; ++i) up += "../";
    return up;
  }
  std::string Root() const { return depth_ ? Up() : "./"; }
  std::string Home() const { return static_ ? Up() + "index.html" : Root(); }
  std::string Page(const std::string& path) const { return Up() + path + (static_ ? ".html" : ""); }
  bool isStatic() const { return static_; }

 private:
  bool static_;
  int depth_;
};

// --- JSON ------------------------------------------------------------------

std::string TimeJson(int32_t code) {
  const TimeView v = TimeOf(code);
  return "{\"status\":\"" + std::string(v.status) + "\",\"hundredths\":" + (v.hundredths ? N(*v.hundredths) : "null") +
         ",\"text\":" + Q(v.text) + "}";
}

std::string PersonJson(const PersonView& p) {
  return "\"entry\":" + OptN(p.entry) + ",\"masked\":" + B(p.masked) + ",\"name\":" + Q(p.name) + ",\"kana\":" + Q(p.kana) +
         ",\"club\":" + Q(p.club) + ",\"pref\":" + Q(p.pref) + ",\"age\":" + OptN(p.age) + ",\"grade\":" + Q(p.grade) +
         ",\"team\":" + OptText(p.team);
}

std::string NumbersJson(const std::vector<int64_t>& values) {
  std::string out = "[";
  for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + N(values[i]);
  return out + "]";
}

// A lane's JSON after its place: the same in every list the lane is in.
std::string LaneTailJson(const LaneView& v) {
  std::string out = PersonJson(v.person) + ",\"relay\":" + B(v.relay) + ",\"legs\":[";
  for (size_t i = 0; i < v.legs.size(); ++i)
    out += std::string(i ? "," : "") + "{\"leg\":" + N(v.legs[i].leg) + "," + PersonJson(v.legs[i].person) + "}";
  out += "],\"result\":" + TimeJson(v.time) + ",\"entryTime\":" + TimeJson(v.entryTime) + ",\"split\":" + TimeJson(v.split) +
         ",\"splits\":" + NumbersJson(v.splits) + ",\"laps\":" + NumbersJson(v.laps) + ",\"standard\":" + N(v.standard) +
         ",\"recordClass\":" + N(v.recordClass) + ",\"mark\":" + Q(v.mark) + ",\"exhibition\":" + B(v.exhibition) +
         ",\"points\":" + (v.points ? NumberText(*v.points) : std::string("null")) + "}";
  return out;
}

// The tails made so far, by race and lane: an event lists a lane among its
// heats, its results and its category's results.
using LaneTails = std::unordered_map<int64_t, std::string>;

// `place`: the place shown (the race's own, or the list's).
void AppendLaneJson(std::string& out, const LaneView& v, int place, LaneTails* tails = nullptr) {
  out += "{\"race\":" + N(v.race) + ",\"heat\":" + N(v.heat) + ",\"lane\":" + N(v.lane) + ",\"place\":" + OptN(place) + ",";
  if (!tails) {
    out += LaneTailJson(v);
    return;
  }
  auto [it, fresh] = tails->try_emplace(int64_t{v.race} * 64 + v.lane);
  if (fresh) it->second = LaneTailJson(v);
  out += it->second;
}
std::string LaneJson(const LaneView& v, int place) {
  std::string out;
  AppendLaneJson(out, v, place);
  return out;
}

std::string Head(const char* kind, int64_t updated) {
  (void)kind;
  return "{\"version\":" + N(kApiVersion) + ",\"updated\":" + IsoTime(updated);
}

std::string RaceCodes(const Model& m, const Race& r) {
  return ",\"sex\":" + OptN(LeadingNumber(r.sexCode)) + ",\"sexName\":" + Q(SexName(r.sexCode)) +
         ",\"eventCode\":" + N(r.eventCode) + ",\"eventName\":" + Q(Trim(m.sources->EventText(r.eventCode))) +
         ",\"band\":" + Q(Trim(m.sources->BandLabel(r.classFrom, r.classTo, r.eventCode))) +
         ",\"round\":" + OptN(LeadingNumber(r.roundCode)) + ",\"roundName\":" + Q(RoundName(r.roundCode)) +
         ",\"relay\":" + B(m.IsRelay(r));
}

// The state of one race: pending (a next stage without lanes yet),
// scheduled, final.
struct RaceState {
  const char* code;
  std::string label;
};
RaceState StateOfRace(const Model& m, int n) {
  if (m.Swum(n)) return {"final", "確定"};
  const Race& r = m.race(n);
  bool any = false;
  for (size_t k = 0; k < 12; ++k) any = any || r.laneNo[k] != 0;
  if (!any) return {"pending", "予選終了後に決定"};
  return {"scheduled", "未"};
}

std::string RaceSummaryJson(const Model& m, int n) {
  const Race& r = m.race(n);
  const RaceState st = StateOfRace(m, n);
  return "{\"race\":" + N(n) + ",\"event\":" + N(r.eventNo) + ",\"heat\":" + N(r.heatNo) + ",\"heats\":" + N(r.heatTotal) +
         ",\"title\":" + Q(m.RaceTitle(r)) + ",\"start\":" + OptText(StartTime(r)) + ",\"state\":\"" + st.code +
         "\",\"stateLabel\":" + Q(st.label) + "}";
}

std::string EventSummaryJson(const EventInfo& e) {
  return "{\"event\":" + N(e.eventNo) + ",\"title\":" + Q(e.title) + ",\"firstRace\":" + N(e.firstRace) +
         ",\"heats\":" + N(static_cast<int64_t>(e.heats.size())) + ",\"heatsSwum\":" + N(e.swum) + ",\"relay\":" + B(e.relay) +
         ",\"state\":\"" + e.State() + "\",\"stateLabel\":" + Q(e.StateLabel()) + "}";
}

std::vector<int> NextRaces(const Model& m) {
  std::vector<int> out;
  for (int n = 1; n <= m.races.raceCount() && static_cast<int>(out.size()) < kNextRaces; ++n)
    if (m.race(n).eventNo > 0 && !m.Swum(n)) out.push_back(n);
  return out;
}

// --- event data ---------------------------------------------------------------

struct Listed {
  LaneView view;
  int place;
};
struct EventData {
  const EventInfo* info;
  std::vector<Listed> results;
  std::vector<std::pair<std::string, std::vector<Listed>>> sections;
  std::vector<Listed> exhibition;
  std::vector<std::pair<int, std::vector<LaneView>>> heats;  // race, lanes
};

std::vector<LaneView> HeatLanes(const Model& m, int n) {
  std::vector<LaneView> out;
  const Race& r = m.race(n);
  const int lanes = std::clamp<int>(m.settings.laneCount, 1, 10);
  for (int k = 0; k < lanes; ++k)
    if (r.laneNo[static_cast<size_t>(k)] != 0) out.push_back(m.Lane(n, k));
  return out;
}

EventData EventOf(const Model& m, const EventInfo& e) {
  EventData d{&e, {}, {}, {}, {}};
  std::map<std::pair<int, int>, LaneView> views;
  auto view = [&](int race, int slot) -> const LaneView& {
    auto it = views.find({race, slot});
    if (it == views.end()) it = views.emplace(std::pair{race, slot}, m.Lane(race, slot)).first;
    return it->second;
  };
  std::vector<ResultLine> lines = CollectEventResults(m.races, e.firstRace, m.settings.laneCount);
  AssignPlaces(lines);
  for (const ResultLine& l : lines) d.results.push_back({view(l.race, l.slot), l.place});
  const Race& first = m.race(e.firstRace);
  const auto sections = EventResultSections(MeetFiles{m.folder, m.settings}, *m.sources, m.races, first, lines);
  for (const ResultSection& s : sections) {
    if (s.lines.empty()) continue;
    // Under 合同 the swimmers no category covers are listed as such.
    std::string title = s.title.empty() ? (sections.size() > 1 ? std::string("区分外")
                                                                : Trim(m.sources->BandLabel(first.classFrom, first.classTo, first.eventCode)))
                                        : Trim(s.title);
    std::vector<Listed> listed;
    for (const ResultLine& l : s.lines) listed.push_back({view(l.race, l.slot), l.place});
    d.sections.emplace_back(std::move(title), std::move(listed));
  }
  std::vector<ResultLine> open;
  for (int n : e.heats) {
    const Race& r = m.race(n);
    for (int k = 0; k < std::clamp<int>(m.settings.laneCount, 1, 12); ++k) {
      const size_t i = static_cast<size_t>(k);
      if (r.laneNo[i] != 0 && r.laneRecordClass[i] == 99 && r.laneTime[i] > 0 && r.laneTime[i] < kNoRecord)
        open.push_back(ResultLine{n, k, r.laneTime[i], 0});
    }
    d.heats.emplace_back(n, HeatLanes(m, n));
  }
  std::stable_sort(open.begin(), open.end(), [](const ResultLine& a, const ResultLine& b) { return a.time < b.time; });
  for (const ResultLine& l : open) d.exhibition.push_back({view(l.race, l.slot), 0});
  return d;
}

void AppendListedJson(std::string& out, const std::vector<Listed>& lanes, LaneTails* tails) {
  out += '[';
  for (size_t i = 0; i < lanes.size(); ++i) {
    if (i) out += ',';
    AppendLaneJson(out, lanes[i].view, lanes[i].place, tails);
  }
  out += ']';
}
void AppendLanesJson(std::string& out, const std::vector<LaneView>& lanes, LaneTails* tails = nullptr) {
  out += '[';
  for (size_t i = 0; i < lanes.size(); ++i) {
    if (i) out += ',';
    AppendLaneJson(out, lanes[i], lanes[i].place, tails);
  }
  out += ']';
}

// --- HTML --------------------------------------------------------------------

// The page: navigation, the body in parts (each `data-part` with an id,
// replaced in place when it changed), the time its data last changed.
// `kind` and the events and races it shows tell the script which pushed
// changes concern it.
struct PageInfo {
  std::string title;
  const char* kind;
  std::string events, races;  // numbers separated by blanks
};
std::string HtmlPage(const Model& m, const Links& links, const PageInfo& info, int64_t updated, const std::string& body) {
  const bool stream = !links.isStatic();
  std::string out = "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">";
  out += "<noscript><meta http-equiv=\"refresh\" content=\"" + N(kRefreshSeconds) + "\"></noscript>";
  out += "<title>" + H(info.title) + " - " + H(Trim(PrintedText(m.settings.meetName))) + "</title>";
  out += "<link rel=\"stylesheet\" href=\"" + links.Up() + "site.css\"></head>";
  out += "<body data-kind=\"" + std::string(info.kind) + "\" data-root=\"" + links.Root() + "\" data-ext=\"" +
         (links.isStatic() ? ".html" : "") + "\" data-events=\"" + info.events + "\" data-races=\"" + info.races + "\"" +
         (stream ? " data-stream=\"" + links.Up() + "api/stream\"" : std::string()) + ">";
  out += "<header><nav aria-label=\"サイト\"><a href=\"" + links.Home() + "\">大会</a><a href=\"" + links.Home() +
         "#search\">検索</a><a href=\"" + links.Page("points") + "\">得点</a></nav></header><main id=\"main\">";
  out += body;
  out += "<p class=\"u\" id=\"updated\">更新 <time datetime=" + IsoTime(updated) + ">" + H(ClockText(updated)) + "</time></p>";
  out += "</main><script src=\"" + links.Up() + "site.js\" defer></script></body></html>\n";
  return out;
}

std::string Cell(const std::string& text, bool number = false) {
  return std::string(number ? "<td class=\"n\">" : "<td>") + H(text) + "</td>";
}
std::string HeadRow(std::initializer_list<std::pair<const char*, bool>> heads) {
  std::string out = "<thead><tr>";
  for (const auto& [h, number] : heads) out += std::string(number ? "<th scope=\"col\" class=\"n\">" : "<th scope=\"col\">") + h + "</th>";
  return out + "</tr></thead>";
}

// A name with a link to its page when it has one.
std::string NameLink(const Links& links, const PersonView& p) {
  if (p.entry > 0) return "<a href=\"" + links.Page("swimmer/" + N(p.entry)) + "\">" + H(p.name) + "</a>";
  return H(p.name);
}
std::string ClubLink(const Links& links, const PersonView& p) {
  if (!p.team.empty()) return "<a href=\"" + links.Page("team/" + p.team) + "\">" + H(p.club) + "</a>";
  return H(p.club);
}
std::string AgeGrade(const PersonView& p) {
  std::string out;
  if (p.age > 0) out += N(p.age) + "歳";
  if (!p.grade.empty()) out += (out.empty() ? "" : " ") + p.grade;
  return out;
}

std::string LegsText(const Links& links, const LaneView& v) {
  std::string out;
  for (const LegView& l : v.legs) {
    if (!out.empty()) out += "　";
    out += N(l.leg) + " " + NameLink(links, l.person);
  }
  return out;
}

// The name cell: the name (a team with its letter), then on a small line
// the club, age and grade, where it swam, and a team's legs.
std::string NameCell(const Links& links, const LaneView& v, bool where) {
  std::string out = "<td class=\"nm\">" + NameLink(links, v.person);
  std::string small;
  auto add = [&](const std::string& html) {
    if (html.empty()) return;
    if (!small.empty()) small += " · ";
    small += html;
  };
  add(ClubLink(links, v.person));
  add(H(AgeGrade(v.person)));
  if (where) add(H(N(v.heat) + "組" + N(v.lane) + "コース"));
  if (!small.empty()) out += "<small>" + small + "</small>";
  if (!v.legs.empty()) out += "<small class=\"legs\">" + LegsText(links, v) + "</small>";
  return out + "</td>";
}

// The time cell: the result (or its status), the marks beside it, a split
// (a relay's first leg, the 1500m's 800 m) on a small line.
std::string TimeCell(const LaneView& v) {
  const TimeView t = TimeOf(v.time);
  std::string out = "<td class=\"n\">" + H(t.text);
  if (!v.mark.empty()) out += " <span class=\"m\">" + H(v.mark) + "</span>";
  if (const TimeView s = TimeOf(v.split); s.hundredths)
    out += "<small>" + std::string(v.relay ? "第1泳者 " : "800m ") + H(s.text) + "</small>";
  return out + "</td>";
}

std::string SplitsRow(const LaneView& v, int columns) {
  if (v.splits.size() < 2) return {};
  std::string text;
  for (size_t i = 0; i < v.splits.size(); ++i) {
    if (i) text += "  ";
    text += Trim(FormatTime(static_cast<int32_t>(v.splits[i] / 6000 * 10000 + v.splits[i] % 6000)));
    if (i > 0 && i - 1 < v.laps.size())
      text += " (" + Trim(FormatTime(static_cast<int32_t>(v.laps[i - 1] / 6000 * 10000 + v.laps[i - 1] % 6000))) + ")";
  }
  return "<tr class=\"s\"><td colspan=\"" + N(columns) + "\">" + H(text) + "</td></tr>";
}

// The points cell, when the list shows points.
std::string PointsCell(const LaneView& v, bool shown) {
  return shown ? Cell(v.points ? N(*v.points) : std::string(), true) : std::string();
}

// Results ranked: 順, the name (where it swam beneath), 記録, and ポイント
// when some swim of the list has points.
std::string ResultsTable(const Links& links, const std::vector<Listed>& lanes, const std::string& caption) {
  const bool points = std::any_of(lanes.begin(), lanes.end(), [](const Listed& l) { return l.view.points.has_value(); });
  std::string out = "<div class=\"w\"><table><caption class=\"vh\">" + H(caption) + "</caption>" +
                    (points ? HeadRow({{"順", true}, {"名前", false}, {"記録", true}, {"ポイント", true}})
                            : HeadRow({{"順", true}, {"名前", false}, {"記録", true}})) +
                    "<tbody>";
  for (const Listed& l : lanes) {
    out += "<tr>" + Cell(l.place > 0 ? N(l.place) : std::string(), true) + NameCell(links, l.view, true) +
           TimeCell(l.view) + PointsCell(l.view, points) + "</tr>" + SplitsRow(l.view, points ? 4 : 3);
  }
  return out + "</tbody></table></div>";
}

// One heat: a start list (コース, name, entry time) before it is swum, the
// lanes with their places and times after.
std::string HeatTable(const Links& links, const std::vector<LaneView>& lanes, bool swum, const std::string& caption) {
  std::string out = "<div class=\"w\"><table><caption class=\"vh\">" + H(caption) + "</caption>";
  if (!swum) out += HeadRow({{"コース", true}, {"名前", false}, {"申込", true}});
  else out += HeadRow({{"コース", true}, {"名前", false}, {"順", true}, {"記録", true}});
  out += "<tbody>";
  for (const LaneView& v : lanes) {
    out += "<tr>" + Cell(N(v.lane), true) + NameCell(links, v, false);
    if (!swum) out += Cell(TimeOf(v.entryTime).text, true);
    else out += Cell(v.place > 0 ? N(v.place) : std::string(), true) + TimeCell(v);
    out += "</tr>";
    if (swum) out += SplitsRow(v, 4);
  }
  return out + "</tbody></table></div>";
}

std::string StateBadge(const char* code, const std::string& label) {
  return "<span class=\"st " + std::string(code) + "\">" + H(label) + "</span>";
}

std::string Part(const std::string& id, const std::string& html) {
  return "<section id=\"" + id + "\" data-part>" + html + "</section>";
}

// --- the routes ----------------------------------------------------------------

std::string MeetJson(const Model& m, int64_t updated) {
  const Settings& st = m.settings;
  std::string out = Head("meet", updated) + ",\"name\":" + Q(Trim(PrintedText(st.meetName))) +
                    ",\"abbrev\":" + Q(Trim(PrintedText(st.meetAbbrev))) + ",\"venue\":" + Q(Trim(PrintedText(st.venue))) +
                    ",\"dateFrom\":" + IsoDate(st.meetDateFrom) + ",\"dateTo\":" + IsoDate(st.meetDateTo) +
                    ",\"races\":" + N(m.races.raceCount()) + ",\"events\":[";
  for (size_t i = 0; i < m.events.size(); ++i) out += (i ? "," : "") + EventSummaryJson(m.events[i]);
  out += "],\"next\":[";
  const auto next = NextRaces(m);
  for (size_t i = 0; i < next.size(); ++i) out += (i ? "," : "") + RaceSummaryJson(m, next[i]);
  return out + "]}\n";
}

std::string MeetHtml(const Model& m, int64_t updated) {
  const Links links(m.options, 0);
  const Settings& st = m.settings;
  std::string name = Trim(PrintedText(st.meetName));
  if (name.empty()) name = Trim(PrintedText(st.meetAbbrev));
  if (name.empty()) name = "速報";
  std::string body = "<h1>" + H(name) + "</h1><p>" +
                     H(DateDisplay(st.meetDateFrom) + " ～ " + DateDisplay(st.meetDateTo) + "  " + Trim(PrintedText(st.venue))) +
                     "</p>";
  body += "<section id=\"search\"><h2><label for=\"q\">選手・チームを探す</label></h2>"
          "<input id=\"q\" type=\"search\" placeholder=\"名前・よみ・所属\" autocomplete=\"off\">"
          "<ul id=\"hits\" class=\"list\" aria-live=\"polite\"></ul></section>";
  body += "<section id=\"fav\"><h2>お気に入り</h2><div id=\"favs\"><p>選手のページの「☆ お気に入り」で、ここに次のレースが出ます。</p></div></section>";
  std::string next = "<h2>次のレース</h2><div class=\"w\"><table><caption class=\"vh\">次のレース</caption>" +
                     HeadRow({{"レース", true}, {"種目", false}, {"組", true}, {"開始", true}}) + "<tbody>";
  for (int n : NextRaces(m)) {
    const Race& r = m.race(n);
    next += "<tr>" + Cell(N(n), true) + "<td class=\"nm\"><a href=\"" + links.Page("race/" + N(n)) + "\">" +
            H(m.RaceTitle(r)) + "</a></td>" + Cell(N(r.heatNo) + "/" + N(r.heatTotal), true) + Cell(StartTime(r), true) + "</tr>";
  }
  body += Part("p-next", next + "</tbody></table></div>");
  std::string events = "<h2>種目</h2><div class=\"w\"><table><caption class=\"vh\">種目</caption>" +
                       HeadRow({{"No.", true}, {"種目", false}, {"状況", false}}) + "<tbody>";
  for (const EventInfo& e : m.events)
    events += "<tr>" + Cell(N(e.eventNo), true) + "<td class=\"nm\"><a href=\"" + links.Page("event/" + N(e.eventNo)) +
              "\">" + H(e.title) + "</a><small>" + H(N(static_cast<int64_t>(e.heats.size())) + "組") + "</small></td><td>" +
              StateBadge(e.State(), e.StateLabel()) + "</td></tr>";
  body += Part("p-events", events + "</tbody></table></div>");
  return HtmlPage(m, links, {"速報", "meet", "", ""}, updated, body);
}

std::string EventJson(const Model& m, const EventData& d, int64_t updated) {
  const EventInfo& e = *d.info;
  const Race& first = m.race(e.firstRace);
  std::string out = Head("event", updated) + ",\"event\":" + N(e.eventNo) + ",\"title\":" + Q(e.title) + RaceCodes(m, first) +
                    ",\"heatCount\":" + N(static_cast<int64_t>(e.heats.size())) + ",\"heatsSwum\":" + N(e.swum) +
                    ",\"state\":\"" + e.State() + "\",\"stateLabel\":" + Q(e.StateLabel()) + ",\"heats\":[";
  LaneTails tails;
  for (size_t i = 0; i < d.heats.size(); ++i) {
    const int n = d.heats[i].first;
    const Race& r = m.race(n);
    const RaceState st = StateOfRace(m, n);
    out += std::string(i ? "," : "") + "{\"race\":" + N(n) + ",\"heat\":" + N(r.heatNo) + ",\"start\":" + OptText(StartTime(r)) +
           ",\"state\":\"" + st.code + "\",\"stateLabel\":" + Q(st.label) + ",\"lanes\":";
    AppendLanesJson(out, d.heats[i].second, &tails);
    out += '}';
  }
  out += "],\"results\":";
  AppendListedJson(out, d.results, &tails);
  out += ",\"sections\":[";
  for (size_t i = 0; i < d.sections.size(); ++i) {
    out += std::string(i ? "," : "") + "{\"title\":" + Q(d.sections[i].first) + ",\"results\":";
    AppendListedJson(out, d.sections[i].second, &tails);
    out += '}';
  }
  out += "],\"exhibition\":";
  AppendListedJson(out, d.exhibition, &tails);
  return out + "}\n";
}

std::string EventHtml(const Model& m, const EventData& d, int64_t updated) {
  const Links links(m.options, 1);
  const EventInfo& e = *d.info;
  const std::string title = N(e.eventNo) + " " + e.title;
  std::string body = "<h1>" + H(title) + "</h1>";
  std::string results = "<p>" + StateBadge(e.State(), e.StateLabel()) + "</p>";
  if (std::string(e.State()) == "pending") results += "<p>組み合わせは予選終了後に決定します。</p>";
  if (!d.results.empty()) {
    results += "<h2>" + std::string(std::string(e.State()) == "final" ? "結果" : "結果（途中経過）") + "</h2>";
    for (const auto& [sectionTitle, lanes] : d.sections) {
      if (d.sections.size() > 1) results += "<h3>" + H(sectionTitle) + "</h3>";
      results += ResultsTable(links, lanes, sectionTitle.empty() ? std::string("結果") : sectionTitle);
    }
  }
  body += Part("p-results", results);
  if (!d.exhibition.empty()) body += Part("p-open", "<h2>オープン</h2>" + ResultsTable(links, d.exhibition, "オープン"));
  std::string races;
  for (const auto& [n, lanes] : d.heats) {
    const Race& r = m.race(n);
    const RaceState st = StateOfRace(m, n);
    const bool swum = std::string(st.code) == "final";
    const std::string heading = N(r.heatNo) + "組";
    std::string heat = "<details id=\"h" + N(n) + "\" data-part" + (swum ? "" : " open") + "><summary>" + H(heading) + " " +
                       H(StartTime(r)) + " " + StateBadge(st.code, swum ? st.label : (lanes.empty() ? st.label : "スタートリスト")) +
                       "</summary>";
    if (lanes.empty()) heat += "<p>予選終了後に決定</p>";
    else heat += HeatTable(links, lanes, swum, heading);
    heat += "<p><a href=\"" + links.Page("race/" + N(n)) + "\">レース " + H(N(n)) + "</a></p></details>";
    body += heat;
    if (!races.empty()) races += ' ';
    races += N(n);
  }
  return HtmlPage(m, links, {title, "event", N(e.eventNo), races}, updated, body);
}

std::string RaceJson(const Model& m, int n, const std::vector<LaneView>& lanes, int64_t updated) {
  const Race& r = m.race(n);
  const RaceState st = StateOfRace(m, n);
  std::string out = Head("race", updated) + ",\"race\":" + N(n) + ",\"event\":" + N(r.eventNo) + ",\"heat\":" + N(r.heatNo) +
         ",\"heats\":" + N(r.heatTotal) + ",\"title\":" + Q(m.RaceTitle(r)) + RaceCodes(m, r) +
         ",\"start\":" + OptText(StartTime(r)) + ",\"state\":\"" + st.code + "\",\"stateLabel\":" + Q(st.label) +
         ",\"lanes\":";
  AppendLanesJson(out, lanes);
  return out + "}\n";
}

// Every lane of the race with a swimmer, the two alternates too.
std::vector<LaneView> RaceLanes(const Model& m, int n) {
  std::vector<LaneView> out;
  const Race& r = m.race(n);
  for (int k = 0; k < 12; ++k)
    if (r.laneNo[static_cast<size_t>(k)] != 0 || r.laneTime[static_cast<size_t>(k)] != 0) out.push_back(m.Lane(n, k));
  return out;
}

std::string RaceHtml(const Model& m, int n, const std::vector<LaneView>& lanes, int64_t updated) {
  const Links links(m.options, 1);
  const Race& r = m.race(n);
  const RaceState st = StateOfRace(m, n);
  const std::string title = N(r.eventNo) + " " + m.RaceTitle(r) + " " + N(r.heatNo) + "/" + N(r.heatTotal) + "組";
  std::string body = "<h1>" + H(title) + "</h1>";
  std::string part = "<p>レース " + H(N(n)) + " " + H(StartTime(r)) + " " + StateBadge(st.code, st.label) + "</p>";
  const bool swum = std::string(st.code) == "final";
  if (lanes.empty()) part += "<p>予選終了後に決定</p>";
  else {
    const bool points = std::any_of(lanes.begin(), lanes.end(), [](const LaneView& v) { return v.points.has_value(); });
    std::string table =
        "<div class=\"w\"><table><caption class=\"vh\">" + H(title) + "</caption>" +
        (points ? HeadRow({{"コース", true}, {"名前", false}, {"申込", true}, {"順", true}, {"記録", true}, {"ポイント", true}})
                : HeadRow({{"コース", true}, {"名前", false}, {"申込", true}, {"順", true}, {"記録", true}})) +
        "<tbody>";
    for (const LaneView& v : lanes) {
      table += "<tr>" + Cell(LaneLabelText(v.slot), true) + NameCell(links, v, false) + Cell(TimeOf(v.entryTime).text, true) +
               Cell(v.place > 0 ? N(v.place) : std::string(), true) + TimeCell(v) + PointsCell(v, points) + "</tr>";
      if (swum) table += SplitsRow(v, points ? 6 : 5);
    }
    part += table + "</tbody></table></div>";
  }
  body += Part("p-lanes", part);
  if (r.eventNo > 0) body += "<p><a href=\"" + links.Page("event/" + N(r.eventNo)) + "\">種目の結果</a></p>";
  return HtmlPage(m, links, {title, "race", N(r.eventNo), N(n)}, updated, body);
}

// --- points ---------------------------------------------------------------------

std::string TeamName(const Model& m, const TeamRecord& team) {
  if (!m.options.unmask && team.teamCode.starts_with(kMaskPrefix)) return kMaskedClub;
  return Trim(PrintedText(team.teamName));
}
std::string TeamCode(const Model& m, const TeamRecord& team) {
  const std::string code = Trim(PrintedText(team.teamCode));
  if (!m.options.unmask && code.starts_with(kMaskPrefix)) return {};
  return m.clubEntries.count(code) ? code : std::string();
}

std::string PointsJson(const Model& m, int64_t updated) {
  const bool tallied = m.nyusho && m.nyusho->tallied;
  std::string out = Head("points", updated) + ",\"tallied\":" + B(tallied) +
                    ",\"date\":" + Q(tallied ? Trim(PrintedText(m.nyusho->tallyDate)) : std::string()) +
                    ",\"time\":" + Q(tallied ? Trim(PrintedText(m.nyusho->tallyTime)) : std::string()) + ",\"lists\":[";
  for (int list = 0; list < 4; ++list) {
    out += std::string(list ? "," : "") + "{\"list\":" + N(list + 1) + ",\"listName\":" + Q(kListNames[list]) + ",\"teams\":[";
    const auto lines = tallied ? RankLines(*m.nyusho, list, false) : std::vector<RankLine>{};
    for (size_t i = 0; i < lines.size(); ++i) {
      const TeamRecord& team = m.nyusho->teams[static_cast<size_t>(lines[i].team - 1)];
      const std::string masked = !m.options.unmask && team.teamCode.starts_with(kMaskPrefix) ? "" : Trim(PrintedText(team.teamPrefName));
      out += std::string(i ? "," : "") + "{\"rank\":" + N(lines[i].rank) + ",\"team\":" + OptText(TeamCode(m, team)) +
             ",\"name\":" + Q(TeamName(m, team)) + ",\"pref\":" + Q(masked) + ",\"points\":" + N(lines[i].points) +
             ",\"individual\":" + N(lines[i].individual) + ",\"relay\":" + N(lines[i].relay) + "}";
    }
    out += "]}";
  }
  return out + "]}\n";
}

std::string PointsHtml(const Model& m, int64_t updated) {
  const Links links(m.options, 0);
  std::string part;
  if (!m.nyusho || !m.nyusho->tallied) part += "<p>得点はまだ集計されていません。</p>";
  else {
    part += "<p>集計 " + H(Trim(PrintedText(m.nyusho->tallyDate)) + " " + Trim(PrintedText(m.nyusho->tallyTime))) + "</p>";
    for (int list = 0; list < 4; ++list) {
      part += "<h2>" + std::string(kListNames[list]) + "</h2><div class=\"w\"><table><caption class=\"vh\">" + kListNames[list] +
              "</caption>" + HeadRow({{"順", true}, {"チーム", false}, {"得点", true}, {"個人", true}, {"リレー", true}}) + "<tbody>";
      for (const RankLine& l : RankLines(*m.nyusho, list, false)) {
        const TeamRecord& team = m.nyusho->teams[static_cast<size_t>(l.team - 1)];
        const std::string code = TeamCode(m, team);
        part += "<tr>" + Cell(N(l.rank), true) +
                (code.empty() ? Cell(TeamName(m, team))
                              : "<td class=\"nm\"><a href=\"" + links.Page("team/" + code) + "\">" + H(TeamName(m, team)) + "</a></td>") +
                Cell(N(l.points), true) + Cell(N(l.individual), true) + Cell(N(l.relay), true) + "</tr>";
      }
      part += "</tbody></table></div>";
    }
  }
  return HtmlPage(m, links, {"得点", "points", "", ""}, updated, "<h1>得点</h1>" + Part("p-points", part));
}

// --- swimmers and teams -------------------------------------------------------------

struct Swim {
  Appearance at;
  LaneView lane;  // the swimmer's lane, or the team's
};
std::vector<Swim> SwimsOf(const Model& m, int entry) {
  std::vector<Swim> out;
  if (const auto it = m.byEntry.find(entry); it != m.byEntry.end())
    for (const Appearance& a : it->second) out.push_back({a, m.Lane(a.race, a.slot)});
  return out;
}

std::string SwimJson(const Model& m, const Swim& s) {
  const Race& r = m.race(s.at.race);
  const RaceState st = StateOfRace(m, s.at.race);
  return "{\"race\":" + N(s.at.race) + ",\"event\":" + N(r.eventNo) + ",\"title\":" + Q(m.RaceTitle(r)) +
         ",\"start\":" + OptText(StartTime(r)) + ",\"state\":\"" + st.code + "\",\"stateLabel\":" + Q(st.label) +
         ",\"leg\":" + OptN(s.at.leg) + ",\"lane\":" + LaneJson(s.lane, s.lane.place) + "}";
}

std::string SwimsTable(const Model& m, const Links& links, const std::vector<Swim>& swims, bool withName) {
  std::string out = "<div class=\"w\"><table><caption class=\"vh\">種目</caption>" +
                    HeadRow({{"種目", false}, {"順", true}, {"記録", true}}) + "<tbody>";
  for (const Swim& s : swims) {
    const Race& r = m.race(s.at.race);
    std::string where = N(r.heatNo) + "組" + N(s.lane.lane) + "コース";
    if (s.at.leg > 0) where += " 第" + N(s.at.leg) + "泳者";
    out += "<tr><td class=\"nm\"><a href=\"" + links.Page("event/" + N(r.eventNo)) + "\">" + H(N(r.eventNo) + " " + m.RaceTitle(r)) +
           "</a><small>";
    if (withName && !s.lane.relay) out += NameLink(links, s.lane.person) + " · ";
    out += "<a href=\"" + links.Page("race/" + N(s.at.race)) + "\">" + H(where) + "</a>" +
           (StartTime(r).empty() ? std::string() : " · " + H(StartTime(r))) + "</small>";
    if (s.at.leg > 0 || s.lane.relay) out += "<small class=\"legs\">" + H(s.lane.person.name) + "：" + LegsText(links, s.lane) + "</small>";
    out += "</td>" + Cell(s.lane.place > 0 ? N(s.lane.place) : std::string(), true) + TimeCell(s.lane) + "</tr>" + SplitsRow(s.lane, 3);
  }
  return out + "</tbody></table></div>";
}

std::string RacesOf(const std::vector<Swim>& swims) {
  std::set<int> races;
  for (const Swim& s : swims) races.insert(s.at.race);
  std::string out;
  for (int n : races) out += (out.empty() ? "" : " ") + N(n);
  return out;
}

std::string SwimmerJson(const Model& m, int entry, int64_t updated) {
  const PersonView p = m.Person(entry, false);
  std::string out = Head("swimmer", updated) + "," + PersonJson(p) + ",\"swims\":[";
  const auto swims = SwimsOf(m, entry);
  for (size_t i = 0; i < swims.size(); ++i) out += (i ? "," : "") + SwimJson(m, swims[i]);
  return out + "]}\n";
}

std::string SwimmerHtml(const Model& m, int entry, int64_t updated) {
  const Links links(m.options, 1);
  const PersonView p = m.Person(entry, false);
  const auto swims = SwimsOf(m, entry);
  std::string body = "<h1>" + H(p.name) + "</h1><p>" + H(p.kana) + "</p><p>" + ClubLink(links, p) +
                     (p.pref.empty() ? "" : " · " + H(p.pref)) + (AgeGrade(p).empty() ? "" : " · " + H(AgeGrade(p))) +
                     " · 番号 " + H(N(entry)) + "</p>";
  body += "<p><button type=\"button\" id=\"favbtn\" class=\"fav\" data-entry=\"" + N(entry) + "\" data-name=\"" + H(p.name) +
          "\" aria-pressed=\"false\">☆ お気に入り</button></p>";
  body += Part("p-swims", "<h2>種目</h2>" + SwimsTable(m, links, swims, false));
  std::set<int> events;
  for (const Swim& s : swims) events.insert(m.race(s.at.race).eventNo);
  std::string ev;
  for (int e : events) ev += (ev.empty() ? "" : " ") + N(e);
  return HtmlPage(m, links, {p.name, "swimmer", ev, RacesOf(swims)}, updated, body);
}

struct TeamData {
  std::string code, name, pref;
  std::vector<int> members;  // entries with swims
  std::vector<Swim> swims;
  std::vector<std::pair<int, RankLine>> points;  // list, line
};
TeamData TeamOf(const Model& m, const std::string& code) {
  TeamData t;
  t.code = code;
  const auto it = m.clubEntries.find(code);
  std::set<std::pair<int, int>> seen;  // race, slot
  for (int n : it->second) {
    const Entry* e = m.entries->at(n);
    if (t.name.empty() && e) {
      t.name = Trim(PrintedName(e->affiliation));
      t.pref = Trim(PrintedName(e->prefName));
    }
    if (!m.byEntry.count(n)) continue;
    t.members.push_back(n);
    for (const Appearance& a : m.byEntry.at(n))
      if (seen.insert({a.race, a.slot}).second) t.swims.push_back({a, m.Lane(a.race, a.slot)});
  }
  std::sort(t.swims.begin(), t.swims.end(), [](const Swim& a, const Swim& b) {
    return std::pair{a.at.race, a.at.slot} < std::pair{b.at.race, b.at.slot};
  });
  if (m.nyusho && m.nyusho->tallied)
    for (int list = 0; list < 4; ++list)
      for (const RankLine& l : RankLines(*m.nyusho, list, false))
        if (Trim(PrintedText(m.nyusho->teams[static_cast<size_t>(l.team - 1)].teamCode)) == code) t.points.emplace_back(list, l);
  return t;
}

std::string TeamJson(const Model& m, const TeamData& t, int64_t updated) {
  std::string out = Head("team", updated) + ",\"team\":" + Q(t.code) + ",\"name\":" + Q(t.name) + ",\"pref\":" + Q(t.pref) +
                    ",\"points\":[";
  for (size_t i = 0; i < t.points.size(); ++i) {
    const RankLine& l = t.points[i].second;
    out += std::string(i ? "," : "") + "{\"list\":" + N(t.points[i].first + 1) + ",\"listName\":" + Q(kListNames[t.points[i].first]) +
           ",\"rank\":" + N(l.rank) + ",\"points\":" + N(l.points) + ",\"individual\":" + N(l.individual) +
           ",\"relay\":" + N(l.relay) + "}";
  }
  out += "],\"swimmers\":[";
  for (size_t i = 0; i < t.members.size(); ++i) out += std::string(i ? "," : "") + "{" + PersonJson(m.Person(t.members[i], false)) + "}";
  out += "],\"swims\":[";
  for (size_t i = 0; i < t.swims.size(); ++i) out += (i ? "," : "") + SwimJson(m, t.swims[i]);
  return out + "]}\n";
}

std::string TeamHtml(const Model& m, const TeamData& t, int64_t updated) {
  const Links links(m.options, 1);
  std::string body = "<h1>" + H(t.name) + "</h1><p>" + H(t.pref) + " · " + H(t.code) + "</p>";
  std::string points = "<h2>得点</h2>";
  if (t.points.empty()) points += "<p>得点はまだありません。</p>";
  else {
    points += "<div class=\"w\"><table><caption class=\"vh\">得点</caption>" +
              HeadRow({{"区分", false}, {"順", true}, {"得点", true}, {"個人", true}, {"リレー", true}}) + "<tbody>";
    for (const auto& [list, l] : t.points)
      points += "<tr>" + Cell(kListNames[list]) + Cell(N(l.rank), true) + Cell(N(l.points), true) + Cell(N(l.individual), true) +
                Cell(N(l.relay), true) + "</tr>";
    points += "</tbody></table></div>";
  }
  body += Part("p-points", points);
  std::string swimmers = "<h2>選手</h2><ul class=\"list cols\">";
  for (int n : t.members) {
    const PersonView p = m.Person(n, false);
    swimmers += "<li>" + NameLink(links, p) + (AgeGrade(p).empty() ? "" : " <small class=\"i\">" + H(AgeGrade(p)) + "</small>") + "</li>";
  }
  body += Part("p-swimmers", swimmers + "</ul>");
  body += Part("p-swims", "<h2>結果</h2>" + SwimsTable(m, links, t.swims, true));
  return HtmlPage(m, links, {t.name, "team", "", RacesOf(t.swims)}, updated, body);
}

std::string SearchJson(const Model& m, int64_t updated) {
  std::string out = Head("search", updated) + ",\"swimmers\":[";
  bool first = true;
  std::vector<int> entries;
  for (const auto& [n, where] : m.byEntry) entries.push_back(n);
  std::sort(entries.begin(), entries.end());
  for (int n : entries) {
    const Entry* e = m.entries->at(n);
    if (!e || m.Masked(*e)) continue;
    const PersonView p = m.Person(n, false);
    // A relay team is found through its club.
    bool swimsAlone = false;
    for (const Appearance& a : m.byEntry.at(n)) swimsAlone = swimsAlone || a.leg > 0 || !m.IsRelay(m.race(a.race));
    if (!swimsAlone) continue;
    out += std::string(first ? "" : ",") + "{\"entry\":" + N(n) + ",\"name\":" + Q(p.name) + ",\"kana\":" + Q(p.kana) +
           ",\"club\":" + Q(p.club) + ",\"team\":" + OptText(p.team) + "}";
    first = false;
  }
  out += "],\"teams\":[";
  first = true;
  for (const auto& [code, members] : m.clubEntries) {
    const Entry* e = m.entries->at(members.front());
    out += std::string(first ? "" : ",") + "{\"team\":" + Q(code) + ",\"name\":" + Q(e ? Trim(PrintedName(e->affiliation)) : "") +
           ",\"pref\":" + Q(e ? Trim(PrintedName(e->prefName)) : "") + "}";
    first = false;
  }
  return out + "]}\n";
}

// --- the shared style and script ---------------------------------------------

constexpr const char* kCss =
    "*{box-sizing:border-box}html{-webkit-text-size-adjust:100%}"
    "body{font-family:system-ui,-apple-system,\"Hiragino Sans\",\"Noto Sans CJK JP\",\"IPAGothic\",sans-serif;margin:0 auto;"
    "padding:0 8px 24px;max-width:960px;font-size:15px;line-height:1.45;color:#111;background:#fff;overflow-anchor:none}"
    "header{position:sticky;top:0;background:#fff;border-bottom:1px solid #ccc;padding:8px 0;z-index:1}"
    "nav a{margin-right:1.2em;display:inline-block;padding:2px 0}a{color:#0645ad}"
    "h1{font-size:1.25em;margin:.6em 0 .2em}h2{font-size:1.1em;margin:1em 0 .3em}h3{font-size:1em;margin:.8em 0 .3em}"
    "table{border-collapse:collapse;width:100%;margin-bottom:.8em}"
    "th,td{border-bottom:1px solid #ddd;padding:4px 3px;text-align:left;vertical-align:top}"
    "th{font-weight:600;font-size:.85em;color:#333}"
    ".n{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}"
    "td.nm{overflow-wrap:anywhere;width:100%}"
    "small{display:block;color:#444;font-size:.82em}small.i{display:inline}"
    ".m{display:inline-block;margin-left:.25em;padding:0 .25em;border-radius:3px;background:#fde68a;color:#000;font-size:.8em}"
    "tr.s td{color:#444;font-size:.8em;padding-top:0}"
    ".st{display:inline-block;white-space:nowrap;padding:0 .4em;border-radius:3px;background:#e5e7eb;color:#000;font-size:.85em;font-weight:400}"
    ".st.final{background:#bbf7d0}.st.partial{background:#fef08a}.st.pending{background:#e0e7ff}"
    "details{border-bottom:1px solid #ccc}details>summary{cursor:pointer;padding:8px 0;font-weight:600}"
    "input[type=search]{width:100%;font-size:16px;padding:8px;border:1px solid #767676;border-radius:6px}"
    ".u{color:#444;font-size:.85em;margin:1em 0}"
    "button.fav{font-size:1em;padding:6px 12px;border:1px solid #767676;border-radius:6px;background:#fff;color:#111}"
    "ul.list{padding-left:1.2em}ul.cols li{margin:2px 0}"
    ".vh{position:absolute;width:1px;height:1px;overflow:hidden;clip:rect(0 0 0 0);white-space:nowrap}"
    ".w{max-width:100%;overflow-x:auto}\n";

// The page's script: the changed parts of the page are taken from a fresh
// copy of it in place (the reader's place on the screen kept), when the
// stream says its data changed, or every 10 seconds while there is no
// stream (the published site); search over the index, fetched once;
// favourites kept on the phone.
constexpr const char* kJs = R"JS((function(){
'use strict';
var b=document.body,d=b.dataset,root=d.root||'./',ext=d.ext||'',busy=false,streamOpen=false;
function apiUrl(p){return root+'api/'+p+(ext?'.json':'')}
function pageUrl(p){return root+p+ext}
function esc(s){return String(s==null?'':s).replace(/[&<>"']/g,function(c){return'&#'+c.charCodeAt(0)+';'})}
if(location.protocol==='file:'){setTimeout(function(){location.reload()},10000)}
function anchor(){var rows=document.querySelectorAll('main [data-part] tr, main [data-part] h2, main [data-part] h3, main [data-part] p, main [data-part] summary');
for(var i=0;i<rows.length;i++){var r=rows[i].getBoundingClientRect();if(r.bottom>0){var p=rows[i].closest('[data-part]');
return{el:rows[i],top:r.top,part:p.id,index:Array.prototype.indexOf.call(p.querySelectorAll('tr,h2,h3,p,summary'),rows[i])}}}return null}
function apply(text){
var doc=new DOMParser().parseFromString(text,'text/html'),a=anchor(),changed=false;
var fresh=doc.querySelectorAll('main [data-part]'),old=document.querySelectorAll('main [data-part]');
var same=fresh.length===old.length;for(var i=0;same&&i<fresh.length;i++)same=fresh[i].id===old[i].id;
if(!same){document.getElementById('main').innerHTML=doc.getElementById('main').innerHTML;changed=true}
else for(var j=0;j<fresh.length;j++){if(fresh[j].innerHTML!==old[j].innerHTML||fresh[j].outerHTML.length!==old[j].outerHTML.length){
var n=document.importNode(fresh[j],true);if(old[j].tagName==='DETAILS'){n.open=old[j].open}old[j].replaceWith(n);changed=true}}
var u=doc.getElementById('updated'),cu=document.getElementById('updated');if(u&&cu&&u.innerHTML!==cu.innerHTML)cu.innerHTML=u.innerHTML;
if(changed&&a){var el=document.contains(a.el)?a.el:null;if(!el){var p=document.getElementById(a.part);if(p)el=p.querySelectorAll('tr,h2,h3,p,summary')[a.index]}
if(el)window.scrollBy(0,el.getBoundingClientRect().top-a.top)}
if(changed){b.dataset.updates=String(+(b.dataset.updates||0)+1);b.dispatchEvent(new CustomEvent('live:updated'));favourites()}}
function update(){if(busy||location.protocol==='file:')return;busy=true;
fetch(location.href,{cache:'no-cache'}).then(function(r){if(!r.ok)throw r.status;return r.text()})
.then(function(t){busy=false;apply(t)}).catch(function(){busy=false})}
function has(list,values){var l=(list||'').split(' ');for(var i=0;i<values.length;i++)if(l.indexOf(String(values[i]))>=0)return true;return false}
function concerns(c){if(c.all)return true;switch(d.kind){case'meet':return c.meet;case'points':return c.points;
case'team':return c.points||has(d.races,c.races);default:return has(d.events,c.events)||has(d.races,c.races)}}
var es=null;
function openStream(){if(!d.stream||!window.EventSource||es)return;es=new EventSource(d.stream);
es.addEventListener('open',function(){if(!streamOpen){streamOpen=true;update()}});
es.addEventListener('error',function(){streamOpen=false});
es.addEventListener('change',function(e){var c;try{c=JSON.parse(e.data)}catch(x){return}if(concerns(c))update()})}
// A page left (or kept for the back button) lets go of its stream: a browser
// holds only a few connections to one server.
window.addEventListener('pagehide',function(){if(es){es.close();es=null}streamOpen=false});
window.addEventListener('pageshow',function(e){if(e.persisted){openStream();update()}});
openStream();
setInterval(function(){if(!streamOpen)update()},10000);
var key='meetdesk-favourites:'+new URL(root,location.href).pathname;
function favs(){try{var f=JSON.parse(localStorage.getItem(key)||'[]');return Array.isArray(f)?f:[]}catch(e){return[]}}
function saveFavs(f){try{localStorage.setItem(key,JSON.stringify(f))}catch(e){}}
var fb=document.getElementById('favbtn');
function showFav(){var id=+fb.dataset.entry,on=favs().some(function(x){return x.entry===id});
fb.textContent=on?'★ お気に入り（外す）':'☆ お気に入りに追加';fb.setAttribute('aria-pressed',on?'true':'false')}
if(fb){showFav();fb.addEventListener('click',function(){var id=+fb.dataset.entry,f=favs(),on=f.some(function(x){return x.entry===id});
f=on?f.filter(function(x){return x.entry!==id}):f.concat([{entry:id,name:fb.dataset.name}]);saveFavs(f);showFav()})}
function favourites(){var box=document.getElementById('favs');if(!box)return;var f=favs();if(!f.length)return;
var out=[],left=f.length;f.forEach(function(x,i){fetch(apiUrl('swimmer/'+x.entry),{cache:'no-cache'}).then(function(r){return r.ok?r.json():null})
.catch(function(){return null}).then(function(j){var h='<li><a href="'+esc(pageUrl('swimmer/'+x.entry))+'">'+esc(j?j.name:x.name)+'</a>';
if(j){var next=j.swims.filter(function(s){return s.state!=='final'});
h+=next.length?'<small>'+next.map(function(s){return'<a href="'+esc(pageUrl('race/'+s.race))+'">'+esc(s.title+' '+s.lane.heat+'組'+s.lane.lane+'コース'+(s.start?' '+s.start:''))+'</a>'}).join(' · ')+'</small>':'<small>次のレースはありません</small>'}
out[i]=h+'</li>';if(--left===0)box.innerHTML='<ul class="list">'+out.join('')+'</ul>'})})}
favourites();
var q=document.getElementById('q'),hits=document.getElementById('hits'),index=null,loading=null;
function norm(s){s=String(s||'');if(s.normalize)s=s.normalize('NFKC');s=s.replace(/[\s\u3000]/g,'').toLowerCase();
return s.replace(/[\u3041-\u3096]/g,function(c){return String.fromCharCode(c.charCodeAt(0)+0x60)})}
function load(){if(index)return Promise.resolve(index);if(!loading)loading=fetch(apiUrl('search')).then(function(r){return r.json()}).then(function(j){
j.swimmers.forEach(function(s){s.k=norm(s.name)+' '+norm(s.kana)+' '+norm(s.club)});j.teams.forEach(function(t){t.k=norm(t.name)+' '+norm(t.pref)});index=j;return j});return loading}
function search(){var t=norm(q.value);if(!t){hits.innerHTML='';return}load().then(function(j){var out=[];
j.teams.forEach(function(x){if(out.length<50&&x.k.indexOf(t)>=0)out.push('<li><a href="'+esc(pageUrl('team/'+x.team))+'">'+esc(x.name)+'</a> <small class="i">チーム '+esc(x.pref)+'</small></li>')});
j.swimmers.forEach(function(x){if(out.length<50&&x.k.indexOf(t)>=0)out.push('<li><a href="'+esc(pageUrl('swimmer/'+x.entry))+'">'+esc(x.name)+'</a> <small class="i">'+esc(x.club)+'</small></li>')});
hits.innerHTML=out.length?out.join(''):'<li>見つかりません</li>'}).catch(function(){hits.innerHTML='<li>検索できません</li>'})}
if(q){q.addEventListener('focus',function(){load().catch(function(){})});q.addEventListener('input',search)}
})();
)JS";

}  // namespace

std::string LaneLabelText(int slot) {
  if (slot == 10) return "補欠１";
  if (slot == 11) return "補欠２";
  return NumberText(slot + 1);
}

std::optional<Built> BuildTarget(const Model& m, const Target& t, int64_t updated) {
  switch (t.route) {
    case Route::Meet: return Built{t.api ? MeetJson(m, updated) : MeetHtml(m, updated), t.api ? kJsonType : kHtmlType};
    case Route::Event: {
      const EventInfo* e = m.Event(t.number);
      if (!e) return std::nullopt;
      const EventData d = EventOf(m, *e);
      return Built{t.api ? EventJson(m, d, updated) : EventHtml(m, d, updated), t.api ? kJsonType : kHtmlType};
    }
    case Route::Race: {
      if (t.number < 1 || t.number > m.races.raceCount()) return std::nullopt;
      const auto lanes = RaceLanes(m, t.number);
      return Built{t.api ? RaceJson(m, t.number, lanes, updated) : RaceHtml(m, t.number, lanes, updated), t.api ? kJsonType : kHtmlType};
    }
    case Route::Points: return Built{t.api ? PointsJson(m, updated) : PointsHtml(m, updated), t.api ? kJsonType : kHtmlType};
    case Route::Swimmer: {
      const Entry* e = m.entries->at(t.number);
      if (!e || m.Masked(*e) || !m.byEntry.count(t.number)) return std::nullopt;
      return Built{t.api ? SwimmerJson(m, t.number, updated) : SwimmerHtml(m, t.number, updated), t.api ? kJsonType : kHtmlType};
    }
    case Route::Team: {
      if (!m.clubEntries.count(t.code)) return std::nullopt;
      const TeamData d = TeamOf(m, t.code);
      return Built{t.api ? TeamJson(m, d, updated) : TeamHtml(m, d, updated), t.api ? kJsonType : kHtmlType};
    }
    case Route::Search:
      if (!t.api) return std::nullopt;
      return Built{SearchJson(m, updated), kJsonType};
    case Route::Css: return Built{kCss, "text/css; charset=utf-8"};
    case Route::Js: return Built{kJs, "text/javascript; charset=utf-8"};
    case Route::None: break;
  }
  return std::nullopt;
}

std::string NotFoundPage(const LiveOptions& o, bool api) {
  if (api) return "{\"version\":" + N(kApiVersion) + ",\"error\":\"ページがありません\"}\n";
  // Links from the site's root: a missing page may be at any depth.
  const std::string home = o.staticFiles ? "index.html" : "/";
  return "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\"><title>ページがありません</title>"
         "<style>body{font-family:sans-serif;margin:1em;font-size:15px}a{color:#0645ad}</style></head><body><main>"
         "<h1>ページがありません</h1><p>アドレスが違うか、まだない種目・レースです。</p>"
         "<ul><li><a href=\"" + home + "\">大会のページへ</a></li><li><a href=\"" + (o.staticFiles ? "points.html" : "/points") +
         "\">得点</a></li></ul></main></body></html>\n";
}

std::string UpdatingPage(bool api) {
  if (api) return "{\"version\":" + N(kApiVersion) + ",\"error\":\"" + kUpdatingText + "\"}\n";
  return "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
         "<meta http-equiv=\"refresh\" content=\"2\"><title>" + std::string(kUpdatingText) + "</title></head><body><main><h1>" +
         kUpdatingText + "</h1><p>大会のファイルを書き込み中です。すぐに表示されます。</p></main></body></html>\n";
}

}  // namespace meet::live
