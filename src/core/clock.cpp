#include <ctime>

#include "core/numbers.h"
#include "core/platform.h"

namespace meet {

DateTime SystemClock::Now() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string DateSlashed(const DateTime& t) {
  return ZeroPadded(t.year, 4) + "/" + ZeroPadded(t.month, 2) + "/" + ZeroPadded(t.day, 2);
}

std::string TimeColons(const DateTime& t) {
  return ZeroPadded(t.hour, 2) + ":" + ZeroPadded(t.minute, 2) + ":" + ZeroPadded(t.second, 2);
}

}  // namespace meet
