// hpro.dat's pages straight from the bytes, and a page written back as read
// leaving the bytes as they were.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_bytes.h"
#include "print/hpro_file.h"

using namespace meet;
namespace L = meet::hpro_layout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(fuzz::Bytes(data, size));
  PageFile file = PageFile::FromBytes("hpro.dat", bytes);
  const int count = file.pageCount();
  const int64_t records = fuzz::RecordsIn(bytes, L::kRecordLength);
  fuzz::Expect(count >= 0 && count <= std::max<int64_t>(0, records - (L::kFirstPageRecord - 1)),
               "the page count within the pages the file holds");
  (void)file.storedPageCount();
  (void)file.pagePattern();
  for (int p : {-1, 0, count + 1, L::kMaxPage, L::kMaxPage + 1}) (void)file.Read(p);
  for (int p = 1; p <= std::min<int>(count, fuzz::kRecordsDecoded); ++p) {
    const ProgramPage page = file.Read(p);
    (void)page.FilledSlots();
    // Only a page the file holds whole can be written back to the same bytes.
    if (static_cast<size_t>(p + L::kFirstPageRecord - 1) * L::kRecordLength > bytes.size()) continue;
    fuzz::Expect(file.Write(p, page).has_value(), "a page read can be written back");
    fuzz::Expect(file.Read(p) == page, "a page written reads back the same");
  }
  fuzz::Expect(file.bytes() == bytes, "the pages written back as read leave hpro.dat as it was");
  return 0;
}
