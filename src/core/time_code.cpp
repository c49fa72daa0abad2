#include "core/time_code.h"

#include <array>

#include "core/numbers.h"

namespace meet {

namespace {
constexpr std::array<const char*, 7> kStatusLabels = {
    "ｽﾀｰﾄ", "泳法", "折返", "ｺﾞｰﾙ", "引継", "逸脱", "途中",
};
}

std::string StatusLabel(int32_t code) {
  if (code >= kDisqualifiedFirst && code <= kDidNotFinish) return kStatusLabels[code - kDisqualifiedFirst];
  return {};
}

bool IsTimeCode(int32_t code) {
  if (code >= 0 && code < 595900) return (code / 100) % 100 < 60;
  if (code <= kParticipation) return code >= 595900;
  return (code >= kDisqualifiedFirst && code <= kDidNotFinish) || code == kWithdrawn || code == kNoRecord;
}

std::string FormatTime(int32_t code) {
  // The sign is dropped: negative codes never arise.
  int64_t magnitude = code < 0 ? -static_cast<int64_t>(code) : code;
  std::string d = std::to_string(magnitude);
  if (d.size() == 1) return {};
  std::string s = RightAligned(d, 6);
  std::string result;
  if (d.size() >= 5) {
    result = s.substr(0, 2) + ":" + s.substr(2, 2) + "." + s.substr(4, 2);
  } else {
    result = "   " + s.substr(2, 2) + "." + s.substr(4, 2);
  }
  // The reserved values are compared as text, in this order, each later match
  // replacing the earlier result. Codes longer than six digits never match.
  if (s >= "595900" && s <= "666666") result = "参加";
  if (s.size() == 6 && s >= "700001" && s <= "700007") result = kStatusLabels[s[5] - '1'];
  if (s == "888888") result = "棄権";
  if (s == "999999") result.clear();
  return result;
}

int32_t RaceScreenTimeCode(int32_t typed) {
  // A sign has no meaning in a time field: a negative number clears the time.
  if (typed < 0) return 0;
  int64_t code = typed;
  if (code <= 7) code += 700000;
  if (code == 700000) code = 0;
  if (code == 8) code = kWithdrawn;
  if (code == 9) code = 0;
  return ClampToInt32(code);
}

int32_t RaceScreenTimeInput(std::string_view textBeforeCaret) {
  return RaceScreenTimeCode(LeadingInt32(textBeforeCaret));
}

int32_t ConfirmScreenTimeCode(int32_t typed) {
  if (typed >= 1 && typed <= 7) return 700000 + typed;
  if (typed == 8) return kWithdrawn;
  if (typed == 9) return kNoRecord;
  return typed;
}

int32_t ConfirmScreenTimeInput(std::string_view textBeforeCaret) {
  return ConfirmScreenTimeCode(LeadingInt32(textBeforeCaret));
}

namespace {

// Digits only, at least one.
bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

bool HasTimeSeparator(std::string_view text) { return text.find_first_of(":.") != std::string_view::npos; }

std::optional<int32_t> SeparatedSwimTime(std::string_view text) {
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos || text.find('.', dot + 1) != std::string_view::npos) return std::nullopt;
  const std::string_view hundredths = text.substr(dot + 1);
  std::string_view seconds = text.substr(0, dot);
  std::string_view minutes;
  if (const size_t colon = seconds.find(':'); colon != std::string_view::npos) {
    minutes = seconds.substr(0, colon);
    seconds = seconds.substr(colon + 1);
    if (!AllDigits(minutes) || minutes.size() > 2 || seconds.size() != 2) return std::nullopt;
  }
  if (!AllDigits(seconds) || seconds.size() > 2 || !AllDigits(hundredths) || hundredths.size() != 2) return std::nullopt;
  const int m = minutes.empty() ? 0 : Digits(minutes);
  const int s = Digits(seconds);
  if (m > 59 || s > 59) return std::nullopt;
  const int32_t code = m * 10000 + s * 100 + Digits(hundredths);
  if (code >= 595900) return std::nullopt;  // 59:59.xx would read as 参加
  return code;
}

bool SecondsPastFiftyNine(int32_t code) { return code >= 0 && code < 595900 && (code / 100) % 100 >= 60; }

std::optional<int32_t> TimeOfDayValue(std::string_view text) {
  int h = 0, m = 0, s = 0;
  if (AllDigits(text)) {
    if (text.size() > 6) return std::nullopt;
    const int v = Digits(text);
    h = v / 10000;
    m = v / 100 % 100;
    s = v % 100;
  } else {
    const size_t first = text.find(':');
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view hours = text.substr(0, first);
    std::string_view rest = text.substr(first + 1);
    const size_t second = rest.find(':');
    const std::string_view minutes = rest.substr(0, second);
    const std::string_view seconds = second == std::string_view::npos ? std::string_view("00") : rest.substr(second + 1);
    if (!AllDigits(hours) || hours.size() > 2 || !AllDigits(minutes) || minutes.size() != 2 || !AllDigits(seconds) ||
        seconds.size() != 2)
      return std::nullopt;
    h = Digits(hours);
    m = Digits(minutes);
    s = Digits(seconds);
  }
  if (h > 23 || m > 59 || s > 59) return std::nullopt;
  return h * 10000 + m * 100 + s;
}

std::string TimeOfDayField(int32_t hhmmss) {
  const std::string digits = std::to_string(hhmmss);
  std::string text = std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits;
  return RightAligned(text, 6);
}

std::string ClockWithColons(std::string_view hhmmss) {
  std::string s(hhmmss.substr(0, 6));
  s.resize(6, ' ');
  return s.substr(0, 2) + ":" + s.substr(2, 2) + ":" + s.substr(4, 2);
}

std::string ClockWithoutColons(std::string_view text) {
  std::string s(text.substr(0, 8));
  s.resize(8, ' ');
  return s.substr(0, 2) + s.substr(3, 2) + s.substr(6, 2);
}

}  // namespace meet
