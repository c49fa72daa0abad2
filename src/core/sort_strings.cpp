#include "core/sort_strings.h"

#include <utility>

namespace meet {

void SortStrings(std::vector<std::string>& items) {
  // Elements 1..n of the system's arrays are items[0..n-1] here.
  const long n = static_cast<long>(items.size());
  long m = 1;
  while (m <= n) m *= 2;
  for (;;) {
    m = (m - 1) / 2;
    if (m == 0) break;
    for (long i = 1; i <= n - m; ++i) {
      long j = i;
      while (j > 0) {
        // Byte comparison: std::string compares as unsigned char.
        if (items[j + m - 1] > items[j - 1]) break;
        std::swap(items[j - 1], items[j + m - 1]);
        j -= m;
      }
    }
  }
}

}  // namespace meet
