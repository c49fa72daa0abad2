// relay.dat: the relay blocks as relay show and the relay order read them,
// and the race screen showing relay races.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include <algorithm>

#include "data/meet_files.h"
#include "data/relay_file.h"
#include "race_view.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "relay.dat", data, size);
  if (auto file = RelayFile::OpenForReading(fuzz::Meet())) {
    const int last = std::min<int>(file->relayCount(), 64);
    for (int b = 0; b <= last + 1; ++b) (void)file->Read(b);
  }
  (void)LoadAllRelayBlocks(fuzz::Meet());
  fuzz::ViewRaces(fuzz::MeetSettings(), 2);
  return 0;
}
