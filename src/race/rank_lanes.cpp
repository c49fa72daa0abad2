#include "race/rank_lanes.h"

#include <algorithm>
#include <array>

#include "core/numbers.h"
#include "core/time_code.h"

namespace meet {

namespace {

constexpr int kPlacedSlots = 10;
constexpr int16_t kExhibition = 99;  // record class OP

}  // namespace

std::string PlacingKey(const Race& race, int slot) {
  const size_t k = static_cast<size_t>(slot);
  const std::string time = race.laneNo[k] != 0 ? RightAligned(race.laneTime[k], 6) : std::string("999999");
  return time + ZeroPadded(slot, 2);
}

void rankLanes(Race& race) {
  struct Key {
    std::string text;
    int slot;
  };
  std::array<Key, kPlacedSlots> keys;
  for (int s = 0; s < kPlacedSlots; ++s) keys[static_cast<size_t>(s)] = Key{PlacingKey(race, s), s};
  // The keys end in distinct slot numbers, so every sort gives this order.
  std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.text < b.text; });

  // The time of each key is the one the key was built from: a slot without a
  // swimmer is cleared below whatever its key says.
  int32_t previous = 0;
  int counted = 0;
  int16_t placing = 0;
  for (const Key& key : keys) {
    const size_t k = static_cast<size_t>(key.slot);
    const int32_t time = race.laneNo[k] != 0 ? race.laneTime[k] : kNoRecord;
    // An exhibition swim keeps its time and takes no place; the others are
    // placed as if it had not swum.
    if (time == 0 || (race.laneNo[k] != 0 && race.laneRecordClass[k] == kExhibition)) {
      race.laneRank[k] = 0;
      continue;
    }
    ++counted;
    if (time != previous) placing = static_cast<int16_t>(counted);
    previous = time;
    race.laneRank[k] = placing;
    race.laneTime[k] = time;
  }
  for (size_t k = 0; k < kPlacedSlots; ++k) {
    if (race.laneTime[k] > 666665) race.laneRank[k] = 0;
    if (race.laneTime[k] > 777777) race.laneTime[k] = kWithdrawn;
    if (race.laneNo[k] == 0) {
      race.laneRank[k] = 0;
      race.laneTime[k] = 0;
    }
  }
}

int HeatsFromHere(const Race& race) {
  const int k = static_cast<int>(race.heatTotal) - static_cast<int>(race.heatNo) + 1;
  return std::max(k, 1);
}

void MarkRaceChanged(RaceStates& states, int raceNo, const Race& race) {
  const int k = HeatsFromHere(race);
  bool allPrinted = true;
  for (int i = 0; i < k && allPrinted; ++i) allPrinted = states.state(raceNo + i) == kStatePrinted;
  if (allPrinted) {
    for (int i = 0; i < k; ++i) states.Set(raceNo + i, kStateChanged);
  } else {
    states.Set(raceNo, kStateChanged);
  }
}

Status markRaceChanged(const std::filesystem::path& meetFolder, int raceNo, const Race& race) {
  auto states = RaceStates::Read(meetFolder);
  if (!states) return std::unexpected(states.error());
  MarkRaceChanged(*states, raceNo, race);
  return states->Write(meetFolder);
}

}  // namespace meet
