// shikaku.dat, standards and records: the standards screen opened and
// records shown as standards show gives them.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "records/shikaku_file.h"
#include "records/shikaku_screen.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "shikaku.dat", data, size);
  (void)LoadShikaku(fuzz::Meet());
  fuzz::QuietPlatform p;
  FrmShikakuScreen screen(fuzz::Meet(), fuzz::MeetSettings(), p.platform);
  if (screen.Open())
    for (int r : {0, 1, 2, 29, 30, 100, 400, 1000000}) (void)screen.ShowRecord(r);
  return 0;
}
