// "点検" on the hub: the window lists what does not fit in the meet folder in
// use, one line each, says how many, and closes.
#include "ui/frm_tenken.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "settings/settings.h"
#include "support/qt_environment.h"
#include "support/test_support.h"
#include "support/widget_lookup.h"
#include "ui/frm_kijun.h"

namespace meet::ui {
namespace {

namespace fs = std::filesystem;

TEST(FrmTenken, TheHubButtonShowsTheReportOfTheMeetInUse) {
  test::TempDir dir;
  const fs::path meet = dir / "meet", ctl = dir / "dr_kyo.ctl";
  fs::create_directories(meet);
  Settings s;
  s.entryFolder = dir.str();
  s.entryFileName = "a.Mos";  // not there
  ASSERT_TRUE(SaveSettings(meet, s));
  test::WriteFile(ctl, "/x\r\n" + meet.string() + ",/x\r\n" + dir.str() + ",a.Mos\r\n");
  // A race file whose header counts 5 races and holds none.
  std::string header = test::Le16(5);
  header.resize(256, '\0');
  test::WriteFile(meet / "taikai.dat", header);

  test::FakePlatform fake;
  FrmKijun* hub = FrmKijun::OpenHub(ctl, fake.platform);
  ASSERT_NE(hub, nullptr);
  QTest::mouseClick(Find<QPushButton>(hub, "cmdTenken"), Qt::LeftButton);
  QPointer<FrmTenken> window = hub->findChild<FrmTenken*>("frmTenken");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "点検");
  auto* list = Find<QListWidget>(window.data(), "lstTenken");
  ASSERT_EQ(list->count(), 2);
  EXPECT_TRUE(list->item(0)->text().startsWith("a.Mos: 申込ファイル ")) << Text(list->item(0)->text());
  EXPECT_EQ(Text(list->item(1)->text()), "taikai.dat ヘッダー: レース数 5 に対し、ファイルには 0 レース分しかありません。");
  EXPECT_EQ(Text(Find<QLabel>(window.data(), "lblTenken")->text()), "点検: 問題が 2 件見つかりました。");

  QTest::mouseClick(Find<QPushButton>(window.data(), "cmdTojiru"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());  // closed and gone
  hub->close();
  delete hub;
}

}  // namespace
}  // namespace meet::ui
