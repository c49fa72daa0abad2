#include "data/hub.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/cp932.h"
#include "data/sample_entries.h"
#include "support/test_support.h"

namespace meet {
namespace {

namespace fs = std::filesystem;
using test::Le16;
using test::Le32;
using test::Sjis;

struct HeaderFields {
  int32_t count = 0;
  int16_t course = 0;
  std::string created = "2008/06/10";
  std::string abbrev = "春季大会";
  std::string venue = "市民プール";
  std::string dateFrom = "2008/11/03";
  std::string dateTo = "2008/11/04";
  std::string code = "2612345";
};

// An entry file built from the header layout: record 1 the header, records
// 2–10 blank, then `count` entry records.
std::string EntryFileBytes(const HeaderFields& h, int recordsHeld = -1) {
  std::string header = Le32(h.count) + Le16(h.course) + Sjis(h.created, 10) + Sjis(h.abbrev, 8) +
                       Sjis(h.venue, 12) + Sjis(h.dateFrom, 10) + Sjis(h.dateTo, 10) + Sjis(h.code, 7) + Le16(0) +
                       Le16(0);
  for (int day = 0; day < 10; ++day) header += Le32(0);
  header.resize(384, ' ');
  EXPECT_EQ(header.size(), 384u);
  std::string file = header + std::string(9 * 384, ' ');
  int records = recordsHeld < 0 ? h.count : recordsHeld;
  for (int n = 1; n <= records; ++n) file += Le32(n) + std::string(380, ' ');
  return file;
}

// The folder configuration's three lines.
std::string CtlText(const std::string& meet, const std::string& entry, const std::string& file) {
  return meet.substr(0, 2) + "\r\n" + meet + "," + entry.substr(0, 2) + "\r\n" + entry + "," + file + "\r\n";
}

// kijun.dat's values in file order, as written.
std::vector<std::string> SettingsFileValues(const fs::path& meetFolder) {
  std::string text = DecodeCp932(test::ReadFile(meetFolder / "kijun.dat"));
  EXPECT_TRUE(text.ends_with("\r\n"));
  text = text.substr(0, text.size() - 2);
  std::vector<std::string> values;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    values.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct HubFixture {
  test::TempDir dir;
  test::FakePlatform fake;
  fs::path ctl = dir / "ctl" / "dr_kyo.ctl";
  FrmKijunScreen Hub() { return FrmKijunScreen(ctl, fake.platform); }
  HubFixture() { fake.clock.now = DateTime{2008, 6, 10, 9, 30, 15}; }
};

TEST(ScreenMap, EveryButtonOpensItsScreenWithItsBehaviour) {
  struct Row {
    const char* button;
    const char* caption;
    const char* screen;
    bool savesFirst, closesHub;
  };
  const Row expected[] = {
      {"cmdZikko", "競技会システム", "frmKyogi", true, true},  {"cmdProjun", "競技順", "frmProjun", true, true},
      {"cmdHangumi", "競技組合せ", "frmHangumi", false, false}, {"cmdMkPage", "ページ", "frmMkPage", true, false},
      {"cmdKiroku", "記録", "frmShikaku", true, true},          {"cmdTokuten", "得点処理", "frmTokuten", true, true},
      {"cmdAto", "ランキング", "frmRanking", false, true},      {"cmdKekka", "結果(kek)", "frmKekka", false, false},
      {"cmdOptKubun", "作成", "frmOptKubun", true, false},      {"cmdGodo", "作成", "frmOptKubun", true, false},
      {"cmdMoshikomi", "申込", "", true, false},                {"cmdAto2", "日水報告", "", false, false},
      {"cmdLpPage", "プログラム", "frmLpPage", false, false},
  };
  ASSERT_EQ(ScreenMap().size(), std::size(expected));
  for (const Row& row : expected) {
    const ScreenLink* link = FindScreenLink(row.button);
    ASSERT_NE(link, nullptr) << row.button;
    EXPECT_STREQ(link->caption, row.caption) << row.button;
    EXPECT_STREQ(link->screen, row.screen) << row.button;
    EXPECT_EQ(link->savesFirst, row.savesFirst) << row.button;
    EXPECT_EQ(link->closesHub, row.closesHub) << row.button;
  }
  EXPECT_EQ(FindScreenLink("cmdHenko"), nullptr);
}

TEST(HubHeaderValues, DatesAreReadFromTheirCharacterPositions) {
  EXPECT_EQ(DateFromHeader("2008/11/03"), 20081103);
  EXPECT_EQ(DateFromHeader("2008-11-03"), 20081103);  // separators are skipped by position
  EXPECT_EQ(DateFromHeader("2008/11/0"), 2008110);
  EXPECT_EQ(DateFromHeader("2008"), 2008);
  EXPECT_EQ(DateFromHeader(""), 0);
  EXPECT_EQ(DateFromHeader("abcd/ef/gh"), 0);
  EXPECT_EQ(DateFromHeader(std::string("\0\0\0\0\0\0\0\0\0\0", 10)), 0);
}

TEST(HubHeaderValues, TextsLoseTheirPaddingAndCannotSplitTheSettingsLine) {
  EXPECT_EQ(SettingsTextFromHeader("春季大会    "), "春季大会");
  EXPECT_EQ(SettingsTextFromHeader(std::string("abc\0\0\0", 6)), "abc");
  EXPECT_EQ(SettingsTextFromHeader("A,B "), "A，B");
  EXPECT_EQ(SettingsTextFromHeader(std::string("a\r\nb\0c", 6)), "a  b c");
  EXPECT_EQ(SettingsTextFromHeader(""), "");
}

TEST(HubStartUp, WithoutAFolderConfigurationTheDefaultsApply) {
  HubFixture f;
  auto hub = f.Hub();
  hub.StartUp();
  EXPECT_EQ(hub.folders().meetFolder, "");
  EXPECT_EQ(hub.folders().entryFolder, "");
  EXPECT_EQ(hub.folders().entryFileName, "ind.dat");
  EXPECT_EQ(hub.settings().laneCount, 4);
  EXPECT_EQ(hub.settings().meetAbbrev, "");
  EXPECT_EQ(hub.entryCount(), 0);
  EXPECT_FALSE(fs::exists(f.ctl));
}

TEST(HubStartUp, TheMeetSettingsNameTheEntryFileAndItsHeaderGivesTheCount) {
  HubFixture f;
  fs::create_directories(f.dir / "ctl");
  fs::create_directories(f.dir / "meet");
  fs::create_directories(f.dir / "ctlentries");
  fs::create_directories(f.dir / "entries");
  test::WriteFile(f.ctl, CtlText((f.dir / "meet").string(), (f.dir / "ctlentries").string(), "old.Mos"));
  Settings s;
  s.entryFolder = f.dir.str() + "entries/";
  s.entryFileName = "spring.Mos";
  s.meetAbbrev = "春季";
  s.laneCount = 8;
  ASSERT_TRUE(SaveSettings(f.dir / "meet", s));
  HeaderFields h;
  h.count = 3;
  test::WriteFile(f.dir / "entries" / "spring.Mos", EntryFileBytes(h));

  auto hub = f.Hub();
  hub.StartUp();
  EXPECT_EQ(hub.folders().meetFolder, f.dir.str() + "meet/");
  EXPECT_EQ(hub.folders().entryFolder, f.dir.str() + "entries/");
  EXPECT_EQ(hub.folders().entryFileName, "spring.Mos");
  EXPECT_EQ(hub.settings().entryFileName, "spring.Mos");
  EXPECT_EQ(hub.settings().meetAbbrev, "春季");
  EXPECT_EQ(hub.settings().laneCount, 8);
  EXPECT_EQ(hub.entryCount(), 3);
}

TEST(HubStartUp, AMeetWithoutSettingsKeepsTheConfiguredEntryFile) {
  HubFixture f;
  fs::create_directories(f.dir / "ctl");
  fs::create_directories(f.dir / "meet");
  test::WriteFile(f.ctl, CtlText((f.dir / "meet").string(), (f.dir / "entries").string(), "a.Mos"));
  auto hub = f.Hub();
  hub.StartUp();
  EXPECT_EQ(hub.settings().entryFolder, f.dir.str() + "entries/");
  EXPECT_EQ(hub.settings().entryFileName, "a.Mos");
  EXPECT_EQ(hub.folders().entryFileName, "a.Mos");
}

TEST(HubStartUp, TheEntryFileIsOnlyReadAndItsCountNeverTrusted) {
  HubFixture f;
  fs::create_directories(f.dir / "ctl");
  fs::create_directories(f.dir / "meet");
  test::WriteFile(f.ctl, CtlText((f.dir / "meet").string(), f.dir.path().string(), "missing.Mos"));
  {
    auto hub = f.Hub();
    hub.StartUp();
    EXPECT_EQ(hub.entryCount(), 0);
    EXPECT_FALSE(fs::exists(f.dir / "missing.Mos"));  // not created
    EXPECT_FALSE(fs::exists(f.dir / "meet" / "kijun.dat"));
  }
  // A header claiming more entries than the file holds.
  HeaderFields h;
  h.count = 1000000;
  test::WriteFile(f.dir / "missing.Mos", EntryFileBytes(h, 2));
  const std::string before = test::ReadFile(f.dir / "missing.Mos");
  auto hub = f.Hub();
  hub.StartUp();
  EXPECT_EQ(hub.entryCount(), 2);
  EXPECT_EQ(test::ReadFile(f.dir / "missing.Mos"), before);
  // Garbage and a truncated file.
  test::WriteFile(f.dir / "missing.Mos", std::string(7, '\xff'));
  hub.StartUp();
  EXPECT_EQ(hub.entryCount(), 0);
  test::WriteFile(f.dir / "missing.Mos", EntryFileBytes(h).substr(0, 100));
  hub.StartUp();
  EXPECT_EQ(hub.entryCount(), 0);
}

TEST(HubChangeMeetFolder, TheEntryFileShownIsTheOneInTheChosenMeetsSettings) {
  HubFixture f;
  fs::create_directories(f.dir / "first");
  fs::create_directories(f.dir / "second");
  fs::create_directories(f.dir / "ctl");
  test::WriteFile(f.ctl, CtlText((f.dir / "first").string(), (f.dir / "picked").string(), "picked.Mos"));
  Settings second;
  second.entryFolder = f.dir.str() + "secondentries/";
  second.entryFileName = "second.Mos";
  second.venue = "県立プール";
  ASSERT_TRUE(SaveSettings(f.dir / "second", second));

  auto hub = f.Hub();
  hub.StartUp();
  ASSERT_TRUE(hub.ChangeMeetFolder((f.dir / "second").string()));
  EXPECT_EQ(hub.folders().meetFolder, f.dir.str() + "second/");
  EXPECT_EQ(hub.folders().entryFolder, f.dir.str() + "secondentries/");
  EXPECT_EQ(hub.folders().entryFileName, "second.Mos");
  EXPECT_EQ(hub.settings().venue, "県立プール");
  EXPECT_EQ(DecodeCp932(test::ReadFile(f.ctl)),
            CtlText((f.dir / "second").string(), (f.dir / "secondentries").string(), "second.Mos"));
  auto values = SettingsFileValues(f.dir / "second");
  ASSERT_EQ(values.size(), 81u);
  EXPECT_EQ(values[1], "second.Mos");
  EXPECT_EQ(values[7], "県立プール");
}

TEST(HubChangeMeetFolder, AFolderGivenWithItsSeparatorGetsNoSecondOne) {
  HubFixture f;
  fs::create_directories(f.dir / "meet");
  auto hub = f.Hub();
  hub.StartUp();
  ASSERT_TRUE(hub.ChangeMeetFolder(f.dir.str() + "meet/"));
  EXPECT_EQ(hub.folders().meetFolder, f.dir.str() + "meet/");
  EXPECT_TRUE(fs::exists(f.dir / "meet" / "kijun.dat"));  // a folder without settings gets them
  EXPECT_TRUE(DecodeCp932(test::ReadFile(f.ctl)).find((f.dir / "meet").string() + ",") != std::string::npos);
}

TEST(HubChangeMeetFolder, AMissingFolderIsRefusedAndNothingIsWritten) {
  HubFixture f;
  auto hub = f.Hub();
  hub.StartUp();
  auto r = hub.ChangeMeetFolder((f.dir / "nowhere").string());
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().kind, ErrorKind::NotFound);
  EXPECT_FALSE(hub.ChangeMeetFolder(""));
  EXPECT_FALSE(fs::exists(f.ctl));
  EXPECT_FALSE(fs::exists(f.dir / "nowhere"));
}

TEST(HubTakeInEntryFile, MakesTheMeetFolderAndFillsTheSettingsFromTheHeader) {
  HubFixture f;
  fs::create_directories(f.dir / "entries");
  fs::create_directories(f.dir / "meets");
  HeaderFields h;
  h.count = 2;
  h.course = 1;
  test::WriteFile(f.dir / "entries" / "spring.2008.Mos", EntryFileBytes(h));
  auto hub = f.Hub();
  hub.StartUp();
  auto taken = hub.TakeInEntryFile((f.dir / "entries" / "spring.2008.Mos").string(), (f.dir / "meets").string());
  ASSERT_TRUE(taken) << taken.error().message;
  const fs::path meet = f.dir / "meets" / "spring";
  EXPECT_EQ(taken->meetFolder, meet.string() + "/");
  EXPECT_FALSE(taken->folderExisted);
  for (const char* sub : {"goal", "lap", "img"}) EXPECT_TRUE(fs::is_directory(meet / sub)) << sub;
  EXPECT_TRUE(f.fake.dialogs.notices.empty());

  const Settings& s = hub.settings();
  EXPECT_EQ(s.meetCode, "2612345");
  EXPECT_EQ(s.meetAbbrev, "春季大会");
  EXPECT_EQ(s.venue, "市民プール");
  EXPECT_EQ(s.meetDateFrom, 20081103);
  EXPECT_EQ(s.meetDateTo, 20081104);
  EXPECT_EQ(s.courseMode, "1");
  for (int i = 0; i < 18; ++i) EXPECT_EQ(s.printCopies[i], i <= 9 ? 1 : 0) << i;
  EXPECT_EQ(s.entryFolder, f.dir.str() + "entries/");
  EXPECT_EQ(s.entryFileName, "spring.2008.Mos");
  EXPECT_EQ(hub.entryCount(), 2);

  auto values = SettingsFileValues(meet);
  ASSERT_EQ(values.size(), 81u);
  EXPECT_EQ(values[0], f.dir.str() + "entries/");
  EXPECT_EQ(values[1], "spring.2008.Mos");
  EXPECT_EQ(values[2], "2612345");
  EXPECT_EQ(values[4], "春季大会");
  EXPECT_EQ(values[5], "20081103");
  EXPECT_EQ(values[6], "20081104");
  EXPECT_EQ(values[7], "市民プール");
  EXPECT_EQ(values[8], "1");
  EXPECT_EQ(values[15], "1");  // printCopies 0
  EXPECT_EQ(values[24], "1");  // printCopies 9
  EXPECT_EQ(values[25], "0");  // printCopies 10
  EXPECT_EQ(DecodeCp932(test::ReadFile(f.ctl)),
            CtlText(meet.string(), (f.dir / "entries").string(), "spring.2008.Mos"));
}

TEST(HubTakeInEntryFile, AnExistingMeetFolderIsUsedAsItIsAndTheOperatorIsTold) {
  HubFixture f;
  fs::create_directories(f.dir / "entries");
  const fs::path meet = f.dir / "meets" / "spring";
  fs::create_directories(meet / "goal");
  test::WriteFile(meet / "taikai.dat", "race bytes");
  test::WriteFile(meet / "goal" / "g001.txt", "goal bytes");
  Settings old;
  old.meetName = "前の大会";
  old.pointsIndividual[0] = 9;
  ASSERT_TRUE(SaveSettings(meet, old));
  const std::string oldSettings = test::ReadFile(meet / "kijun.dat");
  test::WriteFile(f.dir / "entries" / "spring.Mos", EntryFileBytes(HeaderFields{}));

  auto hub = f.Hub();
  hub.StartUp();
  auto taken = hub.TakeInEntryFile((f.dir / "entries" / "spring.Mos").string(), (f.dir / "meets").string());
  ASSERT_TRUE(taken) << taken.error().message;
  EXPECT_TRUE(taken->folderExisted);
  EXPECT_EQ(test::ReadFile(meet / "taikai.dat"), "race bytes");
  EXPECT_EQ(test::ReadFile(meet / "goal" / "g001.txt"), "goal bytes");
  for (const char* sub : {"goal", "lap", "img"}) EXPECT_TRUE(fs::is_directory(meet / sub)) << sub;
  // The settings are made anew; the old ones are kept under backup/.
  EXPECT_EQ(hub.settings().meetName, "");
  EXPECT_EQ(hub.settings().pointsIndividual[0], 0);
  EXPECT_EQ(taken->settingsBackup, (meet / "backup" / "kijun.dat.20080610-093015").string());
  EXPECT_EQ(test::ReadFile(taken->settingsBackup), oldSettings);
  ASSERT_EQ(f.fake.dialogs.notices.size(), 1u);
  EXPECT_NE(f.fake.dialogs.notices[0].find("既にある"), std::string::npos);
  EXPECT_NE(f.fake.dialogs.notices[0].find(taken->settingsBackup), std::string::npos);

  // Taken in again in the same second: the first copy is not overwritten.
  auto again = hub.TakeInEntryFile((f.dir / "entries" / "spring.Mos").string(), (f.dir / "meets").string());
  ASSERT_TRUE(again);
  EXPECT_NE(again->settingsBackup, taken->settingsBackup);
  EXPECT_EQ(test::ReadFile(taken->settingsBackup), oldSettings);
}

TEST(HubTakeInEntryFile, AFileInThePlaceOfTheMeetFolderIsRefused) {
  HubFixture f;
  test::WriteFile(f.dir / "spring", "not a folder");
  test::WriteFile(f.dir / "spring.Mos", EntryFileBytes(HeaderFields{}));
  auto hub = f.Hub();
  hub.StartUp();
  auto r = hub.TakeInEntryFile((f.dir / "spring.Mos").string(), f.dir.path().string());
  ASSERT_FALSE(r);
  EXPECT_EQ(test::ReadFile(f.dir / "spring"), "not a folder");
  EXPECT_FALSE(fs::exists(f.ctl));
}

TEST(HubTakeInEntryFile, NothingIsMadeForAMissingFileOrANamelessOne) {
  HubFixture f;
  test::WriteFile(f.dir / ".Mos", EntryFileBytes(HeaderFields{}));
  auto hub = f.Hub();
  hub.StartUp();
  EXPECT_FALSE(hub.TakeInEntryFile((f.dir / "none.Mos").string(), f.dir.path().string()));
  EXPECT_FALSE(hub.TakeInEntryFile((f.dir / ".Mos").string(), f.dir.path().string()));
  EXPECT_FALSE(hub.TakeInEntryFile("", f.dir.path().string()));
  EXPECT_FALSE(hub.TakeInEntryFile((f.dir / ".Mos").string(), (f.dir / "nowhere").string()));
  EXPECT_FALSE(fs::exists(f.dir / "none"));
  EXPECT_FALSE(fs::exists(f.dir / "kijun.dat"));
  EXPECT_FALSE(fs::exists(f.ctl));
}

TEST(HubTakeInEntryFile, AnEmptyEntryFileGetsAFreshHeader) {
  HubFixture f;
  test::WriteFile(f.dir / "autumn.Mos", "");
  auto hub = f.Hub();
  hub.StartUp();
  auto taken = hub.TakeInEntryFile((f.dir / "autumn.Mos").string(), f.dir.path().string());
  ASSERT_TRUE(taken) << taken.error().message;
  EXPECT_EQ(fs::file_size(f.dir / "autumn.Mos"), 384u);
  EXPECT_EQ(hub.settings().meetAbbrev, "autumn");
  EXPECT_EQ(hub.settings().courseMode, "1");
  EXPECT_EQ(hub.settings().meetDateFrom, 20080610);
  EXPECT_EQ(hub.settings().meetDateTo, 20080610);
  EXPECT_EQ(hub.entryCount(), 0);
}

TEST(HubTakeInEntryFile, HeaderTextsWithACommaStillGiveAReadableSettingsFile) {
  HubFixture f;
  HeaderFields h;
  h.venue = "A,B";
  h.abbrev = "X,Y";
  h.code = "12,4567";
  test::WriteFile(f.dir / "c.Mos", EntryFileBytes(h));
  auto hub = f.Hub();
  hub.StartUp();
  auto taken = hub.TakeInEntryFile((f.dir / "c.Mos").string(), f.dir.path().string());
  ASSERT_TRUE(taken) << taken.error().message;
  Settings read;
  LoadSettings(f.dir / "c", read);
  EXPECT_EQ(read.venue, "A，B");
  EXPECT_EQ(read.meetAbbrev, "X，Y");
  EXPECT_EQ(read.meetCode, "12，4567");
  EXPECT_EQ(read.meetDateFrom, 20081103);
  EXPECT_EQ(SettingsFileValues(f.dir / "c").size(), 81u);
}

TEST(HubTakeInEntryFile, CourseAndLaneCountsStayInTheirRanges) {
  HubFixture f;
  fs::create_directories(f.dir / "old");
  Settings old;
  old.laneCount = 10;
  old.laneCountUsed = 8;
  old.lapText = "100";
  ASSERT_TRUE(SaveSettings(f.dir / "old", old));
  HeaderFields h;
  h.course = -7;
  test::WriteFile(f.dir / "g.Mos", EntryFileBytes(h));
  auto hub = f.Hub();
  hub.StartUp();
  ASSERT_TRUE(hub.ChangeMeetFolder((f.dir / "old").string()));
  ASSERT_TRUE(hub.TakeInEntryFile((f.dir / "g.Mos").string(), f.dir.path().string()));
  EXPECT_EQ(hub.settings().laneCount, 4);
  EXPECT_EQ(hub.settings().laneCountUsed, 4);  // never above the lane count
  EXPECT_EQ(hub.settings().lapText, "100");    // carried over, as the reset keeps it
  EXPECT_EQ(hub.settings().courseMode, "");
}

TEST(HubTakeInEntryFile, AGeneratedEntryFileBecomesAMeet) {
  HubFixture f;
  fs::create_directories(f.dir / "entries");
  SampleOptions options;
  options.swimmers = 60;
  auto summary = WriteSampleEntryFile(f.dir / "entries" / "demo.Mos", options, f.fake.clock.now);
  ASSERT_TRUE(summary) << summary.error().message;
  auto hub = f.Hub();
  hub.StartUp();
  auto taken = hub.TakeInEntryFile((f.dir / "entries" / "demo.Mos").string(), f.dir.path().string());
  ASSERT_TRUE(taken) << taken.error().message;
  EXPECT_EQ(hub.entryCount(), summary->entries);
  EXPECT_EQ(hub.settings().meetDateFrom, 20080610);
  EXPECT_EQ(hub.settings().courseMode, "0");
  EXPECT_FALSE(hub.settings().meetAbbrev.empty());

  // A fresh hub on the same folder configuration sees the new meet.
  auto fresh = f.Hub();
  fresh.StartUp();
  EXPECT_EQ(fresh.folders().meetFolder, taken->meetFolder);
  EXPECT_EQ(fresh.settings().meetAbbrev, hub.settings().meetAbbrev);
  EXPECT_EQ(fresh.entryCount(), summary->entries);
}

TEST(HubEntryProgram, SavesFirstThenStartsTheProgram) {
  HubFixture f;
  fs::create_directories(f.dir / "meet");
  EnvVar program("MEETDESK_ENTRY_PROGRAM", "/opt/entry/mosikomi");
  auto hub = f.Hub();
  hub.StartUp();
  ASSERT_TRUE(hub.ChangeMeetFolder((f.dir / "meet").string()));
  fs::remove(f.ctl);
  fs::remove(f.dir / "meet" / "kijun.dat");
  ASSERT_TRUE(hub.StartEntryProgram());
  EXPECT_EQ(f.fake.launcher.started, std::vector<std::string>{"/opt/entry/mosikomi"});
  EXPECT_TRUE(fs::exists(f.ctl));
  EXPECT_TRUE(fs::exists(f.dir / "meet" / "kijun.dat"));
  EXPECT_TRUE(f.fake.dialogs.notices.empty());
}

TEST(HubEntryProgram, TheDefaultPathIsUsedWithoutTheVariable) {
  EnvVar none("MEETDESK_ENTRY_PROGRAM", nullptr);
  EXPECT_EQ(EntryProgramPath(), "c:\\tarvesk\\mosi\\mosikomi.exe");
  EnvVar empty("MEETDESK_ENTRY_PROGRAM", "");
  EXPECT_EQ(EntryProgramPath(), "c:\\tarvesk\\mosi\\mosikomi.exe");
}

TEST(HubEntryProgram, AProgramThatCannotStartIsToldToTheOperator) {
  HubFixture f;
  EnvVar none("MEETDESK_ENTRY_PROGRAM", nullptr);
  f.fake.launcher.succeed = false;
  auto hub = f.Hub();
  hub.StartUp();
  auto r = hub.StartEntryProgram();
  ASSERT_FALSE(r);
  ASSERT_EQ(f.fake.dialogs.notices.size(), 1u);
  EXPECT_NE(f.fake.dialogs.notices[0].find("c:\\tarvesk\\mosi\\mosikomi.exe"), std::string::npos);
  EXPECT_NE(f.fake.dialogs.notices[0].find("MEETDESK_ENTRY_PROGRAM"), std::string::npos);
}

TEST(HubEntryProgram, ASaveThatFailsStopsTheStart) {
  HubFixture f;
  test::WriteFile(f.dir / "file", "");
  FrmKijunScreen hub(f.dir / "file" / "dr_kyo.ctl", f.fake.platform);  // its folder can't be made
  hub.StartUp();
  ASSERT_FALSE(hub.StartEntryProgram());
  EXPECT_TRUE(f.fake.launcher.started.empty());
  EXPECT_EQ(f.fake.dialogs.notices.size(), 1u);
}

TEST(HubFolders, PathsTheConfigurationCannotHoldAreRefusedBeforeAnythingChanges) {
  HubFixture f;
  fs::create_directories(f.dir / "meet");
  fs::create_directories(f.dir / "a,b");
  test::WriteFile(f.dir / "a,b" / "x.Mos", EntryFileBytes(HeaderFields{}));
  test::WriteFile(f.dir / "y,z.Mos", EntryFileBytes(HeaderFields{}));
  auto hub = f.Hub();
  hub.StartUp();
  ASSERT_TRUE(hub.ChangeMeetFolder((f.dir / "meet").string()));
  const std::string ctlBefore = test::ReadFile(f.ctl);
  EXPECT_FALSE(hub.ChangeMeetFolder((f.dir / "a,b").string()));
  EXPECT_FALSE(hub.TakeInEntryFile((f.dir / "a,b" / "x.Mos").string(), f.dir.path().string()));
  EXPECT_FALSE(hub.TakeInEntryFile((f.dir / "y,z.Mos").string(), f.dir.path().string()));
  EXPECT_FALSE(hub.TakeInEntryFile((f.dir / "meet" / "../y,z.Mos").string(), (f.dir / "a,b").string()));
  EXPECT_EQ(hub.folders().meetFolder, f.dir.str() + "meet/");
  EXPECT_EQ(test::ReadFile(f.ctl), ctlBefore);
  EXPECT_FALSE(fs::exists(f.dir / "x"));
  EXPECT_FALSE(fs::exists(f.dir / "y,z"));
}

}  // namespace
}  // namespace meet
