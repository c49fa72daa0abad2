// Bad command lines: every verb of `meetctl help`, given missing, extra,
// non-numeric and out-of-range arguments over a seeded meet, fails with a
// message and leaves every file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "app/meetctl_run.h"
#include "support/test_support.h"

namespace meet {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    // The writers' lock file says who last held the lock; it is no meet data.
    if (e.path().filename() == ".meetdesk.lock") continue;
    const std::string name = fs::relative(e.path(), root).string();
    files[name] = e.is_regular_file() ? test::ReadFile(e.path()) : std::string("<dir>");
  }
  return files;
}

// Words split at blanks; a part in double quotes is one word ("4 6010").
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

// One row per fault; each verb of the help list has at least one.
const char* const kBadLines[] = {
    "check extra", "categories", "categories bogus", "categories list extra", "categories delete", "categories delete abc",
    "categories delete 9999", "categories set", "categories add", "categories preset", "categories preset 3",
    "categories set 1 catSex=1", "categories add catSex=2 catFrom=5",
    "categories add sex=2 from=5 to=9 eventFrom=1 eventTo=29 name=幼児",
    "categories add catSex=5 catFrom=1 catTo=9 catEventFrom=1 catEventTo=29 catName=x",
    "categories add catSex=1 catFrom=9 catTo=1 catEventFrom=1 catEventTo=29 catName=x",
    "categories add catSex=1 catFrom=1 catTo=101 catEventFrom=1 catEventTo=29 catName=x",
    "categories add catSex=1 catFrom=1 catTo=9 catEventFrom=1 catEventTo=45 catName=x",
    "categories add catSex=1 catFrom=1 catTo=9 catEventFrom=1 catEventTo=29 catName=あいうえおかき",
    "categories add catSex=1 catFrom=1 catTo=9 catEventFrom=1 catEventTo=29 catName=x catTitleOnly=X",
    "race title 1 startTime=25:99:00", "race title 1 startTime=240000", "race title 1 startTime=93000x",
    "race title 1 startTime=1234567", "race title 1 startTime=9:5", "race title 1 --insert heat --no",
    "program add orderNo=1 startTime=259900", "program correct 1 startTime=9:75", "program init --from 1 --start 240000",
    "race enter 1 4 txtKiro 6010", "race enter 1 4 txtKiro 16523", "race enter 1 4 txtKiro 35.1",
    "race enter 1 4 txtKiro 1:65.23", "race enter 1 4 txtKiro 0.05", "race enter 1 4 txtQkiro 1:5.23",
    "race confirm 1 --rows \"4 6010\"", "race confirm 1 --rows \"4 35.1\"", "race view 1 --meet x",
    "publish --no-such-option",
    "race confirm", "race confirm abc", "race confirm 9999", "race confirm 1 extra",
    "race reset", "race reset abc", "race reset 9999",
    "race show", "race show abc", "race show 9999", "race show 1 2",
    "dump write", "dump read",
    "entry", "entry show", "entry show abc", "entry show 99999", "entry header extra",
    "relay", "relay show", "relay show abc", "relay show 9999", "relay show 1 2",
    "names extra",
    "pages list extra", "pages show", "pages show abc", "pages show 9999", "pages set", "pages set abc",
    "pages set 1 abc", "pages set 1 99999", "pages insert", "pages insert abc", "pages delete", "pages delete 9999",
    "pages print extra", "pages build extra", "pages build --pattern 7",
    "points tally extra", "points show extra", "points records extra", "points print extra",
    "lenex export", "lenex export a.lxf b.lxf", "lenex export out.zip", "lenex export x.lxf --results --entries",
    "lenex check", "lenex check no-such.lxf", "lenex check a.lxf b.lxf", "lenex show", "lenex show no-such.lef",
    "points-table load", "points-table load no-such-table.csv", "points-table load a b", "points-table show extra",
    "print program", "print program abc 1", "print program 1", "print program 1 2 3", "print program 1 2 --copies abc",
    "print results", "print results abc", "print results 9999", "print results 1 --copies 1000",
    "print race-sheet", "print race-sheet 9999", "print lap-sheet", "print lap-sheet abc",
    "laps", "laps 1", "laps abc 1", "laps 1 99", "laps 9999 1",
    "program", "program bogus", "program add", "program correct 1", "program correct",
    "program correct abc orderNo=1", "program correct 9999 orderNo=1", "program correct 1 bogus=1",
    "program insert", "program insert 9999", "program delete", "program delete abc", "program delete 9999",
    "program list extra", "program print extra", "program init", "program generate extra",
    "race view", "race view abc", "race view 9999", "race view 1 2",
    "race enter", "race enter abc", "race enter 9999",
    "race goto", "race goto abc", "race goto 999.99", "race states extra",
    "ranking extra",
    "relay order", "relay order abc", "relay order 9999",
    "race move", "race move abc", "race move 9999",
    "result-file extra", "federation-report extra",
    "sample-entries", "seed extra", "seed --pattern 9", "seed next", "seed next abc", "seed next 9999", "seed next 1 2",
    "settings", "settings bogus", "settings show extra", "settings set", "settings set laneCount",
    "settings set bogus 1", "settings set laneCount abc", "settings set laneCount 99",
    "standards", "standards bogus", "standards show", "standards show abc", "standards show 99999", "standards set 1",
    "standards set 1 1", "standards group", "standards group 1", "standards init", "standards init abc",
    "standards copy", "dump write bogus out", "dump read races", "points print", "points print bogus",
    "race confirm 1", "race enter 1 99 txtNo 1", "race enter 1 1 bogus x", "race move 1", "race move 1 abc",
    "race title 1 bogus=1", "relay order 1 1 abc", "ranking --order bogus", "result-file --standards 3",
    "timing finish 1 --lap-length 7", "record-check extra", "sample-standards extra", "sample-standards --seed abc",
    "time", "time format", "time format abc", "time format 12x", "time input", "time input --screen race",
    "time bogus", "sort extra",
    "timing finish", "timing finish abc", "timing finish 9999",
    "post extra",
    "serve --port abc", "serve --port 99999", "publish",
    "race title", "race title abc", "race title 9999",
    "new", "new onlyone", "use", "use a b",
};

TEST(MeetctlBadArguments, EveryVerbFailsWithAMessageAndWritesNothing) {
  test::TempDir root;
  const std::string ctl = (root / "ctl" / "dr_kyo.ctl").string();
  fs::create_directories(root / "meets");
  ASSERT_EQ(Meetctl({"sample-entries", (root / "t.Mos").string(), "--swimmers", "60"}).rc, 0);
  ASSERT_EQ(Meetctl({"--ctl", ctl, "new", (root / "t.Mos").string(), (root / "meets").string()}).rc, 0);
  for (auto [name, value] : {std::pair{"laneCount", "8"}, {"laneCountUsed", "8"}, {"minEntrants", "1"}})
    ASSERT_EQ(Meetctl({"--ctl", ctl, "settings", "set", name, value}).rc, 0);
  ASSERT_EQ(Meetctl({"--ctl", ctl, "--yes", "program", "generate"}).rc, 0);
  ASSERT_EQ(Meetctl({"--ctl", ctl, "--yes", "sample-standards"}).rc, 0);
  CliRun seeded = Meetctl({"--ctl", ctl, "--yes", "seed"});
  ASSERT_EQ(seeded.rc, 0) << seeded.err;

  // Every verb the help lists is tried.
  std::istringstream help(Meetctl({"help"}).out);
  std::string line;
  std::getline(help, line);
  while (std::getline(help, line)) {
    std::vector<std::string> usage = Words(line);
    ASSERT_GE(usage.size(), 2u) << line;
    std::string verb = usage[1];
    if (usage.size() > 2 && usage[2].find_first_not_of("abcdefghijklmnopqrstuvwxyz-") == std::string::npos)
      verb += " " + usage[2];
    bool tried = false;
    for (const char* bad : kBadLines) tried = tried || (std::string(bad) + " ").starts_with(verb + " ");
    EXPECT_TRUE(tried) << "no bad command line for: " << verb;
  }

  // Every verb refuses an option it does not take, before it reads or writes.
  std::vector<std::string> lines(std::begin(kBadLines), std::end(kBadLines));
  std::istringstream verbs(Meetctl({"help"}).out);
  std::getline(verbs, line);
  while (std::getline(verbs, line)) {
    std::vector<std::string> usage = Words(line);
    std::string verb = usage[1];
    if (usage.size() > 2 && usage[2].find_first_not_of("abcdefghijklmnopqrstuvwxyz-") == std::string::npos)
      verb += " " + usage[2];
    lines.push_back(verb + " --no-such-option");
  }

  const auto before = Snapshot(root.path());
  for (const std::string& bad : lines) {
    std::vector<std::string> args = {"--ctl", ctl, "--print", "none", "--yes"};
    for (const std::string& w : Words(bad)) args.push_back(w);
    CliRun run = Meetctl(args);
    EXPECT_NE(run.rc, 0) << bad << "\n" << run.out;
    EXPECT_TRUE(run.err.ends_with("\n") && run.err.size() > 1) << bad;
    EXPECT_EQ(Snapshot(root.path()), before) << "files changed by: " << bad;
    if (bad.ends_with(" --no-such-option")) {
      EXPECT_EQ(run.rc, 2) << bad;
      EXPECT_NE(run.err.find("不明なオプションです: --no-such-option"), std::string::npos) << bad << ": " << run.err;
    }
  }
}

TEST(MeetctlBadArguments, NoMeetFileIsCreatedInAFolderThatIsNoMeetFolder) {
  test::TempDir notMeet, ctlDir;
  // A folder configuration whose meet path a NUL would cut short to a file.
  const std::string ctl = (ctlDir / "dr_kyo.ctl").string();
  test::WriteFile(ctl, "/x\r\n" + notMeet.str() + std::string("kijun.dat\0x", 11) + ",/e\r\n/e,a.Mos\r\n");
  const char* const creators[][4] = {
      {"pages", "build", "", ""}, {"standards", "set", "1", "1"}, {"seed", "", "", ""},
      {"sample-standards", "", "", ""}, {"program", "generate", "", ""}, {"categories", "preset", "2", ""},
      {"points", "tally", "", ""}, {"timing", "finish", "--all-seeded", ""},
  };
  for (const auto& row : creators) {
    std::vector<std::string> verb;
    for (const char* w : row)
      if (*w) verb.push_back(w);
    SCOPED_TRACE(verb[0]);
    std::vector<std::string> args = {"--meet", notMeet.str(), "--yes", "--print", "none"};
    args.insert(args.end(), verb.begin(), verb.end());
    CliRun run = Meetctl(args);
    EXPECT_NE(run.rc, 0);
    EXPECT_NE(run.err.find("kijun.dat がありません"), std::string::npos) << run.err;
    args = {"--ctl", ctl, "--yes", "--print", "none"};
    args.insert(args.end(), verb.begin(), verb.end());
    run = Meetctl(args);
    EXPECT_NE(run.rc, 0);
    EXPECT_NE(run.err.find("NUL"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(notMeet.path()));
  }
}

}  // namespace
}  // namespace meet
