#include "ui/frm_tokuten.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "results/points_fixture.h"
#include "support/qt_environment.h"
#include "support/widget_lookup.h"

namespace meet::ui {
namespace {

TEST(FrmTokutenWidget, ControlsTallyAndPrint) {
  test::PointsMeet meet;
  meet.settings.classMode = "1";
  meet.settings.meetAbbrev = "春季";
  meet.Event({{{0, 3000}, {1, 3100}}});
  meet.Event({{{0, 6000, 0, 30}}}, "2", 3);  // 100m自由形: a swimmer of 30
  meet.Write();
  // The meet's own event 30 defined as individual with its name.
  std::string entries = test::ReadFile(meet.dir / "ind.Mos");
  test::Put(entries, 384 + 120, test::Sjis("50m水中キック", 16));
  test::Put(entries, 384 + 360, "0" + std::string(14, ' '));
  test::WriteFile(meet.dir / "ind.Mos", entries);
  HubState state;
  state.folders.meetFolder = meet.dir.path();
  state.settings = meet.settings;
  auto* w = new FrmTokuten(state, meet.fake.platform);
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->show();
  EXPECT_EQ(Text(w->windowTitle()), "得点");
  EXPECT_EQ(Text(Find<QLabel>(w, "txtShu_0")->text()), "25m自由形");
  EXPECT_EQ(Text(Find<QLabel>(w, "txtShu_29")->text()), "50m水中キック");
  EXPECT_EQ(Text(Find<QLabel>(w, "txtShu_30")->text()), "予備(2)");
  EXPECT_TRUE(Find<QRadioButton>(w, "optSuru_43")->isChecked());
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtSeigen")->text()), "99");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblNenrei_0")->text()), "1才");
  auto* rank = Find<QPushButton>(w, "cmdRank");
  EXPECT_FALSE(rank->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(w, "cmdBiko")->isEnabled());

  QTest::mouseClick(Find<QRadioButton>(w, "optBou_1"), Qt::LeftButton);
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtTKiro_33")->text()), "0");
  auto* to = Find<QLineEdit>(w, "txtNenrei_1");
  to->clear();
  QTest::keyClicks(to, "12");
  EXPECT_EQ(Text(Find<QLabel>(w, "lblNenrei_1")->text()), "12才");
  Find<QRadioButton>(w, "optSinai_1")->click();  // 50m自由形 not tallied
  ASSERT_FALSE(w->screen().optSuru(1));
  auto* summary = Find<QLabel>(w, "lblShukei");
  EXPECT_EQ(Text(summary->text()), "");
  QTest::mouseClick(Find<QPushButton>(w, "cmdShukei"), Qt::LeftButton);
  EXPECT_TRUE(rank->isEnabled());
  // The screen says what the tally did, in meetctl's words.
  EXPECT_TRUE(Text(summary->text()).starts_with("集計しました: チーム 2、入賞 ")) << Text(summary->text());
  EXPECT_TRUE(Text(summary->text()).ends_with("（集計区分 1 --> 12、クラブ制限 99 名）")) << Text(summary->text());
  EXPECT_EQ(meet.TeamCount(), 2);
  EXPECT_EQ(meet.Points(0), 0);
  // The range 1 → 12 left the swimmer of 30 out, and the screen says so.
  EXPECT_EQ(meet.fake.dialogs.notices,
            (std::vector<std::string>{"集計区分 1～12 の外のため 1 件を数えていません（1～30 で数えます）。"}));

  QTest::mouseClick(rank, Qt::LeftButton);
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "春季74.html"));
  EXPECT_FALSE(meet.fake.printer.items.empty());
  EXPECT_EQ(meet.fake.dialogs.notices.size(), 1u);
  QTest::mouseClick(Find<QPushButton>(w, "cmdOwari"), Qt::LeftButton);
}

}  // namespace
}  // namespace meet::ui
