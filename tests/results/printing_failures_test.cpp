// Every document printer through a printer that cannot print (the system
// target without a printer): each returns the failure, naming the printer and
// the document, and a printout that goes with files writes none of them. The
// same rows through a working printer give each document its file name.
#include <gtest/gtest.h>

#include <functional>

#include "print/frm_mk_page_screen.h"
#include "print/print_fixture.h"
#include "print/program_print.h"
#include "print/results_print.h"
#include "program/frm_projun_screen.h"
#include "race/next_stage.h"
#include "race/race_sheets.h"
#include "race/standards_check.h"
#include "records/record_check.h"
#include "results/points_print.h"
#include "results/ranking_fixture.h"
#include "results/ranking_output.h"

namespace meet {
namespace {

struct DocumentsMeet : test::PrintMeet {
  DocumentsMeet() {
    settings.meetAbbrev = "春季";
    Entries({test::Swimmer("山田　太郎"), test::Swimmer("鈴木　一郎")});
    test::HandRace race;
    race.laneNo[0] = 1;
    race.laneNo[1] = 2;
    race.laneTime[0] = 3010;
    race.laneTime[1] = 3149;
    Races({race});
    Pages({{1}, {1}});
    std::filesystem::create_directories(dir / "lap");
    test::WriteFile(dir / "lap" / "R0001", "1,15.20,\r\n1,30.10,G\r\n");
    test::WriteFile(dir / "shikaku.dat", test::ShikakuBytes(570, {}));
    test::WriteFile(dir / "projun.dat", test::ProgramFileBytes({test::HandProgramEntry{}}));
  }
  Race Loaded() const { return *LoadRace(dir.path(), 1); }
};

NyushoTable OneTeam() {
  NyushoTable t;
  t.tallied = true;
  TeamRecord team;
  team.teamCode = "13001";
  team.teamName = "青葉ＳＣ";
  team.at(0, 0) = 7;
  t.teams.push_back(team);
  return t;
}

struct DocumentRow {
  const char* title;
  const char* file;
  std::function<Status(Platform&, DocumentsMeet&)> print;
};

template <class T>
Status StatusOf(const Result<T>& r) {
  if (!r) return std::unexpected(r.error());
  return {};
}

const std::vector<DocumentRow>& Rows() {
  static const std::vector<DocumentRow> rows = {
      {"競技結果 レース 1", "results-r0001",
       [](Platform& p, DocumentsMeet& m) { return StatusOf(PrintRaceResults(p, m.files(), 1, 1)); }},
      {"プログラム 1 ページ", "program-p001",
       [](Platform& p, DocumentsMeet& m) { return StatusOf(PrintProgramPages(p, m.files(), 1, 1, 2, false)); }},
      {"プログラム 1～2 ページ", "program-p001-p002",
       [](Platform& p, DocumentsMeet& m) { return StatusOf(PrintProgramPages(p, m.files(), 1, 2, 1, true)); }},
      {"レース表 レース 1", "race-r0001",
       [](Platform& p, DocumentsMeet& m) { return PrintRaceSheet(p, m.files(), 1, m.Loaded(), 1); }},
      {"ラップ表 レース 1", "lap-r0001",
       [](Platform& p, DocumentsMeet& m) { return PrintLapSheet(p, m.files(), 1, m.Loaded(), 1); }},
      {"記録の通知 レース 1", "notice-r0001",
       [](Platform& p, DocumentsMeet& m) {
         const Race race = m.Loaded();
         const NamingContext naming;
         RecordNotices notices(p.printer, race, naming, 1);
         notices.recordNotice(0, Entry{}, 3010, BrokenRecord{kMeetRecordClass, 1, 3100});
         return notices.End();
       }},
      {"同記録の通知 レース 3", "swimoff-r0003",
       [](Platform& p, DocumentsMeet& m) {
         NextStage stage;
         stage.race = 3;
         stage.swimOffs.push_back(SwimOff{3010, {RankedSwimmer{}, RankedSwimmer{}}, {7, -1}});
         return PrintSwimOffNotice(p.printer, "No.1", stage, PrintSources(m.files()));
       }},
      {"得点ランク", "points-ranking",
       [](Platform& p, DocumentsMeet& m) {
         return StatusOf(PrintPointsRanking(p.printer, m.dir.path(), m.settings, OneTeam(), {true, true, true, true}, true));
       }},
      {"入賞者数", "placings", [](Platform& p, DocumentsMeet&) { return StatusOf(PrintPlacings(p.printer, OneTeam())); }},
      {"記録一覧", "records",
       [](Platform& p, DocumentsMeet& m) {
         return StatusOf(PrintRecordsList(p.printer, PrintSources(m.files()), {BikoEntry{}}));
       }},
      {"ランキング", "ranking",
       [](Platform& p, DocumentsMeet& m) {
         RankingPrintout out(p.printer, p.clock, m.settings);
         out.List(RankingBlock{"男子 50m自由形", {RankingRow{}}});
         return out.End();
       }},
      {"個人記録確認", "record-check",
       [](Platform& p, DocumentsMeet& m) { return StatusOf(RunRecordCheck(m.dir.path(), m.settings, p.printer, p.clock)); }},
      {"競技順", "order",
       [](Platform& p, DocumentsMeet& m) {
         FrmProjunScreen screen(m.dir.path(), m.settings, p);
         if (auto ok = screen.Open(); !ok) return ok;
         return StatusOf(screen.Insatu());
       }},
      {"ページ一覧", "pages",
       [](Platform& p, DocumentsMeet& m) {
         FrmMkPageScreen screen(m.dir.path(), m.settings, p);
         if (auto ok = screen.Open(); !ok) return ok;
         return StatusOf(screen.Insatu());
       }},
  };
  return rows;
}

TEST(PrintingFailures, EveryDocumentPrinterReturnsTheFailureNamingPrinterAndDocument) {
  for (const DocumentRow& row : Rows()) {
    SCOPED_TRACE(row.title);
    DocumentsMeet meet;
    test::RefusingPrinter refusing;
    Platform platform{refusing, meet.fake.dialogs, meet.fake.clock, meet.fake.launcher};
    Status printed = row.print(platform, meet);
    ASSERT_FALSE(printed) << "reported as printed";
    EXPECT_EQ(printed.error().message,
              std::string("印刷できませんでした（プリンター system）: ") + row.title + "（プリンターがありません）");
    EXPECT_EQ(refusing.documents, std::vector<std::string>{row.file}) << "one document, no further copy tried";
  }
}

TEST(PrintingFailures, EveryDocumentIsNamedByWhatItHolds) {
  for (const DocumentRow& row : Rows()) {
    SCOPED_TRACE(row.title);
    DocumentsMeet meet;
    ASSERT_TRUE(row.print(meet.fake.platform, meet));
    ASSERT_FALSE(meet.fake.printer.documents.empty());
    for (const std::string& file : meet.fake.printer.documents) EXPECT_EQ(file, row.file);
  }
}

// The files a printout goes with are written once it is on paper: a refused
// printout leaves the HTML lists and the race times as they were.
TEST(PrintingFailures, ARefusedPrintoutWritesNoneOfItsFiles) {
  DocumentsMeet meet;
  test::RefusingPrinter refusing;
  Platform platform{refusing, meet.fake.dialogs, meet.fake.clock, meet.fake.launcher};
  const std::string races = meet.RaceBytes();
  for (const DocumentRow& row : Rows()) ASSERT_FALSE(row.print(platform, meet)) << row.title;
  EXPECT_FALSE(std::filesystem::exists(PointsHtmlPath(meet.dir.path(), meet.settings.meetAbbrev, 0)));
  EXPECT_FALSE(std::filesystem::exists(ProgramHtmlPath(meet.dir.path(), meet.settings.meetAbbrev)));
  EXPECT_EQ(meet.RaceBytes(), races) << "no start times set from the program";
}

}  // namespace
}  // namespace meet
