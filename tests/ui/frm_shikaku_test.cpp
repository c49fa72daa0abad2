#include "ui/frm_shikaku.h"

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
#include <QTreeView>

#include "records/entry_fixture.h"
#include "records/shikaku_file.h"
#include "settings/folders.h"
#include "support/qt_environment.h"
#include "support/test_support.h"
#include "ui/frm_kijun.h"
#include "ui/screen_registry.h"

namespace meet::ui {
namespace {

namespace fs = std::filesystem;


void ProcessDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QString Q(const char* s) { return QString::fromUtf8(s); }

class FrmShikakuTest : public ::testing::Test {
 protected:
  FrmShikakuTest() {
    fs::create_directories(meet);
    settings.classMode = "1";
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    fake.clock.now = DateTime{2026, 12, 8, 9, 30, 0};
  }
  ~FrmShikakuTest() override {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    ProcessDeletes();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName().startsWith("frm")) delete w;
  }

  void WriteTable(const ShikakuTable& t) { test::WriteFile(meet / "shikaku.dat", ShikakuTableBytes(t)); }
  ShikakuTable Read() {
    auto t = LoadShikaku(meet);
    EXPECT_TRUE(t);
    return t ? std::move(*t) : ShikakuTable{};
  }
  FrmShikaku* Open() {
    auto* w = new FrmShikaku(meet.string() + "/", settings, fake.platform);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
  }
  template <class W>
  static W* Find(QWidget* screen, const QString& name) {
    W* w = screen->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  static QLineEdit* Field(QWidget* screen, int k) { return Find<QLineEdit>(screen, "txtKiroku_" + QString::number(k)); }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  test::TempDir dir;
  test::FakePlatform fake;
  Settings settings;
  fs::path meet = dir / "meet";
};

TEST_F(FrmShikakuTest, EveryControlIsThereWithItsCaption) {
  FrmShikaku* w = Open();
  EXPECT_EQ(w->objectName(), "frmShikaku");
  EXPECT_EQ(w->windowTitle(), Q("大会記録等"));
  const std::vector<const char*> kinds = {"最高", "大会", "標準1", "標準2", "標準4", "級"};
  for (int k = 0; k < 6; ++k)
    EXPECT_EQ(Find<QRadioButton>(w, "optKubun_" + QString::number(k))->text(), Q(kinds[static_cast<size_t>(k)]));
  EXPECT_EQ(Find<QGroupBox>(w, "fraKubun")->title(), Q("区分"));
  EXPECT_EQ(Find<QRadioButton>(w, "optKubun_2")->toolTip(), Q("年齢別"));
  Find<QListWidget>(w, "lstGroup");
  Find<QLabel>(w, "lblNaiyo");
  Find<QLabel>(w, "lblRecord");
  for (int k = 0; k < 87; ++k) Field(w, k);
  EXPECT_EQ(w->findChild<QLineEdit*>("txtKiroku_87"), nullptr);
  Find<QLineEdit>(w, "txtGroup_0");
  Find<QLineEdit>(w, "txtGroup_1");
  EXPECT_EQ(Find<QPushButton>(w, "cmdMkGrp")->text(), Q("ｸﾞﾙｰﾌﾟ"));
  auto* shoki = Find<QPushButton>(w, "cmdShoki");
  EXPECT_EQ(shoki->text(), Q("初期化"));
  EXPECT_EQ(shoki->toolTip(), Q("大会、標準はｸﾞﾙｰﾌﾟも初期化"));
  EXPECT_EQ(Find<QCheckBox>(w, "chkShoki")->text(), Q("記録は初期化しない"));
  EXPECT_EQ(Find<QGroupBox>(w, "fraZenkai")->title(), Q("前回大会"));
  Find<QComboBox>(w, "Drive1");
  Find<QTreeView>(w, "Dir1");
  EXPECT_EQ(Find<QPushButton>(w, "cmdKakutei")->text(), Q("↓"));
  Find<QLabel>(w, "lblTarget_0");
  Find<QLabel>(w, "lblTarget_1");
  EXPECT_EQ(Find<QGroupBox>(w, "fraTarget")->title(), Q("前回記録複写"));
  EXPECT_EQ(Find<QRadioButton>(w, "optTarget_0")->text(), Q("原本"));
  EXPECT_EQ(Find<QRadioButton>(w, "optTarget_1")->text(), Q("結果"));
  const std::vector<const char*> parts = {"世界", "アジア", "日本", "地域", "県", "地区",
                                          "大会", "標準1",  "標準2", "標準4", "級"};
  for (int p = 0; p < 11; ++p)
    EXPECT_EQ(Find<QCheckBox>(w, "chkKiroku_" + QString::number(p))->text(), Q(parts[static_cast<size_t>(p)]));
  EXPECT_EQ(Find<QPushButton>(w, "cmdZikko")->text(), Q("読み込み"));
  EXPECT_EQ(Find<QPushButton>(w, "cmdCheck")->text(), Q("個人記録確認(最高大会)"));
  EXPECT_EQ(Find<QPushButton>(w, "cmdOwari")->text(), Q("終"));
}

TEST_F(FrmShikakuTest, FieldsStandInColumnsBySexAndRowsByEvent) {
  FrmShikaku* w = Open();
  QApplication::processEvents();
  auto pos = [&](int k) { return Field(w, k)->mapTo(w, QPoint(0, 0)); };
  for (int row : {0, 1, 28}) {
    EXPECT_EQ(pos(row).y(), pos(29 + row).y()) << row;
    EXPECT_EQ(pos(row).y(), pos(58 + row).y()) << row;
    EXPECT_LT(pos(row).x(), pos(29 + row).x());
    EXPECT_LT(pos(29 + row).x(), pos(58 + row).x());
  }
  EXPECT_EQ(pos(0).x(), pos(28).x());
  EXPECT_LT(pos(0).y(), pos(1).y());
  EXPECT_LT(pos(27).y(), pos(28).y());
  // Headings above the columns and the event names beside the rows.
  std::vector<QString> texts;
  for (auto* label : w->findChildren<QLabel*>()) texts.push_back(label->text());
  for (const char* t : {"男", "女", "混合", "25m自由形", "800mリレー", "400m個人メドレー"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), Q(t)), texts.end()) << t;
}

TEST_F(FrmShikakuTest, OpensOnRecord171OfTheMeetRecords) {
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(171)->cellTimes[30] = 2507;
  WriteTable(t);
  FrmShikaku* w = Open();
  EXPECT_TRUE(Find<QRadioButton>(w, "optKubun_1")->isChecked());
  EXPECT_EQ(Find<QLabel>(w, "lblRecord")->text(), "171");
  EXPECT_EQ(Find<QLabel>(w, "lblNaiyo")->text(), Q("1才"));
  EXPECT_EQ(Find<QListWidget>(w, "lstGroup")->count(), 100);
  EXPECT_EQ(Find<QListWidget>(w, "lstGroup")->currentRow(), 0);
  EXPECT_EQ(Field(w, 30)->text(), "   25.07");
  EXPECT_EQ(Field(w, 0)->text(), "");
}

TEST_F(FrmShikakuTest, EnterCommitsTheTextBeforeTheCaret) {
  WriteTable(ShikakuTable::Fresh());
  FrmShikaku* w = Open();
  QLineEdit* f = Field(w, 30);
  Type(f, "2507");
  QTest::keyClick(f, Qt::Key_Return);
  EXPECT_EQ(f->text(), "   25.07");
  EXPECT_EQ(Read().record(171).cellTimes[30], 2507);

  QLineEdit* g = Field(w, 31);
  g->setText("250799");
  g->setCursorPosition(4);
  QTest::keyClick(g, Qt::Key_Enter);
  EXPECT_EQ(g->text(), "   25.07");
  EXPECT_EQ(Read().record(171).cellTimes[31], 2507);
  EXPECT_EQ(Read().record(171).cellTimes[30], 2507);  // the other fields as shown
}

TEST_F(FrmShikakuTest, AGroupChosenInTheListTakesTheTimeInEveryRecord) {
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindStandard1, 3, 5));
  WriteTable(t);
  FrmShikaku* w = Open();
  Find<QRadioButton>(w, "optKubun_2")->click();
  auto* list = Find<QListWidget>(w, "lstGroup");
  ASSERT_EQ(list->count(), 98);
  EXPECT_EQ(list->item(2)->text(), Q("3 歳-5 歳"));
  list->setCurrentRow(2);
  EXPECT_EQ(Find<QLabel>(w, "lblRecord")->text(), "273");
  QLineEdit* f = Field(w, 0);
  Type(f, "1500");
  QTest::keyClick(f, Qt::Key_Return);
  ShikakuTable after = Read();
  for (int r = 273; r <= 275; ++r) EXPECT_EQ(after.record(r).cellTimes[0], 1500) << r;
  EXPECT_EQ(after.record(276).cellTimes[0], 0);
}

TEST_F(FrmShikakuTest, CursorKeysMoveBetweenFields) {
  FrmShikaku* w = Open();
  QLineEdit* start = Field(w, 30);
  start->setFocus();
  const std::vector<std::pair<Qt::Key, int>> moves = {
      {Qt::Key_Up, 29}, {Qt::Key_Left, 0}, {Qt::Key_Up, 0}, {Qt::Key_Left, 0}, {Qt::Key_Right, 29},
      {Qt::Key_Right, 58}, {Qt::Key_Right, 58}, {Qt::Key_Down, 59}, {Qt::Key_Left, 30},
  };
  for (auto [key, expected] : moves) {
    QTest::keyClick(w->focusWidget(), key);
    EXPECT_EQ(w->focusWidget(), Field(w, expected)) << expected;
  }
  Field(w, 86)->setFocus();
  QTest::keyClick(w->focusWidget(), Qt::Key_Down);
  EXPECT_EQ(w->focusWidget(), Field(w, 86));
}

TEST_F(FrmShikakuTest, KindButtonsShowTheirFirstRecord) {
  WriteTable(ShikakuTable::Fresh());
  FrmShikaku* w = Open();
  const std::vector<std::pair<int, const char*>> firsts = {{0, "141"}, {2, "271"}, {3, "371"},
                                                           {4, "471"}, {5, "1"},   {1, "171"}};
  for (auto [kind, first] : firsts) {
    Find<QRadioButton>(w, "optKubun_" + QString::number(kind))->click();
    EXPECT_EQ(Find<QLabel>(w, "lblRecord")->text(), first);
  }
  Find<QRadioButton>(w, "optKubun_0")->click();
  EXPECT_EQ(Find<QListWidget>(w, "lstGroup")->count(), 30);
  EXPECT_EQ(Find<QLabel>(w, "lblNaiyo")->text(), Q("世界"));
}

TEST_F(FrmShikakuTest, GroupButtonAndItsRefusal) {
  WriteTable(ShikakuTable::Fresh());
  FrmShikaku* w = Open();
  Find<QRadioButton>(w, "optKubun_2")->click();
  Find<QLineEdit>(w, "txtGroup_0")->setText("3");
  Find<QLineEdit>(w, "txtGroup_1")->setText("5");
  Find<QPushButton>(w, "cmdMkGrp")->click();
  EXPECT_EQ(Find<QListWidget>(w, "lstGroup")->item(2)->text(), Q("3 歳-5 歳"));
  EXPECT_EQ(Read().record(275).groupKey, 273);
  EXPECT_TRUE(fake.dialogs.notices.empty());

  Find<QRadioButton>(w, "optKubun_5")->click();
  Find<QPushButton>(w, "cmdMkGrp")->click();
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_EQ(Read().record(3).groupKey, 3);
}

TEST_F(FrmShikakuTest, InitialiseAsksThenKeepsABackup) {
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 1, 10));
  t.Change(171)->cellTimes[0] = 5000;
  WriteTable(t);
  FrmShikaku* w = Open();
  auto* list = Find<QListWidget>(w, "lstGroup");
  EXPECT_EQ(list->count(), 91);
  fake.dialogs.answers = {false, true};
  Find<QPushButton>(w, "cmdShoki")->click();
  EXPECT_EQ(list->count(), 91);
  EXPECT_FALSE(fs::exists(meet / "backup"));
  EXPECT_TRUE(fake.dialogs.notices.empty());  // Cancel is no failure
  Find<QPushButton>(w, "cmdShoki")->click();
  EXPECT_EQ(fake.dialogs.asked.size(), 2u);
  EXPECT_EQ(list->count(), 100);
  EXPECT_EQ(Field(w, 0)->text(), "");
  EXPECT_TRUE(fs::exists(meet / "backup" / "shikaku.dat.20261208-093000"));
  EXPECT_EQ(Read().record(171).cellTimes[0], 0);
}

TEST_F(FrmShikakuTest, KeepTimesBoxKeepsTheTimes) {
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 1, 10));
  t.Change(171)->cellTimes[0] = 5000;
  WriteTable(t);
  FrmShikaku* w = Open();
  Find<QCheckBox>(w, "chkShoki")->setChecked(true);
  fake.dialogs.answers = {true};
  Find<QPushButton>(w, "cmdShoki")->click();
  EXPECT_EQ(Find<QListWidget>(w, "lstGroup")->count(), 100);
  EXPECT_EQ(Read().record(171).cellTimes[0], 5000);
  EXPECT_EQ(Read().record(172).groupKey, 172);
}

TEST_F(FrmShikakuTest, PreviousMeetIsTakenAndCopied) {
  test::TempDir previous;
  ShikakuTable old = ShikakuTable::Fresh();
  old.Change(151)->cellTimes[30] = 2600;
  old.Change(171)->cellTimes[0] = 1500;
  test::WriteFile(previous / "shikaku.dat", ShikakuTableBytes(old));
  WriteTable(ShikakuTable::Fresh());
  FrmShikaku* w = Open();
  auto* original = Find<QRadioButton>(w, "optTarget_0");
  auto* results = Find<QRadioButton>(w, "optTarget_1");
  EXPECT_FALSE(original->isEnabled());
  EXPECT_FALSE(results->isEnabled());

  w->ShowPreviousPickerFolder(QString::fromStdString(previous.path().string()));
  Find<QPushButton>(w, "cmdKakutei")->click();
  EXPECT_EQ(Find<QLabel>(w, "lblTarget_0")->text(), Q("有"));
  EXPECT_EQ(Find<QLabel>(w, "lblTarget_1")->text(), Q("無"));
  EXPECT_TRUE(original->isEnabled());
  EXPECT_TRUE(original->isChecked());
  EXPECT_FALSE(results->isEnabled());
  for (int p = 0; p < 11; ++p) EXPECT_FALSE(Find<QCheckBox>(w, "chkKiroku_" + QString::number(p))->isChecked());

  Find<QCheckBox>(w, "chkKiroku_2")->setChecked(true);  // 日本
  Find<QPushButton>(w, "cmdZikko")->click();
  EXPECT_TRUE(fake.dialogs.notices.empty());
  ShikakuTable after = Read();
  EXPECT_EQ(after.record(151).cellTimes[30], 2600);
  EXPECT_EQ(after.record(171).cellTimes[0], 0);
  EXPECT_TRUE(fs::exists(meet / "backup"));
}

TEST_F(FrmShikakuTest, CopyWithoutAPreviousMeetIsToldToTheOperator) {
  FrmShikaku* w = Open();
  Find<QCheckBox>(w, "chkKiroku_0")->setChecked(true);
  Find<QPushButton>(w, "cmdZikko")->click();
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_FALSE(fs::exists(meet / "shikaku.dat"));
}

TEST_F(FrmShikakuTest, CheckPrintsTheFindings) {
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(166)->cellTimes[1] = 3100;
  WriteTable(t);
  Entry e = test::Entrant(3, "山田　太郎", "05", 30);
  e.entryTimes[1] = 3000;
  test::WriteFile(dir / "ind.Mos", test::EntryFileBytes({e}));
  FrmShikaku* w = Open();
  Find<QPushButton>(w, "cmdCheck")->click();
  EXPECT_EQ(fake.printer.documentsEnded, 1);
  auto texts = fake.printer.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "地区  (   31.00)"), texts.end());
}

TEST_F(FrmShikakuTest, EndButtonClosesTheScreen) {
  QPointer<FrmShikaku> w = Open();
  Find<QPushButton>(w, "cmdOwari")->click();
  ProcessDeletes();
  EXPECT_TRUE(w.isNull());
}

TEST_F(FrmShikakuTest, HubButtonOpensTheScreenAndAFreshHubReturns) {
  fs::path ctl = dir / "dr_kyo.ctl";
  Folders folders;
  folders.meetFolder = meet.string() + "/";
  folders.entryFolder = dir.str();
  folders.entryFileName = "ind.Mos";
  ASSERT_TRUE(SaveFolders(ctl, folders));
  ASSERT_TRUE(SaveSettings(meet, settings));
  RegisterFrmShikaku();
  QPointer<FrmKijun> hub = FrmKijun::OpenHub(ctl, fake.platform);
  auto* kiroku = hub->findChild<QPushButton*>("cmdKiroku");
  ASSERT_NE(kiroku, nullptr);
  EXPECT_TRUE(kiroku->isEnabled());
  kiroku->click();
  UnregisterScreen("cmdKiroku");
  ProcessDeletes();
  EXPECT_TRUE(hub.isNull());
  FrmShikaku* screen = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "frmShikaku" && w->isVisible()) screen = dynamic_cast<FrmShikaku*>(w);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->screen().meetFolder(), fs::path(meet.string() + "/"));
  screen->findChild<QPushButton*>("cmdOwari")->click();
  ProcessDeletes();
  int hubs = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) hubs += w->objectName() == "frmKijun" && w->isVisible();
  EXPECT_EQ(hubs, 1);
}

}  // namespace
}  // namespace meet::ui
