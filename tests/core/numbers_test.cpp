#include "core/numbers.h"

#include <gtest/gtest.h>

namespace meet {
namespace {

TEST(LeadingNumber, ReadsTheLeadingDigitsAndIgnoresTheRest) {
  EXPECT_EQ(LeadingNumber("123"), 123);
  EXPECT_EQ(LeadingNumber("  42abc"), 42);
  EXPECT_EQ(LeadingNumber("-17"), -17);
  EXPECT_EQ(LeadingNumber("+5"), 5);
  EXPECT_EQ(LeadingNumber("1:05.23"), 1);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("１２"), 0);  // full-width digits are not digits
}

TEST(LeadingNumber, ClampsInsteadOfWrapping) {
  EXPECT_EQ(LeadingInt16("40000"), 32767);
  EXPECT_EQ(LeadingInt16("-40000"), -32768);
  EXPECT_EQ(LeadingInt16("65537"), 32767);
  EXPECT_EQ(LeadingInt32("99999999999"), 2147483647);
  EXPECT_EQ(LeadingInt32("-99999999999999999999999"), -2147483648LL);
  EXPECT_EQ(LeadingNumber("999999999999999999999999"), INT64_MAX);
}

TEST(NumberTexts, AlignAndPad) {
  EXPECT_EQ(RightAligned(42, 6), "    42");
  EXPECT_EQ(RightAligned(1234567, 6), "1234567");
  EXPECT_EQ(ZeroPadded(7, 2), "07");
  EXPECT_EQ(ZeroPadded(123, 2), "123");
}

}  // namespace
}  // namespace meet
