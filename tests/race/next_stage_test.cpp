#include "race/next_stage.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "kyogi_fixture.h"
#include "print/pages_test_bytes.h"
#include "race/frm_kyogi_screen.h"
#include "race/frm_race_screen.h"

namespace meet {
namespace {

using test::HandRace;

// Two heats and a final of one event in an 8-lane pool; entry e swims
// 2000 + e in the heats unless a row says otherwise.
struct StageMeet : test::KyogiMeet {
  explicit StageMeet(int swimmers = 12) {
    settings.laneCount = 8;
    settings.laneCountUsed = 8;
    Entries(std::vector<test::HandEntry>(40, test::HandEntry{"1", "選手", "ｾﾝｼｭ", "東京", "ｸﾗﾌﾞ", "", 20}));
    for (int e = 1; e <= swimmers; ++e) {
      HandRace& heat = e % 2 ? heat1 : heat2;
      const size_t k = static_cast<size_t>((e - 1) / 2);
      heat.laneNo[k] = e;
      heat.laneTime[k] = 2000 + e;
    }
    heat1.heatTotal = heat2.heatTotal = 2;
    heat2.heatNo = 2;
    final.round = "2";
    final.eventNo = 2;
  }
  void Write(const std::string& states = "771") {
    Races({heat1, heat2, final});
    States(states);
  }
  int16_t Lane(int race, int slot) const {
    const std::string b = RaceField(race, 22 + 2 * static_cast<size_t>(slot), 2);
    return static_cast<int16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
  }
  HandRace heat1, heat2, final;
};

// The final's slots 0..11 when entries 1..12 swim 2001..2012.
constexpr std::array<int, 12> kSeeded = {7, 5, 3, 1, 2, 4, 6, 8, 0, 0, 9, 10};

TEST(SeedNextStage, SeedsFromTheHeatsOnlyWhenTheyAreConfirmedAndTheFinalHoldsNoResult) {
  struct Row {
    const char* name;
    std::string states;
    int race;                  // the race asked for
    std::function<void(StageMeet&)> change;
    std::string refusal;       // a part of the message; empty when seeded
  };
  const Row rows[] = {
      {"from the last heat", "871", 2, {}, ""},
      {"from the first heat", "781", 1, {}, ""},
      {"from the final itself", "771", 3, {}, ""},
      {"a heat not confirmed", "761", 3, {}, "レース 2"},
      {"a heat only seeded", "171", 2, {}, "レース 1"},
      {"a time in the final", "771", 2, [](StageMeet& m) { m.final.laneNo[3] = 1, m.final.laneTime[3] = 2500; }, "レース 3 には記録"},
      {"the final timed", "776", 2, {}, "レース 3 には記録"},
      {"the final confirmed", "777", 2, {}, "レース 3 には記録"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StageMeet m;
    if (row.change) row.change(m);
    m.Write(row.states);
    const std::string before = m.RaceBytes();
    auto seeded = SeedNextStage(m.dir.path(), m.settings, row.race);
    if (!row.refusal.empty()) {
      ASSERT_FALSE(seeded);
      EXPECT_NE(seeded.error().message.find(row.refusal), std::string::npos) << seeded.error().message;
      EXPECT_EQ(m.RaceBytes(), before);
      continue;
    }
    ASSERT_TRUE(seeded) << seeded.error().message;
    EXPECT_TRUE(seeded->written);
    EXPECT_EQ(seeded->race, 3);
    for (int slot = 0; slot < 12; ++slot) EXPECT_EQ(m.Lane(3, slot), kSeeded[static_cast<size_t>(slot)]) << slot;
    EXPECT_EQ(m.StateBytes().substr(0, 3), row.states) << "the states stay";
    EXPECT_EQ(m.RaceBytes().substr(0, 256 * 12), before.substr(0, 256 * 12)) << "the heats stay";
  }
}

TEST(SeedNextStage, LeavesOutExhibitionsStatusCodesAndEmptyTimesAndTellsTheLanesThatChanged) {
  StageMeet m;
  m.Write();
  ASSERT_TRUE(SeedNextStage(m.dir.path(), m.settings, 2));
  // Typed after posting: entry 1 disqualified, entry 2 an exhibition swim,
  // entry 3 without a time; entry 4 now fastest.
  m.heat1.laneTime[0] = 700002;
  m.heat2.recordClass[0] = 99;
  m.heat1.laneTime[1] = 0;
  for (int k = 0; k < 12; ++k) m.final.laneNo[static_cast<size_t>(k)] = m.Lane(3, k);  // as seeded the first time
  m.Races({m.heat1, m.heat2, m.final});
  auto again = SeedNextStage(m.dir.path(), m.settings, 3);
  ASSERT_TRUE(again) << again.error().message;
  const std::vector<RankedSwimmer> want = {{4, 2004}, {5, 2005}, {6, 2006}, {7, 2007}, {8, 2008},
                                           {9, 2009}, {10, 2010}, {11, 2011}, {12, 2012}};
  EXPECT_EQ(again->ranking, want);
  EXPECT_EQ(m.Lane(3, 3), 4);
  EXPECT_EQ(m.Lane(3, 11), 0) << "nobody left for the second alternate";
  ASSERT_FALSE(again->changes.empty());
  EXPECT_EQ(again->changes[0].slot, 0);
  EXPECT_EQ(again->changes[0].before, 7);
  EXPECT_EQ(again->changes[0].after, 10);
  auto unchanged = SeedNextStage(m.dir.path(), m.settings, 3);
  ASSERT_TRUE(unchanged);
  EXPECT_FALSE(unchanged->written);
  EXPECT_TRUE(unchanged->changes.empty());
}

TEST(SeedNextStage, TiesAtTheLastLaneOrTheAlternatesAreTold) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, int>> times;  // entry, time
    std::vector<std::vector<int>> places;    // per tie, the slot each tied swimmer got
  };
  const Row rows[] = {
      {"no tie", {}, {}},
      {"tie inside the lanes", {{3, 2004}}, {}},
      {"8th and 9th equal", {{9, 2008}}, {{8 - 1, 10}}},
      {"9th, 10th and 11th equal", {{10, 2009}, {11, 2009}}, {{10, 11, -1}}},
      {"7th to 9th equal", {{7, 2008}, {9, 2008}}, {{0, 7, 10}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StageMeet m;
    for (auto [e, t] : row.times) {
      HandRace& heat = e % 2 ? m.heat1 : m.heat2;
      heat.laneTime[static_cast<size_t>((e - 1) / 2)] = t;
    }
    m.Write();
    auto seeded = SeedNextStage(m.dir.path(), m.settings, 2);
    ASSERT_TRUE(seeded) << seeded.error().message;
    ASSERT_EQ(seeded->swimOffs.size(), row.places.size());
    for (size_t i = 0; i < row.places.size(); ++i) EXPECT_EQ(seeded->swimOffs[i].places, row.places[i]);
    const auto lines = SwimOffLines(*seeded, PrintSources(MeetFiles{m.dir.path(), m.settings}));
    ASSERT_EQ(lines.size(), row.places.size());
    for (const std::string& line : lines) EXPECT_TRUE(line.starts_with("同記録 ")) << line;
  }
}

TEST(NextStageAgrees, AWithdrawalFilledFromTheAlternatesAgreesAnyOtherDifferenceDoesNot) {
  struct Row {
    const char* name;
    std::array<int, 12> lanes;
    bool agrees;
  };
  const Row rows[] = {
      {"as seeded", kSeeded, true},
      {"not seeded", {}, false},
      {"two lanes swapped", {5, 7, 3, 1, 2, 4, 6, 8, 0, 0, 9, 10}, false},
      {"lane 4 withdrawn, first alternate in", {7, 5, 3, 9, 2, 4, 6, 8, 0, 0, 10, 11}, true},
      {"two withdrawn", {7, 5, 3, 9, 10, 4, 6, 8, 0, 0, 11, 12}, true},
      {"the alternate skipped", {7, 5, 3, 10, 2, 4, 6, 8, 0, 0, 11, 12}, false},
      {"a swimmer of no heat", {7, 5, 3, 30, 2, 4, 6, 8, 0, 0, 9, 10}, false},
      {"a swimmer in lane 9 of 8", {7, 5, 3, 1, 2, 4, 6, 8, 11, 0, 9, 10}, false},
  };
  for (const Row& row : rows) {
    StageMeet m;
    for (size_t k = 0; k < 12; ++k) m.final.laneNo[k] = row.lanes[k];
    m.Write();
    auto stage = PlanNextStage(m.dir.path(), m.settings, 3);
    ASSERT_TRUE(stage) << stage.error().message;
    EXPECT_EQ(NextStageAgrees(*stage, 8, 8), row.agrees) << row.name;
  }
}

TEST(PlanAlternateIn, TheFirstAlternateTakesTheLaneAndTheNextSwimmerOfTheHeatsBecomesTheSecond) {
  struct Row {
    const char* name;
    std::array<int, 12> lanes;
    int slot;
    std::optional<std::array<int, 12>> after;
  };
  const Row rows[] = {
      {"lane 4 withdrawn", kSeeded, 3, std::array<int, 12>{7, 5, 3, 9, 2, 4, 6, 8, 0, 0, 10, 11}},
      {"then lane 5", {7, 5, 3, 9, 2, 4, 6, 8, 0, 0, 10, 11}, 4, std::array<int, 12>{7, 5, 3, 9, 10, 4, 6, 8, 0, 0, 11, 12}},
      {"the last alternate", {7, 5, 3, 9, 10, 4, 6, 8, 0, 0, 11, 12}, 0, std::array<int, 12>{11, 5, 3, 9, 10, 4, 6, 8, 0, 0, 12, 0}},
      {"no alternate", {7, 5, 3, 1, 2, 4, 6, 8, 0, 0, 0, 0}, 3, std::nullopt},
      {"an empty lane", {0, 5, 3, 1, 2, 4, 6, 8, 0, 0, 9, 10}, 0, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StageMeet m;
    for (size_t k = 0; k < 12; ++k) m.final.laneNo[k] = row.lanes[k];
    m.Write();
    auto shown = LoadRaceB(m.dir.path(), 3);
    ASSERT_TRUE(shown);
    auto offer = PlanAlternateIn(m.dir.path(), m.settings, 3, *shown, row.slot);
    ASSERT_TRUE(offer) << offer.error().message;
    ASSERT_EQ(offer->has_value(), row.after.has_value());
    if (!row.after) continue;
    for (size_t k = 0; k < 12; ++k) EXPECT_EQ((*offer)->race.laneNo[k], (*row.after)[k]) << k;
  }
  // A final already swum takes nobody in.
  StageMeet m;
  for (size_t k = 0; k < 12; ++k) m.final.laneNo[k] = kSeeded[k];
  m.final.laneTime[0] = 2500;
  m.Write();
  auto shown = LoadRaceB(m.dir.path(), 3);
  ASSERT_TRUE(shown);
  auto offer = PlanAlternateIn(m.dir.path(), m.settings, 3, *shown, 3);
  ASSERT_TRUE(offer);
  EXPECT_FALSE(offer->has_value());
}

// The desk's side: 棄権 typed on the race screen offers the alternate; the
// confirmation that completes the heats asks to seed the final.
TEST(NextStageAtTheDesk, WithdrawalOffersTheAlternateAndTheLastConfirmationAsksToSeed) {
  for (bool take : {true, false}) {
    StageMeet m;
    for (size_t k = 0; k < 12; ++k) m.final.laneNo[k] = kSeeded[k];
    m.Write("771");
    FrmKyogiScreen screen(m.dir.path(), m.settings, m.fake.platform);
    ASSERT_TRUE(screen.Open());
    ASSERT_TRUE(screen.ShowRace(3));
    m.fake.dialogs.answers = {take};
    ASSERT_TRUE(screen.EnterLaneField(LaneField::txtKiro, 3, "8"));
    EXPECT_EQ(m.Lane(3, 3), take ? 9 : 1) << take;
    EXPECT_EQ(m.StateBytes()[2], take ? '1' : '7') << "the substitution is no result";
  }

  StageMeet m;
  m.heat2.laneTime.fill(0);
  m.Write("711");
  FrmRaceScreen dialog(m.dir.path(), m.settings, 2, m.fake.platform);
  ASSERT_TRUE(dialog.Load());
  const char* rows[][2] = {{"1", "2002"}, {"2", "2004"}, {"3", "2006"}, {"4", "2008"}, {"5", "2010"}, {"6", "2012"}};
  for (int r = 0; r < 6; ++r) {
    dialog.txtJun[static_cast<size_t>(r)] = rows[r][0];
    dialog.JunEnter(r);
    dialog.txtKiro[static_cast<size_t>(r)] = rows[r][1];
    dialog.KiroEnter(r);
  }
  m.fake.dialogs.answers = {true, false};  // seed: yes; print: no
  auto done = dialog.Kakutei();
  ASSERT_TRUE(done) << done.error().message;
  EXPECT_EQ(*done, Confirmation::Confirmed);
  for (int slot = 0; slot < 12; ++slot) EXPECT_EQ(m.Lane(3, slot), kSeeded[static_cast<size_t>(slot)]) << slot;
  ASSERT_FALSE(dialog.nextStageLines().empty());
  EXPECT_EQ(m.fake.printer.documentsEnded, 0);
}

// Printing asked for after an on-demand seeding: each sheet the printer
// refuses is told, the other is still tried, and the seeding stands.
TEST(NextStageAtTheDesk, SheetsThePrinterRefusesAreToldAndTheSeedingStands) {
  StageMeet m;
  m.Write("771");
  test::WriteFile(m.dir / "hpro.dat", test::PageHeader(1) + test::PageRecord(1, {3}));
  test::RefusingPrinter refusing;
  Platform platform{refusing, m.fake.dialogs, m.fake.clock, m.fake.launcher};
  m.fake.dialogs.answers = {true};  // print: yes
  auto seeded = SeedNextStageAtDesk(platform, MeetFiles{m.dir.path(), m.settings}, 2);
  ASSERT_TRUE(seeded) << seeded.error().message;
  EXPECT_EQ(m.Lane(3, 3), 1);
  EXPECT_EQ(refusing.documents, (std::vector<std::string>{"race-r0003", "program-p001"}));
  EXPECT_EQ(seeded->printFailures,
            (std::vector<std::string>{"印刷できませんでした（プリンター system）: レース表 レース 3（プリンターがありません）",
                                      "印刷できませんでした（プリンター system）: プログラム 1 ページ（プリンターがありません）"}));
}

}  // namespace
}  // namespace meet
