#include <gtest/gtest.h>

#include "app/meetctl_run.h"
#include "program/seeding_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

using test::Seeded;

struct SeedFolder : test::SeedMeet {
  SeedFolder() { Save(); }
  void Save() { EXPECT_TRUE(SaveSettings(dir.path(), settings)); }
  CliRun Seed(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", dir.str()});
    return Meetctl(args);
  }
};

TEST(MeetctlSeed, PrintsTheNumberOfRaces) {
  SeedFolder meet;
  meet.Entrants(test::Field(17));
  meet.Program({Seeded()});
  auto run = meet.Seed({"seed"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, "レース数: 3\n");
  EXPECT_EQ(test::I16Of(meet.Race(), 0), 3);
}

TEST(MeetctlSeed, FlagsReachTheScreensBoxes) {
  SeedFolder meet;
  meet.settings.seedingMode = "4";
  meet.Save();
  meet.Entrants(test::Field(3));
  meet.Program({Seeded(3, "1")});
  // Without --keep-prelims the one-heat preliminary leaves the program, and
  // with no final after it its swimmers are seeded nowhere: the operator is told.
  auto dropped = meet.Seed({"seed"});
  ASSERT_EQ(dropped.rc, 0) << dropped.err;
  EXPECT_EQ(dropped.out, "レース数: 0\n注意: 男子 100m自由形: 申込 3 件がどの競技順の区分にも入らず、組まれていません。\n");
  ASSERT_EQ(meet.Seed({"seed", "--reset"}).rc, 0);
  auto kept = meet.Seed({"seed", "--keep-prelims", "--class-first", "--pattern", "1", "--no-day-break"});
  ASSERT_EQ(kept.rc, 0) << kept.err;
  EXPECT_EQ(kept.out, "レース数: 1\n");
  EXPECT_EQ(test::LaneOf(meet.Race(), 1, 1), 5);  // centred on the descending lanes
  EXPECT_EQ(test::I16Of(test::ReadFile(meet.dir / "hpro.dat"), 2), 1);  // pagePattern
}

TEST(MeetctlSeed, ResetNumbersTheProgram) {
  SeedFolder meet;
  meet.Program({test::RawEntry{.orderNo = 0, .seed = "0"}, test::RawEntry{.orderNo = 0, .seed = "2"}});
  auto run = meet.Seed({"seed", "--reset"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, "初期化しました（競技順 2 件）。\n");
  const std::string program = meet.ProgramBytes();
  EXPECT_EQ(test::I16Of(program, test::ProgramAt(2)), 2);
  EXPECT_EQ(program[test::ProgramAt(2) + 26], '1');
}

TEST(MeetctlSeed, ResultsAreOverwrittenOnlyWithYes) {
  SeedFolder meet;
  meet.Entrants(test::Field(4));
  meet.Program({Seeded()});
  ASSERT_EQ(meet.Seed({"seed"}).rc, 0);
  std::string race = meet.Race();
  race.replace(test::RaceAt(1) + 46, 4, test::Le32(6100));
  test::WriteFile(meet.dir / "taikai.dat", race);

  auto refused = meet.Seed({"seed"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
  EXPECT_EQ(meet.Race(), race);
  auto yes = meet.Seed({"--yes", "seed"});
  ASSERT_EQ(yes.rc, 0) << yes.err;
  EXPECT_NE(yes.out.find("控え: "), std::string::npos);
  EXPECT_NE(yes.out.find("レース数: 1"), std::string::npos);
}

TEST(MeetctlSeed, BadArgumentsAreUsageErrors) {
  SeedFolder meet;
  meet.Program({Seeded()});
  EXPECT_EQ(meet.Seed({"seed", "--pattern", "2"}).rc, 2);
  EXPECT_EQ(meet.Seed({"seed", "--bogus"}).rc, 2);
  EXPECT_EQ(meet.Seed({"seed", "--reset", "--ryouken"}).rc, 2);
  auto missing = meet.Seed({"seed"});  // no entry file
  EXPECT_EQ(missing.rc, 1);
  EXPECT_NE(missing.err.find("申込データ"), std::string::npos);
}

}  // namespace
}  // namespace meet
