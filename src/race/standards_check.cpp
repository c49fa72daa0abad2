#include "race/standards_check.h"

#include <initializer_list>

#include "core/cp932.h"
#include "core/numbers.h"
#include "core/time_code.h"
#include "race/record_standings.h"

namespace meet {

namespace {

constexpr int32_t kLargestTime = 595899;  // 59:58.99; above it only participation and status codes
constexpr int kFirstOwnEvent = 30;
constexpr int kLastOwnEvent = 44;
constexpr int kOwnEventMeetRecordBase = 220;  // the meet's own event e: record e + 220
constexpr int kOpenLadderOffset = 126;        // records 127–140

// The items with one blank between them; empty items are left out.
std::string JoinNonEmpty(std::initializer_list<std::string> items) {
  std::string out;
  for (const std::string& item : items) {
    if (item.empty()) continue;
    if (!out.empty()) out += ' ';
    out += item;
  }
  return out;
}

bool IsSwimTime(int32_t time) { return time >= 1 && time <= kLargestTime; }

// The grade code right-aligned in two characters; its first character is the
// school level ("1" 学童, "2" 中学, "3" 高校, "4" 大学).
std::string GradeText(const Entry& e) { return RightAligned(TrimRight(e.gradeCode), 2); }

// Record base + offset, when it lies within the kind's records; else 0 (a
// record of another kind is never read in its place).
int RecordIn(int kind, int offsetInKind) {
  RecordRange k = KindRecords(kind);
  int64_t r = static_cast<int64_t>(k.first) - 1 + offsetInKind;
  return r >= k.first && r <= k.last ? static_cast<int>(r) : 0;
}

// The value at position p (from 1) of record r; 0 outside the table.
int32_t ValueAt(const ShikakuTable& table, int r, int position) {
  if (r < 1 || r > ShikakuTable::kRecords || position < 1 || position > shikaku_layout::kCells) return 0;
  return table.record(r).cellTimes[static_cast<size_t>(position - 1)];
}

// The record class of the swimmer's school level within a level whose
// general class is `general` (26 地区 … 1 世界); 0 for none.
int SchoolClass(int general, char schoolLevel) {
  switch (schoolLevel) {
    case '1': return general + 4;  // 学童
    case '2': return general + 3;  // 中学
    case '3': return general + 2;  // 高校
    case '4': return general + 1;  // 大学
    default: return 0;
  }
}

// The steps of a ladder reached: stop at the first step not reached.
int16_t LadderLevel(const ShikakuTable& table, int offset, int position, int32_t time) {
  for (int k = 1; k <= kTopLevel; ++k) {
    int32_t value = ValueAt(table, offset + k, position);
    if (value == 0 || time > value) return static_cast<int16_t>(k - 1);
  }
  return kTopLevel;
}

}  // namespace

int TablePosition(int sex, int eventCode) {
  if (sex < 1 || sex > 3 || eventCode < 1 || eventCode > shikaku_layout::kEventsPerSex) return 0;
  return (sex - 1) * shikaku_layout::kEventsPerSex + eventCode;
}

int AgeBandOffset(int age) {
  if (age <= 8) return 0;
  if (age <= 14) return (age - 8) * 14;  // 9 → 14 … 14 → 84
  if (age <= 16) return 98;
  if (age <= 18) return 112;
  return 126;
}

int CategoryNumber(const Entry& entry, std::string_view classMode) {
  if (classMode == "1") return entry.age;
  int grade = static_cast<int>(LeadingInt16(GradeText(entry)));
  return grade == 0 ? 1 : grade;
}

char SchoolLevel(const Entry& entry) { return GradeText(entry)[0]; }

std::vector<RecordChecked> RecordsChecked(int sexCode, int eventCode, const Entry& entry, std::string_view classMode) {
  return RecordsChecked(sexCode, eventCode, SchoolLevel(entry), CategoryNumber(entry, classMode));
}

std::vector<RecordChecked> RecordsChecked(int sexCode, int eventCode, char schoolLevel, int category) {
  std::vector<RecordChecked> out;
  if (sexCode < 1 || sexCode > 3) return out;
  if (eventCode >= kFirstOwnEvent && eventCode <= kLastOwnEvent) {
    // The meet's own events have only their meet record.
    out.push_back({kMeetRecordClass, eventCode + kOwnEventMeetRecordBase,
                   (sexCode - 1) * shikaku_layout::kEventsPerSex + 1});
    return out;
  }
  const int t = TablePosition(sexCode, eventCode);
  if (t == 0) return out;
  out.reserve(13);
  if (int r = RecordIn(kKindMeet, category); r != 0) out.push_back({kMeetRecordClass, r, t});
  // 地区, 県, 地方, 日本, アジア, 世界: the school class first, then the general one.
  for (int general = 26; general >= 1; general -= 5) {
    if (int school = SchoolClass(general, schoolLevel); school != 0) out.push_back({school, 140 + school, t});
    out.push_back({general, 140 + general, t});
  }
  return out;
}

LaneCheck CheckLane(const ShikakuTable& table, int sexCode, int eventCode, int32_t time, const Entry& entry,
                    std::string_view classMode, const RecordStandings* standings, int raceNo) {
  LaneCheck out;
  if (!IsSwimTime(time) || sexCode < 1 || sexCode > 3) return out;

  const bool ownEvent = eventCode >= kFirstOwnEvent && eventCode <= kLastOwnEvent;
  const int t = TablePosition(sexCode, eventCode);
  if (!ownEvent && t == 0) return out;
  if (!ownEvent) {
    out.ageLevel = LadderLevel(table, AgeBandOffset(entry.age), t, time);
    out.openLevel = LadderLevel(table, kOpenLadderOffset, t, time);

    const int gradeNo = static_cast<int>(LeadingInt16(GradeText(entry)));
    int flags = 0;
    auto tryStandard = [&](int flag, int r) {
      int32_t value = ValueAt(table, r, t);
      if (r != 0 && value != 0 && time <= value) flags += flag;
    };
    tryStandard(1, RecordIn(kKindStandard1, entry.age));
    tryStandard(2, RecordIn(kKindStandard2, gradeNo));
    tryStandard(4, RecordIn(kKindStandard4, CategoryNumber(entry, classMode)));
    if (flags > 0) out.standardFlags = static_cast<char>('0' + flags);
  }

  for (const RecordChecked& c : RecordsChecked(sexCode, eventCode, entry, classMode)) {
    int32_t value = ValueAt(table, c.recordNo, c.position);
    if (value == 0 || time >= value) continue;
    // Beaten as stored: is it still the record, or did an earlier swim beat it?
    if (standings) value = standings->Before(raceNo, sexCode, eventCode, c.recordNo, c.position);
    if (time >= value) continue;
    out.recordClass = static_cast<int16_t>(c.recordClass);
    out.broken.push_back(BrokenRecord{c.recordClass, c.recordNo, value});
  }
  return out;
}

RecordNotices::RecordNotices(Printer& printer, const Race& race, const NamingContext& naming, int raceNo)
    : printer_(printer), race_(race), naming_(naming), raceNo_(raceNo) {}

Status RecordNotices::End() {
  if (printed_ == 0) return {};
  return printer_.EndDoc();
}

std::string RecordNotices::HeadingText() const {
  return JoinNonEmpty({NumberText(race_.eventNo), SexName(race_.sexCode),
                       Trim(ClassLabel(race_.classFrom, race_.classTo, race_.eventCode, naming_)),
                       EventName(race_.eventCode, naming_), RoundName(race_.roundCode),
                       NumberText(race_.heatNo) + "組"});
}

std::string RecordNotices::NoticeLeft(int slot, const Entry& entry) const {
  return JoinNonEmpty({NumberText(slot + 1) + "ｺｰｽ", TrimRight(LeftChars(TrimRight(entry.swimmerName), 8)),
                       TrimRight(LeftChars(TrimRight(entry.affiliation), 6)), NumberText(entry.age),
                       ClassName(GradeText(entry), naming_.classScheme)});
}

std::string RecordNotices::NoticeRight(int32_t time, const BrokenRecord& record) {
  return FormatTime(time) + "  " + RecordClassAbbrev(record.recordClass) + " (" + Trim(FormatTime(record.recordTime)) + ")";
}

void RecordNotices::PrintHeading() {
  printer_.SetFont(PrintFont{kMincho, kNoticeFontSize, false});
  printer_.SetY(kNoticeTop);
  printer_.PrintAt(kNoticeHeadingX, HeadingText());
  printer_.NextLine();
  printer_.NextLine();  // the empty line under the heading
}

void RecordNotices::recordNotice(int slot, const Entry& entry, int32_t time, const BrokenRecord& record) {
  printer_.SetFont(PrintFont{kMincho, kNoticeFontSize, false});
  if (printed_ == 0) {
    printer_.SetDocumentName(RaceDocument("記録の通知", "notice", raceNo_));
    PrintHeading();
  } else if (printer_.y() > kNoticeLastLineY) {
    printer_.NewPage();
    PrintHeading();
  }
  PrintColumn(printer_, kNoticeLeftX, kNoticeRightX, NoticeLeft(slot, entry));
  printer_.PrintAt(kNoticeRightX, NoticeRight(time, record));
  printer_.NextLine();
  printer_.SetFontSize(kNormalFontSize);
  ++printed_;
}

void checkStandardsAndRecords(Race& race, int raceNo, int slot, const ShikakuTable& table, const EntryFile& entries,
                              std::string_view classMode, const RecordStandings& standings, RecordNotices& notices) {
  if (slot < 0 || slot >= 10) return;
  auto s = static_cast<size_t>(slot);
  int32_t time = race.laneTime[s];
  Entry entry = race.laneNo[s] != 0 ? entries.Load(race.laneNo[s]) : Entry{};
  LaneCheck found = CheckLane(table, static_cast<int>(LeadingInt16(race.sexCode)), race.eventCode, time, entry,
                              classMode, &standings, raceNo);
  race.openLevel[s] = found.openLevel;
  race.ageLevel[s] = found.ageLevel;
  race.standardFlags[s] = found.standardFlags;
  // An exhibition swim stays one: it breaks no record and is never placed.
  if (race.laneRecordClass[s] == kExhibitionClass) return;
  race.laneRecordClass[s] = found.recordClass;
  for (const BrokenRecord& b : found.broken) notices.recordNotice(slot, entry, time, b);
}

}  // namespace meet
