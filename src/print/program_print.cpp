#include "print/program_print.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "print/hpro_file.h"
#include "print/program_pages.h"

namespace meet {

namespace {

using namespace program_print;

// The most sheets one printout may take: a typing slip in the page or copy
// fields must not send thousands of sheets to the printer.
constexpr int kMaxSheets = 2000;

std::string RankText(int16_t rank) { return rank == 0 ? "(  )" : "(" + RightAligned(rank, 2) + ")"; }

class PagePrinter {
 public:
  PagePrinter(Printer& printer, const PrintSources& sources, bool officialsCopy)
      : p_(printer), src_(sources), officials_(officialsCopy) {}

  void Block(int slot, const Race& race);

 private:
  void Individual(int x0, int y, int s, const Race& race);
  void Relay(int y, int s, const Race& race, const RelayBlock& block);
  std::string Affiliation(const Entry& e) const {
    return PrintedText(AffiliationText({e.affiliation, e.prefName, e.regNo}, src_.settings().affiliationMode));
  }
  std::string PrefectureAndAffiliation(const Entry& e) const {
    return LeftChars(PrintedText(e.prefName), 2) + " " + Affiliation(e);
  }

  Printer& p_;
  const PrintSources& src_;
  bool officials_;
};

void PagePrinter::Block(int slot, const Race& race) {
  const bool relay = src_.IsRelay(race.eventCode);
  const int line = relay ? kRelayLine : kIndividualLine;
  int x0 = 0, y0 = 0;
  if (relay) {
    x0 = kRelayLeft;
    y0 = kRelayTops[(slot - 1) % 3];
  } else {
    x0 = slot <= 4 ? kLeftColumn : kRightColumn;
    const int row = slot <= 4 ? slot - 1 : slot - 5;
    y0 = kIndividualTop + row * kBlockLines * kIndividualLine;
  }
  // A block's lines end where its column does (a relay's at the page's edge).
  const int end = relay ? kPageWidth : x0 + kLineEnd;
  if (slot == 1 || race.heatNo == 1) {
    p_.SetY(y0);
    PrintColumn(p_, x0, end,
                "No." + NumberText(race.eventNo) + " " + SexName(race.sexCode) +
                    src_.BandLabel(race.classFrom, race.classTo, race.eventCode) + " " + src_.EventText(race.eventCode));
  }
  std::string stage = RoundName(race.roundCode);
  if (race.heatTotal != 1) stage += "  " + NumberText(race.heatNo) + "組";
  p_.SetY(y0 + line);
  PrintColumn(p_, x0, end, stage);

  const RelayBlock block = relay ? src_.block(race.relayRec) : RelayBlock{};
  const int lanes = std::clamp<int>(src_.settings().laneCount, 1, 10);
  for (int s = 0; s < lanes; ++s) {
    const int y = y0 + (s + 2) * line;
    p_.SetY(y);
    p_.PrintAt(x0, RightAligned(s + 1, 2));
    if (relay) Relay(y, s, race, block);
    else Individual(x0, y, s, race);
  }
}

void PagePrinter::Individual(int x0, int y, int s, const Race& race) {
  const size_t k = static_cast<size_t>(s);
  p_.SetY(y);
  if (race.laneNo[k] == 0) {
    p_.PrintAt(x0 + kRank, "(  )");
    return;
  }
  const std::optional<Entry> entry = src_.entry(race.laneNo[k]);
  if (!entry) return;  // a lane whose entry the file does not hold: its number only
  const std::string& mode = src_.settings().prefecturePrint;
  const std::string age = entry->age != 0 ? RightAligned(entry->age % 100, 2) : std::string();
  const std::string grade = src_.GradeText(entry->gradeCode);
  PrintColumn(p_, x0 + kName, x0 + kAffiliation, PrintedText(entry->swimmerName));
  if (mode == "1" || mode == "2") {
    PrintColumn(p_, x0 + kPrefecture, x0 + kAgeOrGrade, PrefectureAndAffiliation(*entry));
    PrintColumn(p_, x0 + kAgeOrGrade, x0 + kRank, mode == "1" ? age : grade);
  } else {
    PrintColumn(p_, x0 + kAffiliation, x0 + kAge, Affiliation(*entry));
    p_.PrintAt(x0 + kAge, age);
    PrintColumn(p_, x0 + kAgeOrGrade, x0 + kRank, grade);
  }
  p_.PrintAt(x0 + kRank, RankText(race.laneRank[k]));
  if (officials_) {
    PrintColumn(p_, x0 + kTimeOrReading, x0 + kLineEnd, PrintedText(entry->swimmerKana));
    return;
  }
  p_.PrintAt(x0 + kTimeOrReading, FormatTime(race.laneTime[k]));
  PrintColumn(p_, x0 + kRecordMark, x0 + kStandardFlag, RecordClassAbbrev(race.laneRecordClass[k]));
  p_.PrintAt(x0 + kStandardFlag, FlagText(race.standardFlags[k]));
}

void PagePrinter::Relay(int y, int s, const Race& race, const RelayBlock& block) {
  const size_t k = static_cast<size_t>(s);
  p_.SetY(y);
  if (race.laneNo[k] == 0) {
    p_.PrintAt(kRelayRank, "(  )");
    return;
  }
  const std::optional<Entry> team = src_.entry(race.laneNo[k]);
  if (!team) return;
  PrintColumn(p_, kTeamName, kMemberColumns[0],
              officials_ ? LeftChars(PrintedText(team->swimmerKana), 12) : PrintedText(team->swimmerName));
  const bool prefecture = src_.settings().prefecturePrint != "0";
  for (int leg = 0; leg < 4; ++leg) {
    const std::optional<Entry> member = src_.entry(block.member(leg, s));
    const int next = leg < 3 ? kMemberColumns[leg + 1] : prefecture ? kRelayPrefecture : kRelayAffiliation;
    if (member)
      PrintColumn(p_, kMemberColumns[leg], next, CutToWidth(PrintedText(member->swimmerName), kMemberWidth));
  }
  if (prefecture) PrintColumn(p_, kRelayPrefecture, kRelayAffiliation, LeftChars(PrintedText(team->prefName), 2));
  PrintColumn(p_, kRelayAffiliation, kRelayRank, Affiliation(*team));
  p_.PrintAt(kRelayRank, RankText(race.laneRank[k]));
  p_.PrintAt(kRelayTime, FormatTime(race.laneTime[k]));
  PrintColumn(p_, kRelayMark, kPageWidth, FlagText(race.standardFlags[k]) + RecordClassAbbrev(race.laneRecordClass[k]));
}

}  // namespace

Status PrintProgramPage(Printer& printer, const PrintSources& sources, const std::filesystem::path& meetFolder,
                        int page, bool officialsCopy) {
  if (page < 1) return Fail(ErrorKind::Invalid, "ページ番号は1以上を指定してください。");
  auto pages = PageFile::Load(meetFolder);
  if (!pages) return std::unexpected(pages.error());
  printer.SetFont(PrintFont{kMincho, kFontSize, false});
  if (page <= pages->pageCount()) {
    auto races = RaceFileImage::Load(meetFolder);
    if (!races) return std::unexpected(races.error());
    const ProgramPage record = pages->Read(page);
    PagePrinter out(printer, sources, officialsCopy);
    for (int slot = 1; slot <= hpro_layout::kSlots; ++slot) {
      const int raceNo = record.pageRace[static_cast<size_t>(slot - 1)];
      if (raceNo <= 0 || raceNo > races->raceCount()) continue;
      out.Block(slot, races->race(raceNo));
    }
  }
  printer.SetY(kFootY);
  printer.PrintAt(kFootX, "- " + NumberText(page) + " -");
  return {};
}

Result<int> PrintProgramPages(Platform& platform, const MeetFiles& meet, int from, int to, int copies,
                              bool officialsCopy) {
  if (from < 1 || to < 1) return Fail(ErrorKind::Invalid, "ページ番号は1以上を指定してください。");
  if (to < from) return Fail(ErrorKind::Invalid, "終わりのページが始めのページより前です。");
  if (copies < 1) return Fail(ErrorKind::Invalid, "枚数は1以上を指定してください。");
  const int64_t sheets = static_cast<int64_t>(to - from + 1) * copies;
  if (sheets > kMaxSheets)
    return Fail(ErrorKind::Refused, "一度に印刷できるのは " + NumberText(kMaxSheets) + " 枚までです（" +
                                        NumberText(sheets) + " 枚になります）。");
  const PrintSources sources(meet);
  Printer& printer = platform.printer;
  printer.SetDocumentName(ProgramPagesDocument(from, to));
  int printed = 0;
  for (int copy = 1; copy <= copies; ++copy) {
    for (int page = from; page <= to; ++page) {
      if (printed > 0) printer.NewPage();
      if (auto ok = PrintProgramPage(printer, sources, meet.meetFolder, page, officialsCopy); !ok) {
        static_cast<void>(printer.EndDoc());  // the page's own error is the one to tell
        return std::unexpected(ok.error());
      }
      ++printed;
    }
  }
  if (auto ok = printer.EndDoc(); !ok) return std::unexpected(ok.error());
  return printed;
}

int PageOfRace(const std::filesystem::path& meetFolder, int race) {
  auto pages = PageFile::Load(meetFolder);
  if (!pages || race <= 0) return 0;
  for (int p = 1; p <= pages->pageCount(); ++p) {
    const ProgramPage page = pages->Read(p);
    for (int16_t r : page.pageRace)
      if (r == race) return p;
  }
  return 0;
}

}  // namespace meet
