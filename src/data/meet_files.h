// The race, entry and relay files read whole for one batch command (the
// result file, the federation report), checked against their own counts so
// that a command never works from half a file.
#pragma once

#include <filesystem>
#include <vector>

#include "core/error.h"
#include "core/record_file.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/relay_file.h"

namespace meet {

// Races 1..raceCount (index n − 1). A missing race file is an error; one of
// 10 bytes or less holds no races; a header count beyond the records the file
// holds, or a negative one, is an error naming the file.
Result<std::vector<Race>> LoadAllRaces(const std::filesystem::path& meetFolder);

// The entry file's records as they are: the header (record 1) and entries
// 1..entryCount (records 11 …). A missing file, one without a header, or one
// shorter than its entry count is an error.
struct EntryFileImage {
  Record header{entry_layout::kRecordLength};
  std::vector<Record> entries;  // entry n at index n − 1
  Entry Load(int n) const;      // an empty entry outside 1..count
  int count() const { return static_cast<int>(entries.size()); }
};
Result<EntryFileImage> LoadEntryFileImage(const std::filesystem::path& entryFile);

// Blocks 1..relayCount (index b − 1). A missing relay file holds no blocks; a
// header count beyond the records held is an error.
Result<std::vector<RelayBlock>> LoadAllRelayBlocks(const std::filesystem::path& meetFolder);

}  // namespace meet
