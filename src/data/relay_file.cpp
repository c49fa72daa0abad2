#include "data/relay_file.h"

#include <string>

#include "core/file_names.h"

namespace meet {

namespace L = relay_layout;

namespace {

std::filesystem::path RelayFilePath(const std::filesystem::path& meetFolder) {
  return FindFile(meetFolder, kRelayFileName);
}

int16_t BlocksHeld(const RecordFile& file) {
  if (file.byteSize() <= L::kEmptyFileSize) return 0;
  int64_t count = file.Read(1).I16(L::kRelayCount);
  int64_t held = file.recordsHeld() - (L::kFirstBlockRecord - 1);
  if (count > held) count = held;
  if (count < 0) count = 0;
  return static_cast<int16_t>(count);
}

}  // namespace

int16_t RelayBlocksHeld(std::string_view bytes) {
  if (bytes.size() <= L::kEmptyFileSize) return 0;
  const Record header(std::string(bytes.substr(0, L::kRecordLength)), L::kRecordLength);
  int64_t count = header.I16(L::kRelayCount);
  const int64_t held = static_cast<int64_t>((bytes.size() + L::kRecordLength - 1) / L::kRecordLength) -
                       (L::kFirstBlockRecord - 1);
  if (count > held) count = held;
  if (count < 0) count = 0;
  return static_cast<int16_t>(count);
}

Result<RelayFile> RelayFile::Open(const std::filesystem::path& meetFolder) {
  auto file = RecordFile::Open(RelayFilePath(meetFolder), L::kRecordLength, RecordFile::Mode::ReadWrite);
  if (!file) return std::unexpected(file.error());
  int16_t count = BlocksHeld(*file);
  return RelayFile(std::move(*file), count);
}

Result<RelayFile> RelayFile::OpenForReading(const std::filesystem::path& meetFolder) {
  auto file = RecordFile::Open(RelayFilePath(meetFolder), L::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return std::unexpected(file.error());
  int16_t count = BlocksHeld(*file);
  return RelayFile(std::move(*file), count);
}

RelayBlock RelayFile::Read(int b) const {
  if (b < 1) return RelayBlock{};
  return RelayBlockFromRecord(file_.Read(static_cast<int64_t>(b) + (L::kFirstBlockRecord - 1)));
}

Status RelayFile::Write(int b, const RelayBlock& block) {
  if (b < 1 || b > L::kMaxBlock)
    return Fail(ErrorKind::Invalid, "リレーブロック番号 " + std::to_string(b) + " は範囲外です（1～" +
                                        std::to_string(L::kMaxBlock) + "）。");
  return file_.Write(static_cast<int64_t>(b) + (L::kFirstBlockRecord - 1), RecordFromRelayBlock(block));
}

Status RelayFile::SetRelayCount(int16_t count) {
  if (count < 0) return Fail(ErrorKind::Invalid, "リレーブロック数 " + std::to_string(count) + " は使えません。");
  Record header(L::kRecordLength);
  header.SetI16(L::kRelayCount, count);
  if (auto ok = file_.Write(1, header); !ok) return ok;
  relayCount_ = count;
  return {};
}

RelayBlock RelayBlockFromRecord(const Record& r) {
  RelayBlock b;
  b.relayBlockNo = r.I16(L::kRelayBlockNo);
  for (size_t k = 0; k < b.legMembers.size(); ++k) b.legMembers[k] = r.I16(L::kLegMembers + 2 * k);
  b.relayRace = r.I16(L::kRelayRace);
  for (size_t k = 0; k < b.splitTimes.size(); ++k) b.splitTimes[k] = r.I32(L::kSplitTimes + 4 * k);
  return b;
}

Record RecordFromRelayBlock(const RelayBlock& b) {
  Record r(L::kRecordLength);  // relayFiller stays NUL
  r.SetI16(L::kRelayBlockNo, b.relayBlockNo);
  for (size_t k = 0; k < b.legMembers.size(); ++k) r.SetI16(L::kLegMembers + 2 * k, b.legMembers[k]);
  r.SetI16(L::kRelayRace, b.relayRace);
  for (size_t k = 0; k < b.splitTimes.size(); ++k) r.SetI32(L::kSplitTimes + 4 * k, b.splitTimes[k]);
  return r;
}

}  // namespace meet
