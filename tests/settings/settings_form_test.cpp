#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "support/test_support.h"

namespace meet {
namespace {

class SettingsFormTest : public ::testing::Test {
 protected:
  Settings Reloaded() {
    Settings s;
    LoadSettings(dir.path(), s);
    return s;
  }
  test::TempDir dir;
  Settings settings;
  SettingsForm form{dir.path(), settings};
};

TEST_F(SettingsFormTest, OptionButtonsStoreTheirIndexAndSave) {
  ASSERT_TRUE(form.ClickOption("optNarabi", 4));
  EXPECT_EQ(Reloaded().seedingMode, "4");
  EXPECT_TRUE(form.View().enabled.at("cmdGodo"));
  EXPECT_EQ(form.View().options.at("optNarabi"), 4);
  ASSERT_TRUE(form.ClickOption("optNarabi", 1));
  EXPECT_FALSE(form.View().enabled.at("cmdGodo"));
  ASSERT_TRUE(form.ClickOption("optSuiro", 1));
  EXPECT_EQ(Reloaded().courseMode, "1");
  EXPECT_FALSE(form.ClickOption("optSuiro", 2));
  EXPECT_FALSE(form.ClickOption("optNothing", 0));
}

TEST_F(SettingsFormTest, ManualTimingDisablesTheLapCopyFieldsWithoutChangingThem) {
  settings.printCopies[15] = 3;
  ASSERT_TRUE(form.ClickOption("optKeizi", 0));
  for (int i = 15; i < 18; ++i) EXPECT_FALSE(form.View().enabled.at("txtInsatu_" + std::to_string(i)));
  ASSERT_TRUE(form.ClickOption("optKeizi", 1));
  for (int i = 15; i < 18; ++i) EXPECT_TRUE(form.View().enabled.at("txtInsatu_" + std::to_string(i)));
  EXPECT_EQ(Reloaded().printCopies[15], 3);
}

TEST_F(SettingsFormTest, DatesAreTakenFromEightCharactersOnEnter) {
  EXPECT_TRUE(SettingsForm::KeyPressClearsDate("2008/11/03"));
  EXPECT_FALSE(SettingsForm::KeyPressClearsDate("2008"));
  auto none = form.EnterDate(1, "2008110");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->has_value());
  EXPECT_EQ(settings.meetDateFrom, 0);

  auto first = form.EnterDate(1, "20081103");
  ASSERT_TRUE(first && first->has_value());
  EXPECT_EQ((*first)->shownText, "2008/11/03");
  EXPECT_EQ((*first)->focusTo, "txtKizitu2");
  EXPECT_EQ(Reloaded().meetDateFrom, 20081103);
  auto second = form.EnterDate(2, "20081104");
  ASSERT_TRUE(second && second->has_value());
  EXPECT_FALSE((*second)->focusTo.has_value());
  EXPECT_EQ(form.View().texts.at("txtKizitu2"), "2008/11/04");
}

TEST_F(SettingsFormTest, ImpossibleDatesAndReversedDaysAreRefusedUnwritten) {
  ASSERT_TRUE(form.EnterDate(1, "20081103"));
  ASSERT_TRUE(form.EnterDate(2, "20081104"));
  struct Case {
    int which;
    const char* text;
  };
  for (Case c : {Case{1, "20081301"}, Case{1, "20080230"}, Case{2, "20090229"}, Case{1, "2008ab01"},
                 Case{1, "00001103"}, Case{1, "20081105"}, Case{2, "20081102"}}) {
    EXPECT_FALSE(form.EnterDate(c.which, c.text)) << c.text;
    EXPECT_EQ(Reloaded().meetDateFrom, 20081103) << c.text;
    EXPECT_EQ(Reloaded().meetDateTo, 20081104) << c.text;
  }
  EXPECT_TRUE(form.EnterDate(2, "20081231"));
  EXPECT_TRUE(form.EnterDate(1, "20081231"));  // a one-day meet
  EXPECT_TRUE(IsCalendarDate("20080229"));
}

TEST_F(SettingsFormTest, LaneCountChoiceStaysInMemoryUntilTheNextSave) {
  form.ChooseLaneCount(4);  // 8 lanes
  EXPECT_EQ(settings.laneCount, 8);
  EXPECT_EQ(Reloaded().laneCount, 4);
  auto shown = form.ChangeLaneCountUsed("6");
  ASSERT_TRUE(shown);
  EXPECT_EQ(*shown, "6");
  EXPECT_EQ(Reloaded().laneCount, 8);
  EXPECT_EQ(Reloaded().laneCountUsed, 6);
  shown = form.ChangeLaneCountUsed("9");
  ASSERT_TRUE(shown);
  EXPECT_EQ(*shown, "8");
  EXPECT_EQ(Reloaded().laneCountUsed, 8);
}

TEST_F(SettingsFormTest, IdentityTextsAreTakenWholeAndCommasRefused) {
  ASSERT_TRUE(form.EnterText("txtNamae", "第10回 市民大会"));
  EXPECT_EQ(Reloaded().meetName, "第10回 市民大会");
  auto bad = form.EnterText("txtBasho", "A,B");
  ASSERT_FALSE(bad);
  EXPECT_NE(bad.error().message.find("場   所"), std::string::npos);
  EXPECT_EQ(settings.venue, "");
  EXPECT_EQ(Reloaded().venue, "");
}

TEST_F(SettingsFormTest, NumberFieldsTakeTheTextBeforeTheCaretAndMoveOn) {
  auto r = form.EnterNumber("txtIten", 0, "10点");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->shownText, "10");
  EXPECT_EQ(r->focusTo, "txtIten_1");
  EXPECT_EQ(Reloaded().pointsIndividual[0], 10);
  r = form.EnterNumber("txtRten", 19, "abc");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->shownText, "0");
  EXPECT_FALSE(r->focusTo.has_value());  // not after place 20
  r = form.EnterNumber("txtInsatu", 16, "2");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->focusTo, "txtInsatu_17");
  r = form.EnterNumber("txtInsatu", 17, "2");
  EXPECT_FALSE(r->focusTo.has_value());
  r = form.EnterNumber("txtmLap", 0, "100m");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->shownText, "100m");  // the lap field keeps its text
  EXPECT_EQ(Reloaded().lapText, "100m");
  r = form.EnterNumber("txtSeiritu", 0, " 3");
  EXPECT_EQ(Reloaded().minEntrants, 3);
  EXPECT_FALSE(form.EnterNumber("txtInsatu", 18, "1"));
  EXPECT_FALSE(form.EnterNumber("txtInsatu", 3, "500"));
  EXPECT_FALSE(form.EnterNumber("txtInsatu", 3, "-1"));
  EXPECT_EQ(Reloaded().printCopies[3], 0) << "a refused count is not stored";
  EXPECT_EQ(form.EnterNumber("txtInsatu", 3, "99")->shownText, "99");
}

TEST_F(SettingsFormTest, CheckBoxesOfCategoriesAndPrefecturePrint) {
  ASSERT_TRUE(form.SetOptionalCategories(true));
  EXPECT_EQ(Reloaded().optionalCategories, "1");
  EXPECT_TRUE(form.View().enabled.at("cmdOptKubun"));
  ASSERT_TRUE(form.SetOptionalCategories(false));
  EXPECT_FALSE(form.View().enabled.at("cmdOptKubun"));

  ASSERT_TRUE(form.SetPrefecturePrint(true));
  EXPECT_EQ(Reloaded().prefecturePrint, "2");
  EXPECT_EQ(form.View().options.at("optLpP"), 1);
  EXPECT_TRUE(form.View().enabled.at("optLpP_0"));
  ASSERT_TRUE(form.ClickOption("optLpP", 0));
  EXPECT_EQ(Reloaded().prefecturePrint, "1");
  ASSERT_TRUE(form.SetPrefecturePrint(false));
  EXPECT_EQ(Reloaded().prefecturePrint, "0");
  EXPECT_FALSE(form.View().checked.at("chkLpP"));
  EXPECT_FALSE(form.View().enabled.at("optLpP_1"));
}

TEST_F(SettingsFormTest, SetByNameUsesTheFieldRules) {
  EXPECT_EQ(form.SetByName("meetDateFrom", "20090315").value(), "20090315");
  EXPECT_FALSE(form.SetByName("meetDateFrom", "2009"));
  EXPECT_EQ(form.SetByName("laneCount", "8").value(), "8");
  EXPECT_EQ(form.SetByName("laneCountUsed", "12").value(), "8");
  EXPECT_EQ(form.SetByName("printCopies.17", "3").value(), "3");
  EXPECT_EQ(form.SetByName("pointsRelay.20", "x").value(), "0");
  EXPECT_EQ(form.SetByName("classMode", "2").value(), "2");
  EXPECT_FALSE(form.SetByName("classMode", "3"));
  EXPECT_FALSE(form.SetByName("pointsRelay.21", "1"));
  EXPECT_FALSE(form.SetByName("nonsense", "1"));
  EXPECT_FALSE(form.SetByName("meetName", "a,b"));
  Settings s = Reloaded();
  EXPECT_EQ(s.meetDateFrom, 20090315);
  EXPECT_EQ(s.laneCount, 8);
  EXPECT_EQ(s.printCopies[17], 3);
  EXPECT_EQ(s.meetName, "");
}

}  // namespace
}  // namespace meet
