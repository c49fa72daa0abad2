#include "data/race_file.h"

#include "core/cp932.h"
#include "core/file_names.h"
#include "data/race_states.h"

namespace meet {

namespace L = race_layout;

namespace {

// hhmmss → hh:mm:ss, counted in characters so that a garbled field never
// splits a decoded character.
std::string StartTimeWithColons(const std::string& stored) {
  return MidChars(stored, 0, 2) + ":" + MidChars(stored, 2, 2) + ":" + MidChars(stored, 4, 2);
}

// hh:mm:ss → hhmmss: characters 1–2, 4–5 and 7–8 of the buffer's text.
std::string StartTimeWithoutColons(const std::string& shown) {
  return MidChars(shown, 0, 2) + MidChars(shown, 3, 2) + MidChars(shown, 6, 2);
}

Status CheckRaceNumber(int n) {
  if (n < 1 || n > L::kMaxRace)
    return Fail(ErrorKind::Invalid, "レース番号 " + std::to_string(n) + " は範囲外です（1～" +
                                        std::to_string(L::kMaxRace) + "）。");
  return {};
}

std::filesystem::path RaceFilePath(const std::filesystem::path& meetFolder) {
  return FindFile(meetFolder, kRaceFileName);
}

int16_t HeaderRaceCount(const RecordFile& file) {
  if (file.byteSize() <= L::kEmptyFileSize) return 0;
  return file.Read(1).I16(L::kRaceCount);
}

Result<Race> Load(const std::filesystem::path& meetFolder, int n, bool bufferA) {
  if (auto ok = CheckRaceNumber(n); !ok) return std::unexpected(ok.error());
  auto file = RecordFile::Open(RaceFilePath(meetFolder), L::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return std::unexpected(file.error());
  Race race = RaceFromRecord(file->Read(n + 10), bufferA);
  if (bufferA) race.raceCount = HeaderRaceCount(*file);
  return race;
}

Status Save(const std::filesystem::path& meetFolder, int n, const Race& race, bool bufferA) {
  if (auto ok = CheckRaceNumber(n); !ok) return ok;
  auto file = RecordFile::Open(RaceFilePath(meetFolder), L::kRecordLength, RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  if (bufferA) {
    Record header(L::kRecordLength);  // the filler stays NUL
    header.SetI16(L::kRaceCount, race.raceCount);
    if (auto ok = file->Write(1, header); !ok) return ok;
  }
  return file->Write(n + 10, RecordFromRace(race, bufferA));
}

template <size_t N>
void ReadI16s(const Record& r, size_t offset, std::array<int16_t, N>& out) {
  for (size_t k = 0; k < N; ++k) out[k] = r.I16(offset + 2 * k);
}
template <size_t N>
void ReadI32s(const Record& r, size_t offset, std::array<int32_t, N>& out) {
  for (size_t k = 0; k < N; ++k) out[k] = r.I32(offset + 4 * k);
}
template <size_t N>
void WriteI16s(Record& r, size_t offset, const std::array<int16_t, N>& in) {
  for (size_t k = 0; k < N; ++k) r.SetI16(offset + 2 * k, in[k]);
}
template <size_t N>
void WriteI32s(Record& r, size_t offset, const std::array<int32_t, N>& in) {
  for (size_t k = 0; k < N; ++k) r.SetI32(offset + 4 * k, in[k]);
}

}  // namespace

int16_t ReadRaceCount(const std::filesystem::path& meetFolder) {
  auto file = RecordFile::Open(RaceFilePath(meetFolder), L::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return 0;
  int64_t held = file->recordsHeld() - (L::kFirstRaceRecord - 1);
  int64_t count = HeaderRaceCount(*file);
  if (count > held) count = held;
  if (count < 0) count = 0;
  return static_cast<int16_t>(count);
}

Result<Race> LoadRace(const std::filesystem::path& meetFolder, int n) { return Load(meetFolder, n, true); }
Status SaveRace(const std::filesystem::path& meetFolder, int n, const Race& race) {
  // Saving a race is followed by its state: both files must be writable
  // before the first changes, so a refused Race.dat leaves taikai.dat as it was.
  if (auto ok = CheckWritable(FindFile(meetFolder, kRaceStateFileName)); !ok) return ok;
  return Save(meetFolder, n, race, true);
}
Result<Race> LoadRaceB(const std::filesystem::path& meetFolder, int n) { return Load(meetFolder, n, false); }
Status SaveRaceB(const std::filesystem::path& meetFolder, int n, const Race& race) {
  return Save(meetFolder, n, race, false);
}

Race RaceFromRecord(const Record& r, bool bufferA) {
  Race race;
  race.eventNo = r.I16(L::kEventNo);
  race.heatNo = r.I16(L::kHeatNo);
  race.heatTotal = r.I16(L::kHeatTotal);
  race.sexCode = r.Text(L::kSexCode, 1);
  race.classFrom = r.I16(L::kClassFrom);
  race.classTo = r.I16(L::kClassTo);
  race.eventCode = r.I16(L::kEventCode);
  race.roundCode = r.Text(L::kRoundCode, 1);
  std::string start = r.Text(L::kStartTime, L::kStartTimeWidth);
  race.startTime = bufferA ? StartTimeWithColons(start) : start;
  race.relayRec = r.I16(L::kRelayRec);
  ReadI16s(r, L::kLaneNo, race.laneNo);
  ReadI32s(r, L::kLaneTime, race.laneTime);
  ReadI32s(r, L::kLaneEntryTime, race.laneEntryTime);
  ReadI16s(r, L::kLaneRank, race.laneRank);
  ReadI16s(r, L::kOpenLevel, race.openLevel);
  ReadI16s(r, L::kAgeLevel, race.ageLevel);
  ReadI16s(r, L::kLaneRecordClass, race.laneRecordClass);
  for (size_t k = 0; k < race.standardFlags.size(); ++k) race.standardFlags[k] = r.Byte(L::kStandardFlags + k);
  return race;
}

Record RecordFromRace(const Race& race, bool bufferA) {
  Record r(L::kRecordLength);  // raceSpare1 and raceSpare2 stay NUL
  r.SetI16(L::kEventNo, race.eventNo);
  r.SetI16(L::kHeatNo, race.heatNo);
  r.SetI16(L::kHeatTotal, race.heatTotal);
  r.SetText(L::kSexCode, 1, race.sexCode);
  r.SetI16(L::kClassFrom, race.classFrom);
  r.SetI16(L::kClassTo, race.classTo);
  r.SetI16(L::kEventCode, race.eventCode);
  r.SetText(L::kRoundCode, 1, race.roundCode);
  r.SetText(L::kStartTime, L::kStartTimeWidth, bufferA ? StartTimeWithoutColons(race.startTime) : race.startTime);
  r.SetI16(L::kRelayRec, race.relayRec);
  WriteI16s(r, L::kLaneNo, race.laneNo);
  WriteI32s(r, L::kLaneTime, race.laneTime);
  WriteI32s(r, L::kLaneEntryTime, race.laneEntryTime);
  WriteI16s(r, L::kLaneRank, race.laneRank);
  WriteI16s(r, L::kOpenLevel, race.openLevel);
  WriteI16s(r, L::kAgeLevel, race.ageLevel);
  WriteI16s(r, L::kLaneRecordClass, race.laneRecordClass);
  for (size_t k = 0; k < race.standardFlags.size(); ++k) r.SetByte(L::kStandardFlags + k, race.standardFlags[k]);
  return r;
}

}  // namespace meet
