#include "core/time_code.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/sort_strings.h"

namespace meet {
namespace {

struct FormatCase {
  int32_t code;
  const char* shown;
};

TEST(FormatTime, ShowsTimesInTwoEightCharacterForms) {
  const std::vector<FormatCase> cases = {
      {0, ""},          {1, ""},          {9, ""},          {10, "     .10"},  {45, "     .45"},
      {100, "    1.00"}, {345, "    3.45"}, {2345, "   23.45"}, {5999, "   59.99"}, {10000, " 1:00.00"},
      {12345, " 1:23.45"}, {123456, "12:34.56"}, {595899, "59:58.99"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTime(c.code), c.shown) << c.code;
}

TEST(FormatTime, StatusCodesShowTheirLabels) {
  const std::vector<FormatCase> cases = {
      {595900, "参加"}, {600000, "参加"}, {666666, "参加"}, {700001, "ｽﾀｰﾄ"}, {700002, "泳法"},
      {700003, "折返"}, {700004, "ｺﾞｰﾙ"}, {700005, "引継"}, {700006, "逸脱"}, {700007, "途中"},
      {888888, "棄権"}, {999999, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTime(c.code), c.shown) << c.code;
}

TEST(FormatTime, CodesBetweenTheReservedValuesShowAsTimes) {
  EXPECT_EQ(FormatTime(666667), "66:66.67");
  EXPECT_EQ(FormatTime(700000), "70:00.00");
  EXPECT_EQ(FormatTime(700008), "70:00.08");
  EXPECT_EQ(FormatTime(888887), "88:88.87");
  EXPECT_EQ(FormatTime(999998), "99:99.98");
}

TEST(FormatTime, CodesOfSevenDigitsAndMoreNeverFail) {
  EXPECT_EQ(FormatTime(1234567), "12:34.56");  // the first six characters of the digits
  EXPECT_EQ(FormatTime(2147483647), "21:47.48");
  EXPECT_EQ(FormatTime(-12345), " 1:23.45");  // the sign is dropped
  EXPECT_FALSE(FormatTime(-2147483647 - 1).empty());
}

TEST(TimeInput, RaceScreenRule) {
  EXPECT_EQ(RaceScreenTimeInput("3"), 700003);
  EXPECT_EQ(FormatTime(RaceScreenTimeInput("3")), "折返");
  EXPECT_EQ(RaceScreenTimeInput("1"), 700001);
  EXPECT_EQ(RaceScreenTimeInput("7"), 700007);
  EXPECT_EQ(RaceScreenTimeInput("8"), 888888);
  EXPECT_EQ(RaceScreenTimeInput("9"), 0);
  EXPECT_EQ(RaceScreenTimeInput("0"), 0);
  EXPECT_EQ(RaceScreenTimeInput("abc"), 0);
  EXPECT_EQ(RaceScreenTimeInput("10523"), 10523);
  EXPECT_EQ(RaceScreenTimeInput("666666"), 666666);
  EXPECT_EQ(RaceScreenTimeInput("1:05.23"), 700001);  // read only up to the separator
  EXPECT_EQ(RaceScreenTimeInput("-5"), 0);
}

TEST(TimeInput, ConfirmScreenRule) {
  EXPECT_EQ(ConfirmScreenTimeInput("1"), 700001);
  EXPECT_EQ(ConfirmScreenTimeInput("7"), 700007);
  EXPECT_EQ(ConfirmScreenTimeInput("8"), 888888);
  EXPECT_EQ(ConfirmScreenTimeInput("9"), 999999);
  EXPECT_EQ(ConfirmScreenTimeInput("0"), 0);
  EXPECT_EQ(ConfirmScreenTimeInput("2507"), 2507);
  EXPECT_EQ(ConfirmScreenTimeInput(""), 0);
}

TEST(TimeOrdering, StatusesSortAfterEveryTime) {
  std::vector<std::string> keys;
  for (int32_t code : {2507, 666666, 888888, 12345}) {
    std::string digits = std::to_string(code);
    keys.push_back(std::string(6 - digits.size(), ' ') + digits);
  }
  SortStrings(keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"  2507", " 12345", "666666", "888888"}));
}

TEST(IsTimeCode, TimesAndReservedValuesOnly) {
  const struct { int32_t code; bool valid; } rows[] = {
      {0, true},       {45, true},         {2507, true},      {5999, true},      {6000, false},  // 60 seconds
      {12345, true},   {17500, false},     {595899, true},    {595900, true},    {666666, true},
      {666667, false}, {700000, false},    {700001, true},    {700007, true},    {700008, false},
      {888887, false}, {888888, true},     {999998, false},   {999999, true},    {1000000, false},
      {-1, false},     {INT32_MIN, false}, {INT32_MAX, false},
  };
  for (const auto& row : rows) EXPECT_EQ(IsTimeCode(row.code), row.valid) << row.code;
}

TEST(TimeInput, WrittenSwimTimesAndSecondsPastFiftyNine) {
  // A time written with separators reads as that time; any other form is none.
  const struct { const char* text; int32_t code; } written[] = {
      {"35.12", 3512},    {"1:05.23", 10523}, {"0.35", 35},       {"0:00.00", 0},   {"12:04.30", 120430},
      {"59:58.99", 595899}, {"59:59.00", -1}, {"60:00.00", -1},   {"1:60.00", -1},  {"60.00", -1},
      {"35.1", -1},       {"35.123", -1},     {"1:5.23", -1},     {"1:05", -1},     {"123:05.00", -1},
      {".35", -1},        {"35.", -1},        {"1.05.23", -1},    {"1:05:23", -1},  {"-1.00", -1},
      {"3512", -1},       {"", -1},
  };
  for (const auto& row : written) {
    const std::optional<int32_t> code = SeparatedSwimTime(row.text);
    EXPECT_EQ(code.value_or(-1), row.code) << row.text;
  }
  EXPECT_TRUE(HasTimeSeparator("1:05"));
  EXPECT_FALSE(HasTimeSeparator("10523"));
  // Digits whose seconds read 60 or more are no time; statuses are untouched.
  const struct { int32_t code; bool past; } seconds[] = {
      {6010, true},  {16523, true},  {9999, true},   {595999, false}, {5999, false}, {99, false},
      {10005, false}, {0, false},    {700001, false}, {888888, false}, {666666, false},
  };
  for (const auto& row : seconds) EXPECT_EQ(SecondsPastFiftyNine(row.code), row.past) << row.code;
}

TEST(TimeOfDay, TypedTimesAreCheckedAndStoredRightAligned) {
  const struct { const char* text; int32_t value; const char* field; } rows[] = {
      {"93000", 93000, " 93000"},   {"093000", 93000, " 93000"}, {"101500", 101500, "101500"},
      {"9:30:00", 93000, " 93000"}, {"9:30", 93000, " 93000"},   {"23:59:59", 235959, "235959"},
      {"0", 0, " 00000"},           {"1015", 1015, " 01015"},    {"235959", 235959, "235959"},
      {"240000", -1, ""},           {"25:99:00", -1, ""},        {"96000", -1, ""},  {"93060", -1, ""},
      {"1234567", -1, ""},          {"93000x", -1, ""},          {"9:5", -1, ""},    {"9:30:0", -1, ""},
      {"", -1, ""},                 {" 93000", -1, ""},          {"-93000", -1, ""},
  };
  for (const auto& row : rows) {
    const std::optional<int32_t> value = TimeOfDayValue(row.text);
    EXPECT_EQ(value.value_or(-1), row.value) << row.text;
    if (value) {
      EXPECT_EQ(TimeOfDayField(*value), row.field) << row.text;
    }
  }
  // The race screen shows the field as hh:mm:ss.
  EXPECT_EQ(ClockWithColons(TimeOfDayField(93000)), " 9:30:00");
}

TEST(ClockText, ColonsAreInsertedAndRemoved) {
  EXPECT_EQ(ClockWithColons("093000"), "09:30:00");
  EXPECT_EQ(ClockWithoutColons("09:30:00"), "093000");
  EXPECT_EQ(ClockWithColons("      "), "  :  :  ");
  EXPECT_EQ(ClockWithoutColons("  :  :  "), "      ");
  EXPECT_EQ(ClockWithColons(""), "  :  :  ");
}

}  // namespace
}  // namespace meet
