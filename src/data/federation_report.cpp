#include "data/federation_report.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/dates.h"
#include "core/file_names.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "data/meet_files.h"

namespace meet {

namespace {

constexpr int32_t kParticipationFirst = 595900;  // the first code shown as "参加"

std::string Digit(std::string_view code) {
  // A one-digit setting + 1 ("0" → "1"); a setting that is not a digit gives "1".
  return NumberText(LeadingNumber(code) + 1);
}

// The field as a value: characters below a blank made blanks, trimmed.
std::string CleanField(std::string_view text) { return Trim(ReportText(text)); }

std::string SlashedBirthDate(std::string_view regNo) {
  std::string digits = MidChars(regNo, 5, 8);
  return MidChars(digits, 0, 4) + "/" + MidChars(digits, 4, 2) + "/" + MidChars(digits, 6, 2);
}

// Values 11–14 (or 15–18 …) of one swimmer from `first` (0-based index).
void PutSwimmer(std::vector<std::string>& v, size_t first, const Entry& e) {
  v[first] = ReportText(e.entryCode7);
  v[first + 1] = ReportText(e.sexCode);
  v[first + 2] = ReportText(CleanName(e.swimmerName, 1));
  v[first + 3] = ReportText(SlashedBirthDate(e.regNo));
}

}  // namespace

bool HasResult(int32_t time) { return !Trim(FormatTime(time)).empty(); }

bool IsSplitTime(int32_t split) { return split > 0 && split < kParticipationFirst; }

std::string ReportText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ',') out += "，";
    else if (static_cast<unsigned char>(c) < 0x20) out += ' ';
    else out += c;
  }
  return out;
}

int SeasonYear(int32_t from) {
  int year = from / 10000, month = from / 100 % 100;
  return month < 4 ? year - 1 : year;
}

int MeetDayCount(int32_t from, int32_t to) {
  for (int day = 1; day <= 10; ++day)
    if (auto date = AddDays(from, day - 1); date && *date == to) return day;
  return 0;
}

std::string ReportStroke(int e) {
  if (e >= 1 && e <= 7) return "1";
  if (e >= 8 && e <= 11) return "2";
  if (e >= 12 && e <= 15) return "3";
  if (e >= 16 && e <= 19) return "4";
  if (e >= 20 && e <= 22) return "5";
  if (e >= 23 && e <= 25) return "7";
  if (e >= 26 && e <= 29) return "6";
  return "";
}

std::string ReportDistance(int e) {
  int d = 0;
  if (e >= 1 && e <= 7) d = e;
  else if (e >= 8 && e <= 11) d = e - 7;
  else if (e >= 12 && e <= 15) d = e - 11;
  else if (e >= 16 && e <= 19) d = e - 15;
  else if (e >= 20 && e <= 22) d = e - 17;
  else if (e >= 23 && e <= 25) d = e - 20;
  else if (e >= 26 && e <= 29) d = e - 23;
  return d ? NumberText(d) : "";
}

std::string ReportRegion(std::string_view regNo) {
  std::string two = LeftChars(regNo, 2);
  bool digits = two.size() == 2 && two[0] >= '0' && two[0] <= '9' && two[1] >= '0' && two[1] <= '9';
  int p = digits ? (two[0] - '0') * 10 + (two[1] - '0') : -1;
  if (p == 1) return "北海道";
  if (p >= 2 && p <= 7) return "東北";
  if (p >= 8 && p <= 15) return "関東";
  if (p >= 16 && p <= 20) return "北陸";
  if (p >= 21 && p <= 24) return "中部";
  if (p >= 25 && p <= 30) return "近畿";
  if (p >= 31 && p <= 35) return "中国";
  if (p >= 36 && p <= 39) return "四国";
  if (p >= 40 && p <= 47) return "九州";
  return "     ";
}

std::string ReportRecordName(int c) {
  static const char* const kLevels[] = {"世界", "アジア", "日本", "地方", "県", "地区"};
  static const char* const kSchools[] = {"", "大学", "高校", "中学", "学童"};
  if (c >= 1 && c <= 30) return std::string(kLevels[(c - 1) / 5]) + kSchools[(c - 1) % 5] + "新";
  if (c == 31) return "大会新";
  return "";
}

std::vector<std::string> GamesValues(const Settings& s) {
  std::vector<std::string> v(kGamesValues);
  v[0] = ReportText(s.meetCode);
  v[1] = Digit(s.courseMode);
  v[2] = ReportText(s.meetName);
  v[3] = ReportText(s.meetAbbrev);
  v[4] = ReportText(s.venue);
  v[5] = NumberText(SeasonYear(s.meetDateFrom));
  v[6] = DateDisplay(s.meetDateFrom);
  int days = MeetDayCount(s.meetDateFrom, s.meetDateTo);
  v[7] = days ? NumberText(days) : "";
  v[8] = Digit(s.poolType);
  v[9] = Digit(s.timingSide);
  v[10] = Digit(s.timingSystem);
  return v;
}

std::string ReportLine(const std::vector<std::string>& values, int extraCommas) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) {
    line += values[i];
    if (i + 1 < values.size() || extraCommas > 0) line += ',';
  }
  // games.dat: every value is followed by its comma, then the further commas.
  if (extraCommas > 0) line += std::string(static_cast<size_t>(extraCommas), ',');
  return line + "\r\n";
}

std::string GamesLine(const Settings& s) { return ReportLine(GamesValues(s), kGamesExtraCommas); }

std::vector<std::string> SwimValues(const SwimInput& in) {
  std::vector<std::string> v(kResultsValues);
  const Race& race = *in.race;
  const Settings& s = *in.settings;
  const size_t slot = static_cast<size_t>(in.slot);
  const int32_t time = race.laneTime[slot];
  v[0] = ReportText(race.sexCode);
  v[1] = ReportStroke(race.eventCode);
  v[2] = ReportDistance(race.eventCode);
  v[3] = race.roundCode == "1" ? "1" : race.roundCode == "2" ? "4" : "";
  v[4] = NumberText(race.heatNo);
  v[5] = NumberText(in.slot + 1);
  std::string kind = time >= kDisqualifiedFirst && time <= kDidNotFinish ? "2" : time == kWithdrawn ? "1" : "0";
  v[6] = kind;
  // Left open by the federation's layout: the band's class number, and the
  // program entry's day and stage.
  v[7] = NumberText(race.classFrom);
  if (in.program) {
    std::string day = Trim(ReportText(in.program->dayNo));
    v[8] = day.empty() || day == "0" ? "1" : day;
    v[28] = ReportText(in.program->stageCode);
  }
  const Entry& own = *in.swimmer;
  if (s.affiliationMode == "0") v[9] = CleanField(own.affiliation);
  else if (s.affiliationMode == "1") v[9] = CleanField(own.prefName);
  else if (s.affiliationMode == "2") v[9] = ReportRegion(own.regNo);
  else if (s.affiliationMode == "3") v[9] = "日本";
  if (in.members[0]) {
    for (size_t leg = 0; leg < 4; ++leg)
      if (in.members[leg]) PutSwimmer(v, 10 + 4 * leg, *in.members[leg]);
  } else {
    PutSwimmer(v, 10, own);
    std::string grade = ReportText(own.gradeCode);
    std::string level = LeftChars(grade, 1), year = MidChars(grade, 1, 1);
    if (level > "4") {
      level = "5";
      year = "0";
    }
    v[26] = level;
    v[27] = year;
  }
  if (s.affiliationMode == "0") v[30] = ReportText(LeftChars(own.regNo, 5));
  else if (s.affiliationMode == "1") v[30] = ReportText(LeftChars(own.regNo, 2)) + "000";
  else if (s.affiliationMode == "2" || s.affiliationMode == "3") v[30] = "     ";
  if (kind == "0") {
    std::string shown = FormatTime(time);
    v[35] = std::string(static_cast<size_t>(std::max(0, 8 - AnsiLen(shown))), ' ') + shown;
  } else {
    v[35] = std::string(8, ' ');
  }
  if (in.block && slot < in.block->splitTimes.size() && IsSplitTime(in.block->splitTimes[slot]))
    v[36] = FormatTime(in.block->splitTimes[slot]);
  v[37] = ReportRecordName(race.laneRecordClass[slot]);
  return v;
}

Result<FederationReportOutcome> WriteFederationReport(const std::filesystem::path& meetFolder, const Settings& s,
                                                      const std::filesystem::path& entryFile,
                                                      const std::vector<ReportProgramEntry>& program) {
  auto races = LoadAllRaces(meetFolder);
  if (!races) return std::unexpected(races.error());
  auto entries = LoadEntryFileImage(entryFile);
  if (!entries) return std::unexpected(entries.error());
  auto blocks = LoadAllRelayBlocks(meetFolder);
  if (!blocks) return std::unexpected(blocks.error());

  auto programOf = [&](int raceNo) -> const ReportProgramEntry* {
    for (const ReportProgramEntry& p : program)
      if (p.heatCount > 0 && raceNo >= p.firstRace && raceNo < p.firstRace + p.heatCount) return &p;
    return nullptr;
  };
  auto entryOf = [&](int raceNo, int slot, int n, const Entry*& into, std::vector<Entry>& keep) -> Status {
    if (n < 1 || n > entries->count())
      return Fail(ErrorKind::Format, "レース " + std::to_string(raceNo) + " の " + std::to_string(slot + 1) +
                                         " コースの番号 " + std::to_string(n) + " が申込ファイルにありません。");
    keep.push_back(entries->Load(n));
    into = &keep.back();
    return {};
  };

  const int lanes = std::clamp<int>(s.laneCount, 0, race_layout::kSlots);
  std::string text;
  int swims = 0, withoutResult = 0;
  for (size_t r = 0; r < races->size(); ++r) {
    const Race& race = (*races)[r];
    const int raceNo = static_cast<int>(r + 1);
    // Meet-specific events are never reported; a race without an event is
    // no swim.
    if (race.eventCode < 1 || race.eventCode >= 30) continue;
    const RelayBlock* block = nullptr;
    if (race.relayRec > 0) {
      if (race.relayRec > static_cast<int>(blocks->size()))
        return Fail(ErrorKind::Format, "レース " + std::to_string(raceNo) + " のリレー記録 " +
                                           std::to_string(race.relayRec) + " が relay.dat にありません。");
      block = &(*blocks)[static_cast<size_t>(race.relayRec - 1)];
    }
    for (int slot = 0; slot < lanes; ++slot) {
      const int16_t n = race.laneNo[static_cast<size_t>(slot)];
      if (n == 0) continue;
      // A lane the swimmer left without a result is no swim: the report
      // holds only times and the outcomes the desk recorded (棄権, 失格).
      if (!HasResult(race.laneTime[static_cast<size_t>(slot)])) {
        ++withoutResult;
        continue;
      }
      std::vector<Entry> keep;
      keep.reserve(5);
      SwimInput in{&race, slot, block, nullptr, {}, programOf(raceNo), &s};
      if (auto ok = entryOf(raceNo, slot, n, in.swimmer, keep); !ok) return std::unexpected(ok.error());
      if (block && block->member(0, slot) != 0) {
        for (int leg = 0; leg < 4; ++leg) {
          int m = block->member(leg, slot);
          if (m == 0) continue;
          if (auto ok = entryOf(raceNo, slot, m, in.members[static_cast<size_t>(leg)], keep); !ok)
            return std::unexpected(ok.error());
        }
      }
      text += ReportLine(SwimValues(in));
      ++swims;
    }
  }

  FederationReportOutcome out;
  out.gamesFile = FindFile(meetFolder, kGamesFileName);
  out.resultsFile = FindFile(meetFolder, kResultsReportFileName);
  out.swims = swims;
  out.lanesWithoutResult = withoutResult;
  const std::string games = EncodeCp932(GamesLine(s)), results = EncodeCp932(text);
  if (auto ok = WriteWholeFiles({{out.gamesFile, games}, {out.resultsFile, results}}); !ok)
    return std::unexpected(ok.error());
  return out;
}

}  // namespace meet
