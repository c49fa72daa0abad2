// The ranking screen's wiring: its controls and defaults, "プロ" locking the
// check boxes, and "実行" running from the event loop with its progress in
// txtHyoji, then closing.
#include "ui/frm_ranking.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "results/ranking_fixture.h"
#include "support/qt_environment.h"
#include "support/widget_lookup.h"

namespace meet::ui {
namespace {

TEST(FrmRankingWidget, ControlsDefaultsProLockAndARunFromTheEventLoop) {
  test::RankingMeet meet;
  meet.Entries({test::RankSwimmer("選手1"), test::RankSwimmer("ﾁｰﾑ", 183)});
  test::HandRace r;
  r.laneNo[0] = 1;
  r.laneTime[0] = 3000;
  r.laneNo[1] = 2;  // left off by the age range 0–100
  r.laneTime[1] = 3100;
  meet.Races({r});
  meet.Program({test::HandProgramEntry{}});
  HubState state;
  state.folders.meetFolder = meet.dir.str();
  state.settings = meet.settings;

  QPointer<FrmRanking> w = new FrmRanking(state, meet.fake.platform);
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->show();
  EXPECT_EQ(Text(w->windowTitle()), "ランキング");
  EXPECT_TRUE(Find<QRadioButton>(w, "optJun_0")->isChecked());
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optYoketu_6")->text()), "申込");
  EXPECT_EQ(Text(Find<QRadioButton>(w, "optShu_7")->text()), "ＦＲ");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtMkyu_1")->text()), "14");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtNenrei_1")->text()), "100");
  EXPECT_EQ(Text(Find<QLineEdit>(w, "txtJun")->text()), "1000");
  auto* hiroshima = Find<QCheckBox>(w, "chkHiroshima");
  EXPECT_EQ(Text(hiroshima->text()), "広島の選手名を表示");  // says what it does, not "Check1"
  EXPECT_EQ(Text(hiroshima->toolTip()), "広島県の選手の個人情報を表示");

  auto* insatu = Find<QCheckBox>(w, "chkInsatu");
  auto* html = Find<QCheckBox>(w, "chkHtml");
  QTest::mouseClick(insatu, Qt::LeftButton);
  QTest::mouseClick(Find<QRadioButton>(w, "optJun_2"), Qt::LeftButton);
  EXPECT_FALSE(insatu->isChecked());
  EXPECT_FALSE(insatu->isEnabled());
  EXPECT_TRUE(html->isChecked());
  EXPECT_FALSE(html->isEnabled());
  QTest::mouseClick(Find<QRadioButton>(w, "optJun_0"), Qt::LeftButton);
  EXPECT_TRUE(insatu->isEnabled());

  auto* hyoji = Find<QLineEdit>(w, "txtHyoji");
  QTest::mouseClick(Find<QPushButton>(w, "cmdZikko"), Qt::LeftButton);
  EXPECT_EQ(Text(hyoji->text()), "1 / 1   1 男子 50m自由形 予選");  // shown before the first event is listed
  EXPECT_FALSE(Find<QPushButton>(w, "cmdOwari")->isEnabled());
  // The run goes on from the event loop and the screen closes with HTML ticked.
  QTRY_VERIFY(w.isNull());
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "練習4.html"));
  // What the range left off is said before the screen closes.
  EXPECT_EQ(meet.fake.dialogs.notices,
            (std::vector<std::string>{"年齢 0～100 の外のため 1 件を載せていません（年齢 0～183 で載せます）。"}));
}

}  // namespace
}  // namespace meet::ui
