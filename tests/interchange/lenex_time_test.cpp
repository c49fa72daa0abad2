#include "interchange/lenex_time.h"

#include <gtest/gtest.h>

namespace meet {
namespace {

TEST(LenexSwimTime, FormatsAndReadsTheFixedForm) {
  struct Row {
    long hundredths;
    const char* text;
  };
  for (const Row& row : {Row{6523, "00:01:05.23"}, Row{2463, "00:00:24.63"}, Row{88586, "00:14:45.86"},
                         Row{360000, "01:00:00.00"}, Row{35999999, "99:59:59.99"}}) {
    EXPECT_EQ(FormatLenexSwimTime(row.hundredths), row.text);
    EXPECT_EQ(ParseLenexSwimTime(row.text), row.hundredths) << row.text;
  }
  EXPECT_EQ(FormatLenexSwimTime(0), "NT");
  EXPECT_EQ(FormatLenexSwimTime(36000000), "NT");
  EXPECT_EQ(ParseLenexSwimTime("NT"), 0);
  for (const char* bad : {"", "1:05.23", "00:01:5.23", "00:60:00.00", "00:00:60.00", "00:01:05,23", "-0:01:05.23",
                          " 0:01:05.23", "00:01:05.2x", "00:01:05.234"}) {
    EXPECT_FALSE(ParseLenexSwimTime(bad)) << bad;
  }
}

}  // namespace
}  // namespace meet
