#include "interchange/lenex_time.h"

#include <cstdio>

namespace meet {

namespace {
constexpr long kLargest = ((99L * 60 + 59) * 60 + 59) * 100 + 99;

std::optional<int> digits(std::string_view text, std::size_t at) {
  const char a = text[at], b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
  return (a - '0') * 10 + (b - '0');
}
}  // namespace

std::string FormatLenexSwimTime(long hundredths) {
  if (hundredths <= 0 || hundredths > kLargest) return "NT";
  char text[16];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld.%02ld", hundredths / 360000, hundredths / 6000 % 60,
                hundredths / 100 % 60, hundredths % 100);
  return text;
}

std::optional<long> ParseLenexSwimTime(std::string_view text) {
  if (text == "NT") return 0;
  if (text.size() != 11 || text[2] != ':' || text[5] != ':' || text[8] != '.') return std::nullopt;
  const auto hours = digits(text, 0), minutes = digits(text, 3), seconds = digits(text, 6),
             hundredths = digits(text, 9);
  if (!hours || !minutes || !seconds || !hundredths || *minutes > 59 || *seconds > 59) return std::nullopt;
  return ((static_cast<long>(*hours) * 60 + *minutes) * 60 + *seconds) * 100 + *hundredths;
}

}  // namespace meet
