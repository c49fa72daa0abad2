// nyusho.dat, the team points and place counts the tally leaves, loaded and
// shown as `points show` and the points printouts do.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "results/nyusho_file.h"
#include "results/points_print.h"

using namespace meet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Put(fuzz::Meet() / "nyusho.dat", data, size);
  (void)NyushoTallied(fuzz::Meet());
  auto table = LoadNyusho(fuzz::Meet());
  if (!table) return 0;
  for (int list = kListMen; list <= kListTotal; ++list) {
    auto lines = RankLines(*table, list, true);
    (void)PointsHtml(*table, list, lines);
  }
  NullPrinter printer;
  (void)PrintPlacings(printer, *table);
  return 0;
}
