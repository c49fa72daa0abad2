// Placing of a race and the race state update after a result changed. Both
// are shared by result entry on the race screen, the confirmation dialog and
// the posting of timing results.
#pragma once

#include <filesystem>
#include <string>

#include "core/error.h"
#include "data/race_file.h"
#include "data/race_states.h"

namespace meet {

// The placing key of one lane slot 0..9: the time right-aligned in six
// characters followed by the slot as two digits ("  250703"); a slot without
// a swimmer sorts last as "999999" + slot.
std::string PlacingKey(const Race& race, int slot);

// Places lanes 1 to 10 of the race (the alternates never take part): the
// keys are sorted as texts; a time of 0 takes no placing and is not counted;
// equal times share the placing of the first of them (1, 1, 3). An
// exhibition swim (record class 99) takes no placing and is not counted, so
// the others are placed as if it had not swum. Then a time
// above 666665 loses its placing, a time above 777777 becomes 888888 (棄権),
// and a slot without a swimmer gets placing 0 and time 0.
void rankLanes(Race& race);

// The heats the state update looks at: this heat and the later heats of its
// event (heat count − heat number + 1), at least this race.
int HeatsFromHere(const Race& race);

// Marks race `raceNo` as changed in the states: when this heat and every
// later heat of its event are all printed ("8"), all of them become "7";
// otherwise only this race becomes "7". Only the states in memory change.
void MarkRaceChanged(RaceStates& states, int raceNo, const Race& race);

// The same on the meet's Race.dat: read it, mark, write the changed bytes.
Status markRaceChanged(const std::filesystem::path& meetFolder, int raceNo, const Race& race);

}  // namespace meet
