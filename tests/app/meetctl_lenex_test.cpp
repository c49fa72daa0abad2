// meetctl lenex check / show as a script sees them: exit 0 and the summary
// line for a clean file, 1 and one line per finding, 2 and one stderr line for
// a file that cannot be read.
#include <gtest/gtest.h>

#include "app/meetctl_run.h"
#include "support/test_support.h"

namespace meet {
namespace {

const char* const kFile =
    "<LENEX version=\"3.0\"><CONSTRUCTOR registration=\"t\" version=\"1\"><CONTACT email=\"a@b.jp\"/></CONSTRUCTOR>"
    "<MEETS><MEET name=\"大会\" city=\"東京\" nation=\"JPN\" course=\"SCM\"><SESSIONS>"
    "<SESSION number=\"1\" date=\"2024-07-01\"><EVENTS><EVENT eventid=\"1\" number=\"1\">"
    "<SWIMSTYLE distance=\"50\" relaycount=\"1\" stroke=\"FLY\"/></EVENT></EVENTS></SESSION>"
    "</SESSIONS></MEET></MEETS></LENEX>";

TEST(MeetctlLenex, CheckAndShowExitAsScriptsExpect) {
  test::TempDir dir;
  test::WriteFile(dir / "clean.lef", kFile);
  std::string faulty = kFile;
  faulty.replace(faulty.find("date=\"2024-07-01\""), 17, "date=\"01/07/2024\"");
  test::WriteFile(dir / "faulty.lef", faulty);
  test::WriteFile(dir / "broken.lxf", "PK\x03\x04 not much of a zip");

  CliRun clean = Meetctl({"lenex", "check", (dir / "clean.lef").string()});
  EXPECT_EQ(clean.rc, 0) << clean.err;
  EXPECT_EQ(clean.out, "点検: 問題は見つかりませんでした。\n");

  CliRun faults = Meetctl({"lenex", "check", (dir / "faulty.lef").string()});
  EXPECT_EQ(faults.rc, 1);
  EXPECT_EQ(faults.out,
            "/LENEX/MEETS/MEET[1]/SESSIONS/SESSION[1]: date \"01/07/2024\" は日付（YYYY-MM-DD）ではありません\n"
            "点検: 問題が 1 件見つかりました。\n");

  for (const char* verb : {"check", "show"}) {
    CliRun broken = Meetctl({"lenex", verb, (dir / "broken.lxf").string()});
    EXPECT_EQ(broken.rc, 2) << verb;
    EXPECT_EQ(broken.out, "");
    EXPECT_EQ(broken.err, "meetctl: " + (dir / "broken.lxf").string() + " は壊れた zip です（途中で切れているようです）。\n");
    EXPECT_EQ(Meetctl({"lenex", verb}).rc, 2);
  }

  CliRun show = Meetctl({"lenex", "show", (dir / "clean.lef").string()});
  EXPECT_EQ(show.rc, 0) << show.err;
  EXPECT_EQ(show.out,
            "Lenex 3.0\n大会: 大会（東京, JPN, SCM）\n  セッション 1: 2024-07-01（種目 1）\n    種目 1: A TIM 50m FLY（組 0）\n"
            "  クラブ 0、選手 0、エントリー 0、結果 0、リレー 0（エントリー 0、結果 0）\n");
}

}  // namespace
}  // namespace meet
