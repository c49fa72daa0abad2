// Race.dat, the race states shared with the timing system.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "data/race_states.h"
#include "race_view.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "Race.dat", data, size);
  if (auto states = RaceStates::Read(fuzz::Meet())) {
    for (int n = -1; n <= 40; ++n) (void)states->state(n);
    (void)states->text();
  }
  fuzz::ViewRaces(fuzz::MeetSettings(), 2);
  return 0;
}
