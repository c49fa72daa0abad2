#include <gtest/gtest.h>

#include <sstream>

#include "core/cp932.h"
#include "app/meetctl_run.h"
#include "meetctl/cli.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace meet {
namespace {

namespace fs = std::filesystem;

// An entry file header built from its layout: course 0, meet 2008/11/03–04.
std::string EntryFileBytes() {
  using test::Le16;
  using test::Le32;
  using test::Sjis;
  std::string header = Le32(0) + Le16(0) + Sjis("2008/06/10", 10) + Sjis("夏季", 8) + Sjis("市民プール", 12) +
                       Sjis("2008/11/03", 10) + Sjis("2008/11/04", 10) + Sjis("2612345", 7) + Le16(0) + Le16(0);
  header.resize(384, ' ');
  return header + std::string(9 * 384, ' ');
}

TEST(MeetctlNew, TakesTheEntryFileIntoAMeetAndWritesTheFolderConfiguration) {
  test::TempDir dir;
  fs::create_directories(dir / "entries");
  fs::create_directories(dir / "meets");
  test::WriteFile(dir / "entries" / "summer.Mos", EntryFileBytes());
  const std::string ctl = (dir / "ctl" / "dr_kyo.ctl").string();
  auto r = Meetctl({"--ctl", ctl, "new", (dir / "entries" / "summer.Mos").string(), (dir / "meets").string()});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, (dir / "meets" / "summer").string() + "/\n");
  EXPECT_TRUE(r.err.empty());
  EXPECT_EQ(DecodeCp932(test::ReadFile(ctl)), (dir / "meets" / "summer").string().substr(0, 2) + "\r\n" +
                                                  (dir / "meets" / "summer").string() + "," +
                                                  (dir / "entries").string().substr(0, 2) + "\r\n" +
                                                  (dir / "entries").string() + ",summer.Mos\r\n");
  // The meet is the one later verbs use.
  auto show = Meetctl({"--ctl", ctl, "settings", "show"});
  ASSERT_EQ(show.rc, 0) << show.err;
  EXPECT_NE(show.out.find("meetAbbrev=夏季\n"), std::string::npos);
  EXPECT_NE(show.out.find("meetDateFrom=20081103\nmeetDateTo=20081104\nvenue=市民プール\ncourseMode=0\n"),
            std::string::npos);

  // Again: the folder is kept, the operator is told on stderr, and it still succeeds.
  test::WriteFile(dir / "meets" / "summer" / "taikai.dat", "keep");
  auto again = Meetctl({"--ctl", ctl, "new", (dir / "entries" / "summer.Mos").string(), (dir / "meets").string()});
  ASSERT_EQ(again.rc, 0) << again.err;
  EXPECT_NE(again.err.find("既にある"), std::string::npos);
  EXPECT_EQ(test::ReadFile(dir / "meets" / "summer" / "taikai.dat"), "keep");
}

TEST(MeetctlNew, FailuresExitNonZeroWithOneLine) {
  test::TempDir dir;
  const std::string ctl = (dir / "dr_kyo.ctl").string();
  auto missing = Meetctl({"--ctl", ctl, "new", (dir / "none.Mos").string(), dir.path().string()});
  EXPECT_EQ(missing.rc, 1);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
  EXPECT_FALSE(fs::exists(ctl));
  EXPECT_EQ(Meetctl({"--ctl", ctl, "new", "only-one"}).rc, 2);
}

TEST(MeetctlUse, MakesTheFolderTheMeetFolderAndPrintsItsEntryFile) {
  test::TempDir dir;
  fs::create_directories(dir / "meet");
  Settings s;
  s.entryFolder = dir.str() + "entries/";
  s.entryFileName = "x.Mos";
  ASSERT_TRUE(SaveSettings(dir / "meet", s));
  const std::string ctl = (dir / "dr_kyo.ctl").string();
  auto r = Meetctl({"--ctl", ctl, "use", (dir / "meet").string()});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, dir.str() + "meet/\n" + dir.str() + "entries/x.Mos\n");
  EXPECT_NE(DecodeCp932(test::ReadFile(ctl)).find((dir / "entries").string() + ",x.Mos\r\n"), std::string::npos);

  auto missing = Meetctl({"--ctl", ctl, "use", (dir / "nowhere").string()});
  EXPECT_EQ(missing.rc, 1);
  EXPECT_EQ(Meetctl({"--ctl", ctl, "use"}).rc, 2);
}

}  // namespace
}  // namespace meet
