// The ranking lists on paper, in the HTML file and as text lines.
//
// Printout: each page starts with the meet's name, dates and the time of
// printing; every list follows with its title line, the column headings and
// one line per swimmer (a relay team's members on the line below it). A list
// that would not fit in what is left of the page starts a new page; a list
// longer than a page goes on over the next pages under its title and headings
// again.
//
// HTML: meet folder + meetAbbrev + "3.html" (申込), "4.html" (競技順),
// "5.html" (種目順) or "6.html" (プロ); a row with the list's title, a row of
// column headings, a row per line, numbers right-aligned, every text escaped.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform.h"
#include "print/results_print.h"
#include "results/ranking_list.h"
#include "settings/settings.h"

namespace meet {

namespace ranking_print {
inline constexpr double kFontSize = 9;
inline constexpr int kTop = 500;
inline constexpr int kLeft = 500;
inline constexpr int kDateX = 8505;
inline constexpr int kBottom = 15900;  // no line starts below this (A4: 16838 twips high)
inline constexpr int kChar = 90;  // a half-width character at 9 points, in twips
// Where each column starts: the results list's positions, but the grade one
// blank after a three-digit age (a relay team's summed age).
inline constexpr int kGradeX = ColumnAfter(4693, 4366, 3, kChar);  // 4726
inline constexpr std::array<int, kRankingColumns> kColumnX = {
    500, results_print::kHeatLaneX, 1578, results_print::kKanaX, 4366, kGradeX, 5237, 6087, 7461, 8411, 9162, 9445,
    9752, results_print::kOldNumberX};
}  // namespace ranking_print

class RankingPrintout {
 public:
  RankingPrintout(Printer& printer, const Clock& clock, const Settings& settings);
  void List(const RankingBlock& block);
  // Ends the document ("ranking") when anything was printed: what the printer
  // says of it.
  [[nodiscard]] Status End();
  int pages() const { return pages_; }

 private:
  void PageHeading();
  void ListHeading(const std::string& title);
  void Row(const RankingRow& row);
  void Next() { p_.SetPosition(0, p_.y() + p_.LineHeight()); }
  bool Fits(int lines) const { return p_.y() + lines * p_.LineHeight() <= ranking_print::kBottom; }

  Printer& p_;
  const Clock& clock_;
  const Settings& settings_;
  int pages_ = 0;
  bool pageHasList_ = false;
};

// The HTML file's path for the order and stage chosen.
std::filesystem::path RankingHtmlPath(const std::filesystem::path& meetFolder, const std::string& meetAbbrev,
                                      int order, int stage);

class RankingHtml {
 public:
  RankingHtml();
  // Adds the column "ポイント" (World Aquatics points) after the others: the
  // points of each line's swim, blank where it has none.
  void ShowPoints(std::function<std::optional<int>(int raceNo, int slot)> points) { points_ = std::move(points); }
  void List(const RankingBlock& block);
  // The whole file as UTF-8 text (closing line included).
  std::string Text() const;
  // Writes it in CP932 through a temporary file.
  Status Write(const std::filesystem::path& path) const;

 private:
  std::string html_;
  std::function<std::optional<int>(int, int)> points_;
};

// A list as text lines: its title, then one line per row with the cells
// (leading and trailing blanks removed) separated by tabs.
std::string RankingTextLines(const RankingBlock& block);

}  // namespace meet
