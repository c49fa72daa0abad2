#include "core/sort_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace meet {
namespace {

TEST(SortStrings, SortsAscendingByCodeUnit) {
  std::vector<std::string> v = {"b", "a", "B", "", "ab", "\xff", "\x80", "a "};
  SortStrings(v);
  EXPECT_EQ(v, (std::vector<std::string>{"", "B", "a", "a ", "ab", "b", "\x80", "\xff"}));
}

TEST(SortStrings, EmptyAndSingleListsStay) {
  std::vector<std::string> none;
  SortStrings(none);
  EXPECT_TRUE(none.empty());
  std::vector<std::string> one = {"x"};
  SortStrings(one);
  EXPECT_EQ(one, std::vector<std::string>{"x"});
}

TEST(SortStrings, AgreesWithAReferenceSortOnRandomKeys) {
  std::mt19937 gen(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::string> v(gen() % 300);
    for (auto& s : v) {
      s = std::to_string(gen() % 1000);
      s = std::string(6 - s.size(), ' ') + s;
    }
    auto expected = v;
    std::sort(expected.begin(), expected.end());
    SortStrings(v);
    EXPECT_EQ(v, expected);
  }
}

}  // namespace
}  // namespace meet
