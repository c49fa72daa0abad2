// Byte layout of the program order "projun.dat": 64-byte records, record 1
// the header, records 2–10 never read or written, program entry n at record
// n + 10.
#pragma once

#include <cstdint>

#include <cstddef>

namespace meet::projun_layout {

inline constexpr size_t kRecordLength = 64;
inline constexpr int kFirstEntryRecord = 11;   // entry n is record n + 10
inline constexpr size_t kEmptyFileSize = 10;   // a file shorter than 11 bytes holds no entries
inline constexpr int kMaxEntries = 32767;      // the header count is a 16-bit number
// The most bytes a reader uses: the header records and entry kMaxEntries.
inline constexpr uint64_t kMaxFileBytes = static_cast<uint64_t>(kMaxEntries + kFirstEntryRecord - 1) * kRecordLength;

// Header (record 1)
inline constexpr size_t kProgramCount = 0;     // int16: number N of program entries
inline constexpr size_t kHeaderFiller = 2;     // 62 bytes, written as blanks
inline constexpr size_t kHeaderFillerWidth = 62;

// Program entry (record n + 10)
inline constexpr size_t kOrderNo = 0;          // int16: 順, printed event number; 0 = no competitors
inline constexpr size_t kHeatCount = 2;        // int16: 組数, heats (races) of the entry
inline constexpr size_t kSexCode = 4;          // 1 byte: "1" 男子, "2" 女子, "3" 混合
inline constexpr size_t kAgeFrom = 5;          // int16: lower bound of the age band (区分)
inline constexpr size_t kAgeTo = 7;            // int16: upper bound of the age band
inline constexpr size_t kEventCode = 9;        // int16: 種目, 1–29 standard, 30–44 the meet's own
inline constexpr size_t kStageCode = 11;       // 1 byte: "1" 予選, "2" 決勝, "3" 準決勝, "4" ｺﾝｿﾚｰｼｮﾝ
inline constexpr size_t kPerHeatTime = 12;     // int32: ＠, time of one heat, MMSS
inline constexpr size_t kTotalTime = 16;       // int32: 所要時間 of the whole entry, HHMMSS
inline constexpr size_t kStartTime = 20;       // int32: 予定時間, scheduled start, HHMMSS
inline constexpr size_t kFirstRace = 24;       // int16: ﾚｰｽ, race number of heat 1
inline constexpr size_t kSeedFlag = 26;        // 1 byte: Ｆ, "1" from entries, "2" from the previous stage, "0" none
inline constexpr size_t kDayNo = 27;           // 1 byte: 日, meet day digit
inline constexpr size_t kEntrySpare = 28;      // int16: carried unchanged, 0 in a blank entry
inline constexpr size_t kExcludedHeats = 30;   // int16: 除, heats not counted in the entry's time
inline constexpr size_t kProgramFiller = 32;   // 32 bytes, written as blanks
inline constexpr size_t kProgramFillerWidth = 32;

}  // namespace meet::projun_layout
