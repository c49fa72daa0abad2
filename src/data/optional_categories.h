// The optional category file "optkubun.dat" of the meet folder: 32-byte
// records, record 1 the header with the count K, category n at record n + 1.
// This is the reader the naming routines need; the editor screen comes with
// the optional categories.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/record_file.h"

namespace meet {

inline constexpr const char* kOptionalCategoryFileName = "optkubun.dat";

namespace optkubun_layout {
inline constexpr size_t kRecordLength = 32;
inline constexpr size_t kCategoryCount = 0;  // header: Integer K
inline constexpr size_t kCatSex = 0;         // 1 byte: "1" 男, "2" 女, "3" 混合, "4" 男女共
inline constexpr size_t kCatFrom = 1;        // Integer
inline constexpr size_t kCatTo = 3;          // Integer
inline constexpr size_t kCatEventFrom = 5;   // Integer
inline constexpr size_t kCatEventTo = 7;     // Integer
inline constexpr size_t kCatName = 9;        // 12 bytes
inline constexpr size_t kCatNameWidth = 12;
inline constexpr size_t kCatTitleOnly = 21;  // 1 byte: "T" title only
inline constexpr size_t kCatSpare = 22;      // 10 bytes
inline constexpr size_t kCatSpareWidth = 10;
}  // namespace optkubun_layout

struct OptionalCategory {
  std::string catSex;
  int16_t catFrom = 0;
  int16_t catTo = 0;
  int16_t catEventFrom = 0;
  int16_t catEventTo = 0;
  std::string catName;       // as read, 12 bytes decoded
  std::string catTitleOnly;
  std::string catSpare;      // raw bytes, carried
};

// The categories 1..K; K is clamped to the records the file holds. A missing
// or empty file has none.
std::vector<OptionalCategory> ReadOptionalCategories(const std::filesystem::path& meetFolder);

OptionalCategory OptionalCategoryFromRecord(const Record& record);
Record RecordFromOptionalCategory(const OptionalCategory& category);

}  // namespace meet
