// The race screen's clock: the time of day, the date and the difference to
// the race's scheduled start with its colour.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/platform.h"

namespace meet {

struct Rgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

// The backgrounds of the difference label.
inline constexpr Rgb kAheadShort{0, 255, 255};     // ahead of schedule, below 20 minutes: light blue
inline constexpr Rgb kAheadLong{128, 255, 128};    // ahead, 20 minutes or more: light green
inline constexpr Rgb kBehindShort{255, 255, 128};  // behind, below 20 minutes: light yellow
inline constexpr Rgb kBehindLong{255, 0, 0};       // behind, 20 minutes or more: red

inline constexpr const char* kClockLegend =
    "進み  青 ･ 20分未満 　緑 ･ 20分以上    遅れ  黄 ･ 20分未満  赤 ･ 20分以上";

// A time of day as the clock compares it: the last eight characters of
// "0000" + the text, so that one-digit hours get their "0"; a leading blank
// becomes "0".
std::string ComparableClock(std::string_view hhColonMmColonSs);

// Seconds of a "hh:mm:ss" text, each part read by the leading-digits rule.
int64_t ClockSeconds(std::string_view hhColonMmColonSs);

// True when a scheduled start "hh:mm:ss" has a non-zero hour, minute or second.
bool StartIsSet(std::string_view start);

// A span of seconds as a time of day, hours without a leading zero ("0:05:07").
std::string ClockDifferenceText(int64_t seconds);

struct ClockLabels {
  std::string lblZikan;   // now, hh:mm:ss
  std::string lblDate;    // today, yyyy/mm/dd
  std::string lblSZikan;  // the difference; empty with an unset start
  // The difference label's background; nothing when the start is not set
  // (the label keeps the colour it had).
  std::optional<Rgb> colour;
};

// The labels for the moment `now` and the scheduled start. The colour is
// chosen by comparing texts: now before the start is ahead of schedule; a
// difference text below "0:20:00" is short.
ClockLabels RaceClock(const DateTime& now, std::string_view scheduledStart);

}  // namespace meet
