#include "results/points_tally.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <unordered_map>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "print/print_sources.h"
#include "print/results_print.h"
#include "race/record_standings.h"
#include "race/standards_check.h"
#include "records/shikaku_layout.h"

namespace meet {

namespace {

constexpr int kPlacesCredited = 20;
constexpr int32_t kSpecialCodes = 666666;    // and above: no place
constexpr int32_t kLastSwimTime = 595899;    // 参加 codes start above
constexpr int kFirstOwnEvent = 30, kLastOwnEvent = 44;
constexpr int kOwnEventMeetRecordBase = 220;  // as the confirmation's check: event e → record e + 220
constexpr int kMeetRecordClass = 31;

// One result of an event, with what the rankings ask of it.
struct Swim {
  ResultLine line;
  const Race* heat = nullptr;
  const Entry* entry = nullptr;
  std::string teamCode;
  int classValue = 0;  // age, or grade under the grade scheme
};

struct Placed {
  const Swim* swim = nullptr;
  int place = 0;
};

class Tallier {
 public:
  Tallier(const TallyInputs& in, const Settings& s, const TallyOptions& o)
      : in_(in), s_(s), o_(o), standings_(in.table, in.races, [this](int n) -> const Entry& { return EntryOf(n); }, s.classMode) {
    lanes_ = std::clamp<int>(s.laneCount, 1, 10);
    club_ = s.affiliationMode != "1" && s.affiliationMode != "2" && s.affiliationMode != "3";
    joint_ = s.seedingMode == "4";
  }

  void BuildTeams();
  void BuildRecordsList();
  void TallyPoints();
  void ApplyBonuses();
  TallyResult& result() { return out_; }

 private:
  bool IsRelay(int eventCode) const {
    if (eventCode >= 23 && eventCode <= 29) return true;
    if (eventCode < kFirstOwnEvent || eventCode > kLastOwnEvent) return false;
    return in_.events.extraRelayFlags[static_cast<size_t>(eventCode - kFirstOwnEvent)] == '1';
  }
  int Column(const std::string& sexCode, bool relay) const {
    const int sex = sexCode == "1" ? 0 : sexCode == "2" ? 1 : sexCode == "3" ? 2 : -1;
    return sex < 0 ? -1 : sex + (relay ? 3 : 0);
  }
  int16_t PlacePoints(int place, bool relay) const {
    if (place < 1 || place > kPlacesCredited) return 0;
    return (relay ? s_.pointsRelay : s_.pointsIndividual)[static_cast<size_t>(place - 1)];
  }
  int ClassValue(const Entry& e) const {
    if (s_.classMode == "2") return static_cast<int>(LeadingNumber(PrintedText(e.gradeCode)));
    return e.age;
  }
  bool InTalliedRange(const Swim& w) const {
    if (s_.classMode != "1" && s_.classMode != "2") return true;
    return w.classValue >= o_.nenreiFrom && w.classValue <= o_.nenreiTo;
  }
  bool EventTicked(int eventCode) const {
    return eventCode >= 1 && eventCode <= kTallyEvents && o_.events[static_cast<size_t>(eventCode - 1)];
  }
  const Entry& EntryOf(int n) const {
    if (n >= 1 && static_cast<size_t>(n) <= in_.entries.size()) return in_.entries[static_cast<size_t>(n - 1)];
    return empty_;
  }
  int TeamIndex(const std::string& code) const {
    auto it = teamIndex_.find(code);
    return it == teamIndex_.end() ? -1 : it->second;
  }
  void Add(int16_t& cell, int64_t value) {
    const int64_t sum = int64_t{cell} + value;
    const int64_t held = std::clamp<int64_t>(sum, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    if (held != sum) out_.saturated = true;
    cell = static_cast<int16_t>(held);
  }

  // The results of the program entry's heats, sorted by time, race and slot.
  std::vector<Swim> Swims(const ProgramEntry& pe, std::vector<Race>& heats) const;
  // The categories under 合同 that apply to the race.
  std::vector<const OptionalCategory*> Categories(const Race& race) const;
  // The rankings of one event: one without 合同; under 合同 one per matching
  // category, or a single one over every matching category for heats; none
  // when no category matches.
  // `outOfRange` (when given) gets the results that took no place only
  // because of the tallied range.
  void ForEachRanking(const Race& race, bool heats, const std::vector<Swim>& swims, int clubLimit, bool heatsRule,
                      const std::function<void(const std::vector<Placed>&)>& use,
                      std::vector<const Swim*>* outOfRange = nullptr) const;
  std::vector<Placed> Rank(const std::vector<Swim>& swims, const std::function<bool(const Swim&)>& inCategory,
                           int clubLimit, bool heatsRule, std::vector<const Swim*>* outOfRange) const;
  void RecordsOf(const ProgramEntry& pe, const Swim& w, int place, bool joint);

  const TallyInputs& in_;
  const Settings& s_;
  const TallyOptions& o_;
  int lanes_ = 8;
  bool club_ = true, joint_ = false;
  Entry empty_{};
  std::unordered_map<std::string, int> teamIndex_;
  // The records as they stand after the earlier races of the meet.
  RecordStandings standings_;
  TallyResult out_;
};

void Tallier::BuildTeams() {
  std::string previous;
  bool first = true;
  for (const Entry& e : in_.entries) {
    const std::string code = TeamCodeOf(e, s_.affiliationMode);
    if (!first && code == previous) continue;
    first = false;
    previous = code;
    // A team whose entries come in two separate runs keeps the one record of
    // its first run, so that it is credited and listed once.
    if (teamIndex_.contains(code)) continue;
    TeamRecord team;
    team.teamCode = code;
    team.teamPrefName = CutToWidth(e.prefName, 6);
    team.teamName = club_ ? e.affiliation : e.prefName;
    teamIndex_.emplace(code, static_cast<int>(out_.nyusho.teams.size()));
    out_.nyusho.teams.push_back(std::move(team));
  }
  out_.nyusho.tallied = true;
}

std::vector<Swim> Tallier::Swims(const ProgramEntry& pe, std::vector<Race>& heats) const {
  std::vector<Swim> swims;
  if (pe.firstRace < 1 || pe.firstRace > in_.races.raceCount()) return swims;
  std::vector<ResultLine> lines = CollectEventResults(in_.races, pe.firstRace, lanes_);
  heats.clear();
  heats.reserve(lines.size());
  for (const ResultLine& l : lines) heats.push_back(in_.races.race(l.race));
  swims.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    Swim w;
    w.line = lines[i];
    w.heat = &heats[i];
    w.entry = &EntryOf(heats[i].laneNo[static_cast<size_t>(lines[i].slot)]);
    w.teamCode = TeamCodeOf(*w.entry, s_.affiliationMode);
    w.classValue = ClassValue(*w.entry);
    swims.push_back(std::move(w));
  }
  return swims;
}

std::vector<const OptionalCategory*> Tallier::Categories(const Race& race) const {
  std::vector<const OptionalCategory*> out;
  for (const OptionalCategory& c : in_.categories) {
    if (c.catTitleOnly == "T") continue;
    if (c.catSex != "4" && c.catSex != race.sexCode) continue;
    if (race.eventCode < c.catEventFrom || race.eventCode > c.catEventTo) continue;
    out.push_back(&c);
  }
  return out;
}

std::vector<Placed> Tallier::Rank(const std::vector<Swim>& swims, const std::function<bool(const Swim&)>& inCategory,
                                  int clubLimit, bool heatsRule, std::vector<const Swim*>* outOfRange) const {
  std::vector<Placed> placed;
  std::unordered_map<std::string, int> count;
  int counter = 0, previousPlace = 0;
  int32_t previousTime = -1;
  for (const Swim& w : swims) {
    if (!inCategory(w)) continue;
    bool counts = w.line.time < kSpecialCodes;
    // Every result of a team raises its count, whether it counts or not.
    if (clubLimit != kNoClubLimit && ++count[w.teamCode] > clubLimit) counts = false;
    if (!counts) continue;
    if (!InTalliedRange(w)) {
      // A lane whose entry the entry file does not hold is no swimmer a
      // wider range would count.
      if (outOfRange && w.entry != &empty_) outOfRange->push_back(&w);
      continue;
    }
    ++counter;
    int place = counter;
    if (w.line.time == previousTime && !(heatsRule && counter == lanes_ + 1)) place = previousPlace;
    previousTime = w.line.time;
    previousPlace = place;
    placed.push_back(Placed{&w, place});
  }
  return placed;
}

void Tallier::ForEachRanking(const Race& race, bool heats, const std::vector<Swim>& swims, int clubLimit,
                             bool heatsRule, const std::function<void(const std::vector<Placed>&)>& use,
                             std::vector<const Swim*>* outOfRange) const {
  if (!joint_) {
    use(Rank(swims, [](const Swim&) { return true; }, clubLimit, heatsRule, outOfRange));
    return;
  }
  const std::vector<const OptionalCategory*> cats = Categories(race);
  auto within = [](const OptionalCategory* c, const Swim& w) { return w.classValue >= c->catFrom && w.classValue <= c->catTo; };
  if (cats.empty()) return;
  if (heats) {
    use(Rank(swims, [&](const Swim& w) { return std::any_of(cats.begin(), cats.end(), [&](auto* c) { return within(c, w); }); },
             clubLimit, heatsRule, outOfRange));
    return;
  }
  for (const OptionalCategory* c : cats)
    use(Rank(swims, [&](const Swim& w) { return within(c, w); }, clubLimit, heatsRule, outOfRange));
}

void Tallier::BuildRecordsList() {
  std::vector<Race> heats;
  for (const ProgramEntry& pe : in_.program) {
    if (pe.orderNo == 0 || !EventTicked(pe.eventCode)) continue;
    if (o_.nenreiFrom > pe.ageTo || o_.nenreiTo < pe.ageFrom) continue;
    const std::vector<Swim> swims = Swims(pe, heats);
    if (swims.empty()) continue;
    const Race first = in_.races.race(pe.firstRace);
    ForEachRanking(first, pe.stageCode == "1", swims, kNoClubLimit, false, [&](const std::vector<Placed>& ranking) {
      for (const Placed& p : ranking)
        if (p.place >= 1 && p.place <= kPlacesCredited) RecordsOf(pe, *p.swim, p.place, joint_);
    });
  }
}

void Tallier::RecordsOf(const ProgramEntry& pe, const Swim& w, int place, bool joint) {
  const Race& race = *w.heat;
  const int32_t time = w.line.time;
  const int sex = race.sexCode == "1" ? 1 : race.sexCode == "2" ? 2 : race.sexCode == "3" ? 3 : 0;
  if (sex == 0 || time < 1 || time > kLastSwimTime) return;
  const bool relay = IsRelay(race.eventCode);
  const Entry& e = *w.entry;
  const std::string grade = RightAligned(TrimRight(e.gradeCode), 2);
  const int gradeNo = static_cast<int>(LeadingInt16(grade));
  const int classNo = CategoryNumber(e, s_.classMode);
  int reached = 0;

  auto cell = [&](int recordNo, int position) -> int32_t {
    if (recordNo < 1 || recordNo > shikaku_layout::kRecordCount || position < 1 || position > shikaku_layout::kCells)
      return 0;
    return in_.table.record(recordNo).cellTimes[static_cast<size_t>(position - 1)];
  };
  // A record of the kind's own records, else none (0).
  auto within = [](int kind, int recordNo) { return KindRecords(kind).contains(recordNo) ? recordNo : 0; };
  // A record (1..31) as it stands before this race, a standard (32..34) as stored.
  auto tryClass = [&](int recordClass, int recordNo, int position) {
    const int32_t stored = recordNo == 0 ? 0 : cell(recordNo, position);
    if (stored == 0) return;
    const bool standard = recordClass >= 32;
    if (standard ? time > stored : time >= stored) return;
    if (!standard && time >= standings_.Before(w.line.race, sex, race.eventCode, recordNo, position)) return;
    if (out_.records.size() >= 32767) return;
    BikoEntry b;
    b.raceEventNo = race.eventNo;
    b.heatNo = race.heatNo;
    b.sexCode = race.sexCode;
    b.classFrom = joint ? ClampToInt16(w.classValue) : race.classFrom;
    b.classTo = joint ? ClampToInt16(w.classValue) : race.classTo;
    b.eventCode = race.eventCode;
    b.relayFlag = std::string(1, relay ? '1' : '0');
    b.stageCode = race.roundCode;
    b.time = time;
    b.recordClass = static_cast<int16_t>(recordClass);
    b.place = static_cast<int16_t>(place);
    b.placePoints = PlacePoints(place, relay);
    b.reachedOrder = static_cast<int16_t>(++reached);
    b.bonusValue = o_.bonus[static_cast<size_t>(recordClass - 1)];
    const size_t slot = static_cast<size_t>(w.line.slot);
    if (relay) {
      const int rec = race.relayRec;
      if (rec >= 1 && static_cast<size_t>(rec) <= in_.relayBlocks.size())
        for (int leg = 0; leg < 4; ++leg)
          b.members[static_cast<size_t>(leg)] = in_.relayBlocks[static_cast<size_t>(rec - 1)].member(leg, static_cast<int>(slot));
    } else {
      b.members[0] = race.laneNo[slot];
    }
    b.teamCode = w.teamCode;
    b.dayNo = pe.dayNo;
    out_.records.push_back(std::move(b));
  };

  if (race.eventCode >= kFirstOwnEvent && race.eventCode <= kLastOwnEvent) {
    // The meet's own events hold only their meet record.
    tryClass(kMeetRecordClass, race.eventCode + kOwnEventMeetRecordBase, (sex - 1) * shikaku_layout::kEventsPerSex + 1);
    return;
  }
  const int t = TablePosition(sex, race.eventCode);
  if (t == 0) return;
  const char school = grade[0];
  for (int c = 1; c <= 30; ++c) {
    const int step = (c - 1) % 5;  // 0 無差別, 1 大学, 2 高校, 3 中学, 4 学童
    if (step != 0 && school != "04321"[step]) continue;
    tryClass(c, 140 + c, t);
  }
  tryClass(31, within(kKindMeet, 170 + classNo), t);
  tryClass(32, within(kKindStandard1, 270 + e.age), t);
  tryClass(33, within(kKindStandard2, 370 + gradeNo), t);
  tryClass(34, within(kKindStandard4, 470 + classNo), t);
}

void Tallier::TallyPoints() {
  std::vector<Race> heatRaces;
  const bool heatsScore = s_.pointsIndividual[static_cast<size_t>(lanes_)] != 0;  // place lanes + 1
  for (const ProgramEntry& pe : in_.program) {
    if (pe.orderNo == 0 || !EventTicked(pe.eventCode)) continue;
    const bool heats = pe.stageCode == "1";
    if (heats && !heatsScore) continue;
    const std::vector<Swim> swims = Swims(pe, heatRaces);
    if (swims.empty()) continue;
    const Race first = in_.races.race(pe.firstRace);
    const bool relay = IsRelay(first.eventCode);
    const int column = Column(first.sexCode, relay);
    std::vector<const Swim*> outOfRange;
    ForEachRanking(first, heats, swims, o_.clubLimit, heats, [&](const std::vector<Placed>& ranking) {
      for (const Placed& p : ranking) {
        if (p.place > kPlacesCredited || (heats && p.place <= lanes_)) continue;
        const int team = TeamIndex(p.swim->teamCode);
        if (team < 0 || column < 0) continue;
        TeamRecord& rec = out_.nyusho.teams[static_cast<size_t>(team)];
        Add(rec.at(p.place, column), 1);
        Add(rec.at(0, column), PlacePoints(p.place, relay));
        ++out_.credited;
      }
    }, &outOfRange);
    // Under 合同 a swim can be left out of several categories: it counts once.
    std::sort(outOfRange.begin(), outOfRange.end());
    outOfRange.erase(std::unique(outOfRange.begin(), outOfRange.end()), outOfRange.end());
    for (const Swim* w : outOfRange) out_.leftOutValues.Add(w->classValue);
    out_.leftOut += static_cast<int>(outOfRange.size());
  }
}

void Tallier::ApplyBonuses() {
  for (const BikoEntry& b : out_.records) {
    if (b.reachedOrder != 1 || b.stageCode != "2" || b.placePoints == 0) continue;
    const int team = TeamIndex(b.teamCode);
    const int column = Column(b.sexCode, b.relayFlag == "1");
    if (team < 0 || column < 0) continue;
    const int64_t bonus = o_.bonusMode == BonusMode::Rate ? (int64_t{b.bonusValue} - 1) * b.placePoints : b.bonusValue;
    Add(out_.nyusho.teams[static_cast<size_t>(team)].at(0, column), bonus);
  }
}

}  // namespace

std::string TeamCodeOf(const Entry& entry, const std::string& affiliationMode) {
  const bool club = affiliationMode != "1" && affiliationMode != "2" && affiliationMode != "3";
  return club ? LeftChars(entry.regNo, 5) : LeftChars(entry.regNo, 2) + "000";
}

Result<TallyInputs> TallyInputs::Load(const std::filesystem::path& meetFolder, const Settings& settings) {
  TallyInputs in;
  if (auto entries = EntryFile::OpenForReading(EntryFilePath(settings.entryFolder, settings.entryFileName))) {
    const int32_t held = entries->entriesHeld();
    in.entries.reserve(static_cast<size_t>(std::max(0, held)));
    for (int32_t n = 1; n <= held; ++n) in.entries.push_back(entries->Load(n));
    in.events = entries->Events();
  } else {
    return std::unexpected(entries.error());
  }
  auto program = LoadProgramEntries(meetFolder);
  if (!program) return std::unexpected(program.error());
  in.program = std::move(*program);
  auto races = RaceFileImage::Load(meetFolder);
  if (!races) return std::unexpected(races.error());
  in.races = std::move(*races);
  // Without the entries no team can be formed, and a tally would leave the
  // points tables empty: nothing is written then.
  const std::string entryPath = EntryFilePath(settings.entryFolder, settings.entryFileName).string();
  for (int r = 1; r <= in.races.raceCount(); ++r) {
    const Race race = in.races.race(r);
    for (size_t k = 0; k < race.laneNo.size(); ++k) {
      if (race.laneNo[k] == 0 || (race.laneNo[k] > 0 && static_cast<size_t>(race.laneNo[k]) <= in.entries.size())) continue;
      return Fail(ErrorKind::Refused, in.entries.empty()
                                          ? "申込ファイル " + entryPath + " に申込がないか読めないため、集計しません（nyusho.dat と biko.dat はそのままです）。"
                                          : "レース " + NumberText(r) + " の " + NumberText(static_cast<int64_t>(k) + 1) +
                                                " 番目の枠の申込番号 " + NumberText(race.laneNo[k]) + " が申込ファイル " + entryPath +
                                                " にないため、集計しません（nyusho.dat と biko.dat はそのままです）。");
    }
  }
  if (auto relays = RelayFile::OpenForReading(meetFolder)) {
    for (int b = 1; b <= relays->relayCount(); ++b) in.relayBlocks.push_back(relays->Read(b));
  }
  in.categories = ReadOptionalCategories(meetFolder);
  auto table = LoadShikaku(meetFolder);
  if (!table) return std::unexpected(table.error());
  in.table = std::move(*table);
  return in;
}

TallyResult Tally(const TallyInputs& inputs, const Settings& settings, const TallyOptions& options,
                  const DateTime& now) {
  Tallier t(inputs, settings, options);
  t.BuildTeams();
  t.BuildRecordsList();
  t.TallyPoints();
  t.ApplyBonuses();
  TallyResult& out = t.result();
  out.nyusho.tallyDate = DateSlashed(now);
  out.nyusho.tallyTime = TimeColons(now);
  return std::move(out);
}

std::string LeftOutNote(const TallyOptions& options, const TallyResult& result) {
  if (result.leftOut == 0) return {};
  const ValueSpan& v = result.leftOutValues;
  return "集計区分 " + RangeText(options.nenreiFrom, options.nenreiTo) + " の外のため " + NumberText(result.leftOut) +
         " 件を数えていません（" + RangeText(v.CoveringFrom(options.nenreiFrom), v.CoveringTo(options.nenreiTo)) +
         " で数えます）。";
}

Result<TallyResult> RunTally(const std::filesystem::path& meetFolder, const Settings& settings,
                             const TallyOptions& options, const Clock& clock) {
  auto inputs = TallyInputs::Load(meetFolder, settings);
  if (!inputs) return std::unexpected(inputs.error());
  TallyResult result = Tally(*inputs, settings, options, clock.Now());
  const std::string biko = BikoFileBytes(result.records), nyusho = NyushoFileBytes(result.nyusho);
  if (auto ok = WriteWholeFiles({{FindFile(meetFolder, kBikoFileName), biko}, {FindFile(meetFolder, kNyushoFileName), nyusho}});
      !ok)
    return std::unexpected(ok.error());
  return result;
}

}  // namespace meet
