#include "race/race_sheets.h"

#include <gtest/gtest.h>

#include "print/print_fixture.h"

namespace meet {
namespace {

using test::HandRace;

struct SheetMeet : test::PrintMeet {
  HandRace race;
  SheetMeet() {
    Entries({test::Swimmer("山田　太郎"), test::Swimmer("鈴木　一郎")});
    race.laneNo[0] = 1;
    race.laneTime[0] = 3149;
    race.entryTime[0] = 3300;
    race.laneNo[10] = 2;  // an alternate
    Races({race});
  }
  Race Loaded() const { return *LoadRace(dir.path(), 1); }
  void LapFile(const std::string& text) {
    std::filesystem::create_directories(dir / "lap");
    test::WriteFile(dir / "lap" / "R0001", text);
  }
  std::vector<std::string> At(int x) const {
    std::vector<std::string> out;
    for (const auto& i : items())
      if (i.x == x) out.push_back(i.text);
    return out;
  }
};

TEST(PrintRaceSheet, LanesAlternatesAndEmptyLanes) {
  SheetMeet meet;
  ASSERT_TRUE(PrintRaceSheet(meet.fake.platform, meet.files(), 1, meet.Loaded(), 2));
  EXPECT_EQ(meet.fake.printer.documentsEnded, 2);
  std::vector<std::string> labels;
  for (const auto& i : meet.items())
    if (i.doc == 1 && i.x == race_sheet::kLeft) labels.push_back(i.text);
  EXPECT_EQ(labels, (std::vector<std::string>{"No.1  男子  50m自由形 予選 1組", " 1", " 2", " 3", " 4", " 5", " 6", " 7",
                                              " 8", "補1", "補2"}));
  std::vector<std::string> names;
  for (const auto& i : meet.items())
    if (i.doc == 1 && i.x == race_sheet::kName) names.push_back(i.text);
  EXPECT_EQ(names, (std::vector<std::string>{"山田　太郎", "鈴木　一郎"}));
  EXPECT_EQ(meet.At(race_sheet::kEntryTime)[0], "   33.00");
}

// Lane 1 holds entry `laneNo` (1 is in the entry file, 5 is past it, 0 is no swimmer).
struct LaneCase {
  const char* name;
  int laneNo;
  bool entryFile;
  std::vector<std::string> printed;  // the texts of lane 1, in print order
};

TEST(PrintRaceSheet, ALaneWithoutItsEntryKeepsItsEntryTime) {
  const std::vector<LaneCase> cases = {
      {"entry in the file", 1, true, {" 1", "山田　太郎", "ｱｵﾊﾞ", "  東京都", " 青葉ＳＣ", "中3", "12", "   33.00", "2301234567"}},
      {"entry past the file", 5, true, {" 1", "   33.00"}},
      {"entry file missing", 1, false, {" 1", "   33.00"}},
      {"empty lane", 0, true, {" 1"}},
  };
  for (const LaneCase& c : cases) {
    SCOPED_TRACE(c.name);
    SheetMeet meet;
    HandRace r = meet.race;
    r.laneNo[0] = c.laneNo;
    meet.Races({r});
    if (!c.entryFile) std::filesystem::remove(meet.dir / "ind.Mos");
    ASSERT_TRUE(PrintRaceSheet(meet.fake.platform, meet.files(), 1, meet.Loaded(), 1));
    const test::PrintedItem* label = meet.Item(" 1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(meet.Line(1, label->y), c.printed);
  }
}

TEST(PrintLapSheet, ALaneWithoutItsEntryKeepsItsTimeAndLaps) {
  const std::string splits = " 00:15.20     31.49 ", laps = "          (   16.29)";
  const std::vector<LaneCase> cases = {
      {"entry in the file", 1, true, {" 1", "山田　太郎", "12 中3", "青葉ＳＣ", "   31.49", "2301234567", splits, laps}},
      {"entry past the file", 5, true, {" 1", "   31.49", splits, laps}},
      {"entry file missing", 1, false, {" 1", "   31.49", splits, laps}},
      {"empty lane", 0, true, {" 1"}},
  };
  for (const LaneCase& c : cases) {
    SCOPED_TRACE(c.name);
    SheetMeet meet;
    HandRace r = meet.race;
    r.laneNo[0] = c.laneNo;
    meet.Races({r});
    if (!c.entryFile) std::filesystem::remove(meet.dir / "ind.Mos");
    meet.LapFile("1,00:15.20,\r\n1,00:31.55,G\r\n");
    ASSERT_TRUE(PrintLapSheet(meet.fake.platform, meet.files(), 1, meet.Loaded(), 1));
    // Lane 1: from its number to the rule before lane 2.
    std::vector<std::string> lane;
    for (const auto& i : meet.items()) {
      if (i.isLine) continue;
      if (!lane.empty() && i.text == std::string(lap_sheet::kRuleLength, '-')) break;
      if (!lane.empty() || i.text == " 1") lane.push_back(i.text);
    }
    EXPECT_EQ(lane, c.printed);
  }
}

TEST(PrintLapSheet, FiftyMetresInTwoSplits) {
  SheetMeet meet;
  // Splits as the timing system writes them; the last becomes the final time.
  meet.LapFile("1,00:15.20,\r\n1,00:31.55,G\r\n");
  ASSERT_TRUE(PrintLapSheet(meet.fake.platform, meet.files(), 1, meet.Loaded(), 1));
  const auto laps = meet.At(lap_sheet::kLaps);
  ASSERT_EQ(laps.size(), 2u);
  EXPECT_EQ(laps[0], " 00:15.20     31.49 ");
  EXPECT_EQ(laps[1], "          (   16.29)");
  // The alternate is never on the lap sheet; every lane 1..10 carries its number.
  const std::string rule(110, '-');
  auto column = meet.At(lap_sheet::kName);
  EXPECT_EQ(std::count(column.begin(), column.end(), rule), 11);
  EXPECT_EQ(column.size(), 11u + 10u + 1u);  // the rules, ten lane numbers, one swimmer
}

TEST(PrintLapSheet, SixtyLapsInEightGroupsAndLanesKeptWhole) {
  SheetMeet meet;
  HandRace r = meet.race;
  for (size_t k = 0; k < 10; ++k) r.laneNo[k] = 1;
  r.laneTime.fill(0);
  meet.Races({r});
  std::string text;
  for (int lap = 1; lap <= 60; ++lap)
    for (int lane = 1; lane <= 10; ++lane) text += std::to_string(lane) + "," + std::to_string(lap) + "." + "00,\r\n";
  meet.LapFile(text);
  ASSERT_TRUE(PrintLapSheet(meet.fake.platform, meet.files(), 1, meet.Loaded(), 1));
  std::vector<std::string> lane1;
  for (const auto& i : meet.items())
    if (i.page == 1 && i.x == lap_sheet::kLaps && i.y < 6000) lane1.push_back(i.text);
  ASSERT_EQ(lane1.size(), 16u);
  EXPECT_EQ(lane1[14].substr(0, 10), "    57.00 ");
  EXPECT_EQ(lane1[14].size(), 40u);  // laps 57 to 60
  EXPECT_EQ(lane1[3].substr(0, 10), "(    1.00)");  // lap 9 against lap 8
  // No lane runs past the foot: each page holds whole lanes under its heading.
  int pages = 0;
  for (const auto& i : meet.items()) {
    EXPECT_LE(i.y, lap_sheet::kPageFoot);
    if (i.text == lap_sheet::kTitle) ++pages;
  }
  EXPECT_GT(pages, 1);
  EXPECT_EQ(meet.fake.printer.documentsEnded, 1);
}

}  // namespace
}  // namespace meet
