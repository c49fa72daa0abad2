#include "ui/frm_projun.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/qt_environment.h"
#include "support/widget_lookup.h"

#include "program/program_test_util.h"
#include "program/projun_file.h"
#include "ui/frm_kijun.h"
#include "ui/frm_proj_shoki.h"
#include "ui/screen_registry.h"

namespace meet::ui {
namespace {

using test::RawEntry;


class FrmProjunTest : public ::testing::Test {
 protected:
  test::ProgramMeet meet;
  std::unique_ptr<FrmProjun> window;

  FrmProjun* Open(const std::vector<RawEntry>& entries) {
    meet.WriteProgram(entries);
    window = std::make_unique<FrmProjun>(meet.dir.path(), meet.settings, meet.fake.platform);
    window->show();
    return window.get();
  }
  ProgramOrder Order() const { return ProgramOrder::FromBytes("x", meet.ProgramBytes()); }
};

RawEntry Entry(int orderNo, int eventCode = 3) {
  return RawEntry{.orderNo = orderNo, .heatCount = 1, .eventCode = eventCode, .firstRace = orderNo};
}

TEST_F(FrmProjunTest, CarriesEveryControlWithItsCaption) {
  FrmProjun* w = Open({Entry(1)});
  EXPECT_EQ(w->objectName(), "frmProjun");
  EXPECT_EQ(Text(w->windowTitle()), "競技順");
  for (const char* edit : {"txtJun", "txtKumi", "txtAge1", "txtAge2", "txtZikatan", "txtZikan", "txtYotei", "txtRace",
                           "txtMa", "txtHn", "txtSakujo", "txtSohnyu", "txtC1", "txtC2", "txtC3"})
    Find<QLineEdit>(w, edit);
  for (const char* combo : {"cboSei", "cboShumoku", "cboMatch"}) Find<QComboBox>(w, combo);
  struct ButtonSpec {
    const char* name;
    const char* caption;
    const char* tip;
  };
  for (ButtonSpec b : {ButtonSpec{"cmdShinki", "新規", "表示データを最終に登録します"},
                       ButtonSpec{"cmdSyusei", "修正", "選択データへの上書き"},
                       ButtonSpec{"cmdSakujo", "削除", "選択データの削除"},
                       ButtonSpec{"cmdSonyu", "挿入", "右数字分の空白行挿入"},
                       ButtonSpec{"cmdCopy", "複写", ""},
                       ButtonSpec{"cmdShoki", "初期", "競技番号・区分・予定時間・種目所要時間の初期化"},
                       ButtonSpec{"cmdInsatu", "印刷", "表示データ印刷"},
                       ButtonSpec{"cmdCansel", "取消", ""},
                       ButtonSpec{"Command1", "終", ""},
                       ButtonSpec{"cmdJidou", "自動作成", nullptr}}) {
    auto* button = Find<QPushButton>(w, b.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Text(button->text()), b.caption);
    if (b.tip) {
      EXPECT_EQ(Text(button->toolTip()), b.tip) << b.name;
    }
  }
  EXPECT_EQ(Text(Find<QCheckBox>(w, "chkJun")->text()), "全種目表示");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblShori")->text()), kProjunHeading);
  EXPECT_TRUE(Find<QListWidget>(w, "lstNaiyo")->font().fixedPitch());
  EXPECT_EQ(Text(Find<QGroupBox>(w, "fraSei")->title()), "性別");
  EXPECT_EQ(Text(Find<QGroupBox>(w, "fraYoketu")->title()), "予決");
  EXPECT_EQ(Text(Find<QGroupBox>(w, "fraShu")->title()), "種目");
  EXPECT_EQ(Text(Find<QGroupBox>(w, "fraKyori")->title()), "距離");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optSei_0")->text()), "なし");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optYoketu_4")->text()), "コンソ");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optShu_4")->text()), "フライ");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optKyori_7")->text()), "1500m");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optJidou_0")->text()), "予選+決勝");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optJidou_1")->text()), "決勝のみ");
  EXPECT_EQ(Find<QComboBox>(w, "cboShumoku")->count(), 44);
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtSohnyu")->text()), "1");
}

TEST_F(FrmProjunTest, ListsAndSelectsLines) {
  FrmProjun* w = Open({Entry(1), Entry(0, 5), RawEntry{.orderNo = 2, .sex = "2", .eventCode = 10, .stage = "2"}});
  auto* list = Find<QListWidget>(w, "lstNaiyo");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(Text(list->item(0)->text()), w->screen().lines()[0]);
  EXPECT_EQ(Text(Find<QLabel>(w, "lblL1")->text()), "3");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblLrec")->text()), "2");
  list->setCurrentRow(1);
  EXPECT_EQ(Text(Find<QLabel>(w, "lblR1")->text()), "3");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtJun")->text()), "2");
  EXPECT_EQ(Text(Find<QComboBox>(w, "cboSei")->currentText()), "女子");
  EXPECT_EQ(Text(Find<QComboBox>(w, "cboShumoku")->currentText()), "100m背泳ぎ");
  EXPECT_EQ(Text(Find<QComboBox>(w, "cboMatch")->currentText()), "決勝");
  Find<QCheckBox>(w, "chkJun")->click();
  EXPECT_EQ(list->count(), 3);
}

TEST_F(FrmProjunTest, SakujoKeepsOneCharacterAndEnterMovesOn) {
  FrmProjun* w = Open({Entry(1), Entry(2), Entry(3)});
  auto* list = Find<QListWidget>(w, "lstNaiyo");
  list->setCurrentRow(0);
  auto* sakujo = Find<QLineEdit>(w, "txtSakujo");
  sakujo->clear();
  QTest::keyClicks(sakujo, "27");
  EXPECT_EQ(Text(sakujo->text()), "2");
  QTest::keyClick(sakujo, Qt::Key_Return);
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "表示データを修正します。");
  EXPECT_EQ(Order().Read(1).excludedHeats, 2);
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_EQ(Text(Find<QLabel>(w, "lblR1")->text()), "2");
}

TEST_F(FrmProjunTest, ShinkiWritesTheControls) {
  FrmProjun* w = Open({Entry(1)});
  Find<QLineEdit>(w, "txtJun")->setText("2");
  Find<QComboBox>(w, "cboSei")->setCurrentIndex(1);
  Find<QComboBox>(w, "cboShumoku")->setCurrentIndex(35);
  Find<QLineEdit>(w, "txtAge1")->setText("10");
  Find<QPushButton>(w, "cmdShinki")->click();
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "表示データを新規登録します。");
  ProgramEntry e = Order().Read(2);
  EXPECT_EQ(e.sexCode, "2");
  EXPECT_EQ(e.eventCode, 36);
  EXPECT_EQ(e.ageFrom, 0);
  EXPECT_EQ(Find<QListWidget>(w, "lstNaiyo")->count(), 2);
}

TEST_F(FrmProjunTest, RefusalsAreShownAsNotices) {
  FrmProjun* w = Open({Entry(1), Entry(2)});
  Find<QLineEdit>(w, "txtC1")->setText("3");
  Find<QLineEdit>(w, "txtC2")->setText("2");
  Find<QLineEdit>(w, "txtC3")->setText("1");
  const std::string before = meet.ProgramBytes();
  Find<QPushButton>(w, "cmdCopy")->click();
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
  EXPECT_NE(meet.fake.dialogs.notices[0].find("逆"), std::string::npos);
  Find<QPushButton>(w, "cmdSakujo")->click();  // no line selected
  EXPECT_EQ(meet.fake.dialogs.notices.size(), 2u);
  EXPECT_EQ(meet.ProgramBytes(), before);
}

TEST_F(FrmProjunTest, CopyUsesTheOptionGroups) {
  FrmProjun* w = Open({Entry(1, 3), Entry(2)});
  Find<QLineEdit>(w, "txtC1")->setText("3");
  Find<QLineEdit>(w, "txtC2")->setText("1");
  Find<QLineEdit>(w, "txtC3")->setText("1");
  Find<QRadioButton>(w, "optSei_3")->click();
  Find<QRadioButton>(w, "optShu_3")->click();
  Find<QPushButton>(w, "cmdCopy")->click();
  EXPECT_EQ(meet.fake.dialogs.asked.back(), "3へ1から1までを選択条件で複写します｡ ");
  ProgramEntry e = Order().Read(3);
  EXPECT_EQ(e.sexCode, "3");
  EXPECT_EQ(e.eventCode, 14);  // 100m平泳ぎ
}

TEST_F(FrmProjunTest, ShokiOpensModallyAndRelistsWhenDone) {
  FrmProjun* w = Open({RawEntry{.orderNo = 1, .heatCount = 3, .eventCode = 3, .stage = "1"},
                       RawEntry{.orderNo = 2, .heatCount = 1, .eventCode = 3, .stage = "1"}});
  Find<QPushButton>(w, "cmdShoki")->click();
  EXPECT_EQ(meet.fake.dialogs.notices, (std::vector<std::string>{"開始場所を指定してください。"}));
  EXPECT_EQ(w->shokiDialog(), nullptr);

  Find<QListWidget>(w, "lstNaiyo")->setCurrentRow(1);
  Find<QPushButton>(w, "cmdShoki")->click();
  FrmProjShoki* dialog = w->shokiDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->objectName(), "frmProjShoki");
  EXPECT_EQ(Text(dialog->windowTitle()), "競技順初期");
  EXPECT_TRUE(dialog->isModal());
  EXPECT_EQ(dialog->screen().startPosition(), 2);
  EXPECT_EQ(Text(Find<QLineEdit>(dialog, "txtNiti")->text()), "1");
  EXPECT_EQ(Text(Find<QLineEdit>(dialog, "txtKubun_1")->text()), "100");
  EXPECT_EQ(Text(Find<QCheckBox>(dialog, "chkKohmoku_0")->text()), "復活(初期化)");
  EXPECT_EQ(Text(Find<QPushButton>(dialog, "cmdZikko")->text()), "実行");

  auto* box = Find<QLineEdit>(dialog, "txtTanka_2");
  box->setFocus();
  QTest::keyClicks(box, "130");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(Text(box->text()), " 1.30");
  EXPECT_EQ(dialog->focusWidget(), Find<QLineEdit>(dialog, "txtTanka_3"));
  QTest::keyClick(dialog->focusWidget(), Qt::Key_Up);
  EXPECT_EQ(dialog->focusWidget(), box);
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(dialog->focusWidget(), Find<QLineEdit>(dialog, "txtTanka_3"));

  Find<QCheckBox>(dialog, "chkKohmoku_3")->click();
  Find<QCheckBox>(dialog, "chkKohmoku_2")->click();
  Find<QLineEdit>(dialog, "txtYotei")->setText("93000");
  Find<QPushButton>(dialog, "cmdZikko")->click();
  EXPECT_EQ(w->shokiDialog(), nullptr);
  ProgramOrder order = Order();
  EXPECT_EQ(order.Read(1).perHeatTime, 130);
  EXPECT_EQ(order.Read(1).startTime, 0);  // before the start position
  EXPECT_EQ(order.Read(2).startTime, 93000);
  EXPECT_EQ(order.Read(2).totalTime, 130);
  EXPECT_NE(Text(Find<QListWidget>(w, "lstNaiyo")->item(1)->text()).find("9:30.00"), std::string::npos);
  // On paper the start is a time of day and the per-heat time a duration.
  Find<QPushButton>(w, "cmdInsatu")->click();
  std::vector<std::string> printed = meet.fake.printer.Texts();
  EXPECT_NE(std::find(printed.begin(), printed.end(), "9:30:00"), printed.end());
  EXPECT_NE(std::find(printed.begin(), printed.end(), "1:30"), printed.end());
  EXPECT_EQ(std::find(printed.begin(), printed.end(), "9:30.00"), printed.end());
}

TEST_F(FrmProjunTest, JidouFollowsTheChoice) {
  test::WriteEntryFile(meet.dir / "ind.Mos", {[] {
                         meet::Entry e;
                         e.sexCode = "1";
                         e.entryTimes[2] = 6000;
                         return e;
                       }()});
  FrmProjun* w = Open({});
  Find<QRadioButton>(w, "optJidou_1")->click();
  Find<QPushButton>(w, "cmdJidou")->click();
  EXPECT_EQ(meet.fake.dialogs.asked.back(), kAskJidouFinals);
  EXPECT_EQ(Order().count(), 1);
  EXPECT_EQ(Order().Read(1).stageCode, "2");
  EXPECT_EQ(Find<QListWidget>(w, "lstNaiyo")->count(), 1);
}

TEST_F(FrmProjunTest, PrintGoesToThePrinter) {
  FrmProjun* w = Open({Entry(1), Entry(2)});
  Find<QPushButton>(w, "cmdInsatu")->click();
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "市民2.html"));
  EXPECT_TRUE(meet.fake.dialogs.notices.empty());
}

QWidget* VisibleTopLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name && w->isVisible()) return w;
  return nullptr;
}

void ProcessDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST_F(FrmProjunTest, TheHubOpensItAndGetsAFreshHubBack) {
  meet.WriteProgram({Entry(1)});
  const std::string folder = meet.dir.path().string();
  test::WriteFile(meet.dir / "dr_kyo.ctl", "/t\r\n" + folder + ",/t\r\n" + folder + ",ind.Mos\r\n");
  RegisterFrmProjun();
  QPointer<FrmKijun> hub = FrmKijun::OpenHub(meet.dir / "dr_kyo.ctl", meet.fake.platform);
  auto* button = Find<QPushButton>(hub, "cmdProjun");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isEnabled());
  button->click();
  ProcessDeletes();
  EXPECT_TRUE(hub.isNull());
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "kijun.dat"));  // the hub saved first
  QWidget* projun = VisibleTopLevel("frmProjun");
  ASSERT_NE(projun, nullptr);
  EXPECT_EQ(Find<QListWidget>(projun, "lstNaiyo")->count(), 1);
  Find<QPushButton>(projun, "Command1")->click();
  ProcessDeletes();
  EXPECT_EQ(VisibleTopLevel("frmProjun"), nullptr);
  QPointer<QWidget> fresh = VisibleTopLevel("frmKijun");
  ASSERT_NE(fresh, nullptr);
  fresh->close();
  ProcessDeletes();
  UnregisterScreen("cmdProjun");
}

}  // namespace
}  // namespace meet::ui
