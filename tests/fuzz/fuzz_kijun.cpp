// kijun.dat: the hub's start-up reads it, the race screen shows races by it.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "data/hub.h"
#include "data/naming_context.h"
#include "race_view.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "kijun.dat", data, size);
  fuzz::QuietPlatform p;
  FrmKijunScreen hub(fuzz::FolderConfig(), p.platform);
  hub.StartUp();
  (void)hub.Form();
  Settings s = fuzz::MeetSettings();
  (void)SettingsValues(s);
  (void)SettingsLine(s);
  (void)LoadNamingContext(s, fuzz::Meet());
  fuzz::ViewRaces(s, 2);
  return 0;
}
