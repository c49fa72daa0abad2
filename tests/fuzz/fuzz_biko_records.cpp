// biko.dat's new-record list straight from the bytes, written again as the
// tally writes it and read back with the same numbers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "records/biko_file.h"
#include "results/nyusho_file.h"

using namespace meet;
namespace L = meet::biko_layout;

namespace {

bool SameNumbers(const BikoEntry& a, const BikoEntry& b) {
  return a.raceEventNo == b.raceEventNo && a.heatNo == b.heatNo && a.classFrom == b.classFrom &&
         a.classTo == b.classTo && a.eventCode == b.eventCode && a.time == b.time && a.recordClass == b.recordClass &&
         a.place == b.place && a.placePoints == b.placePoints && a.reachedOrder == b.reachedOrder &&
         a.bonusValue == b.bonusValue && a.members == b.members;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  for (int64_t r = L::kFirstEntryRecord; r <= std::min(fuzz::RecordsIn(bytes, L::kRecordLength), fuzz::kRecordsDecoded); ++r)
    (void)BikoEntryFromRecord(fuzz::RecordOf(bytes, r, L::kRecordLength));
  fuzz::Put(fuzz::Meet() / "biko.dat", data, size);
  auto entries = LoadBikoEntries(fuzz::Meet());
  const int32_t held = BikoEntriesHeld(fuzz::Meet());
  if (!entries) return 0;
  fuzz::Expect(static_cast<int32_t>(entries->size()) == held, "the list and its count agree");
  fuzz::Expect(held <= std::max<int64_t>(0, fuzz::RecordsIn(bytes, L::kRecordLength) - 1),
               "the count within the entries the file holds");
  const std::string again = BikoFileBytes(*entries);
  fuzz::Put(fuzz::Meet() / "biko.dat", reinterpret_cast<const uint8_t*>(again.data()), again.size());
  auto reread = LoadBikoEntries(fuzz::Meet());
  fuzz::Expect(reread && reread->size() == entries->size(), "the list written again holds the same entries");
  for (size_t i = 0; i < entries->size(); ++i)
    fuzz::Expect(SameNumbers((*entries)[i], (*reread)[i]), "an entry written again keeps its numbers");
  return 0;
}
