// "Lenex" on the hub: the window writes the meet in use as the kind chosen,
// to the file in its box, and says what it wrote; a failure is said the same way.
#include "ui/frm_lenex.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/meetctl_run.h"
#include "support/qt_environment.h"
#include "support/test_support.h"
#include "support/widget_lookup.h"
#include "ui/frm_kijun.h"

namespace meet::ui {
namespace {

namespace fs = std::filesystem;

TEST(FrmLenex, TheHubButtonWritesTheMeetInUse) {
  test::TempDir dir;
  const std::string ctl = (dir / "ctl" / "dr_kyo.ctl").string();
  fs::create_directories(dir / "meets");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"sample-entries", (dir / "t.Mos").string(), "--swimmers", "20"},
           {"new", (dir / "t.Mos").string(), (dir / "meets").string()},
           {"settings", "set", "meetAbbrev", "冬季"},
           {"program", "generate"},
           {"seed"}}) {
    args.insert(args.begin(), {"--ctl", ctl, "--yes", "--print", "none"});
    CliRun run = Meetctl(args);
    ASSERT_EQ(run.rc, 0) << args[5] << ": " << run.err;
  }
  test::FakePlatform fake;
  FrmKijun* hub = FrmKijun::OpenHub(ctl, fake.platform);
  ASSERT_NE(hub, nullptr);
  QTest::mouseClick(Find<QPushButton>(hub, "cmdLenex"), Qt::LeftButton);
  QPointer<FrmLenex> window = hub->findChild<FrmLenex*>("frmLenex");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  auto* file = Find<QLineEdit>(window.data(), "txtFile");
  const fs::path meet = dir / "meets" / "t";
  EXPECT_EQ(fs::path(Text(file->text())), meet / "冬季_results.lxf");
  // Choosing the start list puts its own name into the box.
  Find<QRadioButton>(window.data(), "optShurui_1")->click();
  EXPECT_EQ(fs::path(Text(file->text())), meet / "冬季_startlist.lxf");
  Find<QCheckBox>(window.data(), "chkHiroshima")->click();
  QTest::mouseClick(Find<QPushButton>(window.data(), "cmdKakidasi"), Qt::LeftButton);
  EXPECT_TRUE(fs::exists(meet / "冬季_startlist.lxf"));
  EXPECT_TRUE(Text(Find<QLabel>(window.data(), "lblResult")->text()).starts_with("Lenex スタートリストを書き出しました: "));
  if (const char* grab = std::getenv("MEETDESK_LENEX_GRAB"); grab && *grab) window->grab().save(QString::fromUtf8(grab));
  // A name that is no .lxf is refused, on the same line.
  file->setText(QString::fromStdString((dir / "x.zip").string()));
  QTest::mouseClick(Find<QPushButton>(window.data(), "cmdKakidasi"), Qt::LeftButton);
  EXPECT_TRUE(Text(Find<QLabel>(window.data(), "lblResult")->text()).starts_with("Lenex ファイルの名前は .lxf で終わります"));
  EXPECT_FALSE(fs::exists(dir / "x.zip"));
  QTest::mouseClick(Find<QPushButton>(window.data(), "cmdTojiru"), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  hub->close();
  delete hub;
}

}  // namespace
}  // namespace meet::ui
