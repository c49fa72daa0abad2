#include "ui/frm_mkkyogi.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "race/kyogi_fixture.h"
#include "support/widget_lookup.h"

namespace meet::ui {
namespace {

TEST(FrmmKkyogiWidget, BoxesOptionsAndInsertingAHeat) {
  test::KyogiMeet meet;
  test::HandRace a, b;
  a.eventNo = 4;
  b.eventNo = 5;
  meet.Races({a, b});
  meet.States("78");
  FrmmKkyogi w(meet.dir.path(), 1, meet.fake.platform);
  ASSERT_TRUE(w.loadStatus().has_value());
  EXPECT_EQ(w.objectName(), "frmmKkyogi");
  EXPECT_EQ(Text(w.windowTitle()), "競技ﾀｲﾄﾙ変更");
  EXPECT_EQ(Text(Find<QLabel>(&w, "Label1")->text()), kMkkyogiHeading);
  EXPECT_EQ(Text(Find<QGroupBox>(&w, "fraSohnyu")->title()), "レースの挿入");
  EXPECT_EQ(Text(Find<QRadioButton>(&w, "optSohnyu_0")->text()), "なし");
  EXPECT_TRUE(Find<QRadioButton>(&w, "optSohnyu_0")->isChecked());
  EXPECT_EQ(Text(Find<QRadioButton>(&w, "optSohnyu_2")->text()), "組");
  EXPECT_EQ(Text(Find<QLineEdit>(&w, "txtNo")->text()), "4");
  EXPECT_EQ(Text(Find<QLineEdit>(&w, "txtJikan")->text()), "093000");
  for (const char* name : {"txtSei", "txtKubun1", "txtKubun2", "txtShu", "txtYoketu", "txtTKumi", "txtKumi", "txtRirei"})
    EXPECT_NE(Find<QLineEdit>(&w, name), nullptr);

  Find<QLineEdit>(&w, "txtKumi")->setText("2");
  Find<QRadioButton>(&w, "optSohnyu_2")->click();
  w.show();
  Find<QPushButton>(&w, "cmdZikko")->click();
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(meet.RaceField(1, 2, 2), test::Le16(2));
  EXPECT_EQ(meet.StateBytes().substr(0, 3), "178");
}

}  // namespace
}  // namespace meet::ui
