// Calendar dates held as yyyymmdd numbers (20090331), counted without the
// machine's locale or date format.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace meet {

// True when the number names a real day (month 1–12, day within the month,
// leap years counted), years 1–9999.
bool IsCalendarDate(int32_t yyyymmdd);

// The date `days` days after a real date (before it for a negative count);
// nothing when the date is not real or the result leaves years 1–9999.
std::optional<int32_t> AddDays(int32_t yyyymmdd, int days);

// "yyyy/mm/dd" (or any text whose characters 1–4, 6–7 and 9–10 are the
// digits) as yyyymmdd; nothing when those are not all digits or the date is
// not real.
std::optional<int32_t> DateOfSlashedText(std::string_view text);

}  // namespace meet
