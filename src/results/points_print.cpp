#include "results/points_print.h"
#include "core/html.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/sort_strings.h"
#include "core/time_code.h"

namespace meet {

using namespace points_print;

namespace {

// The list's individual and relay points of a team.
std::pair<int, int> ListPoints(const TeamRecord& t, int list) {
  if (list == kListTotal) return {t.at(0, 0) + t.at(0, 1) + t.at(0, 2), t.at(0, 3) + t.at(0, 4) + t.at(0, 5)};
  return {t.at(0, list), t.at(0, list + 3)};
}

std::string Cell(const std::string& text) { return "<TD>" + HtmlEscaped(text) + "</TD>"; }
std::string NumberCell(int value) { return "<TD ALIGN=\"RIGHT\">" + NumberText(value) + "</TD>"; }

std::string RankLineText(const TeamRecord& t, const RankLine& l) {
  return RightAligned(l.rank, 4) + "    " + PadToWidth(PrintedText(t.teamCode), 5) + "    " +
         PadToWidth(PrintedText(t.teamPrefName), 6) + "    " + PadToWidth(PrintedText(t.teamName), 12) + "    " +
         RightAligned(l.points, 8) + "    (  " + RightAligned(l.individual, 5) + "  " + RightAligned(l.relay, 5) +
         "  )";
}

// The grid of 20 places: each right-aligned in 3, " :" after every fifth.
template <typename F>
std::string PlaceGrid(F cell) {
  std::string out;
  for (int p = 1; p <= 20; ++p) {
    out += cell(p);
    if (p % 5 == 0) out += " :";
  }
  return out;
}

}  // namespace

std::vector<RankLine> RankLines(const NyushoTable& table, int list, bool all) {
  std::vector<RankLine> lines;
  for (size_t n = 0; n < table.teams.size(); ++n) {
    auto [individual, relay] = ListPoints(table.teams[n], list);
    lines.push_back(RankLine{0, static_cast<int>(n) + 1, individual + relay, individual, relay});
  }
  // Ascending by points then team, read from the end: high points first and,
  // among equal points, the later team first.
  std::sort(lines.begin(), lines.end(),
            [](const RankLine& a, const RankLine& b) { return a.points != b.points ? a.points > b.points : a.team > b.team; });
  std::vector<RankLine> out;
  for (RankLine& l : lines) {
    if (l.points == 0 && !all) continue;
    const int line = static_cast<int>(out.size()) + 1;
    l.rank = !out.empty() && out.back().points == l.points ? out.back().rank : line;
    out.push_back(l);
  }
  return out;
}

std::filesystem::path PointsHtmlPath(const std::filesystem::path& meetFolder, const std::string& meetAbbrev, int list) {
  std::string name = TrimRight(meetAbbrev) + "7" + NumberText(list + 1) + ".html";
  for (char& c : name)
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  if (name.starts_with(".")) name[0] = '_';
  return FindFile(meetFolder, name);
}

std::string PointsHtml(const NyushoTable& table, int list, const std::vector<RankLine>& lines) {
  std::string html = "<HTML><HEAD><TITLE></TITLE></HEAD><BODY>\r\n";
  html += "<TABLE BORDER=\"0\"  HEIGHT=\"100%\">\r\n";
  html += "<TR><TD COLSPAN=\"9\">" + HtmlEscaped(std::string(kRankTitle) + kListNames[static_cast<size_t>(list)]) +
          "</TD></TR>\r\n";
  html += "<TR>" + Cell("順") + Cell("番号") + Cell("県名") + Cell("所属") + Cell("得点") + Cell("") + Cell("個人") +
          Cell("ﾘﾚｰ") + Cell("") + "</TR>\r\n";
  for (const RankLine& l : lines) {
    const TeamRecord& t = table.teams[static_cast<size_t>(l.team - 1)];
    html += "<TR><TD ALIGN=\"RIGHT\">" + NumberText(l.rank) + "</TD>" + Cell(PrintedText(t.teamCode)) +
            Cell(PrintedText(t.teamPrefName)) + Cell(PrintedText(t.teamName)) + NumberCell(l.points) + Cell("(") +
            NumberCell(l.individual) + NumberCell(l.relay) + Cell(")") + "</TR>\r\n";
  }
  html += "</TABLE></BODY></HTML>\r\n";
  return html;
}

Result<RankOutcome> PrintPointsRanking(Printer& printer, const std::filesystem::path& meetFolder,
                                       const Settings& settings, const NyushoTable& table,
                                       const std::array<bool, 4>& lists, bool all) {
  RankOutcome outcome;
  Printer& p = printer;
  p.SetDocumentName(DocumentName{"得点ランク", "points-ranking"});
  bool pageStarted = false;
  std::vector<std::pair<std::filesystem::path, std::string>> htmls;
  for (int list = 0; list < 4; ++list) {
    if (!lists[static_cast<size_t>(list)]) continue;
    const std::vector<RankLine> lines = RankLines(table, list, all);
    auto heading = [&] {
      if (pageStarted) p.NewPage();
      pageStarted = true;
      p.SetFont(PrintFont{kGothic, kFontSize, false});
      p.SetPosition(kLeft, kTop);
      p.Print(kRankTitle);
      p.Print(kListNames[static_cast<size_t>(list)]);
      p.NextLine();
      p.NextLine();
      p.PrintAt(kLeft, kRankHeading);
      p.NextLine();
      p.PrintAt(kLeft, std::string(kRulerLength, '='));
      p.NextLine();
    };
    if (lines.empty()) heading();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i % kRankLinesPerPage == 0) heading();
      p.PrintAt(kLeft, RankLineText(table.teams[static_cast<size_t>(lines[i].team - 1)], lines[i]));
      p.NextLine();
      ++outcome.lines;
    }
    htmls.emplace_back(PointsHtmlPath(meetFolder, settings.meetAbbrev, list), PointsHtml(table, list, lines));
  }
  // The lists are written once they are on paper, so that a printout the
  // printer refuses leaves the files as they were.
  if (pageStarted)
    if (auto ok = p.EndDoc(); !ok) return std::unexpected(ok.error());
  for (const auto& [html, text] : htmls) {
    if (auto ok = WriteWholeFile(html, EncodeCp932(text)); !ok) return std::unexpected(ok.error());
    outcome.htmlFiles.push_back(html);
  }
  return outcome;
}

Result<int> PrintPlacings(Printer& printer, const NyushoTable& table) {
  Printer& p = printer;
  p.SetDocumentName(DocumentName{"入賞者数", "placings"});
  int pages = 0;
  const std::string heading =
      std::string(10, ' ') + "得点" + " : " + PlaceGrid([](int place) { return RightAligned(place, 3); });
  for (size_t n = 0; n < table.teams.size(); ++n) {
    if (n % kTeamsPerPage == 0) {
      if (pages > 0) p.NewPage();
      ++pages;
      p.SetFont(PrintFont{kGothic, kFontSize, false});
      p.SetPosition(kLeft, kTop);
      p.Print(heading);
      p.NextLine();
    }
    const TeamRecord& t = table.teams[n];
    p.NextLine();
    p.SetFont(PrintFont{kGothic, kTeamFontSize, true});
    p.PrintAt(kLeft, RightAligned(static_cast<int64_t>(n) + 1, 3) + " " + PrintedText(t.teamCode) + " " +
                         LeftChars(PrintedText(t.teamPrefName), 3) + " " + LeftChars(PrintedText(t.teamName), 6));
    p.NextLine();
    p.SetFont(PrintFont{kGothic, kFontSize, false});
    for (int row = 0; row < 8; ++row) {
      const int base = row < 4 ? 0 : 3;
      const int k = row % 4;
      auto value = [&](int place) {
        if (k < 3) return int{t.at(place, base + k)};
        return t.at(place, base) + t.at(place, base + 1) + t.at(place, base + 2);
      };
      p.PrintAt(kLeft, std::string(kPlacingRows[static_cast<size_t>(row)]) + NumberOrBlank(value(0), 4) + " : " +
                           PlaceGrid([&](int place) { return NumberOrBlank(value(place), 3); }));
      p.NextLine();
    }
  }
  if (table.teams.empty()) {
    p.SetFont(PrintFont{kGothic, kFontSize, false});
    p.SetPosition(kLeft, kTop);
    p.Print(heading);
    pages = 1;
  }
  if (auto ok = p.EndDoc(); !ok) return std::unexpected(ok.error());
  return pages;
}

std::vector<BikoEntry> RecordsInPrintOrder(const std::vector<BikoEntry>& entries) {
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (size_t n = 0; n < entries.size(); ++n) {
    const BikoEntry& e = entries[n];
    auto lastDigits = [](int64_t v, int width) {
      std::string t = ZeroPadded(((v % 10000) + 10000) % 10000, 4);
      return t.substr(t.size() - static_cast<size_t>(width));
    };
    keys.push_back(LeftChars(e.sexCode, 1) + lastDigits(e.recordClass + 100, 2) + lastDigits(e.eventCode + 100, 2) +
                   ZeroPadded(static_cast<int64_t>(n) + 1 + 100000, 6));
  }
  SortStrings(keys);
  std::vector<BikoEntry> out;
  out.reserve(entries.size());
  for (const std::string& k : keys) out.push_back(entries[static_cast<size_t>(LeadingNumber(k.substr(k.size() - 6)) - 100001)]);
  return out;
}

Result<int> PrintRecordsList(Printer& printer, const PrintSources& sources, const std::vector<BikoEntry>& entries) {
  Printer& p = printer;
  p.SetDocumentName(DocumentName{"記録一覧", "records"});
  const NamingContext& naming = sources.naming();
  bool pageStarted = false;
  auto heading = [&] {
    if (pageStarted) p.NewPage();
    pageStarted = true;
    p.SetFont(PrintFont{kMincho, kTeamFontSize, true});
    p.SetPosition(kLeft + 3000, kTop);
    p.Print(kRecordsTitle);
    p.NextLine();
    p.NextLine();
    p.SetFont(PrintFont{kMincho, kFontSize - 1, false});
    for (const Column& c : kRecordColumns) p.PrintAt(c.x, c.head);
    p.NextLine();
  };
  heading();
  int printed = 0;
  for (const BikoEntry& e : RecordsInPrintOrder(entries)) {
    const bool relay = e.relayFlag == "1";
    if (p.y() + p.LineHeight() * (relay ? 2 : 1) > kLastLineY) heading();
    const Entry swimmer = sources.entry(e.members[0]).value_or(Entry{});
    auto column = [&](size_t c, const std::string& text) {
      PrintColumn(p, kRecordColumns[c].x, c + 1 < kRecordColumns.size() ? kRecordColumns[c + 1].x : kPageWidth, text);
    };
    column(0, std::string(e.sexCode == "1" ? "男" : "女") + " " + RecordClassAbbrev(e.recordClass));
    // The event number and the heat apart: "  1-15", never "115".
    column(1, RightAligned(e.raceEventNo, 3) + "-" + RightAligned(e.heatNo, 2));
    column(2, PrintedText(ClassLabel(e.classFrom, e.classTo, e.eventCode, naming)) + " " +
                  PrintedText(EventName(e.eventCode, naming)));
    column(3, RoundName(e.stageCode) + RightAligned(e.place, 3));
    column(4, FormatTime(e.time));
    column(5, RightAligned(e.placePoints, 3));
    column(6, RightAligned(e.bonusValue, 3));
    column(7, PrintedText(e.teamCode));
    column(8, PrintedName(swimmer.affiliation));
    if (!relay) {
      column(9, PrintedName(swimmer.swimmerName));
      column(10, (swimmer.age != 0 ? RightAligned(swimmer.age, 2) : std::string("  ")) + " " +
                     sources.GradeText(swimmer.gradeCode));
    } else {
      p.NextLine();
      for (size_t leg = 0; leg < 4; ++leg)
        if (auto member = sources.entry(e.members[leg]))
          PrintColumn(p, kMemberX[leg], leg < 3 ? kMemberX[leg + 1] : kPageWidth, PrintedName(member->swimmerName));
    }
    p.NextLine();
    ++printed;
  }
  if (auto ok = p.EndDoc(); !ok) return std::unexpected(ok.error());
  return printed;
}

}  // namespace meet
