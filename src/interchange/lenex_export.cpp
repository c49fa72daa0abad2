#include "interchange/lenex_export.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "core/cp932.h"
#include "core/dates.h"
#include "core/naming.h"
#include "core/time_code.h"
#include "data/meet_files.h"
#include "data/optional_categories.h"
#include "interchange/lenex_time.h"
#include "print/program_pages.h"
#include "print/results_print.h"
#include "program/projun_file.h"
#include "race/timing_files.h"
#include "race/timing_post.h"
#include "results/ranking_list.h"
#include "results/wa_points.h"
#include "settings/settings.h"

#ifndef MEETDESK_BUILD_VERSION
#define MEETDESK_BUILD_VERSION "0"
#endif

namespace meet {

const char* MeetdeskBuildVersion() { return MEETDESK_BUILD_VERSION; }

namespace {

constexpr const char* kFullWidthBlank = "\xE3\x80\x80";  // "　"
// Lenex wants a birth date for every athlete; a swimmer whose data is
// withheld gets this one, which no swimmer of a meet can have.
constexpr const char* kWithheldBirthDate = "1900-01-01";

std::string Num(int64_t n) { return std::to_string(n); }

// "YYYY-MM-DD" of a yyyymmdd date; empty when it is no date.
std::string LenexDate(int32_t yyyymmdd) {
  if (!IsCalendarDate(yyyymmdd)) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
  return text;
}

// "HH:MM" of a plain HHMMSS number; empty for 0 and for no time of day.
std::string DaytimeOfHhmmss(int64_t hhmmss) {
  if (hhmmss <= 0 || hhmmss / 10000 > 24 || hhmmss / 100 % 100 > 59 || hhmmss % 100 > 59) return {};
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(hhmmss / 10000), static_cast<int>(hhmmss / 100 % 100));
  return text;
}

// "HH:MM" of a race's start as the race buffer holds it (" 9:30:00" for the
// six characters " 93000" the program editor writes); empty until a time is set.
std::string DaytimeOfRace(const std::string& start) {
  const std::string digits = Trim(ClockWithoutColons(start));
  if (digits.empty()) return {};
  const auto value = TimeOfDayValue(digits);
  return value ? DaytimeOfHhmmss(*value) : std::string();
}

// The birth date the federation report takes: characters 6 to 13 of the
// registration number, yyyymmdd.
std::string BirthDate(std::string_view regNo) {
  if (regNo.size() < 13) return {};
  const std::string_view digits = regNo.substr(5, 8);
  if (digits.find_first_not_of("0123456789") != std::string_view::npos) return {};
  return LenexDate(static_cast<int32_t>(std::stol(std::string(digits))));
}

// A split text of the lap file ("   31.50", "00:31.50", "1:02.15") in hundredths.
std::optional<int64_t> SplitHundredths(std::string_view text) {
  const std::string t = Trim(text);
  const auto code = SeparatedSwimTime(t);
  if (!code) return std::nullopt;
  return TimeCodeHundredths(*code);
}

std::string SwimTime(int32_t code) {
  const auto h = TimeCodeHundredths(code);
  return FormatLenexSwimTime(h ? *h : 0);
}

std::string RoundOf(const std::string& stage, bool hasHeats) {
  if (stage == "1") return "PRE";
  if (stage == "2") return hasHeats ? "FIN" : "TIM";
  if (stage == "3") return "SEM";
  if (stage == "4") return "SOP";
  return "TIM";
}

void Attr(pugi::xml_node node, const char* name, const std::string& value) {
  node.append_attribute(name).set_value(value.c_str());
}

struct EventRef {
  int id = 0;              // eventid: the program entry's position
  ProgramEntry entry;
  bool relay = false;
  SwimStyle style;
};

class Builder {
 public:
  Builder(const MeetFiles& meet, const LenexExportOptions& options) : meet_(meet), options_(options), sources_(meet) {}

  Result<LenexCounts> Build(pugi::xml_document& doc);

 private:
  Status Load();
  const Entry* EntryAt(int n);
  bool Masked(const Entry& e) const { return !options_.unmask && e.regNo.starts_with(kMaskPrefix); }
  int BandValue(const Entry& e) const {
    if (meet_.settings.classMode == "2") return static_cast<int>(LeadingNumber(PrintedText(e.gradeCode)));
    return e.age;
  }
  void Events(pugi::xml_node meetNode);
  void Rankings(pugi::xml_node agegroups, const EventRef& ev);
  void Clubs(pugi::xml_node meetNode);
  void AddResult(pugi::xml_node results, const EventRef& ev, int raceNo, int slot, bool relay);
  void AddPositions(pugi::xml_node parent, const Race& race, int slot);
  struct Swim;
  void AddSwims(pugi::xml_node parent, const std::vector<Swim>& swims, bool relay, bool masked);
  const std::vector<LapLine>& LapsOf(int raceNo);
  void Use(int entryNo, bool team, int raceNo, int slot, const EventRef* ev);
  const EventRef* EventOfRace(int raceNo) const;
  const EventRef* EventForEntry(const Entry& e, int eventCode) const;

  const MeetFiles& meet_;
  LenexExportOptions options_;
  PrintSources sources_;
  RaceFileImage races_;
  std::vector<Race> decodedRaces_;  // race n at index n (decoded once)
  const Race& RaceAt(int n) const { return decodedRaces_[static_cast<size_t>(n)]; }
  EntryFileImage entries_;
  std::vector<std::optional<Entry>> decoded_;
  std::vector<RelayBlock> blocks_;
  std::vector<ProgramEntry> program_;
  std::optional<PointsTable> table_;
  std::vector<EventRef> events_;
  std::vector<int> eventOfRace_;  // race number → index in events_ + 1 (0: none)
  std::string course_;
  int lapLength_ = 50;
  LenexCounts counts_;

  // Who appears, and where.
  struct Swim {
    int raceNo = 0, slot = 0;  // 0: an entry of the entry file, not seeded
    const EventRef* ev = nullptr;
    int32_t entryTime = 0;
  };
  std::map<int, std::vector<Swim>> athletes_;  // entry number → swims
  std::map<int, std::vector<Swim>> teams_;     // relay team entry → swims
  std::set<int> members_;                      // relay swimmers (athletes even without a swim of their own)
  std::map<int, std::vector<LapLine>> laps_;   // lap files read, by race
};

Status Builder::Load() {
  auto races = RaceFileImage::Load(meet_.meetFolder);
  if (!races) return std::unexpected(races.error());
  races_ = std::move(*races);
  decodedRaces_.reserve(static_cast<size_t>(races_.raceCount()) + 1);
  for (int n = 0; n <= races_.raceCount(); ++n) decodedRaces_.push_back(n == 0 ? Race{} : races_.race(n));
  auto entries = LoadEntryFileImage(EntryFilePath(meet_.settings.entryFolder, meet_.settings.entryFileName));
  if (!entries) return std::unexpected(entries.error());
  entries_ = std::move(*entries);
  decoded_.assign(static_cast<size_t>(entries_.count()) + 1, std::nullopt);
  auto blocks = LoadAllRelayBlocks(meet_.meetFolder);
  if (!blocks) return std::unexpected(blocks.error());
  blocks_ = std::move(*blocks);
  auto program = LoadProgramEntries(meet_.meetFolder);
  if (!program) return std::unexpected(program.error());
  program_ = std::move(*program);
  auto table = LoadPointsTable(meet_.meetFolder);
  if (!table) return std::unexpected(table.error());
  table_ = std::move(*table);
  course_ = CourseCode(meet_.settings.courseMode);
  lapLength_ = TimingLapLength(meet_.settings);
  return {};
}

const Entry* Builder::EntryAt(int n) {
  if (n <= 0 || n > entries_.count()) return nullptr;
  auto& slot = decoded_[static_cast<size_t>(n)];
  if (!slot) slot = entries_.Load(n);
  return &*slot;
}

const EventRef* Builder::EventOfRace(int raceNo) const {
  if (raceNo <= 0 || static_cast<size_t>(raceNo) >= eventOfRace_.size() || eventOfRace_[static_cast<size_t>(raceNo)] == 0)
    return nullptr;
  return &events_[static_cast<size_t>(eventOfRace_[static_cast<size_t>(raceNo)] - 1)];
}

// The event an entry of the entry file swims first: its sex, event and band,
// the heats when the event has them, else its final.
const EventRef* Builder::EventForEntry(const Entry& e, int eventCode) const {
  const EventRef* found = nullptr;
  const int band = BandValue(e);
  for (const EventRef& ev : events_) {
    const ProgramEntry& p = ev.entry;
    if (p.eventCode != eventCode || p.sexCode != e.sexCode || band < p.ageFrom || band > p.ageTo) continue;
    if (p.stageCode == "1") return &ev;
    if (p.stageCode == "2" && !found) found = &ev;
  }
  return found;
}

void Builder::Events(pugi::xml_node meetNode) {
  // Every numbered program entry is an event; its heats stage, when it has
  // one, is the entry of the same sex, band and event with stage 1.
  const auto sameSwim = [](const ProgramEntry& a, const ProgramEntry& b) {
    return a.sexCode == b.sexCode && a.ageFrom == b.ageFrom && a.ageTo == b.ageTo && a.eventCode == b.eventCode;
  };
  eventOfRace_.assign(static_cast<size_t>(races_.raceCount()) + 1, 0);
  for (size_t i = 0; i < program_.size(); ++i) {
    const ProgramEntry& p = program_[i];
    if (p.orderNo == 0) continue;
    EventRef ev;
    ev.id = static_cast<int>(i) + 1;
    ev.entry = p;
    ev.relay = sources_.IsRelay(p.eventCode);
    const int extra = p.eventCode - 30;
    ev.style = SwimStyleOf(p.eventCode, extra >= 0 && extra < 15 ? sources_.naming().extraEventNames[static_cast<size_t>(extra)] : "",
                           ev.relay);
    events_.push_back(ev);
    for (int r = p.firstRace; r < p.firstRace + p.heatCount; ++r)
      if (r >= 1 && r <= races_.raceCount() && eventOfRace_[static_cast<size_t>(r)] == 0)
        eventOfRace_[static_cast<size_t>(r)] = static_cast<int>(events_.size());
  }
  const auto idOf = [&](const ProgramEntry& p, const char* stage) {
    for (const EventRef& other : events_)
      if (sameSwim(other.entry, p) && other.entry.stageCode == stage) return other.id;
    return -1;
  };

  // Sessions: one per meet day, in day order; a day's events in program order.
  std::map<std::string, std::vector<const EventRef*>> days;
  for (const EventRef& ev : events_) days[ev.entry.dayNo.empty() ? std::string("1") : ev.entry.dayNo].push_back(&ev);
  pugi::xml_node sessions = meetNode.append_child("SESSIONS");
  int sessionNo = 0;
  for (const auto& [day, list] : days) {
    ++sessionNo;
    ++counts_.sessions;
    pugi::xml_node session = sessions.append_child("SESSION");
    const int dayNo = static_cast<int>(LeadingNumber(day));
    Attr(session, "number", Num(dayNo > 0 ? dayNo : sessionNo));
    std::string date = LenexDate(AddDays(meet_.settings.meetDateFrom, std::max(dayNo, 1) - 1).value_or(0));
    if (date.empty()) date = LenexDate(meet_.settings.meetDateFrom);
    Attr(session, "date", date);
    // The start of its first race that has one.
    std::string daytime;
    for (const EventRef* ev : list) {
      for (int r = ev->entry.firstRace; daytime.empty() && r < ev->entry.firstRace + ev->entry.heatCount; ++r)
        if (r >= 1 && r <= races_.raceCount()) daytime = DaytimeOfRace(RaceAt(r).startTime);
      if (daytime.empty()) daytime = DaytimeOfHhmmss(ev->entry.startTime);
      if (!daytime.empty()) break;
    }
    if (!daytime.empty()) Attr(session, "daytime", daytime);
    pugi::xml_node events = session.append_child("EVENTS");
    for (const EventRef* evp : list) {
      EventRef& ev = events_[static_cast<size_t>(evp - events_.data())];
      const ProgramEntry& p = ev.entry;
      ++counts_.events;
      pugi::xml_node e = events.append_child("EVENT");
      Attr(e, "eventid", Num(ev.id));
      Attr(e, "number", Num(p.orderNo));
      Attr(e, "gender", std::string(1, GenderCode(p.sexCode) == ' ' ? 'A' : GenderCode(p.sexCode)));
      const int heatsId = idOf(p, "1");
      Attr(e, "round", RoundOf(p.stageCode, heatsId > 0));
      int previous = -1;
      if (p.stageCode == "2") previous = idOf(p, "3") > 0 ? idOf(p, "3") : heatsId;
      if (p.stageCode == "3" || p.stageCode == "4") previous = heatsId;
      Attr(e, "preveventid", Num(previous));
      if (const std::string t = DaytimeOfHhmmss(p.startTime); !t.empty()) Attr(e, "daytime", t);
      pugi::xml_node style = e.append_child("SWIMSTYLE");
      Attr(style, "distance", Num(ev.style.distance));
      Attr(style, "relaycount", Num(ev.style.relayCount));
      Attr(style, "stroke", ev.style.stroke);
      if (ev.style.stroke == "UNKNOWN") Attr(style, "name", ev.style.name);
      Rankings(e.append_child("AGEGROUPS"), ev);
      pugi::xml_node heats = e.append_child("HEATS");
      for (int r = p.firstRace; r < p.firstRace + p.heatCount; ++r) {
        if (r < 1 || r > races_.raceCount() || eventOfRace_[static_cast<size_t>(r)] - 1 != evp - events_.data()) continue;
        const Race& race = RaceAt(r);
        ++counts_.heats;
        pugi::xml_node h = heats.append_child("HEAT");
        Attr(h, "heatid", Num(r));
        Attr(h, "number", Num(race.heatNo > 0 ? race.heatNo : r - p.firstRace + 1));
        if (const std::string t = DaytimeOfRace(race.startTime); !t.empty()) Attr(h, "daytime", t);
      }
      if (!heats.first_child()) e.remove_child(heats);
    }
  }
}

// The age groups of an event: its band, or under 合同 the optional
// categories its results printout lists, then its band; with results, the
// places of each as the printout has them (exhibition swims are not ranked).
void Builder::Rankings(pugi::xml_node agegroups, const EventRef& ev) {
  const ProgramEntry& p = ev.entry;
  const bool ages = meet_.settings.classMode == "1";
  auto addGroup = [&](int id, int from, int to, const std::string& name) {
    pugi::xml_node g = agegroups.append_child("AGEGROUP");
    Attr(g, "agegroupid", Num(id));
    Attr(g, "agemin", Num(ages && from > 0 ? from : -1));
    Attr(g, "agemax", Num(ages && to > 0 && to < 100 ? to : -1));
    // A relay team's age is the sum of its swimmers' ages.
    if (ev.relay && ages) Attr(g, "calculate", "TOTAL");
    const std::string label = Trim(name);
    if (!label.empty()) Attr(g, "name", label);
    return g;
  };
  const std::string band = sources_.BandLabel(p.ageFrom, p.ageTo, p.eventCode);
  const int firstRace = p.firstRace;
  const bool seeded = firstRace >= 1 && firstRace <= races_.raceCount() && eventOfRace_[static_cast<size_t>(firstRace)] != 0 &&
                      &events_[static_cast<size_t>(eventOfRace_[static_cast<size_t>(firstRace)] - 1)] == &ev;
  if (options_.kind != LenexKind::Results || !seeded) {
    addGroup(1, p.ageFrom, p.ageTo, band);
    return;
  }
  std::vector<ResultLine> lines = CollectEventResults(races_, firstRace, meet_.settings.laneCount);
  AssignPlaces(lines);
  const Race race = races_.race(firstRace);
  const std::vector<ResultSection> sections = EventResultSections(meet_, sources_, races_, race, lines);
  const std::vector<OptionalCategory> categories =
      meet_.settings.seedingMode == "4" ? ReadOptionalCategories(meet_.meetFolder) : std::vector<OptionalCategory>{};
  int id = 0;
  for (const ResultSection& s : sections) {
    int from = p.ageFrom, to = p.ageTo;
    std::string name = band;
    if (!s.title.empty()) {
      name = s.title;
      for (const OptionalCategory& c : categories)
        if (PrintedText(c.catName) == s.title) {
          from = c.catFrom;
          to = c.catTo;
          break;
        }
    }
    pugi::xml_node g = addGroup(++id, from, to, name);
    pugi::xml_node rankings = g.append_child("RANKINGS");
    int order = 0;
    for (const ResultLine& line : s.lines) {
      pugi::xml_node rk = rankings.append_child("RANKING");
      Attr(rk, "order", Num(++order));
      Attr(rk, "place", Num(line.place > 0 ? line.place : -1));
      Attr(rk, "resultid", Num(int64_t{line.race} * 100 + line.slot + 1));
    }
    if (!rankings.first_child()) g.remove_child(rankings);
  }
  if (id == 0) addGroup(1, p.ageFrom, p.ageTo, band);
}

void Builder::Use(int entryNo, bool team, int raceNo, int slot, const EventRef* ev) {
  Swim swim{raceNo, slot, ev, 0};
  if (raceNo > 0) {
    swim.entryTime = RaceAt(raceNo).laneEntryTime[static_cast<size_t>(slot)];
  } else if (const Entry* e = EntryAt(entryNo); e && ev && ev->entry.eventCode >= 1 && ev->entry.eventCode <= 44) {
    swim.entryTime = e->entryTimes[static_cast<size_t>(ev->entry.eventCode - 1)];
  }
  (team ? teams_ : athletes_)[entryNo].push_back(swim);
}

const std::vector<LapLine>& Builder::LapsOf(int raceNo) {
  auto it = laps_.find(raceNo);
  if (it == laps_.end()) it = laps_.emplace(raceNo, ReadLapFile(meet_.meetFolder, raceNo)).first;
  return it->second;
}

void Builder::AddSwims(pugi::xml_node parent, const std::vector<Swim>& swims, bool relay, bool masked) {
  pugi::xml_node entries;
  for (const Swim& s : swims) {
    if (!s.ev) continue;
    if (!entries) entries = parent.append_child("ENTRIES");
    ++counts_.entries;
    pugi::xml_node e = entries.append_child("ENTRY");
    Attr(e, "eventid", Num(s.ev->id));
    Attr(e, "entrytime", SwimTime(s.entryTime));
    if (s.raceNo > 0) {
      Attr(e, "heatid", Num(s.raceNo));
      Attr(e, "lane", Num(s.slot + 1));
      if (relay && !masked) AddPositions(e, RaceAt(s.raceNo), s.slot);
    }
  }
  if (options_.kind != LenexKind::Results) return;
  pugi::xml_node results = parent.append_child("RESULTS");
  for (const Swim& s : swims)
    if (s.ev && s.raceNo > 0) AddResult(results, *s.ev, s.raceNo, s.slot, relay && !masked);
  if (!results.first_child()) parent.remove_child(results);
}

void Builder::AddPositions(pugi::xml_node parent, const Race& race, int slot) {
  if (race.relayRec < 1 || static_cast<size_t>(race.relayRec) > blocks_.size()) return;
  const RelayBlock& block = blocks_[static_cast<size_t>(race.relayRec - 1)];
  pugi::xml_node positions;
  for (int leg = 0; leg < 4; ++leg) {
    const int member = block.member(leg, slot);
    if (member <= 0 || !EntryAt(member)) continue;
    if (!positions) positions = parent.append_child("RELAYPOSITIONS");
    pugi::xml_node pos = positions.append_child("RELAYPOSITION");
    Attr(pos, "number", Num(leg + 1));
    Attr(pos, "athleteid", Num(member));
  }
}

void Builder::AddResult(pugi::xml_node results, const EventRef& ev, int raceNo, int slot, bool relay) {
  const Race& race = RaceAt(raceNo);
  const size_t k = static_cast<size_t>(slot);
  const int32_t time = race.laneTime[k];
  if (time == kNoResult || time == kNoRecord || time < 0 || !IsTimeCode(time)) return;
  ++counts_.results;
  pugi::xml_node r = results.append_child("RESULT");
  Attr(r, "resultid", Num(int64_t{raceNo} * 100 + slot + 1));
  Attr(r, "eventid", Num(ev.id));
  Attr(r, "heatid", Num(raceNo));
  Attr(r, "lane", Num(slot + 1));
  Attr(r, "swimtime", SwimTime(time));
  const bool exhibition = race.laneRecordClass[k] == 99;
  if (time >= kDisqualifiedFirst && time < kDidNotFinish) {
    Attr(r, "status", "DSQ");
    Attr(r, "comment", StatusLabel(time));
  } else if (time == kDidNotFinish) {
    Attr(r, "status", "DNF");
  } else if (time == kWithdrawn) {
    Attr(r, "status", "DNS");
  } else if (time >= 595900 && time <= kParticipation) {
    Attr(r, "comment", StatusLabel(time));  // swum without a time kept
  } else if (exhibition) {
    Attr(r, "status", "EXH");
  }
  if (table_ && !exhibition) {
    if (const auto points = table_->Points(course_, GenderCode(race.sexCode), ev.style, time)) {
      Attr(r, "points", Num(*points));
      ++counts_.points;
    }
  }
  if (relay) AddPositions(r, race, slot);
  // Splits: the lap file's cumulative times (the last is the final time),
  // else the race file's one split (a relay's first leg, 800 m of the 1500m).
  pugi::xml_node splits;
  auto split = [&](int distance, int64_t hundredths) {
    if (!splits) splits = r.append_child("SPLITS");
    pugi::xml_node s = splits.append_child("SPLIT");
    Attr(s, "distance", Num(distance));
    Attr(s, "swimtime", FormatLenexSwimTime(hundredths));
  };
  const auto final = TimeCodeHundredths(time);
  if (!final) return;
  const int whole = ev.style.distance * ev.style.relayCount;
  if (slot < 10) {
    const std::vector<LapLine>& laps = LapsOf(raceNo);
    const LapTimes texts = readLapTimes(laps, slot + 1, time);
    int64_t before = 0;
    for (int i = 0; i + 1 < texts.count(); ++i) {
      const int distance = (i + 1) * lapLength_;
      const auto h = SplitHundredths(texts.texts[static_cast<size_t>(i)]);
      if (!h || *h <= before || *h >= *final || (whole > 0 && distance >= whole)) break;
      split(distance, *h);
      before = *h;
    }
    if (!splits && race.relayRec >= 1 && static_cast<size_t>(race.relayRec) <= blocks_.size()) {
      const auto h = TimeCodeHundredths(blocks_[static_cast<size_t>(race.relayRec - 1)].splitTimes[k]);
      const int distance = relay ? ev.style.distance : (ev.entry.eventCode == 7 ? 800 : 0);
      if (h && distance > 0 && *h < *final) split(distance, *h);
    }
  }
}

void Builder::Clubs(pugi::xml_node meetNode) {
  // Who swims: every lane of every seeded race (a relay's members through
  // its relay block), or for an entries file the entry times on file.
  if (options_.kind == LenexKind::Entries) {
    for (int n = 1; n <= entries_.count(); ++n) {
      const Entry* e = EntryAt(n);
      for (int code = 1; code <= 44; ++code) {
        if (e->entryTimes[static_cast<size_t>(code - 1)] == 0) continue;
        const EventRef* ev = EventForEntry(*e, code);
        if (!ev) continue;
        Use(n, ev->relay, 0, 0, ev);
      }
    }
  } else {
    for (int r = 1; r <= races_.raceCount(); ++r) {
      const EventRef* ev = EventOfRace(r);
      if (!ev) continue;
      const Race& race = RaceAt(r);
      // Lanes 1 to 10; the alternates (補欠) swim only once moved into a lane.
      for (int s = 0; s < 10; ++s) {
        const int n = race.laneNo[static_cast<size_t>(s)];
        if (n <= 0 || !EntryAt(n)) continue;
        Use(n, ev->relay, r, s, ev);
        if (ev->relay && !Masked(*EntryAt(n)) && race.relayRec >= 1 && static_cast<size_t>(race.relayRec) <= blocks_.size())
          for (int leg = 0; leg < 4; ++leg)
            if (const int m = blocks_[static_cast<size_t>(race.relayRec - 1)].member(leg, s); m > 0 && EntryAt(m))
              members_.insert(m);
      }
    }
  }
  for (int m : members_) athletes_[m];  // a swimmer of relays only still is an athlete

  // Clubs by the club code of the registration number (the affiliation's
  // name for an entry without one); the masked swimmers in one club of their own.
  struct Club {
    std::string name, code, region;
    std::vector<int> athletes, teams;
  };
  std::map<std::string, Club> clubs;
  auto clubOf = [&](int n) -> Club& {
    const Entry& e = *EntryAt(n);
    if (Masked(e)) {
      Club& c = clubs["~masked"];
      c.name = kMaskedClub;
      return c;
    }
    const std::string code = e.regNo.substr(0, std::min<size_t>(5, e.regNo.size()));
    const bool coded = code.size() == 5 && code.find_first_not_of("0123456789") == std::string::npos;
    const std::string name = Trim(PrintedName(e.affiliation));
    Club& c = clubs[coded ? code : "~" + name];
    if (c.name.empty()) c.name = name.empty() ? (coded ? code : std::string("(所属なし)")) : name;
    if (coded) {
      c.code = code;
      c.region = code.substr(0, 2);
    }
    return c;
  };
  for (const auto& [n, swims] : athletes_) clubOf(n).athletes.push_back(n);
  for (const auto& [n, swims] : teams_) clubOf(n).teams.push_back(n);

  pugi::xml_node clubsNode = meetNode.append_child("CLUBS");
  for (const auto& [key, club] : clubs) {
    ++counts_.clubs;
    pugi::xml_node c = clubsNode.append_child("CLUB");
    Attr(c, "name", club.name);
    if (!club.code.empty()) Attr(c, "code", club.code);
    if (!club.region.empty()) Attr(c, "region", club.region);
    Attr(c, "nation", "JPN");
    if (!club.athletes.empty()) {
      pugi::xml_node list = c.append_child("ATHLETES");
      for (int n : club.athletes) {
        const Entry& e = *EntryAt(n);
        const std::vector<Swim>& swims = athletes_[n];
        ++counts_.athletes;
        pugi::xml_node a = list.append_child("ATHLETE");
        Attr(a, "athleteid", Num(n));
        std::string last, first;
        if (Masked(e)) {
          last = kMaskedClub;
        } else {
          const std::string name = Trim(PrintedText(e.swimmerName));
          size_t at = name.find(kFullWidthBlank);
          size_t width = 3;
          if (at == std::string::npos) {
            at = name.find(' ');
            width = 1;
          }
          last = Trim(name.substr(0, at));
          first = at == std::string::npos ? std::string() : Trim(name.substr(at + width));
        }
        Attr(a, "lastname", last);
        Attr(a, "firstname", first);
        char gender = GenderCode(e.sexCode);
        if (gender != 'M' && gender != 'F' && !swims.empty() && swims[0].ev) gender = GenderCode(swims[0].ev->entry.sexCode);
        Attr(a, "gender", std::string(1, gender == 'F' ? 'F' : 'M'));
        std::string birth = Masked(e) ? std::string() : BirthDate(e.regNo);
        Attr(a, "birthdate", birth.empty() ? kWithheldBirthDate : birth);
        if (!Masked(e)) {
          if (const std::string license = Trim(PrintedText(e.regNo)); !license.empty()) Attr(a, "license", license);
        }
        Attr(a, "nation", "JPN");
        AddSwims(a, swims, false, false);
      }
    }
    if (!club.teams.empty()) {
      pugi::xml_node list = c.append_child("RELAYS");
      int number = 0;
      for (int n : club.teams) {
        const Entry& e = *EntryAt(n);
        const std::vector<Swim>& swims = teams_[n];
        ++counts_.relays;
        pugi::xml_node t = list.append_child("RELAY");
        Attr(t, "number", Num(++number));
        if (!Masked(e)) Attr(t, "name", Trim(PrintedText(e.swimmerName)));
        char gender = swims.empty() || !swims[0].ev ? GenderCode(e.sexCode) : GenderCode(swims[0].ev->entry.sexCode);
        Attr(t, "gender", std::string(1, gender == ' ' ? 'X' : gender));
        Attr(t, "agemin", "-1");
        Attr(t, "agemax", "-1");
        const bool summed = meet_.settings.classMode == "1" && e.age > 0 && !Masked(e);
        Attr(t, "agetotalmin", Num(summed ? e.age : -1));
        Attr(t, "agetotalmax", Num(summed ? e.age : -1));
        AddSwims(t, swims, true, Masked(e));
      }
    }
  }
}

Result<LenexCounts> Builder::Build(pugi::xml_document& doc) {
  // Every session needs its date: the meet's first day must be one.
  if (!IsCalendarDate(meet_.settings.meetDateFrom))
    return Fail(ErrorKind::Invalid, "大会の期日が日付ではありません（" + DateDisplay(meet_.settings.meetDateFrom) +
                                        "）: 基準画面で期日を入れてから書き出してください。");
  if (auto ok = Load(); !ok) return std::unexpected(ok.error());
  doc.reset();
  pugi::xml_node lenex = doc.append_child("LENEX");
  Attr(lenex, "version", "3.0");
  pugi::xml_node constructor = lenex.append_child("CONSTRUCTOR");
  Attr(constructor, "name", "meetdesk");
  const std::string owner = Trim(meet_.settings.meetName);
  Attr(constructor, "registration", owner.empty() ? std::string("meetdesk") : owner);
  Attr(constructor, "version", MeetdeskBuildVersion());
  Attr(constructor.append_child("CONTACT"), "email", kLenexContactEmail);
  pugi::xml_node meetNode = lenex.append_child("MEETS").append_child("MEET");
  const std::string name = Trim(meet_.settings.meetName), abbrev = Trim(meet_.settings.meetAbbrev);
  Attr(meetNode, "name", name.empty() ? abbrev : name);
  Attr(meetNode, "city", Trim(meet_.settings.venue));
  Attr(meetNode, "nation", "JPN");
  Attr(meetNode, "course", course_);
  if (table_) {
    pugi::xml_node pt = meetNode.append_child("POINTTABLE");
    Attr(pt, "name", "World Aquatics Points");
    std::string version = table_->version;
    if (version.empty() && IsCalendarDate(meet_.settings.meetDateFrom)) version = Num(meet_.settings.meetDateFrom / 10000);
    Attr(pt, "version", version.empty() ? std::string("-") : version);
  }
  Events(meetNode);
  Clubs(meetNode);
  return counts_;
}

}  // namespace

Result<LenexCounts> BuildLenexDocument(pugi::xml_document& doc, const MeetFiles& meet, const LenexExportOptions& options) {
  Builder builder(meet, options);
  return builder.Build(doc);
}

namespace {
struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};
}  // namespace

std::string LenexText(const pugi::xml_document& doc) {
  StringWriter w;
  w.out.reserve(1 << 20);
  doc.save(w, "  ", pugi::format_default | pugi::format_no_declaration, pugi::encoding_utf8);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + w.out;
}

}  // namespace meet
