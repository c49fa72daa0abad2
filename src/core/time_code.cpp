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
