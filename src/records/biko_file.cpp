#include "records/biko_file.h"

#include <algorithm>

#include "core/file_names.h"

namespace meet {

namespace L = biko_layout;

namespace {

std::string OneByte(const Record& r, size_t offset) { return r.Text(offset, 1); }

Result<RecordFile> OpenList(const std::filesystem::path& meetFolder) {
  return RecordFile::Open(FindFile(meetFolder, kBikoFileName), L::kRecordLength, RecordFile::Mode::ReadOnly);
}

int32_t EntriesHeld(const RecordFile& file) {
  if (file.byteSize() <= L::kEmptyFileSize) return 0;
  int64_t count = file.Read(1).I16(L::kRecordCount);
  int64_t room = std::max<int64_t>(0, file.recordsHeld() - 1);
  return static_cast<int32_t>(std::clamp<int64_t>(count, 0, room));
}

}  // namespace

BikoEntry BikoEntryFromRecord(const Record& r) {
  BikoEntry e;
  e.raceEventNo = r.I16(L::kRaceEventNo);
  e.heatNo = r.I16(L::kHeatNo);
  e.sexCode = OneByte(r, L::kSexCode);
  e.classFrom = r.I16(L::kClassFrom);
  e.classTo = r.I16(L::kClassTo);
  e.eventCode = r.I16(L::kEventCode);
  e.relayFlag = OneByte(r, L::kRelayFlag);
  e.stageCode = OneByte(r, L::kStageCode);
  e.time = r.I32(L::kTime);
  e.recordClass = r.I16(L::kRecordClass);
  e.place = r.I16(L::kPlace);
  e.placePoints = r.I16(L::kPlacePoints);
  e.reachedOrder = r.I16(L::kReachedOrder);
  e.bonusValue = r.I16(L::kBonusValue);
  for (int k = 0; k < L::kMemberCount; ++k) e.members[static_cast<size_t>(k)] = r.I16(L::kMembers + 2 * static_cast<size_t>(k));
  e.teamCode = r.Text(L::kTeamCode, L::kTeamCodeWidth);
  e.dayNo = OneByte(r, L::kDayNo);
  e.recordSpare = r.Raw(L::kRecordSpare, L::kRecordSpareWidth);
  return e;
}

Result<std::vector<BikoEntry>> LoadBikoEntries(const std::filesystem::path& meetFolder) {
  auto file = OpenList(meetFolder);
  if (!file) return std::unexpected(file.error());
  int32_t held = EntriesHeld(*file);
  std::vector<BikoEntry> entries;
  entries.reserve(static_cast<size_t>(held));
  for (int32_t n = 1; n <= held; ++n) entries.push_back(BikoEntryFromRecord(file->Read(n + L::kFirstEntryRecord - 1)));
  return entries;
}

int32_t BikoEntriesHeld(const std::filesystem::path& meetFolder) {
  auto file = OpenList(meetFolder);
  return file ? EntriesHeld(*file) : 0;
}

}  // namespace meet
