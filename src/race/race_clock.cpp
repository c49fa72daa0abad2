#include "race/race_clock.h"

#include "core/numbers.h"

namespace meet {

std::string ComparableClock(std::string_view text) {
  std::string s = "0000" + std::string(text);
  s = s.substr(s.size() - 8);
  if (!s.empty() && s[0] == ' ') s[0] = '0';
  return s;
}

int64_t ClockSeconds(std::string_view text) {
  const std::string s(text);
  auto part = [&](size_t at) { return at < s.size() ? LeadingNumber(std::string_view(s).substr(at, 2)) : 0; };
  return part(0) * 3600 + part(3) * 60 + part(6);
}

bool StartIsSet(std::string_view start) {
  const std::string s(start);
  auto part = [&](size_t at) { return at < s.size() ? LeadingNumber(std::string_view(s).substr(at, 2)) : 0; };
  return part(0) != 0 || part(3) != 0 || part(6) != 0;
}

std::string ClockDifferenceText(int64_t seconds) {
  if (seconds < 0) seconds = -seconds;
  return NumberText(seconds / 3600) + ":" + ZeroPadded(seconds / 60 % 60, 2) + ":" + ZeroPadded(seconds % 60, 2);
}

ClockLabels RaceClock(const DateTime& now, std::string_view scheduledStart) {
  ClockLabels labels;
  labels.lblZikan = TimeColons(now);
  labels.lblDate = DateSlashed(now);
  if (!StartIsSet(scheduledStart)) return labels;
  const std::string nowText = ComparableClock(labels.lblZikan);
  const std::string startText = ComparableClock(scheduledStart);
  labels.lblSZikan = ClockDifferenceText(ClockSeconds(nowText) - ClockSeconds(startText));
  const bool shortGap = labels.lblSZikan < std::string("0:20:00");
  if (nowText < startText)
    labels.colour = shortGap ? kAheadShort : kAheadLong;
  else
    labels.colour = shortGap ? kBehindShort : kBehindLong;
  return labels;
}

}  // namespace meet
