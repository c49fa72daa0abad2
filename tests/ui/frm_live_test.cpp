// "速報": starting on a free loopback port shows the address, a second start
// is not possible while running, stopping frees the controls.
#include "ui/frm_live.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/qt_environment.h"
#include "support/test_support.h"
#include "support/widget_lookup.h"

namespace meet::ui {
namespace {

TEST(FrmLive, StartShowsTheAddressAndStopEndsIt) {
  test::TempDir meet;
  FrmLive dialog(meet.path(), meet.str(), "ind.Mos");
  auto* port = Find<QLineEdit>(&dialog, "txtPort");
  auto* start = Find<QPushButton>(&dialog, "cmdStart");
  auto* stop = Find<QPushButton>(&dialog, "cmdStop");
  auto* address = Find<QLabel>(&dialog, "lblAddress");
  ASSERT_TRUE(port && start && stop && address);
  EXPECT_EQ(Find<QLineEdit>(&dialog, "txtListen")->text(), "127.0.0.1");

  port->setText("70000");
  QTest::mouseClick(start, Qt::LeftButton);
  EXPECT_FALSE(dialog.running());
  EXPECT_TRUE(address->text().contains("0～65535"));

  port->setText("0");  // any free port
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_TRUE(dialog.running()) << address->text().toStdString();
  EXPECT_TRUE(address->text().startsWith("公開中: http://127.0.0.1:"));
  EXPECT_FALSE(start->isEnabled());
  EXPECT_FALSE(port->isEnabled());

  QTest::mouseClick(stop, Qt::LeftButton);
  EXPECT_FALSE(dialog.running());
  EXPECT_EQ(address->text(), "停止中");
  EXPECT_TRUE(start->isEnabled());
}

}  // namespace
}  // namespace meet::ui
