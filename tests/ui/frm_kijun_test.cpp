#include "ui/frm_kijun.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
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
#include <QTreeView>
#include <cstdlib>

#include "core/cp932.h"
#include "settings/settings.h"
#include "support/qt_environment.h"
#include "support/test_support.h"
#include "ui/screen_registry.h"

namespace meet::ui {
namespace {

namespace fs = std::filesystem;


void ProcessDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// kijun.dat's values in file order.
std::vector<std::string> SettingsFileValues(const fs::path& meetFolder) {
  std::string text = DecodeCp932(test::ReadFile(meetFolder / "kijun.dat"));
  std::vector<std::string> values;
  if (text.size() < 2) return values;
  text.resize(text.size() - 2);
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    values.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

// An entry file header built from its layout, with blank records 2–10.
std::string EntryFileBytes(const std::string& abbrev, const std::string& venue) {
  using test::Le16;
  using test::Le32;
  using test::Sjis;
  std::string header = Le32(0) + Le16(1) + Sjis("2008/06/10", 10) + Sjis(abbrev, 8) + Sjis(venue, 12) +
                       Sjis("2008/11/03", 10) + Sjis("2008/11/04", 10) + Sjis("2612345", 7) + Le16(0) + Le16(0);
  header.resize(384, ' ');
  return header + std::string(9 * 384, ' ');
}

class FrmKijunTest : public ::testing::Test {
 protected:
  FrmKijunTest() {
    fs::create_directories(meet);
    fs::create_directories(entries);
    Settings s;
    s.entryFolder = entries.string() + "/";
    s.entryFileName = "a.Mos";
    s.meetAbbrev = "春季";
    s.venue = "市民プール";
    s.laneCount = 8;
    EXPECT_TRUE(SaveSettings(meet, s));
    test::WriteFile(ctl, meet.string().substr(0, 2) + "\r\n" + meet.string() + ",/t\r\n" + entries.string() +
                             ",a.Mos\r\n");
  }
  ~FrmKijunTest() override {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    ProcessDeletes();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName().startsWith("frm")) delete w;
  }

  FrmKijun* OpenHub() { return FrmKijun::OpenHub(ctl, fake.platform); }

  template <class W>
  static W* Find(QWidget* hub, const char* name) {
    W* w = hub->findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  static FrmKijun* VisibleHub() {
    FrmKijun* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "frmKijun" && w->isVisible()) found = dynamic_cast<FrmKijun*>(w);
    return found;
  }

  std::string Stored(int valueIndex) {
    auto values = SettingsFileValues(meet);
    return valueIndex < static_cast<int>(values.size()) ? values[valueIndex] : "<missing>";
  }

  test::TempDir dir;
  test::FakePlatform fake;
  fs::path meet = dir / "meet";
  fs::path entries = dir / "entries";
  fs::path ctl = dir / "dr_kyo.ctl";
};

TEST_F(FrmKijunTest, EveryControlIsThereWithItsCaption) {
  FrmKijun* hub = OpenHub();
  EXPECT_EQ(hub->objectName(), "frmKijun");
  EXPECT_EQ(hub->windowTitle(), "基準");
  struct Captioned {
    const char* name;
    const char* caption;
  };
  const Captioned buttons[] = {
      {"cmdZikko", "競技会システム"}, {"cmdProjun", "競技順"},   {"cmdHangumi", "競技組合せ"},
      {"cmdMkPage", "ページ"},       {"cmdKiroku", "記録"},     {"cmdTokuten", "得点処理"},
      {"cmdAto", "ランキング"},      {"cmdKekka", "結果(kek)"}, {"cmdOptKubun", "作成"},
      {"cmdGodo", "作成"},           {"cmdMoshikomi", "申込"},  {"cmdAto2", "日水報告"},
      {"cmdYomi", "←"},              {"cmdHenko", "￣ 変更 ￣↓"},
      {"optSuiro_0", "長水"},        {"optSuiro_1", "短水"},    {"optBotai_0", "クラブ"},
      {"optBotai_3", "国"},          {"optNarabi_3", "混合2"},  {"optNarabi_4", "合同(ﾃﾞｷｼｰﾘﾝｸﾞ)"},
      {"optKubun_2", "学年"},        {"optJketu_2", "コン"},    {"optPool_1", "屋外"},
      {"optSide_1", "片側"},         {"optKeizi_1", "自動"},    {"optLpP_0", "年齢"},
      {"optLpP_1", "学年"},          {"chkOptKubun", "する"},   {"chkLpP", "県名印刷"},
  };
  for (const auto& b : buttons)
    if (auto* w = Find<QAbstractButton>(hub, b.name)) {
      EXPECT_EQ(w->text().toStdString(), b.caption) << b.name;
    }
  EXPECT_EQ(Find<QPushButton>(hub, "cmdYomi")->toolTip(), "競技フォルダー（大会ファイル表示フォルダーの下へ）新規作成");
  EXPECT_EQ(Find<QLabel>(hub, "lblVersion")->text().split('\n').mid(0, 2), QStringList({"Ver 2.84", "2008/06/10"}));
  EXPECT_EQ(Find<QLabel>(hub, "lblVersion")->text().split('\n').size(), 3);
  for (const char* frame : {"大会ファイル", "申込データ", "使用申込データ", "水路", "参加母体", "コース分け", "区分",
                            "方式", "プール区分", "計時サイド", "計時システム", "印刷枚数", "種目区分(ｵﾌﾟｼｮﾝ)"}) {
    bool found = false;
    for (auto* box : hub->findChildren<QGroupBox*>()) found = found || box->title() == QString::fromUtf8(frame);
    EXPECT_TRUE(found) << frame;
  }
  for (const char* edit : {"txtCod", "txtNamae", "txtRyaku", "txtKizitu1", "txtKizitu2", "txtBasho", "txtSeiritu",
                           "txtKousu", "txtmLap", "txtMosiFile"})
    Find<QLineEdit>(hub, edit);
  for (int i = 0; i < 18; ++i) Find<QLineEdit>(hub, ("txtInsatu_" + std::to_string(i)).c_str());
  for (int i = 0; i < 20; ++i) {
    Find<QLineEdit>(hub, ("txtIten_" + std::to_string(i)).c_str());
    Find<QLineEdit>(hub, ("txtRten_" + std::to_string(i)).c_str());
  }
  EXPECT_EQ(Find<QComboBox>(hub, "cboKousu")->count(), 7);
  Find<QComboBox>(hub, "Drive1");
  Find<QComboBox>(hub, "Drive2");
  Find<QTreeView>(hub, "Dir1");
  Find<QTreeView>(hub, "Dir2");
  Find<QListWidget>(hub, "filMosi");
  Find<QLabel>(hub, "lblDr_m");
}

TEST_F(FrmKijunTest, OpensOnTheMeetOfTheFolderConfiguration) {
  FrmKijun* hub = OpenHub();
  EXPECT_EQ(Find<QLineEdit>(hub, "txtRyaku")->text(), "春季");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtBasho")->text(), "市民プール");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtKizitu1")->text(), "0000/00/00");
  EXPECT_EQ(Find<QComboBox>(hub, "cboKousu")->currentText(), "8");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtMosiFile")->text(), "a.Mos");
  EXPECT_EQ(Find<QLabel>(hub, "lblDr_m")->text().toStdString(), entries.string() + "/");
  EXPECT_FALSE(Find<QPushButton>(hub, "cmdGodo")->isEnabled());
  EXPECT_EQ(hub->meetPickerFolder().toStdString(), meet.string());
  EXPECT_EQ(hub->entryPickerFolder().toStdString(), entries.string());
}

TEST_F(FrmKijunTest, ADateTypedAndEnteredIsShownAndStored) {
  FrmKijun* hub = OpenHub();
  auto* date = Find<QLineEdit>(hub, "txtKizitu1");
  date->setFocus();
  QTest::keyClicks(date, "20081103");  // the first key empties the shown 0000/00/00
  EXPECT_EQ(date->text(), "20081103");
  QTest::keyClick(date, Qt::Key_Return);
  EXPECT_EQ(date->text(), "2008/11/03");
  EXPECT_EQ(Stored(5), "20081103");
  EXPECT_EQ(hub->focusWidget(), Find<QLineEdit>(hub, "txtKizitu2"));

  // Fewer than eight characters: Enter does nothing.
  QTest::keyClicks(date, "2008");
  QTest::keyClick(date, Qt::Key_Return);
  EXPECT_EQ(date->text(), "2008");
  EXPECT_EQ(Stored(5), "20081103");
}

TEST_F(FrmKijunTest, OptionButtonsStoreTheirIndexAndSetWhatDependsOnThem) {
  FrmKijun* hub = OpenHub();
  auto* godo = Find<QPushButton>(hub, "cmdGodo");
  Find<QRadioButton>(hub, "optNarabi_4")->click();
  EXPECT_TRUE(godo->isEnabled());
  EXPECT_EQ(Stored(10), "4");
  Find<QRadioButton>(hub, "optNarabi_1")->click();
  EXPECT_FALSE(godo->isEnabled());
  EXPECT_EQ(Stored(10), "1");

  EXPECT_FALSE(Find<QLineEdit>(hub, "txtInsatu_15")->isEnabled());
  Find<QRadioButton>(hub, "optKeizi_1")->click();
  for (const char* lap : {"txtInsatu_15", "txtInsatu_16", "txtInsatu_17"})
    EXPECT_TRUE(Find<QLineEdit>(hub, lap)->isEnabled()) << lap;
  EXPECT_EQ(Stored(72), "1");

  Find<QCheckBox>(hub, "chkLpP")->click();
  EXPECT_TRUE(Find<QRadioButton>(hub, "optLpP_1")->isChecked());
  EXPECT_EQ(Stored(74), "2");
  Find<QRadioButton>(hub, "optLpP_0")->click();
  EXPECT_EQ(Stored(74), "1");
  Find<QCheckBox>(hub, "chkLpP")->click();
  EXPECT_FALSE(Find<QRadioButton>(hub, "optLpP_0")->isEnabled());
  EXPECT_EQ(Stored(74), "0");

  Find<QCheckBox>(hub, "chkOptKubun")->click();
  EXPECT_TRUE(Find<QPushButton>(hub, "cmdOptKubun")->isEnabled());
  EXPECT_EQ(Stored(73), "1");
}

TEST_F(FrmKijunTest, NumberFieldsTakeTheTextBeforeTheCursorAndMoveOn) {
  FrmKijun* hub = OpenHub();
  auto* first = Find<QLineEdit>(hub, "txtIten_0");
  first->setFocus();
  first->setText("123");
  first->setCursorPosition(2);
  QTest::keyClick(first, Qt::Key_Return);
  EXPECT_EQ(first->text(), "12");
  EXPECT_EQ(Stored(30), "12");
  EXPECT_EQ(hub->focusWidget(), Find<QLineEdit>(hub, "txtIten_1"));

  auto* last = Find<QLineEdit>(hub, "txtRten_19");
  last->setFocus();
  last->setText("x5");
  QTest::keyClick(last, Qt::Key_Enter);
  EXPECT_EQ(last->text(), "0");
  EXPECT_EQ(hub->focusWidget(), last);

  auto* lapCopies = Find<QLineEdit>(hub, "txtInsatu_4");  // stage 0, kind 4
  lapCopies->setFocus();
  lapCopies->setText("3");
  QTest::keyClick(lapCopies, Qt::Key_Return);
  EXPECT_EQ(Stored(19), "3");
  EXPECT_EQ(hub->focusWidget(), Find<QLineEdit>(hub, "txtInsatu_5"));
}

TEST_F(FrmKijunTest, TheSecondLaneCountNeverPassesTheLaneCount) {
  FrmKijun* hub = OpenHub();
  auto* used = Find<QLineEdit>(hub, "txtKousu");
  used->clear();
  QTest::keyClicks(used, "9");
  EXPECT_EQ(used->text(), "8");
  EXPECT_EQ(Stored(76), "8");
  used->setText("6");
  EXPECT_EQ(Stored(76), "6");
}

TEST_F(FrmKijunTest, ATextWithACommaIsRefusedWithAMessage) {
  FrmKijun* hub = OpenHub();
  auto* name = Find<QLineEdit>(hub, "txtNamae");
  name->setText("春,秋");
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_NE(fake.dialogs.notices[0].find("大会名"), std::string::npos);
  EXPECT_EQ(Stored(3), "");
  name->setText("春季大会");
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_EQ(Stored(3), "春季大会");
}

TEST_F(FrmKijunTest, ScreensNotBuiltKeepTheirButtonsDisabled) {
  FrmKijun* hub = OpenHub();
  for (const char* name : {"cmdZikko", "cmdProjun", "cmdHangumi", "cmdMkPage", "cmdKiroku", "cmdTokuten", "cmdAto",
                           "cmdKekka", "cmdAto2"}) {
    auto* button = Find<QPushButton>(hub, name);
    EXPECT_FALSE(button->isEnabled()) << name;
    EXPECT_EQ(button->toolTip().toStdString(), kScreenNotAvailable) << name;
  }
  EXPECT_TRUE(Find<QPushButton>(hub, "cmdMoshikomi")->isEnabled());
  // The optional category buttons follow their settings; without their
  // screen a press only tells so.
  Find<QRadioButton>(hub, "optNarabi_4")->click();
  auto* godo = Find<QPushButton>(hub, "cmdGodo");
  ASSERT_TRUE(godo->isEnabled());
  EXPECT_EQ(godo->toolTip().toStdString(), kScreenNotAvailable);
  godo->click();
  EXPECT_EQ(fake.dialogs.notices, std::vector<std::string>{kScreenNotAvailable});
}

TEST_F(FrmKijunTest, TheEntryProgramIsStartedAfterSaving) {
  setenv("MEETDESK_ENTRY_PROGRAM", "/opt/entry/mosikomi", 1);
  FrmKijun* hub = OpenHub();
  fs::remove(ctl);
  Find<QPushButton>(hub, "cmdMoshikomi")->click();
  unsetenv("MEETDESK_ENTRY_PROGRAM");
  EXPECT_EQ(fake.launcher.started, std::vector<std::string>{"/opt/entry/mosikomi"});
  EXPECT_TRUE(fs::exists(ctl));
  fake.launcher.succeed = false;
  Find<QPushButton>(hub, "cmdMoshikomi")->click();
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_NE(fake.dialogs.notices[0].find("mosikomi"), std::string::npos);
}

TEST_F(FrmKijunTest, AScreenThatClosesTheHubBringsBackAFreshHub) {
  std::string openedOn;
  RegisterScreen("cmdZikko", [&openedOn](const HubState& state, Platform&) {
    openedOn = state.folders.meetFolder;
    auto* screen = new QWidget;
    screen->setObjectName("frmTest");
    return screen;
  });
  QPointer<FrmKijun> hub = OpenHub();
  auto* zikko = Find<QPushButton>(hub, "cmdZikko");
  ASSERT_TRUE(zikko->isEnabled());
  EXPECT_TRUE(zikko->toolTip().isEmpty());
  fs::remove(ctl);
  zikko->click();
  UnregisterScreen("cmdZikko");
  EXPECT_EQ(openedOn, meet.string() + "/");
  EXPECT_TRUE(fs::exists(ctl));  // saved first
  ProcessDeletes();
  EXPECT_TRUE(hub.isNull());  // the hub closed

  QWidget* screen = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "frmTest" && w->isVisible()) screen = w;
  ASSERT_NE(screen, nullptr);

  // Another screen changes the settings; the fresh hub reads them again.
  Settings changed;
  LoadSettings(meet, changed);
  changed.venue = "県立プール";
  ASSERT_TRUE(SaveSettings(meet, changed));
  screen->close();

  // The fresh hub is up as the screen goes, so the program never finds
  // itself without a window.
  FrmKijun* fresh = VisibleHub();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(Find<QLineEdit>(fresh, "txtBasho")->text(), "県立プール");
  EXPECT_FALSE(Find<QPushButton>(fresh, "cmdZikko")->isEnabled());  // unregistered again
  ProcessDeletes();
  EXPECT_EQ(VisibleHub(), fresh);
  int hubs = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) hubs += w->objectName() == "frmKijun";
  EXPECT_EQ(hubs, 1);
}

TEST_F(FrmKijunTest, AScreenDeletedWithoutClosingAlsoBringsBackTheHub) {
  QPointer<QWidget> screen;
  RegisterScreen("cmdKiroku", [&screen](const HubState&, Platform&) {
    screen = new QWidget;
    screen->setObjectName("frmTest");
    return screen.data();
  });
  FrmKijun* hub = OpenHub();
  Find<QPushButton>(hub, "cmdKiroku")->click();
  UnregisterScreen("cmdKiroku");
  ProcessDeletes();
  ASSERT_FALSE(screen.isNull());
  EXPECT_EQ(VisibleHub(), nullptr);
  delete screen.data();
  EXPECT_NE(VisibleHub(), nullptr);
}

TEST_F(FrmKijunTest, AScreenBesideTheHubLeavesItOpen) {
  int opened = 0;
  RegisterScreen("cmdHangumi", [&opened](const HubState&, Platform&) {
    ++opened;
    auto* screen = new QWidget;
    screen->setObjectName("frmBeside");
    return screen;
  });
  QPointer<FrmKijun> hub = OpenHub();
  fs::remove(ctl);
  Find<QPushButton>(hub, "cmdHangumi")->click();
  UnregisterScreen("cmdHangumi");
  ProcessDeletes();
  EXPECT_EQ(opened, 1);
  ASSERT_FALSE(hub.isNull());
  EXPECT_TRUE(hub->isVisible());
  EXPECT_FALSE(fs::exists(ctl));  // this one does not save first
  int hubs = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) hubs += w->objectName() == "frmKijun" && w->isVisible();
  EXPECT_EQ(hubs, 1);
}

TEST_F(FrmKijunTest, TheArrowTakesTheSelectedEntryFileIntoANewMeet) {
  test::WriteFile(entries / "autumn.Mos", EntryFileBytes("秋季大会", "県立プール"));
  test::WriteFile(entries / "b.MOS", EntryFileBytes("B", "B"));
  test::WriteFile(entries / "notes.txt", "x");
  fs::create_directories(dir / "meets");
  FrmKijun* hub = OpenHub();
  hub->ShowEntryPickerFolder(QString::fromStdString(entries.string()));
  auto* files = Find<QListWidget>(hub, "filMosi");
  ASSERT_EQ(files->count(), 2);  // *.Mos whatever the letter case
  EXPECT_EQ(files->item(0)->text(), "autumn.Mos");
  EXPECT_EQ(files->item(1)->text(), "b.MOS");
  auto* arrow = Find<QPushButton>(hub, "cmdYomi");
  EXPECT_FALSE(arrow->isEnabled());  // nothing selected, nothing to take in
  files->setCurrentRow(0);
  ASSERT_TRUE(arrow->isEnabled());
  hub->ShowMeetPickerFolder(QString::fromStdString((dir / "meets").string()));
  arrow->click();
  EXPECT_TRUE(fake.dialogs.notices.empty());
  EXPECT_TRUE(fs::is_directory(dir / "meets" / "autumn" / "lap"));
  EXPECT_EQ(Find<QLineEdit>(hub, "txtRyaku")->text(), "秋季大会");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtBasho")->text(), "県立プール");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtKizitu2")->text(), "2008/11/04");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtInsatu_9")->text(), "1");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtMosiFile")->text(), "autumn.Mos");
  EXPECT_EQ(hub->meetPickerFolder().toStdString(), (dir / "meets" / "autumn").string());
  EXPECT_EQ(hub->screen().folders().meetFolder, (dir / "meets" / "autumn").string() + "/");
}

TEST_F(FrmKijunTest, ChangingTheMeetFolderShowsThatMeetsEntryFile) {
  const fs::path other = dir / "other";
  fs::create_directories(other);
  fs::create_directories(dir / "otherentries");
  Settings s;
  s.entryFolder = (dir / "otherentries").string() + "/";
  s.entryFileName = "other.Mos";
  s.meetAbbrev = "別大会";
  ASSERT_TRUE(SaveSettings(other, s));
  FrmKijun* hub = OpenHub();
  hub->ShowEntryPickerFolder(QString::fromStdString(entries.string()));
  hub->ShowMeetPickerFolder(QString::fromStdString(other.string()));
  Find<QPushButton>(hub, "cmdHenko")->click();
  EXPECT_EQ(Find<QLineEdit>(hub, "txtMosiFile")->text(), "other.Mos");
  EXPECT_EQ(Find<QLabel>(hub, "lblDr_m")->text().toStdString(), (dir / "otherentries").string() + "/");
  EXPECT_EQ(Find<QLineEdit>(hub, "txtRyaku")->text(), "別大会");
  EXPECT_EQ(hub->entryPickerFolder().toStdString(), (dir / "otherentries").string());
  EXPECT_NE(DecodeCp932(test::ReadFile(ctl)).find(other.string() + ","), std::string::npos);
}

TEST_F(FrmKijunTest, FitsASmallDesktopScreen) {
  FrmKijun* hub = OpenHub();
  QSize size = hub->sizeHint().expandedTo(hub->minimumSizeHint());
  EXPECT_LE(size.width(), 1280);
  EXPECT_LE(size.height(), 760);  // leaves room for the window frame and a task bar
  if (const char* grab = std::getenv("MEETDESK_HUB_GRAB"); grab && *grab) {
    hub->resize(size);
    hub->grab().save(QString::fromUtf8(grab));
  }
}

}  // namespace
}  // namespace meet::ui
