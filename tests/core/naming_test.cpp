#include "core/naming.h"

#include <gtest/gtest.h>

#include <map>

namespace meet {
namespace {

TEST(RecordClassAbbrev, EveryCodeOfTheTable) {
  const std::map<int, std::string> table = {
      {1, "世界"},  {2, "世大"},  {3, "世高"},  {4, "世中"},  {5, "世学"},  {6, "アジ"},  {7, "ア大"},
      {8, "ア高"},  {9, "ア中"},  {10, "ア学"}, {11, "日本"}, {12, "日大"}, {13, "日高"}, {14, "日中"},
      {15, "日学"}, {16, "地方"}, {17, "地大"}, {18, "地高"}, {19, "地中"}, {20, "地学"}, {21, "県　"},
      {22, "県大"}, {23, "県高"}, {24, "県中"}, {25, "県学"}, {26, "地区"}, {27, "区大"}, {28, "区高"},
      {29, "区中"}, {30, "区学"}, {31, "大会"}, {32, "標準1"}, {33, "標準2"}, {34, "標準4"}, {99, "OP"},
  };
  for (int code = -1; code <= 101; ++code) {
    auto it = table.find(code);
    EXPECT_EQ(RecordClassAbbrev(code), it == table.end() ? "" : it->second) << code;
  }
}

TEST(RoundAndSexNames, KnownCodesOnly) {
  EXPECT_EQ(RoundName("1"), "予選");
  EXPECT_EQ(RoundName("2"), "決勝");
  EXPECT_EQ(RoundName("3"), "準決勝");
  EXPECT_EQ(RoundName("4"), "ｺﾝｿﾚｰｼｮﾝ");
  EXPECT_EQ(RoundName("5"), "");
  EXPECT_EQ(RoundName(std::string(1, '\0')), "");
  EXPECT_EQ(SexName("1"), "男子");
  EXPECT_EQ(SexName("2"), "女子");
  EXPECT_EQ(SexName("3"), "混合");
  EXPECT_EQ(SexName("0"), "");
}

TEST(EventName, FixedEventsAndTheMeetsOwnEvents) {
  NamingContext ctx;
  ctx.extraEventNames[0] = "水中ウォーク    ";
  ctx.extraEventNames[14] = "ﾌﾘｰﾘﾚｰ" + std::string(10, '\0');
  EXPECT_EQ(EventName(1, ctx), "25m自由形");
  EXPECT_EQ(EventName(7, ctx), "1500m自由形");
  EXPECT_EQ(EventName(22, ctx), "400m個人メドレー");
  EXPECT_EQ(EventName(23, ctx), "100mメドレーリレー");
  EXPECT_EQ(EventName(29, ctx), "800mリレー");
  EXPECT_EQ(EventName(30, ctx), "水中ウォーク");
  EXPECT_EQ(EventName(44, ctx), "ﾌﾘｰﾘﾚｰ");
  EXPECT_EQ(EventName(31, ctx), "");
  EXPECT_EQ(EventName(0, ctx), "");
  EXPECT_EQ(EventName(45, ctx), "");
}

TEST(EventCodes, TwoDigitCodesBothWays) {
  const std::vector<std::string> codes = {"10", "11", "12", "13", "14", "15", "16", "20", "21", "22",
                                          "23", "30", "31", "32", "33", "40", "41", "42", "43", "52",
                                          "53", "54", "62", "63", "64", "72", "73", "74", "75"};
  for (int index = 0; index < 29; ++index) {
    EXPECT_EQ(EventCodeFromIndex(index), codes[static_cast<size_t>(index)]);
    EXPECT_EQ(EventIndexFromCode(codes[static_cast<size_t>(index)]), index);
  }
  EXPECT_EQ(EventCodeFromIndex(29), "");
  EXPECT_EQ(EventCodeFromIndex(-1), "");
  EXPECT_EQ(EventIndexFromCode("54"), 21);  // 400m個人メドレー
  EXPECT_EQ(EventIndexFromCode("80"), 29);  // the meet's own events from code 30
  EXPECT_EQ(EventIndexFromCode("95"), 44);
  EXPECT_FALSE(EventIndexFromCode("05"));
  EXPECT_FALSE(EventIndexFromCode("a5"));
  EXPECT_FALSE(EventIndexFromCode(""));
}

TEST(ClassName, SchemeZeroTable) {
  const std::map<int, std::string> table = {
      {5, "幼児"},      {6, "年少"},       {7, "年中"},       {8, "年長"},       {9, "園児"},
      {10, "小0"},      {11, "小1"},       {16, "小6"},       {19, "小9"},       {21, "中1"},
      {33, "高3"},      {44, "大4"},       {51, "Ａ"},        {63, "Ｍ"},        {65, "Ｏ"},
      {70, "Ｐ"},       {74, "Ｔ"},        {75, "90-119歳"},  {76, "120-159歳"}, {77, "160-199歳"},
      {78, "200-239歳"}, {79, "240-279歳"}, {80, "280-319歳"}, {81, "320歳以上"}, {82, "中"},
      {83, "高"},       {84, "Ｌ"},        {85, "E*"},        {86, "F*"},        {87, "G*"},
      {88, "H*"},       {92, "spM"},
  };
  for (int code : {0, 1, 2, 3, 4, 50, 66, 69, 89, 90, 91, 93, 99, 100}) EXPECT_EQ(ClassName(code, 0), "") << code;
  for (const auto& [code, text] : table) {
    EXPECT_EQ(ClassName(code, 0), text) << code;
    EXPECT_EQ(ClassName(code, 1), text) << code;
  }
  EXPECT_EQ(ClassName("05", 0), "");  // written with a leading zero, the first character is below "1"
  EXPECT_EQ(ClassName("5", 0), "幼児");
  EXPECT_EQ(ClassName("1x", 0), "");
}

TEST(ClassName, SchemeTwoTable) {
  const std::vector<std::string> texts = {"",    "Ｕ1", "Ｕ2", "Ｕ3", "Ｕ4", "UL1", "UL2", "UL3", "UL4", "Ｌ1",
                                          "Ｌ2", "Ｌ3", "Ｌ4", "Ｌ4", "Ａ",  "C11", "C12", "Ｃ2", "Ｃ3", "Ｃ4",
                                          "Ｃ5", "Ｃ6", "Ｃ7", "Ｃ8", "Ｂ1", "Ｂ2", "Ｂ3", "Ｄ",  "",    ""};
  for (int code = 50; code <= 79; ++code) EXPECT_EQ(ClassName(code, 2), texts[static_cast<size_t>(code - 50)]) << code;
  for (int code : {0, 11, 45, 80, 99}) EXPECT_EQ(ClassName(code, 2), "") << code;
  EXPECT_EQ(ClassName(63, 2), ClassName(62, 2));
  EXPECT_EQ(ClassName(11, 3), "");  // an unknown scheme names nothing
}

TEST(ClassLabel, AgeModeChecksApplyInOrder) {
  NamingContext ctx;
  ctx.classMode = "1";
  EXPECT_EQ(ClassLabel(10, 12, 3, ctx), "10- 12才");
  EXPECT_EQ(ClassLabel(0, 12, 3, ctx), "12才以下");
  EXPECT_EQ(ClassLabel(60, 100, 3, ctx), "60才以上");
  EXPECT_EQ(ClassLabel(10, 10, 3, ctx), "10才");
  EXPECT_EQ(ClassLabel(1, 100, 3, ctx), "");
  EXPECT_EQ(ClassLabel(100, 100, 3, ctx), "100才");  // equal bounds win over "以上"
}

TEST(ClassLabel, GradeModeUsesTheEntryFilesScheme) {
  NamingContext ctx;
  ctx.classMode = "2";
  EXPECT_EQ(ClassLabel(11, 16, 3, ctx), "小1-小6");
  EXPECT_EQ(ClassLabel(0, 16, 3, ctx), "小6以下 ");
  EXPECT_EQ(ClassLabel(21, 100, 3, ctx), "中1以上 ");
  EXPECT_EQ(ClassLabel(31, 31, 3, ctx), "高1 ");
  EXPECT_EQ(ClassLabel(0, 100, 3, ctx), "");
  EXPECT_EQ(ClassLabel(51, 63, 3, ctx), "ﾏｽﾀｰｽﾞ");
  EXPECT_EQ(ClassLabel(64, 69, 3, ctx), "ﾏｽﾀｰｽﾞ");
  EXPECT_EQ(ClassLabel(71, 76, 3, ctx), "実業団");
  EXPECT_EQ(ClassLabel(85, 88, 3, ctx), "健福祭");
  EXPECT_EQ(ClassLabel(51, 62, 3, ctx), "Ａ-Ｌ");
  ctx.classScheme = 2;
  EXPECT_EQ(ClassLabel(59, 62, 3, ctx), "Ｌ1-Ｌ4");
}

TEST(ClassLabel, OptionalCategoriesComeBeforeTheFixedNames) {
  NamingContext ctx;
  ctx.classMode = "2";
  ctx.optionalCategories = "1";
  ctx.categories = {{51, 63, 23, 29, "リレー 部門 "}, {51, 63, 1, 22, "マスターズ　Ａ"}, {51, 63, 1, 29, "後"}};
  EXPECT_EQ(ClassLabel(51, 63, 3, ctx), "マスターズＡ");  // the first match, all blanks removed
  EXPECT_EQ(ClassLabel(51, 63, 25, ctx), "リレー部門");
  EXPECT_EQ(ClassLabel(51, 63, 30, ctx), "");  // the meet's own events carry their own class names
  ctx.optionalCategories = "0";
  EXPECT_EQ(ClassLabel(51, 63, 3, ctx), "ﾏｽﾀｰｽﾞ");
  ctx.classMode = "0";
  ctx.optionalCategories = "1";
  EXPECT_EQ(ClassLabel(51, 63, 3, ctx), "");  // 無別: nothing else is done
}

TEST(ClassLabel, TheMeetsOwnEventsUseTheirClassNames) {
  NamingContext ctx;
  ctx.classMode = "1";
  ctx.extraClassNames[2] = "一般    ";
  EXPECT_EQ(ClassLabel(10, 12, 32, ctx), "一般");
  EXPECT_EQ(ClassLabel(10, 12, 45, ctx), "");
}

TEST(AffiliationText, AllFourModes) {
  AffiliationFields e{"ABCスイム  ", "岡山県  ", "3401234567890X"};
  EXPECT_EQ(AffiliationText(e, "0"), "ABCスイム  ");
  EXPECT_EQ(AffiliationText(e, "3"), "ABCスイム      ");  // as read: widened to 12 characters
  EXPECT_EQ(AffiliationText(e, "1"), "岡山県     ");
  EXPECT_EQ(AffiliationText(e, "2"), "中国");
  for (auto [pref, region] : std::vector<std::pair<std::string, std::string>>{
           {"01", "tatiiki"}, {"30", "tatiiki"}, {"31", "中国"}, {"35", "中国"}, {"36", "tatiiki2"},
           {"47", "tatiiki2"}, {"48", "宇宙"}, {"00", "宇宙"}, {"", "宇宙"}}) {
    e.regNo = pref;
    EXPECT_EQ(AffiliationText(e, "2"), region) << pref;
  }
  AffiliationFields nul{std::string("AB\0\0", 4), "", ""};
  EXPECT_EQ(AffiliationText(nul, "0"), "AB  ");  // characters below a blank become blanks
}

TEST(CleanName, Modes) {
  EXPECT_EQ(CleanName("  山田 太郎  ", 3), "山田 太郎");
  EXPECT_EQ(CleanName("山田", 1), "   山田");
  EXPECT_EQ(CleanName("山田 太郎", 1), "山田 太郎");
  EXPECT_EQ(CleanName("山田  太郎", 1), "山田 太郎");
  EXPECT_EQ(CleanName("山 田 太 郎", 1), "山田太 郎");  // only as many blanks as needed, from the first
  EXPECT_EQ(CleanName("長谷川 健太郎", 1), "長谷川健太郎");
  EXPECT_EQ(CleanName("山田　 太郎 ", 2), "山田太郎");
  EXPECT_EQ(CleanName(std::string("\t山田\0", 8), 3), "山田");
}

}  // namespace
}  // namespace meet
