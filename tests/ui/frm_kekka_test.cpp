#include "ui/frm_kekka.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "data/entry_file.h"
#include "support/qt_environment.h"
#include "support/test_support.h"
#include "support/widget_lookup.h"
#include "ui/kyogi_text_dumps.h"
#include "ui/screen_registry.h"

namespace meet::ui {
namespace {

class FrmKekkaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.folders.meetFolder = dir.str();
    state.folders.entryFolder = dir.str();
    state.folders.entryFileName = "meet.Mos";
    state.settings.laneCount = 6;
    EntryHeader h;
    h.entryCount = 1;
    h.entryDateFrom = "2009/07/30";
    Entry e;
    e.entryNo = 1;
    test::WriteFile(dir / "meet.Mos",
                    RecordFromEntryHeader(h).bytes() + std::string(384 * 9, '\0') + RecordFromEntry(e).bytes());
  }
  test::TempDir dir;
  test::FakePlatform fake;
  HubState state;
};

TEST_F(FrmKekkaTest, ControlsFollowTheirRulesAndRunWritesTheFiles) {
  auto* w = new FrmKekka(state, fake.platform);
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->show();
  EXPECT_EQ(w->objectName(), "frmKekka");
  EXPECT_EQ(Text(w->windowTitle()), "結果ファイル作成");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtFile")->text()), "meet.kek");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblPath")->text()), dir.str());
  EXPECT_EQ(Text(Find<QCheckBox>(w, "chkKubun_0")->toolTip()), kKubunDropTip);
  EXPECT_EQ(Text(Find<QPushButton>(w, "Command1")->text()), "実行");
  auto* finals = Find<QRadioButton>(w, "optYoketu_1");
  EXPECT_FALSE(finals->isEnabled());
  QTest::mouseClick(Find<QCheckBox>(w, "chkKubun_1"), Qt::LeftButton);
  EXPECT_TRUE(finals->isEnabled());
  QTest::mouseClick(finals, Qt::LeftButton);
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtNin")->text()), "6");
  EXPECT_TRUE(Find<QLineEdit>(w, "txtNin")->isEnabled());
  EXPECT_FALSE(Find<QCheckBox>(w, "chkTochu_0")->isEnabled());
  QTest::mouseClick(Find<QCheckBox>(w, "chkKubun_2"), Qt::LeftButton);
  EXPECT_TRUE(Find<QRadioButton>(w, "optKiroku_2")->isEnabled());
  EXPECT_FALSE(Find<QRadioButton>(w, "optKiroku_2")->isChecked());
  // Results need projun.dat: the run says so and the screen stays.
  QPointer<FrmKekka> alive(w);
  QTest::mouseClick(Find<QPushButton>(w, "Command1"), Qt::LeftButton);
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_TRUE(alive);
  EXPECT_FALSE(std::filesystem::exists(dir / "meet.kek"));
  QTest::mouseClick(Find<QCheckBox>(w, "chkKubun_1"), Qt::LeftButton);
  QTest::mouseClick(Find<QCheckBox>(w, "chkKubun_2"), Qt::LeftButton);
  QTest::mouseClick(Find<QPushButton>(w, "Command1"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(std::filesystem::exists(dir / "meet.kek"));
  EXPECT_TRUE(std::filesystem::exists(dir / "ind2.dat"));
  EXPECT_FALSE(alive);  // closed after the run
  // The settings hold no dates: the notice says the days are the entry file's.
  ASSERT_EQ(fake.dialogs.notices.size(), 2u);
  EXPECT_NE(fake.dialogs.notices[1].find("大会日: 2009/07/30 から 10 日（申込ファイルの大会開始日）"), std::string::npos)
      << fake.dialogs.notices[1];
}

TEST_F(FrmKekkaTest, TheHubButtonsAreRegistered) {
  RegisterFrmKekka();
  RegisterFederationReport();
  ASSERT_NE(FindScreen("cmdKekka"), nullptr);
  ASSERT_NE(FindScreen("cmdAto2"), nullptr);
  // 日水報告 is a command: no window, a notice (here: the missing race file).
  EXPECT_EQ((*FindScreen("cmdAto2"))(state, fake.platform), nullptr);
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_NE(fake.dialogs.notices[0].find("がありません"), std::string::npos);
}

TEST_F(FrmKekkaTest, TheRaceScreensDumpMenusUseTheFolderBox) {
  QWidget kyogi;
  auto* drT = new QLineEdit(&kyogi);
  drT->setObjectName("txtDrT");
  drT->setEnabled(false);
  auto* menu = new QMenu(&kyogi);
  for (const char* name : {"mWKyogi", "mWProjun", "mWHpro", "mWRel", "mInKyogi", "mInShikaku"}) {
    QAction* a = menu->addAction(name);
    a->setObjectName(name);
    a->setEnabled(false);
  }
  std::string header(256, '\0');
  test::WriteFile(dir / "taikai.dat", header + std::string(256 * 10, '\0'));
  std::filesystem::create_directories(dir / "old");
  int redrawn = 0;
  AttachTextDumps(&kyogi, dir.path(), fake.platform, [&] { ++redrawn; });
  EXPECT_TRUE(drT->isEnabled());
  drT->setText(QString::fromStdString((dir / "old").string()));
  auto* write = kyogi.findChild<QAction*>("mWKyogi");
  ASSERT_TRUE(write->isEnabled());
  write->trigger();
  EXPECT_TRUE(std::filesystem::exists(dir / "old" / "qkyogi.txt"));
  // An empty qkyogi.txt is refused: nothing to read, no redraw.
  kyogi.findChild<QAction*>("mInKyogi")->trigger();
  EXPECT_EQ(redrawn, 0);
  ASSERT_EQ(fake.dialogs.notices.size(), 2u);
  EXPECT_NE(fake.dialogs.notices[1].find("データがありません"), std::string::npos);
}

}  // namespace
}  // namespace meet::ui
