#include "app/meetctl_run.h"
#include "meetctl/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/cp932.h"
#include "support/test_support.h"

namespace meet {
namespace {

TEST(MeetctlTime, FormatPrintsOneLinePerCode) {
  auto r = Meetctl({"time", "format", "12345", "5", "700004", "999999", "666667"});
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out, " 1:23.45\n\nｺﾞｰﾙ\n\n66:66.67\n");
}

TEST(MeetctlTime, InputFollowsTheScreensRules) {
  EXPECT_EQ(Meetctl({"time", "input", "--screen", "race", "3", "9", "10523"}).out, "700003\n0\n10523\n");
  EXPECT_EQ(Meetctl({"time", "input", "--screen", "confirm", "3", "9", "0"}).out, "700003\n999999\n0\n");
  EXPECT_NE(Meetctl({"time", "input", "--screen", "hub", "3"}).rc, 0);
}

TEST(MeetctlSort, SortsStandardInput) {
  auto r = Meetctl({"sort"}, "888888\n  2507\n666666\n 12345\n");
  EXPECT_EQ(r.out, "  2507\n 12345\n666666\n888888\n");
}

TEST(MeetctlSettings, ShowAndSet) {
  test::TempDir dir;
  auto set = Meetctl({"--meet", dir.str(), "settings", "set", "venue", "市民プール"});
  ASSERT_EQ(set.rc, 0) << set.err;
  EXPECT_EQ(set.out, "市民プール\n");
  auto show = Meetctl({"--meet", dir.str(), "settings", "show"});
  ASSERT_EQ(show.rc, 0);
  EXPECT_NE(show.out.find("venue=市民プール\n"), std::string::npos);
  EXPECT_NE(show.out.find("laneCount=4\nminEntrants=0\nprintCopies.0=0\n"), std::string::npos);
  EXPECT_NE(show.out.find("laneCountUsed=4\n"), std::string::npos);
  EXPECT_EQ(std::count(show.out.begin(), show.out.end(), '\n'), 81);
}

TEST(MeetctlSettings, RefusalsExitNonZeroAndWriteNothing) {
  test::TempDir dir;
  auto comma = Meetctl({"--meet", dir.str(), "settings", "set", "meetName", "a,b"});
  EXPECT_NE(comma.rc, 0);
  EXPECT_FALSE(comma.err.empty());
  EXPECT_EQ(std::count(comma.err.begin(), comma.err.end(), '\n'), 1);
  auto unknown = Meetctl({"--meet", dir.str(), "settings", "set", "colour", "red"});
  EXPECT_NE(unknown.rc, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "kijun.dat"));
}

TEST(Meetctl, MeetFolderComesFromTheFolderConfiguration) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "meet");
  test::WriteFile(dir / "dr_kyo.ctl", "/t\r\n" + (dir / "meet").string() + ",/t\r\n/tmp,a.Mos\r\n");
  auto r = Meetctl({"--ctl", (dir / "dr_kyo.ctl").string(), "settings", "set", "meetCode", "1234567"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "meet" / "kijun.dat"));
  auto none = Meetctl({"--ctl", (dir / "none.ctl").string(), "settings", "show"});
  EXPECT_NE(none.rc, 0);
}

TEST(Meetctl, UnknownVerbsAreRefused) {
  EXPECT_EQ(Meetctl({"fly"}).rc, 2);
  EXPECT_EQ(Meetctl({}).rc, 2);
  EXPECT_EQ(Meetctl({"help"}).rc, 0);
}

}  // namespace
}  // namespace meet

namespace meet {
namespace {

TEST(MeetctlNames, PrintsEveryTableInFull) {
  auto r = Meetctl({"--ctl", "/nonexistent/dr_kyo.ctl", "names"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("event\t1\t25m自由形\n"), std::string::npos);
  EXPECT_NE(r.out.find("event\t29\t800mリレー\nround\t1\t予選\n"), std::string::npos);  // no entry file: 1..29 only
  EXPECT_NE(r.out.find("round\t4\tｺﾝｿﾚｰｼｮﾝ\n"), std::string::npos);
  EXPECT_NE(r.out.find("sex\t3\t混合\n"), std::string::npos);
  EXPECT_NE(r.out.find("recordClass\t21\t県　\n"), std::string::npos);
  EXPECT_NE(r.out.find("recordClass\t99\tOP\n"), std::string::npos);
  EXPECT_NE(r.out.find("class0\t0\t\n"), std::string::npos);  // an empty text is an empty column
  EXPECT_NE(r.out.find("class0\t11\t小1\n"), std::string::npos);
  EXPECT_NE(r.out.find("class2\t63\tＬ4\n"), std::string::npos);
  EXPECT_NE(r.out.find("eventCode\t21\t54\n"), std::string::npos);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 29 + 4 + 3 + 35 + 101 + 101 + 29);
}

}  // namespace
}  // namespace meet
