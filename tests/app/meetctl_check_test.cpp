// meetctl check over a meet our own commands made (seeded, timed, posted,
// tallied): nothing is found. Each fault planted by hand at its record's
// offset in a copy of that folder is one line naming the file and the record.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/meetctl_run.h"
#include "results/meet_check.h"
#include "support/test_support.h"

namespace meet {
namespace {

namespace fs = std::filesystem;

// Bytes written over a file at an offset.
void Poke(const fs::path& file, uint64_t offset, const std::string& bytes) {
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  ASSERT_TRUE(out) << file;
  out.seekp(static_cast<std::streamoff>(offset));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class MeetctlCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    good_ = new test::TempDir;
    const std::string ctl = (*good_ / "ctl" / "dr_kyo.ctl").string();
    fs::create_directories(*good_ / "meets");
    auto ok = [&](std::vector<std::string> args) {
      args.insert(args.begin(), {"--ctl", ctl, "--yes", "--print", "none"});
      CliRun run = Meetctl(args);
      ASSERT_EQ(run.rc, 0) << args[5] << ": " << run.err;
    };
    ok({"sample-entries", (*good_ / "t.Mos").string(), "--swimmers", "60"});
    ok({"new", (*good_ / "t.Mos").string(), (*good_ / "meets").string()});
    for (auto [name, value] : {std::pair{"laneCount", "8"}, {"laneCountUsed", "8"}, {"minEntrants", "1"},
                               {"classMode", "1"}, {"timingSystem", "1"}})
      ok({"settings", "set", name, value});
    ok({"program", "generate"});
    ok({"sample-standards"});
    ok({"seed"});
    ok({"timing", "finish", "--all-seeded"});
    ok({"post"});
    ok({"points", "tally"});
  }
  static void TearDownTestSuite() { delete good_; }

  static fs::path GoodMeet() { return *good_ / "meets" / "t"; }
  static inline test::TempDir* good_ = nullptr;
};

TEST_F(MeetctlCheck, AMeetOurCommandsMadeHasNothingToReport) {
  for (const char* file : {"taikai.dat", "Race.dat", "relay.dat", "hpro.dat", "shikaku.dat", "nyusho.dat", "biko.dat", "goal/G0001", "lap/R0001"})
    EXPECT_TRUE(fs::exists(GoodMeet() / file)) << file;
  CliRun run = Meetctl({"--meet", GoodMeet().string(), "check"});
  EXPECT_EQ(run.rc, 0);
  EXPECT_EQ(run.out, "点検: 問題は見つかりませんでした。\n");
}

TEST_F(MeetctlCheck, EachPlantedFaultIsFoundWithItsFileAndRecord) {
  // Race r at (r + 10 − 1) × 256 of taikai.dat; entry n at (n + 10 − 1) × 384.
  auto race = [](int r, int offset) { return static_cast<uint64_t>(r + 9) * 256 + offset; };
  const struct {
    const char* fault;
    std::function<void(const fs::path& meet, const fs::path& entry)> plant;
    const char* found;
  } rows[] = {
      {"race count beyond the file", [&](auto& m, auto&) { Poke(m / "taikai.dat", 0, test::Le16(30000)); },
       "taikai.dat ヘッダー: レース数 30000 に対し、ファイルには "},
      {"lane past the entries", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(1, 22 + 2 * 2), test::Le16(30000)); },
       "taikai.dat レース 1 第 3 レーン: 申込番号 30000 は申込ファイルの件数 "},
      {"alternate past the entries", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(2, 22 + 2 * 11), test::Le16(-4)); },
       "taikai.dat レース 2 補欠２: 申込番号 -4 は負の数です。"},
      {"relay link to a missing block", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(3, 20), test::Le16(999)); },
       "taikai.dat レース 3: リレーブロック 999 が relay.dat（"},
      {"no time code", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(1, 46), test::Le32(17500)); },
       "taikai.dat レース 1 第 1 レーン: 記録 17500 はタイムコードではありません。"},
      {"start time not CP932", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(2, 14), "\x81\x20"); },
       "taikai.dat レース 2: 開始時刻 に CP932 として読めないバイトがあります。"},
      {"race without a state", [&](auto& m, auto&) { fs::resize_file(m / "Race.dat", 2); },
       "Race.dat: taikai.dat のレース 3～"},
      {"unknown state", [&](auto& m, auto&) { Poke(m / "Race.dat", 0, "x"); },
       "Race.dat レース 1: 状態 \"x\" は 0・1・6・7・8 のどれでもありません。"},
      {"relay block of a missing race", [&](auto& m, auto&) { Poke(m / "relay.dat", 10 * 256 + 98, test::Le16(9999)); },
       "relay.dat ブロック 1: レース 9999 は taikai.dat（"},
      {"program entry of missing races",
       [&](auto& m, auto&) {
         Poke(m / "projun.dat", 10 * 64, test::Le16(1) + test::Le16(2));
         Poke(m / "projun.dat", 10 * 64 + 24, test::Le16(30000));
       },
       "projun.dat 項目 1（順 1）: レース 30000～30001 が taikai.dat（"},
      {"page slot of a missing race", [&](auto& m, auto&) { Poke(m / "hpro.dat", 10 * 128 + 2, test::Le16(9999)); },
       "hpro.dat ページ 1 枠 1: レース 9999 は taikai.dat（"},
      {"group key of another kind", [&](auto& m, auto&) { Poke(m / "shikaku.dat", 140 * 384, test::Le16(5)); },
       "shikaku.dat レコード 141: グループ番号 5 が同じ区分のレコードを指していません。"},
      {"entry name not CP932", [&](auto&, auto& e) { Poke(e, 10 * 384 + 25, "\x81\x20"); },
       "t.Mos 申込番号 1: 名前 に CP932 として読めないバイトがあります。"},
      {"entry time no time code", [&](auto&, auto& e) { Poke(e, 10 * 384 + 95 + 4 * 2, test::Le32(-1)); },
       "t.Mos 申込番号 1: 種目 3 の申込記録 -1 はタイムコードではありません。"},
      {"team count beyond the file", [&](auto& m, auto&) { Poke(m / "nyusho.dat", 0, test::Le16(32000)); },
       "nyusho.dat ヘッダー: チーム数 32000 に対し、ファイルには "},
      {"goal time no time code", [&](auto& m, auto&) { test::WriteFile(m / "goal" / "G0001", "1,17500\r\n"); },
       "goal/G0001 1 行目: 記録 17500 はタイムコードではありません。"},
      {"a pipe for the relay file",
       [&](auto& m, auto&) {
         fs::remove(m / "relay.dat");
         ::mkfifo((m / "relay.dat").c_str(), 0644);
       },
       "relay.dat: "},
      {"a sparse 4 GB state file", [&](auto& m, auto&) { fs::resize_file(m / "Race.dat", 4ull << 30); },
       "Race.dat: ファイルが 4294967296 バイトあり、この形式で使える 32768 バイトを超えています。"},
      {"no settings", [&](auto& m, auto&) { fs::remove(m / "kijun.dat"); }, "kijun.dat: ありません。"},
      // What corrections after posting can leave (races 1–2 the heats of event 1, race 3 its final).
      {"a swimmer twice in an event",
       [&](auto& m, auto&) { Poke(m / "taikai.dat", race(1, 24), test::ReadFile(m / "taikai.dat").substr(race(1, 22), 2)); },
       "taikai.dat 競技 1: 申込 "},
      {"heats not 1..n", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(2, 2), test::Le16(1)); },
       "taikai.dat 競技 1: 組番号と総組が、2 レース"},
      {"a program entry's heat count", [&](auto& m, auto&) { Poke(m / "projun.dat", 10 * 64 + 2, test::Le16(3)); },
       "projun.dat 項目 1（順 1）: 組数 3"},
      {"a race no program entry covers", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(3, 0), test::Le16(99)); },
       "taikai.dat レース 3: 競技 99 のこのレースは"},
      {"timed without a goal file",
       [&](auto& m, auto&) {
         fs::remove(m / "goal" / "G0001");
         Poke(m / "Race.dat", 0, "6");
       },
       "Race.dat レース 1: 状態 6 ですが、ゴールファイル G0001 がありません。"},
      {"a final that no longer agrees with its heats",
       [&](auto& m, auto&) {
         const std::string lanes = test::ReadFile(m / "taikai.dat").substr(race(3, 22 + 2 * 2), 4);
         Poke(m / "taikai.dat", race(3, 22 + 2 * 2), lanes.substr(2, 2) + lanes.substr(0, 2));
       },
       "taikai.dat レース 3: 次ラウンドの組分けが予選の結果と一致しません"},
      // Values that change places, points and records.
      {"a heat count no event has", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(1, 4), test::Le16(32767)); },
       "taikai.dat レース 1: 総組 32767 が 1～"},
      {"a level above the ladder", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(1, 166), test::Le16(15)); },
       "taikai.dat レース 1 第 1 レーン: 級（無） 15 が 0～14 の外です。"},
      {"an event code of no event", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(2, 11), test::Le16(45)); },
       "taikai.dat レース 2: 種目 45 が 1～44 の外です。"},
      {"a record class in the records list", [&](auto& m, auto&) { Poke(m / "biko.dat", 48 + 17, test::Le16(35)); },
       "biko.dat 記録 1: 記録区分 35 が 1～34 の外です。"},
      {"a category of no sex",
       [&](auto& m, auto&) {
         std::string bytes(64, '\0');
         bytes.replace(0, 2, test::Le16(1));
         bytes.replace(32, 9, std::string("9") + test::Le16(10) + test::Le16(8) + test::Le16(1) + test::Le16(22));
         test::WriteFile(m / "optkubun.dat", bytes);
       },
       "optkubun.dat 区分 1: 性別 \"9\" は 1234 のどれでもありません。"},
      {"an exhibition swim with a place", [&](auto& m, auto&) { Poke(m / "taikai.dat", race(1, 214), test::Le16(99)); },
       "taikai.dat レース 1 第 1 レーン: オープン（OP）の選手に順位"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fault);
    test::TempDir copy;
    fs::copy(GoodMeet(), copy / "t", fs::copy_options::recursive);
    fs::copy(*good_ / "t.Mos", copy / "t.Mos");
    row.plant(copy / "t", copy / "t.Mos");
    const MeetCheckReport report = CheckMeetFolder(copy / "t", copy / "t.Mos");
    EXPECT_EQ(report.findings, static_cast<int>(report.lines.size()));
    EXPECT_TRUE(std::any_of(report.lines.begin(), report.lines.end(),
                            [&](const std::string& line) { return line.starts_with(row.found); }))
        << (report.lines.empty() ? "nothing found" : report.lines[0]);
  }
}

TEST_F(MeetctlCheck, AFaultMakesTheVerbExitOneAndWritesNothing) {
  test::TempDir copy;
  fs::copy(GoodMeet(), copy / "t", fs::copy_options::recursive);
  Poke(copy / "t" / "hpro.dat", 0, test::Le16(30000));
  const std::string before = test::ReadFile(copy / "t" / "hpro.dat");
  CliRun run = Meetctl({"--meet", (copy / "t").string(), "check"});
  EXPECT_EQ(run.rc, 1);
  EXPECT_TRUE(run.out.starts_with("hpro.dat ヘッダー: ページ数 30000 に対し、")) << run.out;
  EXPECT_TRUE(run.out.ends_with("\n点検: 問題が 1 件見つかりました。\n")) << run.out;
  EXPECT_EQ(test::ReadFile(copy / "t" / "hpro.dat"), before);
}

}  // namespace
}  // namespace meet
