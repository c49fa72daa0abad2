#include "results/ranking_list.h"

#include <algorithm>
#include <set>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"
#include "results/projun2_file.h"

namespace meet {

namespace {

constexpr int32_t kRankedUpTo = 666665;  // above: a special code, shown without a rank
constexpr int kRaceKeyBase = 1000000;
constexpr int kExhibition = 99;

bool InRange(int64_t value, int from, int to) { return value >= from && value <= to; }

bool DistanceMatches(int distance, int code) {
  static const std::vector<int> kCodes[] = {
      {}, {1, 8, 12, 16}, {2, 9, 13, 17}, {3, 10, 14, 18, 20, 23, 26}, {4, 11, 15, 19, 21, 24, 27},
      {5, 22, 25, 28}, {6, 29}, {7}};
  if (distance <= 0 || distance > 7) return true;
  const auto& codes = kCodes[distance];
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool StrokeMatches(int stroke, int code) {
  static constexpr int kFrom[] = {0, 1, 8, 12, 16, 20, 23, 26};
  static constexpr int kTo[] = {0, 7, 11, 15, 19, 22, 25, 29};
  if (stroke <= 0 || stroke > 7) return true;
  return code >= kFrom[stroke] && code <= kTo[stroke];
}

// The value a category's bounds are read against: the grade under the grade
// class mode, else the age.
int64_t BandValue(const Settings& settings, const Entry& entry) {
  if (settings.classMode == "2") return LeadingNumber(PrintedText(entry.gradeCode));
  return entry.age;
}

bool Masked(const Entry& entry, const RankingOptions& options) {
  return !options.unmask && entry.regNo.starts_with(kMaskPrefix);
}

// The parts joined by single blanks, the empty ones left out.
std::string Joined(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!out.empty()) out += ' ';
    out += part;
  }
  return out;
}

std::string Trimmed(std::string_view text) {
  size_t a = 0;
  while (a < text.size() && text[a] == ' ') ++a;
  return TrimRight(text.substr(a));
}

}  // namespace

std::string StageFilterCode(int stage) {
  switch (stage) {
    case kStageHeats: return "1";
    case kStageFinal: return "2";
    case kStageConsolation: return "4";
    case kStageSemi: return "3";
    default: return "";
  }
}

bool EventListed(const ProgramEntry& e, const RankingOptions& o) {
  if (e.orderNo == 0) return false;
  if (e.eventCode >= 30 && (o.distance != 0 || o.stroke != 0)) return false;
  if (e.eventCode < 30 && (!DistanceMatches(o.distance, e.eventCode) || !StrokeMatches(o.stroke, e.eventCode)))
    return false;
  const std::string stage = StageFilterCode(o.stage);
  if (!stage.empty() && e.stageCode != stage) return false;
  if (o.sex == 1 && e.sexCode != "1") return false;
  if (o.sex == 2 && e.sexCode != "2") return false;
  return true;
}

RankingRun::RankingRun(const MeetFiles& meet, const RankingOptions& options)
    : meet_(meet), options_(options), sources_(std::make_unique<PrintSources>(meet)) {}

Result<RankingRun> RankingRun::Start(const MeetFiles& meet, const RankingOptions& options) {
  RankingRun run(meet, options);
  auto races = RaceFileImage::Load(meet.meetFolder);
  if (!races) return std::unexpected(races.error());
  run.races_ = std::move(*races);
  // One read of the entry file; one that does not read whole is read entry
  // by entry as the printed lists do.
  if (auto image = LoadEntryFileImage(EntryFilePath(meet.settings.entryFolder, meet.settings.entryFileName)))
    run.entryImage_.emplace(std::move(*image));
  if (options.order == kOrderProgram) {
    for (int r = 1; r <= run.races_.raceCount(); ++r) run.items_.push_back(Item{{}, r});
    return run;
  }
  auto order = ProgramOrder::Load(meet.meetFolder);
  if (!order) return std::unexpected(order.error());
  if (options.order == kOrderEvent) {
    auto sorted = RebuildEventOrderFile(meet.meetFolder, *order);
    if (!sorted) return std::unexpected(sorted.error());
    for (EventOrderEntry& e : *sorted)
      if (EventListed(e.entry, options)) run.items_.push_back(Item{std::move(e.entry), 0});
  } else {
    for (int n = 1; n <= order->count(); ++n) {
      ProgramEntry e = order->Read(n);
      if (EventListed(e, options)) run.items_.push_back(Item{std::move(e), 0});
    }
  }
  if (meet.settings.seedingMode == "4")
    for (OptionalCategory& c : ReadOptionalCategories(meet.meetFolder))
      if (c.catTitleOnly != "T") run.categories_.push_back(std::move(c));
  return run;
}

std::string RankingRun::NextTitle() const {
  if (finished()) return {};
  const Item& item = items_[static_cast<size_t>(next_)];
  return options_.order == kOrderProgram ? RaceTitle(item.race) : EventTitle(item.entry);
}

std::vector<RankingBlock> RankingRun::Step() {
  if (finished()) return {};
  const Item item = items_[static_cast<size_t>(next_++)];
  if (options_.order == kOrderProgram) {
    RankingBlock block = ListRace(item.race);
    if (block.rows.empty()) return {};
    return {std::move(block)};
  }
  return RankEvent(item.entry);
}

std::string RankingRun::EventTitle(const ProgramEntry& e) const {
  std::string title = RightAligned(e.orderNo, 3) + " " +
                      Joined({SexName(e.sexCode), sources_->BandLabel(e.ageFrom, e.ageTo, e.eventCode),
                              sources_->EventText(e.eventCode), RoundName(e.stageCode)});
  if (options_.stage == kStageEntry) title += " （申込記録）";
  return title;
}

std::string RankingRun::RaceTitle(int raceNo) const {
  const Race race = races_.race(raceNo);
  return RightAligned(race.eventNo, 3) + " " +
         Joined({SexName(race.sexCode), sources_->EventText(race.eventCode), RoundName(race.roundCode)});
}

const Entry& RankingRun::EntryOf(int n) {
  auto it = entries_.find(n);
  if (it == entries_.end())
    it = entries_.emplace(n, entryImage_ ? entryImage_->Load(n) : sources_->entry(n).value_or(Entry{})).first;
  return it->second;
}

bool RankingRun::EntryHeld(int n) const {
  if (entryImage_) return n >= 1 && n <= entryImage_->count();
  return sources_->entry(n).has_value();
}

RankingRun::Filtered RankingRun::Filter(const Race& heat, int slot, const Entry& entry, int position) const {
  const size_t k = static_cast<size_t>(slot);
  const RankingOptions& o = options_;
  if (o.records && heat.laneRecordClass[k] == 0) return Filtered::Out;
  if (o.standards && LeadingNumber(std::string_view(&heat.standardFlags[k], 1)) == 0) return Filtered::Out;
  if (!InRange(heat.openLevel[k], o.openFrom, o.openTo)) return Filtered::Out;
  if (!InRange(heat.ageLevel[k], o.ageLevelFrom, o.ageLevelTo)) return Filtered::Out;
  if (position > o.maxRank) return Filtered::Out;
  const std::string prefix = Trimmed(o.regPrefix);
  if (!prefix.empty() && !entry.regNo.starts_with(prefix)) return Filtered::Out;
  if (!InRange(entry.age, o.ageFrom, o.ageTo)) return Filtered::OnlyByRange;
  if (!InRange(LeadingNumber(PrintedText(entry.gradeCode)), o.gradeFrom, o.gradeTo)) return Filtered::OnlyByRange;
  return Filtered::Listed;
}

std::string RankingRun::LeftOutNote() const {
  if (leftOut_ == 0) return {};
  const RankingOptions& o = options_;
  std::string ranges, covering;
  auto name = [&](const char* label, int from, int to, const ValueSpan& values) {
    const int64_t wideFrom = values.CoveringFrom(from), wideTo = values.CoveringTo(to);
    if (wideFrom == from && wideTo == to) return;
    const std::string joint = ranges.empty() ? "" : "・";
    ranges += joint + label + " " + RangeText(from, to);
    covering += joint + label + " " + RangeText(wideFrom, wideTo);
  };
  name("年齢", o.ageFrom, o.ageTo, leftOutAges_);
  name("学年", o.gradeFrom, o.gradeTo, leftOutGrades_);
  return ranges + " の外のため " + NumberText(leftOut_) + " 件を載せていません（" + covering + " で載せます）。";
}

void RankingRun::AddRow(RankingBlock& block, int raceNo, const Race& heat, int slot, int32_t time, int rankShown, int position,
                        bool relay) {
  const size_t k = static_cast<size_t>(slot);
  const Entry& entry = EntryOf(heat.laneNo[k]);
  const bool masked = Masked(entry, options_);
  RankingRow row{raceNo, slot, time, rankShown, position, false, {}};
  auto& c = row.cells;
  c[0] = rankShown > 0 ? RightAligned(rankShown, 3) : std::string(3, ' ');
  c[1] = RightAligned(heat.heatNo, 3) + "-" + RightAligned(slot + 1, 2) + " ";
  c[2] = masked ? kMaskedName : PrintedName(entry.swimmerName);
  c[3] = masked ? kMaskedKana : PrintedText(entry.swimmerKana);
  c[4] = entry.age != 0 ? NumberText(entry.age) : std::string();
  c[5] = sources_->GradeText(entry.gradeCode);
  c[6] = PrintedName(entry.prefName);
  c[7] = masked ? kMaskedClub : PrintedName(entry.affiliation);
  c[8] = " " + FormatTime(time);
  c[9] = FlagText(heat.standardFlags[k]) + RecordClassAbbrev(heat.laneRecordClass[k]);
  c[10] = NumberOrBlank(heat.openLevel[k], 2);
  c[11] = NumberOrBlank(heat.ageLevel[k], 2);
  c[12] = PrintedText(entry.entryCode7);
  c[13] = PrintedText(entry.regNo);
  block.rows.push_back(std::move(row));
  if (!relay) return;
  const RelayBlock members = sources_->block(heat.relayRec);
  RankingRow line;
  line.member = true;
  line.race = raceNo;
  line.slot = slot;
  bool any = false;
  for (int leg = 0; leg < 4; ++leg) {
    const int n = members.member(leg, slot);
    if (n == 0) continue;
    const Entry& m = EntryOf(n);
    line.cells[static_cast<size_t>(kMemberColumns[static_cast<size_t>(leg)])] =
        Masked(m, options_) ? kMaskedName : PrintedName(m.swimmerName);
    any = true;
  }
  if (any) block.rows.push_back(std::move(line));
}

std::vector<RankingBlock> RankingRun::RankEvent(const ProgramEntry& e) {
  const int raceCount = races_.raceCount();
  const int first = e.firstRace;
  if (first < 1 || first > raceCount) return {};
  const int heats = std::max<int>(1, races_.race(first).heatTotal);
  const int last = static_cast<int>(std::min<int64_t>(raceCount, int64_t{first} + heats - 1));
  const int lanes = std::clamp<int>(meet_.settings.laneCount, 1, 12);
  const bool entryTimes = options_.stage == kStageEntry;

  // Every swimmer of the heats, sorted by time, then race, then lane.
  std::vector<std::string> keys;
  std::vector<Race> heatRaces;
  for (int r = first; r <= last; ++r) {
    heatRaces.push_back(races_.race(r));
    const Race& heat = heatRaces.back();
    for (int s = 0; s < lanes; ++s) {
      const size_t k = static_cast<size_t>(s);
      const int32_t time = entryTimes ? heat.laneEntryTime[k] : heat.laneTime[k];
      if (heat.laneNo[k] == 0 || time <= 0 || time >= kNoRecord || heat.laneRecordClass[k] == kExhibition) continue;
      keys.push_back(NumberText(int64_t{time} + 1000000) + NumberText(int64_t{r} * 100 + kRaceKeyBase + s));
    }
  }
  SortStrings(keys);
  struct Swim {
    int race, slot;
    int32_t time;
  };
  std::vector<Swim> swims;
  swims.reserve(keys.size());
  for (const std::string& key : keys) {
    const int64_t raceSlot = LeadingNumber(std::string_view(key).substr(7)) - kRaceKeyBase;
    swims.push_back(Swim{static_cast<int>(raceSlot / 100), static_cast<int>(raceSlot % 100),
                         static_cast<int32_t>(LeadingNumber(std::string_view(key).substr(0, 7)) - 1000000)});
  }

  // The lists: one per matching category under 合同 (and one for the
  // swimmers no category covers), otherwise one.
  struct List {
    std::string title;
    std::vector<const Swim*> swims;
  };
  std::vector<List> lists;
  const std::string title = EventTitle(e);
  std::vector<const OptionalCategory*> matching;
  for (const OptionalCategory& c : categories_)
    if ((c.catSex == "4" || c.catSex == e.sexCode) && e.eventCode >= c.catEventFrom && e.eventCode <= c.catEventTo)
      matching.push_back(&c);
  if (matching.empty()) {
    lists.push_back(List{title, {}});
    for (const Swim& s : swims) lists.back().swims.push_back(&s);
  } else {
    std::vector<bool> covered(swims.size(), false);
    for (const OptionalCategory* c : matching) {
      List list{title + " " + PrintedText(c->catName), {}};
      for (size_t i = 0; i < swims.size(); ++i) {
        const Race& heat = heatRaces[static_cast<size_t>(swims[i].race - first)];
        const int64_t value = BandValue(meet_.settings, EntryOf(heat.laneNo[static_cast<size_t>(swims[i].slot)]));
        if (value < c->catFrom || value > c->catTo) continue;
        list.swims.push_back(&swims[i]);
        covered[i] = true;
      }
      lists.push_back(std::move(list));
    }
    List rest{title, {}};  // listed rather than left off
    for (size_t i = 0; i < swims.size(); ++i)
      if (!covered[i]) rest.swims.push_back(&swims[i]);
    lists.push_back(std::move(rest));
  }

  const bool relay = sources_->IsRelay(e.eventCode);
  std::vector<RankingBlock> blocks;
  std::set<const Swim*> outOfRange;  // a swim left out of two category lists counts once
  for (const List& list : lists) {
    RankingBlock block{list.title, {}};
    int rank = 0;
    for (size_t j = 0; j < list.swims.size(); ++j) {
      const Swim& s = *list.swims[j];
      if (j == 0 || s.time != list.swims[j - 1]->time) rank = static_cast<int>(j) + 1;
      const Race& heat = heatRaces[static_cast<size_t>(s.race - first)];
      const int n = heat.laneNo[static_cast<size_t>(s.slot)];
      const Entry& entry = EntryOf(n);
      const Filtered filtered = Filter(heat, s.slot, entry, rank);
      // A lane whose entry the entry file does not hold is no swimmer a wider
      // range would list.
      if (filtered == Filtered::OnlyByRange && EntryHeld(n) && outOfRange.insert(&s).second) {
        ++leftOut_;
        leftOutAges_.Add(entry.age);
        leftOutGrades_.Add(LeadingNumber(PrintedText(entry.gradeCode)));
      }
      if (filtered != Filtered::Listed) continue;
      AddRow(block, s.race, heat, s.slot, s.time, s.time > kRankedUpTo ? 0 : rank, rank, relay);
    }
    if (!block.rows.empty()) blocks.push_back(std::move(block));
  }
  return blocks;
}

RankingBlock RankingRun::ListRace(int raceNo) {
  const Race race = races_.race(raceNo);
  const int lanes = std::clamp<int>(meet_.settings.laneCount, 1, 12);
  const bool relay = sources_->IsRelay(race.eventCode);
  RankingBlock block{RaceTitle(raceNo), {}};
  for (int s = 0; s < lanes; ++s) {
    const size_t k = static_cast<size_t>(s);
    if (race.laneNo[k] == 0) continue;
    AddRow(block, raceNo, race, s, race.laneTime[k], race.laneRank[k], race.laneRank[k], relay);
  }
  return block;
}

}  // namespace meet
