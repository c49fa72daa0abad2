// kijun.dat's line of 81 values straight from the bytes, and the line
// written from the settings read back to the same values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/cp932.h"
#include "fuzz_bytes.h"
#include "settings/settings.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  Settings s;
  ParseSettings(bytes, "/meet", s);
  const auto values = SettingsValues(s);
  fuzz::Expect(values.size() == SettingsValueNames().size(), "a value for every name");
  (void)HeldPrintCopies(s.printCopies[0]);
  (void)PrintCopiesNotice(s);
  (void)DateDisplay(s.meetDateFrom);
  // A value with a comma or a line end is refused when saved; one with bytes
  // that do not decode is saved with "?" in their place.
  for (const std::string& v : values)
    if (v.find_first_of(std::string_view(",\r\n\0", 4)) != std::string::npos || v.find("\xEF\xBF\xBD") != std::string::npos)
      return 0;
  Settings again;
  ParseSettings(EncodeCp932(SettingsLine(s)), "/meet", again);
  fuzz::Expect(SettingsValues(again) == values, "the settings written read back the same");
  return 0;
}
