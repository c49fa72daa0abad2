// World Aquatics points from hundredths, the styles of the meet's events, and
// the operator's table of base times: rows read, bad rows refused by line.
#include "results/wa_points.h"

#include <gtest/gtest.h>

#include "data/race_file.h"
#include "results/ranking_output.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace meet {
namespace {

TEST(WaPoints, ExactFromHundredths) {
  const struct {
    int64_t base, swim;
    int points;
  } rows[] = {
      {7000, 10000, 343},    // B/T = 0.7 exactly: floating point gives 342
      {2091, 2091, 1000},    // the base time itself
      {2091, 2191, 869},     // 1000 × (20.91 / 21.91)³ = 869.2…
      {10679, 12000, 704},   // 1:46.79 against 2:00.00: 704.7…
      {3000, 1, 1000000},    // a time far under the base is held at a million
      {0, 2000, 0},          // no base time
      {2000, 0, 0},          // no swim time
      {35999999, 35999999, 1000},  // the longest Lenex time does not overflow
  };
  for (const auto& r : rows) EXPECT_EQ(WaPoints(r.base, r.swim), r.points) << r.base << "/" << r.swim;
}

TEST(WaPoints, OnlyTimesHaveHundredths) {
  EXPECT_EQ(TimeCodeHundredths(12345), 8345);  // 1:23.45
  EXPECT_EQ(TimeCodeHundredths(2507), 2507);
  for (int32_t code : {0, 595900, 666666, 700001, 700007, 888888, 999999, 6010, -5})
    EXPECT_FALSE(TimeCodeHundredths(code)) << code;
}

TEST(WaPoints, StylesOfTheEvents) {
  const struct {
    int code;
    const char* name;
    bool relay;
    const char* stroke;
    int distance, count;
  } rows[] = {
      {1, "", false, "FREE", 25, 1},     {7, "", false, "FREE", 1500, 1},    {11, "", false, "BACK", 200, 1},
      {13, "", false, "BREAST", 50, 1},  {19, "", false, "FLY", 200, 1},     {22, "", false, "MEDLEY", 400, 1},
      {25, "", false, "MEDLEY", 100, 4}, {29, "", false, "FREE", 200, 4},    {26, "", false, "FREE", 25, 4},
      {30, "50m自由形", false, "FREE", 50, 1}, {31, "200mメドレーリレー", true, "MEDLEY", 50, 4},
      {32, "400mリレー", true, "FREE", 100, 4}, {33, "ﾋﾞｰﾄ板キック", false, "UNKNOWN", 0, 1},
      {34, "25m板キック", false, "UNKNOWN", 25, 1}, {35, "", false, "UNKNOWN", 0, 1},
  };
  for (const auto& r : rows) {
    const SwimStyle s = SwimStyleOf(r.code, r.name, r.relay);
    EXPECT_EQ(s.stroke, r.stroke) << r.code;
    EXPECT_EQ(s.distance, r.distance) << r.code;
    EXPECT_EQ(s.relayCount, r.count) << r.code;
    EXPECT_EQ(s.name.empty(), s.stroke != "UNKNOWN") << r.code;
  }
}

constexpr const char* kTable =
    "\xEF\xBB\xBF"
    "course,gender,distance,stroke,relaycount,basetime\r\n"
    "# 2025\r\n"
    "version,2025\r\n"
    "LCM,M,50,FREE,1,20.91\r\n"
    "\r\n"
    "SCM,F,100,MEDLEY,4,3:44.35\r\n"
    "LCM,X,100,FREE,4,00:03:19.38\r\n";

TEST(WaPoints, TableRowsAreRead) {
  auto t = ParsePointsTable(kTable, "wa.csv");
  ASSERT_TRUE(t) << t.error().message;
  EXPECT_EQ(t->version, "2025");
  ASSERT_EQ(t->rows.size(), 3u);
  EXPECT_EQ(t->rows[1].hundredths, 22435);
  EXPECT_EQ(t->rows[2].hundredths, 19938);
  EXPECT_EQ(t->Points("LCM", 'M', SwimStyleOf(2), 2191), 869);
  EXPECT_EQ(t->Points("SCM", 'M', SwimStyleOf(2), 2191), std::nullopt);  // no row for the course
  EXPECT_EQ(t->Points("LCM", 'M', SwimStyleOf(2), 700002), std::nullopt);
  EXPECT_EQ(t->Points("LCM", 'M', SwimStyleOf(2), 0), std::nullopt);
  // The kept text reads back as the same table.
  auto again = ParsePointsTable(PointsTableText(*t), "wapoints.csv");
  ASSERT_TRUE(again);
  EXPECT_EQ(PointsTableText(*again), PointsTableText(*t));
  EXPECT_EQ(PointsTableText(*t),
            "course,gender,distance,stroke,relaycount,basetime\nversion,2025\nLCM,M,50,FREE,1,20.91\n"
            "SCM,F,100,MEDLEY,4,3:44.35\nLCM,X,100,FREE,4,3:19.38\n");
}

TEST(WaPoints, BadRowsAreRefusedWithTheirLine) {
  const struct {
    const char* row;
    const char* says;
  } rows[] = {
      {"LCM,M,50,FREE,1", "値が 5 個"},
      {"SCY,M,50,FREE,1,20.91", "コース SCY"},
      {"LCM,W,50,FREE,1,20.91", "性別 W"},
      {"LCM,M,0,FREE,1,20.91", "距離 0"},
      {"LCM,M,5x,FREE,1,20.91", "距離 5x"},
      {"LCM,M,50,IM,1,20.91", "泳法 IM"},
      {"LCM,M,50,FREE,2,20.91", "泳者数 2"},
      {"LCM,X,50,FREE,1,20.91", "性別 X"},
      {"LCM,M,50,FREE,1,20.9", "基準タイム 20.9"},
      {"LCM,M,50,FREE,1,1:75.00", "基準タイム 1:75.00"},
      {"LCM,M,50,FREE,1,0.00", "基準タイム 0.00"},
      {"LCM,M,50,FREE,1,20.91", "同じ種目"},
      {"version", "version"},
      {"LCM,M,50,FREE,1,\xFF", "UTF-8"},
  };
  for (const auto& r : rows) {
    auto t = ParsePointsTable(std::string("# head\nLCM,M,50,FREE,1,20.91\n") + r.row + "\n", "wa.csv");
    ASSERT_FALSE(t) << r.row;
    EXPECT_TRUE(t.error().message.starts_with("wa.csv 3 行目: ")) << t.error().message;
    EXPECT_NE(t.error().message.find(r.says), std::string::npos) << t.error().message;
  }
  auto empty = ParsePointsTable("# nothing\n", "wa.csv");
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error().message, "wa.csv: 基準タイムの行が一つもありません。");
}

TEST(WaPoints, TheMeetKeepsItsOwnCopy) {
  test::TempDir dir;
  auto none = LoadPointsTable(dir.path());
  ASSERT_TRUE(none);
  EXPECT_FALSE(*none);
  test::WriteFile(dir / "in.csv", kTable);
  auto loaded = ImportPointsTable(dir.path(), dir / "in.csv");
  ASSERT_TRUE(loaded) << loaded.error().message;
  EXPECT_EQ(test::ReadFile(dir / "wapoints.csv"), PointsTableText(*loaded));
  auto kept = LoadPointsTable(dir.path());
  ASSERT_TRUE(kept && *kept);
  EXPECT_EQ((*kept)->rows.size(), 3u);
  // A bad table leaves the one kept as it was.
  test::WriteFile(dir / "bad.csv", "LCM,M,50,FREE,1,xx\n");
  EXPECT_FALSE(ImportPointsTable(dir.path(), dir / "bad.csv"));
  EXPECT_EQ(test::ReadFile(dir / "wapoints.csv"), PointsTableText(*loaded));
  // A kept table spoilt by hand is an error, not a table of nothing.
  test::WriteFile(dir / "wapoints.csv", "LCM,M\n");
  EXPECT_FALSE(LoadPointsTable(dir.path()));
  // Oversized input is refused before it is read.
  test::WriteFile(dir / "big.csv", std::string(kMaxPointsTableBytes + 1, '#'));
  auto big = ImportPointsTable(dir.path(), dir / "big.csv");
  ASSERT_FALSE(big);
  EXPECT_NE(big.error().message.find("大きすぎます"), std::string::npos);
}

// One race of 50m自由形 for men: a time, a disqualification, an exhibition
// swim of the same time, and an empty lane.
TEST(WaPoints, TheRankingHtmlColumnHoldsThePointsOfEachSwim) {
  test::TempDir dir;
  Race r;
  r.eventNo = 1;
  r.heatNo = 1;
  r.heatTotal = 1;
  r.sexCode = "1";
  r.eventCode = 2;
  r.roundCode = "1";
  r.startTime = "      ";
  r.laneNo = {5, 6, 7, 0};
  r.laneTime = {2191, 700002, 2191, 0};
  r.laneRecordClass = {0, 0, 99, 0};
  std::string header = test::Le16(1);
  header.resize(256, '\0');
  test::WriteFile(dir / "taikai.dat", header + std::string(256 * 9, '\0') + RecordFromRace(r, false).bytes());
  MeetFiles meet{dir.path(), {}};
  meet.settings.courseMode = "0";
  auto none = ResultPoints::Load(meet);
  ASSERT_TRUE(none);
  EXPECT_FALSE(*none);  // no table: no column
  test::WriteFile(dir / "wapoints.csv", "LCM,M,50,FREE,1,20.91\n");
  auto points = ResultPoints::Load(meet);
  ASSERT_TRUE(points && *points);
  const ResultPoints& p = **points;
  EXPECT_EQ(p.Of(1, 0), 869);
  EXPECT_EQ(p.Of(1, 1), std::nullopt);  // 泳法: a status code
  EXPECT_EQ(p.Of(1, 2), std::nullopt);  // OP
  EXPECT_EQ(p.Of(1, 3), std::nullopt);  // nobody
  EXPECT_EQ(p.Of(2, 0), std::nullopt);  // no such race
  meet.settings.courseMode = "1";       // short course: the table has no row
  EXPECT_EQ((*ResultPoints::Load(meet))->Of(1, 0), std::nullopt);

  RankingHtml html;
  html.ShowPoints([&p](int race, int slot) { return p.Of(race, slot); });
  RankingBlock block{"男子 50m自由形", {}};
  block.rows.push_back(RankingRow{1, 0, 2191, 1, 1, false, {}});
  block.rows.push_back(RankingRow{1, 1, 700002, 0, 2, false, {}});
  html.List(block);
  const std::string text = html.Text();
  EXPECT_NE(text.find("<TD>旧番号</TD><TD>ポイント</TD></TR>"), std::string::npos);
  EXPECT_NE(text.find("<TD align=\"right\">869</TD></TR>"), std::string::npos);
  EXPECT_NE(text.find("<TD></TD><TD></TD></TR>"), std::string::npos);  // the disqualified line: no points
  RankingHtml plain;
  plain.List(block);
  EXPECT_EQ(plain.Text().find("ポイント"), std::string::npos);
}

}  // namespace
}  // namespace meet
