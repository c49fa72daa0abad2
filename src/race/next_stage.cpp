#include "race/next_stage.h"

#include <algorithm>
#include <optional>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "core/time_code.h"
#include "data/race_layout.h"
#include "data/race_states.h"
#include "print/program_print.h"
#include "race/frm_race_screen.h"  // SaveRaceKeepingSpares
#include "race/race_sheets.h"
#include "race/timing_post.h"   // PostCopies

namespace meet {

namespace {

constexpr int16_t kOpenSwimmer = 99;  // record class of an exhibition swim
constexpr int kLaneSlots = 10;
constexpr int kFirstAlternate = 10;

std::string RaceText(int n) { return "レース " + NumberText(n); }

// The races of the file as race buffer B holds them, read as they are asked for.
class Races {
 public:
  static Result<Races> Open(const std::filesystem::path& meetFolder) {
    auto file = RecordFile::Open(FindFile(meetFolder, kRaceFileName), race_layout::kRecordLength,
                                 RecordFile::Mode::ReadOnly);
    if (!file) return std::unexpected(file.error());
    return Races(std::move(*file), ReadRaceCount(meetFolder));
  }
  int count() const { return count_; }
  Race at(int n) const { return RaceFromRecord(file_.Read(n + 10), false); }

 private:
  Races(RecordFile file, int count) : file_(std::move(file)), count_(count) {}
  RecordFile file_;
  int count_;
};

bool SameEvent(const Race& a, const Race& b) {
  return a.sexCode == b.sexCode && a.classFrom == b.classFrom && a.classTo == b.classTo && a.eventCode == b.eventCode;
}

// The races of race n's stage: n − heat + 1 .. n − heat + heat count, within the file.
std::pair<int, int> StageOf(int n, const Race& race, int count) {
  const int heat = std::max<int>(race.heatNo, 1);
  const int first = std::clamp(n - heat + 1, 1, count);
  const int last = std::clamp(first + std::max<int>(race.heatTotal, 1) - 1, first, count);
  return {first, last};
}

bool HoldsResult(const Race& race) {
  for (size_t k = 0; k < race.laneNo.size(); ++k)
    if (race.laneNo[k] != 0 && (race.laneTime[k] != 0 || race.laneRank[k] != 0)) return true;
  return false;
}

bool IsConfirmed(char state) { return state == kStateChanged || state == kStatePrinted; }
bool IsTimedOrConfirmed(char state) { return state == kStateTimingWaiting || IsConfirmed(state); }

int PoolLanes(const Settings& settings) { return std::clamp<int>(settings.laneCount, 4, 10); }

// The slot of pattern position p, or −1 for nobody.
int PatternSlot(const std::string& pattern, size_t p) {
  if (p >= pattern.size()) return -1;
  const char c = pattern[p];
  if (c == '0') return -1;
  const int lane = c >= 'A' ? c - 'A' + 10 : c - '0';
  return lane - 1;
}

// The lanes the pattern fills before its alternates.
size_t LanePositions(const std::string& pattern) {
  const size_t b = pattern.find('B');
  return b == std::string::npos ? pattern.size() : b;
}

void ClearLane(Race& race, size_t k) {
  race.laneTime[k] = 0;
  race.laneRank[k] = 0;
  race.openLevel[k] = 0;
  race.ageLevel[k] = 0;
  race.laneRecordClass[k] = 0;
  race.standardFlags[k] = '\0';
}

std::vector<RankedSwimmer> RankHeats(const Races& races, int first, int last, int lanes) {
  std::vector<RankedSwimmer> ranking;
  for (int r = first; r <= last; ++r) {
    const Race heat = races.at(r);
    for (size_t k = 0; k < static_cast<size_t>(lanes); ++k) {
      const int32_t t = heat.laneTime[k];
      if (heat.laneNo[k] <= 0 || t <= 0 || t >= kParticipation || heat.laneRecordClass[k] == kOpenSwimmer) continue;
      ranking.push_back({heat.laneNo[k], t});
    }
  }
  // By time, then by entry number: the order of the text keys time + 1000000
  // and entry + 10000 sorted as texts.
  std::stable_sort(ranking.begin(), ranking.end(), [](const RankedSwimmer& a, const RankedSwimmer& b) {
    return a.time != b.time ? a.time < b.time : a.entryNo < b.entryNo;
  });
  return ranking;
}

// Tied groups across the last lane and the first and second alternate.
std::vector<SwimOff> FindSwimOffs(const std::vector<RankedSwimmer>& ranking, const std::string& pattern) {
  std::vector<SwimOff> out;
  const size_t n = LanePositions(pattern);
  std::optional<int32_t> reported;
  for (size_t b : {n, n + 1}) {
    if (b == 0 || b >= ranking.size() || ranking[b - 1].time != ranking[b].time) continue;
    const int32_t time = ranking[b].time;
    if (reported == time) continue;
    reported = time;
    SwimOff s;
    s.time = time;
    for (size_t p = 0; p < ranking.size(); ++p) {
      if (ranking[p].time != time) continue;
      s.swimmers.push_back(ranking[p]);
      s.places.push_back(PatternSlot(pattern, p));
    }
    out.push_back(std::move(s));
  }
  return out;
}

std::string EntryText(int16_t entryNo, const PrintSources& sources) {
  if (entryNo == 0) return "空き";
  std::string text = NumberText(entryNo);
  if (auto e = sources.entry(entryNo)) {
    const std::string name = Trim(PrintedName(e->swimmerName));
    if (!name.empty()) text += " " + name;
  }
  return text;
}

}  // namespace

std::string LanePattern(int lanes, int lanesUsed) {
  static const char* const kPatterns[] = {"2314BC000000", "34251BC00000", "342516BC0000", "4536271BC000",
                                          "45362718BC00", "564738291BC0", "564738291ABC"};
  lanes = std::clamp(lanes, 4, 10);
  std::string pattern = kPatterns[lanes - 4];
  if (lanesUsed <= 0 || lanesUsed > lanes) lanesUsed = lanes;
  for (size_t p = static_cast<size_t>(lanesUsed); p < pattern.size(); ++p) pattern[p] = '0';
  pattern[static_cast<size_t>(lanesUsed)] = 'B';
  if (static_cast<size_t>(lanesUsed) + 1 < pattern.size()) pattern[static_cast<size_t>(lanesUsed) + 1] = 'C';
  return pattern;
}

namespace {

// The last race of the stage before race n's: the last earlier race of the
// same event, as long as it is no final. 0 when there is none.
int StageBefore(const Races& races, int n, const Race& race) {
  for (int r = StageOf(n, race, races.count()).first - 1; r >= 1; --r) {
    const Race candidate = races.at(r);
    if (!SameEvent(candidate, race)) continue;
    return candidate.roundCode == "2" ? 0 : r;
  }
  return 0;
}

// The next stage of the heats that race `lastOfHeats` belongs to.
Result<NextStage> PlanFromHeats(const std::filesystem::path& meetFolder, const Settings& settings, const Races& races,
                                int lastOfHeats) {
  const int count = races.count();
  NextStage out;
  const Race lastHeat = races.at(lastOfHeats);
  std::tie(out.firstHeat, out.lastHeat) = StageOf(lastOfHeats, lastHeat, count);
  for (int r = out.lastHeat + 1; r <= count && out.race == 0; ++r) {
    Race candidate = races.at(r);
    if (SameEvent(candidate, lastHeat)) {
      out.race = r;
      out.current = std::move(candidate);
    }
  }
  if (out.race == 0)
    return Fail(ErrorKind::NotFound, RaceText(out.lastHeat) + ": 次のラウンドのレースがないため、組分けしていません。");

  auto states = RaceStates::Read(meetFolder);
  if (!states) return std::unexpected(states.error());
  for (int r = out.firstHeat; r <= out.lastHeat; ++r)
    if (!IsConfirmed(states->state(r))) out.heatsNotConfirmed.push_back(r);
  out.holdsResult = HoldsResult(out.current) || IsTimedOrConfirmed(states->state(out.race));

  const int lanes = PoolLanes(settings);
  out.ranking = RankHeats(races, out.firstHeat, out.lastHeat, lanes);
  const std::string pattern = LanePattern(lanes, settings.laneCountUsed);
  out.seeded = out.current;
  out.seeded.laneNo.fill(0);
  out.seeded.laneEntryTime.fill(0);
  for (size_t p = 0; p < pattern.size() && p < out.ranking.size(); ++p) {
    const int slot = PatternSlot(pattern, p);
    if (slot < 0) continue;
    out.seeded.laneNo[static_cast<size_t>(slot)] = out.ranking[p].entryNo;
    out.seeded.laneEntryTime[static_cast<size_t>(slot)] = out.ranking[p].time;
  }
  for (size_t k = 0; k < out.seeded.laneNo.size(); ++k) {
    if (out.seeded.laneNo[k] == out.current.laneNo[k]) continue;
    ClearLane(out.seeded, k);
    out.changes.push_back({static_cast<int>(k), out.current.laneNo[k], out.seeded.laneNo[k]});
  }
  out.swimOffs = FindSwimOffs(out.ranking, pattern);
  return out;
}

}  // namespace

Result<NextStage> PlanNextStage(const std::filesystem::path& meetFolder, const Settings& settings, int race) {
  auto opened = Races::Open(meetFolder);
  if (!opened) return std::unexpected(opened.error());
  const Races& races = *opened;
  const int count = races.count();
  if (race < 1 || race > count)
    return Fail(ErrorKind::NotFound, RaceText(race) + " はレースファイルにありません（" + NumberText(count) + " レース）。");
  const Race given = races.at(race);
  if (given.roundCode != "2") return PlanFromHeats(meetFolder, settings, races, StageOf(race, given, count).second);
  const int before = StageBefore(races, race, given);
  if (before == 0)
    return Fail(ErrorKind::NotFound, RaceText(race) + " は決勝で、その前のラウンドがないため、組分けできません。");
  return PlanFromHeats(meetFolder, settings, races, before);
}

Result<NextStage> SeedNextStage(const std::filesystem::path& meetFolder, const Settings& settings, int race) {
  auto plan = PlanNextStage(meetFolder, settings, race);
  if (!plan) return plan;
  if (!plan->heatsNotConfirmed.empty()) {
    std::string heats;
    for (int r : plan->heatsNotConfirmed) heats += (heats.empty() ? "" : "、") + RaceText(r);
    return Fail(ErrorKind::Refused, "前のラウンドに確定していないレースがあるため、" + RaceText(plan->race) +
                                        " は組分けしていません: " + heats);
  }
  if (plan->holdsResult)
    return Fail(ErrorKind::Refused, RaceText(plan->race) + " には記録があるため、組分けし直しません。");
  const bool same = RecordFromRace(plan->seeded, false).bytes() == RecordFromRace(plan->current, false).bytes();
  if (!same) {
    if (auto ok = SaveRaceKeepingSpares(meetFolder, plan->race, plan->seeded); !ok) return std::unexpected(ok.error());
    plan->written = true;
  }
  return plan;
}

bool NextStageAgrees(const NextStage& stage, int lanes, int lanesUsed) {
  const std::string pattern = LanePattern(lanes, lanesUsed);
  const size_t n = LanePositions(pattern);
  const std::vector<RankedSwimmer>& k = stage.ranking;
  const Race& race = stage.current;
  auto rankOf = [&](int16_t entry) -> std::optional<size_t> {
    for (size_t i = 0; i < k.size(); ++i)
      if (k[i].entryNo == entry) return i;
    return std::nullopt;
  };
  auto present = [&](int16_t entry) {
    return std::find(race.laneNo.begin(), race.laneNo.end(), entry) != race.laneNo.end();
  };
  std::vector<size_t> substitutes;
  std::vector<bool> patternSlot(race.laneNo.size(), false);
  for (size_t p = 0; p < n; ++p) {
    const int slot = PatternSlot(pattern, p);
    if (slot < 0) continue;
    patternSlot[static_cast<size_t>(slot)] = true;
    const int16_t actual = race.laneNo[static_cast<size_t>(slot)];
    const int16_t expected = p < k.size() ? k[p].entryNo : int16_t{0};
    if (actual == expected) continue;
    // A withdrawn swimmer's lane taken by a swimmer ranked after the lanes.
    const auto r = rankOf(actual);
    if (expected == 0 || actual == 0 || present(expected) || !r || *r < n) return false;
    substitutes.push_back(*r);
  }
  for (size_t slot = 0; slot < static_cast<size_t>(kLaneSlots); ++slot)
    if (!patternSlot[slot] && race.laneNo[slot] != 0) return false;
  // The substitutes are the swimmers right after the lanes, the alternates the next two.
  std::sort(substitutes.begin(), substitutes.end());
  for (size_t i = 0; i < substitutes.size(); ++i)
    if (substitutes[i] != n + i) return false;
  for (size_t a = 0; a < 2; ++a) {
    const size_t want = n + substitutes.size() + a;
    const int16_t expected = want < k.size() ? k[want].entryNo : int16_t{0};
    if (race.laneNo[kFirstAlternate + a] != expected) return false;
  }
  return true;
}

Result<std::optional<Substitution>> PlanAlternateIn(const std::filesystem::path& meetFolder, const Settings& settings,
                                                    int race, const Race& shown, int slot) {
  using None = std::optional<Substitution>;
  if (slot < 0 || slot >= kLaneSlots || shown.laneNo[static_cast<size_t>(slot)] == 0 ||
      shown.laneNo[kFirstAlternate] == 0 || shown.roundCode == "1")
    return None{};
  // Other withdrawals typed before the race do not make it swum.
  for (size_t k = 0; k < shown.laneNo.size(); ++k)
    if (static_cast<int>(k) != slot && shown.laneNo[k] != 0 && shown.laneTime[k] != kWithdrawn &&
        (shown.laneTime[k] != 0 || shown.laneRank[k] != 0))
      return None{};
  auto states = RaceStates::Read(meetFolder);
  if (!states) return std::unexpected(states.error());
  if (IsTimedOrConfirmed(states->state(race)) && states->state(race) != kStateChanged) return None{};

  // The heats' ranking gives the next alternate; without heats there is none.
  std::vector<RankedSwimmer> ranking;
  if (auto races = Races::Open(meetFolder)) {
    const int first = StageOf(race, shown, races->count()).first;
    if (const int before = StageBefore(*races, race, shown); before != 0)
      if (auto plan = PlanFromHeats(meetFolder, settings, *races, before); plan && plan->race == first)
        ranking = plan->ranking;
  }

  Substitution s;
  s.race = shown;
  Race& r = s.race;
  const size_t lane = static_cast<size_t>(slot);
  r.laneNo[lane] = r.laneNo[kFirstAlternate];
  r.laneEntryTime[lane] = r.laneEntryTime[kFirstAlternate];
  r.laneNo[kFirstAlternate] = r.laneNo[kFirstAlternate + 1];
  r.laneEntryTime[kFirstAlternate] = r.laneEntryTime[kFirstAlternate + 1];
  r.laneNo[kFirstAlternate + 1] = 0;
  r.laneEntryTime[kFirstAlternate + 1] = 0;
  // The next swimmer of the ranking after the last one in the race.
  std::optional<size_t> lastIn;
  for (size_t i = 0; i < ranking.size(); ++i)
    if (std::find(r.laneNo.begin(), r.laneNo.end(), ranking[i].entryNo) != r.laneNo.end()) lastIn = i;
  const size_t from = lastIn ? *lastIn + 1 : ranking.size();
  for (size_t i = from; i < ranking.size(); ++i) {
    if (ranking[i].entryNo == shown.laneNo[lane]) continue;
    r.laneNo[kFirstAlternate + 1] = ranking[i].entryNo;
    r.laneEntryTime[kFirstAlternate + 1] = ranking[i].time;
    break;
  }
  for (size_t k = 0; k < r.laneNo.size(); ++k) {
    if (r.laneNo[k] == shown.laneNo[k]) continue;
    ClearLane(r, k);
    s.changes.push_back({static_cast<int>(k), shown.laneNo[k], r.laneNo[k]});
  }
  return std::optional<Substitution>(std::move(s));
}

std::string SlotText(int slot) {
  if (slot == kFirstAlternate) return "補欠１";
  if (slot == kFirstAlternate + 1) return "補欠２";
  if (slot < 0) return "選外";
  return NumberText(slot + 1) + "コース";
}

std::vector<std::string> LaneChangeLines(const std::vector<LaneChange>& changes, const PrintSources& sources) {
  std::vector<std::string> lines;
  for (const LaneChange& c : changes)
    lines.push_back(SlotText(c.slot) + ": " + EntryText(c.before, sources) + " → " + EntryText(c.after, sources));
  return lines;
}

std::vector<std::string> SwimOffLines(const NextStage& stage, const PrintSources& sources) {
  std::vector<std::string> lines;
  for (const SwimOff& s : stage.swimOffs) {
    std::string line = "同記録 " + Trim(FormatTime(s.time)) + "（" + RaceText(stage.race) + "）: ";
    for (size_t i = 0; i < s.swimmers.size(); ++i)
      line += (i ? "、" : "") + EntryText(s.swimmers[i].entryNo, sources) + " " + SlotText(s.places[i]);
    line += "（同記録は申込番号の順に決めました。スイムオフが要るか確かめてください）";
    lines.push_back(std::move(line));
  }
  return lines;
}

Status PrintSwimOffNotice(Printer& printer, const std::string& heading, const NextStage& stage,
                          const PrintSources& sources) {
  constexpr int kTop = 500, kHeadingX = 1000, kLineX = 1500, kSlotX = 6500;
  printer.SetDocumentName(RaceDocument("同記録の通知", "swimoff", stage.race));
  printer.SetFont(PrintFont{kMincho, 13, false});
  printer.SetY(kTop);
  printer.PrintAt(kHeadingX, heading);
  printer.NextLine();
  printer.NextLine();
  for (const SwimOff& s : stage.swimOffs) {
    printer.PrintAt(kHeadingX, "同記録 " + Trim(FormatTime(s.time)) + "（" + RaceText(stage.race) + " の組分け）");
    printer.NextLine();
    for (size_t i = 0; i < s.swimmers.size(); ++i) {
      printer.PrintAt(kLineX, EntryText(s.swimmers[i].entryNo, sources));
      printer.PrintAt(kSlotX, SlotText(s.places[i]));
      printer.NextLine();
    }
    printer.NextLine();
  }
  printer.PrintAt(kHeadingX, "同記録は申込番号の順に決めました。スイムオフが要るか確かめてください。");
  printer.NextLine();
  printer.SetFontSize(11);
  return printer.EndDoc();
}

std::string SeededText(const NextStage& stage) {
  int lanes = 0, alternates = 0;
  for (size_t k = 0; k < stage.seeded.laneNo.size(); ++k)
    if (stage.seeded.laneNo[k] != 0) ++(k < static_cast<size_t>(kLaneSlots) ? lanes : alternates);
  std::string from = stage.firstHeat == stage.lastHeat ? RaceText(stage.firstHeat)
                                                        : RaceText(stage.firstHeat) + "～" + NumberText(stage.lastHeat);
  return RaceText(stage.race) + "（" + RoundName(stage.seeded.roundCode) + " " + NumberText(stage.seeded.heatNo) +
         "組）を" + from + " から組分けしました（" + NumberText(lanes) + " 名、補欠 " + NumberText(alternates) + " 名）。";
}

Result<OnDemandSeeding> SeedNextStageOnDemand(const MeetFiles& meet, int race) {
  auto stage = SeedNextStage(meet.meetFolder, meet.settings, race);
  if (!stage) return std::unexpected(stage.error());
  OnDemandSeeding out{std::move(*stage), {}, {}};
  const PrintSources sources(meet);
  if (out.stage.written) {
    out.lines.push_back(SeededText(out.stage));
    for (const std::string& line : LaneChangeLines(out.stage.changes, sources)) out.lines.push_back("  " + line);
  } else {
    out.lines.push_back(RaceText(out.stage.race) + " の組分けは前のラウンドの結果のとおりです（変わりません）。");
  }
  for (std::string& line : SwimOffLines(out.stage, sources)) out.lines.push_back(std::move(line));
  return out;
}

SeededPrintout PrintSeededStage(Platform& platform, const MeetFiles& meet, const NextStage& stage) {
  SeededPrintout out;
  const Race& race = stage.seeded;
  const int sheets = std::max(1, PostCopies(meet.settings, race.roundCode, 3, 8, 13));
  if (auto ok = PrintRaceSheet(platform, meet, stage.race, race, sheets); !ok)
    out.failures.push_back(ok.error().message);
  else
    out.printed.push_back("レース用紙 " + RaceText(stage.race) + " × " + NumberText(sheets));
  const int page = PageOfRace(meet.meetFolder, stage.race);
  if (page == 0) {
    out.printed.push_back(RaceText(stage.race) + " はプログラムのページにないため、ページは印刷していません。");
    return out;
  }
  const int copies = std::max(1, PostCopies(meet.settings, race.roundCode, 2, 7, 12));
  if (auto ok = PrintProgramPages(platform, meet, page, page, copies, false); !ok)
    out.failures.push_back(ok.error().message);
  else
    out.printed.push_back("プログラム " + NumberText(page) + " ページ × " + NumberText(copies));
  return out;
}

Result<OnDemandSeeding> SeedNextStageAtDesk(Platform& platform, const MeetFiles& meet, int race) {
  auto seeded = SeedNextStageOnDemand(meet, race);
  if (!seeded) return seeded;
  std::string text;
  for (const std::string& line : seeded->lines) text += (text.empty() ? "" : "\n") + line;
  if (!seeded->stage.written) {
    platform.dialogs.Notify(text);
    return seeded;
  }
  if (platform.dialogs.AskYesNo(text + "\n\n" + kAskPrintSeeded)) {
    // The seeding is written whatever the printer does; a sheet it could not
    // print is told with the seeding's lines.
    SeededPrintout printed = PrintSeededStage(platform, meet, seeded->stage);
    for (std::string& line : printed.printed) seeded->lines.push_back(std::move(line));
    seeded->printFailures = std::move(printed.failures);
  }
  return seeded;
}

}  // namespace meet
