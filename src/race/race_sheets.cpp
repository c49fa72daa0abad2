#include "race/race_sheets.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/time_code.h"

namespace meet {

namespace {

void Down(Printer& p, int lines = 1) {
  p.SetX(0);
  p.SetY(p.y() + lines * p.LineHeight());
}

// Age and grade text of the lap sheet: "12 中1".
std::string AgeAndGrade(const PrintSources& sources, const Entry& entry) {
  return (entry.age != 0 ? NumberText(entry.age) : std::string()) + " " + sources.GradeText(entry.gradeCode);
}

class LapSheet {
 public:
  LapSheet(Platform& platform, const PrintSources& sources, const std::filesystem::path& meetFolder, int raceNo,
           const Race& race)
      : p_(platform.printer), clock_(platform.clock), src_(sources), race_(race),
        laps_(ReadLapFile(meetFolder, raceNo)) {}

  Status Print();

 private:
  void Heading();
  void Lane(int lane);
  void KeepOnPage(int lines) {
    if (p_.y() + lines * p_.LineHeight() <= lap_sheet::kPageFoot) return;
    p_.NewPage();
    Heading();
  }

  Printer& p_;
  const Clock& clock_;
  const PrintSources& src_;
  const Race& race_;
  std::vector<LapLine> laps_;
};

void LapSheet::Heading() {
  using namespace lap_sheet;
  p_.SetFont(PrintFont{kMincho, kFontSize, false});
  p_.SetY(kTop);
  const DateTime now = clock_.Now();
  p_.PrintAt(kDateX, DateSlashed(now) + "  " + TimeColons(now));
  p_.PrintAt(kTitleX, kTitle);
  Down(p_, 2);
  p_.PrintAt(kHeadingX, SheetHeading(src_, race_) + "(" + NumberText(race_.heatTotal) + ")");
  Down(p_);
}

void LapSheet::Lane(int lane) {
  using namespace lap_sheet;
  const size_t k = static_cast<size_t>(lane - 1);
  // A lane whose entry the entry file does not hold (or with no entry file)
  // still swam: its time and laps are printed, the personal fields left blank.
  const bool swimmer = race_.laneNo[k] != 0;
  const std::optional<Entry> entry = swimmer ? src_.entry(race_.laneNo[k]) : std::nullopt;
  const LapTimes laps = swimmer ? readLapTimes(laps_, lane, race_.laneTime[k]) : LapTimes{};
  const int groups = (laps.count() + kLapsPerGroup - 1) / kLapsPerGroup;
  KeepOnPage(2 + (swimmer ? 2 : 0) + 2 * groups);

  p_.PrintAt(kRuleX, std::string(kRuleLength, '-'));
  Down(p_);
  p_.PrintAt(kRuleX, RightAligned(lane, 2));
  Down(p_);
  if (!swimmer) return;
  if (entry) {
    PrintColumn(p_, kName, kAgeGrade, PrintedText(entry->swimmerName));
    PrintColumn(p_, kAgeGrade, kAffiliation, AgeAndGrade(src_, *entry));
    PrintColumn(p_, kAffiliation, kFinalTime, PrintedText(entry->affiliation));
  }
  p_.PrintAt(kFinalTime, FormatTime(race_.laneTime[k]));
  if (entry) PrintColumn(p_, kRegNo, kPageWidth, PrintedText(entry->regNo));
  Down(p_, 2);
  for (int g = 0; g < groups; ++g) {
    const int first = g * kLapsPerGroup;
    const int last = std::min(laps.count(), first + kLapsPerGroup);
    std::string splits, lapTimes;
    for (int i = first; i < last; ++i) {
      const std::string& text = laps.texts[static_cast<size_t>(i)];
      splits += " " + text + " ";
      if (i == 0) lapTimes += std::string(10, ' ');
      else lapTimes += "(" + PadLeftToWidth(lapDifference(laps.texts[static_cast<size_t>(i - 1)], text), 8) + ")";
    }
    p_.PrintAt(kLaps, splits);
    Down(p_);
    p_.PrintAt(kLaps, lapTimes);
    Down(p_);
  }
}

Status LapSheet::Print() {
  Heading();
  for (int lane = 1; lane <= 10; ++lane) Lane(lane);
  KeepOnPage(1);
  p_.PrintAt(lap_sheet::kRuleX, std::string(lap_sheet::kRuleLength, '-'));
  return p_.EndDoc();
}

Status RaceSheetOnce(Printer& p, const PrintSources& src, const Race& race) {
  using namespace race_sheet;
  p.SetFont(PrintFont{kMincho, kFontSize, false});
  p.SetY(kTop);
  p.PrintAt(kLeft, SheetHeading(src, race));
  Down(p, 2);
  const int poolLanes = std::clamp<int>(src.settings().laneCount, 0, 10);
  for (int slot = 1; slot <= 12; ++slot) {
    if (slot == 11) Down(p);
    std::string label;
    if (slot == 11) label = "補1";
    else if (slot == 12) label = "補2";
    else if (slot <= poolLanes) label = RightAligned(slot, 2);
    p.PrintAt(kLeft, label);
    const size_t k = static_cast<size_t>(slot - 1);
    if (race.laneNo[k] != 0) {
      // An entry the entry file does not hold leaves the personal fields
      // blank; the lane's entry time is the race's own.
      const std::optional<Entry> e = src.entry(race.laneNo[k]);
      if (e) {
        PrintColumn(p, kName, kKana, PrintedName(e->swimmerName));
        PrintColumn(p, kKana, kPrefecture, LeftChars(PrintedText(e->swimmerKana), 12));
        PrintColumn(p, kPrefecture, kAffiliation, PrintedName(e->prefName));
        PrintColumn(p, kAffiliation, kGrade, PrintedName(e->affiliation));
        PrintColumn(p, kGrade, kAge, src.GradeText(e->gradeCode));
        if (e->age != 0) PrintColumn(p, kAge, kEntryTime, NumberText(e->age));
      }
      if (race.laneEntryTime[k] != 0) p.PrintAt(kEntryTime, FormatTime(race.laneEntryTime[k]));
      if (e) PrintColumn(p, kRegNo, kPageWidth, PrintedText(e->regNo));
    }
    Down(p);
  }
  return p.EndDoc();
}

}  // namespace

std::string SheetHeading(const PrintSources& sources, const Race& race) {
  return "No." + NumberText(race.eventNo) + "  " + SexName(race.sexCode) + " " +
         sources.BandLabel(race.classFrom, race.classTo, race.eventCode) + " " + sources.EventText(race.eventCode) +
         " " + RoundName(race.roundCode) + " " + NumberText(race.heatNo) + "組";
}

Status PrintRaceSheet(Platform& platform, const MeetFiles& meet, int raceNo, const Race& race, int copies) {
  const PrintSources sources(meet);
  for (int copy = 0; copy < copies; ++copy) {
    platform.printer.SetDocumentName(RaceDocument("レース表", "race", raceNo));
    if (auto ok = RaceSheetOnce(platform.printer, sources, race); !ok) return ok;
  }
  return {};
}

Status PrintLapSheet(Platform& platform, const MeetFiles& meet, int raceNo, const Race& race, int copies) {
  if (raceNo < 1) return Fail(ErrorKind::Invalid, "レース番号は1以上を指定してください。");
  const PrintSources sources(meet);
  for (int copy = 0; copy < copies; ++copy) {
    platform.printer.SetDocumentName(RaceDocument("ラップ表", "lap", raceNo));
    if (auto ok = LapSheet(platform, sources, meet.meetFolder, raceNo, race).Print(); !ok) return ok;
  }
  return {};
}

}  // namespace meet
