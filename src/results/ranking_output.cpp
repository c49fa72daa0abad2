#include "results/ranking_output.h"
#include "core/html.h"

#include "core/cp932.h"
#include "core/file_names.h"

namespace meet {

namespace {

using namespace ranking_print;

std::string Trimmed(std::string_view text) {
  size_t a = 0;
  while (a < text.size() && text[a] == ' ') ++a;
  return TrimRight(text.substr(a));
}

constexpr const char* kHtmlOpening = "<HTML><HEAD><TITLE></TITLE></HEAD><BODY>";
constexpr const char* kHtmlTable = "<TABLE BORDER=\"0\"  HEIGHT=\"100%\">";
constexpr const char* kHtmlClosing = "</TABLE></BODY></HTML>";

}  // namespace

RankingPrintout::RankingPrintout(Printer& printer, const Clock& clock, const Settings& settings)
    : p_(printer), clock_(clock), settings_(settings) {}

void RankingPrintout::PageHeading() {
  if (pages_ == 0) p_.SetDocumentName(DocumentName{"ランキング", "ranking"});
  if (pages_ > 0) p_.NewPage();
  ++pages_;
  pageHasList_ = false;
  p_.SetFont(PrintFont{kMincho, kFontSize, false});
  p_.SetPosition(0, kTop);
  const DateTime now = clock_.Now();
  p_.PrintAt(kLeft, PrintedText(settings_.meetName));
  p_.PrintAt(kDateX, DateSlashed(now) + "  " + TimeColons(now));
  Next();
  p_.PrintAt(kLeft, DateDisplay(settings_.meetDateFrom) + " ～ " + DateDisplay(settings_.meetDateTo) + "  " +
                        PrintedText(settings_.meetCode));
  Next();
}

void RankingPrintout::ListHeading(const std::string& title) {
  Next();
  p_.PrintAt(kLeft, title);
  Next();
  for (size_t i = 0; i < kRankingHeads.size(); ++i) p_.PrintAt(kColumnX[i], kRankingHeads[i]);
  pageHasList_ = true;
}

void RankingPrintout::Row(const RankingRow& row) {
  Next();
  // A swimmer's cell ends before the next column; a relay's members, spread
  // over the columns, each end before the next member.
  for (size_t i = 0; i < row.cells.size(); ++i) {
    if (row.cells[i].empty()) continue;
    size_t next = i + 1;
    if (row.member)
      while (next < row.cells.size() && row.cells[next].empty()) ++next;
    PrintColumn(p_, kColumnX[i], next < row.cells.size() ? kColumnX[next] : kPageWidth, row.cells[i]);
  }
}

void RankingPrintout::List(const RankingBlock& block) {
  // Title, headings and every line, with a blank line before the title.
  const int lines = 3 + static_cast<int>(block.rows.size());
  if (pages_ == 0 || (pageHasList_ && !Fits(lines))) PageHeading();
  ListHeading(block.title);
  for (size_t j = 0; j < block.rows.size(); ++j) {
    // A team stays on one page with its members' line.
    const bool withMembers = j + 1 < block.rows.size() && block.rows[j + 1].member;
    if (!Fits(withMembers ? 2 : 1) && !block.rows[j].member) {
      PageHeading();
      ListHeading(block.title);
    }
    Row(block.rows[j]);
  }
}

Status RankingPrintout::End() {
  if (pages_ == 0) return {};
  return p_.EndDoc();
}

std::filesystem::path RankingHtmlPath(const std::filesystem::path& meetFolder, const std::string& meetAbbrev,
                                      int order, int stage) {
  const char* suffix = stage == kStageEntry      ? "3"
                       : order == kOrderEvent    ? "5"
                       : order == kOrderProgram  ? "6"
                                                 : "4";
  // The abbreviation names a file in the meet folder, never another folder.
  std::string name = PrintedText(meetAbbrev) + suffix + ".html";
  for (char& c : name)
    if (c == '/' || c == '\\') c = '_';
  if (name.starts_with(".")) name[0] = '_';
  return FindFile(meetFolder, name);
}

RankingHtml::RankingHtml() { html_ = std::string(kHtmlOpening) + "\r\n" + kHtmlTable + "\r\n"; }

void RankingHtml::List(const RankingBlock& block) {
  html_ += "<TR><TD COLSPAN=\"4\">" + HtmlEscaped(block.title) + "</TD></TR>\r\n<TR>";
  for (const char* head : kRankingHeads) html_ += "<TD>" + HtmlEscaped(Trimmed(head)) + "</TD>";
  if (points_) html_ += "<TD>ポイント</TD>";
  html_ += "</TR>\r\n";
  for (const RankingRow& row : block.rows) {
    html_ += "<TR>";
    for (size_t i = 0; i < row.cells.size(); ++i)
      html_ += std::string(kRankingNumeric[i] && !row.member ? "<TD align=\"right\">" : "<TD>") +
               HtmlEscaped(Trimmed(row.cells[i])) + "</TD>";
    if (points_) {
      const auto points = row.member ? std::nullopt : points_(row.race, row.slot);
      html_ += points ? "<TD align=\"right\">" + std::to_string(*points) + "</TD>" : std::string("<TD></TD>");
    }
    html_ += "</TR>\r\n";
  }
}

std::string RankingHtml::Text() const { return html_ + kHtmlClosing + "\r\n"; }

Status RankingHtml::Write(const std::filesystem::path& path) const { return WriteWholeFile(path, EncodeCp932(Text())); }

std::string RankingTextLines(const RankingBlock& block) {
  std::string out = block.title + "\n";
  for (const RankingRow& row : block.rows) {
    for (size_t i = 0; i < row.cells.size(); ++i) {
      if (i > 0) out += '\t';
      out += Trimmed(row.cells[i]);
    }
    out += '\n';
  }
  return out;
}

}  // namespace meet
