#include <gtest/gtest.h>

#include "app/meetctl_run.h"
#include "program/program_test_util.h"
#include "race/kyogi_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

using test::HandRace;

// A relay race (lanes 1 and 2) and an individual race, 8 lanes.
struct ToolsMeet {
  test::KyogiMeet meet;
  ToolsMeet() {
    meet.settings.laneCount = 8;
    EXPECT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
    meet.Entries({{"", "山田太郎", "", "", "ＡＢＣ", "", 12}, {"", "鈴木一郎", "", "", "ＸＹＺ", "", 11}});
    HandRace relay;
    relay.eventCode = 26;
    relay.relayRec = 1;
    relay.laneNo = {1, 2};
    HandRace swim;
    swim.eventNo = 2;
    swim.laneNo = {1, 2};
    meet.Races({relay, swim});
    test::HandBlock b;
    b.raceNo = 1;
    meet.Relays({b});
    meet.States("11");
    test::RawEntry relayEvent, swimEvent;
    relayEvent.heatCount = swimEvent.heatCount = 1;
    relayEvent.firstRace = 1;
    swimEvent.orderNo = swimEvent.firstRace = 2;
    test::WriteFile(meet.dir / "projun.dat",
                    test::HeaderAndUnused(2) + test::EntryRecord(relayEvent) + test::EntryRecord(swimEvent));
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", meet.dir.str()});
    return Meetctl(args);
  }
};

TEST(MeetctlRelayOrder, StoresAndListsTheLegsAndRefusesAnIndividualRace) {
  ToolsMeet m;
  EXPECT_NE(m.Run({"relay", "order", "1", "2", "1", "2", "0", "9"}).rc, 0) << "no entry 9 in the entry file";
  CliRun stored = m.Run({"relay", "order", "1", "2", "1", "2", "0", "2"});
  ASSERT_EQ(stored.rc, 0) << stored.err;
  // Stored as typed, with warnings for the member of another club and the one named twice.
  EXPECT_EQ(stored.out, "lane 2 | ＸＹＺ | 1 山田太郎 | 2 鈴木一郎 | 0  | 2 鈴木一郎\n"
                        "注意: コース 2: 1泳者 1 山田太郎 の所属は ＡＢＣ です（チームは ＸＹＺ）。\n"
                        "注意: コース 2: 2泳者と4泳者 2 鈴木一郎 が同じ選手です。\n");
  CliRun listed = m.Run({"relay", "order", "1"});
  ASSERT_EQ(listed.rc, 0) << listed.err;
  EXPECT_NE(listed.out.find("lane 2 | ＸＹＺ | 1 山田太郎"), std::string::npos);
  EXPECT_NE(listed.out.find("lane 8 |"), std::string::npos);
  EXPECT_NE(m.Run({"relay", "order", "2"}).rc, 0);
  EXPECT_NE(m.Run({"relay", "order", "1", "9", "1", "2", "3", "4"}).rc, 0);  // lane past the pool
}

TEST(MeetctlRaceMove, AsksAndMovesOnlyWithYes) {
  ToolsMeet m;
  const std::string before = m.meet.RaceBytes();
  EXPECT_NE(m.Run({"race", "move", "2", "2"}).rc, 0);
  EXPECT_EQ(m.meet.RaceBytes(), before);
  CliRun moved = m.Run({"--yes", "race", "move", "2", "2"});
  ASSERT_EQ(moved.rc, 0) << moved.err;
  EXPECT_EQ(m.meet.RaceField(2, 22, 2), test::Le16(0));
  EXPECT_EQ(m.meet.RaceField(2, 26, 2), test::Le16(1));
  CliRun overflow = m.Run({"--yes", "race", "move", "2", "6"});
  EXPECT_NE(overflow.rc, 0);
  EXPECT_NE(overflow.err.find("コースよりあふれる為、移動できません。"), std::string::npos);

  m.meet.States("17");  // confirmed: refused in one line, without the question
  const std::string moved2 = m.meet.RaceBytes();
  CliRun confirmed = m.Run({"--yes", "race", "move", "2", "-2"});
  EXPECT_EQ(confirmed.rc, 1);
  EXPECT_EQ(confirmed.err, "meetctl: 確定済みのレースはコース移動できません。\n");
  EXPECT_EQ(m.meet.RaceBytes(), moved2);
}

TEST(MeetctlRaceTitle, NamedFieldsChangeAndAnInsertionSaysWhatMoved) {
  ToolsMeet m;
  const std::string before = m.meet.RaceBytes();
  CliRun refused = m.Run({"race", "title", "2", "eventNo=5", "--insert", "heat"});
  EXPECT_EQ(refused.rc, 1);
  EXPECT_EQ(refused.err, "meetctl: 組の挿入では、番号を挿入する位置のレース 2 と同じ 2 にしてください。\n");
  EXPECT_EQ(m.meet.RaceBytes(), before);

  // An insertion asks first: without --yes nothing moves.
  CliRun unanswered = m.Run({"race", "title", "2", "heatNo=3", "--insert", "heat"});
  EXPECT_EQ(unanswered.rc, 1);
  EXPECT_TRUE(unanswered.err.ends_with("meetctl: 挿入しませんでした（挿入する場合は --yes）。\n")) << unanswered.err;
  EXPECT_EQ(m.meet.RaceBytes(), before);

  CliRun changed = m.Run({"--yes", "race", "title", "2", "heatNo=3", "startTime=101500", "--insert", "heat"});
  ASSERT_EQ(changed.rc, 0) << changed.err;
  EXPECT_EQ(changed.out.substr(0, changed.out.find("eventNo=")),
            "レース 2 に 2 番の組を挿入しました（全 3 レース）。\n"
            "元のレース 2 をレース 3 へ移しました（Race.dat の状態 1 か所、ページの枠 0、リレーのブロック 0、競技順 0 件、計時ファイル 0 件）。\n"
            "2 番をレース 2～3 の 1～2 組（2 組）に振り直し（組の変わったレース 1）、競技順の 2 番を 2 組にしました。\n"
            "レース 2 はまだどのページにも載っていません（「ページ調整」か meetctl pages set P R… で載せます）。\n"
            "元のファイルは backup/ に控えました。\n");
  EXPECT_NE(changed.out.find("heatNo=1\nstartTime=101500\n"), std::string::npos);  // heats are numbered again
  EXPECT_NE(changed.out.find("eventNo=2\n"), std::string::npos);  // not named: kept
  EXPECT_EQ(m.meet.RaceBytes().substr(0, 2), test::Le16(3));
  EXPECT_EQ(m.meet.StateBytes().substr(0, 3), "111");
  EXPECT_EQ(m.Run({"race", "title", "2", "colour=red"}).rc, 2);
  // A time of day is read right-aligned and stored as the program editor stores it.
  CliRun timed = m.Run({"race", "title", "1", "startTime=93000"});
  ASSERT_EQ(timed.rc, 0) << timed.err;
  EXPECT_EQ(m.meet.RaceField(1, 14, 6), " 93000");
  const std::string timedBytes = m.meet.RaceBytes();
  CliRun late = m.Run({"race", "title", "1", "startTime=25:99:00"});
  EXPECT_EQ(late.rc, 1);
  EXPECT_NE(late.err.find("25:99:00 は時刻ではありません"), std::string::npos) << late.err;
  EXPECT_EQ(m.meet.RaceBytes(), timedBytes);
  EXPECT_EQ(m.Run({"race", "title", "2", "--insert", "page"}).rc, 2);
  EXPECT_NE(m.Run({"race", "title", "9"}).rc, 0);
}

TEST(MeetctlCategories, PresetAddSetDeleteAndList) {
  ToolsMeet m;
  ASSERT_EQ(m.Run({"categories", "preset", "1"}).rc, 0);  // nothing on file: no question
  CliRun added = m.Run({"categories", "add", "catSex=2", "catFrom=0", "catTo=9", "catEventFrom=1", "catEventTo=29",
                        "catName=幼児", "catTitleOnly=T"});
  ASSERT_EQ(added.rc, 0) << added.err;
  EXPECT_NE(added.out.find("1: 2T |   0  ->    9 |   1  ->  29 | 幼児\n"), std::string::npos);
  // set names only the fields it changes.
  ASSERT_EQ(m.Run({"categories", "set", "2", "catSex=4", "catTo=10", "catEventTo=22", "catName=十歳以下"}).rc, 0);
  CliRun deleted = m.Run({"categories", "delete", "1"});
  ASSERT_EQ(deleted.rc, 0) << deleted.err;
  EXPECT_NE(deleted.out.find("1: 4  |   1  ->   10 |   1  ->  22 | 十歳以下\n"), std::string::npos);
  EXPECT_NE(deleted.out.find("lblKazu=0 / 4"), std::string::npos);
  EXPECT_NE(m.Run({"categories", "delete", "9"}).rc, 0);
  EXPECT_EQ(m.Run({"categories", "preset", "3"}).rc, 2);

  // A preset over categories on file asks; without --yes it writes nothing.
  const std::string before = test::ReadFile(m.meet.dir / "optkubun.dat");
  CliRun asked = m.Run({"categories", "preset", "2"});
  EXPECT_EQ(asked.rc, 1);
  EXPECT_NE(asked.err.find("「マスターズ」の区分 50 件で、今の区分 4 件を置き換えます。"), std::string::npos) << asked.err;
  EXPECT_EQ(test::ReadFile(m.meet.dir / "optkubun.dat"), before);
  CliRun replaced = m.Run({"--yes", "categories", "preset", "2"});
  ASSERT_EQ(replaced.rc, 0) << replaced.err;
  EXPECT_NE(replaced.out.find("50: 4  | 100  ->  100 |   1  ->  29 | \n"), std::string::npos);
}

}  // namespace
}  // namespace meet
