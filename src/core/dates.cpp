#include "core/dates.h"

namespace meet {

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

bool IsCalendarDate(int32_t date) {
  if (date <= 0) return false;
  int y = date / 10000, m = date / 100 % 100, d = date % 100;
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

std::optional<int32_t> AddDays(int32_t date, int days) {
  if (!IsCalendarDate(date)) return std::nullopt;
  int y = date / 10000, m = date / 100 % 100, d = date % 100;
  // Whole years and months are stepped one day at a time only at the end, so
  // a count of a few days (the meet days) costs a few steps.
  while (days > 0) {
    int left = DaysInMonth(y, m) - d;  // days to the month's end
    if (days <= left) {
      d += days;
      days = 0;
    } else {
      days -= left + 1;
      d = 1;
      if (++m > 12) {
        m = 1;
        if (++y > 9999) return std::nullopt;
      }
    }
  }
  while (days < 0) {
    if (-days < d) {
      d += days;
      days = 0;
    } else {
      days += d;
      if (--m < 1) {
        m = 12;
        if (--y < 1) return std::nullopt;
      }
      d = DaysInMonth(y, m);
    }
  }
  return y * 10000 + m * 100 + d;
}

std::optional<int32_t> DateOfSlashedText(std::string_view text) {
  if (text.size() < 10) return std::nullopt;
  int32_t value = 0;
  for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (!IsCalendarDate(value)) return std::nullopt;
  return value;
}

}  // namespace meet
