#include "platform/printer_factory.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>

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
  p.EndDoc();
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
  qt->EndDoc();
  ASSERT_EQ(qt->pdfFiles().size(), 2u);
  std::string pdf = test::ReadFile(qt->pdfFiles()[0]);
  ASSERT_GT(pdf.size(), 1000u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/FontFile2"), std::string::npos);  // an embedded TrueType font
  EXPECT_NE(pdf.find("IPA"), std::string::npos);
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);  // two pages
}

TEST(QtPrinter, JapaneseFontNamesMapToTheIpaFonts) {
  EXPECT_EQ(MapFontFamily("ＭＳ 明朝").toStdString(), "IPAMincho");
  EXPECT_EQ(MapFontFamily("ＭＳ ゴシック").toStdString(), "IPAGothic");
  EXPECT_EQ(MapFontFamily("Arial").toStdString(), "Arial");
}

}  // namespace
}  // namespace meet
