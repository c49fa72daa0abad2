#include "core/numbers.h"

#include <limits>

namespace meet {

int64_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (!saturated && value > (kMax - digit) / 10) saturated = true;
    if (!saturated) value = value * 10 + digit;
  }
  if (saturated) return negative ? std::numeric_limits<int64_t>::min() : kMax;
  return negative ? -value : value;
}

int16_t ClampToInt16(int64_t value) {
  if (value > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (value < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(value);
}

int32_t ClampToInt32(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int16_t LeadingInt16(std::string_view text) { return ClampToInt16(LeadingNumber(text)); }
int32_t LeadingInt32(std::string_view text) { return ClampToInt32(LeadingNumber(text)); }

std::string NumberText(int64_t value) { return std::to_string(value); }

std::string RightAligned(std::string_view text, int width) {
  std::string out;
  if (static_cast<int>(text.size()) < width) out.assign(width - text.size(), ' ');
  out.append(text);
  return out;
}

std::string RightAligned(int64_t value, int width) { return RightAligned(NumberText(value), width); }

std::string ZeroPadded(int64_t value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  if (value < 0) out.push_back('-');
  if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
  out.append(digits);
  return out;
}

}  // namespace meet
