// The naming tables: the texts of the codes held in the data files (record
// classes, rounds, sexes, events, classes, affiliations). Pure functions of
// their arguments; what they need from the meet's files (the entry file's own
// events and class scheme, the optional categories, two settings) comes in a
// small naming context that data/ loads.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meet {

// One optional category as the naming routines use it.
struct CategoryName {
  int16_t from = 0, to = 0;
  int16_t eventFrom = 0, eventTo = 0;
  std::string name;  // 12 bytes as read
};

struct NamingContext {
  // Record 2 of the entry file: the meet's own events 30–44 (slot = code − 30), as read.
  std::array<std::string, 15> extraEventNames;
  std::array<std::string, 15> extraClassNames;
  int16_t classScheme = 0;          // entry file header
  std::string classMode;            // settings: "0" 無別, "1" 年齢, "2" 学年
  std::string optionalCategories;   // settings: "1" when the categories are used
  std::vector<CategoryName> categories;  // optkubun.dat, in file order
};

std::string RecordClassAbbrev(int code);
std::string RoundName(std::string_view code);
std::string SexName(std::string_view code);
// 1–29 from the fixed table, 30–44 from the meet's entry file; others empty.
std::string EventName(int code, const NamingContext& ctx);
// Index 0–28 (event code − 1) to its two-digit code ("10" … "75"); empty outside.
std::string EventCodeFromIndex(int index);
// Two-digit code to index; nothing for a first character outside 1–9.
std::optional<int> EventIndexFromCode(std::string_view code);
// Class code (as text) under a naming scheme (0 or 1, 2).
std::string ClassName(std::string_view code, int scheme);
std::string ClassName(int code, int scheme);
// The class text printed with a race or an event.
std::string ClassLabel(int classFrom, int classTo, int eventCode, const NamingContext& ctx);

// The entry fields `AffiliationText` reads, as read from the entry file.
struct AffiliationFields {
  std::string affiliation;  // 12-byte team field
  std::string prefName;     // 8-byte prefecture name
  std::string regNo;        // 14-byte code; its first two characters are the prefecture
};
std::string AffiliationText(const AffiliationFields& entry, std::string_view affiliationMode);

// Blank handling shared by the naming routines (modes 1, 2, 3).
std::string CleanName(std::string_view text, int mode);

}  // namespace meet
