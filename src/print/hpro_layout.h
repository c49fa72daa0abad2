// Byte layout of the program page file "hpro.dat": 128-byte records, record 1
// the page header, records 2–10 unused, page p at record p + 10.
#pragma once

#include <cstdint>

#include <cstddef>

namespace meet::hpro_layout {

inline constexpr size_t kRecordLength = 128;
inline constexpr int kFirstPageRecord = 11;   // page p is record p + 10
inline constexpr int kMaxPage = 32757;        // record p + 10 fits a 16-bit number
// The most bytes a reader uses: the header records and page kMaxPage.
inline constexpr uint64_t kMaxFileBytes = static_cast<uint64_t>(kMaxPage + 10) * kRecordLength;
inline constexpr size_t kEmptyFileSize = 10;  // a file shorter than 11 bytes holds no pages

// Header (record 1)
inline constexpr size_t kPageCount = 0;           // int16: pages P
inline constexpr size_t kPagePattern = 2;         // int16: cboPattern position the pages were built with
inline constexpr size_t kHeaderFiller = 4;        // 124 bytes, not used
inline constexpr size_t kHeaderFillerWidth = 124;

// Page record
inline constexpr size_t kSlotCount = 0;           // int16: non-zero race numbers in the slots
inline constexpr size_t kPageRace = 2;            // int16 × 8: race numbers of slots 1..8, 0 = empty
inline constexpr size_t kPageMark = 18;           // 1 byte: mark of a page printed while posting
inline constexpr size_t kPageFiller = 19;         // 109 bytes, not used
inline constexpr size_t kPageFillerWidth = 109;

inline constexpr int kSlots = 8;

}  // namespace meet::hpro_layout
