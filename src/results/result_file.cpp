#include "results/result_file.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/dates.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"
#include "data/entry_layout.h"
#include "data/meet_files.h"
#include "results/ind2_layout.h"

namespace meet {

namespace E = entry_layout;

namespace {

constexpr int32_t kStoredNone = 999999;  // a stored 0 counts as this for split times
constexpr int16_t kExhibition = 99;      // record class OP

size_t TimeOffset(int e) { return E::kEntryTimes + 4 * static_cast<size_t>(e - 1); }
size_t DayOffset(int e) { return E::kEntryEventFlags + static_cast<size_t>(e - 1); }

// The program entry's meet day digit; "1" when it is 0 or blank.
char DayDigit(const ProgramEntry& p) {
  char c = p.dayNo.empty() ? '\0' : p.dayNo[0];
  return c == '\0' || c == ' ' || c == '0' ? '1' : c;
}

class Builder {
 public:
  Builder(const ResultSources& in, const Settings& s, const ResultFileOptions& o) : in_(in), s_(s), o_(o) {
    kek_ = in.entries;
    for (Record& r : kek_)
      for (int e = 1; e <= E::kEvents; ++e) r.SetI32(TimeOffset(e), 0);
  }

  // Algorithms 3 (standards == false) and 4.
  Status Pass(bool standards) {
    const int lanes = std::clamp<int>(s_.laneCount, 0, race_layout::kSlots);
    for (const ProgramEntry& p : in_.program) {
      if (p.orderNo == 0 || p.eventCode < 1 || p.eventCode > E::kEvents) continue;
      std::vector<std::string> keys;
      // Exhibition swims: written as the swimmer's times, never placed.
      std::vector<std::pair<int32_t, int>> exhibitions;
      for (int h = 0; h < p.heatCount; ++h) {
        const int raceNo = p.firstRace + h;
        if (raceNo < 1 || raceNo > static_cast<int>(in_.races.size()))
          return Fail(ErrorKind::Format, "競技順の " + NumberText(p.orderNo) + " 番のレース " + NumberText(raceNo) +
                                             " が競技ファイル taikai.dat にありません。");
        const Race& race = in_.races[static_cast<size_t>(raceNo - 1)];
        for (int slot = 0; slot < lanes; ++slot) {
          const int16_t n = race.laneNo[static_cast<size_t>(slot)];
          const int32_t t = race.laneTime[static_cast<size_t>(slot)];
          if (n == 0 || t <= 0 || t >= kParticipation) continue;
          if (auto ok = CheckEntry(raceNo, slot, n); !ok) return ok;
          if (auto ok = Split(p, race, raceNo, slot, standards); !ok) return ok;
          if (race.laneRecordClass[static_cast<size_t>(slot)] == kExhibition)
            exhibitions.emplace_back(t, n);
          else
            keys.push_back(" " + NumberText(t + 1000000) + " " + NumberText(n + 10000));
        }
      }
      SortStrings(keys);
      int place = 0;
      int32_t previous = -1;
      for (size_t i = 0; i < keys.size(); ++i) {
        const int32_t t = static_cast<int32_t>(LeadingNumber(keys[i].substr(1, 7))) - 1000000;
        const int n = static_cast<int>(LeadingNumber(keys[i].substr(9))) - 10000;
        if (t != previous) place = static_cast<int>(i) + 1;
        previous = t;
        if (!standards && o_.finalsOnly && (p.stageCode != "2" || place > o_.places)) continue;
        Take(p, n, t, standards);
      }
      // An exhibition swim has no place, so 決勝のみ never writes it.
      if (standards || !o_.finalsOnly)
        for (const auto& [t, n] : exhibitions) Take(p, n, t, standards);
    }
    return {};
  }

  void DropEmpty() {
    std::erase_if(kek_, [](const Record& r) {
      for (int e = 1; e <= E::kEvents; ++e)
        if (r.I32(TimeOffset(e)) != 0) return false;
      return true;
    });
  }

  const std::vector<Record>& entries() const { return kek_; }
  int written() const { return written_; }

 private:
  Status CheckEntry(int raceNo, int slot, int n) const {
    if (n >= 1 && n <= static_cast<int>(kek_.size())) return {};
    return Fail(ErrorKind::Format, "レース " + NumberText(raceNo) + " の " + NumberText(slot + 1) + " コースの番号 " +
                                       NumberText(n) + " が申込ファイルにありません。");
  }

  // The swimmer's result of the program entry's event, unless a time already
  // stored is not slower (or, for standards, it reaches none).
  void Take(const ProgramEntry& p, int n, int32_t t, bool standards) {
    if (standards && !ReachesStandard(n, p.eventCode, t)) return;
    Record& r = kek_[static_cast<size_t>(n - 1)];
    const int32_t stored = r.I32(TimeOffset(p.eventCode));
    if (stored != 0 && t >= stored) return;
    Write(r, p.eventCode, t, DayDigit(p));
  }

  // The 800 m of a 1500m swim, or a relay's first leg, as a result of the
  // swimmer's own event.
  Status Split(const ProgramEntry& p, const Race& race, int raceNo, int slot, bool standards) {
    const int other = SplitEvent(p.eventCode);
    if (other == 0 || slot >= 10) return {};
    if (!(p.eventCode == 7 ? o_.with800 : o_.withFirstLeg)) return {};
    if (race.relayRec <= 0) return {};
    if (race.relayRec > static_cast<int>(in_.blocks.size()))
      return Fail(ErrorKind::Format, "レース " + NumberText(raceNo) + " のリレー記録 " + NumberText(race.relayRec) +
                                         " が relay.dat にありません。");
    const RelayBlock& block = in_.blocks[static_cast<size_t>(race.relayRec - 1)];
    const int32_t split = block.splitTimes[static_cast<size_t>(slot)];
    const int n = p.eventCode == 7 ? race.laneNo[static_cast<size_t>(slot)] : block.member(0, slot);
    if (split <= 0 || split >= kParticipation || n == 0) return {};
    if (auto ok = CheckEntry(raceNo, slot, n); !ok) return ok;
    if (standards && !ReachesStandard(n, other, split)) return {};
    Record& r = kek_[static_cast<size_t>(n - 1)];
    int32_t stored = r.I32(TimeOffset(other));
    if (split > (stored == 0 ? kStoredNone : stored)) return {};
    Write(r, other, split, DayDigit(p));
    return {};
  }

  bool ReachesStandard(int n, int eventCode, int32_t t) const {
    if (!in_.standards) return false;
    const Record& r = in_.entries[static_cast<size_t>(n - 1)];
    const int sex = static_cast<int>(LeadingNumber(std::string(1, r.Byte(E::kSexCode))));
    const int cell = CellOf(sex, eventCode);
    if (cell < 0) return false;
    const int age = r.I16(E::kAge);
    const int grade = static_cast<int>(LeadingNumber(r.Raw(E::kGradeCode, 2)));
    int base = 0, row = 0;
    switch (o_.standard) {
      case StandardChoice::Standard1: base = 270, row = age; break;
      case StandardChoice::Standard2: base = 370, row = grade; break;
      case StandardChoice::Standard4:
        base = 470;
        row = s_.classMode == "1" ? age : grade;
        if (row == 0) row = 1;
        break;
      case StandardChoice::None: return false;
    }
    if (row < 1 || row > 100) return false;
    const int32_t standard = in_.standards->record(base + row).cellTimes[static_cast<size_t>(cell)];
    return standard > 0 && t <= standard;
  }

  void Write(Record& r, int eventCode, int32_t t, char day) {
    r.SetI32(TimeOffset(eventCode), t);
    r.SetByte(DayOffset(eventCode), day);
    ++written_;
  }

  const ResultSources& in_;
  const Settings& s_;
  const ResultFileOptions& o_;
  std::vector<Record> kek_;
  int written_ = 0;
};

Status CheckResultFileName(const std::string& name, const std::string& entryFileName) {
  if (Trim(name).empty()) return Fail(ErrorKind::Invalid, "結果ファイル名を入力してください。");
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." || name == "..")
    return Fail(ErrorKind::Invalid, "結果ファイル名にはフォルダーを含めないでください: " + name);
  if (SameNameIgnoringCase(name, entryFileName))
    return Fail(ErrorKind::Invalid, "結果ファイル名が申込ファイルと同じです。申込ファイルは書き換えません: " + name);
  return {};
}

}  // namespace

Result<std::vector<ProgramEntry>> LoadWholeProgram(const std::filesystem::path& meetFolder) {
  auto path = FindFile(meetFolder, kProgramFileName);
  auto bytes = ReadFileHead(path, projun_layout::kMaxFileBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound)
      return Fail(ErrorKind::NotFound, "競技順ファイル " + path.string() + " がありません。");
    return std::unexpected(bytes.error());
  }
  ProgramOrder order = ProgramOrder::FromBytes(path, *bytes);
  int stored = bytes->size() > projun_layout::kEmptyFileSize
                   ? Record(bytes->substr(0, projun_layout::kRecordLength), projun_layout::kRecordLength)
                         .I16(projun_layout::kProgramCount)
                   : 0;
  if (stored != order.count())
    return Fail(ErrorKind::Format, "競技順ファイル " + path.string() + " が途中で切れています（" +
                                       NumberText(stored) + " 件のうち " + NumberText(order.count()) + " 件）。");
  std::vector<ProgramEntry> entries;
  for (int n = 1; n <= order.count(); ++n) entries.push_back(order.Read(n));
  return entries;
}

std::string ResultFileNameFor(std::string_view entryFileName) {
  return std::string(entryFileName.substr(0, entryFileName.find('.'))) + kResultFileExtension;
}

std::array<int32_t, 10> MeetDayDates(int32_t firstDay) {
  std::array<int32_t, 10> days{};
  for (int d = 0; d < 10; ++d) days[static_cast<size_t>(d)] = AddDays(firstDay, d).value_or(0);
  return days;
}

Result<FirstMeetDay> ResultFileFirstDay(const Settings& s, const Record& entryHeader) {
  if (s.meetDateFrom == 0 && s.meetDateTo == 0) {
    std::string dateText = entryHeader.Raw(E::kEntryDateFrom, 10);
    auto first = DateOfSlashedText(dateText);
    std::replace(dateText.begin(), dateText.end(), '\0', ' ');
    if (!first)
      return Fail(ErrorKind::Format, "大会の期日が基準にも申込ファイルにもありません（申込ファイルの大会開始日「" +
                                         TrimRight(dateText) + "」は yyyy/mm/dd の日付として読めません）。");
    return FirstMeetDay{*first, false};
  }
  if (s.meetDateFrom == 0)
    return Fail(ErrorKind::Invalid, "基準の期日に最終日 " + DateDisplay(s.meetDateTo) + " だけがあり、初日がありません。");
  if (!IsCalendarDate(s.meetDateFrom))
    return Fail(ErrorKind::Invalid, "基準の期日の初日 " + DateDisplay(s.meetDateFrom) + " は日付ではありません。");
  if (s.meetDateTo != 0) {
    const auto tenth = AddDays(s.meetDateFrom, 9);
    if (!IsCalendarDate(s.meetDateTo) || s.meetDateTo < s.meetDateFrom || !tenth || s.meetDateTo > *tenth)
      return Fail(ErrorKind::Invalid, "基準の期日の最終日 " + DateDisplay(s.meetDateTo) + " が初日 " +
                                          DateDisplay(s.meetDateFrom) + " から 10 日のうちの日付ではありません。");
  }
  return FirstMeetDay{s.meetDateFrom, true};
}

std::string MeetDaysNote(const FirstMeetDay& d) {
  return "大会日: " + DateDisplay(d.date) + " から 10 日（" + (d.fromSettings ? "基準の期日" : "申込ファイルの大会開始日") +
         "）";
}

int SplitEvent(int e) {
  static constexpr int kFirstLeg[] = {8, 9, 10, 1, 2, 3, 4};  // events 23–29
  if (e == 7) return 6;
  if (e >= 23 && e <= 29) return kFirstLeg[e - 23];
  return 0;
}

Result<ResultFileBytes> BuildResultFile(const ResultSources& in, const Settings& s, const ResultFileOptions& o) {
  // Algorithm 1: ind2.dat.
  const int count = static_cast<int>(in.entries.size());
  std::string ind2(ind2_layout::kRecordLength * static_cast<size_t>(count + 1), '\0');
  {
    Record header(ind2_layout::kRecordLength);
    header.SetI32(ind2_layout::kEntryCount, in.entryHeader.I32(E::kEntryCount));
    ind2.replace(0, ind2_layout::kRecordLength, header.bytes());
    for (int n = 1; n <= count; ++n)
      ind2.replace(static_cast<size_t>(n) * ind2_layout::kRecordLength, ind2_layout::kPersonalDataWidth,
                   in.entries[static_cast<size_t>(n - 1)].Raw(0, ind2_layout::kPersonalDataWidth));
  }

  // Algorithm 2: the header with the day dates of the meet's settings; the
  // entries with no results.
  auto first = ResultFileFirstDay(s, in.entryHeader);
  if (!first) return std::unexpected(first.error());
  Record header = in.entryHeader;
  auto days = MeetDayDates(first->date);
  for (size_t d = 0; d < days.size(); ++d) header.SetI32(E::kEntryDays + 4 * d, days[d]);

  Builder b(in, s, o);
  if (o.writeResults)
    if (auto ok = b.Pass(false); !ok) return std::unexpected(ok.error());
  if (o.writeStandards)
    if (auto ok = b.Pass(true); !ok) return std::unexpected(ok.error());
  if (o.dropEmpty) {
    b.DropEmpty();
    header.SetI32(E::kEntryCount, static_cast<int32_t>(b.entries().size()));
  }

  ResultFileBytes out;
  out.ind2 = std::move(ind2);
  out.resultFile = header.bytes() + std::string(E::kRecordLength * (E::kFirstEntryRecord - 2), '\0');
  for (const Record& r : b.entries()) out.resultFile += r.bytes();
  out.entriesKept = static_cast<int>(b.entries().size());
  out.resultsWritten = b.written();
  out.firstDay = *first;
  return out;
}

Result<ResultFileOutcome> MakeResultFile(const std::filesystem::path& meetFolder, const std::string& entryFolder,
                                         const std::string& entryFileName, const std::string& resultFileName,
                                         const Settings& s, const ResultFileOptions& o) {
  if (auto ok = CheckResultFileName(resultFileName, entryFileName); !ok) return std::unexpected(ok.error());
  if (o.writeStandards && o.standard == StandardChoice::None)
    return Fail(ErrorKind::Invalid, "標準突破記録の書出には 標準1・標準2・標準4 のどれかを選んでください。");
  if (entryFolder.empty()) return Fail(ErrorKind::NotFound, "申込フォルダーが決まっていません。");

  ResultSources in;
  auto entries = LoadEntryFileImage(EntryFilePath(entryFolder, entryFileName));
  if (!entries) return std::unexpected(entries.error());
  in.entryHeader = entries->header;
  in.entries = std::move(entries->entries);
  if (o.writeResults || o.writeStandards) {
    auto program = LoadWholeProgram(meetFolder);
    if (!program) return std::unexpected(program.error());
    in.program = std::move(*program);
    auto races = LoadAllRaces(meetFolder);
    if (!races) return std::unexpected(races.error());
    in.races = std::move(*races);
    if (o.with800 || o.withFirstLeg) {
      auto blocks = LoadAllRelayBlocks(meetFolder);
      if (!blocks) return std::unexpected(blocks.error());
      in.blocks = std::move(*blocks);
    }
  }
  if (o.writeStandards) {
    auto table = LoadShikaku(meetFolder);
    if (!table) return std::unexpected(table.error());
    if (table->empty()) return Fail(ErrorKind::NotFound, "標準記録ファイル shikaku.dat がありません。");
    if (table->recordsHeld() < ShikakuTable::kRecords)
      return Fail(ErrorKind::Format, "標準記録ファイル shikaku.dat が途中で切れています（" +
                                         NumberText(table->recordsHeld()) + " / " +
                                         NumberText(ShikakuTable::kRecords) + " レコード）。");
    in.standards = std::move(*table);
  }

  auto built = BuildResultFile(in, s, o);
  if (!built) return std::unexpected(built.error());

  ResultFileOutcome out;
  out.ind2File = FindFile(meetFolder, kInd2FileName);
  out.resultFile = FindFile(entryFolder, resultFileName);
  out.entries = static_cast<int>(in.entries.size());
  out.entriesKept = built->entriesKept;
  out.resultsWritten = built->resultsWritten;
  out.firstDay = built->firstDay;
  if (auto ok = WriteWholeFiles({{out.ind2File, built->ind2}, {out.resultFile, built->resultFile}}); !ok)
    return std::unexpected(ok.error());
  return out;
}

}  // namespace meet
