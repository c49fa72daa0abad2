// Byte layout of ind2.dat in the meet folder: 128-byte records, record 1 the
// header, entry n at record n + 1 (numbered from record 2, not record 11).
#pragma once

#include <cstddef>

namespace meet::ind2_layout {

inline constexpr size_t kRecordLength = 128;
inline constexpr int kFirstEntryRecord = 2;  // entry n is record n + 1

// Header (record 1)
inline constexpr size_t kEntryCount = 0;     // Long: entry count of the entry file
                                             // bytes 4–127 are not written (zero)
// Entry (record n + 1)
inline constexpr size_t kPersonalData = 0;   // bytes 0–93 of entry n of the entry file
inline constexpr size_t kPersonalDataWidth = 94;
                                             // bytes 94–127 are not written (zero)

}  // namespace meet::ind2_layout
