// The shared sort of keyed lists: a Shell sort with the gaps 2^k − 1 over
// byte strings, comparing by code unit. It is not stable: callers that care
// about ties put a tie-breaker into the key.
#pragma once

#include <string>
#include <vector>

namespace meet {

// Sorts all elements of the vector in place, ascending.
void SortStrings(std::vector<std::string>& items);

}  // namespace meet
