// optkubun.dat, the optional categories: read, and named on the race screen.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "data/naming_context.h"
#include "data/optional_categories.h"
#include "race_view.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "optkubun.dat", data, size);
  (void)ReadOptionalCategories(fuzz::Meet());
  Settings s = fuzz::MeetSettings();
  (void)LoadNamingContext(s, fuzz::Meet());
  fuzz::ViewRaces(s, 2);
  return 0;
}
