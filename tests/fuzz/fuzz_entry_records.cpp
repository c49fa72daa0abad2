// The entry file's records straight from the bytes (header, the meet's own
// events, entries), and both readers of the file agreeing on what it holds.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "data/entry_file.h"
#include "data/meet_files.h"
#include "fuzz_bytes.h"
#include "fuzz_support.h"

using namespace meet;
namespace L = meet::entry_layout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  const int64_t records = fuzz::RecordsIn(bytes, L::kRecordLength);
  (void)EntryHeaderFromRecord(fuzz::RecordOf(bytes, 1, L::kRecordLength));
  (void)EventDefinitionsFromRecord(fuzz::RecordOf(bytes, 2, L::kRecordLength));
  fuzz::Put(fuzz::EntryFile(), data, size);
  const int64_t room = size <= L::kEmptyFileSize ? 0 : std::max<int64_t>(0, records - (L::kFirstEntryRecord - 1));
  int32_t held = -1;
  if (auto file = EntryFile::OpenForReading(fuzz::EntryFile())) {
    held = file->entriesHeld();
    fuzz::Expect(held >= 0 && held <= room, "entriesHeld within the entry records the file holds");
    (void)file->Events();
    for (int32_t n : {-1, 0, 1, held, held + 1, INT32_MAX}) (void)file->Load(n);
  }
  if (auto image = LoadEntryFileImage(fuzz::EntryFile())) {
    fuzz::Expect(image->count() <= room, "the entry image within the entry records the file holds");
    fuzz::Expect(held < 0 || image->count() == held, "the entry image holds the entries the entry file counts");
    for (int n = 1; n <= image->count(); ++n) (void)image->Load(n);
  }
  return 0;
}
