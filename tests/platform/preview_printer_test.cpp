#include "platform/preview_printer.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/printer_factory.h"
#include "print/print_fixture.h"
#include "print/program_print.h"

namespace meet {
namespace {

void EnsureApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "platform_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}

TEST(PreviewPrinter, OffscreenAProgramPageBecomesAOnePagePdfInThePrintFolder) {
  EnsureApp();
  test::PrintMeet meet;
  meet.Entries({test::Swimmer("山田　太郎")});
  test::HandRace race;
  race.laneNo[3] = 1;
  meet.Races({race});
  meet.Pages({{1}});
  auto made = MakePrinter("preview", PreviewSetup{[&] { return meet.dir.str(); }, true});
  ASSERT_TRUE(made);
  auto* preview = dynamic_cast<PreviewPrinter*>(made->get());
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(preview->CanShowWindow());  // the tests run offscreen
  Platform platform{*preview, meet.fake.dialogs, meet.fake.clock, meet.fake.launcher};
  auto sheets = PrintProgramPages(platform, meet.files(), 1, 1, 1, false);
  ASSERT_TRUE(sheets) << sheets.error().message;
  ASSERT_EQ(preview->filesWritten().size(), 1u);
  const std::filesystem::path pdfFile = preview->filesWritten()[0];
  EXPECT_EQ(pdfFile.filename(), "program-p001.pdf");
  EXPECT_EQ(pdfFile.parent_path().filename(), kPreviewFolder);
  EXPECT_EQ(std::filesystem::canonical(pdfFile.parent_path().parent_path()), std::filesystem::canonical(meet.dir.path()));
  const std::string pdf = test::ReadFile(pdfFile);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 1"), std::string::npos);    // one page
  EXPECT_NE(pdf.find("/FontFile2"), std::string::npos);  // the Japanese font embedded
  EXPECT_NE(pdf.find("IPAMincho"), std::string::npos);
  EXPECT_EQ(preview->previewsShown(), 0);
}

TEST(PreviewPrinter, APdfThatCannotBeWrittenFailsTheDocumentAsThePreviewTarget) {
  EnsureApp();
  test::TempDir dir;
  test::WriteFile(dir / "meet", "");  // a file where the meet folder should be
  PreviewPrinter preview([&] { return (dir / "meet").string(); }, false);
  preview.SetTargetName("preview");
  preview.SetDocumentName(RaceDocument("ラップ表", "lap", 7));
  preview.Print("x");
  auto ended = preview.EndDoc();
  ASSERT_FALSE(ended);
  EXPECT_EQ(ended.error().message.rfind("印刷できませんでした（プリンター preview）: ラップ表 レース 7（フォルダー ", 0), 0u)
      << ended.error().message;
  EXPECT_TRUE(preview.filesWritten().empty());
}

TEST(PreviewPrinter, ReplaysPagesFontsAndRulesOntoAnotherPrinter) {
  EnsureApp();
  test::TempDir dir;
  PreviewPrinter preview([&] { return dir.str(); }, false);
  preview.SetFont(PrintFont{kGothic, 12, true});
  preview.SetPosition(100, 200);
  preview.Print("一頁");
  preview.NewPage();
  preview.Line(1, 2, 3, 4);
  preview.NewPage();  // an empty last page is kept
  test::RecordingPrinter copy;
  ASSERT_TRUE(preview.ReplayOnto(copy));
  ASSERT_EQ(copy.items.size(), 2u);
  EXPECT_EQ(copy.items[0].text, "一頁");
  EXPECT_EQ(copy.items[0].font, kGothic);
  EXPECT_TRUE(copy.items[0].bold);
  EXPECT_EQ(copy.items[0].x, 100);
  EXPECT_EQ(copy.items[1].page, 2);
  EXPECT_TRUE(copy.items[1].isLine);
  EXPECT_EQ(copy.documentsEnded, 1);
  EXPECT_EQ(copy.pageNo(), 0);
}

}  // namespace
}  // namespace meet
