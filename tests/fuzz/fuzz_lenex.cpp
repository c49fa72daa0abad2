// Lenex files from other programs: a .lxf (zip) or a .lef, through the
// reader's checks, the XML parse, the validator and the listing of show.
#include <cstddef>
#include <cstdint>
#include <string>

#include "interchange/lenex_check.h"
#include "interchange/lenex_read.h"
#include "interchange/lxf_read.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto text = LenexTextFromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.lxf");
  if (!text) return 0;
  auto document = ParseLenex(std::move(*text), "fuzz.lef");
  if (!document) return 0;
  for (const LenexFinding& finding : CheckLenex(**document)) (void)finding.Line();
  (void)LenexShowLines(SummarizeLenex(**document));
  return 0;
}
