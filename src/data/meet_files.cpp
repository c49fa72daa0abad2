#include "data/meet_files.h"

#include "core/file_names.h"

namespace meet {

namespace {

// Records n + 10 for n = 1..count of a file's bytes, or an error when the file
// ends before the last one.
Result<std::vector<Record>> CountedRecords(const std::string& bytes, size_t length, int64_t count,
                                           const std::filesystem::path& file, const char* what) {
  if (count < 0)
    return Fail(ErrorKind::Format, file.string() + " の" + what + "数 " + std::to_string(count) + " が読めません。");
  uint64_t need = static_cast<uint64_t>(count + 10) * length;
  if (count > 0 && bytes.size() < need)
    return Fail(ErrorKind::Format, file.string() + " が途中で切れています（" + what + " " + std::to_string(count) +
                                       " 件のうち " +
                                       std::to_string(bytes.size() / length > 10 ? bytes.size() / length - 10 : 0) +
                                       " 件しかありません）。");
  std::vector<Record> records;
  records.reserve(static_cast<size_t>(count));
  for (int64_t n = 1; n <= count; ++n)
    records.emplace_back(bytes.substr(static_cast<size_t>(n + 9) * length, length), length);
  return records;
}

}  // namespace

Result<std::vector<Race>> LoadAllRaces(const std::filesystem::path& meetFolder) {
  auto path = FindFile(meetFolder, kRaceFileName);
  auto bytes = ReadFileHead(path, race_layout::kMaxFileBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound)
      return Fail(ErrorKind::NotFound, "競技ファイル " + path.string() + " がありません。");
    return std::unexpected(bytes.error());
  }
  std::vector<Race> races;
  if (bytes->size() <= race_layout::kEmptyFileSize) return races;
  int16_t count = Record(bytes->substr(0, race_layout::kRecordLength), race_layout::kRecordLength).I16(race_layout::kRaceCount);
  auto records = CountedRecords(*bytes, race_layout::kRecordLength, count, path, "レース");
  if (!records) return std::unexpected(records.error());
  races.reserve(records->size());
  for (const Record& r : *records) races.push_back(RaceFromRecord(r, false));
  return races;
}

Entry EntryFileImage::Load(int n) const {
  if (n < 1 || n > count()) return Entry{};
  return EntryFromRecord(entries[static_cast<size_t>(n - 1)]);
}

Result<EntryFileImage> LoadEntryFileImage(const std::filesystem::path& entryFile) {
  auto bytes = ReadFileHead(entryFile, entry_layout::kMaxFileBytes);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound)
      return Fail(ErrorKind::NotFound, "申込ファイル " + entryFile.string() + " がありません。");
    return std::unexpected(bytes.error());
  }
  if (bytes->size() <= entry_layout::kEmptyFileSize)
    return Fail(ErrorKind::Format, "申込ファイル " + entryFile.string() + " にヘッダーがありません。");
  EntryFileImage image;
  image.header = Record(bytes->substr(0, entry_layout::kRecordLength), entry_layout::kRecordLength);
  auto records = CountedRecords(*bytes, entry_layout::kRecordLength, image.header.I32(entry_layout::kEntryCount),
                                entryFile, "申込者");
  if (!records) return std::unexpected(records.error());
  image.entries = std::move(*records);
  return image;
}

Result<std::vector<RelayBlock>> LoadAllRelayBlocks(const std::filesystem::path& meetFolder) {
  auto path = FindFile(meetFolder, kRelayFileName);
  auto bytes = ReadFileHead(path, relay_layout::kMaxFileBytes);
  std::vector<RelayBlock> blocks;
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound) return blocks;
    return std::unexpected(bytes.error());
  }
  if (bytes->size() <= relay_layout::kEmptyFileSize) return blocks;
  int16_t count = Record(bytes->substr(0, relay_layout::kRecordLength), relay_layout::kRecordLength).I16(relay_layout::kRelayCount);
  auto records = CountedRecords(*bytes, relay_layout::kRecordLength, count, path, "リレー");
  if (!records) return std::unexpected(records.error());
  for (const Record& r : *records) blocks.push_back(RelayBlockFromRecord(r));
  return blocks;
}

}  // namespace meet
