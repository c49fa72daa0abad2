#include "platform/printer_factory.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrinterInfo>

#include "platform/qt_printer.h"
#include "support/test_support.h"

namespace meet {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "platform_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

void PrintSample(Printer& p) {
  p.SetFont(PrintFont{kMincho, 13, false});
  p.SetPosition(1000, 500);
  p.Print("第１組　山田太郎");
  p.NextLine();
  p.SetFontName(kGothic);
  p.PrintAt(1500, "ﾔﾏﾀﾞ 1:05.23");
  p.Line(1000, 2000, 9000, 2000);
  p.NewPage();
  p.PrintAt(1500, "二頁目");
  ASSERT_TRUE(p.EndDoc());
}

TEST(PrinterFactory, UnknownTargetsAreRefused) {
  EXPECT_FALSE(MakePrinter("fax"));
  EXPECT_FALSE(MakePrinter("jsonl:"));
  EXPECT_FALSE(MakePrinter("pdf:"));
  EXPECT_TRUE(MakePrinter("none"));
}

TEST(PrinterFactory, JsonlTargetRecordsJapaneseLinesAtTheirTwipPositions) {
  test::TempDir dir;
  auto p = MakePrinter("jsonl:" + (dir / "p.jsonl").string());
  ASSERT_TRUE(p);
  PrintSample(**p);
  std::string out = test::ReadFile(dir / "p.jsonl");
  EXPECT_NE(out.find("{\"doc\":1,\"page\":1,\"x\":1000,\"y\":500,\"font\":\"ＭＳ 明朝\",\"size\":13,\"bold\":false,"
                     "\"text\":\"第１組　山田太郎\"}"),
            std::string::npos);
  EXPECT_NE(out.find("\"x\":1500,\"y\":" + std::to_string(500 + 13 * 22) + ",\"font\":\"ＭＳ ゴシック\""),
            std::string::npos);
  EXPECT_NE(out.find("{\"doc\":1,\"page\":1,\"line\":[1000,2000,9000,2000]}"), std::string::npos);
  EXPECT_NE(out.find("{\"doc\":1,\"page\":2,\"x\":1500,\"y\":0"), std::string::npos);
}

TEST(PrinterFactory, PdfTargetWritesOnePdfPerDocumentWithAnEmbeddedJapaneseFont) {
  App();
  test::TempDir dir;
  auto made = MakePrinter("pdf:" + (dir / "pdf").string());
  ASSERT_TRUE(made);
  auto* qt = dynamic_cast<QtPrinter*>(made->get());
  ASSERT_NE(qt, nullptr);
  PrintSample(*qt);
  qt->PrintAt(100, "二つ目");
  ASSERT_TRUE(qt->EndDoc());
  ASSERT_EQ(qt->filesWritten().size(), 2u);
  std::string pdf = test::ReadFile(qt->filesWritten()[0]);
  ASSERT_GT(pdf.size(), 1000u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/FontFile2"), std::string::npos);  // an embedded TrueType font
  EXPECT_NE(pdf.find("IPA"), std::string::npos);
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);  // two pages
}

// Each PDF is named by what it holds; a name already taken (this run's
// earlier copy, or a file left from before) gets "-2", "-3" …, never
// overwritten. The listener hears of each whole file.
TEST(PrinterFactory, PdfFilesAreNamedByTheirDocumentAndNeverOverwritten) {
  App();
  test::TempDir dir;
  const std::filesystem::path folder = dir / "pdf";
  std::filesystem::create_directories(folder);
  test::WriteFile(folder / "lap-r0012.pdf", "kept");
  auto made = MakePrinter("pdf:" + folder.string());
  ASSERT_TRUE(made);
  Printer& p = **made;
  std::vector<std::string> heard;
  p.SetFileListener([&](const std::string& file) { heard.push_back(std::filesystem::path(file).filename()); });
  for (const DocumentName& name : {RaceDocument("競技結果", "results", 15), RaceDocument("競技結果", "results", 15),
                                   ProgramPagesDocument(3, 5), RaceDocument("ラップ表", "lap", 12), DocumentName{}}) {
    p.SetDocumentName(name);
    p.Print("x");
    ASSERT_TRUE(p.EndDoc());
  }
  EXPECT_EQ(heard, (std::vector<std::string>{"results-r0015.pdf", "results-r0015-2.pdf", "program-p003-p005.pdf",
                                             "lap-r0012-2.pdf", "print.pdf"}));
  EXPECT_EQ(test::ReadFile(folder / "lap-r0012.pdf"), "kept");
  ASSERT_EQ(p.filesWritten().size(), 5u);
  EXPECT_TRUE(std::filesystem::path(p.filesWritten()[0]).is_absolute());
  EXPECT_EQ(test::ReadFile(p.filesWritten()[3]).substr(0, 5), "%PDF-");
}

// The real system printer through Qt: a printer that is not there fails the
// document (Qt would quietly fall back to a PDF without a file name).
TEST(QtPrinter, APrinterThatIsNotThereFailsTheDocument) {
  App();
  QtPrinter named(QtPrinter::Target::System, "meetdesk-no-such-printer");
  named.SetTargetName("system");
  named.SetDocumentName(RaceDocument("競技結果", "results", 15));
  named.Print("x");
  auto ended = named.EndDoc();
  ASSERT_FALSE(ended);
  EXPECT_EQ(ended.error().message,
            "印刷できませんでした（プリンター system）: 競技結果 レース 15（プリンター meetdesk-no-such-printer がありません）");

  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed: no paper is spent on it";
  auto made = MakePrinter("system");
  ASSERT_TRUE(made);
  (*made)->SetDocumentName(ProgramPagesDocument(3, 3));
  (*made)->Print("x");
  auto byDefault = (*made)->EndDoc();
  ASSERT_FALSE(byDefault) << "no printer installed, yet the document was printed";
  EXPECT_EQ(byDefault.error().message,
            "印刷できませんでした（プリンター system）: プログラム 3 ページ（既定のプリンターがありません）");
}

TEST(QtPrinter, JapaneseFontNamesMapToTheIpaFonts) {
  EXPECT_EQ(MapFontFamily("ＭＳ 明朝").toStdString(), "IPAMincho");
  EXPECT_EQ(MapFontFamily("ＭＳ ゴシック").toStdString(), "IPAGothic");
  EXPECT_EQ(MapFontFamily("Arial").toStdString(), "Arial");
}

}  // namespace
}  // namespace meet
