// The folder configuration: read at every start of the hub and of meetctl.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "data/hub.h"
#include "settings/folders.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::FolderConfig(), data, size);
  Folders f;
  LoadFolders(fuzz::FolderConfig(), f);
  (void)WithoutTrailingSeparator(f.meetFolder);
  fuzz::QuietPlatform p;
  FrmKijunScreen hub(fuzz::FolderConfig(), p.platform);
  hub.StartUp();
  return 0;
}
