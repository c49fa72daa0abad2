#pragma once
// Lenex's swim time: always "HH:MM:SS.ss" (hours 0-99), or "NT" when no time is
// available. Times are kept as hundredths of a second, as everywhere else.

#include <optional>
#include <string>
#include <string_view>

namespace meet {

// "00:01:05.23" for 6523; "NT" for 0 or less, and for a time past 99:59:59.99.
std::string FormatLenexSwimTime(long hundredths);

// The hundredths of "HH:MM:SS.ss"; 0 for "NT"; nothing for anything else
// (wrong length, a field out of range, a sign, blanks).
std::optional<long> ParseLenexSwimTime(std::string_view text);

}  // namespace meet
