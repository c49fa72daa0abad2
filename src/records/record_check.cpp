#include "records/record_check.h"

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/print_columns.h"
#include "core/time_code.h"
#include "data/naming_context.h"

namespace meet {

namespace {

constexpr int32_t kLargestTime = 595899;
constexpr double kLineFontSize = 10;
constexpr int kMeetRecordClass = 31;

// The grade code right-aligned in two characters; its first character is the
// school type.
std::string GradeText(const Entry& e) { return RightAligned(TrimRight(e.gradeCode), 2); }

// Record 270 + age and the like, only when it lies within its kind.
int RecordIn(int kind, int offsetInKind) {
  RecordRange k = KindRecords(kind);
  int r = k.first - 1 + offsetInKind;
  return k.contains(r) ? r : 0;
}

}  // namespace

std::vector<RecordCheckFinding> CheckEntrant(const ShikakuTable& table, const Entry& e, std::string_view classMode) {
  std::vector<RecordCheckFinding> findings;
  int sex = static_cast<int>(LeadingNumber(e.sexCode));
  if (CellOf(sex, 1) < 0) return findings;
  std::string grade = GradeText(e);
  int gradeNo = static_cast<int>(LeadingNumber(grade));
  int classKey = classMode == "1" ? e.age : gradeNo;
  int schoolOffset = 0;  // record of the school category within a level's five
  switch (grade[0]) {
    case '1': schoolOffset = 5; break;  // 学童
    case '2': schoolOffset = 4; break;  // 中学
    case '3': schoolOffset = 3; break;  // 高校
    case '4': schoolOffset = 2; break;  // 大学
    default: break;
  }

  for (int ev = 1; ev <= shikaku_layout::kEventsPerSex; ++ev) {
    int32_t t = e.entryTimes[static_cast<size_t>(ev - 1)];
    if (t <= 0 || t > kLargestTime) continue;  // no entry time, or a status code
    size_t cell = static_cast<size_t>(CellOf(sex, ev));
    auto cellOf = [&](int r) { return table.record(r).cellTimes[cell]; };
    auto standard = [&](int digit, int r) {
      if (r == 0) return;
      int32_t s = cellOf(r);
      if (s != 0 && t <= s) findings.push_back({ev, t, true, digit, r, s});
    };
    auto record = [&](int kind, int r) {
      if (r == 0) return;
      int32_t s = cellOf(r);
      if (s != 0 && t < s) findings.push_back({ev, t, false, kind, r, s});
    };
    standard(1, RecordIn(kKindStandard1, e.age));
    standard(2, RecordIn(kKindStandard2, gradeNo));
    standard(4, RecordIn(kKindStandard4, classKey));
    record(kMeetRecordClass, RecordIn(kKindMeet, classKey));
    for (int level = 6; level >= 1; --level) {
      int base = 140 + (level - 1) * 5;
      if (schoolOffset != 0) record(base + schoolOffset - 140, base + schoolOffset);
      record(base + 1 - 140, base + 1);
    }
  }
  return findings;
}

std::vector<PrintedPiece> FindingLine(const Entry& e, const RecordCheckFinding& f, int16_t classScheme,
                                      const NamingContext& ctx) {
  std::string grade = GradeText(e);
  std::string gradeName = ClassName(grade, classScheme);
  std::string number = RightAligned(e.entryNo, 4);
  std::string name = TrimRight(e.swimmerName);
  std::string affiliation = TrimRight(e.affiliation);
  if (f.standard) {
    // The parts of a standard's line with a blank between them, the event
    // padded so that the times line up.
    return {
        {1500, number + " " + PadToWidth(name, 16) + " " + PadToWidth(affiliation, 12) + " " + grade + " " + gradeName},
        {6500, PadToWidth(EventName(f.eventCode, ctx), 18) + " " + FormatTime(f.time) + "  標準突破  " +
                   NumberText(f.kind)},
    };
  }
  return {
      {1000, number},
      {kCheckName, TrimRight(LeftChars(name, 8))},
      {kCheckAffiliation, TrimRight(LeftChars(affiliation, 6))},
      {kCheckAge, RightAligned(e.age, 2)},
      {kCheckGrade, gradeName},
      {kCheckEvent, EventName(f.eventCode, ctx)},
      {kCheckTime, FormatTime(f.time)},
      {kCheckRecord, RecordClassAbbrev(f.kind) + "  (" + FormatTime(f.recordTime) + ")"},
  };
}

namespace {

void PrintHeading(Printer& p, const RecordCheckHeading& h) {
  p.SetFont(PrintFont{kMincho, 14, true});
  p.SetY(kCheckTitleY);
  p.PrintAt(1000, "個人記録確認");
  p.SetFont(PrintFont{kMincho, kLineFontSize, false});
  p.PrintAt(4500, TrimRight(h.meetName));
  p.SetY(kCheckTitleY + 400);
  std::string dates = DateDisplay(h.dateFrom);
  if (h.dateTo != 0 && h.dateTo != h.dateFrom) dates += "～" + DateDisplay(h.dateTo);
  p.PrintAt(1000, dates);
  p.PrintAt(4500, "印刷 " + DateSlashed(h.printedAt) + " " + TimeColons(h.printedAt));
  p.PrintAt(9500, NumberText(p.pageNo()) + " 頁");
  p.Line(1000, kCheckFirstLineY - 150, 11000, kCheckFirstLineY - 150);
  p.SetPosition(0, kCheckFirstLineY);
}

}  // namespace

Result<int> PrintRecordCheck(Printer& p, const ShikakuTable& table, const EntryFile& entries,
                             const Settings& settings, const NamingContext& ctx, const RecordCheckHeading& heading) {
  p.SetDocumentName(DocumentName{"個人記録確認", "record-check"});
  PrintHeading(p, heading);
  int count = 0;
  int16_t scheme = entries.header().classScheme;
  int32_t held = entries.entriesHeld();
  for (int32_t n = 1; n <= held; ++n) {
    Entry e = entries.Load(n);
    for (const RecordCheckFinding& f : CheckEntrant(table, e, settings.classMode)) {
      if (p.y() > kCheckLastLineY) {
        p.NewPage();
        PrintHeading(p, heading);
      }
      p.SetFont(PrintFont{kMincho, kLineFontSize, false});
      const std::vector<PrintedPiece> pieces = FindingLine(e, f, scheme, ctx);
      for (size_t i = 0; i < pieces.size(); ++i)
        PrintColumn(p, pieces[i].x, i + 1 < pieces.size() ? pieces[i + 1].x : kPageWidth, pieces[i].text);
      p.NextLine();
      ++count;
    }
  }
  if (auto ok = p.EndDoc(); !ok) return std::unexpected(ok.error());
  return count;
}

Result<int> RunRecordCheck(const std::filesystem::path& meetFolder, const Settings& settings, Printer& printer,
                           const Clock& clock) {
  auto table = LoadShikaku(meetFolder);
  if (!table) return std::unexpected(table.error());
  std::filesystem::path entryPath = EntryFilePath(settings.entryFolder, settings.entryFileName);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(entryPath, ec))
    return Fail(ErrorKind::NotFound, "エントリーファイル " + entryPath.string() + " がありません。");
  auto entries = EntryFile::OpenForReading(entryPath);
  if (!entries) return std::unexpected(entries.error());
  NamingContext ctx = LoadNamingContext(settings, meetFolder);
  RecordCheckHeading heading{settings.meetName, settings.meetDateFrom, settings.meetDateTo, clock.Now()};
  return PrintRecordCheck(printer, *table, *entries, settings, ctx, heading);
}

}  // namespace meet
