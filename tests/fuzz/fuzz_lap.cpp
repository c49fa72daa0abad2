// The timing system's lap file lap/R0001: every lane's splits, and the lap
// sheet printed from them.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "data/race_file.h"
#include "print/print_sources.h"
#include "race/race_sheets.h"
#include "race/timing_files.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "lap" / "R0001", data, size);
  const auto laps = ReadLapFile(fuzz::Meet(), 1);
  for (int lane = 0; lane <= 11; ++lane) (void)readLapTimes(laps, lane, 3012);
  if (auto race = LoadRace(fuzz::Meet(), 1)) {
    fuzz::QuietPlatform p;
    MeetFiles meet{fuzz::Meet(), fuzz::MeetSettings()};
    (void)PrintLapSheet(p.platform, meet, 1, *race, 1);
  }
  return 0;
}
