// meetctl ranking on a small meet folder: the flags set the screen's controls
// and the lists come out as text lines too.
#include <gtest/gtest.h>

#include "meetctl_run.h"
#include "results/ranking_fixture.h"

namespace meet {
namespace {

TEST(MeetctlRanking, FlagsFilterAndTheListsComeOutAsTextAndHtml) {
  test::RankingMeet meet;
  meet.Entries({test::RankSwimmer("選手1", 12), test::RankSwimmer("選手2", 30), test::RankSwimmer("選手3", 12)});
  test::HandRace r;
  r.laneNo = {1, 2, 3};
  r.laneTime = {3100, 3000, 700002};
  meet.Races({r});
  meet.Program({test::HandProgramEntry{}});
  auto run = [&](std::vector<std::string> verb) {
    std::vector<std::string> a = {"--meet", meet.dir.str(), "--ctl", (meet.dir / "dr_kyo.ctl").string()};
    a.insert(a.end(), verb.begin(), verb.end());
    return Meetctl(a);
  };
  // The folder configuration names the entry folder and file.
  const std::string d = meet.dir.path().string();
  test::WriteFile(meet.dir / "dr_kyo.ctl", d.substr(0, 2) + "\r\n" + d + ",x\r\n" + d + ",ind.Mos\r\n");
  for (auto [name, value] : std::vector<std::pair<std::string, std::string>>{{"meetAbbrev", "練習"}, {"laneCount", "8"}})
    ASSERT_EQ(run({"settings", "set", name, value}).rc, 0) << name;

  auto all = run({"ranking"});
  ASSERT_EQ(all.rc, 0) << all.err;
  EXPECT_TRUE(all.out.starts_with("  1 男子 50m自由形 予選\n1\t1- 2\t選手2\t"));
  EXPECT_NE(all.out.find("\n2\t1- 1\t選手1\t"), std::string::npos);
  EXPECT_NE(all.out.find("\n\t1- 3\t選手3\t"), std::string::npos);

  auto young = run({"ranking", "--age", "0", "20", "--order", "event", "--html"});
  ASSERT_EQ(young.rc, 0) << young.err;
  EXPECT_EQ(young.out.find("選手2"), std::string::npos);
  EXPECT_NE(young.out.find("\n2\t1- 1\t選手1\t"), std::string::npos);  // the full-list rank
  EXPECT_NE(young.out.find("練習5.html"), std::string::npos);
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(young.err, "注意: 年齢 0～20 の外のため 1 件を載せていません（年齢 0～30 で載せます）。\n");
  EXPECT_TRUE(std::filesystem::exists(meet.dir / "projun2.dat"));

  EXPECT_EQ(run({"ranking", "--stage", "semifinal"}).rc, 2);
  EXPECT_EQ(run({"ranking", "--age", "1"}).rc, 1);
  EXPECT_EQ(run({"ranking", "--order", "program", "--print"}).rc, 2);
}

}  // namespace
}  // namespace meet
