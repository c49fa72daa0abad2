#include "settings/settings.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "support/test_support.h"

namespace meet {
namespace {

// A complete kijun.dat line written by hand, value by value in file order.
std::string HandMadeLine() {
  std::string line = "D:\\mosi\\,ind.Mos,0123456,第10回市民大会,市民大会,20081103,20081104,市民プール,1,0,4,2,1,8,3";
  for (int i = 0; i < 15; ++i) line += "," + std::to_string(i);           // printCopies 0..14
  for (int i = 1; i <= 20; ++i) line += "," + std::to_string(21 - i);     // pointsIndividual
  for (int i = 1; i <= 20; ++i) line += "," + std::to_string(2 * (21 - i));  // pointsRelay
  line += ",1,0,1,1,2,spare,6,2,3,4,100\r\n";
  return line;
}

TEST(LoadSettings, ReadsEveryValueInFileOrder) {
  test::TempDir dir;
  test::WriteFile(dir / "kijun.dat", EncodeCp932(HandMadeLine()));
  Settings s;
  LoadSettings(dir.path(), s);
  EXPECT_EQ(s.entryFolder, "D:\\mosi\\");
  EXPECT_EQ(s.entryFileName, "ind.Mos");
  EXPECT_EQ(s.meetCode, "0123456");
  EXPECT_EQ(s.meetName, "第10回市民大会");
  EXPECT_EQ(s.meetAbbrev, "市民大会");
  EXPECT_EQ(s.meetDateFrom, 20081103);
  EXPECT_EQ(s.meetDateTo, 20081104);
  EXPECT_EQ(s.venue, "市民プール");
  EXPECT_EQ(s.courseMode, "1");
  EXPECT_EQ(s.affiliationMode, "0");
  EXPECT_EQ(s.seedingMode, "4");
  EXPECT_EQ(s.classMode, "2");
  EXPECT_EQ(s.extraRounds, "1");
  EXPECT_EQ(s.laneCount, 8);
  EXPECT_EQ(s.minEntrants, 3);
  EXPECT_EQ(s.printCopies[0], 0);
  EXPECT_EQ(s.printCopies[14], 14);
  EXPECT_EQ(s.pointsIndividual[0], 20);
  EXPECT_EQ(s.pointsIndividual[19], 1);
  EXPECT_EQ(s.pointsRelay[0], 40);
  EXPECT_EQ(s.poolType, "1");
  EXPECT_EQ(s.timingSide, "0");
  EXPECT_EQ(s.timingSystem, "1");
  EXPECT_EQ(s.optionalCategories, "1");
  EXPECT_EQ(s.prefecturePrint, "2");
  EXPECT_EQ(s.meetSpare, "spare");
  EXPECT_EQ(s.laneCountUsed, 6);
  EXPECT_EQ(s.printCopies[15], 2);
  EXPECT_EQ(s.printCopies[17], 4);
  EXPECT_EQ(s.lapText, "100");
}

TEST(SaveSettings, WritesTheSameBytesAsTheHandMadeFile) {
  test::TempDir dir;
  test::WriteFile(dir / "kijun.dat", EncodeCp932(HandMadeLine()));
  Settings s;
  LoadSettings(dir.path(), s);
  test::TempDir out;
  ASSERT_TRUE(SaveSettings(out.path(), s));
  EXPECT_EQ(test::ReadFile(out / "kijun.dat"), EncodeCp932(HandMadeLine()));
  EXPECT_EQ(SettingsValueNames().size(), 81u);
  EXPECT_EQ(SettingsValueNames()[15], "printCopies.0");
  EXPECT_EQ(SettingsValueNames()[30], "pointsIndividual.1");
  EXPECT_EQ(SettingsValueNames()[77], "printCopies.15");
  EXPECT_EQ(SettingsValueNames()[80], "lapText");
}

TEST(LoadSettings, AnOlderFileOfSeventyFiveValues) {
  std::string line = HandMadeLine();
  // Cut after value 75 (prefecturePrint).
  size_t pos = 0;
  for (int commas = 0; commas < 75; ++pos)
    if (line[pos] == ',') ++commas;
  test::TempDir dir;
  test::WriteFile(dir / "kijun.dat", EncodeCp932(line.substr(0, pos - 1) + "\r\n"));
  Settings s;
  s.printCopies[15] = 9;
  LoadSettings(dir.path(), s);
  EXPECT_EQ(s.prefecturePrint, "2");
  EXPECT_EQ(s.meetSpare, "0");
  EXPECT_EQ(s.laneCountUsed, s.laneCount);
  EXPECT_EQ(s.printCopies[15], 0);
  EXPECT_EQ(s.printCopies[16], 0);
  EXPECT_EQ(s.printCopies[17], 0);
  EXPECT_EQ(s.lapText, "0");
}

TEST(LoadSettings, LaneCountsOutsideTheChoicesAreUsedAsTheNearestChoice) {
  for (auto [stored, used] : std::vector<std::pair<int, int>>{{0, 4}, {3, 4}, {4, 4}, {5, 5}, {10, 10}, {12, 10}}) {
    test::TempDir dir;
    std::string line = ",,,,,0,0,,,,,,," + std::to_string(stored) + ",0";
    test::WriteFile(dir / "kijun.dat", line + "\r\n");
    Settings s;
    LoadSettings(dir.path(), s);
    EXPECT_EQ(s.laneCount, used) << stored;
    EXPECT_EQ(s.laneCountUsed, used) << stored;
  }
}

TEST(LoadSettings, DriveLetterOfTheEntryFolderFollowsTheMeetFolder) {
  Settings s;
  ParseSettings("D:\\mosi\\,x.Mos\r\n", "E:\\meet\\", s);
  EXPECT_EQ(s.entryFolder, "E:\\mosi\\");
  ParseSettings("/home/mosi/,x.Mos\r\n", "E:\\meet\\", s);
  EXPECT_EQ(s.entryFolder, "/home/mosi/");
  ParseSettings("D:\\mosi\\,x.Mos\r\n", "/srv/meet/", s);
  EXPECT_EQ(s.entryFolder, "D:\\mosi\\");
}

TEST(LoadSettings, MissingOrUnreadableFileGivesTheDefaultsAndKeepsTheKeptValues) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "kijun.dat");  // a folder cannot be read as the file
  Settings s;
  s.meetName = "old";
  s.laneCount = 8;
  s.pointsIndividual[0] = 9;
  s.entryFolder = "/entries/";
  s.entryFileName = "a.Mos";
  s.meetSpare = "keep";
  s.lapText = "50";
  s.printCopies[3] = 2;
  s.printCopies[16] = 2;
  s.optionalCategories = "1";
  s.prefecturePrint = "1";
  LoadSettings(dir.path(), s);
  EXPECT_EQ(s.meetName, "");
  EXPECT_EQ(s.laneCount, 4);
  EXPECT_EQ(s.pointsIndividual[0], 0);
  EXPECT_EQ(s.printCopies[3], 0);
  EXPECT_EQ(s.entryFolder, "/entries/");
  EXPECT_EQ(s.entryFileName, "a.Mos");
  EXPECT_EQ(s.meetSpare, "keep");
  EXPECT_EQ(s.lapText, "50");
  EXPECT_EQ(s.printCopies[16], 2);
  EXPECT_EQ(s.optionalCategories, "1");
  EXPECT_EQ(s.prefecturePrint, "1");
}

TEST(LoadSettings, FindsTheFileWhateverItsLetterCase) {
  test::TempDir dir;
  test::WriteFile(dir / "KIJUN.DAT", EncodeCp932(",,,大会\r\n"));
  Settings s;
  LoadSettings(dir.path(), s);
  EXPECT_EQ(s.meetName, "大会");
}

TEST(LoadSettings, BadFilesLoadWithoutACrash) {
  Settings s;
  ParseSettings("a,b,c", "/m/", s);  // no line end
  EXPECT_EQ(s.meetCode, "c");
  EXPECT_EQ(s.lapText, "0");

  std::string many;
  for (int i = 0; i < 200; ++i) many += std::to_string(i) + ",";
  ParseSettings(many + "\r\n", "/m/", s);  // 200 values: the first 81 count
  EXPECT_EQ(s.meetCode, "2");
  EXPECT_EQ(s.lapText, "80");

  ParseSettings(",,,,,x2008,abc,,,,,,,ten,-5", "/m/", s);  // letters in numbers
  EXPECT_EQ(s.meetDateFrom, 0);
  EXPECT_EQ(s.meetDateTo, 0);
  EXPECT_EQ(s.laneCount, 4);
  EXPECT_EQ(s.minEntrants, -5);

  ParseSettings(",,,,,99999999999,,,,,,,,99999", "/m/", s);  // too large: clamped
  EXPECT_EQ(s.meetDateFrom, 2147483647);
  EXPECT_EQ(s.laneCount, 10);

  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131 + 7) % 256));
  ParseSettings(binary, "/m/", s);
  EXPECT_GE(s.laneCount, 4);
  EXPECT_LE(s.laneCount, 10);
  ParseSettings("", "/m/", s);
  EXPECT_EQ(s.meetName, "0");
}

TEST(SaveSettings, ACommaInATextIsRefusedAndNothingIsWritten) {
  test::TempDir dir;
  Settings s;
  s.meetName = "大会,第2日";
  auto st = SaveSettings(dir.path(), s);
  ASSERT_FALSE(st);
  EXPECT_EQ(st.error().kind, ErrorKind::Invalid);
  EXPECT_FALSE(std::filesystem::exists(dir / "kijun.dat"));
}

TEST(CheckSettingText, RefusesWhatTheFileCannotHoldNamingTheField) {
  struct Row {
    std::string value;
    const char* says;  // empty: accepted
  };
  const Row rows[] = {
      {"第10回市民大会", ""},
      {"ﾊﾝｶｸ①Ⅱ～", ""},  // half-width kana and the NEC extensions are CP932
      {std::string(255, 'a'), ""},
      {std::string(256, 'a'), "長すぎます"},
      {std::string(128, 'a') + "大", ""},     // 130 bytes in CP932
      {"a,b", "「,」"},
      {"a\nb", "改行"},
      {std::string("a\0b", 3), "NUL"},
      {"市民😀大会", "CP932 で表せない文字があります: 😀"},
      {"한국", "CP932 で表せない文字があります: 한"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    auto ok = CheckSettingText("meetName", row.value);
    ASSERT_EQ(bool(ok), std::string(row.says).empty());
    if (!ok) {
      EXPECT_TRUE(ok.error().message.starts_with("meetName ")) << ok.error().message;
      EXPECT_NE(ok.error().message.find(row.says), std::string::npos) << ok.error().message;
    }
  }
}

TEST(PrintCopies, AreHeldToZeroThroughNinetyNineAndTheNoticeNamesThem) {
  EXPECT_EQ(HeldPrintCopies(-1), 0);
  EXPECT_EQ(HeldPrintCopies(0), 0);
  EXPECT_EQ(HeldPrintCopies(99), 99);
  EXPECT_EQ(HeldPrintCopies(32767), 99);
  test::TempDir dir;
  std::string line = HandMadeLine();
  line.replace(line.find(",0,1,2,3,4,"), 11, ",0,1,2,3,32767,");
  test::WriteFile(dir / "kijun.dat", EncodeCp932(line));
  Settings s;
  LoadSettings(dir.path(), s);
  EXPECT_EQ(s.printCopies[4], 32767);  // kept as stored, so a save keeps the file's value
  EXPECT_EQ(PrintCopiesNotice(s),
            "kijun.dat の印刷枚数が 0～99 の外です（printCopies.4=32767）。0～99 に収めて印刷します。");
  s.printCopies[4] = 2;
  EXPECT_EQ(PrintCopiesNotice(s), "");
}

TEST(DateDisplay, InsertsSlashes) {
  EXPECT_EQ(DateDisplay(20081103), "2008/11/03");
  EXPECT_EQ(DateDisplay(0), "0000/00/00");
  EXPECT_EQ(DateDisplay(123), "0000/01/23");
}

}  // namespace
}  // namespace meet
