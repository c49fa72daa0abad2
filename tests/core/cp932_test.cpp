#include "core/cp932.h"
#include "core/html.h"

#include <gtest/gtest.h>

namespace meet {
namespace {

TEST(Cp932, RoundTripsKanjiKanaAndExtensions) {
  for (const char* text : {"山田太郎", "ﾔﾏﾀﾞ ﾀﾛｳ", "ＡＢＣ１２３", "①②Ⅲ", "髙橋", "～", "abc 123"}) {
    EXPECT_EQ(DecodeCp932(EncodeCp932(text)), text) << text;
  }
}

TEST(Cp932, KnownBytes) {
  EXPECT_EQ(EncodeCp932("あ"), "\x82\xa0");
  EXPECT_EQ(EncodeCp932("ｱ"), "\xb1");
  EXPECT_EQ(EncodeCp932("①"), "\x87\x40");  // NEC extension
  EXPECT_EQ(DecodeCp932(std::string("\x93\xfa\x96\x7b")), "日本");
}

TEST(Cp932, BytesThatDoNotDecodeBecomeReplacementCharacters) {
  EXPECT_EQ(DecodeCp932(std::string("\x82")), "\xEF\xBF\xBD");             // lead byte at the end
  EXPECT_EQ(DecodeCp932(std::string("\x82\x20" "A")), "\xEF\xBF\xBD A");    // bad trail byte
  EXPECT_EQ(DecodeCp932(std::string("a\xff" "b")), "a\xEF\xBF\xBD" "b");
  std::string garbage;
  for (int i = 0; i < 256; ++i) garbage.push_back(static_cast<char>(i));
  EXPECT_FALSE(DecodeCp932(garbage).empty());
}

TEST(Cp932, CharactersCp932CannotHoldEncodeAsQuestionMarks) {
  EXPECT_EQ(EncodeCp932("a😀b"), "a?b");
  EXPECT_EQ(EncodeCp932(std::string("a\xc3")), "a?");  // broken UTF-8
}

TEST(Cp932, WidthsAreByteWidths) {
  EXPECT_EQ(AnsiLen("山田"), 4);
  EXPECT_EQ(AnsiLen("ﾔﾏﾀﾞ"), 4);
  EXPECT_EQ(AnsiLen("abc"), 3);
  EXPECT_EQ(LenMbcs("県　"), 4);
}

TEST(Cp932, CuttingNeverSplitsADoubleByteCharacter) {
  EXPECT_EQ(CutToWidth("山田太郎", 5), "山田");
  EXPECT_EQ(CutToWidth("山田太郎", 4), "山田");
  EXPECT_EQ(CutToWidth("aあb", 2), "a");
  EXPECT_EQ(PadToWidth("山田太郎", 5), "山田 ");
  EXPECT_EQ(PadToWidth("ab", 4), "ab  ");
  EXPECT_EQ(PadLeftToWidth("山", 4), "  山");
}

TEST(Cp932, CharacterHelpers) {
  EXPECT_EQ(CharCount("山田ab"), 4);
  EXPECT_EQ(LeftChars("山田太郎", 2), "山田");
  EXPECT_EQ(MidChars("山田太郎", 1, 2), "田太");
  EXPECT_EQ(TrimRight(std::string("ab  \0\0", 6)), "ab");
  EXPECT_EQ(Trim("  a b  "), "a b");
}

// The HTML files are written in CP932: escaping must leave two-byte
// characters whole (no trail byte is one of the five escaped).
TEST(Cp932, HtmlEscapingLeavesTwoByteCharactersWhole) {
  const std::string sjis = EncodeCp932("ソ表能＜");
  EXPECT_EQ(HtmlEscaped(sjis), sjis);
  EXPECT_EQ(HtmlEscaped("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
}

}  // namespace
}  // namespace meet
