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

TEST(ClockText, ColonsAreInsertedAndRemoved) {
  EXPECT_EQ(ClockWithColons("093000"), "09:30:00");
  EXPECT_EQ(ClockWithoutColons("09:30:00"), "093000");
  EXPECT_EQ(ClockWithColons("      "), "  :  :  ");
  EXPECT_EQ(ClockWithoutColons("  :  :  "), "      ");
  EXPECT_EQ(ClockWithColons(""), "  :  :  ");
}

}  // namespace
}  // namespace meet
