#include "data/race_states.h"

#include <algorithm>

#include "core/file_names.h"
#include "core/record_file.h"
#include "data/race_layout.h"

namespace meet {

namespace {

size_t WholeRecords(size_t bytes) {
  const size_t records = (bytes + kRaceStateRecordLength - 1) / kRaceStateRecordLength;
  return std::max<size_t>(records, 1) * kRaceStateRecordLength;
}

}  // namespace

Result<RaceStates> RaceStates::Read(const std::filesystem::path& meetFolder) {
  RaceStates states;
  const auto path = FindFile(meetFolder, kRaceStateFileName);
  auto bytes = ReadFileHead(path, kRaceStateMaxBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return states;
    return std::unexpected(bytes.error());
  }
  states.text_ = std::move(*bytes);
  return states;
}

char RaceStates::state(int n) const {
  if (n < 1) return '\0';
  if (auto it = changes_.find(n); it != changes_.end()) return it->second;
  if (static_cast<size_t>(n) > text_.size()) return '\0';
  return text_[static_cast<size_t>(n) - 1];
}

void RaceStates::Set(int n, char state) {
  if (n < 1 || n > race_layout::kMaxRace) return;
  if (static_cast<size_t>(n) <= text_.size() && text_[static_cast<size_t>(n) - 1] == state) {
    changes_.erase(n);
    return;
  }
  changes_[n] = state;
}

std::string RaceStates::text() const {
  std::string result = text_;
  for (const auto& [n, c] : changes_) {
    if (static_cast<size_t>(n) <= result.size()) result[static_cast<size_t>(n) - 1] = c;
  }
  return result;
}

Status RaceStates::Write(const std::filesystem::path& meetFolder) {
  if (changes_.empty()) return {};
  const auto path = FindFile(meetFolder, kRaceStateFileName);
  auto file = RecordFile::Open(path, kRaceStateRecordLength, RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  // A race the file does not reach: grow it first by whole records of "0".
  const size_t onDisk = static_cast<size_t>(file->byteSize());
  const size_t needed = static_cast<size_t>(changes_.rbegin()->first);
  if (needed > onDisk) {
    const size_t target = WholeRecords(needed);
    if (auto s = file->WriteBytesAt(onDisk, std::string(target - onDisk, kStateNoRace)); !s) return s;
  }
  for (const auto& [n, c] : changes_) {
    if (auto s = file->WriteBytesAt(static_cast<uint64_t>(n) - 1, std::string(1, c)); !s) return s;
  }
  text_ = text();
  if (text_.size() < onDisk) text_.resize(std::min(onDisk, kRaceStateMaxBytes), kStateNoRace);
  if (needed > onDisk) text_.resize(WholeRecords(needed), kStateNoRace);
  for (const auto& [n, c] : changes_) text_[static_cast<size_t>(n) - 1] = c;
  changes_.clear();
  return {};
}

std::string RaceStateFileBytes(int raceCount) {
  const size_t races = static_cast<size_t>(std::clamp(raceCount, 0, static_cast<int>(race_layout::kMaxRace)));
  std::string bytes(WholeRecords(races), kStateNoRace);
  std::fill_n(bytes.begin(), races, kStateSeeded);
  return bytes;
}

Status CreateRaceStates(const std::filesystem::path& meetFolder, int raceCount) {
  if (raceCount < 0 || raceCount > race_layout::kMaxRace)
    return Fail(ErrorKind::Invalid, "レース数が範囲外です: " + std::to_string(raceCount));
  return WriteWholeFile(FindFile(meetFolder, kRaceStateFileName), RaceStateFileBytes(raceCount));
}

}  // namespace meet
