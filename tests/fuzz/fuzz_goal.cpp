// The timing system's goal file goal/G0001.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "race/timing_files.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "goal" / "G0001", data, size);
  (void)ReadGoalFile(fuzz::Meet(), 1);
  return 0;
}
