// The race screen shown at races of the meet as `race view` shows them, so
// the naming, placing and display behind the readers run on fuzzed bytes.
#pragma once

#include "settings/settings.h"

namespace meet::fuzz {

// Opens the race screen and shows races 1..most (those the file holds).
void ViewRaces(const Settings& settings, int most);

}  // namespace meet::fuzz
