// Byte layout of the entry file "*.Mos": 384-byte records, record 1 the
// header, record 2 the meet's own events, records 3–10 unused, entry n at
// record n + 10.
#pragma once

#include <cstddef>
#include <cstdint>

namespace meet::entry_layout {

inline constexpr size_t kRecordLength = 384;
inline constexpr int kEventRecord = 2;
inline constexpr int kFirstEntryRecord = 11;  // entry n is record n + 10
inline constexpr size_t kEmptyFileSize = 10;
// Lanes hold entry numbers as 16-bit numbers: no reader needs more entries.
inline constexpr int kMaxUsableEntries = 32767;
inline constexpr uint64_t kMaxFileBytes = static_cast<uint64_t>(kMaxUsableEntries + kFirstEntryRecord - 1) * kRecordLength;

// Header (record 1)
inline constexpr size_t kEntryCount = 0;        // Long
inline constexpr size_t kEntryCourse = 4;       // Integer: 0 long course, 1 short course
inline constexpr size_t kEntryCreated = 6;      // 10 bytes: yyyy/mm/dd
inline constexpr size_t kEntryMeetAbbrev = 16;  // 8 bytes
inline constexpr size_t kEntryVenue = 24;       // 12 bytes
inline constexpr size_t kEntryDateFrom = 36;    // 10 bytes: yyyy/mm/dd
inline constexpr size_t kEntryDateTo = 46;      // 10 bytes: yyyy/mm/dd
inline constexpr size_t kEntryMeetCode = 56;    // 7 bytes
inline constexpr size_t kClassScheme = 63;      // Integer: 0 or 1, or 2
inline constexpr size_t kEntryHeaderSpare = 65; // Integer
inline constexpr size_t kEntryDays = 67;        // Long × 10: yyyymmdd of meet days 1–10
inline constexpr size_t kEntryFiller = 107;     // 277 bytes

// Event definitions (record 2)
inline constexpr size_t kExtraClassNames = 0;    // 8 bytes × 15
inline constexpr size_t kExtraClassNameWidth = 8;
inline constexpr size_t kExtraEventNames = 120;  // 16 bytes × 15
inline constexpr size_t kExtraEventNameWidth = 16;
inline constexpr size_t kExtraRelayFlags = 360;  // 1 byte × 15: "1" relay, "0" individual
inline constexpr size_t kExtraFiller = 375;      // 9 bytes
inline constexpr int kExtraEvents = 15;          // events 30–44

// Entry (record n + 10)
inline constexpr size_t kEntryNo = 0;            // Long
inline constexpr size_t kEntryCode7 = 4;         // 7 bytes
inline constexpr size_t kRegNo = 11;             // 14 bytes: prefecture 2, club 3, birth date 8, 1 more
inline constexpr size_t kSwimmerName = 25;       // 16 bytes
inline constexpr size_t kSwimmerKana = 41;       // 16 bytes
inline constexpr size_t kPrefName = 57;          // 8 bytes
inline constexpr size_t kEntryText6a = 65;       // 6 bytes
inline constexpr size_t kAffiliation = 71;       // 12 bytes
inline constexpr size_t kEntryText6b = 83;       // 6 bytes
inline constexpr size_t kGradeCode = 89;         // 2 bytes
inline constexpr size_t kAge = 91;               // Integer
inline constexpr size_t kSexCode = 93;           // 1 byte
inline constexpr size_t kEntryFlag = 94;         // 1 byte
inline constexpr size_t kEntryTimes = 95;        // Long × 44: entry time per event code 1–44
inline constexpr size_t kEntryText6c = 271;      // 6 bytes: six digits
inline constexpr size_t kEntryLong = 277;        // Long
inline constexpr size_t kEntryEventFlags = 281;  // 1 byte × 44
inline constexpr size_t kEntryEventFlags2 = 325; // 1 byte × 44
inline constexpr size_t kEntryTail = 369;        // 15 bytes, not read
inline constexpr int kEvents = 44;

}  // namespace meet::entry_layout
