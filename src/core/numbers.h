// The leading-digits rule used by every number field and every number read
// from a text file: leading blanks are skipped, an optional sign, then digits;
// anything after the digits is ignored and text that is not a number reads as 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace meet {

// The number at the start of the text, clamped to the 64-bit range.
int64_t LeadingNumber(std::string_view text);

// The same, clamped to the range of a 16- or 32-bit field (never wrapped).
int16_t LeadingInt16(std::string_view text);
int32_t LeadingInt32(std::string_view text);

int16_t ClampToInt16(int64_t value);
int32_t ClampToInt32(int64_t value);

// Decimal text of a number without blanks ("12", "-3").
std::string NumberText(int64_t value);

// The number right-aligned in `width` characters, blank-filled on the left.
std::string RightAligned(int64_t value, int width);
// A text right-aligned in `width` characters (no cut when longer).
std::string RightAligned(std::string_view text, int width);
// The number as exactly `width` digits with leading zeros ("07").
std::string ZeroPadded(int64_t value, int width);

}  // namespace meet
