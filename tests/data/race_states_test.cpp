#include "data/race_states.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace meet {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(CreateRaceStates, OneRecordOfZerosWithOnesForTheSeededRaces) {
  TempDir dir;
  ASSERT_TRUE(CreateRaceStates(dir.path(), 3));
  const std::string expected = "111" + std::string(1021, '0');
  EXPECT_EQ(ReadFile(dir / "Race.dat"), expected);

  ASSERT_TRUE(CreateRaceStates(dir.path(), 0));
  EXPECT_EQ(ReadFile(dir / "Race.dat"), std::string(1024, '0'));
  ASSERT_TRUE(CreateRaceStates(dir.path(), 1024));
  EXPECT_EQ(ReadFile(dir / "Race.dat"), std::string(1024, '1'));
}

TEST(CreateRaceStates, MoreThan1024RacesExtendTheFileByWholeRecords) {
  TempDir dir;
  ASSERT_TRUE(CreateRaceStates(dir.path(), 1025));
  const std::string bytes = ReadFile(dir / "Race.dat");
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_EQ(bytes.substr(0, 1025), std::string(1025, '1'));
  EXPECT_EQ(bytes.substr(1025), std::string(1023, '0'));
  EXPECT_FALSE(CreateRaceStates(dir.path(), 32758));
}

TEST(CreateRaceStates, KeepsTheSpellingOfAnExistingFile) {
  TempDir dir;
  WriteFile(dir / "race.dat", std::string(1024, '8'));
  ASSERT_TRUE(CreateRaceStates(dir.path(), 2));
  EXPECT_FALSE(std::filesystem::exists(dir / "Race.dat"));
  EXPECT_EQ(ReadFile(dir / "race.dat").substr(0, 3), "110");
}

TEST(RaceStates, MissingAndShortFilesReadWithoutStates) {
  TempDir dir;
  auto states = RaceStates::Read(dir.path());
  ASSERT_TRUE(states);
  EXPECT_EQ(states->state(1), '\0');
  EXPECT_EQ(states->state(0), '\0');
  EXPECT_EQ(states->state(-5), '\0');

  WriteFile(dir / "RACE.DAT", "17");
  states = RaceStates::Read(dir.path());
  ASSERT_TRUE(states);
  EXPECT_EQ(states->state(1), '1');
  EXPECT_EQ(states->state(2), '7');
  EXPECT_EQ(states->state(3), '\0');
}

TEST(RaceStates, WritesOnlyTheChangedBytes) {
  TempDir dir;
  WriteFile(dir / "Race.dat", "1111" + std::string(1020, '0'));
  auto states = RaceStates::Read(dir.path());
  ASSERT_TRUE(states);
  states->Set(2, '7');
  states->Set(3, '1');  // unchanged: not written
  // Meanwhile the timing system marks race 3 as waiting.
  std::string onDisk = ReadFile(dir / "Race.dat");
  onDisk[2] = '6';
  WriteFile(dir / "Race.dat", onDisk);

  ASSERT_TRUE(states->Write(dir.path()));
  EXPECT_EQ(ReadFile(dir / "Race.dat").substr(0, 5), "17610");
  EXPECT_EQ(ReadFile(dir / "Race.dat").size(), 1024u);
}

TEST(RaceStates, ARaceBeyondTheFileGrowsItByWholeRecordsOfZeros) {
  TempDir dir;
  WriteFile(dir / "Race.dat", std::string(1024, '1'));
  auto states = RaceStates::Read(dir.path());
  ASSERT_TRUE(states);
  states->Set(1500, '7');
  ASSERT_TRUE(states->Write(dir.path()));
  const std::string bytes = ReadFile(dir / "Race.dat");
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_EQ(bytes[1499], '7');
  EXPECT_EQ(bytes[1024], '0');
  EXPECT_EQ(bytes[2047], '0');
  EXPECT_EQ(states->state(1500), '7');

  // Out of range races are ignored rather than growing the file without end.
  states->Set(40000, '7');
  states->Set(0, '7');
  ASSERT_TRUE(states->Write(dir.path()));
  EXPECT_EQ(ReadFile(dir / "Race.dat").size(), 2048u);
}

TEST(RaceStates, AMissingFileIsCreatedOnTheFirstChange) {
  TempDir dir;
  auto states = RaceStates::Read(dir.path());
  ASSERT_TRUE(states);
  states->Set(2, '7');
  ASSERT_TRUE(states->Write(dir.path()));
  const std::string bytes = ReadFile(dir / "Race.dat");
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes.substr(0, 3), "070");
}

}  // namespace
}  // namespace meet
