// hpro.dat, the program pages: the page screen's list and pages as pages
// list and pages show give them.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "print/frm_mk_page_screen.h"
#include "print/hpro_file.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "hpro.dat", data, size);
  (void)PageFile::Load(fuzz::Meet());
  fuzz::QuietPlatform p;
  FrmMkPageScreen screen(fuzz::Meet(), fuzz::MeetSettings(), p.platform);
  if (screen.Open()) {
    (void)screen.lines();
    for (int page = 0; page <= 6; ++page) (void)screen.ShowPage(page);
  }
  return 0;
}
