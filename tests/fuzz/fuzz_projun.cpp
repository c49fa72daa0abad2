// projun.dat, the program order: the program editor's list as program list
// shows it, with and without the finished entries.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "program/frm_projun_screen.h"
#include "program/projun_file.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "projun.dat", data, size);
  (void)LoadProgramEntries(fuzz::Meet());
  (void)ProgramOrder::Load(fuzz::Meet());
  fuzz::QuietPlatform p;
  FrmProjunScreen screen(fuzz::Meet(), fuzz::MeetSettings(), p.platform);
  if (screen.Open()) {
    (void)screen.lines();
    (void)screen.SetChkJun(true);
  }
  return 0;
}
