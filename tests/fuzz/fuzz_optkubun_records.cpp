// optkubun.dat's optional categories straight from the bytes and back, and
// the file reader's count.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "data/optional_categories.h"
#include "fuzz_bytes.h"
#include "fuzz_support.h"

using namespace meet;
namespace L = meet::optkubun_layout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  const int64_t records = fuzz::RecordsIn(bytes, L::kRecordLength);
  for (int64_t r = 2; r <= std::min(records, fuzz::kRecordsDecoded); ++r) {
    const OptionalCategory c = OptionalCategoryFromRecord(fuzz::RecordOf(bytes, r, L::kRecordLength));
    const OptionalCategory again = OptionalCategoryFromRecord(RecordFromOptionalCategory(c));
    fuzz::Expect(again.catFrom == c.catFrom && again.catTo == c.catTo && again.catEventFrom == c.catEventFrom &&
                     again.catEventTo == c.catEventTo,
                 "a category written back keeps its numbers");
  }
  fuzz::Put(fuzz::Meet() / "optkubun.dat", data, size);
  const auto categories = ReadOptionalCategories(fuzz::Meet());
  fuzz::Expect(static_cast<int64_t>(categories.size()) <= std::max<int64_t>(0, records - 1),
               "the categories within the records the file holds");
  return 0;
}
