#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>

#include "app/meetctl_run.h"
#include "core/cp932.h"
#include "data/entry_layout.h"
#include "print/print_fixture.h"

namespace meet {
namespace {

struct PrintFolder : test::PrintMeet {
  PrintFolder() {
    settings.laneCount = 4;
    EXPECT_TRUE(SaveSettings(dir.path(), settings));
    Entries({test::Swimmer("山田　太郎")});
    test::HandRace race;
    race.laneNo[1] = 1;
    race.laneTime[1] = 3149;
    Races({race});
    Pages({{1}, {1}});
    std::filesystem::create_directories(dir / "lap");
    test::WriteFile(dir / "lap" / "R0001", "2,15.20,\r\n2,31.55,G\r\n");
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--meet", dir.str(), "--print", "jsonl:" + (dir / "out.jsonl").string()});
    return Meetctl(args);
  }
  std::string Printed() const { return test::ReadFile(dir / "out.jsonl"); }
};

TEST(MeetctlPrint, ProgramPagesInCopiesAsJsonl) {
  PrintFolder meet;
  auto run = meet.Run({"print", "program", "1", "2", "--copies", "2"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, "プログラムを印刷しました（4 枚）。\n");
  const std::string out = meet.Printed();
  EXPECT_NE(out.find("{\"doc\":1,\"page\":4,\"x\":5300,\"y\":15000,\"font\":\"ＭＳ 明朝\",\"size\":9,\"bold\":false,"
                     "\"text\":\"- 2 -\",\"name\":\"program-p001-p002\"}"),
            std::string::npos);
  EXPECT_NE(meet.Run({"print", "program", "0", "1"}).rc, 0);
  EXPECT_NE(meet.Run({"print", "program", "x", "1"}).rc, 0);
}

TEST(MeetctlPrint, ResultsAndSheetsOfARace) {
  PrintFolder meet;
  for (const char* what : {"results", "race-sheet", "lap-sheet"}) {
    auto run = meet.Run({"print", what, "1"});
    EXPECT_EQ(run.rc, 0) << what << run.err;
  }
  const std::string out = meet.Printed();
  EXPECT_NE(out.find("\"text\":\"個  人  記  録（ラップ）  一  覧\""), std::string::npos);
  EXPECT_NE(out.find("\"text\":\"    15.20     31.49 \""), std::string::npos);
  EXPECT_NE(meet.Run({"print", "results", "2"}).rc, 0);
}

// pdf:DIR: one file per document, named by what it holds, a "-2" for a name
// already taken, and a "PDF: path" line for each file written.
TEST(MeetctlPrint, PdfFilesAreNamedAndListed) {
  PrintFolder meet;
  const std::filesystem::path folder = meet.dir / "pdf";
  struct Row {
    std::vector<std::string> args;
    std::string file;
  };
  for (const Row& row : {Row{{"print", "results", "1"}, "results-r0001.pdf"},
                         Row{{"print", "results", "1"}, "results-r0001-2.pdf"},
                         Row{{"print", "program", "1", "2"}, "program-p001-p002.pdf"},
                         Row{{"print", "lap-sheet", "1"}, "lap-r0001.pdf"}}) {
    std::vector<std::string> args = {"--meet", meet.dir.str(), "--print", "pdf:" + folder.string()};
    args.insert(args.end(), row.args.begin(), row.args.end());
    auto run = Meetctl(args);
    ASSERT_EQ(run.rc, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("PDF: " + (folder / row.file).string() + "\n")) << run.out;
    EXPECT_EQ(run.out.find("PDF: ", 1), std::string::npos) << "one file, one line";
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / row.file)) << row.file;
  }
}

// A printout that cannot be printed is a failure naming the printer and the
// document, never "印刷しました".
TEST(MeetctlPrint, APrintoutThatCannotBePrintedFails) {
  PrintFolder meet;
  const std::string target = "pdf:" + (meet.dir / "kijun.dat" / "pdf").string();  // under a file
  auto run = Meetctl({"--meet", meet.dir.str(), "--print", target, "print", "results", "1"});
  EXPECT_EQ(run.rc, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "meetctl: 印刷できませんでした（プリンター " + target + "）: 競技結果 レース 1（フォルダー " +
                         (meet.dir / "kijun.dat" / "pdf").string() + " を作れません）\n");
}

TEST(MeetctlLaps, SplitsAndLapTimesOfALane) {
  PrintFolder meet;
  auto run = meet.Run({"laps", "1", "2"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, " 1    15.20\n 2    31.49  (   16.29)\n");
  EXPECT_EQ(meet.Run({"laps", "1", "3"}).out, "ラップはありません。\n");
  EXPECT_NE(meet.Run({"laps", "1", "11"}).rc, 0);
}

// A seeded meet whose swimmers carry long names, clubs and prefectures, swum
// with a disqualification and a lane without a result, relays with their
// orders, a confirmation that breaks records, and 集計.
class MeetctlPaper : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    ctl_ = (*dir_ / "ctl" / "dr_kyo.ctl").string();
    std::filesystem::create_directories(*dir_ / "meets");
    Ok({"sample-entries", (*dir_ / "p.Mos").string(), "--swimmers", "150"});
    LongNames(*dir_ / "p.Mos");
    Ok({"new", (*dir_ / "p.Mos").string(), (*dir_ / "meets").string()});
    for (auto [name, value] : {std::pair{"laneCount", "8"}, {"laneCountUsed", "8"}, {"minEntrants", "1"},
                               {"classMode", "1"}, {"timingSystem", "1"}, {"printCopies.4", "1"},
                               {"pointsIndividual.1", "9"}, {"pointsRelay.1", "18"}})
      Ok({"settings", "set", name, value});
    Ok({"program", "generate"});
    Ok({"sample-standards"});
    Ok({"seed"});
    Ok({"program", "init", "--from", "1", "--start", "093000", "--day", "1"});
    Ok({"timing", "finish", "--all-seeded", "--dq", "3", "--missing", "6"});
    Ok({"post", "--no-print"});
    // Every relay team swims with four members of long names, then is posted.
    const int races = RaceCount();
    for (int r = 1; r <= races; ++r) {
      auto fields = RaceFields(r);
      const int event = std::stoi(fields["eventCode"]);
      if (event < 23 || event > 29) continue;
      bool any = false;
      for (int lane = 1; lane <= 8; ++lane) {
        if (fields["laneNo." + std::to_string(lane - 1)] == "0") continue;
        Ok({"relay", "order", std::to_string(r), std::to_string(lane), "3", "6", "9", "12"});
        any = true;
      }
      if (any) Ok({"timing", "finish", std::to_string(r)});
      if (any) relayRace_ = r;
    }
    Ok({"post", "--no-print"});
    Ok({"points", "tally", "--range", "1", "400"});
  }
  static void TearDownTestSuite() { delete dir_; }

  static CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--ctl", ctl_, "--yes"});
    return Meetctl(args);
  }
  static void Ok(std::vector<std::string> args) {
    args.insert(args.begin(), {"--print", "none"});
    CliRun run = Run(args);
    ASSERT_EQ(run.rc, 0) << args[1] << " " << (args.size() > 2 ? args[2] : "") << ": " << run.err;
  }
  // Every third swimmer (and team) gets a name of eight full-width
  // characters, a reading of sixteen, a prefecture of four and a club of six.
  static void LongNames(const std::filesystem::path& file) {
    namespace L = entry_layout;
    std::string bytes = test::ReadFile(file);
    const int32_t count = Record(bytes.substr(0, L::kRecordLength), L::kRecordLength).I32(L::kEntryCount);
    auto put = [&](size_t record, size_t offset, const std::string& text, size_t width) {
      bytes.replace((record - 1) * L::kRecordLength + offset, width, test::Sjis(text, width));
    };
    for (int n = 3; n <= count; n += 3) {
      const size_t record = static_cast<size_t>(n) + 10;
      put(record, L::kSwimmerName, "長谷川龍之介太郎", 16);
      put(record, L::kSwimmerKana, "ﾊｾｶﾞﾜﾘｭｳﾉｽｹﾀﾛｳﾔ", 16);
      put(record, L::kPrefName, "鹿児島県", 8);
      put(record, L::kAffiliation, "鹿児島水泳ク", 12);
    }
    test::WriteFile(file, bytes);
  }
  static std::map<std::string, std::string> RaceFields(int race) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(Run({"--print", "none", "race", "show", std::to_string(race)}).out);
    for (std::string line; std::getline(lines, line);)
      if (auto eq = line.find('='); eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    return fields;
  }
  static int RaceCount() { return std::stoi(RaceFields(1)["raceCount"]); }

  // Printed text items of a jsonl file, with the span their characters cover
  // (leading and trailing blanks are no ink).
  struct Span {
    int doc = 0, page = 0, y = 0, from = 0, to = 0, blank = 0;
    std::string text;
  };
  static std::vector<Span> Spans(const std::filesystem::path& jsonl) {
    std::vector<Span> out;
    std::istringstream lines(test::ReadFile(jsonl));
    for (std::string line; std::getline(lines, line);) {
      if (line.find("\"text\":\"") == std::string::npos) continue;
      auto number = [&](const std::string& key) {
        return std::stod(line.substr(line.find("\"" + key + "\":") + key.size() + 3));
      };
      std::string text;
      for (size_t i = line.find("\"text\":\"") + 8; i < line.size() && line[i] != '"'; ++i)
        text += line[i] == '\\' ? line[++i] : line[i];
      NullPrinter metric;
      metric.SetFontSize(number("size"));
      const std::string ink = TrimRight(text);
      const size_t lead = ink.find_first_not_of(' ');
      if (lead == std::string::npos) continue;
      Span s{static_cast<int>(number("doc")), static_cast<int>(number("page")), static_cast<int>(number("y")), 0, 0,
             metric.TextWidth(" "), ink};
      s.from = static_cast<int>(number("x")) + metric.TextWidth(ink.substr(0, lead));
      s.to = static_cast<int>(number("x")) + metric.TextWidth(ink);
      out.push_back(s);
    }
    return out;
  }
  // Pairs of items on one line of one page that touch: less than a blank apart.
  static std::vector<std::string> Touching(std::vector<Span> spans) {
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
      return std::tie(a.doc, a.page, a.y, a.from) < std::tie(b.doc, b.page, b.y, b.from);
    });
    std::vector<std::string> out;
    for (size_t i = 1; i < spans.size(); ++i) {
      const Span &a = spans[i - 1], &b = spans[i];
      if (a.doc == b.doc && a.page == b.page && a.y == b.y && b.from < a.to + a.blank)
        out.push_back("\"" + a.text + "\" (" + std::to_string(a.from) + "–" + std::to_string(a.to) + ") / \"" + b.text +
                      "\" (" + std::to_string(b.from) + ")");
    }
    return out;
  }

  static inline test::TempDir* dir_ = nullptr;
  static inline std::string ctl_;
  static inline int relayRace_ = 0;
};

TEST_F(MeetctlPaper, NoTwoColumnsOfAPrintedLineTouch) {
  ASSERT_GT(relayRace_, 0);
  const std::string relay = std::to_string(relayRace_);
  struct Row {
    const char* name;
    std::vector<std::string> verb;
    const char* marker;  // a text the printout holds, so it is not empty
  } rows[] = {
      {"race sheet", {"print", "race-sheet", "1"}, "補1"},
      {"relay race sheet", {"print", "race-sheet", relay}, "補1"},
      {"lap sheet", {"print", "lap-sheet", "1"}, "個  人  記  録（ラップ）  一  覧"},
      {"relay lap sheet", {"print", "lap-sheet", relay}, "個  人  記  録（ラップ）  一  覧"},
      {"program pages", {"print", "program", "1", "200"}, "長谷川龍之介太郎"},
      {"officials' pages", {"print", "program", "1", "200", "--officials"}, "ﾊｾｶﾞﾜﾘｭｳﾉｽｹﾀﾛｳﾔ"},
      {"results", {"print", "results", "1"}, "旧番号"},
      {"relay results", {"print", "results", relay}, "旧番号"},
      {"records list", {"points", "print", "records"}, "新      記      録"},
      {"points ranking", {"points", "print", "ranking", "--all"}, "得  点  一  覧  "},
      {"placings", {"points", "print", "placings"}, "得点 :   1  2  3  4  5 :"},
      {"ranking list", {"ranking", "--print"}, "旧番号"},
      {"競技順", {"program", "print"}, "競      技      順"},
      {"record check", {"record-check"}, "個人記録確認"},
      {"page list", {"pages", "print"}, "ページ一覧"},
      {"record notices", {"race", "confirm", "7", "--rows", "1 2000,2 2001,3 2002,4 2003,5 2004,6 2005,7 2006,8 2007"},
       "ｺｰｽ"},
  };
  int n = 0;
  for (const Row& r : rows) {
    const std::filesystem::path out = *dir_ / ("paper" + std::to_string(++n) + ".jsonl");
    std::vector<std::string> args = {"--print", "jsonl:" + out.string()};
    args.insert(args.end(), r.verb.begin(), r.verb.end());
    CliRun run = Run(args);
    ASSERT_EQ(run.rc, 0) << r.name << ": " << run.err;
    const std::vector<Span> spans = Spans(out);
    EXPECT_TRUE(std::any_of(spans.begin(), spans.end(),
                            [&](const Span& s) { return s.text.find(TrimRight(r.marker)) != std::string::npos; }))
        << r.name << " printed no " << r.marker;
    const std::vector<std::string> touching = Touching(spans);
    EXPECT_TRUE(touching.empty()) << r.name << ": " << touching.size() << " pairs, first " << touching.front();
  }
}

}  // namespace
}  // namespace meet
