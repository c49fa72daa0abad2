// Byte layout of the standards and records table "shikaku.dat": 570 records
// of 384 bytes, numbered from 1, one per record, standard or grade row.
#pragma once

#include <cstddef>

namespace meet::shikaku_layout {

inline constexpr size_t kRecordLength = 384;
inline constexpr int kRecordCount = 570;     // a complete table
inline constexpr size_t kEmptyFileSize = 1;  // a file of 0 or 1 bytes holds no table

inline constexpr size_t kGroupKey = 0;     // Integer: first record of the record's group
inline constexpr size_t kCellTimes = 2;    // Long × 88: cell (sex − 1) × 29 + (event − 1)
inline constexpr int kCells = 88;          // cells 0–86 in use, cell 87 unused
inline constexpr int kUsedCells = 87;
inline constexpr size_t kRecordText = 354; // 30 bytes, carried unchanged
inline constexpr size_t kRecordTextWidth = 30;

inline constexpr int kEventsPerSex = 29;   // event codes 1–29

}  // namespace meet::shikaku_layout
