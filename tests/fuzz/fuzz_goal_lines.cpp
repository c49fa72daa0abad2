// The goal file's lines straight from the bytes (placing, final time per
// lane slot) and as posting reads them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "race/timing_files.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  for (size_t at = 0; at < bytes.size();) {
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    const auto values = SplitTimingLine(bytes.substr(at, end - at));
    fuzz::Expect(!values.empty(), "every line has a value");
    at = end + 1;
  }
  fuzz::Put(fuzz::Meet() / "goal" / "G0001", data, size);
  const auto slots = ReadGoalFile(fuzz::Meet(), 1);
  fuzz::Expect(slots.size() == 10, "a goal line for each of the slots 0-9");
  return 0;
}
