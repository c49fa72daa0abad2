#include "ui/frm_opt_kubun.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/test_support.h"
#include "support/widget_lookup.h"

namespace meet::ui {
namespace {

TEST(FrmOptKubunWidget, PresetSelectModifyAndTheMessageWithoutSelection) {
  test::TempDir dir;
  test::FakePlatform fake;
  HubState state;
  state.folders.meetFolder = dir.str();
  FrmOptKubun w(state, fake.platform);
  EXPECT_EQ(w.objectName(), "frmOptKubun");
  EXPECT_EQ(Text(w.windowTitle()), "種目区分(オプション)");
  EXPECT_EQ(Text(Find<QLabel>(&w, "Label1")->text()), kOptKubunHeading);
  EXPECT_EQ(Text(Find<QPushButton>(&w, "cmdShoki_2")->text()), "マスターズ");
  EXPECT_EQ(Text(Find<QPushButton>(&w, "cmdOwari")->text()), "終");
  EXPECT_EQ(Text(Find<QLineEdit>(&w, "txtSei")->toolTip()), kTipSei);
  EXPECT_EQ(Text(Find<QLineEdit>(&w, "txtShu_0")->toolTip()), kTipShu);
  EXPECT_EQ(Text(Find<QLineEdit>(&w, "txtTitle")->toolTip()), kTipTitle);

  Find<QPushButton>(&w, "cmdShusei")->click();
  EXPECT_EQ(fake.dialogs.notices, std::vector<std::string>{kNoCategorySelected});

  Find<QPushButton>(&w, "cmdShoki_0")->click();
  auto* list = Find<QListWidget>(&w, "lstKubun");
  ASSERT_EQ(list->count(), 7);
  list->setCurrentRow(6);
  EXPECT_EQ(Text(Find<QLabel>(&w, "lblKazu")->text()), "7 / 7");
  EXPECT_EQ(Text(Find<QLineEdit>(&w, "txtKubun")->text()), "15歳以上");
  auto* name = Find<QLineEdit>(&w, "txtKubun");
  name->setText(QString::fromUtf8("女子一般"));
  Find<QPushButton>(&w, "cmdShusei")->click();
  EXPECT_EQ(Text(list->item(6)->text()), "2  |  15  ->  100 |   1  ->  22 | 女子一般");
  Find<QPushButton>(&w, "cmdSakujo")->click();
  EXPECT_EQ(list->count(), 6);
  EXPECT_EQ(Text(Find<QLabel>(&w, "lblKazu")->text()), "0 / 6");

  // A preset over the six asks first: Cancel keeps them, OK replaces them.
  fake.dialogs.answers = {false, true};
  Find<QPushButton>(&w, "cmdShoki_1")->click();
  EXPECT_EQ(list->count(), 6);
  Find<QPushButton>(&w, "cmdShoki_1")->click();
  EXPECT_EQ(list->count(), 4);
  ASSERT_EQ(fake.dialogs.asked.size(), 3u);  // the notice, then the question twice
  EXPECT_TRUE(fake.dialogs.asked[1].starts_with("「ＪＯ予選」の区分 4 件で、今の区分 6 件を置き換えます。"));
  EXPECT_EQ(fake.dialogs.notices.size(), 1u);  // Cancel is not told as a failure
}

}  // namespace
}  // namespace meet::ui
