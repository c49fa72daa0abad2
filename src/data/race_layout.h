// Byte layout of the race file "taikai.dat": 256-byte records, record 1 the
// header, records 2–10 unused, race n at record n + 10.
#pragma once

#include <cstdint>

#include <cstddef>

namespace meet::race_layout {

inline constexpr size_t kRecordLength = 256;
inline constexpr int kFirstRaceRecord = 11;  // race n is record n + 10
inline constexpr int kMaxRace = 32757;       // record n + 10 fits a 16-bit number
// The most bytes a reader uses: the header records and race kMaxRace.
inline constexpr uint64_t kMaxFileBytes = static_cast<uint64_t>(kMaxRace + kFirstRaceRecord - 1) * kRecordLength;
inline constexpr size_t kEmptyFileSize = 10; // a file of 10 bytes or less holds no races

// Header (record 1)
inline constexpr size_t kRaceCount = 0;          // Integer: races in the file
inline constexpr size_t kHeaderFiller = 2;       // 254 bytes, written as NUL

// Race record
inline constexpr size_t kEventNo = 0;            // Integer: printed event number (順)
inline constexpr size_t kHeatNo = 2;             // Integer: heat within the event (組)
inline constexpr size_t kHeatTotal = 4;          // Integer: heats of the event
inline constexpr size_t kSexCode = 6;            // 1 byte: "1" 男子, "2" 女子, "3" 混合
inline constexpr size_t kClassFrom = 7;          // Integer: lower class / age bound
inline constexpr size_t kClassTo = 9;            // Integer: upper bound, 100 = none
inline constexpr size_t kEventCode = 11;         // Integer: event 1–44
inline constexpr size_t kRoundCode = 13;         // 1 byte: "1" 予選 … "4" ｺﾝｿﾚｰｼｮﾝ
inline constexpr size_t kStartTime = 14;         // 6 bytes: hhmmss, blanks until set
inline constexpr size_t kStartTimeWidth = 6;
inline constexpr size_t kRelayRec = 20;          // Integer: relay block of the race, 0 = none
inline constexpr size_t kLaneNo = 22;            // Integer × 12: entry number per slot
inline constexpr size_t kLaneTime = 46;          // Long × 12: result time code
inline constexpr size_t kLaneEntryTime = 94;     // Long × 12: entry (second) time code
inline constexpr size_t kLaneRank = 142;         // Integer × 12: placing
inline constexpr size_t kOpenLevel = 166;        // Integer × 12: open level 0–14
inline constexpr size_t kAgeLevel = 190;         // Integer × 12: age-band level 0–14
inline constexpr size_t kLaneRecordClass = 214;  // Integer × 12: record class code
inline constexpr size_t kStandardFlags = 238;    // 1 byte × 12: "1".."7" or blank
inline constexpr size_t kRaceSpare1 = 250;       // 1 byte: meet day digit (not in the buffers)
inline constexpr size_t kRaceSpare2 = 251;       // 5 bytes: not interpreted
inline constexpr size_t kRaceSpare2Width = 5;

inline constexpr int kSlots = 12;  // lanes 1–10 and two alternates

}  // namespace meet::race_layout
