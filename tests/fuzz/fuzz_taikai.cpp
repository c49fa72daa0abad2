// taikai.dat, the race file: every race loaded, and races shown as the race
// screen shows them.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "data/meet_files.h"
#include "print/program_pages.h"
#include "race_view.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "taikai.dat", data, size);
  (void)LoadAllRaces(fuzz::Meet());
  (void)RaceFileImage::Load(fuzz::Meet());
  fuzz::ViewRaces(fuzz::MeetSettings(), 2);
  return 0;
}
