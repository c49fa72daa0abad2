#include "ui/frm_ohda.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "race/kyogi_fixture.h"
#include "support/qt_environment.h"
#include "support/widget_lookup.h"
#include "ui/frm_kyogi.h"

namespace meet::ui {
namespace {

class FrmOhdaTest : public ::testing::Test {
 protected:
  test::KyogiMeet meet;
  std::unique_ptr<FrmKyogi> kyogi;
  std::unique_ptr<FrmOhda> dialog;

  FrmOhdaTest() {
    meet.settings.laneCount = 8;
    meet.Entries({{"", "山田太郎", "", "", "ＡＢＣ", "", 12},
                  {"", "鈴木一郎", "", "", "ＸＹＺ", "", 11},
                  {"", "佐藤花子", "", "", "", "", 13},
                  {"", "高橋三郎", "", "", "", "", 14}});
    test::HandRace r;
    r.eventCode = 26;
    r.relayRec = 1;
    r.laneNo = {0, 0, 2};
    meet.Races({r});
    test::HandBlock b;
    b.raceNo = 1;
    meet.Relays({b});
    HubState state;
    state.folders.meetFolder = meet.dir.str();
    state.settings = meet.settings;
    kyogi = std::make_unique<FrmKyogi>(state, meet.fake.platform);
  }
  FrmOhda* Open() {
    dialog = std::make_unique<FrmOhda>(kyogi->screen(), meet.fake.platform);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    return dialog.get();
  }
  QLineEdit* Bango(int leg) { return Find<QLineEdit>(dialog.get(), "txtBango_" + QString::number(leg)); }
  void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
};

TEST_F(FrmOhdaTest, TheRaceScreenEnablesItsButtonForARelay) {
  EXPECT_TRUE(Find<QPushButton>(kyogi.get(), "cmdOhda")->isEnabled());
  EXPECT_EQ(Text(Find<QPushButton>(kyogi.get(), "cmdOhda")->text()), "オーダ");
}

TEST_F(FrmOhdaTest, TypingTheFourLegsStoresThemAndTheRaceScreenShowsThem) {
  // Before the order the race screen shows the team's own name.
  EXPECT_EQ(Text(Find<QLineEdit>(kyogi.get(), "txtNamae_2")->text()), "鈴木一郎");
  FrmOhda* w = Open();
  ASSERT_TRUE(w->loadStatus().has_value());
  EXPECT_EQ(w->objectName(), "frmOhda");
  EXPECT_EQ(Text(w->windowTitle()), "オーダー入力");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtKousu")->text()), "3");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblShozoku")->text()), "ＸＹＺ");
  auto* chui = Find<QLabel>(w, "lblChui");
  EXPECT_EQ(Text(chui->text()), "");
  for (int leg = 0; leg < 4; ++leg) {
    QLineEdit* box = Bango(leg);
    Type(box, std::to_string(leg + 1).c_str());
    EXPECT_EQ(QApplication::focusWidget(), leg < 3 ? Bango(leg + 1) : Find<QLineEdit>(w, "txtKousu")) << leg;
    // The window says at once that leg 1 swims for another club.
    if (leg == 0) {
      EXPECT_EQ(Text(chui->text()), "注意: 1泳者 1 山田太郎 の所属は ＡＢＣ です（チームは ＸＹＺ）。");
    }
  }
  EXPECT_EQ(Text(chui->text()).substr(0, Text(chui->text()).find('\n')),
            "注意: 1泳者 1 山田太郎 の所属は ＡＢＣ です（チームは ＸＹＺ）。");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblNamae_1")->text()), "鈴木一郎");
  dialog.reset();
  kyogi->Redraw();
  EXPECT_EQ(Text(Find<QLineEdit>(kyogi.get(), "txtNamae_2")->text()), "山田太郎    鈴木一郎");

  // The lane field: Down shows lane 4 (no team, no members).
  Open();
  QLineEdit* kousu = Find<QLineEdit>(dialog.get(), "txtKousu");
  kousu->setFocus();
  QTest::keyClick(kousu, Qt::Key_Down);
  EXPECT_EQ(Text(kousu->text()), "4");
  EXPECT_EQ(Text(Bango(0)->text()), "0");
  QTest::keyClick(kousu, Qt::Key_Up);
  EXPECT_EQ(Text(Bango(0)->text()), "1");
}

TEST_F(FrmOhdaTest, AMemberNumberPastSixteenBitsIsToldAndNotStored) {
  Open();
  const std::string before = meet.RelayBytes();
  Type(Bango(0), "40000");
  EXPECT_EQ(meet.fake.dialogs.notices.size(), 1u);
  EXPECT_EQ(meet.RelayBytes(), before);
}

}  // namespace
}  // namespace meet::ui
