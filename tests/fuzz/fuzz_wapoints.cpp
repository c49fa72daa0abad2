// wapoints.csv, the operator's World Aquatics base times kept in the meet
// folder: read, turned back into text, and asked for the points of a swim.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "results/wa_points.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "wapoints.csv", data, size);
  auto table = LoadPointsTable(fuzz::Meet());
  if (!table || !*table) return 0;
  (void)PointsTableText(**table);
  for (int code : {2, 7, 25, 29})
    for (char gender : {'M', 'F', 'X'}) (void)(*table)->Points("LCM", gender, SwimStyleOf(code), 2591);
  return 0;
}
