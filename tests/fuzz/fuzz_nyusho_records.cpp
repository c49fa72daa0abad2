// nyusho.dat's team points straight from the file, written again as the
// tally writes it and read back with the same teams and tallies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "results/nyusho_file.h"

using namespace meet;
namespace N = meet::nyusho_layout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = fuzz::Bytes(data, size);
  const auto file = fuzz::Meet() / "nyusho.dat";
  fuzz::Put(file, data, size);
  fuzz::Expect(NyushoTallied(fuzz::Meet()) == (size >= N::kTalliedFromSize), "tallied from 11 bytes on");
  auto table = LoadNyusho(fuzz::Meet());
  if (!table) return 0;
  fuzz::Expect(table->teams.size() <=
                   static_cast<size_t>(std::max<int64_t>(0, fuzz::RecordsIn(bytes, N::kRecordLength) - 10)),
               "the team count within the team records the file holds");
  for (const TeamRecord& t : table->teams)
    for (int p : {0, kTallyRows - 1})
      for (int c : {0, kTallyColumns - 1}) (void)t.at(p, c);
  if (!table->tallied || table->teams.size() > static_cast<size_t>(fuzz::kRecordsDecoded)) return 0;
  const std::string again = NyushoFileBytes(*table);
  fuzz::Put(file, reinterpret_cast<const uint8_t*>(again.data()), again.size());
  auto reread = LoadNyusho(fuzz::Meet());
  fuzz::Expect(reread && reread->tallied && reread->teams.size() == table->teams.size(),
               "the table written again holds the same teams");
  for (size_t i = 0; i < table->teams.size(); ++i)
    fuzz::Expect(reread->teams[i].tally == table->teams[i].tally, "a team written again keeps its tally");
  return 0;
}
