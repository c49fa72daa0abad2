// Byte layout of the relay file "relay.dat": 256-byte records, record 1 the
// header, records 2–10 unused, block b at record b + 10.
#pragma once

#include <cstddef>

namespace meet::relay_layout {

inline constexpr size_t kRecordLength = 256;
inline constexpr int kFirstBlockRecord = 11;
inline constexpr int kMaxBlock = 32757;  // record b + 10 fits a 16-bit number, as in the race file
inline constexpr size_t kEmptyFileSize = 10;
inline constexpr unsigned long long kMaxFileBytes = static_cast<unsigned long long>(kMaxBlock + kFirstBlockRecord - 1) * kRecordLength;

// Header (record 1)
inline constexpr size_t kRelayCount = 0;    // Integer: blocks in the file
inline constexpr size_t kHeaderFiller = 2;  // 254 bytes

// Block (record b + 10)
inline constexpr size_t kRelayBlockNo = 0;  // Integer: the block's own number
inline constexpr size_t kLegMembers = 2;    // Integer × 48: leg l of slot k at l × 12 + k
inline constexpr size_t kRelayRace = 98;    // Integer: race number of the block
inline constexpr size_t kSplitTimes = 100;  // Long × 10: split per slot 0–9
inline constexpr size_t kRelayFiller = 140; // 116 bytes

}  // namespace meet::relay_layout
