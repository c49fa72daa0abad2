#include "program/frm_hangumi_screen.h"

#include <gtest/gtest.h>

#include "program/seeding_fixture.h"

namespace meet {
namespace {

using test::Seeded;

TEST(FrmHangumiScreen, OpensWithEveryBoxUntickedAndTheStandardPattern) {
  test::SeedMeet meet;
  FrmHangumiScreen screen(meet.dir.path(), meet.settings, meet.fake.platform);
  EXPECT_EQ(screen.cboPattern(), 0);
  EXPECT_STREQ(kCboPatternItems[static_cast<size_t>(screen.cboPattern())], "標準");
  for (const HangumiCheckBox& box : kHangumiCheckBoxes) EXPECT_FALSE(screen.options().*box.field) << box.name;
  EXPECT_FALSE(screen.closed());
  screen.SetCboPattern(1);
  EXPECT_EQ(screen.cboPattern(), 1);
  screen.SetCboPattern(5);  // not an item
  EXPECT_EQ(screen.cboPattern(), 1);
}

TEST(FrmHangumiScreen, CheckBoxesCarryTheirCaptionsInScreenOrder) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"chkRyouken", "両県対抗コース固定"},       {"chkJun", "年齢順"},
      {"chkKubun", "合同レースで区分を優先する"}, {"chkNichi", "開催日で改ページしない"},
      {"chkNoHan", "組合せしない（挿入処理後）"}, {"chkKetugo", "予選決勝で改ページしない"},
      {"chkYosen", "コース人数以下でも予選を組み込む"}};
  ASSERT_EQ(kHangumiCheckBoxes.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(kHangumiCheckBoxes[k].name, expected[k].first);
    EXPECT_EQ(kHangumiCheckBoxes[k].caption, expected[k].second);
  }
  SeedingOptions o;
  o.*kHangumiCheckBoxes[4].field = true;
  EXPECT_TRUE(o.chkNoHan);
}

TEST(FrmHangumiScreen, ZikkoSeedsAndCloses) {
  test::SeedMeet meet;
  meet.Entrants(test::Field(9));
  meet.Program({Seeded(3, "1"), Seeded(3, "2")});
  FrmHangumiScreen screen(meet.dir.path(), meet.settings, meet.fake.platform);
  auto run = screen.Zikko();
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_TRUE(screen.closed());
  EXPECT_EQ(screen.raceCount(), 3);  // two heats and the final
  EXPECT_EQ(run->raceCount, 3);
}

TEST(FrmHangumiScreen, ARefusedRunLeavesTheScreenOpen) {
  test::SeedMeet meet;
  meet.Program({Seeded()});
  FrmHangumiScreen screen(meet.dir.path(), meet.settings, meet.fake.platform);
  EXPECT_FALSE(screen.Zikko());  // no entry file
  EXPECT_FALSE(screen.closed());
}

TEST(FrmHangumiScreen, ShokiPreparesAFreshRun) {
  test::SeedMeet meet;
  meet.Entrants(test::Field(4));
  meet.Program({Seeded(3, "1"), Seeded(3, "2")});
  FrmHangumiScreen first(meet.dir.path(), meet.settings, meet.fake.platform);
  ASSERT_TRUE(first.Zikko());
  // The preliminary was dropped: a second run without 初期化 skips it even
  // with the preliminary kept.
  FrmHangumiScreen second(meet.dir.path(), meet.settings, meet.fake.platform);
  second.options().chkYosen = true;
  ASSERT_TRUE(second.Zikko());
  EXPECT_EQ(second.raceCount(), 1);
  FrmHangumiScreen third(meet.dir.path(), meet.settings, meet.fake.platform);
  third.options().chkYosen = true;
  auto reset = third.Shoki();
  ASSERT_TRUE(reset);
  EXPECT_EQ(*reset, 2);
  EXPECT_FALSE(third.closed());
  ASSERT_TRUE(third.Zikko());
  EXPECT_EQ(third.raceCount(), 2);  // the preliminary and the empty final
}

}  // namespace
}  // namespace meet
