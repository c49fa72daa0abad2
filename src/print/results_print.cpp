#include "print/results_print.h"

#include <algorithm>
#include <optional>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"
#include "data/optional_categories.h"

namespace meet {

namespace {

using namespace results_print;

constexpr int32_t kPlacedUpTo = 666665;
constexpr int kRaceKeyBase = 1000000;

using Section = ResultSection;

// The categories that apply to the race under 合同: not title-only, of a
// compatible sex ("4" 男女共 fits every race), and covering its event.
std::vector<OptionalCategory> ApplyingCategories(const MeetFiles& meet, const Race& race) {
  std::vector<OptionalCategory> out;
  for (const OptionalCategory& c : ReadOptionalCategories(meet.meetFolder)) {
    if (c.catTitleOnly == "T") continue;
    if (c.catSex != "4" && c.catSex != race.sexCode) continue;
    if (race.eventCode < c.catEventFrom || race.eventCode > c.catEventTo) continue;
    out.push_back(c);
  }
  return out;
}

class ResultsPrinter {
 public:
  ResultsPrinter(Platform& platform, const PrintSources& sources, const RaceFileImage& races, const Race& race,
                 int perPage)
      : p_(platform.printer), clock_(platform.clock), src_(sources), races_(races), race_(race), perPage_(perPage) {}

  void PrintSection(const Section& section);
  void HeadingOnly(const Section& section) { Heading(section); }

 private:
  void Heading(const Section& section);
  void Line(const ResultLine& line);
  void Members(const ResultLine& line);
  void Next() {
    p_.SetY(p_.y() + p_.LineHeight());
    p_.SetX(0);
  }

  Printer& p_;
  const Clock& clock_;
  const PrintSources& src_;
  const RaceFileImage& races_;
  const Race& race_;
  int perPage_;
  bool pageStarted_ = false;
};

void ResultsPrinter::Heading(const Section& section) {
  if (pageStarted_) p_.NewPage();
  pageStarted_ = true;
  const Settings& s = src_.settings();
  p_.SetFont(PrintFont{kMincho, kFontSize, false});
  p_.SetY(kTop);
  const DateTime now = clock_.Now();
  p_.PrintAt(kDateX, DateSlashed(now) + "  " + TimeColons(now));
  for (const std::string& text : {s.meetAbbrev, s.meetName,
                                  DateDisplay(s.meetDateFrom) + " ～ " + DateDisplay(s.meetDateTo), s.meetCode}) {
    Next();
    p_.PrintAt(kLeft, PrintedText(text));
  }
  Next();
  const std::string band =
      section.title.empty() ? src_.BandLabel(race_.classFrom, race_.classTo, race_.eventCode) : section.title;
  p_.PrintAt(kLeft, SexName(race_.sexCode) + " " + RoundName(race_.roundCode) + " " + band + " " +
                        src_.EventText(race_.eventCode));
  Next();
  Next();
  for (const Column& c : kColumns) p_.PrintAt(c.x, c.head);
}

void ResultsPrinter::PrintSection(const Section& section) {
  const bool relay = src_.IsRelay(race_.eventCode);
  const int perPage = relay ? std::max(1, perPage_) : kIndividualLinesPerPage;
  for (size_t j = 0; j < section.lines.size(); ++j) {
    if (j % static_cast<size_t>(perPage) == 0) Heading(section);
    Next();
    Line(section.lines[j]);
    if (relay) Members(section.lines[j]);
  }
}

void ResultsPrinter::Line(const ResultLine& line) {
  const Race race = races_.race(line.race);
  const size_t k = static_cast<size_t>(line.slot);
  const Entry entry = src_.entry(race.laneNo[k]).value_or(Entry{});
  const std::string affiliation = PrintedName(entry.affiliation);
  const int blanks = std::max(0, (kAffiliationColumn - p_.TextWidth(affiliation)) / kAffiliationBlank);
  const std::string cells[kColumnCount] = {
      line.place > 0 ? RightAligned(line.place, 3) : std::string(3, ' '),
      RightAligned(race.heatNo, 2) + "-" + RightAligned(line.slot + 1, 2),
      PrintedName(entry.swimmerName),
      LeftChars(PrintedText(entry.swimmerKana), 12),
      entry.age != 0 ? RightAligned(entry.age % 100, 2) : std::string(),
      src_.GradeText(entry.gradeCode),
      PrintedName(entry.prefName),
      std::string(static_cast<size_t>(blanks), ' ') + affiliation,
      FormatTime(race.laneTime[k]),
      FlagText(race.standardFlags[k]) + RecordClassAbbrev(race.laneRecordClass[k]),
      RightAligned(race.openLevel[k], 2),
      RightAligned(race.ageLevel[k], 2),
      PrintedText(entry.entryCode7),
      PrintedText(entry.regNo),
  };
  for (size_t c = 0; c < kColumnCount; ++c)
    PrintColumn(p_, kColumns[c].x, c + 1 < kColumnCount ? kColumns[c + 1].x : kPageWidth, cells[c]);
}

void ResultsPrinter::Members(const ResultLine& line) {
  const Race race = races_.race(line.race);
  const RelayBlock block = src_.block(race.relayRec);
  Next();
  for (int leg = 0; leg < 4; ++leg)
    if (auto member = src_.entry(block.member(leg, line.slot)))
      PrintColumn(p_, kMemberX[leg], leg < 3 ? kMemberX[leg + 1] : kColumns[8].x,
                  CutToWidth(PrintedText(member->swimmerName), kMemberWidth));
}

// The band value of a competitor: the grade code under the grade class mode,
// else the age — the same value the race's own class bounds hold.
int BandValue(const PrintSources& sources, const Entry& entry) {
  if (sources.settings().classMode == "2") return static_cast<int>(LeadingNumber(PrintedText(entry.gradeCode)));
  return entry.age;
}

}  // namespace

std::vector<ResultSection> EventResultSections(const MeetFiles& meet, const PrintSources& sources,
                                               const RaceFileImage& races, const Race& race,
                                               const std::vector<ResultLine>& lines) {
  std::vector<OptionalCategory> categories;
  if (meet.settings.seedingMode == "4") categories = ApplyingCategories(meet, race);
  if (categories.empty()) return {Section{{}, lines}};
  std::vector<Section> sections;
  std::vector<bool> placed(lines.size(), false);
  for (const OptionalCategory& c : categories) {
    Section section{PrintedText(c.catName), {}};
    for (size_t i = 0; i < lines.size(); ++i) {
      const Race r = races.race(lines[i].race);
      const Entry entry = sources.entry(r.laneNo[static_cast<size_t>(lines[i].slot)]).value_or(Entry{});
      const int value = BandValue(sources, entry);
      if (value < c.catFrom || value > c.catTo) continue;
      section.lines.push_back(lines[i]);
      placed[i] = true;
    }
    if (!section.lines.empty()) sections.push_back(std::move(section));
  }
  // Competitors no category covers are listed after the sections, under the
  // race's own band, rather than left off the list.
  Section rest;
  for (size_t i = 0; i < lines.size(); ++i)
    if (!placed[i]) rest.lines.push_back(lines[i]);
  if (!rest.lines.empty()) sections.push_back(std::move(rest));
  for (Section& s : sections) AssignPlaces(s.lines);
  return sections;
}

std::vector<ResultLine> CollectEventResults(const RaceFileImage& races, int raceNo, int lanes) {
  const Race race = races.race(raceNo);
  const int first = std::max(1, raceNo - race.heatNo + 1);
  const int last = std::min(races.raceCount(), raceNo - race.heatNo + std::max<int>(race.heatTotal, 1));
  lanes = std::clamp(lanes, 1, 12);
  std::vector<std::string> keys;
  for (int r = first; r <= last; ++r) {
    const Race heat = races.race(r);
    for (int s = 0; s < lanes; ++s) {
      const size_t k = static_cast<size_t>(s);
      const int32_t time = heat.laneTime[k];
      if (time == 0 || time >= kNoRecord || time < 0 || heat.laneNo[k] == 0 || heat.laneRecordClass[k] == 99) continue;
      keys.push_back(NumberText(int64_t{time} + 1000000) + NumberText(int64_t{r} * 100 + kRaceKeyBase + s));
    }
  }
  SortStrings(keys);
  std::vector<ResultLine> lines;
  for (const std::string& key : keys) {
    const int64_t raceSlot = LeadingNumber(key.substr(7)) - kRaceKeyBase;
    lines.push_back(ResultLine{static_cast<int>(raceSlot / 100), static_cast<int>(raceSlot % 100),
                               static_cast<int32_t>(LeadingNumber(key.substr(0, 7)) - 1000000), 0});
  }
  return lines;
}

void AssignPlaces(std::vector<ResultLine>& lines) {
  int place = 0;
  for (size_t j = 0; j < lines.size(); ++j) {
    if (j == 0 || lines[j].time != lines[j - 1].time) place = static_cast<int>(j) + 1;
    lines[j].place = lines[j].time > kPlacedUpTo ? 0 : place;
  }
}

Result<int> PrintRaceResults(Platform& platform, const MeetFiles& meet, int raceNo, int copies,
                             int relayLinesPerPage) {
  auto races = RaceFileImage::Load(meet.meetFolder);
  if (!races) return std::unexpected(races.error());
  if (raceNo < 1 || raceNo > races->raceCount())
    return Fail(ErrorKind::NotFound, "レース " + NumberText(raceNo) + " はレースファイルにありません。");
  const Race race = races->race(raceNo);
  const PrintSources sources(meet);
  std::vector<ResultLine> lines = CollectEventResults(*races, raceNo, meet.settings.laneCount);
  AssignPlaces(lines);
  const std::vector<Section> sections = EventResultSections(meet, sources, *races, race, lines);
  for (int copy = 0; copy < copies; ++copy) {
    platform.printer.SetDocumentName(RaceDocument("競技結果", "results", raceNo));
    ResultsPrinter out(platform, sources, *races, race, relayLinesPerPage);
    if (lines.empty()) out.HeadingOnly(Section{});
    for (const Section& s : sections)
      if (!s.lines.empty()) out.PrintSection(s);
    if (auto ok = platform.printer.EndDoc(); !ok) return std::unexpected(ok.error());
  }
  return static_cast<int>(lines.size());
}

}  // namespace meet
