// The old-data text dumps qkyogi.txt and Qsik.txt as "旧データ入力" reads
// them (the question before writing is answered No, so nothing is written).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "race/text_dumps.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto folder = fuzz::Meet().parent_path() / "dump";
  static const bool made = std::filesystem::create_directories(folder) || true;
  (void)made;
  fuzz::Put(folder / kRacesDumpName, data, size);
  fuzz::Put(folder / "Qsik.txt", data, size);
  fuzz::QuietPlatform p;
  (void)ReadRacesDump(fuzz::Meet(), folder.string(), p.platform);
  (void)ReadStandardsDump(fuzz::Meet(), folder.string(), p.platform);
  return 0;
}
