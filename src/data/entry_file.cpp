#include "data/entry_file.h"

#include <system_error>

#include "core/file_names.h"
#include "core/numbers.h"

namespace meet {

namespace L = entry_layout;

namespace {

constexpr size_t kEntryCreatedWidth = 10;
constexpr size_t kEntryMeetAbbrevWidth = 8;
constexpr size_t kEntryVenueWidth = 12;
constexpr size_t kEntryDateWidth = 10;
constexpr size_t kEntryMeetCodeWidth = 7;
constexpr size_t kEntryFillerWidth = L::kRecordLength - L::kEntryFiller;

constexpr size_t kEntryCode7Width = 7;
constexpr size_t kRegNoWidth = 14;
constexpr size_t kSwimmerNameWidth = 16;
constexpr size_t kSwimmerKanaWidth = 16;
constexpr size_t kPrefNameWidth = 8;
constexpr size_t kText6Width = 6;
constexpr size_t kAffiliationWidth = 12;
constexpr size_t kGradeCodeWidth = 2;
constexpr size_t kEventFlagsWidth = L::kEvents;

// A folder (an empty entry file name leaves only the folder) is never taken
// for an entry file.
Status CheckNotFolder(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return Fail(ErrorKind::NotFound, path.string() + " はエントリーファイルではありません（フォルダーです）。");
  return {};
}

bool HoldsNothing(const RecordFile& file) { return file.byteSize() <= L::kEmptyFileSize; }

std::string SixDigits(std::string text) {
  if (LeadingNumber(text) == 0) return "000000";
  return text;
}

}  // namespace

std::filesystem::path EntryFilePath(const std::string& entryFolder, const std::string& entryFileName) {
  return FindFile(entryFolder, entryFileName);
}

Result<EntryFile> EntryFile::Open(const std::filesystem::path& path, const Clock& clock) {
  if (auto ok = CheckNotFolder(path); !ok) return std::unexpected(ok.error());
  auto file = RecordFile::Open(path, L::kRecordLength, RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  if (!HoldsNothing(*file)) {
    EntryHeader header = EntryHeaderFromRecord(file->Read(1));
    return EntryFile(std::move(*file), std::move(header));
  }
  EntryHeader fresh;
  fresh.entryCount = 0;
  fresh.entryCourse = 1;
  std::string today = DateSlashed(clock.Now());
  fresh.entryCreated = today;
  fresh.entryDateFrom = today;
  fresh.entryDateTo = today;
  std::string name = path.filename().string();
  fresh.entryMeetAbbrev = name.substr(0, name.find('.'));
  Record record = RecordFromEntryHeader(fresh);
  if (auto ok = file->Write(1, record); !ok) return std::unexpected(ok.error());
  // The header is held as a later reader sees it.
  return EntryFile(std::move(*file), EntryHeaderFromRecord(record));
}

Result<EntryFile> EntryFile::OpenForReading(const std::filesystem::path& path) {
  if (auto ok = CheckNotFolder(path); !ok) return std::unexpected(ok.error());
  auto file = RecordFile::Open(path, L::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return std::unexpected(file.error());
  EntryHeader header = HoldsNothing(*file) ? EntryHeader{} : EntryHeaderFromRecord(file->Read(1));
  return EntryFile(std::move(*file), std::move(header));
}

int32_t EntryFile::entriesHeld() const {
  if (HoldsNothing(file_)) return 0;
  int64_t present = file_.recordsHeld() - (L::kFirstEntryRecord - 1);
  int64_t count = header_.entryCount;
  if (count > present) count = present;
  if (count < 0) count = 0;
  // Entries past the 16-bit numbers of the lanes are of no use to any reader.
  if (count > L::kMaxUsableEntries) count = L::kMaxUsableEntries;
  return static_cast<int32_t>(count);
}

Entry EntryFile::Load(int32_t n) const {
  if (n <= 0 || n > entriesHeld()) return Entry{};
  return EntryFromRecord(file_.Read(static_cast<int64_t>(n) + (L::kFirstEntryRecord - 1)));
}

EventDefinitions EntryFile::Events() const {
  if (HoldsNothing(file_)) return EventDefinitions{};
  return EventDefinitionsFromRecord(file_.Read(L::kEventRecord));
}

Status EntryFile::SaveHeader() { return file_.Write(1, RecordFromEntryHeader(header_)); }

EntryHeader EntryHeaderFromRecord(const Record& r) {
  EntryHeader h;
  h.entryCount = r.I32(L::kEntryCount);
  h.entryCourse = r.I16(L::kEntryCourse);
  h.entryCreated = r.Text(L::kEntryCreated, kEntryCreatedWidth);
  h.entryMeetAbbrev = r.Text(L::kEntryMeetAbbrev, kEntryMeetAbbrevWidth);
  h.entryVenue = r.Text(L::kEntryVenue, kEntryVenueWidth);
  h.entryDateFrom = r.Text(L::kEntryDateFrom, kEntryDateWidth);
  h.entryDateTo = r.Text(L::kEntryDateTo, kEntryDateWidth);
  h.entryMeetCode = r.Text(L::kEntryMeetCode, kEntryMeetCodeWidth);
  h.classScheme = r.I16(L::kClassScheme);
  h.entryHeaderSpare = r.I16(L::kEntryHeaderSpare);
  for (size_t k = 0; k < h.entryDays.size(); ++k) h.entryDays[k] = r.I32(L::kEntryDays + 4 * k);
  h.entryFiller = r.Raw(L::kEntryFiller, kEntryFillerWidth);
  return h;
}

Record RecordFromEntryHeader(const EntryHeader& h) {
  Record r(L::kRecordLength);
  r.SetI32(L::kEntryCount, h.entryCount);
  r.SetI16(L::kEntryCourse, h.entryCourse);
  r.SetText(L::kEntryCreated, kEntryCreatedWidth, h.entryCreated);
  r.SetText(L::kEntryMeetAbbrev, kEntryMeetAbbrevWidth, h.entryMeetAbbrev);
  r.SetText(L::kEntryVenue, kEntryVenueWidth, h.entryVenue);
  r.SetText(L::kEntryDateFrom, kEntryDateWidth, h.entryDateFrom);
  r.SetText(L::kEntryDateTo, kEntryDateWidth, h.entryDateTo);
  r.SetText(L::kEntryMeetCode, kEntryMeetCodeWidth, h.entryMeetCode);
  r.SetI16(L::kClassScheme, h.classScheme);
  r.SetI16(L::kEntryHeaderSpare, h.entryHeaderSpare);
  for (size_t k = 0; k < h.entryDays.size(); ++k) r.SetI32(L::kEntryDays + 4 * k, h.entryDays[k]);
  r.SetRaw(L::kEntryFiller, kEntryFillerWidth, h.entryFiller);
  return r;
}

Entry EntryFromRecord(const Record& r) {
  Entry e;
  e.entryNo = r.I32(L::kEntryNo);
  e.entryCode7 = r.Text(L::kEntryCode7, kEntryCode7Width);
  e.regNo = r.Text(L::kRegNo, kRegNoWidth);
  e.swimmerName = r.Text(L::kSwimmerName, kSwimmerNameWidth);
  e.swimmerKana = r.Text(L::kSwimmerKana, kSwimmerKanaWidth);
  e.prefName = r.Text(L::kPrefName, kPrefNameWidth);
  e.entryText6a = r.Text(L::kEntryText6a, kText6Width);
  e.affiliation = r.Text(L::kAffiliation, kAffiliationWidth);
  e.entryText6b = r.Text(L::kEntryText6b, kText6Width);
  e.gradeCode = r.Text(L::kGradeCode, kGradeCodeWidth);
  e.age = r.I16(L::kAge);
  e.sexCode = r.Text(L::kSexCode, 1);
  e.entryFlag = r.Text(L::kEntryFlag, 1);
  for (size_t k = 0; k < e.entryTimes.size(); ++k) e.entryTimes[k] = r.I32(L::kEntryTimes + 4 * k);
  e.entryText6c = SixDigits(r.Text(L::kEntryText6c, kText6Width));
  e.entryLong = r.I32(L::kEntryLong);
  e.entryEventFlags = r.Raw(L::kEntryEventFlags, kEventFlagsWidth);
  e.entryEventFlags2 = r.Raw(L::kEntryEventFlags2, kEventFlagsWidth);
  return e;
}

Record RecordFromEntry(const Entry& e) {
  Record r(L::kRecordLength);  // entryTail stays NUL
  r.SetI32(L::kEntryNo, e.entryNo);
  r.SetText(L::kEntryCode7, kEntryCode7Width, e.entryCode7);
  r.SetText(L::kRegNo, kRegNoWidth, e.regNo);
  r.SetText(L::kSwimmerName, kSwimmerNameWidth, e.swimmerName);
  r.SetText(L::kSwimmerKana, kSwimmerKanaWidth, e.swimmerKana);
  r.SetText(L::kPrefName, kPrefNameWidth, e.prefName);
  r.SetText(L::kEntryText6a, kText6Width, e.entryText6a);
  r.SetText(L::kAffiliation, kAffiliationWidth, e.affiliation);
  r.SetText(L::kEntryText6b, kText6Width, e.entryText6b);
  r.SetText(L::kGradeCode, kGradeCodeWidth, e.gradeCode);
  r.SetI16(L::kAge, e.age);
  r.SetText(L::kSexCode, 1, e.sexCode);
  r.SetText(L::kEntryFlag, 1, e.entryFlag);
  for (size_t k = 0; k < e.entryTimes.size(); ++k) r.SetI32(L::kEntryTimes + 4 * k, e.entryTimes[k]);
  r.SetText(L::kEntryText6c, kText6Width, e.entryText6c);
  r.SetI32(L::kEntryLong, e.entryLong);
  r.SetRaw(L::kEntryEventFlags, kEventFlagsWidth, e.entryEventFlags);
  r.SetRaw(L::kEntryEventFlags2, kEventFlagsWidth, e.entryEventFlags2);
  return r;
}

EventDefinitions EventDefinitionsFromRecord(const Record& r) {
  EventDefinitions d;
  for (size_t k = 0; k < static_cast<size_t>(L::kExtraEvents); ++k) {
    d.extraClassNames[k] = r.Text(L::kExtraClassNames + L::kExtraClassNameWidth * k, L::kExtraClassNameWidth);
    d.extraEventNames[k] = r.Text(L::kExtraEventNames + L::kExtraEventNameWidth * k, L::kExtraEventNameWidth);
    d.extraRelayFlags[k] = r.Byte(L::kExtraRelayFlags + k);
  }
  return d;
}

Record RecordFromEventDefinitions(const EventDefinitions& d) {
  Record r(L::kRecordLength);  // extraFiller stays NUL
  for (size_t k = 0; k < static_cast<size_t>(L::kExtraEvents); ++k) {
    r.SetText(L::kExtraClassNames + L::kExtraClassNameWidth * k, L::kExtraClassNameWidth, d.extraClassNames[k]);
    r.SetText(L::kExtraEventNames + L::kExtraEventNameWidth * k, L::kExtraEventNameWidth, d.extraEventNames[k]);
    r.SetByte(L::kExtraRelayFlags + k, d.extraRelayFlags[k]);
  }
  return r;
}

}  // namespace meet
