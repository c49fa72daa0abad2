#include "print/frm_mk_page_screen.h"

#include <gtest/gtest.h>

#include "print/pages_test_bytes.h"
#include "print/program_pages.h"

namespace meet {
namespace {

using test::PageHeader;
using test::PageRecord;
using test::RawRace;

struct ScreenMeet {
  test::TempDir dir;
  test::FakePlatform fake;
  Settings settings;

  ScreenMeet() {
    settings.classMode = "0";
    settings.entryFolder = dir.str();
    settings.entryFileName = "ind.Mos";
    settings.meetAbbrev = "市民大会";
    std::vector<RawRace> races;
    for (int n = 1; n <= 12; ++n) races.push_back(RawRace{.eventNo = n, .heatNo = 1, .eventCode = 3});
    test::WriteFile(dir / "taikai.dat", test::RaceFileBytes(races));
  }
  // Pages p = 1..n holding race p in slot 1, each with its own mark and filler.
  void WritePages(int n, int beyond = 0) {
    std::string bytes = PageHeader(n, 1, 'h', 'u');
    for (int p = 1; p <= n + beyond; ++p) bytes += PageRecord(1, {p}, static_cast<char>('a' + p), static_cast<char>('A' + p));
    test::WriteFile(dir / "hpro.dat", bytes);
  }
  std::string Bytes() const { return test::ReadFile(dir / "hpro.dat"); }
  std::string Record(int recordNo) const { return Bytes().substr(static_cast<size_t>(recordNo - 1) * 128, 128); }
  PageFile Pages() const { return PageFile::FromBytes("hpro.dat", Bytes()); }
  FrmMkPageScreen Open() {
    FrmMkPageScreen screen(dir.path(), settings, fake.platform);
    auto ok = screen.Open();
    EXPECT_TRUE(ok) << (ok ? "" : ok.error().message);
    return screen;
  }
};

TEST(FrmMkPageScreen, OpensOnPageOneWithTheList) {
  ScreenMeet meet;
  meet.WritePages(3);
  FrmMkPageScreen screen = meet.Open();
  EXPECT_EQ(screen.pageCount(), 3);
  EXPECT_EQ(screen.page(), 1);
  EXPECT_EQ(screen.selectedLine(), 0);
  EXPECT_EQ(screen.txtPage(), "1 / 3");
  EXPECT_EQ(screen.txtRace(), (std::array<std::string, 9>{"1", "1", "0", "0", "0", "0", "0", "0", "0"}));
  ASSERT_EQ(screen.lines().size(), 3u);
  EXPECT_EQ(screen.lines()[1], "  2   2 予選  1組 男子 100m自由形");
  ASSERT_TRUE(screen.SelectLine(2));
  EXPECT_EQ(screen.txtPage(), "3 / 3");
  EXPECT_EQ(screen.txtRace()[1], "3");
}

TEST(FrmMkPageScreen, NoPagesShowsNothingAndRefusesEditing) {
  ScreenMeet meet;
  FrmMkPageScreen screen = meet.Open();  // no hpro.dat
  EXPECT_EQ(screen.txtPage(), "0 / 0");
  EXPECT_EQ(screen.selectedLine(), -1);
  EXPECT_TRUE(screen.lines().empty());
  screen.txtRace()[1] = "5";
  EXPECT_FALSE(screen.RaceEnter(1, 1));
  auto deleted = screen.Sakujo();
  ASSERT_FALSE(deleted);
  EXPECT_EQ(deleted.error().message, "削除するページがありません。");
  EXPECT_FALSE(screen.Insatu());
  EXPECT_TRUE(meet.fake.printer.items.empty());
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "hpro.dat"));
}

TEST(FrmMkPageScreen, RefusesAPageOutsideTheFile) {
  ScreenMeet meet;
  meet.WritePages(2, 1);  // a third page record beyond the count
  FrmMkPageScreen screen = meet.Open();
  for (int p : {0, -1, 3, 40000}) EXPECT_FALSE(screen.ShowPage(p)) << p;
  EXPECT_FALSE(screen.SelectLine(5));
  EXPECT_EQ(screen.page(), 1);
  EXPECT_EQ(screen.txtRace()[1], "1");
}

TEST(FrmMkPageScreen, EnterTakesTheTextBeforeTheCaretAndRewritesThePage) {
  ScreenMeet meet;
  meet.WritePages(3);
  const std::string before = meet.Bytes();
  FrmMkPageScreen screen = meet.Open();
  ASSERT_TRUE(screen.ShowPage(2));
  screen.txtRace()[3] = "1234";
  screen.txtRace()[6] = "9x";  // typed without Enter: read back with the others
  auto next = screen.RaceEnter(3, 2);
  ASSERT_TRUE(next) << next.error().message;
  EXPECT_EQ(*next, 4);
  EXPECT_EQ(screen.txtRace(), (std::array<std::string, 9>{"3", "2", "0", "12", "0", "0", "9", "0", "0"}));
  // Only page 2's slots changed; its mark and filler and the header stay.
  std::string expected = before;
  expected.replace(11 * 128, 128, PageRecord(3, {2, 0, 12, 0, 0, 9, 0, 0}, 'c', 'C'));
  EXPECT_EQ(meet.Bytes(), expected);
  EXPECT_EQ(screen.lines()[1], "  2   2 予選  1組 男子 100m自由形");
}

TEST(FrmMkPageScreen, EnterMovesOnButNotPastTheLastBox) {
  ScreenMeet meet;
  meet.WritePages(1);
  FrmMkPageScreen screen = meet.Open();
  screen.txtRace()[1] = "7";
  EXPECT_EQ(*screen.RaceEnter(1, 1), 2);
  EXPECT_EQ(screen.lines()[0], "  1   7 予選  1組 男子 100m自由形");
  screen.txtRace()[8] = "11";
  EXPECT_EQ(*screen.RaceEnter(8, 2), 8);
  EXPECT_EQ(meet.Pages().Read(1).pageRace, (std::array<int16_t, 8>{7, 0, 0, 0, 0, 0, 0, 11}));
  EXPECT_EQ(meet.Pages().Read(1).slotCount, 2);
  EXPECT_EQ(screen.txtRace()[0], "2");
  // Text that is no number reads as 0 and empties the slot.
  screen.txtRace()[1] = "abc";
  ASSERT_TRUE(screen.RaceEnter(1, 3));
  EXPECT_EQ(meet.Pages().Read(1).slotCount, 1);
  EXPECT_EQ(screen.lines()[0], "  1 ");
  EXPECT_FALSE(screen.RaceEnter(0, 0));
  EXPECT_FALSE(screen.RaceEnter(9, 0));
}

TEST(FrmMkPageScreen, EnterRefusesRaceNumbersOutsideTheRaceRange) {
  ScreenMeet meet;
  meet.WritePages(1);
  const std::string before = meet.Bytes();
  FrmMkPageScreen screen = meet.Open();
  for (const char* typed : {"32758", "-1", "99999999999", "70000"}) {
    screen.txtRace()[2] = typed;
    auto refused = screen.RaceEnter(2, 20);
    ASSERT_FALSE(refused) << typed;
    EXPECT_NE(refused.error().message.find("0～32757"), std::string::npos);
    EXPECT_EQ(meet.Bytes(), before) << typed;
  }
  screen.txtRace()[2] = "0";
  screen.txtRace()[5] = "40000";  // another box out of range also stops the write
  EXPECT_FALSE(screen.RaceEnter(2, 1));
  EXPECT_EQ(meet.Bytes(), before);
  screen.txtRace()[5] = "32757";
  ASSERT_TRUE(screen.RaceEnter(2, 1));
  EXPECT_EQ(meet.Pages().Read(1).pageRace[4], 32757);
}

TEST(BoxAfterKey, MovesWithinTheTwoColumns) {
  struct Case {
    int from;
    BoxKey key;
    int to;
  };
  for (Case c : {Case{1, BoxKey::Up, 1}, Case{2, BoxKey::Up, 1}, Case{5, BoxKey::Up, 4}, Case{8, BoxKey::Down, 8},
                 Case{4, BoxKey::Down, 5}, Case{1, BoxKey::Down, 2}, Case{5, BoxKey::Left, 1}, Case{8, BoxKey::Left, 4},
                 Case{4, BoxKey::Left, 4}, Case{1, BoxKey::Right, 5}, Case{4, BoxKey::Right, 8},
                 Case{5, BoxKey::Right, 5}, Case{0, BoxKey::Down, 0}, Case{9, BoxKey::Up, 9}})
    EXPECT_EQ(BoxAfterKey(c.from, c.key), c.to) << c.from;
}

TEST(FrmMkPageScreen, InsertBeforePageOneShiftsEveryPage) {
  ScreenMeet meet;
  meet.WritePages(3);
  const std::string before = meet.Bytes();
  FrmMkPageScreen screen = meet.Open();
  ASSERT_TRUE(screen.Sohnyu());
  EXPECT_EQ(screen.pageCount(), 4);
  EXPECT_EQ(screen.txtPage(), "1 / 4");
  EXPECT_EQ(screen.txtRace()[1], "0");
  EXPECT_EQ(meet.Record(1), test::Le16(4) + test::Le16(0) + std::string(124, 'h'));
  EXPECT_EQ(meet.Record(11), PageRecord(0, {}));
  for (int p = 1; p <= 3; ++p) EXPECT_EQ(meet.Record(p + 11), before.substr(static_cast<size_t>(p + 9) * 128, 128)) << p;
  EXPECT_EQ(screen.lines()[0], "  1 ");
  EXPECT_EQ(screen.lines()[1], "  2   1 予選  1組 男子 100m自由形");
}

TEST(FrmMkPageScreen, InsertInTheMiddleAndAtTheEnd) {
  ScreenMeet meet;
  meet.WritePages(3);
  FrmMkPageScreen screen = meet.Open();
  ASSERT_TRUE(screen.ShowPage(3));
  ASSERT_TRUE(screen.Sohnyu());
  ASSERT_TRUE(screen.SohnyuAt(5));
  EXPECT_FALSE(screen.SohnyuAt(7));
  EXPECT_FALSE(screen.SohnyuAt(0));
  PageFile pages = meet.Pages();
  ASSERT_EQ(pages.pageCount(), 5);
  std::vector<int> first;
  for (int p = 1; p <= 5; ++p) first.push_back(pages.Read(p).pageRace[0]);
  EXPECT_EQ(first, (std::vector<int>{1, 2, 0, 3, 0}));
}

TEST(FrmMkPageScreen, InsertStopsAtTheLastPageNumber) {
  ScreenMeet meet;
  test::WriteFile(meet.dir / "hpro.dat", PageHeader(32757) + std::string(32757u * 128, '\0'));
  FrmMkPageScreen screen = meet.Open();
  ASSERT_EQ(screen.pageCount(), 32757);
  const uint64_t size = std::filesystem::file_size(meet.dir / "hpro.dat");
  auto refused = screen.Sohnyu();
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("32757"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(meet.dir / "hpro.dat"), size);
  EXPECT_EQ(meet.Pages().storedPageCount(), 32757);
}

TEST(FrmMkPageScreen, DeleteMovesTheLaterPagesDownAndKeepsTheLastRecord) {
  ScreenMeet meet;
  meet.WritePages(3);
  const std::string before = meet.Bytes();
  FrmMkPageScreen screen = meet.Open();
  ASSERT_TRUE(screen.ShowPage(2));
  ASSERT_TRUE(screen.Sakujo());
  EXPECT_EQ(screen.txtPage(), "2 / 2");
  EXPECT_EQ(screen.txtRace()[1], "3");
  std::string expected = before;
  expected.replace(0, 4, test::Le16(2) + test::Le16(0));
  expected.replace(11 * 128, 128, before.substr(12 * 128, 128));
  EXPECT_EQ(meet.Bytes(), expected);  // old page 3 stays beyond the count
}

TEST(FrmMkPageScreen, DeletingTheLastPageShowsThePageBefore) {
  ScreenMeet meet;
  meet.WritePages(2);
  FrmMkPageScreen screen = meet.Open();
  ASSERT_TRUE(screen.ShowPage(2));
  ASSERT_TRUE(screen.Sakujo());
  EXPECT_EQ(screen.txtPage(), "1 / 1");
  ASSERT_TRUE(screen.Sakujo());
  EXPECT_EQ(screen.txtPage(), "0 / 0");
  EXPECT_EQ(screen.txtRace()[1], "");
  EXPECT_FALSE(screen.Sakujo());
  EXPECT_EQ(meet.Pages().storedPageCount(), 0);
  ASSERT_TRUE(screen.Sohnyu());  // an empty meet gets its first page by inserting
  EXPECT_EQ(screen.txtPage(), "1 / 1");
}

TEST(FrmMkPageScreen, PrintsTheListUnderAHeadingAndEndsTheDocument) {
  ScreenMeet meet;
  std::string bytes = PageHeader(65);
  for (int p = 1; p <= 65; ++p) bytes += PageRecord(1, {1});
  test::WriteFile(meet.dir / "hpro.dat", bytes);
  FrmMkPageScreen screen = meet.Open();
  auto printed = screen.Insatu();
  ASSERT_TRUE(printed);
  EXPECT_EQ(*printed, 65);
  const auto& items = meet.fake.printer.items;
  ASSERT_EQ(items.size(), 65u + 2u);
  EXPECT_EQ(items[0].text, "市民大会  ページ一覧");
  EXPECT_EQ(items[0].font, kGothic);
  EXPECT_EQ(items[1].text, screen.lines()[0]);
  EXPECT_EQ(items[1].page, 1);
  EXPECT_LT(items[0].y, items[1].y);
  EXPECT_EQ(items[61].page, 2);
  EXPECT_EQ(items[61].text, "市民大会  ページ一覧");
  EXPECT_EQ(items[62].text, screen.lines()[60]);
  EXPECT_EQ(items[62].y, items[1].y);
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
}

TEST(FrmMkPageScreen, SurvivesTruncatedAndGarbagePageFiles) {
  std::string garbage;
  for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 131 + 7) & 0xFF);
  for (size_t size : {0u, 3u, 10u, 11u, 130u, 1280u, 1300u, 1408u, 4000u}) {
    ScreenMeet meet;
    test::WriteFile(meet.dir / "hpro.dat", garbage.substr(0, size));
    FrmMkPageScreen screen = meet.Open();
    EXPECT_EQ(screen.lines().size(), static_cast<size_t>(screen.pageCount()));
    if (screen.pageCount() > 0) {
      EXPECT_TRUE(screen.ShowPage(screen.pageCount()));
      screen.txtRace()[1] = "4";
      EXPECT_TRUE(screen.RaceEnter(1, 1));
      EXPECT_TRUE(screen.Sakujo());
    }
    EXPECT_TRUE(screen.Sohnyu());
  }
}

}  // namespace
}  // namespace meet
