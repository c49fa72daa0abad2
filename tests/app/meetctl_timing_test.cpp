#include <gtest/gtest.h>

#include "app/meetctl_run.h"
#include "race/kyogi_fixture.h"

namespace meet {
namespace {

// A final of three swimmers finished by the stand-in and posted, printing to
// the jsonl printer.
TEST(MeetctlTiming, FinishThenPostPrintsTheResults) {
  test::KyogiMeet meet;
  meet.settings.laneCount = 8;
  meet.settings.timingSystem = "1";
  meet.settings.printCopies[5] = 1;  // results of a final
  ASSERT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
  meet.Entries({{"1", "山田太郎", "ﾔﾏﾀﾞ", "東京", "ＡＢＣ", "15", 12},
                {"2", "鈴木一郎", "ｽｽﾞｷ", "大阪", "ＸＹＺ", "16", 11},
                {"3", "佐藤花子", "ｻﾄｳ", "京都", "ＱＱ", "21", 13}});
  test::HandRace race;
  race.round = "2";
  race.laneNo = {0, 0, 1, 2, 3};
  race.entryTime = {0, 0, 3000, 3100, 3200};
  meet.Races({race, race});
  meet.States("11");
  test::WriteFile(meet.dir / "shikaku.dat", test::ShikakuBytes(570, {}));
  const std::string out = (meet.dir / "out.jsonl").string();
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", meet.dir.str(), "--print", "jsonl:" + out});
    return Meetctl(args);
  };

  auto finished = run({"timing", "finish", "1", "--seed", "3", "--missing", "5"});
  ASSERT_EQ(finished.rc, 0) << finished.err;
  EXPECT_EQ(finished.out, "計時 レース 1 → 6\n");
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "61");
  EXPECT_NE(run({"timing", "finish", "3"}).rc, 0) << "no race 3";
  EXPECT_NE(run({"timing", "finish", "1", "--lap-length", "30"}).rc, 0);

  auto posted = run({"post"});
  ASSERT_EQ(posted.rc, 0) << posted.err;
  EXPECT_EQ(posted.out, "確定 レース 1 → 8\n印刷 結果 レース 1 × 1\n表示 レース 1\n");
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "81");
  const std::string printed = test::ReadFile(out);
  EXPECT_NE(printed.find("山田"), std::string::npos);
  EXPECT_EQ(meet.RaceField(1, 46 + 4 * 4, 4), test::Le32(0)) << "the missing lane has no time";

  auto again = run({"post", "--no-print"});
  EXPECT_EQ(again.out, "確定するレースはありません。\n") << "nothing posted: no race to show";

  // A printer that cannot print: the race is posted and stays "7", the
  // document is listed and the command fails.
  ASSERT_EQ(run({"timing", "finish", "2", "--seed", "4"}).rc, 0);
  const std::string target = "pdf:" + (meet.dir / "kijun.dat" / "pdf").string();
  auto refused = Meetctl({"--meet", meet.dir.str(), "--print", target, "post"});
  EXPECT_EQ(refused.rc, 1);
  EXPECT_EQ(meet.StateBytes().substr(0, 2), "87");
  EXPECT_NE(refused.out.find("確定 レース 2 → 7\n印刷失敗 印刷できませんでした（プリンター " + target +
                             "）: 競技結果 レース 2（フォルダー "),
            std::string::npos)
      << refused.out;
  EXPECT_NE(refused.out.find("注意 レース 2 は状態 7 のままです（印刷し直せます）。\n"), std::string::npos);
  EXPECT_EQ(refused.err, "meetctl: 1 件の印刷物を印刷できませんでした（上の「印刷失敗」の行）。\n");
}

}  // namespace
}  // namespace meet
