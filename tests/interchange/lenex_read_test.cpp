// Reading Lenex files: the official samples read; every file that is unsafe or
// no Lenex is refused with its own message, never read half.
#include "interchange/lenex_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <cstdlib>
#include <functional>

#include "interchange/lxf_read.h"
#include "support/test_support.h"

namespace meet {
namespace {

namespace fs = std::filesystem;

fs::path SampleFolder() {
  const char* source = std::getenv("MEETDESK_SOURCE_DIR");
  return fs::path(source ? source : ".") / "tests" / "interchange" / "data";
}

// A zip written by libzip holding the entries (name, bytes), stored
// compressed; its bytes.
std::string Zip(const test::TempDir& dir, const std::vector<std::pair<std::string, std::string>>& entries) {
  const fs::path path = dir / "made.zip";
  fs::remove(path);
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  EXPECT_NE(archive, nullptr);
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    EXPECT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
  }
  EXPECT_EQ(zip_close(archive), 0);
  return test::ReadFile(path);
}

const char* const kSmall =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<LENEX version=\"3.0\">\n"
    "  <CONSTRUCTOR name=\"meetdesk\" registration=\"t\" version=\"1\"><CONTACT email=\"a@b.jp\"/></CONSTRUCTOR>\n"
    "  <MEETS><MEET name=\"夏季大会\" city=\"東京\" nation=\"JPN\" course=\"LCM\"><SESSIONS>\n"
    "    <SESSION number=\"1\" date=\"2024-07-01\" daytime=\"09:30\"><EVENTS>\n"
    "      <EVENT eventid=\"1\" number=\"3\" gender=\"F\" round=\"PRE\" daytime=\"09:30\">\n"
    "        <SWIMSTYLE distance=\"100\" relaycount=\"1\" stroke=\"BACK\"/>\n"
    "        <HEATS><HEAT heatid=\"1\" number=\"1\"/><HEAT heatid=\"2\" number=\"2\"/></HEATS></EVENT>\n"
    "      <EVENT eventid=\"2\" number=\"4\"><SWIMSTYLE distance=\"50\" relaycount=\"4\" stroke=\"MEDLEY\"/></EVENT>\n"
    "    </EVENTS></SESSION></SESSIONS>\n"
    "    <CLUBS><CLUB name=\"東京SC\"><ATHLETES>\n"
    "      <ATHLETE athleteid=\"1\" lastname=\"山田\" firstname=\"花子\" gender=\"F\" birthdate=\"2010-01-01\">\n"
    "        <ENTRIES><ENTRY eventid=\"1\"/></ENTRIES>\n"
    "        <RESULTS><RESULT resultid=\"1\" eventid=\"1\" swimtime=\"00:01:05.23\"/></RESULTS></ATHLETE>\n"
    "      </ATHLETES><RELAYS><RELAY gender=\"F\" agemin=\"-1\" agemax=\"-1\" agetotalmin=\"-1\" agetotalmax=\"-1\">\n"
    "        <ENTRIES><ENTRY eventid=\"2\"/></ENTRIES></RELAY></RELAYS></CLUB>\n"
    "    </CLUBS></MEET></MEETS>\n"
    "</LENEX>\n";

TEST(LenexRead, TheOfficialSamplesRead) {
  for (const char* name : {"example-results.lxf", "example-entries.lxf"}) {
    auto document = ReadLenexFile(SampleFolder() / name);
    ASSERT_TRUE(document) << name << ": " << document.error().message;
    const LenexSummary s = SummarizeLenex(**document);
    ASSERT_EQ(s.meets.size(), 1u) << name;
    EXPECT_FALSE(s.meets[0].sessions.empty());
    EXPECT_FALSE(s.meets[0].sessions[0].events.empty());
    EXPECT_GT(s.meets[0].clubs, 0);
    EXPECT_GT(s.meets[0].athletes, 0);
    EXPECT_GT(s.meets[0].entries + s.meets[0].results, 0);
  }
}

TEST(LenexRead, ShowListsTheMeetItsEventsAndCounts) {
  auto document = ParseLenex(kSmall, "small.lef");
  ASSERT_TRUE(document) << document.error().message;
  const std::vector<std::string> expected = {
      "Lenex 3.0（作成: meetdesk 1）",
      "大会: 夏季大会（東京, JPN, LCM）",
      "  セッション 1: 2024-07-01 09:30（種目 2）",
      "    種目 3: F PRE 100m BACK（組 2） 09:30",
      "    種目 4: A TIM 4×50m MEDLEY（組 0）",
      "  クラブ 1、選手 1、エントリー 1、結果 1、リレー 1（エントリー 1、結果 0）",
  };
  EXPECT_EQ(LenexShowLines(SummarizeLenex(**document)), expected);
}

TEST(LenexRead, AZipAndAPlainFileReadAlike) {
  test::TempDir dir;
  test::WriteFile(dir / "small.lxf", Zip(dir, {{"small.lef", kSmall}}));
  test::WriteFile(dir / "mac.lxf", Zip(dir, {{"__MACOSX/._small.lef", "Mac attributes"}, {"small.lef", kSmall}}));
  test::WriteFile(dir / "small.lef", kSmall);
  test::WriteFile(dir / "other.txt", "\xEF\xBB\xBF" + std::string(kSmall));  // a BOM; told by its bytes
  fs::create_symlink(dir / "small.lxf", dir / "link.lxf");                     // a link is followed
  for (const char* name : {"small.lxf", "mac.lxf", "small.lef", "other.txt", "link.lxf"}) {
    auto document = ReadLenexFile(dir / name);
    ASSERT_TRUE(document) << name << ": " << document.error().message;
    EXPECT_EQ(SummarizeLenex(**document).meets.at(0).name, "夏季大会") << name;
  }
}

// Patches the uncompressed size a zip declares for its one entry, in the local
// header and in the central directory alike.
std::string WithDeclaredSize(std::string zip, uint32_t size) {
  auto put = [&](size_t at) {
    for (int i = 0; i < 4; ++i) zip[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  };
  put(22);
  const size_t central = zip.find("PK\x01\x02");
  put(central + 24);
  return zip;
}

TEST(LenexRead, UnsafeAndBrokenFilesAreRefusedWithTheirMessage) {
  test::TempDir dir;
  const std::string lef = kSmall;
  const std::string zip = Zip(dir, {{"small.lef", lef}});
  std::string flipped = zip;
  flipped[30 + 9 + 20] ^= 0x55;  // inside the deflated data of small.lef
  std::string deep = "<LENEX>";
  for (int i = 0; i < 70; ++i) deep += "<A>";
  struct Row {
    const char* file;
    std::string bytes;
    const char* message;  // a part of the message
  };
  const std::vector<Row> rows = {
      {"empty.lef", "", "は空です"},
      {"empty.lxf", "", "は空です"},
      {"text.lxf", lef, "は zip ではありません"},
      {"cut.lxf", zip.substr(0, zip.size() / 2), "は壊れた zip です（途中で切れているようです）"},
      {"flipped.lxf", flipped, "は壊れています"},
      {"none.lxf", Zip(dir, {{"readme.txt", "x"}}), "に .lef ファイルがありません"},
      {"two.lxf", Zip(dir, {{"a.lef", lef}, {"b.LEF", lef}}), "に .lef ファイルが 2 個あります"},
      {"bomb.lxf", WithDeclaredSize(zip, 200u << 20), "の small.lef は 128 MB を超えるため、読みません"},
      {"sjis.lef", "<LENEX version=\"\x82\xa0\"/>", "は UTF-8 ではありません（1 行目）"},
      {"sjis.lxf", Zip(dir, {{"s.lef", "<LENEX>\n\x82\xa0</LENEX>"}}), "は UTF-8 ではありません（2 行目）"},
      {"overlong.lef", "<LENEX version=\"\xC0\xAF\"/>", "は UTF-8 ではありません"},
      {"utf16.lef", "\xFF\xFE<\0L\0", "は UTF-16 です"},
      {"control.lef", std::string("<LENEX>\x01</LENEX>"), "に XML で使えない文字があります（1 行目）"},
      {"nul.lef", std::string("<LENEX>\0</LENEX>", 16), "に XML で使えない文字があります"},
      {"entities.lef",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE LENEX [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>\n"
       "<LENEX version=\"&b;\"/>",
       "は DOCTYPE で実体（ENTITY）を宣言しているため、読みません"},
      {"deep.lef", deep, "は要素の入れ子が 64 段を超えるため、読みません"},
      {"truncated.lef", lef.substr(0, lef.size() / 2), "は XML として読めません（"},
      {"garbage.lef", "Lenex? no.", "要素がありません"},
      {"two-roots.lef", "<LENEX/><LENEX/>", "は XML として読めません（最上位の要素が複数あります）"},
      {"other.lef", "<MEET name=\"x\"/>", "は Lenex ファイルではありません（最上位の要素が MEET です。LENEX のはずです）"},
  };
  for (const Row& row : rows) {
    test::WriteFile(dir / row.file, row.bytes);
    auto document = ReadLenexFile(dir / row.file);
    ASSERT_FALSE(document) << row.file;
    const std::string& message = document.error().message;
    EXPECT_TRUE(message.starts_with((dir / row.file).string())) << message;
    EXPECT_NE(message.find(row.message), std::string::npos) << row.file << ": " << message;
  }
}

TEST(LenexRead, AZipInflatingPastTheCapIsStoppedThere) {
  test::TempDir dir;
  // 100,000 bytes deflated to a few hundred, declaring 1,000: the cap of
  // 10,000 stops the inflating whatever the zip declared.
  const std::string zip = WithDeclaredSize(Zip(dir, {{"big.lef", std::string(100000, ' ')}}), 1000);
  auto text = LefFromZip(zip, "big.lxf", 10000);
  ASSERT_FALSE(text);
  EXPECT_EQ(text.error().message, "big.lxf の big.lef は 10000 バイトを超えるため、読みません。");
  EXPECT_TRUE(LefFromZip(Zip(dir, {{"small.lef", std::string(10000, ' ')}}), "small.lxf", 10000));
}

TEST(LenexRead, TooLargeMissingAndNoRegularFilesAreRefused) {
  test::TempDir dir;
  test::WriteFile(dir / "huge.lef", "<LENEX>");
  fs::resize_file(dir / "huge.lef", kMaxLenexBytes + 1);  // sparse
  fs::create_directory(dir / "folder.lxf");
  ASSERT_EQ(::mkfifo((dir / "pipe.lef").c_str(), 0600), 0);
  fs::create_symlink(dir / "gone.lef", dir / "dangling.lef");
  struct Row {
    const char* file;
    const char* message;
  };
  for (const Row& row : {Row{"huge.lef", "は 128 MB を超えるため、読みません"}, Row{"missing.lxf", "がありません"},
                         Row{"folder.lxf", "は通常のファイルではありません"},
                         Row{"pipe.lef", "は通常のファイルではありません"}, Row{"dangling.lef", "がありません"}}) {
    auto text = ReadLenexText(dir / row.file);
    ASSERT_FALSE(text) << row.file;
    EXPECT_NE(text.error().message.find(row.message), std::string::npos) << row.file << ": " << text.error().message;
  }
}

}  // namespace
}  // namespace meet
