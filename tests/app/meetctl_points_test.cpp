// meetctl points tally, show, records and print on a small meet folder.
#include <gtest/gtest.h>

#include "meetctl_run.h"
#include "results/points_fixture.h"

namespace meet {
namespace {

struct MeetctlPoints : ::testing::Test {
  void SetUp() override {
    meet.Event({{{0, 3000}, {1, 3100}}});
    meet.Event({{{1, 3000}}}, "2", 5);
    meet.Write();
    ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
  }
  CliRun Run(std::vector<std::string> verb) {
    std::vector<std::string> a = {"--meet", meet.dir.str(), "--ctl", (meet.dir / "none.ctl").string(), "--print",
                                  "jsonl:" + (meet.dir / "p.jsonl").string()};
    a.insert(a.end(), verb.begin(), verb.end());
    return Meetctl(a);
  }
  test::PointsMeet meet;
};

TEST_F(MeetctlPoints, TallyFlagsShowAndPrint) {
  EXPECT_NE(Run({"points", "print", "placings"}).rc, 0);  // nothing tallied yet
  auto run = Run({"points", "tally", "--skip-events", "5", "--club-limit", "1", "--bonus-mode", "add", "--bonus", "1=3"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find("チーム 2"), std::string::npos);
  EXPECT_EQ(meet.Points(0), 10);
  EXPECT_EQ(meet.Points(1), 8);  // event 5 skipped
  run = Run({"points", "show"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find("13001 クラブA 東京都 : 10/1,0"), std::string::npos) << run.out;
  EXPECT_EQ(Run({"points", "records"}).rc, 0);
  run = Run({"points", "print", "ranking", "--men", "--all"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find("HTML: "), std::string::npos);
  EXPECT_EQ(Run({"points", "print", "records"}).rc, 0);
  EXPECT_EQ(Run({"points", "print", "placings", "--all"}).rc, 2);
  EXPECT_EQ(Run({"points", "tally", "--bonus-mode", "half"}).rc, 2);
  EXPECT_NE(Run({"points", "tally", "--range", "1"}).rc, 0);
}

TEST_F(MeetctlPoints, ResultsLeftOutByTheRangeAreNotedWithTheRangeThatCountsThem) {
  meet.settings.classMode = "1";
  meet.Event({{{2, 20000, 0, 183}}}, "2", 25);
  meet.Write();
  ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
  auto run = Run({"points", "tally"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.err, "注意: 集計区分 1～100 の外のため 1 件を数えていません（1～183 で数えます）。\n");
  run = Run({"points", "tally", "--range", "1", "183"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(meet.Points(2, 3), 20);
}

// Without a readable entry file no team can be formed: the tally refuses and
// the tables of the last tally stay.
TEST_F(MeetctlPoints, NoTallyWithoutTheEntries) {
  ASSERT_EQ(Run({"points", "tally"}).rc, 0);
  const std::string before = meet.Nyusho();
  const std::string entries = test::ReadFile(meet.dir / "ind.Mos");
  for (const std::string& bytes : {std::string(), std::string(400, '\x7f'), entries.substr(0, 384 * 11)}) {
    test::WriteFile(meet.dir / "ind.Mos", bytes);
    auto run = Run({"points", "tally"});
    EXPECT_NE(run.rc, 0) << bytes.size();
    EXPECT_NE(run.err.find("集計しません"), std::string::npos) << run.err;
    EXPECT_EQ(meet.Nyusho(), before);
  }
  std::filesystem::remove(meet.dir / "ind.Mos");
  EXPECT_NE(Run({"points", "tally"}).rc, 0);
  EXPECT_EQ(meet.Nyusho(), before);
}

}  // namespace
}  // namespace meet
