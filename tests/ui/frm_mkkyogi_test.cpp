#include "ui/frm_mkkyogi.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "program/program_test_util.h"
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
  test::RawEntry e4, e5;
  e4.orderNo = 4;
  e4.heatCount = e5.heatCount = 1;
  e4.firstRace = 1;
  e5.orderNo = 5;
  e5.firstRace = 2;
  test::WriteFile(meet.dir / "projun.dat", test::HeaderAndUnused(2) + test::EntryRecord(e4) + test::EntryRecord(e5));
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

  // A refused insertion is told and the dialog stays open.
  Find<QLineEdit>(&w, "txtNo")->setText("9");
  Find<QRadioButton>(&w, "optSohnyu_2")->click();
  w.show();
  Find<QPushButton>(&w, "cmdZikko")->click();
  EXPECT_EQ(w.result(), QDialog::Rejected);
  EXPECT_TRUE(w.isVisible());
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
  EXPECT_NE(meet.fake.dialogs.notices[0].find("同じ 4 に"), std::string::npos);

  // The insertion asks: Cancel leaves the dialog open and the files as they were.
  Find<QLineEdit>(&w, "txtNo")->setText("4");
  const std::string races = meet.RaceBytes();
  meet.fake.dialogs.answers = {false, true};
  Find<QPushButton>(&w, "cmdZikko")->click();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(meet.RaceBytes(), races);
  EXPECT_EQ(meet.fake.dialogs.notices.size(), 1u);
  Find<QPushButton>(&w, "cmdZikko")->click();
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(meet.RaceField(1, 2, 2), test::Le16(1));  // heat 1 of 2
  EXPECT_EQ(meet.RaceField(2, 2, 4), test::Le16(2) + test::Le16(2));
  EXPECT_EQ(meet.StateBytes().substr(0, 3), "178");
  EXPECT_EQ(w.change().heats, 2);
}

}  // namespace
}  // namespace meet::ui
