#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/meetctl_run.h"
#include "meetctl/cli.h"
#include "records/entry_fixture.h"
#include "records/sample_standards.h"
#include "records/shikaku_file.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace meet {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// A meet folder with settings (classes by age) and an entry folder beside it.
struct Meet {
  test::TempDir dir;
  std::string meet() const { return (dir.path() / "meet").string() + "/"; }
  std::filesystem::path table() const { return dir.path() / "meet" / "shikaku.dat"; }

  Meet() {
    std::filesystem::create_directories(dir.path() / "meet");
    Settings s;
    s.classMode = "1";
    s.meetName = "秋季大会";
    s.entryFolder = dir.str();
    s.entryFileName = "ind.Mos";
    EXPECT_TRUE(SaveSettings(meet(), s));
  }
  CliRun Run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--meet", meet()});
    return Meetctl(args);
  }
  ShikakuTable Read() const {
    auto t = LoadShikakuTable(table());
    EXPECT_TRUE(t);
    return t ? std::move(*t) : ShikakuTable{};
  }
};

TEST(MeetctlStandards, ShowPrintsLabelKeyAndTheCells) {
  Meet m;
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(151)->cellTimes[30] = 2507;
  t.Change(151)->cellTimes[0] = 123456;
  test::WriteFile(m.table(), ShikakuTableBytes(t));
  auto r = m.Run({"standards", "show", "151"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(Lines(r.out), 3 + 87);
  EXPECT_TRUE(r.out.starts_with("label=日本\ngroupKey=151\ngroup=151-151\ncell.0=12:34.56\ncell.1=\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\ncell.30=   25.07\n"));
  EXPECT_TRUE(Has(r.out, "\ncell.86=\n"));
  EXPECT_NE(m.Run({"standards", "show", "571"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "show", "x"}).rc, 0);
}

TEST(MeetctlStandards, GroupThenSetWritesTheWholeGroup) {
  Meet m;
  test::WriteFile(m.table(), ShikakuTableBytes(ShikakuTable::Fresh()));
  auto g = m.Run({"standards", "group", "標準1", "3", "5"});
  ASSERT_EQ(g.rc, 0) << g.err;
  EXPECT_EQ(g.out, "group=273-275\n");
  auto s = m.Run({"standards", "set", "274", "31", "2507"});
  ASSERT_EQ(s.rc, 0) << s.err;
  EXPECT_EQ(s.out, "records=273-275\ncell.30=   25.07\n");
  ShikakuTable t = m.Read();
  for (int r = 273; r <= 275; ++r) EXPECT_EQ(t.record(r).cellTimes[30], 2507) << r;
  EXPECT_EQ(t.record(276).cellTimes[30], 0);
  auto show = m.Run({"standards", "show", "275"});
  EXPECT_TRUE(Has(show.out, "groupKey=273\ngroup=273-275\n"));

  EXPECT_NE(m.Run({"standards", "group", "2", "0", "5"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "group", "最高", "1", "2"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "group", "地方", "1", "2"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "set", "274", "88", "2507"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "set", "274", "0", "2507"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "set", "274", "1", "25.07"}).rc, 0);
}

TEST(MeetctlStandards, SetIntoAShortTableWritesOnlyThatRecord) {
  Meet m;
  std::string bytes = ShikakuTableBytes(ShikakuTable::Fresh()).substr(0, 100 * 384);
  test::WriteFile(m.table(), bytes);
  auto s = m.Run({"standards", "set", "300", "1", "3000"});
  ASSERT_EQ(s.rc, 0) << s.err;
  EXPECT_EQ(s.out, "records=300-300\ncell.0=   30.00\n");
  std::string after = test::ReadFile(m.table());
  EXPECT_EQ(after.size(), 300u * 384u);
  EXPECT_EQ(after.substr(0, bytes.size()), bytes);
}

TEST(MeetctlStandards, InitAsksAndNeedsYes) {
  Meet m;
  ShikakuTable t = ShikakuTable::Fresh();
  ASSERT_TRUE(MakeGroup(t, kKindMeet, 1, 20));
  t.Change(171)->cellTimes[0] = 3000;
  test::WriteFile(m.table(), ShikakuTableBytes(t));
  std::string before = test::ReadFile(m.table());

  auto refused = m.Run({"standards", "init", "大会"});
  EXPECT_NE(refused.rc, 0);
  EXPECT_TRUE(Has(refused.err, "「大会」"));
  EXPECT_EQ(test::ReadFile(m.table()), before);

  auto done = Meetctl({"--meet", m.meet(), "--yes", "standards", "init", "1"});
  ASSERT_EQ(done.rc, 0) << done.err;
  EXPECT_TRUE(done.out.starts_with("records=171-270\nbackup=")) << done.out;
  ShikakuTable after = m.Read();
  EXPECT_EQ(after.record(171).cellTimes[0], 0);
  EXPECT_EQ(after.record(180).groupKey, 180);
  std::string kept = done.out.substr(done.out.find("backup=") + 7);
  kept.pop_back();
  EXPECT_EQ(test::ReadFile(kept), before);
}

TEST(MeetctlStandards, InitKindsAndTheirOptions) {
  Meet m;
  ShikakuTable t = ShikakuTable::Fresh();
  for (int r : {141, 151, 1, 300}) t.Change(r)->cellTimes[0] = 3000;
  t.Change(301)->groupKey = 300;
  test::WriteFile(m.table(), ShikakuTableBytes(t));

  auto best = m.Run({"standards", "init", "最高", "--record", "151", "--yes"});
  ASSERT_EQ(best.rc, 0) << best.err;
  EXPECT_TRUE(best.out.starts_with("records=151-151\n"));
  auto defaultBest = m.Run({"standards", "init", "0", "--yes"});
  ASSERT_EQ(defaultBest.rc, 0) << defaultBest.err;
  EXPECT_TRUE(defaultBest.out.starts_with("records=141-141\n"));
  auto keep = m.Run({"standards", "init", "標準1", "--keep-times", "--yes"});
  ASSERT_EQ(keep.rc, 0) << keep.err;
  auto grades = m.Run({"standards", "init", "級", "--yes"});
  ASSERT_EQ(grades.rc, 0);
  EXPECT_EQ(grades.out, "「級」は初期化しません。\n");

  ShikakuTable after = m.Read();
  EXPECT_EQ(after.record(141).cellTimes[0], 0);
  EXPECT_EQ(after.record(151).cellTimes[0], 0);
  EXPECT_EQ(after.record(1).cellTimes[0], 3000);
  EXPECT_EQ(after.record(300).cellTimes[0], 3000);
  EXPECT_EQ(after.record(301).groupKey, 301);

  EXPECT_NE(m.Run({"standards", "init", "最高", "--record", "171", "--yes"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "init", "大会", "--record", "171", "--yes"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "init", "6", "--yes"}).rc, 0);
}

std::string BikoFile(int recordClass, int32_t time) {
  std::string entry = test::Le16(5) + test::Le16(1) + "2" + test::Le16(12) + test::Le16(12) + test::Le16(2) + "0" +
                      "2" + test::Le32(time) + test::Le16(recordClass) + test::Le16(1) + test::Le16(9) +
                      test::Le16(1) + test::Le16(1) + test::Le16(501) + test::Le16(0) + test::Le16(0) +
                      test::Le16(0) + "13001" + "1" + std::string(7, ' ');
  return test::Le16(1) + std::string(46, '\0') + entry;
}

TEST(MeetctlStandards, CopyOriginalAndResults) {
  Meet m;
  test::TempDir previous;
  ShikakuTable old = ShikakuTable::Fresh();
  old.Change(151)->cellTimes[30] = 2600;
  old.Change(171)->cellTimes[0] = 1500;
  test::WriteFile(previous / "shikaku.dat", ShikakuTableBytes(old));
  test::WriteFile(previous / "biko.dat", BikoFile(11, 2507));

  // This meet has no table: every part is copied unless --parts names some.
  auto all = m.Run({"standards", "copy", previous.str(), "--mode", "original"});
  ASSERT_EQ(all.rc, 0) << all.err;
  EXPECT_EQ(all.out, "shikaku=有\nbiko=有\ncopied=570\n");
  EXPECT_EQ(test::ReadFile(m.table()), ShikakuTableBytes(old));

  // Now it has one: nothing is ticked by default.
  EXPECT_NE(m.Run({"standards", "copy", previous.str(), "--mode", "results"}).rc, 0);
  auto results = m.Run({"standards", "copy", previous.str(), "--mode", "results", "--parts", "世界,日本"});
  ASSERT_EQ(results.rc, 0) << results.err;
  EXPECT_TRUE(results.out.starts_with("shikaku=有\nbiko=有\napplied=1\ncells=1\nbackup=")) << results.out;
  EXPECT_EQ(m.Read().record(151).cellTimes[30], 2507);

  auto wrongPart = m.Run({"standards", "copy", previous.str(), "--mode", "original", "--parts", "地方"});
  EXPECT_NE(wrongPart.rc, 0);
  EXPECT_EQ(Lines(wrongPart.err), 1);
  EXPECT_NE(m.Run({"standards", "copy", previous.str()}).rc, 0);
  EXPECT_NE(m.Run({"standards", "copy", previous.str(), "--mode", "both"}).rc, 0);
  EXPECT_NE(m.Run({"standards", "copy", (previous.path() / "none").string(), "--mode", "original"}).rc, 0);
}

TEST(MeetctlRecordCheck, PrintsTheFindingsToTheJsonlTarget) {
  Meet m;
  ShikakuTable t = ShikakuTable::Fresh();
  t.Change(166)->cellTimes[1] = 3100;  // 地区, 男子 50m自由形
  t.Change(300)->cellTimes[1] = 3000;  // 標準1 at 30
  test::WriteFile(m.table(), ShikakuTableBytes(t));
  Entry e = test::Entrant(12, "山田　太郎", "05", 30);
  e.entryTimes[1] = 3000;
  test::WriteFile(m.dir / "ind.Mos", test::EntryFileBytes({e}));
  std::string jsonl = (m.dir.path() / "check.jsonl").string();
  auto r = m.Run({"--print", "jsonl:" + jsonl, "record-check"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "findings=2\n");
  std::string printed = test::ReadFile(jsonl);
  std::istringstream lines(printed);
  std::string line;
  bool standardAt6500 = false, recordAt8500 = false;
  int standardY = -1, recordY = -1;
  auto yOf = [](const std::string& l) { return std::stoi(l.substr(l.find("\"y\":") + 4)); };
  while (std::getline(lines, line)) {
    if (Has(line, "\"x\":6500") && Has(line, "\"text\":\"50m自由形" + std::string(10, ' ') + "   30.00  標準突破  1\"")) {
      standardAt6500 = true;
      standardY = yOf(line);
    }
    if (Has(line, "\"x\":8500") && Has(line, "\"text\":\"地区  (   31.00)\"")) {
      recordAt8500 = true;
      recordY = yOf(line);
    }
  }
  EXPECT_TRUE(standardAt6500) << printed;
  EXPECT_TRUE(recordAt8500) << printed;
  EXPECT_LT(standardY, recordY);  // the standard before the record
}

TEST(MeetctlRecordCheck, MissingEntryFileFails) {
  Meet m;
  auto r = m.Run({"--print", "none", "record-check"});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(Lines(r.err), 1);
}

TEST(MeetctlSampleStandards, WritesTheSeedsTable) {
  Meet m;
  auto r = m.Run({"sample-standards", "--seed", "5"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "file=" + m.table().string() + "\n");
  EXPECT_EQ(test::ReadFile(m.table()), ShikakuTableBytes(SampleStandardsTable(5, "1")));
  auto again = m.Run({"sample-standards"});
  ASSERT_EQ(again.rc, 0);
  EXPECT_TRUE(Has(again.out, "\nbackup="));
  EXPECT_EQ(test::ReadFile(m.table()), ShikakuTableBytes(SampleStandardsTable(1, "1")));
  EXPECT_NE(m.Run({"sample-standards", "--seed", "x"}).rc, 0);
  EXPECT_NE(m.Run({"sample-standards", "extra"}).rc, 0);
}

}  // namespace
}  // namespace meet
