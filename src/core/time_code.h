// Time codes: a swim result held as one signed 32-bit integer,
// minutes × 10000 + seconds × 100 + hundredths, with reserved status values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace meet {

inline constexpr int32_t kNoResult = 0;
inline constexpr int32_t kParticipation = 666666;   // "参加" as the system stores it
inline constexpr int32_t kDisqualifiedFirst = 700001;
inline constexpr int32_t kDidNotFinish = 700007;
inline constexpr int32_t kWithdrawn = 888888;       // "棄権"
inline constexpr int32_t kNoRecord = 999999;

// The label of a status code 700001..700007 ("ｽﾀｰﾄ" … "途中"); empty otherwise.
std::string StatusLabel(int32_t code);

// True for a value the system can hold as a result: 0 (no result), a time
// up to 59:58.99 whose seconds are 00–59, participation 595900..666666, the
// codes 700001..700007, 888888 and 999999. The values between the reserved
// ones, negative values and seconds of 60 and more are no time code.
bool IsTimeCode(int32_t code);

// The display text of a time code: empty for 0..9, otherwise eight characters
// ("␣1:23.45", "␣␣␣23.45") unless a reserved value gives its label.
std::string FormatTime(int32_t code);

// The code the race screen's result field stores for the digits before the
// caret: 1..7 become 700001..700007, 8 becomes 888888, 0 and 9 clear the time.
int32_t RaceScreenTimeInput(std::string_view textBeforeCaret);
// The same rule applied to a number already read.
int32_t RaceScreenTimeCode(int32_t typed);

// The code the confirmation screen's result field stores: 1..7 become
// 700001..700007, 8 becomes 888888, 9 becomes 999999 (not entered), 0 stays 0.
int32_t ConfirmScreenTimeInput(std::string_view textBeforeCaret);
int32_t ConfirmScreenTimeCode(int32_t typed);

// A swim time written with its separators, "m:ss.hh" or "ss.hh" ("1:05.23"
// is 10523, "35.12" is 3512, "0.35" is 35): minutes 0–59, seconds of two
// digits after the minutes, 0–59, hundredths of two digits. nullopt for any
// other text.
std::optional<int32_t> SeparatedSwimTime(std::string_view text);
// The text holds ":" or ".", the separators of a written time.
bool HasTimeSeparator(std::string_view text);
// A time typed as plain digits whose seconds are 60 or more ("6010",
// "16523"): a time below 595900 whose seconds digits read 60..99. Such a
// value is no time code; the result fields refuse it.
bool SecondsPastFiftyNine(int32_t code);
// What the result fields say when they refuse such a time, followed by the
// text typed.
inline constexpr const char* kSecondsPastFiftyNine =
    "秒が 60 以上の記録は入力できません（1:05.23 は 10523 と入力します）: ";

// A time of day typed as hhmmss (one to six digits, read right-aligned:
// "93000" is 9:30:00) or as h:mm or h:mm:ss: hours 0–23, minutes and seconds
// 0–59. Returns HHMMSS (93000); nullopt for anything else.
std::optional<int32_t> TimeOfDayValue(std::string_view text);
// The six characters hhmmss a race record holds for a time of day HHMMSS,
// right-aligned as the program editor writes it (93000 → " 93000").
std::string TimeOfDayField(int32_t hhmmss);

// A time of day hhmmss shown as hh:mm:ss, and back.
std::string ClockWithColons(std::string_view hhmmss);
std::string ClockWithoutColons(std::string_view hhColonMmColonSs);

}  // namespace meet
