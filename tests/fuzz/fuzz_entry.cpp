// The entry file *.Mos from the entry program: its header, events and
// entries, and the race screen naming the swimmers from it.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include <algorithm>

#include "data/entry_file.h"
#include "data/meet_files.h"
#include "data/naming_context.h"
#include "race_view.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::EntryFile(), data, size);
  if (auto file = EntryFile::OpenForReading(fuzz::EntryFile())) {
    (void)file->Events();
    const int32_t last = std::min<int32_t>(file->entriesHeld(), 300);
    for (int32_t n = 1; n <= last; ++n) (void)file->Load(n);
  }
  (void)LoadEntryFileImage(fuzz::EntryFile());
  Settings s = fuzz::MeetSettings();
  (void)LoadNamingContext(s, fuzz::Meet());
  fuzz::ViewRaces(s, 2);
  return 0;
}
