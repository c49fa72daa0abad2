// The ranking lists' HTML file, printout and text lines; the ranking
// screen's check box rules and a whole run.
#include "results/ranking_output.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "results/frm_ranking_screen.h"
#include "results/ranking_fixture.h"

namespace meet {
namespace {

RankingBlock Block(const std::string& title, int rows) {
  RankingBlock b{title, {}};
  for (int i = 0; i < rows; ++i) {
    RankingRow r;
    r.cells[0] = "  1";
    r.cells[2] = "<泳者&\"一\">";
    r.cells[8] = "    30.00";
    b.rows.push_back(r);
  }
  return b;
}

TEST(RankingHtmlFile, NamedByOrderAndStage) {
  const std::filesystem::path m = "/m";
  EXPECT_EQ(RankingHtmlPath(m, "大会", kOrderRace, kStageAll).filename(), "大会4.html");
  EXPECT_EQ(RankingHtmlPath(m, "大会", kOrderEvent, kStageFinal).filename(), "大会5.html");
  EXPECT_EQ(RankingHtmlPath(m, "大会", kOrderProgram, kStageAll).filename(), "大会6.html");
  EXPECT_EQ(RankingHtmlPath(m, "大会", kOrderEvent, kStageEntry).filename(), "大会3.html");
  EXPECT_EQ(RankingHtmlPath(m, "../x", kOrderRace, kStageAll).parent_path(), m);
}

TEST(RankingHtmlFile, FixedLinesEscapedTextAndRightAlignedNumbers) {
  RankingHtml html;
  html.List(Block("  1 男子 <50m>", 1));
  const std::string text = html.Text();
  EXPECT_TRUE(text.starts_with("<HTML><HEAD><TITLE></TITLE></HEAD><BODY>\r\n<TABLE BORDER=\"0\"  HEIGHT=\"100%\">\r\n"));
  EXPECT_TRUE(text.ends_with("</TABLE></BODY></HTML>\r\n"));
  EXPECT_NE(text.find("<TR><TD COLSPAN=\"4\">  1 男子 &lt;50m&gt;</TD>"), std::string::npos);
  EXPECT_NE(text.find("<TR><TD align=\"right\">1</TD><TD align=\"right\"></TD><TD>&lt;泳者&amp;&quot;一&quot;&gt;</TD>"),
            std::string::npos);
  EXPECT_NE(text.find("<TD align=\"right\">30.00</TD>"), std::string::npos);
}

TEST(RankingPrintout, AListThatWouldNotFitStartsANewPage) {
  test::FakePlatform fake;
  Settings settings;
  settings.meetName = "練習大会";
  RankingPrintout out(fake.printer, fake.clock, settings);
  out.List(Block("第一", 30));
  out.List(Block("第二", 30));  // fits below the first
  out.List(Block("第三", 30));  // does not
  out.List(Block("第四", 200));  // longer than a page: goes on under its headings
  ASSERT_TRUE(out.End());
  auto pageOf = [&](const std::string& text) {
    std::vector<int> pages;
    for (const auto& i : fake.printer.items)
      if (i.text == text) pages.push_back(i.page);
    return pages;
  };
  EXPECT_EQ(pageOf("第一"), std::vector<int>{1});
  EXPECT_EQ(pageOf("第二"), std::vector<int>{1});
  EXPECT_EQ(pageOf("第三"), std::vector<int>{2});
  EXPECT_EQ(pageOf("第四"), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(pageOf("練習大会").size(), 5u);
  for (const auto& i : fake.printer.items) EXPECT_LE(i.y, ranking_print::kBottom);
  EXPECT_EQ(fake.printer.documentsEnded, 1);
}

TEST(FrmRankingScreen, ProUnticksPrintingAndLocksHtml) {
  FrmRankingScreen s(MeetFiles{"/m/", Settings{}});
  EXPECT_EQ(s.txtJun(), "1000");
  EXPECT_EQ(s.txtRange(kRangeMkyu, 1), "14");
  EXPECT_EQ(s.txtRange(kRangeGakunen, 1), "100");
  s.ClickInsatu(true);
  s.ClickOption(kFrameJun, kOrderProgram);
  EXPECT_FALSE(s.chkInsatu());
  EXPECT_TRUE(s.chkHtml());
  EXPECT_FALSE(s.chkInsatuEnabled());
  s.ClickHtml(false);
  s.ClickInsatu(true);
  EXPECT_TRUE(s.chkHtml());
  EXPECT_FALSE(s.chkInsatu());
  s.ClickOption(kFrameJun, kOrderEvent);
  EXPECT_TRUE(s.chkInsatuEnabled());
  s.ClickHtml(false);
  EXPECT_FALSE(s.chkHtml());
  s.txtRange(kRangeNenrei, 0) = "12歳";
  s.txtJun() = "abc";
  EXPECT_EQ(s.Options().ageFrom, 12);
  EXPECT_EQ(s.Options().maxRank, 0);
}

TEST(FrmRankingScreen, RunPrintsWritesTheHtmlFileAndShowsProgress) {
  test::RankingMeet meet;
  meet.Entries({test::RankSwimmer("選手1")});
  test::HandRace r;
  r.laneNo[0] = 1;
  r.laneTime[0] = 3000;
  meet.Races({r});
  meet.Program({test::HandProgramEntry{}, test::HandProgramEntry{2, 1, "2", 0, 100, 2, "1", 1}});
  FrmRankingScreen s(meet.files());
  s.ClickInsatu(true);
  s.ClickHtml(true);
  ASSERT_TRUE(s.Begin(meet.fake.platform));
  EXPECT_EQ(s.txtHyoji(), "1 / 2   1 男子 50m自由形 予選");
  EXPECT_TRUE(s.Step());
  EXPECT_EQ(s.txtHyoji(), "2 / 2   2 女子 50m自由形 予選");
  auto done = s.Finish();
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_EQ(done->events, 2);
  EXPECT_EQ(done->lines, 2);
  EXPECT_TRUE(done->closeScreen);
  ASSERT_TRUE(done->html);
  EXPECT_EQ(done->html->filename(), "練習4.html");
  EXPECT_NE(DecodeCp932(test::ReadFile(*done->html)).find("選手1"), std::string::npos);
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
  EXPECT_FALSE(s.running());
}

}  // namespace
}  // namespace meet
