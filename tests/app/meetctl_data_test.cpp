#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/relay_file.h"
#include "app/meetctl_run.h"
#include "meetctl/cli.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace meet {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool StartsWith(const std::string& text, const std::string& part) { return text.rfind(part, 0) == 0; }
int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

void ExpectOneLineFailure(const CliRun& r) {
  EXPECT_NE(r.rc, 0);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(Lines(r.err), 1) << r.err;
}

TEST(MeetctlRace, ShowPrintsTheRaceBufferInLayoutOrder) {
  test::TempDir dir;
  Race race;
  race.raceCount = 2;
  race.eventNo = 7;
  race.sexCode = "2";
  race.roundCode = "1";
  race.startTime = "09:30:00";
  race.laneNo[11] = 345;
  race.laneTime[0] = 12345;
  race.standardFlags[3] = '5';
  ASSERT_TRUE(SaveRace(dir.str(), 2, race));
  auto r = Meetctl({"--meet", dir.str(), "race", "show", "2"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(StartsWith(r.out, "raceCount=2\neventNo=7\nheatNo=0\nheatTotal=0\nse")) << r.out;
  EXPECT_TRUE(Has(r.out, "sexCode=2\nclassFrom=0\n"));
  EXPECT_TRUE(Has(r.out, "roundCode=1\nstartTime=09:30:00\nrelayRec=0\nlaneNo.0=0\n"));
  EXPECT_TRUE(Has(r.out, "laneNo.11=345\nlaneTime.0=12345\n"));
  EXPECT_TRUE(Has(r.out, "standardFlags.2=\nstandardFlags.3=5\n"));
  EXPECT_TRUE(Has(r.out, "laneRecordClass.11=0\nstandardFlags.0=\n"));
  // 11 fixed fields, 8 arrays of 12 slots, the two spares.
  EXPECT_EQ(Lines(r.out), 11 + 8 * 12 + 2);
}

TEST(MeetctlRace, BadRaceNumbersFailWithOneLine) {
  test::TempDir dir;
  for (const char* n : {"0", "32758", "abc", "12x", "-1", ""}) {
    SCOPED_TRACE(n);
    ExpectOneLineFailure(Meetctl({"--meet", dir.str(), "race", "show", n}));
  }
  EXPECT_NE(Meetctl({"--meet", dir.str(), "race", "show"}).rc, 0);
  // A race past the file's race count is no race (here: no race file at all).
  ExpectOneLineFailure(Meetctl({"--meet", dir.str(), "race", "show", "1"}));
  EXPECT_FALSE(std::filesystem::exists(dir / "taikai.dat"));
}

struct EntryMeet {
  test::TempDir meet, entries;
  EntryMeet() {
    test::FixedClock clock;
    clock.now = DateTime{2024, 7, 5, 0, 0, 0};
    {
      auto file = EntryFile::Open(entries / "haru.Mos", clock);
      EXPECT_TRUE(file);
      file->header().entryCount = 1;
      EXPECT_TRUE(file->SaveHeader());
    }
    Entry e;
    e.entryNo = 42;
    e.swimmerName = "山田";
    e.entryTimes[3] = 3012;
    e.entryEventFlags = "1";
    std::string bytes = test::ReadFile(entries / "haru.Mos");
    EventDefinitions d;
    d.extraEventNames[0] = "水中歩行";
    d.extraRelayFlags[0] = '1';
    bytes += RecordFromEventDefinitions(d).bytes();
    bytes += std::string(8 * 384, '\0');
    bytes += RecordFromEntry(e).bytes();
    test::WriteFile(entries / "haru.Mos", bytes);
    // The meet's settings name the entry file.
    Settings settings;
    settings.entryFolder = entries.str();
    settings.entryFileName = "haru.Mos";
    EXPECT_TRUE(SaveSettings(meet.str(), settings));
  }
};

TEST(MeetctlEntry, ShowReadsTheEntryFileOfTheSettings) {
  EntryMeet m;
  auto r = Meetctl({"--meet", m.meet.str(), "entry", "show", "1"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(StartsWith(r.out, "entryNo=42\nentryCode7=\nregNo=\nswimm")) << r.out;
  EXPECT_TRUE(Has(r.out, "swimmerName=山田\n"));
  EXPECT_TRUE(Has(r.out, "entryTimes.3=3012\n"));
  EXPECT_TRUE(Has(r.out, "entryText6c=000000\nentryLong=0\nentryEventFlags.0=1\nentryEventFlags.1=\n"));
  EXPECT_EQ(Lines(r.out), 15 + 3 * 44);
  auto direct = Meetctl({"entry", "show", "1", "--entry", (m.entries / "haru.Mos").string()});
  ASSERT_EQ(direct.rc, 0) << direct.err;
  EXPECT_EQ(direct.out, r.out);
}

TEST(MeetctlEntry, HeaderShowsRecordOneAndTheMeetEvents) {
  EntryMeet m;
  auto r = Meetctl({"--meet", m.meet.str(), "entry", "header"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(StartsWith(r.out, "entryCount=1\nentryCourse=1\nentryCreated=2024/07/05\nentryMeetAb")) << r.out;
  EXPECT_TRUE(Has(r.out, "entryMeetAbbrev=haru\nentryVenue=\n"));
  EXPECT_TRUE(Has(r.out, "entryDays.9=0\nextraClassNames.0=\n"));
  EXPECT_TRUE(Has(r.out, "extraEventNames.0=水中歩行\n"));
  EXPECT_TRUE(Has(r.out, "extraRelayFlags.0=1\nextraRelayFlags.1=\n"));
}

TEST(MeetctlEntry, BadEntryNumbersAndMissingFilesFailWithOneLine) {
  EntryMeet m;
  for (const char* n : {"0", "2", "x", "-3"}) {
    SCOPED_TRACE(n);
    ExpectOneLineFailure(Meetctl({"--meet", m.meet.str(), "entry", "show", n}));
  }
  test::TempDir none;
  ExpectOneLineFailure(Meetctl({"entry", "show", "1", "--entry", (none / "x.Mos").string()}));
  EXPECT_FALSE(std::filesystem::exists(none / "x.Mos"));
}

TEST(MeetctlRelay, ShowPrintsTheBlock) {
  test::TempDir dir;
  {
    auto file = RelayFile::Open(dir.str());
    ASSERT_TRUE(file);
    RelayBlock b;
    b.relayBlockNo = 1;
    b.legMembers[1 * 12 + 2] = 17;  // leg 1 of slot 2
    b.relayRace = 6;
    b.splitTimes[9] = 2950;
    ASSERT_TRUE(file->Write(1, b));
    ASSERT_TRUE(file->SetRelayCount(1));
  }
  auto r = Meetctl({"--meet", dir.str(), "relay", "show", "1"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(StartsWith(r.out, "relayCount=1\nrelayBlockNo=1\nlegMembers.")) << r.out;
  EXPECT_TRUE(Has(r.out, "legMembers.14=17\n"));
  EXPECT_TRUE(Has(r.out, "legMembers.47=0\nrelayRace=6\nsplitTimes.0=0\n"));
  EXPECT_TRUE(Has(r.out, "splitTimes.9=2950\n"));
  EXPECT_EQ(Lines(r.out), 3 + 48 + 10);
  ExpectOneLineFailure(Meetctl({"--meet", dir.str(), "relay", "show", "0"}));
}

}  // namespace
}  // namespace meet
