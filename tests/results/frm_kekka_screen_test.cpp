// The result file screen's enabling rules.
#include "results/frm_kekka_screen.h"

#include <gtest/gtest.h>

namespace meet {
namespace {

HubState State() {
  HubState s;
  s.folders.meetFolder = "/m/";
  s.folders.entryFolder = "/e/";
  s.folders.entryFileName = "taikai2009.a.Mos";
  s.settings.laneCount = 8;
  return s;
}

TEST(FrmKekkaScreen, LoadNamesTheResultFileAndDisablesTheDependentControls) {
  FrmKekkaScreen k("/m/", State());
  EXPECT_EQ(k.txtFile(), "taikai2009.kek");
  EXPECT_EQ(k.lblPath(), "/e/");
  EXPECT_EQ(k.optYoketu(), 0);
  EXPECT_FALSE(k.optYoketuEnabled());
  EXPECT_EQ(k.txtNin(), "0");
  EXPECT_FALSE(k.txtNinEnabled());
  EXPECT_FALSE(k.optKirokuEnabled());
  EXPECT_TRUE(k.chkTochuEnabled());
}

TEST(FrmKekkaScreen, ClicksFollowTheEnablingRules) {
  FrmKekkaScreen k("/m/", State());
  k.ClickTochu(0, true);
  k.ClickTochu(1, true);
  k.ClickKubun(kWriteResults, true);
  EXPECT_TRUE(k.optYoketuEnabled());
  // 決勝のみ: the split boxes are unticked and disabled, txtNin takes the lanes.
  k.ClickYoketu(1);
  EXPECT_FALSE(k.chkTochu(0));
  EXPECT_FALSE(k.chkTochu(1));
  EXPECT_FALSE(k.chkTochuEnabled());
  EXPECT_TRUE(k.txtNinEnabled());
  EXPECT_EQ(k.txtNin(), "8");
  k.ClickTochu(0, true);  // disabled: no effect
  EXPECT_FALSE(k.chkTochu(0));
  k.txtNin() = "3x";
  EXPECT_TRUE(k.Options().finalsOnly);
  EXPECT_EQ(k.Options().places, 3);
  // Unticking 結果記録の書出 goes back to 全体 with the options disabled.
  k.ClickKubun(kWriteResults, false);
  EXPECT_EQ(k.optYoketu(), 0);
  EXPECT_FALSE(k.optYoketuEnabled());
  EXPECT_EQ(k.txtNin(), "0");
  EXPECT_FALSE(k.txtNinEnabled());
  EXPECT_TRUE(k.chkTochuEnabled());
  EXPECT_FALSE(k.Options().finalsOnly);
  // The standard options follow 標準突破記録の書出 and are cleared with it.
  k.ClickKiroku(1);
  EXPECT_EQ(k.optKiroku(), -1);
  k.ClickKubun(kWriteStandards, true);
  k.ClickKiroku(2);
  EXPECT_EQ(k.Options().standard, StandardChoice::Standard4);
  k.ClickKubun(kWriteStandards, false);
  EXPECT_EQ(k.optKiroku(), -1);
  EXPECT_FALSE(k.optKirokuEnabled());
}

}  // namespace
}  // namespace meet
