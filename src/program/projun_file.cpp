#include "program/projun_file.h"

#include <algorithm>

#include "core/file_names.h"

namespace meet {

namespace L = projun_layout;

namespace {

// A one-byte text field: its character, or empty for a NUL byte.
std::string OneChar(const Record& r, size_t offset) {
  std::string text = r.Text(offset, 1);
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

}  // namespace

ProgramEntry BlankProgramEntry() {
  ProgramEntry e;
  e.orderNo = 1;
  return e;
}

ProgramEntry ProgramEntryFromRecord(const Record& r) {
  ProgramEntry e;
  e.orderNo = r.I16(L::kOrderNo);
  e.heatCount = r.I16(L::kHeatCount);
  e.sexCode = OneChar(r, L::kSexCode);
  e.ageFrom = r.I16(L::kAgeFrom);
  e.ageTo = r.I16(L::kAgeTo);
  e.eventCode = r.I16(L::kEventCode);
  e.stageCode = OneChar(r, L::kStageCode);
  e.perHeatTime = r.I32(L::kPerHeatTime);
  e.totalTime = r.I32(L::kTotalTime);
  e.startTime = r.I32(L::kStartTime);
  e.firstRace = r.I16(L::kFirstRace);
  e.seedFlag = OneChar(r, L::kSeedFlag);
  e.dayNo = OneChar(r, L::kDayNo);
  e.entrySpare = r.I16(L::kEntrySpare);
  e.excludedHeats = r.I16(L::kExcludedHeats);
  return e;
}

Record RecordFromProgramEntry(const ProgramEntry& e) {
  Record r(L::kRecordLength);
  r.SetI16(L::kOrderNo, e.orderNo);
  r.SetI16(L::kHeatCount, e.heatCount);
  r.SetText(L::kSexCode, 1, e.sexCode);
  r.SetI16(L::kAgeFrom, e.ageFrom);
  r.SetI16(L::kAgeTo, e.ageTo);
  r.SetI16(L::kEventCode, e.eventCode);
  r.SetText(L::kStageCode, 1, e.stageCode);
  r.SetI32(L::kPerHeatTime, e.perHeatTime);
  r.SetI32(L::kTotalTime, e.totalTime);
  r.SetI32(L::kStartTime, e.startTime);
  r.SetI16(L::kFirstRace, e.firstRace);
  r.SetText(L::kSeedFlag, 1, e.seedFlag);
  r.SetText(L::kDayNo, 1, e.dayNo);
  r.SetI16(L::kEntrySpare, e.entrySpare);
  r.SetI16(L::kExcludedHeats, e.excludedHeats);
  r.SetRaw(L::kProgramFiller, L::kProgramFillerWidth, std::string(L::kProgramFillerWidth, ' '));
  return r;
}

Record ProgramHeaderRecord(int16_t count) {
  Record r(L::kRecordLength);
  r.SetI16(L::kProgramCount, count);
  r.SetRaw(L::kHeaderFiller, L::kHeaderFillerWidth, std::string(L::kHeaderFillerWidth, ' '));
  return r;
}

int64_t HhmmssToSeconds(int64_t v) { return (v / 10000) * 3600 + ((v % 10000) / 100) * 60 + v % 100; }
int64_t SecondsToHhmmss(int64_t s) { return (s / 3600) * 10000 + ((s % 3600) / 60) * 100 + s % 60; }
int64_t MmssToSeconds(int64_t v) { return (v / 100) * 60 + v % 100; }

ProgramOrder ProgramOrder::FromBytes(std::filesystem::path path, std::string bytes) {
  ProgramOrder order;
  order.path_ = std::move(path);
  order.bytes_ = std::move(bytes);
  if (order.bytes_.size() > L::kEmptyFileSize) {
    Record header(order.bytes_.substr(0, L::kRecordLength), L::kRecordLength);
    int64_t held = (static_cast<int64_t>(order.bytes_.size()) + static_cast<int64_t>(L::kRecordLength) - 1) /
                       static_cast<int64_t>(L::kRecordLength) -
                   (L::kFirstEntryRecord - 1);
    int64_t n = header.I16(L::kProgramCount);
    order.count_ = static_cast<int>(std::clamp<int64_t>(n, 0, std::max<int64_t>(held, 0)));
  }
  return order;
}

Result<ProgramOrder> ProgramOrder::Load(const std::filesystem::path& meetFolder) {
  std::filesystem::path path = FindFile(meetFolder, kProgramFileName);
  auto bytes = ReadFileHead(path, L::kMaxFileBytes);
  if (!bytes) {
    if (bytes.error().kind != ErrorKind::NotFound) return std::unexpected(bytes.error());
    return FromBytes(path, std::string());
  }
  return FromBytes(path, std::move(*bytes));
}

void ProgramOrder::SetCount(int n) { count_ = std::clamp(n, 0, L::kMaxEntries); }

ProgramEntry ProgramOrder::Read(int n) const {
  if (n < 1) return ProgramEntry{};
  uint64_t offset = static_cast<uint64_t>(n + L::kFirstEntryRecord - 2) * L::kRecordLength;
  std::string raw;
  if (offset < bytes_.size()) raw = bytes_.substr(offset, L::kRecordLength);
  return ProgramEntryFromRecord(Record(std::move(raw), L::kRecordLength));
}

void ProgramOrder::PutRecord(int64_t recordNo, const Record& record) {
  uint64_t offset = static_cast<uint64_t>(recordNo - 1) * L::kRecordLength;
  if (bytes_.size() < offset + L::kRecordLength) bytes_.resize(offset + L::kRecordLength, '\0');
  bytes_.replace(offset, L::kRecordLength, record.bytes());
  changed_ = true;
}

Status ProgramOrder::Write(int n, const ProgramEntry& entry) {
  if (n < 1 || n > L::kMaxEntries)
    return Fail(ErrorKind::Refused, "競技順の番号 " + std::to_string(n) + " は範囲外です（1～" +
                                        std::to_string(L::kMaxEntries) + "）。");
  PutRecord(n + L::kFirstEntryRecord - 1, RecordFromProgramEntry(entry));
  WriteHeader();
  return {};
}

void ProgramOrder::WriteHeader() { PutRecord(1, ProgramHeaderRecord(static_cast<int16_t>(count_))); }

Status ProgramOrder::Save() {
  if (!changed_) return {};
  if (auto ok = WriteWholeFile(path_, bytes_); !ok) return ok;
  changed_ = false;
  return {};
}

Result<std::vector<ProgramEntry>> LoadProgramEntries(const std::filesystem::path& meetFolder) {
  auto order = ProgramOrder::Load(meetFolder);
  if (!order) return std::unexpected(order.error());
  std::vector<ProgramEntry> entries;
  entries.reserve(static_cast<size_t>(order->count()));
  for (int n = 1; n <= order->count(); ++n) entries.push_back(order->Read(n));
  return entries;
}

std::vector<char> RaceDays(const ProgramOrder& order, int raceCount) {
  std::vector<char> days(static_cast<size_t>(std::max(raceCount, 0)), '\0');
  std::vector<bool> held(days.size(), false);
  for (int n = 1; n <= order.count(); ++n) {
    const ProgramEntry e = order.Read(n);
    if (e.orderNo == 0 || e.firstRace < 1 || e.heatCount < 1) continue;
    const char day = e.dayNo.empty() ? '\0' : e.dayNo[0];
    const int64_t last = std::min<int64_t>(int64_t{e.firstRace} + e.heatCount - 1, raceCount);
    for (int64_t r = e.firstRace; r <= last; ++r) {
      const size_t at = static_cast<size_t>(r - 1);
      if (held[at]) continue;
      held[at] = true;
      days[at] = day;
    }
  }
  return days;
}

}  // namespace meet
