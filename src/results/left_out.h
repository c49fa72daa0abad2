// The results a tally or a ranking run leaves out only because of its age or
// grade range: how many, and the values they hold, so that the operator is
// told the range that would take them in.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/numbers.h"

namespace meet {

// The smallest and largest of the values seen.
struct ValueSpan {
  bool any = false;
  int64_t low = 0, high = 0;
  void Add(int64_t value) {
    low = any ? std::min(low, value) : value;
    high = any ? std::max(high, value) : value;
    any = true;
  }
  // from..to widened to take in every value seen.
  int64_t CoveringFrom(int64_t from) const { return any ? std::min(from, low) : from; }
  int64_t CoveringTo(int64_t to) const { return any ? std::max(to, high) : to; }
};

// "1～100" as the notes write a range.
inline std::string RangeText(int64_t from, int64_t to) { return NumberText(from) + "～" + NumberText(to); }

}  // namespace meet
