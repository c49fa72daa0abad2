// The printouts of the points screen, made from nyusho.dat and biko.dat as
// the tally left them: the points ranking "得点ランク" (also written as one
// HTML file per list), the placings table "入賞者数" and the records list
// "記録一覧". They change no data file.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/printer.h"
#include "print/print_sources.h"
#include "records/biko_file.h"
#include "results/nyusho_file.h"

namespace meet {

namespace points_print {
inline constexpr const char* kRankTitle = "得  点  一  覧  ";
inline constexpr std::array<const char*, 4> kListNames = {"（ 男子 ）", "（ 女子 ）", "（ 混合 ）", "（ 総合 ）"};
inline constexpr const char* kRankHeading =
    "  順    番号     県名      所属                得点       個人  リレ  ";
inline constexpr int kRulerLength = 71;
inline constexpr int kRankLinesPerPage = 40;
inline constexpr int kTeamsPerPage = 4;
inline constexpr std::array<const char*, 8> kPlacingRows = {"個人  男子", "      女子", "      混合", "      合計",
                                                            "リレー男子", "      女子", "      混合", "      合計"};
inline constexpr const char* kRecordsTitle = "新      記      録";
struct Column {
  int x;
  const char* head;
};
// The records list is printed at 9 points: each column one blank after the
// widest text of the one before ("男 標準1" 8, event and heat "123-15" 6,
// stage and place "ｺﾝｿﾚｰｼｮﾝ 12" 11, time 8, points 3, bonus 3, team code 5,
// club 12, name 16 half-width characters; the band and event are cut to
// their column).
inline constexpr int kRecordChar = 90;
inline constexpr int kRecordEventX = ColumnAfter(2300, 1700, 6, kRecordChar);      // 2330
inline constexpr int kRecordTimeX = ColumnAfter(5700, 5000, 11, kRecordChar);      // 6080
inline constexpr int kRecordPointsX = ColumnAfter(6600, kRecordTimeX, 8, kRecordChar);    // 6890
inline constexpr int kRecordBonusX = ColumnAfter(6950, kRecordPointsX, 3, kRecordChar);   // 7250
inline constexpr int kRecordTeamX = ColumnAfter(7350, kRecordBonusX, 3, kRecordChar);     // 7610
inline constexpr int kRecordClubX = ColumnAfter(7950, kRecordTeamX, 5, kRecordChar);      // 8150
inline constexpr int kRecordNameX = ColumnAfter(9250, kRecordClubX, 12, kRecordChar);     // 9320
inline constexpr int kRecordAgeX = ColumnAfter(10750, kRecordNameX, 16, kRecordChar);     // 10850
inline constexpr std::array<Column, 11> kRecordColumns = {
    {{500, "区分"}, {1700, "順"}, {kRecordEventX, "種目"}, {5000, "予決"}, {kRecordTimeX, "記録"},
     {kRecordPointsX, "点"}, {kRecordBonusX, " 率"}, {kRecordTeamX, "番号"}, {kRecordClubX, "所属名"},
     {kRecordNameX, "名前 "}, {kRecordAgeX, "齢"}}};
inline constexpr std::array<int, 4> kMemberX = {2300, 4100, 5900, 7700};
inline constexpr int kLeft = 600;
inline constexpr int kTop = 700;
inline constexpr int kLastLineY = 15500;
inline constexpr double kFontSize = 10;
inline constexpr double kTeamFontSize = 12;
}  // namespace points_print

// The four lists: 0 男子, 1 女子, 2 混合, 3 総合.
enum PointsList { kListMen = 0, kListWomen = 1, kListMixed = 2, kListTotal = 3 };

// One line of a points list.
struct RankLine {
  int rank = 0;
  int team = 0;  // team number, from 1
  int points = 0, individual = 0, relay = 0;
};

// The lines of list `list`: points from high to low, among equal points the
// later team first; 0 points left out unless `all`; equal points share the
// rank (1, 2, 2, 4).
std::vector<RankLine> RankLines(const NyushoTable& table, int list, bool all);

// The HTML file of a list: meet folder + meet abbreviation + "7" + list digit + ".html".
std::filesystem::path PointsHtmlPath(const std::filesystem::path& meetFolder, const std::string& meetAbbrev, int list);
// The HTML text of a list (text escaped), before its encoding.
std::string PointsHtml(const NyushoTable& table, int list, const std::vector<RankLine>& lines);

struct RankOutcome {
  int lines = 0;  // team lines printed over every list
  std::vector<std::filesystem::path> htmlFiles;
};

// 得点ランク: the ticked lists in the order 男子, 女子, 混合, 総合, each from a
// new page, 40 lines a page, one document ("points-ranking"); each ticked
// list's HTML file is replaced once the document is printed (a printout the
// printer refuses is an error, and no file is written).
Result<RankOutcome> PrintPointsRanking(Printer& printer, const std::filesystem::path& meetFolder,
                                       const Settings& settings, const NyushoTable& table,
                                       const std::array<bool, 4>& lists, bool all);

// 入賞者数: four teams a page with the eight rows each, one document
// ("placings"). Returns the pages.
Result<int> PrintPlacings(Printer& printer, const NyushoTable& table);

// The records list in its print order (sex, record class, event, list order).
std::vector<BikoEntry> RecordsInPrintOrder(const std::vector<BikoEntry>& entries);
// 記録一覧: the title and headings, then one line per entry (a relay's four
// members on the line below), one document ("records"). Returns the entries
// printed.
Result<int> PrintRecordsList(Printer& printer, const PrintSources& sources, const std::vector<BikoEntry>& entries);

}  // namespace meet
