// The lap file's lines (lane, split, "G") as the lap sheet and the race
// screen read them: each lane's splits and the laps between them.
#include <cstddef>
#include <cstdint>

#include "core/cp932.h"
#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "race/timing_files.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first four bytes: the final time the race holds for each lane.
  if (size < 4) return 0;
  int32_t finalTime = 0;
  for (int i = 0; i < 4; ++i) finalTime |= static_cast<int32_t>(data[i]) << (8 * i);
  fuzz::Put(fuzz::Meet() / "lap" / "R0001", data + 4, size - 4);
  const auto laps = ReadLapFile(fuzz::Meet(), 1);
  for (const LapLine& l : laps) {
    fuzz::Expect(l.lane >= 0 && l.lane <= 10, "a lap line's lane is 1-10 or unusable");
    fuzz::Expect(l.time.empty() || AnsiLen(l.time) == 8, "a split is 8 columns wide");
  }
  for (int lane = 0; lane <= 11; ++lane) {
    const LapTimes t = readLapTimes(laps, lane, finalTime);
    fuzz::Expect(t.count() <= kMaxLaps, "at most 60 laps a lane");
    for (int k = 1; k < t.count(); ++k) (void)lapDifference(t.texts[static_cast<size_t>(k - 1)], t.texts[static_cast<size_t>(k)]);
  }
  return 0;
}
