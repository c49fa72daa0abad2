#include "ui/frm_kyogi.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "support/qt_environment.h"
#include "support/widget_lookup.h"

#include "program/program_test_util.h"
#include "race/kyogi_fixture.h"
#include "ui/meet_lock_gate.h"
#include "ui/screen_registry.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/meet_lock.h"

namespace meet::ui {
namespace {

using test::HandRace;

class FrmKyogiTest : public ::testing::Test {
 protected:
  test::KyogiMeet meet;
  std::unique_ptr<FrmKyogi> window;

  void SetUp() override {
    meet.Entries({{"13000123456789", "山田太郎", "ﾔﾏﾀﾞ", "東京", "ＡＢＣ", "15", 12},
                  {"13000223456789", "鈴木一郎", "ｽｽﾞｷ", "大阪", "ＸＹＺ", "16", 11},
                  {"13000323456789", "佐藤花子", "ｻﾄｳ", "京都", "ＱＱ", "21", 13}});
    HandRace a;
    a.eventNo = 1;
    a.laneNo = {1, 2, 3};
    a.laneTime = {3000, 3100, 3200};
    a.rank = {1, 2, 3};
    HandRace b;
    b.eventNo = 2;
    b.start = "000000";
    meet.Races({a, b});
    meet.States("11");
  }
  FrmKyogi* Open() {
    HubState state;
    state.folders.meetFolder = meet.dir.str();
    state.settings = meet.settings;
    window = std::make_unique<FrmKyogi>(state, meet.fake.platform);
    window->show();
    QApplication::setActiveWindow(window.get());
    return window.get();
  }
  QLineEdit* Edit(const char* name, int index) {
    return Find<QLineEdit>(window.get(), QString::fromUtf8(name) + "_" + QString::number(index));
  }
  QWidget* Focused() { return QApplication::focusWidget(); }
};

TEST_F(FrmKyogiTest, CarriesItsControlsCaptionsAndTips) {
  FrmKyogi* w = Open();
  EXPECT_EQ(w->objectName(), "frmKyogi");
  EXPECT_EQ(Text(w->windowTitle()), "競技会");
  for (int i = 0; i < 12; ++i)
    for (const char* name : {"txtNo", "txtQBan", "txtNamae", "txtKana", "txtKen", "txtSho", "txtTosi", "txtGaku",
                             "txtJun", "txtKiro", "txtMu", "txtNen", "txtHoj", "txtBiko", "txtQkiro"})
      EXPECT_NE(Edit(name, i), nullptr);
  EXPECT_EQ(Text(Find<QLabel>(w, "lblKosu_0")->text()), "1");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblKosu_11")->text()), "補欠２");
  EXPECT_NE(Find<QLineEdit>(w, "txtTKiro_33"), nullptr);
  EXPECT_EQ(Text(Edit("txtKiro", 0)->toolTip()), kTipKiro);
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtToi")->toolTip()), kTipToi);
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtTKiro_31")->toolTip()), "年齢別の標準記録");
  EXPECT_TRUE(Find<QPushButton>(w, "cmdKeiji")->isEnabled());
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdKeiji")->text()), "確定");
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdKeiji")->toolTip()), "記録読込  印刷");
  EXPECT_EQ(Text(Find<QCheckBox>(w, "chkInsatu")->text()), "印刷しない");
  EXPECT_EQ(Text(Find<QCheckBox>(w, "chkJidou")->text()), "自動確定");
  EXPECT_FALSE(Find<QCheckBox>(w, "chkJidou")->isChecked());
  EXPECT_FALSE(Find<QPushButton>(w, "cmdOhda")->isEnabled());  // an individual race
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdIdo")->toolTip()), "選手と申込記録のコース移動");
  EXPECT_TRUE(w->findChild<QAction*>("mMkyogi")->isEnabled());
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdShudo")->text()), "手動");
  // The text dump menus and their folder box.
  for (const char* name : {"mWKyogi", "mWProjun", "mWHpro", "mWRel", "mInKyogi", "mInShikaku"}) {
    auto* a = w->findChild<QAction*>(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_TRUE(a->isEnabled()) << name;
  }
  EXPECT_TRUE(Find<QLineEdit>(w, "txtDrT")->isEnabled());
  auto* owari = w->findChild<QAction*>("mOwari");
  ASSERT_NE(owari, nullptr);
  EXPECT_EQ(Text(owari->text()), "終わり");
  EXPECT_TRUE(owari->isEnabled());
  EXPECT_EQ(Text(Find<QLabel>(w, "lblRecord")->text()), "1 / 2");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblSZikan")->text()), "0:05:00");
  EXPECT_EQ(Find<QLabel>(w, "lblSZikan")->palette().color(QPalette::Window), QColor(0, 255, 255));
}

TEST_F(FrmKyogiTest, NextRoundMenuSeedsOrSaysWhyNot) {
  meet.settings.laneCount = meet.settings.laneCountUsed = 8;
  FrmKyogi* w = Open();
  auto* next = w->findChild<QAction*>("mJiRound");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(Text(next->text()), "次ラウンド組分け");
  next->trigger();  // race 1 is not confirmed yet
  ASSERT_FALSE(meet.fake.dialogs.notices.empty());
  EXPECT_NE(meet.fake.dialogs.notices.back().find("確定していない"), std::string::npos);
  meet.States("71");
  meet.fake.dialogs.answers = {false};  // no printing
  next->trigger();
  EXPECT_EQ(Text(Find<QLabel>(w, "lblRecord")->text()), "2 / 2") << "the seeded race is shown";
  EXPECT_EQ(Text(Edit("txtNo", 3)->text()), "1");
}

TEST_F(FrmKyogiTest, KeijiPostsTheTimedRacesWithPrintingOff) {
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {}));
  std::filesystem::create_directories(meet.dir / "goal");
  test::WriteFile(meet.dir / "goal" / "G0001", "1,2900\r\n2,2800\r\n3,3300\r\n");
  meet.States("61");
  FrmKyogi* w = Open();
  QTest::keyClick(Find<QLineEdit>(w, "txtToi"), Qt::Key_Left);
  EXPECT_EQ(Focused(), Find<QPushButton>(w, "cmdKeiji"));
  Find<QCheckBox>(w, "chkInsatu")->setChecked(true);
  QTest::mouseClick(Find<QPushButton>(w, "cmdKeiji"), Qt::LeftButton);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "71");
  EXPECT_TRUE(meet.fake.printer.items.empty());
  EXPECT_EQ(Text(Edit("txtKiro", 1)->text()).find("28.00") != std::string::npos, true);
  EXPECT_EQ(Text(Edit("txtJun", 1)->text()), "1");
}

// Without a printer the race is posted and stays "7", and the operator is
// told in one message box every document that could not be printed; with
// nothing waiting the screen stays on its race and says so.
TEST_F(FrmKyogiTest, KeijiTellsWhatCouldNotBePrintedAndStaysWithNothingToPost) {
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {}));
  std::filesystem::create_directories(meet.dir / "goal");
  test::WriteFile(meet.dir / "goal" / "G0001", "1,2900\r\n2,2800\r\n3,3300\r\n");
  meet.settings.printCopies[0] = 1;  // results of the heats
  meet.States("61");
  test::RefusingPrinter refusing;
  Platform platform{refusing, meet.fake.dialogs, meet.fake.clock, meet.fake.launcher};
  HubState state;
  state.folders.meetFolder = meet.dir.str();
  state.settings = meet.settings;
  FrmKyogi w(state, platform);
  w.show();
  QTest::mouseClick(Find<QPushButton>(&w, "cmdKeiji"), Qt::LeftButton);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "71");
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
  const std::string& told = meet.fake.dialogs.notices[0];
  EXPECT_NE(told.find("印刷できませんでした（プリンター system）: 競技結果 レース 1（プリンターがありません）"), std::string::npos)
      << told;
  EXPECT_NE(told.find("レース 1 は状態 7 のままです"), std::string::npos) << told;

  QTest::keyClick(Find<QLineEdit>(&w, "txtToi"), Qt::Key_Down);
  ASSERT_EQ(Text(Find<QLabel>(&w, "lblRecord")->text()), "2 / 2");
  meet.fake.dialogs.notices.clear();
  QTest::mouseClick(Find<QPushButton>(&w, "cmdKeiji"), Qt::LeftButton);
  EXPECT_EQ(Text(Find<QLabel>(&w, "lblRecord")->text()), "2 / 2") << "the screen stays on its race";
  EXPECT_EQ(meet.fake.dialogs.notices, std::vector<std::string>{"確定するレースはありません。"});
}

TEST_F(FrmKyogiTest, AutomaticPostingWaitsForTypedText) {
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {}));
  std::filesystem::create_directories(meet.dir / "goal");
  test::WriteFile(meet.dir / "goal" / "G0001", "1,2900\r\n2,2800\r\n3,3300\r\n");
  FrmKyogi* w = Open();
  Find<QCheckBox>(w, "chkInsatu")->setChecked(true);
  Find<QCheckBox>(w, "chkJidou")->setChecked(true);
  const QString shown = Edit("txtMu", 2)->text();
  Edit("txtMu", 2)->setText(shown + "1");  // typed, not entered
  meet.States("61");
  QTest::qWait(1300);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "61");
  Edit("txtMu", 2)->setText(shown);
  QTest::qWait(1300);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "71");
}

// Another writer holding the meet folder: the automatic posting waits for its
// next tick, and a command of the screens is told who holds it and does nothing.
TEST_F(FrmKyogiTest, AnotherWriterHoldsTheMeetFolder) {
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {}));
  test::WriteFile(meet.dir / "kijun.dat", "");
  std::filesystem::create_directories(meet.dir / "goal");
  test::WriteFile(meet.dir / "goal" / "G0001", "1,2900\r\n2,2800\r\n3,3300\r\n");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    SetLockProgram("meetctl");
    auto lock = MeetLock::Acquire(meet.dir.path(), "post", std::chrono::milliseconds(0));
    if (write(ready[1], lock ? "y" : "n", 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  FrmKyogi* w = Open();
  Find<QCheckBox>(w, "chkInsatu")->setChecked(true);
  Find<QCheckBox>(w, "chkJidou")->setChecked(true);
  meet.States("61");
  QTest::qWait(1300);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "61");
  qputenv("MEETDESK_LOCK_WAIT_MS", "100");
  bool ran = false;
  EXPECT_FALSE(ui::RunAsCommand(meet.dir.str(), "test", meet.fake.dialogs, [&] { ran = true; }));
  EXPECT_FALSE(ran);
  ASSERT_FALSE(meet.fake.dialogs.notices.empty());
  EXPECT_NE(meet.fake.dialogs.notices.back().find("meetctl、プロセス " + std::to_string(holder) + "、post"), std::string::npos);
  qunsetenv("MEETDESK_LOCK_WAIT_MS");
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  QTest::qWait(1300);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "71");
}

TEST_F(FrmKyogiTest, TypingATimeReplacesThePlacings) {
  Open();
  QLineEdit* kiro = Edit("txtKiro", 2);
  kiro->setFocus();
  kiro->clear();
  QTest::keyClicks(kiro, "2950");
  QTest::keyClick(kiro, Qt::Key_Return);
  EXPECT_EQ(Text(kiro->text()), "   29.50");
  EXPECT_EQ(Text(Edit("txtJun", 2)->text()), "1");
  EXPECT_EQ(Text(Edit("txtJun", 0)->text()), "2");
  EXPECT_EQ(Text(Edit("txtJun", 1)->text()), "3");
  EXPECT_EQ(Focused(), kiro);
  EXPECT_EQ(meet.RaceField(1, 46 + 8, 4), test::Le32(2950));
  EXPECT_EQ(meet.StateBytes()[0], '7');
}

TEST_F(FrmKyogiTest, EnterUsesOnlyTheTextBeforeTheCaret) {
  Open();
  QLineEdit* kiro = Edit("txtKiro", 0);
  kiro->setFocus();
  kiro->setText("2812999");
  kiro->setCursorPosition(4);
  QTest::keyClick(kiro, Qt::Key_Return);
  EXPECT_EQ(meet.RaceField(1, 46, 4), test::Le32(2812));
  const std::string before = meet.RaceBytes();
  kiro->setText("3333");
  kiro->setCursorPosition(0);
  QTest::keyClick(kiro, Qt::Key_Return);
  EXPECT_EQ(Focused(), Find<QLineEdit>(window.get(), "txtToi"));
  EXPECT_EQ(meet.RaceBytes(), before);
}

TEST_F(FrmKyogiTest, ArrowKeysMoveBetweenFields) {
  Open();
  QLineEdit* kiro = Edit("txtKiro", 2);
  kiro->setFocus();
  QTest::keyClick(kiro, Qt::Key_Right);
  EXPECT_EQ(Focused(), Edit("txtMu", 2));
  QTest::keyClick(Focused(), Qt::Key_Up);
  EXPECT_EQ(Focused(), Edit("txtMu", 1));
  QTest::keyClick(Focused(), Qt::Key_Left);
  QTest::keyClick(Focused(), Qt::Key_Left);
  EXPECT_EQ(Focused(), Edit("txtJun", 1));
  QTest::keyClick(Focused(), Qt::Key_Left);  // the first field: stays
  EXPECT_EQ(Focused(), Edit("txtJun", 1));
  QTest::keyClick(Focused(), Qt::Key_Down);
  EXPECT_EQ(Focused(), Edit("txtJun", 2));
  QTest::keyClick(Focused(), Qt::Key_Home);
  EXPECT_EQ(Focused(), Find<QLineEdit>(window.get(), "txtToi"));
  QTest::keyClick(Focused(), Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), Edit("txtNo", 0));
  QTest::keyClick(Focused(), Qt::Key_Left);
  EXPECT_EQ(Focused(), Edit("txtQkiro", 0));
}

TEST_F(FrmKyogiTest, CommandFieldStepsAndJumps) {
  FrmKyogi* w = Open();
  auto* toi = Find<QLineEdit>(w, "txtToi");
  toi->setFocus();
  QTest::keyClick(toi, Qt::Key_Down);
  EXPECT_EQ(w->screen().currentRace(), 2);
  EXPECT_EQ(Text(Find<QLabel>(w, "lblSZikan")->text()), "");
  // An unset start keeps the colour of the race before.
  EXPECT_EQ(Find<QLabel>(w, "lblSZikan")->palette().color(QPalette::Window), QColor(0, 255, 255));
  QTest::keyClick(toi, Qt::Key_Down);
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
  EXPECT_EQ(meet.fake.dialogs.notices[0], "2より大きいデータはありません。");
  QTest::keyClicks(toi, "1.1");
  QTest::keyClick(toi, Qt::Key_Return);
  EXPECT_EQ(w->screen().currentRace(), 1);
  EXPECT_EQ(Text(toi->text()), "");
  QTest::keyClicks(toi, "xyz");
  QTest::keyClick(toi, Qt::Key_Return);
  EXPECT_EQ(Text(toi->text()), "");
}

TEST_F(FrmKyogiTest, ManualEntryOpenerRunsThenTheRaceIsRedrawn) {
  int opened = 0;
  SetManualEntryOpener([&](QWidget*, const HubState&, int race, Platform&) {
    ++opened;
    EXPECT_EQ(race, 1);
    HandRace changed;
    changed.eventNo = 1;
    changed.laneNo = {1};
    changed.laneTime = {2700};
    changed.rank = {1};
    meet.Races({changed, HandRace{}});
  });
  FrmKyogi* w = Open();
  auto* shudo = Find<QPushButton>(w, "cmdShudo");
  EXPECT_TRUE(shudo->isEnabled());
  QTest::mouseClick(shudo, Qt::LeftButton);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(Text(Edit("txtKiro", 0)->text()), "   27.00");
  EXPECT_EQ(Text(Edit("txtNo", 1)->text()), "");
  EXPECT_EQ(Focused(), Find<QLineEdit>(w, "txtToi"));
  SetManualEntryOpener(nullptr);
  window.reset();
  EXPECT_FALSE(Open()->findChild<QPushButton*>("cmdShudo")->isEnabled());
}

TEST_F(FrmKyogiTest, RegisteredUnderTheHubButton) {
  RegisterFrmKyogi();
  const ScreenFactory* factory = FindScreen("cmdZikko");
  ASSERT_NE(factory, nullptr);
  HubState state;
  state.folders.meetFolder = meet.dir.str();
  state.settings = meet.settings;
  std::unique_ptr<QWidget> screen((*factory)(state, meet.fake.platform));
  EXPECT_EQ(screen->objectName(), "frmKyogi");
  UnregisterScreen("cmdZikko");
}

TEST_F(FrmKyogiTest, LaneMoveRefusesARaceWithResultsAndShiftsAnUnswumOne) {
  FrmKyogi* w = Open();
  auto* ido = Find<QLineEdit>(w, "txtIdo");
  ido->setText("1");
  meet.fake.dialogs.answers = {true};
  Find<QPushButton>(w, "cmdIdo")->click();  // race 1 holds results
  ASSERT_EQ(meet.fake.dialogs.asked.size(), 1u);
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "記録が入っているため、コース移動できません。");
  EXPECT_EQ(Text(Edit("txtNo", 0)->text()), "1");
  EXPECT_TRUE(ido->text().isEmpty());
  EXPECT_EQ(Focused(), Find<QLineEdit>(w, "txtToi"));

  HandRace unswum;
  unswum.laneNo = {1, 2, 3};
  meet.Races({unswum});
  ido->setText("1");
  Find<QPushButton>(w, "cmdIdo")->click();
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "1ｺｰｽ移動します。");
  EXPECT_EQ(Text(Edit("txtNo", 0)->text()), "");
  EXPECT_EQ(Text(Edit("txtNo", 1)->text()), "1");
  EXPECT_TRUE(ido->text().isEmpty());
  EXPECT_EQ(Focused(), Find<QLineEdit>(w, "txtToi"));
}

TEST_F(FrmKyogiTest, AfterAnInsertionTheRaceScreenTellsWhatMoved) {
  test::RawEntry first, second;
  first.heatCount = second.heatCount = 1;
  first.firstRace = 1;
  second.orderNo = second.firstRace = 2;
  test::WriteFile(meet.dir / "projun.dat",
                  test::HeaderAndUnused(2) + test::EntryRecord(first) + test::EntryRecord(second));
  FrmKyogi* w = Open();
  // The title dialog is modal: answer it once it shows.
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    Find<QRadioButton>(dialog, "optSohnyu_2")->click();
    Find<QPushButton>(dialog, "cmdZikko")->click();
  });
  meet.fake.dialogs.answers = {true};  // OK to the insertion's question
  w->findChild<QAction*>("mMkyogi")->trigger();
  ASSERT_FALSE(meet.fake.dialogs.asked.empty());
  EXPECT_TRUE(meet.fake.dialogs.asked.front().starts_with("レース 1 の位置に組のレースを挿入し"));
  ASSERT_FALSE(meet.fake.dialogs.notices.empty());
  const std::string& told = meet.fake.dialogs.notices.back();
  EXPECT_EQ(told.substr(0, told.find('\n')), "レース 1 に 1 番の組を挿入しました（全 3 レース）。");
  EXPECT_NE(told.find("レース 1 はまだどのページにも載っていません"), std::string::npos);
  EXPECT_EQ(Text(Find<QLabel>(w, "lblTKumi")->text()), "(2)");  // the new heat 1 of 2 is shown
  EXPECT_EQ(Text(Edit("txtNo", 0)->text()), "");
}

}  // namespace
}  // namespace meet::ui
