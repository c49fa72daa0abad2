// biko.dat, the new-record list of the points tally.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "records/biko_file.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "biko.dat", data, size);
  (void)LoadBikoEntries(fuzz::Meet());
  (void)BikoEntriesHeld(fuzz::Meet());
  return 0;
}
