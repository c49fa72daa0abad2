#include "core/printer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/jsonl_printer.h"
#include "core/print_columns.h"
#include "support/test_support.h"

namespace meet {
namespace {

TEST(Printer, PrintAdvancesAlongTheLineAndNextLineMovesDown) {
  test::RecordingPrinter p;
  p.SetFontSize(10);
  p.SetPosition(1000, 500);
  p.Print("ab");
  p.Print("山");
  p.NextLine();
  p.Print("x");
  ASSERT_EQ(p.items.size(), 3u);
  EXPECT_EQ(p.items[0].x, 1000);
  EXPECT_EQ(p.items[1].x, 1000 + 2 * 100);  // half-width characters are half an em
  EXPECT_EQ(p.items[2].x, 0);
  EXPECT_EQ(p.items[2].y, 500 + p.LineHeight());
}

// At 10 points a half-width character is 100 twips: a column at 0 whose next
// column starts at 1700 holds 16 of them and the blank between.
TEST(FitColumn, CutsByCharactersToEndABlankBeforeTheNextColumn) {
  struct Row {
    const char* text;
    int nextX;
    const char* fitted;
  } rows[] = {
      {"長谷川龍之介太郎", 1700, "長谷川龍之介太郎"},
      {"長谷川龍之介太郎", 1699, "長谷川龍之介太"},  // never half a character
      {"ｱｲｳｴｵ漢字", 999, "ｱｲｳｴｵ漢"},  // 8 columns of room: 字 would be split
      {" 鹿児島県", 900, "鹿児島県"},  // the aligning blank goes before a character
      {"  12", 500, "  12"},
      {"豊中ＡＣ    ", 900, "豊中ＡＣ"},
      {"abc", 100, ""},
  };
  for (const Row& r : rows) {
    NullPrinter p;
    p.SetFontSize(10);
    EXPECT_EQ(FitColumn(p, r.text, 0, r.nextX), r.fitted) << r.text << " " << r.nextX;
  }
  static_assert(ColumnAfter(2553, 1078, 16, 100) == 2778);  // moved one blank past a full name
  static_assert(ColumnAfter(9752, 7461, 8, 100) == 9752);   // kept where nothing reaches it
}

TEST(Printer, DocumentsAndPagesAreCountedFromOne) {
  test::RecordingPrinter p;
  p.Print("a");
  p.NewPage();
  p.Print("b");
  ASSERT_TRUE(p.EndDoc());
  p.Print("c");
  ASSERT_TRUE(p.EndDoc());
  ASSERT_TRUE(p.EndDoc());  // nothing open: nothing happens
  ASSERT_EQ(p.items.size(), 3u);
  EXPECT_EQ(p.items[0].doc, 1);
  EXPECT_EQ(p.items[0].page, 1);
  EXPECT_EQ(p.items[1].page, 2);
  EXPECT_EQ(p.items[2].doc, 2);
  EXPECT_EQ(p.items[2].page, 1);
  EXPECT_EQ(p.documentsEnded, 2);
}

// A document the target cannot print is an error of that document alone,
// naming the target and the document; the name lasts until the document ends.
TEST(Printer, ADocumentTheTargetRefusesIsAnErrorNamingPrinterAndDocument) {
  test::RefusingPrinter p;
  p.refused = {"results"};
  p.SetDocumentName(RaceDocument("競技結果", "results", 15));
  p.Print("a");
  p.NewPage();
  p.Print("b");
  auto ended = p.EndDoc();
  ASSERT_FALSE(ended);
  EXPECT_EQ(ended.error().message, "印刷できませんでした（プリンター system）: 競技結果 レース 15（プリンターがありません）");
  EXPECT_EQ(p.documentName().file, "");
  p.SetDocumentName(RaceDocument("ラップ表", "lap", 15));
  p.Print("c");
  EXPECT_TRUE(p.EndDoc()) << "the next document prints";
  p.Print("d");  // a document without a name
  p.refused = {""};
  EXPECT_EQ(p.documents, (std::vector<std::string>{"results-r0015", "lap-r0015", ""}));
  EXPECT_TRUE(p.EndDoc()) << "refused only when it began";
  p.Print("e");
  EXPECT_EQ(p.EndDoc().error().message, "印刷できませんでした（プリンター system）: 印刷物（プリンターがありません）");
}

TEST(JsonlPrinter, WritesOneObjectPerTextAndRule) {
  test::TempDir dir;
  {
    JsonlPrinter p(dir / "out.jsonl");
    p.SetFont(PrintFont{kMincho, 13, false});
    p.PrintAt(1500, "第1組 \"A\"");
    p.SetY(500);
    p.Line(100, 200, 300, 400);
    ASSERT_TRUE(p.EndDoc());
  }
  EXPECT_EQ(test::ReadFile(dir / "out.jsonl"),
            "{\"doc\":1,\"page\":1,\"x\":1500,\"y\":0,\"font\":\"ＭＳ 明朝\",\"size\":13,\"bold\":false,"
            "\"text\":\"第1組 \\\"A\\\"\"}\n"
            "{\"doc\":1,\"page\":1,\"line\":[100,200,300,400]}\n");
}

TEST(JsonlPrinter, ANamedDocumentsObjectsEndWithItsFileName) {
  test::TempDir dir;
  JsonlPrinter p(dir / "o.jsonl");
  p.SetDocumentName(ProgramPagesDocument(2, 2));
  p.Print("x");
  p.Line(1, 2, 3, 4);
  ASSERT_TRUE(p.EndDoc());
  p.Print("y");
  EXPECT_EQ(test::ReadFile(dir / "o.jsonl"),
            "{\"doc\":1,\"page\":1,\"x\":0,\"y\":0,\"font\":\"ＭＳ 明朝\",\"size\":11,\"bold\":false,"
            "\"text\":\"x\",\"name\":\"program-p002\"}\n"
            "{\"doc\":1,\"page\":1,\"line\":[1,2,3,4],\"name\":\"program-p002\"}\n"
            "{\"doc\":2,\"page\":1,\"x\":0,\"y\":0,\"font\":\"ＭＳ 明朝\",\"size\":11,\"bold\":false,"
            "\"text\":\"y\"}\n");
}

TEST(JsonlPrinter, AFileThatTakesNoMoreIsAFailedDocument) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  JsonlPrinter p("/dev/full");
  p.SetTargetName("jsonl:/dev/full");
  p.SetDocumentName(RaceDocument("レース表", "race", 3));
  p.Print("x");
  auto ended = p.EndDoc();
  ASSERT_FALSE(ended);
  EXPECT_EQ(ended.error().message,
            "印刷できませんでした（プリンター jsonl:/dev/full）: レース表 レース 3（印刷ファイル /dev/full に書けません）");
}

TEST(JsonlPrinter, FractionalSizesAndControlCharactersAreValidJson) {
  test::TempDir dir;
  JsonlPrinter p(dir / "o.jsonl");
  p.SetFont(PrintFont{kGothic, 10.5, true});
  p.Print(std::string("a\tb\x01", 4));
  EXPECT_EQ(test::ReadFile(dir / "o.jsonl"),
            "{\"doc\":1,\"page\":1,\"x\":0,\"y\":0,\"font\":\"ＭＳ ゴシック\",\"size\":10.5,\"bold\":true,"
            "\"text\":\"a\\tb\\u0001\"}\n");
}

}  // namespace
}  // namespace meet
