#include <gtest/gtest.h>

#include <sstream>

#include "app/meetctl_run.h"
#include "race/kyogi_fixture.h"
#include "settings/settings.h"

namespace meet {
namespace {

using test::HandRace;
using test::Le16;
using test::Le32;

// Race 1: 50m自由形 予選 with swimmers in lanes 1–4; race 2: a 4 × 100m relay
// (event 26) with block 1 of relay.dat.
struct ConfirmCliMeet {
  test::KyogiMeet meet;
  ConfirmCliMeet(int copies = 0) {
    meet.settings.printCopies[4] = static_cast<int16_t>(copies);
    EXPECT_TRUE(SaveSettings(meet.dir.path(), meet.settings));
    meet.Entries({{"", "山田太郎", "", "", "ＡＢＣ", "31", 16},
                  {"", "鈴木一郎", "", "", "ＸＹＺ", "32", 17},
                  {"", "佐藤次郎", "", "", "ＡＢＣ", "31", 16},
                  {"", "田中三郎", "", "", "ＸＹＺ", "33", 18}});
    HandRace a;
    a.eventNo = 5;
    a.laneNo = {1, 2, 3, 4};
    HandRace relay;
    relay.eventNo = 6;
    relay.eventCode = 26;
    relay.relayRec = 1;
    relay.laneNo = {0, 1, 2};
    meet.Races({a, relay});
    test::HandBlock block;
    block.raceNo = 2;
    meet.Relays({block});
    meet.States("11");
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", meet.dir.str(), "--print", "jsonl:" + (meet.dir / "print.jsonl").string(), "race"});
    return Meetctl(args);
  }
  std::string TimeBytes(int race, int slot) const { return meet.RaceField(race, 46 + 4 * static_cast<size_t>(slot), 4); }
  std::string RankBytes(int race, int slot) const { return meet.RaceField(race, 142 + 2 * static_cast<size_t>(slot), 2); }
  std::vector<std::string> Printed() const {
    std::vector<std::string> lines;
    std::istringstream in(test::ReadFile(meet.dir / "print.jsonl"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

size_t Count(const std::vector<std::string>& lines, const std::string& part) {
  size_t n = 0;
  for (const std::string& l : lines)
    if (l.find(part) != std::string::npos) ++n;
  return n;
}

TEST(MeetctlConfirm, NoRowsWithdrawsEverySwimmerOnlyWithYes) {
  ConfirmCliMeet m;
  const std::string before = m.meet.RaceBytes();
  auto refused = m.Run({"confirm", "1", "--rows", ""});
  EXPECT_NE(refused.rc, 0);
  EXPECT_NE(refused.err.find("全員が棄権"), std::string::npos) << refused.err;
  EXPECT_EQ(m.meet.RaceBytes(), before);
  auto run = m.Run({"--yes", "confirm", "1", "--rows", ""});
  ASSERT_EQ(run.rc, 0) << run.err;
  for (int slot = 0; slot < 4; ++slot) {
    EXPECT_EQ(m.TimeBytes(1, slot), Le32(888888)) << slot;
    EXPECT_EQ(m.RankBytes(1, slot), Le16(0)) << slot;
  }
  EXPECT_EQ(m.TimeBytes(1, 4), Le32(0));
  EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "71");
  EXPECT_NE(run.out.find("lane=1 no=1 time=888888 (棄権) rank=0"), std::string::npos);
  EXPECT_NE(run.out.find("state=7\n"), std::string::npos);
  EXPECT_NE(run.out.find("notices=0\n"), std::string::npos);
}

TEST(MeetctlConfirm, RowsArePlacedAndNoticesPrintedForEachCopy) {
  ConfirmCliMeet m(3);
  // 男子 50m自由形 (cell 1): the 日本 record 25.50.
  test::WriteFile(m.meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{151, 1, 2550}}));
  auto run = m.Run({"confirm", "1", "--rows", "3 2500,1 2600, 2 2600 ,4 2"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(m.TimeBytes(1, 2), Le32(2500));
  EXPECT_EQ(m.RankBytes(1, 2), Le16(1));
  EXPECT_EQ(m.RankBytes(1, 0), Le16(2));
  EXPECT_EQ(m.RankBytes(1, 1), Le16(2));
  EXPECT_EQ(m.TimeBytes(1, 3), Le32(700002));
  EXPECT_EQ(m.RankBytes(1, 3), Le16(0));
  EXPECT_EQ(m.meet.RaceField(1, 214 + 4, 2), Le16(11));
  EXPECT_NE(run.out.find("class=11 (日本)"), std::string::npos);
  EXPECT_NE(run.out.find("notices=3\n"), std::string::npos);
  auto printed = m.Printed();
  EXPECT_EQ(Count(printed, "3ｺｰｽ 佐藤次郎"), 3u);
  EXPECT_EQ(Count(printed, "\"x\":1000,\"y\":500"), 1u);
  EXPECT_EQ(Count(printed, "\"size\":13"), printed.size());
}

// Notices the printer cannot print: the results are stored and the race is
// "7", and the command fails naming the printer and the document.
TEST(MeetctlConfirm, NoticesThatCannotBePrintedFailAfterTheResultsAreStored) {
  ConfirmCliMeet m(1);
  test::WriteFile(m.meet.dir / "shikaku.dat", test::ShikakuBytes(570, {{151, 1, 2550}}));
  const std::string target = "pdf:" + (m.meet.dir / "kijun.dat" / "pdf").string();
  auto run = Meetctl({"--meet", m.meet.dir.str(), "--print", target, "race", "confirm", "1", "--rows", "3 2500"});
  EXPECT_EQ(run.rc, 1);
  EXPECT_EQ(m.TimeBytes(1, 2), Le32(2500));
  EXPECT_NE(run.out.find("state=7\n"), std::string::npos);
  EXPECT_EQ(run.err.rfind("meetctl: 印刷できませんでした（プリンター " + target + "）: 記録の通知 レース 1（", 0), 0u)
      << run.err;
  EXPECT_TRUE(run.err.ends_with("meetctl: 結果は保存しました（印刷できなかったものは上のとおりです）。\n")) << run.err;
}

TEST(MeetctlConfirm, AWrongOrderNeedsYes) {
  ConfirmCliMeet m;
  const std::string before = m.meet.RaceBytes();
  auto refused = m.Run({"confirm", "1", "--rows", "1 2600,2 2500"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_NE(refused.err.find("記録の並びが不正です。"), std::string::npos);
  EXPECT_EQ(m.meet.RaceBytes(), before);
  EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "11");
  auto no = m.Run({"--no", "confirm", "1", "--rows", "1 2600,2 2500"});
  EXPECT_NE(no.rc, 0);
  EXPECT_EQ(m.meet.RaceBytes(), before);
  auto yes = m.Run({"confirm", "1", "--rows", "1 2600,2 2500", "--yes"});
  ASSERT_EQ(yes.rc, 0) << yes.err;
  EXPECT_EQ(m.RankBytes(1, 1), Le16(1));
  EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "71");
}

TEST(MeetctlConfirm, BadRowsAreErrorsNamingTheRow) {
  ConfirmCliMeet m;
  const std::string before = m.meet.RaceBytes();
  struct Row { std::string rows; std::string says; };
  for (const Row& r : std::vector<Row>{{"1 2500,7 2600", "行 2"},
                                      {"11 2500", "行 1"},
                                      {"1 2500,2 1234567", "行 2"},
                                      {"1 -2500", "行 1"},
                                      {"1 2500,,2 2600", "行 2"},
                                      {"1 2 3", "行 1"},
                                      {"4", "行 1「4」: コース 4 の記録がありません"},
                                      {"1 2500,2", "行 2"},
                                      {"1,2,3,4,1,2,3,4,1,2,3", "10 行まで"},
                                      {"1 2500,2 6010", "行 2「2 6010」: 秒が 60 以上の記録は入力できません"},
                                      {"1 35.1", "行 1「1 35.1」: 記録 35.1 は読めません"},
                                      {"1 1:65.00", "記録 1:65.00 は読めません"}}) {
    auto run = m.Run({"confirm", "1", "--rows", r.rows});
    EXPECT_NE(run.rc, 0) << r.rows;
    EXPECT_NE(run.err.find(r.says), std::string::npos) << r.rows << ": " << run.err;
  }
  EXPECT_EQ(m.meet.RaceBytes(), before);
  EXPECT_NE(m.Run({"confirm", "3", "--rows", ""}).rc, 0);
  EXPECT_NE(m.Run({"confirm", "1"}).rc, 0);
  EXPECT_EQ(m.meet.RaceBytes(), before);
}

TEST(MeetctlConfirm, TimesWrittenWithSeparatorsAreReadAsThoseTimes) {
  ConfirmCliMeet m;
  auto run = m.Run({"--yes", "confirm", "1", "--rows", "3 35.12,1 1:05.23,2 1:05.24,4 8"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(m.TimeBytes(1, 2), Le32(3512));
  EXPECT_EQ(m.RankBytes(1, 2), Le16(1));
  EXPECT_EQ(m.TimeBytes(1, 0), Le32(10523));
  EXPECT_EQ(m.RankBytes(1, 0), Le16(2));
  EXPECT_EQ(m.TimeBytes(1, 1), Le32(10524));
  EXPECT_EQ(m.TimeBytes(1, 3), Le32(888888));  // plain 8 keeps its meaning: 棄権
}

TEST(MeetctlConfirm, SplitStoresTheRelaySplitsOnly) {
  ConfirmCliMeet m;
  const std::string races = m.meet.RaceBytes();
  auto run = m.Run({"confirm", "2", "--rows", "3 5512,2 5630", "--split"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(m.meet.RaceBytes(), races);
  EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "11");
  std::string relay = m.meet.RelayBytes();
  EXPECT_EQ(relay.substr(10 * 256 + 100, 12), Le32(0) + Le32(5630) + Le32(5512));
  EXPECT_NE(run.out.find("split.3=5512"), std::string::npos);
  // Without --split the relay's final order is stored.
  auto final = m.Run({"confirm", "2", "--rows", "3 40000,2 40100"});
  ASSERT_EQ(final.rc, 0) << final.err;
  EXPECT_EQ(m.TimeBytes(2, 2), Le32(40000));
  EXPECT_EQ(m.meet.StateBytes()[1], '7');
}

TEST(MeetctlConfirm, SplitOnARaceWithoutItsBlockIsRefused) {
  ConfirmCliMeet m;
  const std::string relay = m.meet.RelayBytes();
  auto run = m.Run({"confirm", "1", "--rows", "1 2500", "--split"});
  EXPECT_NE(run.rc, 0);
  EXPECT_NE(run.err.find("relay.dat"), std::string::npos);
  EXPECT_EQ(m.meet.RelayBytes(), relay);
}

TEST(MeetctlReset, NeedsYesAndLeavesTheRaceFile) {
  ConfirmCliMeet m;
  m.meet.States("87");
  const std::string races = m.meet.RaceBytes();
  auto refused = m.Run({"reset", "2"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_NE(refused.err.find("データを初期化します。"), std::string::npos);
  EXPECT_EQ(m.meet.StateBytes().substr(0, 2), "87");
  auto done = m.Run({"--yes", "reset", "2"});
  ASSERT_EQ(done.rc, 0) << done.err;
  EXPECT_EQ(done.out, "state=1\n");
  EXPECT_EQ(m.meet.StateBytes().substr(0, 3), "810");
  EXPECT_EQ(m.meet.RaceBytes(), races);
}

}  // namespace
}  // namespace meet
