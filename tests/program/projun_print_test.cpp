#include <gtest/gtest.h>

#include <map>

#include "core/cp932.h"
#include "program/frm_projun_screen.h"
#include "program/program_test_util.h"

namespace meet {
namespace {

using test::ProgramMeet;
using test::RawEntry;

RawEntry OnDay(int orderNo, const std::string& day) {
  RawEntry e;
  e.orderNo = orderNo;
  e.day = day;
  e.eventCode = 2;
  e.heatCount = 1;
  return e;
}

// Printed lines per page: the stage cell starts every entry line at 6000 twips.
std::map<int, int> LinesPerPage(const test::RecordingPrinter& printer) {
  std::map<int, int> pages;
  for (const auto& item : printer.items)
    if (!item.isLine && item.x == 6000 && item.text == "予選") ++pages[item.page];
  return pages;
}

TEST(ProjunPrint, PageHeadingCarriesDateTitleAndMeetCode) {
  ProgramMeet meet;
  meet.fake.clock.now = DateTime{2024, 5, 3, 9, 5, 7};
  meet.WriteProgram({OnDay(1, "1")});
  auto screen = meet.Open();
  auto printed = screen.Insatu();
  ASSERT_TRUE(printed) << printed.error().message;
  const auto& items = meet.fake.printer.items;
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(items[0].text, "2024/05/03 09:05:07");
  EXPECT_EQ(items[0].x, 8505);
  EXPECT_EQ(items[0].y, 567);
  EXPECT_EQ(items[0].font, "ＭＳ ゴシック");
  EXPECT_EQ(items[0].size, 12);
  EXPECT_EQ(items[1].text, "競      技      順");
  EXPECT_EQ(items[1].x, 4536);
  EXPECT_EQ(items[2].text, "1234567");
  EXPECT_EQ(items[2].x, 9355);
  std::vector<std::string> heads;
  for (size_t i = 3; i < 14; ++i) heads.push_back(items[i].text);
  EXPECT_EQ(heads, (std::vector<std::string>{"  No ", "性別     ", "区  分         ", "種  目          ", "予決   ",
                                             "組   ", "予定時間    ", "所要   ", "＠    ", "ﾚｰｽ  ", "F"}));
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
  EXPECT_EQ(printed->pages, 1);
  EXPECT_EQ(printed->lines, 1);
}

TEST(ProjunPrint, NewPageAtEachDayChange) {
  ProgramMeet meet;
  meet.WriteProgram({OnDay(1, "1"), OnDay(2, "1"), OnDay(0, "2"), OnDay(3, "2"), OnDay(4, "3"), OnDay(5, "3")});
  auto screen = meet.Open();
  auto printed = screen.Insatu();
  ASSERT_TRUE(printed);
  // The hidden entry of day 2 starts no page of its own, and no page is blank.
  EXPECT_EQ(LinesPerPage(meet.fake.printer), (std::map<int, int>{{1, 2}, {2, 1}, {3, 2}}));
  EXPECT_EQ(printed->pages, 3);
  int headings = 0;
  for (const auto& item : meet.fake.printer.items) headings += item.text == "競      技      順";
  EXPECT_EQ(headings, 3);
}

TEST(ProjunPrint, FiftyEntriesToAPage) {
  ProgramMeet meet;
  std::vector<RawEntry> entries;
  for (int i = 1; i <= 101; ++i) entries.push_back(OnDay(i, "1"));
  meet.WriteProgram(entries);
  auto screen = meet.Open();
  ASSERT_TRUE(screen.Insatu());
  EXPECT_EQ(LinesPerPage(meet.fake.printer), (std::map<int, int>{{1, 50}, {2, 50}, {3, 1}}));
  // The 51st entry is the first line of page 2, right under its heading.
  int firstY = 0, secondY = 0;
  for (const auto& item : meet.fake.printer.items) {
    if (item.x != 6000 || item.text != "予選") continue;
    if (item.page == 1 && !firstY) firstY = item.y;
    if (item.page == 2 && !secondY) secondY = item.y;
  }
  EXPECT_EQ(firstY, secondY);
}

TEST(ProjunPrint, HtmlRowsAreEscaped) {
  ProgramMeet meet;
  EventDefinitions events;
  events.extraEventNames[1] = "A&B<ﾘﾚｰ>\"";
  events.extraClassNames[1] = "小&中";
  test::WriteEntryFile(meet.dir / "ind.Mos", {}, events);
  meet.WriteProgram({RawEntry{.orderNo = 1, .heatCount = 2, .sex = "2", .eventCode = 31, .stage = "2", .perHeat = 130,
                              .total = 300, .start = 93000, .firstRace = 1, .seed = "1"},
                     RawEntry{.orderNo = 0, .eventCode = 3},
                     RawEntry{.orderNo = 2, .heatCount = 1, .sex = "1", .eventCode = 3, .stage = "1", .firstRace = 3,
                              .seed = ""}});
  auto screen = meet.Open();
  auto printed = screen.Insatu();
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->html, meet.dir / "市民2.html");
  std::string expected =
      "<HTML><HEAD><TITLE></TITLE></HEAD><BODY>\r\n"
      "<TABLE BORDER=\"0\" WIDTH=\"100%\" HEIGHT=\"100%\">\r\n"
      "<TR><TD ALIGN=\"RIGHT\">1</TD><TD>女子</TD><TD>小&amp;中</TD><TD>A&amp;B&lt;ﾘﾚｰ&gt;&quot;</TD><TD>決勝</TD>"
      "<TD ALIGN=\"RIGHT\">2</TD><TD ALIGN=\"RIGHT\">9:30:00</TD><TD ALIGN=\"RIGHT\">0:03:00</TD>"
      "<TD ALIGN=\"RIGHT\">1:30</TD><TD ALIGN=\"RIGHT\">1</TD><TD>1</TD></TR>\r\n"
      "<TR><TD ALIGN=\"RIGHT\">2</TD><TD>男子</TD><TD></TD><TD>100m自由形</TD><TD>予選</TD>"
      "<TD ALIGN=\"RIGHT\">1</TD><TD ALIGN=\"RIGHT\"></TD><TD ALIGN=\"RIGHT\"></TD>"
      "<TD ALIGN=\"RIGHT\"></TD><TD ALIGN=\"RIGHT\">3</TD><TD></TD></TR>\r\n"
      "</TABLE></BODY></HTML>\r\n";
  EXPECT_EQ(test::ReadFile(meet.dir / "市民2.html"), EncodeCp932(expected));
}

// The start and the total are times of day and durations held as HHMMSS,
// the time per heat a duration held as MMSS: none of them is a swim time.
TEST(ProjunPrint, StartTotalAndPerHeatTimesAsClockTimes) {
  struct Row {
    int32_t value;
    const char* hms;
    const char* ms;
  } rows[] = {{93000, "9:30:00", "930:00"}, {101430, "10:14:30", "1014:30"}, {500, "0:05:00", "5:00"},
              {130, "0:01:30", "1:30"},     {5, "0:00:05", "0:05"},          {0, "", ""}};
  for (const Row& r : rows) {
    EXPECT_EQ(HoursMinutesSeconds(r.value), r.hms) << r.value;
    EXPECT_EQ(MinutesSeconds(r.value), r.ms) << r.value;
  }
}

TEST(ProjunPrint, HtmlNameStaysInTheMeetFolder) {
  EXPECT_EQ(ProgramHtmlPath("/m/", "../a/b"), std::filesystem::path("/m/") / "_._a_b2.html");
  EXPECT_EQ(ProgramHtmlPath("/m/", ""), std::filesystem::path("/m/") / "2.html");
}

// taikai.dat by hand: header with the race count, records 2–10, then races
// whose start time field (offset 14, 6 bytes) holds blanks and whose event
// number is the race number.
std::string RaceFile(int races, int recordsPresent) {
  std::string bytes = test::Le16(races) + std::string(254, '\0') + std::string(9 * 256, '\0');
  for (int r = 1; r <= recordsPresent; ++r) {
    std::string rec = test::Le16(r) + std::string(12, '\0') + "      " + std::string(236, '\0');
    bytes += rec;
  }
  return bytes;
}

std::string StartField(const std::string& raceFile, int race) {
  return raceFile.substr(static_cast<size_t>(race + 9) * 256 + 14, 6);
}

TEST(ProjunPrint, RaceTimesFollowTheProgramAndExcludedHeats) {
  ProgramMeet meet;
  test::WriteFile(meet.dir / "taikai.dat", RaceFile(5, 6));
  meet.WriteProgram({
      RawEntry{.orderNo = 1, .heatCount = 2, .perHeat = 130, .start = 93000, .firstRace = 1},
      RawEntry{.orderNo = 0, .heatCount = 1, .perHeat = 100, .start = 120000, .firstRace = 6},
      RawEntry{.orderNo = 2, .heatCount = 4, .perHeat = 200, .start = 100000, .firstRace = 3, .excluded = 1},
  });
  auto screen = meet.Open();
  auto printed = screen.Insatu();
  ASSERT_TRUE(printed) << printed.error().message;
  std::string races = test::ReadFile(meet.dir / "taikai.dat");
  EXPECT_EQ(StartField(races, 1), " 93000");
  EXPECT_EQ(StartField(races, 2), " 93130");
  // With excludedHeats every heat gets the entry's start time.
  EXPECT_EQ(StartField(races, 3), "100000");
  EXPECT_EQ(StartField(races, 4), "100000");
  EXPECT_EQ(StartField(races, 5), "100000");
  // Race 6 is beyond the race count and belongs to a hidden entry: untouched.
  EXPECT_EQ(StartField(races, 6), "      ");
  EXPECT_EQ(races.size(), RaceFile(5, 6).size());
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(races[static_cast<size_t>(r + 9) * 256], r);
  EXPECT_EQ(printed->racesTimed, 5);
  EXPECT_EQ(printed->racesSkipped, 1);  // heat 4 of entry 2 is race 6, not in the file
}

TEST(ProjunPrint, NoRaceFileIsCreated) {
  ProgramMeet meet;
  meet.WriteProgram({RawEntry{.orderNo = 1, .heatCount = 2, .perHeat = 130, .start = 93000, .firstRace = 1}});
  auto screen = meet.Open();
  auto printed = screen.Insatu();
  ASSERT_TRUE(printed);
  EXPECT_FALSE(std::filesystem::exists(meet.dir / "taikai.dat"));
  EXPECT_EQ(printed->racesSkipped, 2);
}

TEST(ProjunPrint, RaceClockText) {
  EXPECT_EQ(RaceClockText(34200), " 9:30:00");
  EXPECT_EQ(RaceClockText(36000), "10:00:00");
  EXPECT_EQ(RaceClockText(0), "  :  : 0");
}

}  // namespace
}  // namespace meet
