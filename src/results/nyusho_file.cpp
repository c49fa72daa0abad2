#include "results/nyusho_file.h"

#include <algorithm>

#include "core/file_names.h"
#include "core/record_file.h"

namespace meet {

namespace N = nyusho_layout;
namespace B = biko_layout;

namespace {

size_t TallyOffset(int p, int c) { return N::kTally + 2 * static_cast<size_t>(p + kTallyRows * c); }

Record RecordFromTeam(const TeamRecord& team) {
  Record r(N::kRecordLength);
  r.SetText(N::kTeamCode, N::kTeamCodeWidth, team.teamCode);
  r.SetText(N::kTeamName, N::kTeamNameWidth, team.teamName);
  r.SetText(N::kTeamPrefName, N::kTeamPrefNameWidth, team.teamPrefName);
  for (int c = 0; c < kTallyColumns; ++c)
    for (int p = 0; p < kTallyRows; ++p) r.SetI16(TallyOffset(p, c), team.at(p, c));
  return r;
}

TeamRecord TeamFromRecord(const Record& r) {
  TeamRecord team;
  team.teamCode = r.Text(N::kTeamCode, N::kTeamCodeWidth);
  team.teamName = r.Text(N::kTeamName, N::kTeamNameWidth);
  team.teamPrefName = r.Text(N::kTeamPrefName, N::kTeamPrefNameWidth);
  for (int c = 0; c < kTallyColumns; ++c)
    for (int p = 0; p < kTallyRows; ++p) team.at(p, c) = r.I16(TallyOffset(p, c));
  return team;
}

Record RecordFromBikoEntry(const BikoEntry& e) {
  Record r(B::kRecordLength);
  r.SetI16(B::kRaceEventNo, e.raceEventNo);
  r.SetI16(B::kHeatNo, e.heatNo);
  r.SetText(B::kSexCode, 1, e.sexCode);
  r.SetI16(B::kClassFrom, e.classFrom);
  r.SetI16(B::kClassTo, e.classTo);
  r.SetI16(B::kEventCode, e.eventCode);
  r.SetText(B::kRelayFlag, 1, e.relayFlag);
  r.SetText(B::kStageCode, 1, e.stageCode);
  r.SetI32(B::kTime, e.time);
  r.SetI16(B::kRecordClass, e.recordClass);
  r.SetI16(B::kPlace, e.place);
  r.SetI16(B::kPlacePoints, e.placePoints);
  r.SetI16(B::kReachedOrder, e.reachedOrder);
  r.SetI16(B::kBonusValue, e.bonusValue);
  for (size_t k = 0; k < B::kMemberCount; ++k) r.SetI16(B::kMembers + 2 * k, e.members[k]);
  r.SetText(B::kTeamCode, B::kTeamCodeWidth, e.teamCode);
  r.SetText(B::kDayNo, 1, e.dayNo);
  r.SetRaw(B::kRecordSpare, B::kRecordSpareWidth, e.recordSpare);
  return r;
}

}  // namespace

std::string NyushoFileBytes(const NyushoTable& table) {
  Record header(N::kHeaderLength);
  header.SetI16(N::kTeamCount, static_cast<int16_t>(std::min<size_t>(table.teams.size(), 32767)));
  header.SetText(N::kTallyDate, N::kTallyDateWidth, table.tallyDate);
  header.SetText(N::kTallyTime, N::kTallyTimeWidth, table.tallyTime);
  std::string bytes = header.bytes();
  if (table.teams.empty()) return bytes;
  bytes.resize(N::kRecordLength * (N::kFirstTeamRecord - 1), '\0');
  bytes.reserve(bytes.size() + N::kRecordLength * table.teams.size());
  for (const TeamRecord& team : table.teams) bytes += RecordFromTeam(team).bytes();
  return bytes;
}

Result<NyushoTable> LoadNyusho(const std::filesystem::path& meetFolder) {
  auto file = RecordFile::Open(FindFile(meetFolder, kNyushoFileName), N::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return std::unexpected(file.error());
  NyushoTable table;
  if (file->byteSize() < N::kTalliedFromSize) return table;
  table.tallied = true;
  const Record header = file->Read(1);
  table.tallyDate = header.Text(N::kTallyDate, N::kTallyDateWidth);
  table.tallyTime = header.Text(N::kTallyTime, N::kTallyTimeWidth);
  const int64_t room = std::max<int64_t>(0, file->recordsHeld() - (N::kFirstTeamRecord - 1));
  const int64_t count = std::clamp<int64_t>(header.I16(N::kTeamCount), 0, room);
  table.teams.reserve(static_cast<size_t>(count));
  for (int64_t n = 1; n <= count; ++n) table.teams.push_back(TeamFromRecord(file->Read(n + N::kFirstTeamRecord - 1)));
  return table;
}

bool NyushoTallied(const std::filesystem::path& meetFolder) {
  return FileSize(FindFile(meetFolder, kNyushoFileName)) >= N::kTalliedFromSize;
}

std::string BikoFileBytes(const std::vector<BikoEntry>& entries) {
  Record header(B::kRecordLength);
  header.SetI16(B::kRecordCount, static_cast<int16_t>(std::min<size_t>(entries.size(), 32767)));
  std::string bytes = header.bytes();
  bytes.reserve(B::kRecordLength * (entries.size() + 1));
  for (const BikoEntry& e : entries) bytes += RecordFromBikoEntry(e).bytes();
  return bytes;
}

}  // namespace meet
