#include "ui/frm_hangumi.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>

#include "support/qt_environment.h"
#include "support/widget_lookup.h"

#include "program/seeding_fixture.h"
#include "ui/screen_registry.h"

namespace meet::ui {
namespace {

class FrmHangumiTest : public ::testing::Test {
 protected:
  test::SeedMeet meet;
  std::unique_ptr<FrmHangumi> window;

  FrmHangumi* Open() {
    window = std::make_unique<FrmHangumi>(meet.dir.path(), meet.settings, meet.fake.platform);
    window->show();
    return window.get();
  }
};

TEST_F(FrmHangumiTest, CarriesEveryControlInScreenOrder) {
  FrmHangumi* w = Open();
  EXPECT_EQ(Text(w->objectName()), "frmHangumi");
  EXPECT_EQ(Text(w->windowTitle()), "競技ファイル作成");
  const std::vector<std::pair<const char*, const char*>> boxes = {
      {"chkRyouken", "両県対抗コース固定"},       {"chkJun", "年齢順"},
      {"chkKubun", "合同レースで区分を優先する"}, {"chkNichi", "開催日で改ページしない"},
      {"chkNoHan", "組合せしない（挿入処理後）"}, {"chkKetugo", "予選決勝で改ページしない"},
      {"chkYosen", "コース人数以下でも予選を組み込む"}};
  std::vector<QWidget*> order;
  for (const auto& [name, caption] : boxes) {
    auto* box = Find<QCheckBox>(w, name);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Text(box->text()), caption);
    EXPECT_FALSE(box->isChecked());
    order.push_back(box);
  }
  auto* combo = Find<QComboBox>(w, "cboPattern");
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(Text(combo->itemText(0)), "標準");
  EXPECT_EQ(Text(combo->itemText(1)), "予決同頁");
  EXPECT_EQ(combo->currentIndex(), 0);
  auto* label = Find<QLabel>(w, "lblPattern");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(Text(label->text()), "組合せパターン");
  auto* shoki = Find<QPushButton>(w, "cmdShoki");
  auto* zikko = Find<QPushButton>(w, "cmdZikko");
  ASSERT_NE(shoki, nullptr);
  ASSERT_NE(zikko, nullptr);
  EXPECT_EQ(Text(shoki->text()), "初期化");
  EXPECT_EQ(Text(zikko->text()), "作成");
  // Top to bottom: six boxes, the pattern, chkYosen, then the buttons.
  order.insert(order.begin() + 6, combo);
  order.push_back(zikko);
  for (size_t k = 1; k < order.size(); ++k)
    EXPECT_GT(order[k]->mapTo(w, QPoint(0, 0)).y(), order[k - 1]->mapTo(w, QPoint(0, 0)).y())
        << Text(order[k]->objectName());
}

TEST_F(FrmHangumiTest, ZikkoRunsWithTheTickedBoxesAndCloses) {
  meet.Entrants(test::Field(3));
  meet.Program({test::Seeded(3, "1")});
  FrmHangumi* w = Open();
  Find<QCheckBox>(w, "chkYosen")->setChecked(true);
  Find<QComboBox>(w, "cboPattern")->setCurrentIndex(1);
  QTest::mouseClick(Find<QPushButton>(w, "cmdZikko"), Qt::LeftButton);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(w->screen().raceCount(), 1);
  EXPECT_TRUE(w->screen().options().chkYosen);
  EXPECT_EQ(test::I16Of(test::ReadFile(meet.dir / "hpro.dat"), 2), 1);
  EXPECT_TRUE(meet.fake.dialogs.notices.empty());
}

TEST_F(FrmHangumiTest, AFailedRunIsShownAndTheWindowStays) {
  meet.Program({test::Seeded()});
  FrmHangumi* w = Open();
  QTest::mouseClick(Find<QPushButton>(w, "cmdZikko"), Qt::LeftButton);
  EXPECT_TRUE(w->isVisible());
  ASSERT_EQ(meet.fake.dialogs.notices.size(), 1u);
  EXPECT_NE(meet.fake.dialogs.notices[0].find("申込データ"), std::string::npos);
}

TEST_F(FrmHangumiTest, ShokiResetsTheProgramAndStaysOpen) {
  meet.Program({test::RawEntry{.orderNo = 0, .seed = "0"}});
  FrmHangumi* w = Open();
  QTest::mouseClick(Find<QPushButton>(w, "cmdShoki"), Qt::LeftButton);
  EXPECT_TRUE(w->isVisible());
  const std::string program = meet.ProgramBytes();
  EXPECT_EQ(test::I16Of(program, test::ProgramAt(1)), 1);
  EXPECT_EQ(program[test::ProgramAt(1) + 26], '1');
}

TEST_F(FrmHangumiTest, IsRegisteredUnderTheHubButton) {
  RegisterFrmHangumi();
  const ScreenFactory* factory = FindScreen("cmdHangumi");
  ASSERT_NE(factory, nullptr);
  HubState state;
  state.folders.meetFolder = meet.dir.str();
  state.settings = meet.settings;
  std::unique_ptr<QWidget> made((*factory)(state, meet.fake.platform));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(Text(made->objectName()), "frmHangumi");
  UnregisterScreen("cmdHangumi");
}

}  // namespace
}  // namespace meet::ui
