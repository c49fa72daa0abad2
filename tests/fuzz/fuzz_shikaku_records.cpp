// shikaku.dat's standards and records: the table read from the bytes, its
// groups, and every record the file held whole written back to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "records/shikaku_file.h"

using namespace meet;
namespace L = meet::shikaku_layout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  const auto file = fuzz::Meet() / "shikaku.dat";
  fuzz::Put(file, data, size);
  auto table = LoadShikakuTable(file);
  if (!table) return 0;
  const int64_t records = std::min<int64_t>(fuzz::RecordsIn(bytes, L::kRecordLength), L::kRecordCount);
  fuzz::Expect(table->recordsHeld() <= records, "the records held within the file");
  // A few records picked by the input: their groups and labels.
  for (size_t i = 0; i < std::min<size_t>(size, 8); ++i) {
    const int r = static_cast<int>(fuzz::I16At(bytes, i * 2));
    (void)table->record(r);
    (void)table->GroupKeyValid(r);
    (void)table->GroupOf(r);
    (void)KindOfRecord(r);
  }
  for (int r : {-1, 0, 1, L::kRecordCount, L::kRecordCount + 1}) (void)table->GroupOf(r);
  const int64_t whole = std::min<int64_t>(static_cast<int64_t>(size / L::kRecordLength), fuzz::kRecordsDecoded);
  for (int64_t r = 1; r <= whole; ++r)
    fuzz::Expect(RecordFromShikakuRecord(table->record(static_cast<int>(r))).bytes() ==
                     fuzz::RecordOf(bytes, r, L::kRecordLength).bytes(),
                 "a record read whole is written back to the same bytes");
  return 0;
}
