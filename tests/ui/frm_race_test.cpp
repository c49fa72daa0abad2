#include "ui/frm_race.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/qt_environment.h"
#include "support/widget_lookup.h"

#include "race/kyogi_fixture.h"

namespace meet::ui {
namespace {

class FrmRaceTest : public ::testing::Test {
 protected:
  test::KyogiMeet meet;
  HubState state;
  std::unique_ptr<FrmRace> dialog;

  FrmRaceTest() {
    test::HandRace race;
    race.eventNo = 3;
    race.laneNo = {1, 2, 3};
    meet.Races({race});
    meet.Entries({{"", "一", "", "", "", "31", 16}, {"", "二", "", "", "", "31", 16}, {"", "三", "", "", "", "31", 16}});
    meet.States("1");
    state.folders.meetFolder = meet.dir.str();
    state.settings = meet.settings;
  }
  FrmRace* Open() {
    dialog = std::make_unique<FrmRace>(state, 1, meet.fake.platform);
    dialog->show();
    return dialog.get();
  }
  QLineEdit* Jun(int row) { return Find<QLineEdit>(dialog.get(), "txtJun_" + QString::number(row)); }
  QLineEdit* Kiro(int row) { return Find<QLineEdit>(dialog.get(), "txtKiro_" + QString::number(row)); }
  void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
};

TEST_F(FrmRaceTest, CarriesItsControlsAndShowsTheRace) {
  FrmRace* w = Open();
  ASSERT_TRUE(w->loadStatus().has_value());
  EXPECT_EQ(w->objectName(), "frmRace");
  EXPECT_EQ(Text(w->windowTitle()), "手動入力");
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdKakutei")->text()), "確　定");
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdShoki")->text()), "初期");
  EXPECT_EQ(Text(Find<QCheckBox>(w, "chkRel")->text()), "途中");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblNyuF")->text()), "順 路");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblShikkaku_0")->text()), "ｽﾀｰﾄ");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblShikkaku_7")->text()), "棄権");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblPno")->text()), "3");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblNin")->text()), "3");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblShu")->text()), "50m自由形");
  EXPECT_EQ(Jun(2)->palette().color(QPalette::Base), QColor(255, 192, 192));
  EXPECT_EQ(Kiro(3)->palette().color(QPalette::Base), QColor(240, 240, 240));
  EXPECT_FALSE(Find<QCheckBox>(w, "chkRel")->isChecked());
}

TEST_F(FrmRaceTest, KeysMoveThroughTheRows) {
  FrmRace* w = Open();
  Type(Jun(0), "2");
  EXPECT_EQ(w->focusWidget(), Kiro(0));
  Type(Kiro(0), "2534");
  EXPECT_EQ(Text(Kiro(0)->text()), "   25.34");
  EXPECT_EQ(w->focusWidget(), Jun(1));
  Type(Jun(1), "5");  // no swimmer in lane 5
  EXPECT_EQ(Text(Jun(1)->text()), "");
  EXPECT_EQ(w->focusWidget(), Jun(1));
  Type(Jun(1), "1");
  Type(Kiro(1), "1234567");
  EXPECT_EQ(Text(Kiro(1)->text()), "");
  Type(Kiro(1), "8");
  EXPECT_EQ(Text(Kiro(1)->text()), "棄権");
  QTest::keyClick(Jun(2), Qt::Key_Up);
  EXPECT_EQ(w->focusWidget(), Jun(1));
  QTest::keyClick(Jun(1), Qt::Key_Right);
  EXPECT_EQ(w->focusWidget(), Kiro(1));
  QTest::keyClick(Kiro(1), Qt::Key_Left);
  EXPECT_EQ(w->focusWidget(), Jun(1));
  QTest::keyClick(Jun(1), Qt::Key_Period, Qt::KeypadModifier);
  EXPECT_EQ(w->focusWidget(), Find<QPushButton>(w, "cmdKakutei"));
  EXPECT_EQ(w->screen().rows()[0].lane, 2);
  EXPECT_EQ(w->screen().rows()[1].time, 888888);
}

TEST_F(FrmRaceTest, ConfirmingClosesTheDialogAndStoresTheRace) {
  FrmRace* w = Open();
  Type(Jun(0), "3");
  Type(Kiro(0), "2500");
  QTest::mouseClick(Find<QPushButton>(w, "cmdKakutei"), Qt::LeftButton);
  EXPECT_EQ(w->result(), QDialog::Accepted);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(meet.RaceField(1, 46 + 8, 4), test::Le32(2500));
  EXPECT_EQ(meet.RaceField(1, 142 + 4, 2), test::Le16(1));
  EXPECT_EQ(meet.StateBytes()[0], '7');
}

// A record notice the printer cannot print: the race is stored all the same,
// the operator is told, and the dialog closes as confirmed.
TEST_F(FrmRaceTest, ANoticeThatCannotBePrintedIsToldAfterTheResultsAreStored) {
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{151, 1, 2550}}));
  test::RefusingPrinter refusing;
  Platform platform{refusing, meet.fake.dialogs, meet.fake.clock, meet.fake.launcher};
  FrmRace w(state, 1, platform);
  w.show();
  auto type = [&](const char* name, const char* text) {
    QLineEdit* edit = Find<QLineEdit>(&w, name);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  };
  type("txtJun_0", "3");
  type("txtKiro_0", "2500");
  QTest::mouseClick(Find<QPushButton>(&w, "cmdKakutei"), Qt::LeftButton);
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(meet.StateBytes()[0], '7');
  EXPECT_EQ(meet.fake.dialogs.notices,
            std::vector<std::string>{"結果は保存しました。\n印刷できませんでした（プリンター system）: 記録の通知 レース 1（プリンターがありません）"});
}

TEST_F(FrmRaceTest, ShokiAsksAndResetsTheState) {
  meet.States("7");
  FrmRace* w = Open();
  Type(Jun(0), "3");
  meet.fake.dialogs.answers = {true};
  QTest::mouseClick(Find<QPushButton>(w, "cmdShoki"), Qt::LeftButton);
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "データを初期化します。");
  EXPECT_EQ(meet.StateBytes()[0], '1');
  EXPECT_EQ(Text(Jun(0)->text()), "");
  EXPECT_TRUE(w->isVisible());
}

TEST_F(FrmRaceTest, ARaceThatCannotBeShownIsToldNotOpened) {
  ShowFrmRace(nullptr, state, 0, meet.fake.platform);  // returns at once: no dialog runs
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
}

}  // namespace
}  // namespace meet::ui
