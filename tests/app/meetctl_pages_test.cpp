#include <gtest/gtest.h>

#include <sstream>

#include "app/meetctl_run.h"
#include "settings/settings.h"
#include "data/entry_file.h"
#include "print/hpro_file.h"
#include "print/pages_test_bytes.h"

namespace meet {
namespace {

using test::PageHeader;
using test::PageRecord;
using test::RawRace;

struct PagesFolder {
  test::TempDir dir;
  PagesFolder() {
    // A meet folder: kijun.dat holding the settings a folder without one reads as.
    Settings defaults;
    LoadSettings(dir.path(), defaults);
    EXPECT_TRUE(SaveSettings(dir.path(), defaults));
    std::vector<RawRace> races;
    for (int n = 1; n <= 6; ++n) races.push_back(RawRace{.eventNo = n, .heatNo = 1, .sex = "2", .eventCode = 14});
    test::WriteFile(dir / "taikai.dat", test::RaceFileBytes(races));
  }
  void WritePages(int n) {
    std::string bytes = PageHeader(n, 1);
    for (int p = 1; p <= n; ++p) bytes += PageRecord(1, {p});
    test::WriteFile(dir / "hpro.dat", bytes);
  }
  PageFile Pages() const { return PageFile::FromBytes("hpro.dat", test::ReadFile(dir / "hpro.dat")); }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", dir.str(), "pages"});
    return Meetctl(args);
  }
};

TEST(MeetctlPages, ListAndShow) {
  PagesFolder meet;
  meet.WritePages(2);
  auto list = meet.Run({"list"});
  ASSERT_EQ(list.rc, 0) << list.err;
  EXPECT_EQ(list.out, "  1   1 予選  1組 女子 100m平泳ぎ\n  2   2 予選  1組 女子 100m平泳ぎ\n");
  auto show = meet.Run({"show", "2"});
  ASSERT_EQ(show.rc, 0) << show.err;
  EXPECT_EQ(show.out, "ページ 2 / 2\nレース数 1\n1: 2\n2: 0\n3: 0\n4: 0\n5: 0\n6: 0\n7: 0\n8: 0\n");
  auto outside = meet.Run({"show", "3"});
  EXPECT_NE(outside.rc, 0);
  EXPECT_FALSE(outside.err.empty());
  EXPECT_NE(meet.Run({"show", "x"}).rc, 0);
}

TEST(MeetctlPages, SetTypesEachBoxAndPressesEnter) {
  PagesFolder meet;
  meet.WritePages(2);
  auto set = meet.Run({"set", "1", "4", "0", "5"});
  ASSERT_EQ(set.rc, 0) << set.err;
  EXPECT_NE(set.out.find("レース数 2\n1: 4\n2: 0\n3: 5\n"), std::string::npos);
  EXPECT_EQ(meet.Pages().Read(1).pageRace, (std::array<int16_t, 8>{4, 0, 5, 0, 0, 0, 0, 0}));
  const std::string before = test::ReadFile(meet.dir / "hpro.dat");
  auto refused = meet.Run({"set", "1", "40000"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_NE(refused.err.find("0～32757"), std::string::npos);
  EXPECT_EQ(test::ReadFile(meet.dir / "hpro.dat"), before);
  EXPECT_NE(meet.Run({"set", "1", "1", "2", "3", "4", "5", "6", "7", "8", "9"}).rc, 0);
  // Fewer races than slots: the later slots are emptied, not kept.
  ASSERT_EQ(meet.Run({"set", "2", "1", "2", "3", "4", "5", "6", "7", "8"}).rc, 0);
  ASSERT_EQ(meet.Run({"set", "2", "7"}).rc, 0);
  EXPECT_EQ(meet.Pages().Read(2).pageRace, (std::array<int16_t, 8>{7, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MeetctlPages, InsertAndDelete) {
  PagesFolder meet;
  meet.WritePages(2);
  ASSERT_EQ(meet.Run({"insert", "1"}).rc, 0);
  ASSERT_EQ(meet.Run({"insert", "4"}).rc, 0);  // after the last page
  EXPECT_NE(meet.Run({"insert", "6"}).rc, 0);
  PageFile pages = meet.Pages();
  ASSERT_EQ(pages.pageCount(), 4);
  EXPECT_EQ(pages.pagePattern(), 0);
  EXPECT_EQ(pages.Read(2).pageRace[0], 1);
  auto deleted = meet.Run({"delete", "1"});
  ASSERT_EQ(deleted.rc, 0) << deleted.err;
  EXPECT_NE(deleted.out.find("全 3 ページ"), std::string::npos);
  EXPECT_EQ(meet.Pages().Read(1).pageRace[0], 1);
  EXPECT_NE(meet.Run({"delete", "4"}).rc, 0);
}

TEST(MeetctlPages, DeleteWithoutPagesFails) {
  PagesFolder meet;
  auto refused = meet.Run({"delete", "1"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "hpro.dat"));
}

TEST(MeetctlPages, BuildUsesTheEntryFilesRelayFlags) {
  PagesFolder meet;
  std::vector<RawRace> races;
  for (int h = 1; h <= 4; ++h) races.push_back(RawRace{.eventNo = 1, .heatNo = h, .eventCode = 31});
  test::WriteFile(meet.dir / "taikai.dat", test::RaceFileBytes(races));
  // Entry file record 1 (header), record 2 with event 31 flagged as a relay at offset 360 + 1.
  std::string events(384, ' ');
  events.replace(360, 15, "010000000000000");
  test::WriteFile(meet.dir / "ind.Mos", test::Le32(0) + std::string(380, '\0') + events);
  test::WriteFile(meet.dir / "dr_kyo.ctl", "/\r\n" + meet.dir.path().string() + ",/\r\n" + meet.dir.path().string() +
                                              ",ind.Mos\r\n");
  auto built = Meetctl({"--ctl", (meet.dir / "dr_kyo.ctl").string(), "--meet", meet.dir.str(), "pages", "build"});
  ASSERT_EQ(built.rc, 0) << built.err;
  EXPECT_NE(built.out.find("2 ページ"), std::string::npos);
  EXPECT_EQ(meet.Pages().Read(1).slotCount, 3);
  auto pattern = meet.Run({"build", "--pattern", "1"});
  ASSERT_EQ(pattern.rc, 0) << pattern.err;
  EXPECT_EQ(meet.Pages().pagePattern(), 1);
  EXPECT_NE(meet.Run({"build", "--pattern", "2"}).rc, 0);
}

TEST(MeetctlPages, PrintGoesToThePrintTarget) {
  PagesFolder meet;
  meet.WritePages(3);
  const std::string jsonl = (meet.dir / "print.jsonl").string();
  auto printed = Meetctl({"--meet", meet.dir.str(), "--print", "jsonl:" + jsonl, "pages", "print"});
  ASSERT_EQ(printed.rc, 0) << printed.err;
  EXPECT_NE(printed.out.find("3 行"), std::string::npos);
  const std::string out = test::ReadFile(jsonl);
  EXPECT_NE(out.find("ページ一覧"), std::string::npos);
  EXPECT_NE(out.find("  3   3 予選  1組 女子 100m平泳ぎ"), std::string::npos);
}

}  // namespace
}  // namespace meet
