// meetctl result-file, federation-report and dump on a small meet folder.
#include <gtest/gtest.h>

#include "data/entry_file.h"
#include "data/race_file.h"
#include "meetctl_run.h"
#include "program/projun_file.h"
#include "support/test_support.h"

namespace meet {
namespace {

class MeetctlResults : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "old");
    EntryHeader h;
    h.entryCount = 2;
    h.entryDateFrom = "2009/12/31";
    std::string entries = RecordFromEntryHeader(h).bytes() + std::string(384 * 9, '\0');
    for (int n = 1; n <= 2; ++n) {
      Entry e;
      e.entryNo = n;
      e.swimmerName = "泳者";
      entries += RecordFromEntry(e).bytes();
    }
    test::WriteFile(dir / "m.Mos", entries);
    Race r;
    r.eventCode = 2;
    r.roundCode = "2";
    r.laneNo[0] = 2;
    r.laneTime[0] = 3012;
    std::string header(256, '\0');
    header[0] = 1;
    test::WriteFile(dir / "taikai.dat", header + std::string(256 * 9, '\0') + RecordFromRace(r, false).bytes());
    ProgramEntry p = BlankProgramEntry();
    p.eventCode = 2;
    p.stageCode = "2";
    p.firstRace = 1;
    p.heatCount = 1;
    p.dayNo = "2";
    test::WriteFile(dir / "projun.dat", ProgramHeaderRecord(1).bytes() + std::string(64 * 9, '\0') +
                                            RecordFromProgramEntry(p).bytes());
    // The folder configuration names the entry folder and file.
    test::WriteFile(dir / "dr_kyo.ctl", dir.path().string().substr(0, 2) + "\r\n" + dir.path().string() + ",x\r\n" +
                                            dir.path().string() + ",m.Mos\r\n");
    ASSERT_EQ(Meetctl(Args({"settings", "set", "laneCount", "8"})).rc, 0);
  }
  std::vector<std::string> Args(std::vector<std::string> verb) {
    std::vector<std::string> a = {"--meet", dir.str(), "--ctl", (dir / "dr_kyo.ctl").string()};
    a.insert(a.end(), verb.begin(), verb.end());
    return a;
  }
  test::TempDir dir;
};

TEST_F(MeetctlResults, ResultFileWritesTheBestTimesAndPrintsBothPaths) {
  auto run = Meetctl(Args({"result-file", "--results", "--drop-empty"}));
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find((dir / "m.kek").string()), std::string::npos);
  EXPECT_NE(run.out.find((dir / "ind2.dat").string()), std::string::npos);
  std::string kek = test::ReadFile(dir / "m.kek");
  ASSERT_EQ(kek.size(), 384u * 11);
  Record header(kek.substr(0, 384), 384);
  EXPECT_EQ(header.I32(0), 1);
  EXPECT_EQ(header.I32(67 + 4), 20100101);
  Record kept(kek.substr(384 * 10), 384);
  EXPECT_EQ(kept.I32(0), 2);
  EXPECT_EQ(kept.I32(95 + 4), 3012);
  EXPECT_EQ(kept.Byte(282), '2');
  EXPECT_EQ(Meetctl(Args({"result-file", "--finals-only", "3"})).rc, 2);
  EXPECT_EQ(Meetctl(Args({"result-file", "--standards", "3"})).rc, 2);
}

TEST_F(MeetctlResults, FederationReportAndDumps) {
  auto run = Meetctl(Args({"federation-report"}));
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find("泳者 1 件"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir / "games.dat"));
  run = Meetctl(Args({"dump", "write", "races", (dir / "old").string()}));
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find("1 行"), std::string::npos);
  std::string before = test::ReadFile(dir / "taikai.dat");
  // Without --yes the question is answered No and nothing changes.
  run = Meetctl(Args({"dump", "read", "races", (dir / "old").string()}));
  EXPECT_NE(run.rc, 0);
  run = Meetctl(Args({"dump", "read", "races", (dir / "old").string(), "--yes"}));
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_NE(run.out.find("backup"), std::string::npos);
  EXPECT_EQ(test::ReadFile(dir / "taikai.dat"), before);
  EXPECT_EQ(Meetctl(Args({"dump", "write", "nothing", "x"})).rc, 2);
}

}  // namespace
}  // namespace meet
