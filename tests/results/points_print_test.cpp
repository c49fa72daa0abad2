#include "results/points_print.h"

#include <gtest/gtest.h>

#include "results/frm_tokuten_screen.h"
#include "core/cp932.h"
#include "results/points_fixture.h"

namespace meet {
namespace {

using namespace points_print;

NyushoTable Teams(const std::vector<std::array<int, 6>>& points) {
  NyushoTable t;
  t.tallied = true;
  int n = 0;
  for (const auto& p : points) {
    TeamRecord r;
    r.teamCode = "1300" + std::to_string(++n);
    r.teamName = "チーム" + std::to_string(n);
    r.teamPrefName = "東京";
    for (int c = 0; c < 6; ++c) r.at(0, c) = static_cast<int16_t>(p[static_cast<size_t>(c)]);
    t.teams.push_back(r);
  }
  return t;
}

TEST(RankLines, EqualPointsShareARankAndTheLaterTeamComesFirst) {
  const NyushoTable t = Teams({{5, 0, 0, 0, 0, 0}, {9, 0, 0, 0, 0, 0}, {5, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0},
                               {3, 0, 0, 0, 0, 0}});
  struct Row {
    bool all;
    std::vector<std::pair<int, int>> rankTeam;
  };
  for (const Row& row : {Row{false, {{1, 2}, {2, 3}, {2, 1}, {4, 5}}}, Row{true, {{1, 2}, {2, 3}, {2, 1}, {4, 5}, {5, 4}}}}) {
    std::vector<std::pair<int, int>> got;
    for (const RankLine& l : RankLines(t, kListMen, row.all)) got.emplace_back(l.rank, l.team);
    EXPECT_EQ(got, row.rankTeam);
  }
}

TEST(RankLines, ListsSumTheirColumns) {
  const NyushoTable t = Teams({{1, 2, 4, 8, 16, 32}});
  const std::array<std::array<int, 3>, 4> expected = {{{9, 1, 8}, {18, 2, 16}, {36, 4, 32}, {63, 7, 56}}};
  for (int list = 0; list < 4; ++list) {
    const RankLine l = RankLines(t, list, false).at(0);
    EXPECT_EQ((std::array<int, 3>{l.points, l.individual, l.relay}), expected[static_cast<size_t>(list)]) << list;
  }
}

TEST(PointsRanking, PagesOfFortyWithTheirHeadingAndEscapedHtml) {
  test::TempDir dir;
  std::vector<std::array<int, 6>> points(41, {1, 0, 0, 0, 0, 0});
  NyushoTable t = Teams(points);
  t.teams[0].teamName = "A&B<C>";
  test::RecordingPrinter printer;
  Settings s;
  s.meetAbbrev = "春季";
  auto done = PrintPointsRanking(printer, dir.path(), s, t, {true, false, false, false}, false);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->lines, 41);
  int headings = 0, rulers = 0;
  for (const auto& i : printer.items) {
    headings += i.text == kRankHeading;
    rulers += i.text == std::string(71, '=');
  }
  EXPECT_EQ(headings, 2);
  EXPECT_EQ(rulers, 2);
  EXPECT_EQ(printer.items.back().page, 2);
  ASSERT_EQ(done->htmlFiles.size(), 1u);
  EXPECT_EQ(done->htmlFiles[0], dir.path() / "春季71.html");
  const std::string html = DecodeCp932(test::ReadFile(done->htmlFiles[0]));
  EXPECT_TRUE(html.starts_with("<HTML><HEAD><TITLE></TITLE></HEAD><BODY>\r\n<TABLE BORDER=\"0\"  HEIGHT=\"100%\">"));
  EXPECT_NE(html.find("<TD>A&amp;B&lt;C&gt;</TD>"), std::string::npos);
  EXPECT_NE(html.find("<TR><TD ALIGN=\"RIGHT\">1</TD><TD>13001</TD>"), std::string::npos);
  EXPECT_TRUE(html.ends_with("</TABLE></BODY></HTML>\r\n"));
}

TEST(Placings, BlanksForZeroAndTheSumRows) {
  NyushoTable t = Teams({{5, 3, 0, 0, 0, 0}});
  t.teams[0].at(1, 0) = 1;
  t.teams[0].at(1, 1) = 2;
  test::RecordingPrinter printer;
  EXPECT_EQ(PrintPlacings(printer, t), 1);
  const std::vector<std::string> texts = printer.Texts();
  auto row = [&](const std::string& label, int nth) {
    int seen = 0;
    for (const std::string& s : texts)
      if (s.starts_with(label) && seen++ == nth) return s.substr(label.size());
    return std::string("?");
  };
  const std::string group = std::string(15, ' ') + " :";
  EXPECT_EQ(row("個人  男子", 0), "   5 :   1" + std::string(12, ' ') + " :" + group + group + group);
  EXPECT_EQ(row("      女子", 0), "   3 :   2" + std::string(12, ' ') + " :" + group + group + group);
  EXPECT_EQ(row("      合計", 0), "   8 :   3" + std::string(12, ' ') + " :" + group + group + group);
  EXPECT_EQ(row("      合計", 1), "     : " + group + group + group + group);
  EXPECT_EQ(texts[0], std::string(10, ' ') + "得点 :   1  2  3  4  5 :  6  7  8  9 10 : 11 12 13 14 15 : 16 17 18 19 20 :");
}

TEST(RecordsList, SortedBySexClassEventAndMixedIsMarkedWomen) {
  test::PointsMeet meet;
  meet.Swimmer(0, 12);
  meet.Write();
  std::vector<BikoEntry> entries(3);
  entries[0].sexCode = "3";
  entries[0].recordClass = 1;
  entries[0].eventCode = 2;
  entries[1].sexCode = "1";
  entries[1].recordClass = 26;
  entries[1].eventCode = 5;
  entries[2].sexCode = "1";
  entries[2].recordClass = 26;
  entries[2].eventCode = 3;
  for (auto& e : entries) {
    e.relayFlag = "0";
    e.members[0] = 1;
  }
  const std::vector<BikoEntry> order = RecordsInPrintOrder(entries);
  EXPECT_EQ(order[0].eventCode, 3);
  EXPECT_EQ(order[1].eventCode, 5);
  EXPECT_EQ(order[2].sexCode, "3");
  test::RecordingPrinter printer;
  const PrintSources sources(MeetFiles{meet.dir.path(), meet.settings});
  EXPECT_EQ(PrintRecordsList(printer, sources, entries), 3);
  std::vector<std::string> marks;
  for (const auto& i : printer.items)
    if (i.x == kRecordColumns[0].x && i.text != "区分") marks.push_back(i.text.substr(0, 3));
  EXPECT_EQ(marks, (std::vector<std::string>{"男", "男", "女"}));
  EXPECT_EQ(printer.Texts()[0], kRecordsTitle);
}

TEST(FrmTokutenScreen, PrintsAreRefusedUntilATallyAndTheRangeFollowsTheScheme) {
  test::PointsMeet meet;
  meet.settings.classMode = "1";
  meet.Event({{{0, 3000}}});
  meet.Write();
  test::WriteFile(meet.dir / "nyusho.dat", std::string(10, '\x01'));
  HubState state;
  state.settings = meet.settings;
  FrmTokutenScreen screen(meet.dir.path(), state);
  EXPECT_FALSE(screen.printEnabled());
  EXPECT_EQ(screen.Rank(meet.fake.printer).error().message, kNotTalliedMessage);
  EXPECT_EQ(screen.lblNenrei(1), "100才");
  screen.ClickBou(1);
  EXPECT_EQ(screen.txtTKiro(33), "0");
  ASSERT_TRUE(screen.Shukei(meet.fake.clock));
  EXPECT_TRUE(screen.printEnabled());
  EXPECT_TRUE(screen.Nyusho(meet.fake.printer));
  state.settings.classMode = "0";
  FrmTokutenScreen open(meet.dir.path(), state);
  open.ChangeNenrei(0, "5");
  EXPECT_EQ(open.txtNenrei(0), "0");
  EXPECT_EQ(open.txtNenrei(1), "100");
}

}  // namespace
}  // namespace meet
