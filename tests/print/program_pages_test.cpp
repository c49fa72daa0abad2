#include "print/program_pages.h"

#include <gtest/gtest.h>

#include "print/pages_test_bytes.h"

namespace meet {
namespace {

using test::Heats;
using test::RawRace;

constexpr std::array<char, 15> kNoFlags{};

struct PageMeet {
  test::TempDir dir;
  void WriteRaces(const std::vector<RawRace>& races, int count = -1) {
    test::WriteFile(dir / "taikai.dat", test::RaceFileBytes(races, count));
  }
  Status Build(PageBuildOptions options = {}, const std::array<char, 15>& flags = kNoFlags) {
    return BuildProgramPages(dir.path(), flags, options);
  }
  PageFile Pages() const { return PageFile::FromBytes("hpro.dat", test::ReadFile(dir / "hpro.dat")); }
  // Each page as its eight slots.
  std::vector<std::array<int16_t, 8>> Slots() const {
    PageFile file = Pages();
    std::vector<std::array<int16_t, 8>> pages;
    for (int p = 1; p <= file.pageCount(); ++p) pages.push_back(file.Read(p).pageRace);
    return pages;
  }
  // The races of each page in slot order, zeros left out.
  std::vector<std::vector<int>> Races() const {
    std::vector<std::vector<int>> pages;
    for (const auto& slots : Slots()) {
      std::vector<int> races;
      for (int16_t r : slots)
        if (r != 0) races.push_back(r);
      pages.push_back(races);
    }
    return pages;
  }
};

using Pages = std::vector<std::vector<int>>;

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

TEST(StandardPages, TwentyIndividualHeatsFillPagesOfEightEightAndFour) {
  PageMeet meet;
  meet.WriteRaces(Heats(20, RawRace{}));
  ASSERT_TRUE(meet.Build());
  EXPECT_EQ(meet.Races(), (Pages{Range(1, 8), Range(9, 16), Range(17, 20)}));
  // Bytes as the layout says: header count 3 pattern 0, page 3 with slotCount 4.
  const std::string bytes = test::ReadFile(meet.dir / "hpro.dat");
  ASSERT_EQ(bytes.size(), 13u * 128);
  EXPECT_EQ(bytes.substr(0, 4), test::Le16(3) + test::Le16(0));
  EXPECT_EQ(bytes.substr(12 * 128, 128), test::PageRecord(4, {17, 18, 19, 20}));
}

TEST(StandardPages, RelaysStartANewPageAndShareItThreeAtATime) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(2, RawRace{.eventCode = 3});
  test::Append(races, Heats(7, RawRace{.eventNo = 2, .eventCode = 26}));
  test::Append(races, Heats(1, RawRace{.eventNo = 3, .eventCode = 5}));
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build());
  EXPECT_EQ(meet.Races(), (Pages{{1, 2}, {3, 4, 5}, {6, 7, 8}, {9}, {10}}));
}

TEST(StandardPages, DayBreaksUnlessTurnedOff) {
  PageMeet meet;
  // The day comes from the program, not from the race records (a save
  // through the race buffers clears their day byte).
  std::vector<RawRace> races = Heats(3, RawRace{.day = '1'});
  test::Append(races, Heats(2, RawRace{.eventNo = 2, .day = '\0'}));
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({.raceDays = {'1', '1', '1', '2', '2'}}));
  EXPECT_EQ(meet.Races(), (Pages{{1, 2, 3}, {4, 5}}));
  ASSERT_TRUE(meet.Build({.noDayBreak = true, .raceDays = {'1', '1', '1', '2', '2'}}));
  EXPECT_EQ(meet.Races(), (Pages{{1, 2, 3, 4, 5}}));
}

TEST(StandardPages, StageBreaksUnlessTurnedOff) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(2, RawRace{.round = "1"});
  races.push_back(RawRace{.eventNo = 2, .round = "2"});
  races.push_back(RawRace{.eventNo = 3, .round = "3"});  // semi-final and final are one stage type
  races.push_back(RawRace{.eventNo = 4, .round = "1"});
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build());
  EXPECT_EQ(meet.Races(), (Pages{{1, 2}, {3, 4}, {5}}));
  ASSERT_TRUE(meet.Build({.noStageBreak = true}));
  EXPECT_EQ(meet.Races(), (Pages{{1, 2, 3, 4, 5}}));
}

TEST(StandardPages, MeetEventsTakeTheirSizeFromTheRelayFlag) {
  PageMeet meet;
  std::array<char, 15> flags{};
  flags.fill('0');
  flags[1] = '1';  // event 31 is a relay
  std::vector<RawRace> races = Heats(2, RawRace{.eventCode = 30});  // individual: with event 3
  test::Append(races, Heats(2, RawRace{.eventNo = 2, .eventCode = 3}));
  test::Append(races, Heats(4, RawRace{.eventNo = 3, .eventCode = 31}));
  test::Append(races, Heats(1, RawRace{.eventNo = 4, .eventCode = 23}));  // relay: with event 31
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({}, flags));
  EXPECT_EQ(meet.Races(), (Pages{{1, 2, 3, 4}, {5, 6, 7}, {8, 9}}));
}

TEST(StandardPages, AnUndefinedRelayFlagStillFillsPagesOfEight) {
  PageMeet meet;
  std::array<char, 15> flags{};
  flags[0] = '5';  // class 6: neither individual nor relay
  meet.WriteRaces(Heats(10, RawRace{.eventCode = 30}));
  ASSERT_TRUE(meet.Build({}, flags));
  EXPECT_EQ(meet.Races(), (Pages{Range(1, 8), {9, 10}}));
}

TEST(RaceSizeClass, FollowsTheEventTable) {
  std::array<char, 15> flags{};
  flags[0] = '0';
  flags[1] = '1';
  flags[2] = ' ';
  struct Case {
    int eventCode, sizeClass;
  };
  for (Case c : {Case{1, 1}, Case{22, 1}, Case{23, 2}, Case{29, 2}, Case{30, 1}, Case{31, 2}, Case{32, 1}, Case{44, 1},
                 Case{0, 1}, Case{45, 1}, Case{-5, 1}})
    EXPECT_EQ(RaceSizeClass(c.eventCode, flags), c.sizeClass) << c.eventCode;
}

TEST(StandardPages, NoRacesMeansNoPages) {
  PageMeet meet;
  ASSERT_TRUE(meet.Build());  // no race file at all
  EXPECT_EQ(test::ReadFile(meet.dir / "hpro.dat"), test::Le16(0) + test::Le16(0) + std::string(124, '\0'));
  meet.WriteRaces({}, 0);
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Pages().pageCount(), 0);
  EXPECT_EQ(meet.Pages().pagePattern(), 1);
}

TEST(StandardPages, RaceCountIsClampedToTheRacesHeld) {
  PageMeet meet;
  meet.WriteRaces(Heats(3, RawRace{}), 500);
  ASSERT_TRUE(meet.Build());
  EXPECT_EQ(meet.Races(), (Pages{{1, 2, 3}}));
  test::WriteFile(meet.dir / "taikai.dat", std::string(10, '\x7f'));
  ASSERT_TRUE(meet.Build());
  EXPECT_EQ(meet.Pages().pageCount(), 0);
}

TEST(StandardPages, PagesBeyondTheNewCountStayAsTheyWere) {
  PageMeet meet;
  const std::string old = test::PageHeader(4, 1, 'h', 'u') + test::PageRecord(1, {50}, 'x', 'a') +
                          test::PageRecord(1, {51}, 'y', 'b') + test::PageRecord(1, {52}, 'z', 'c') +
                          test::PageRecord(1, {53}, 'w', 'd');
  test::WriteFile(meet.dir / "hpro.dat", old);
  meet.WriteRaces(Heats(10, RawRace{}));
  ASSERT_TRUE(meet.Build());
  const std::string bytes = test::ReadFile(meet.dir / "hpro.dat");
  ASSERT_EQ(bytes.size(), old.size());
  EXPECT_EQ(bytes.substr(0, 128), test::Le16(2) + test::Le16(0) + std::string(124, 'h'));
  EXPECT_EQ(bytes.substr(128, 9 * 128), std::string(9 * 128, 'u'));
  EXPECT_EQ(bytes.substr(10 * 128, 128), test::PageRecord(8, {1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(bytes.substr(11 * 128, 128), test::PageRecord(2, {9, 10}));
  EXPECT_EQ(bytes.substr(12 * 128), old.substr(12 * 128));
}

TEST(StandardPages, RefusesAnUnknownPattern) {
  PageMeet meet;
  meet.WriteRaces(Heats(2, RawRace{}));
  EXPECT_FALSE(meet.Build({.pattern = 2}));
  EXPECT_FALSE(meet.Build({.pattern = -1}));
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "hpro.dat"));
}

TEST(PagesWithFinals, NineHeatsFillTwoPagesWithTheFinalInSlotFour) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(9, RawRace{.eventNo = 1, .eventCode = 3});
  races.push_back(RawRace{.eventNo = 2, .eventCode = 3, .round = "2"});
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Slots(), (std::vector<std::array<int16_t, 8>>{{1, 2, 3, 0, 4, 5, 6, 0}, {7, 8, 9, 10, 0, 0, 0, 0}}));
  PageFile file = meet.Pages();
  EXPECT_EQ(file.pagePattern(), 1);
  EXPECT_EQ(file.Read(1).slotCount, 6);
  EXPECT_EQ(file.Read(2).slotCount, 4);  // the final counts
}

TEST(PagesWithFinals, ARelayFinalGoesToSlotThree) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(2, RawRace{.eventNo = 1, .eventCode = 28});
  test::Append(races, Heats(3, RawRace{.eventNo = 2, .eventCode = 3}));
  races.push_back(RawRace{.eventNo = 3, .eventCode = 28, .round = "2"});
  races.push_back(RawRace{.eventNo = 4, .eventCode = 3, .round = "2"});
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Slots(),
            (std::vector<std::array<int16_t, 8>>{{1, 2, 6, 0, 0, 0, 0, 0}, {3, 4, 5, 7, 0, 0, 0, 0}}));
}

TEST(PagesWithFinals, RelayPreliminariesShareAPageTwoAtATime) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(3, RawRace{.eventNo = 1, .eventCode = 26});
  races.push_back(RawRace{.eventNo = 2, .eventCode = 26, .round = "2"});
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Slots(), (std::vector<std::array<int16_t, 8>>{{1, 2, 0, 0, 0, 0, 0, 0}, {3, 0, 4, 0, 0, 0, 0, 0}}));
}

TEST(PagesWithFinals, TheNextRaceMustMatchSexClassAndEvent) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(2, RawRace{.eventNo = 1, .sex = "1", .classFrom = 10, .classTo = 12});
  test::Append(races, Heats(2, RawRace{.eventNo = 2, .sex = "2", .classFrom = 10, .classTo = 12}));
  races.push_back(RawRace{.eventNo = 3, .sex = "1", .classFrom = 13, .classTo = 14, .round = "2"});  // other band
  races.push_back(RawRace{.eventNo = 4, .sex = "2", .classFrom = 10, .classTo = 12, .round = "2"});
  races.push_back(RawRace{.eventNo = 5, .sex = "1", .classFrom = 10, .classTo = 12, .round = "2"});
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Slots(), (std::vector<std::array<int16_t, 8>>{{1, 2, 0, 7, 0, 0, 0, 0}, {3, 4, 0, 6, 0, 0, 0, 0}}));
}

TEST(PagesWithFinals, AFinalBetweenTwoPreliminaryEventsIsFound) {
  PageMeet meet;
  std::vector<RawRace> races = Heats(2, RawRace{.eventNo = 1, .eventCode = 3});
  races.push_back(RawRace{.eventNo = 2, .eventCode = 3, .round = "2"});
  test::Append(races, Heats(1, RawRace{.eventNo = 3, .eventCode = 4}));
  meet.WriteRaces(races);
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Slots(), (std::vector<std::array<int16_t, 8>>{{1, 2, 0, 3, 0, 0, 0, 0}, {4, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST(PagesWithFinals, FinalsOnlyMeansNoPagesAndLeadingFinalsAreSkipped) {
  PageMeet meet;
  meet.WriteRaces({RawRace{.round = "2"}, RawRace{.eventNo = 2, .round = "2"}});
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Pages().pageCount(), 0);
  meet.WriteRaces({RawRace{.eventCode = 5, .round = "2"}, RawRace{.eventNo = 2, .eventCode = 3}});
  ASSERT_TRUE(meet.Build({.pattern = 1}));
  EXPECT_EQ(meet.Races(), (Pages{{2}}));
}

TEST(RaceFileImage, ReadsRacesAndSurvivesGarbage) {
  RaceFileImage image = RaceFileImage::FromBytes(test::RaceFileBytes({RawRace{.eventNo = 7, .heatNo = 2, .day = '3'}}));
  EXPECT_EQ(image.raceCount(), 1);
  EXPECT_EQ(image.race(1).eventNo, 7);
  EXPECT_EQ(image.race(1).heatNo, 2);
  EXPECT_EQ(image.race(2).eventNo, 0);
  EXPECT_EQ(image.race(-4).eventNo, 0);
  std::string garbage(2700, '\xee');
  for (size_t size : {0u, 5u, 10u, 11u, 256u, 2816u, 2700u}) {
    RaceFileImage g = RaceFileImage::FromBytes(garbage.substr(0, std::min(size, garbage.size())));
    EXPECT_GE(g.raceCount(), 0);
    for (int n = 0; n <= g.raceCount() + 1; ++n) (void)g.race(n);
  }
}

TEST(PageListLine, ShowsTheFirstRaceOfThePage) {
  RaceFileImage races = RaceFileImage::FromBytes(test::RaceFileBytes(
      {RawRace{.eventNo = 12, .heatNo = 3, .sex = "2", .eventCode = 10, .round = "1"},
       RawRace{.eventNo = 105, .heatNo = 1, .sex = "3", .eventCode = 31, .round = "2"}}));
  NamingContext naming;
  naming.extraEventNames[1] = "水中綱引き      ";
  ProgramPage page;
  page.pageRace = {1, 2};
  EXPECT_EQ(PageListLine(1, page, races, naming), "  1  12 予選  3組 女子 100m背泳ぎ");
  page.pageRace = {2};
  EXPECT_EQ(PageListLine(14, page, races, naming), " 14 105 決勝  1組 混合 水中綱引き");
  page.pageRace = {0, 1};
  EXPECT_EQ(PageListLine(1234, page, races, naming), "1234 ");
  page.pageRace = {-7};
  EXPECT_EQ(PageListLine(2, page, races, naming), "  2   0   0組  ");
}

}  // namespace
}  // namespace meet
