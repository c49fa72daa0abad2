#include "ui/frm_mk_page.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/qt_environment.h"
#include "support/widget_lookup.h"

#include "print/hpro_file.h"
#include "print/pages_test_bytes.h"
#include "ui/screen_registry.h"

namespace meet::ui {
namespace {

using test::PageHeader;
using test::PageRecord;
using test::RawRace;

class FrmMkPageTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::FakePlatform fake;
  Settings settings;
  std::unique_ptr<FrmMkPage> window;

  FrmMkPage* Open(int pages) {
    settings.classMode = "0";
    settings.entryFolder = dir.str();
    std::vector<RawRace> races;
    for (int n = 1; n <= 9; ++n) races.push_back(RawRace{.eventNo = n, .heatNo = 1, .eventCode = 2});
    test::WriteFile(dir / "taikai.dat", test::RaceFileBytes(races));
    std::string bytes = PageHeader(pages);
    for (int p = 1; p <= pages; ++p) bytes += PageRecord(1, {p});
    test::WriteFile(dir / "hpro.dat", bytes);
    window = std::make_unique<FrmMkPage>(dir.path(), settings, fake.platform);
    window->show();
    return window.get();
  }
  QLineEdit* Box(int k) { return Find<QLineEdit>(window.get(), QStringLiteral("txtRace_%1").arg(k)); }
  PageFile Pages() const { return PageFile::FromBytes("hpro.dat", test::ReadFile(dir / "hpro.dat")); }
};

TEST_F(FrmMkPageTest, CarriesItsControls) {
  FrmMkPage* w = Open(2);
  EXPECT_EQ(w->objectName(), "frmMkPage");
  EXPECT_EQ(Text(w->windowTitle()), "ページ調整");
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdSohnyu")->text()), "挿入");
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdSakujo")->text()), "削除");
  EXPECT_EQ(Text(Find<QPushButton>(w, "cmdInsatu")->text()), "印刷");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtPage")->text()), "1 / 2");
  EXPECT_EQ(Text(Box(0)->text()), "1");
  EXPECT_EQ(Text(Box(1)->text()), "1");
  auto* list = Find<QListWidget>(w, "lstIchiran");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(Text(list->item(1)->text()), "  2   2 予選  1組 男子 50m自由形");
  // Two columns: box 5 beside box 1.
  EXPECT_EQ(Box(5)->geometry().top(), Box(1)->geometry().top());
  EXPECT_GT(Box(5)->geometry().left(), Box(1)->geometry().left());
}

TEST_F(FrmMkPageTest, ClickingALineShowsItsPage) {
  FrmMkPage* w = Open(3);
  Find<QListWidget>(w, "lstIchiran")->setCurrentRow(2);
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtPage")->text()), "3 / 3");
  EXPECT_EQ(Text(Box(1)->text()), "3");
}

TEST_F(FrmMkPageTest, EnterWritesThePageAndMovesTheFocus) {
  FrmMkPage* w = Open(1);
  Box(2)->setFocus();
  Box(2)->setText("75");
  Box(2)->setCursorPosition(1);
  QTest::keyClick(Box(2), Qt::Key_Return);
  EXPECT_EQ(Pages().Read(1).pageRace[1], 7);
  EXPECT_EQ(Text(Box(2)->text()), "7");
  EXPECT_EQ(Text(Box(0)->text()), "2");
  EXPECT_EQ(w->focusWidget(), Box(3));
  QTest::keyClick(Box(3), Qt::Key_Right);
  EXPECT_EQ(w->focusWidget(), Box(7));
  QTest::keyClick(Box(7), Qt::Key_Up);
  EXPECT_EQ(w->focusWidget(), Box(6));
  QTest::keyClick(Box(6), Qt::Key_Left);
  EXPECT_EQ(w->focusWidget(), Box(2));
  Box(8)->setFocus();
  Box(8)->setText("99999");
  Box(8)->setCursorPosition(5);
  QTest::keyClick(Box(8), Qt::Key_Return);
  ASSERT_EQ(fake.dialogs.notices.size(), 1u);
  EXPECT_NE(fake.dialogs.notices[0].find("0～32757"), std::string::npos);
  EXPECT_EQ(Pages().Read(1).pageRace[7], 0);
}

TEST_F(FrmMkPageTest, InsertDeleteAndPrint) {
  FrmMkPage* w = Open(2);
  Find<QPushButton>(w, "cmdSohnyu")->click();
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtPage")->text()), "1 / 3");
  EXPECT_EQ(Find<QListWidget>(w, "lstIchiran")->count(), 3);
  EXPECT_EQ(Pages().Read(2).pageRace[0], 1);
  Find<QPushButton>(w, "cmdSakujo")->click();
  EXPECT_EQ(Find<QListWidget>(w, "lstIchiran")->count(), 2);
  EXPECT_EQ(Text(Box(1)->text()), "1");
  Find<QPushButton>(w, "cmdInsatu")->click();
  EXPECT_EQ(fake.printer.documentsEnded, 1);
  EXPECT_TRUE(fake.dialogs.notices.empty());
}

TEST_F(FrmMkPageTest, IsRegisteredUnderTheHubButton) {
  RegisterFrmMkPage();
  ASSERT_NE(FindScreen("cmdMkPage"), nullptr);
  UnregisterScreen("cmdMkPage");
}

}  // namespace
}  // namespace meet::ui
