// shikaku.dat's standards and records: the table read from the bytes, its
// groups, and the table's bytes giving back every record the file held whole.
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
  const std::string out = ShikakuTableBytes(*table);
  const size_t whole = std::min<size_t>(size / L::kRecordLength, L::kRecordCount) * L::kRecordLength;
  fuzz::Expect(out.compare(0, whole, bytes.substr(0, whole)) == 0, "the table's bytes keep every record read whole");
  return 0;
}
