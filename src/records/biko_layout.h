// Byte layout of the new-record list "biko.dat": 48-byte records, record 1
// the header, entry n at record n + 1.
#pragma once

#include <cstddef>

namespace meet::biko_layout {

inline constexpr size_t kRecordLength = 48;
inline constexpr int kFirstEntryRecord = 2;  // entry n is record n + 1
inline constexpr size_t kEmptyFileSize = 1;  // a file of 0 or 1 bytes holds no list

// Header (record 1)
inline constexpr size_t kRecordCount = 0;    // Integer: entries in the list
inline constexpr size_t kHeaderFiller = 2;   // 46 bytes, unused

// Entry (record n + 1)
inline constexpr size_t kRaceEventNo = 0;    // Integer: event number of the race
inline constexpr size_t kHeatNo = 2;         // Integer: heat of the race
inline constexpr size_t kSexCode = 4;        // 1 byte: "1" / "2" / "3"
inline constexpr size_t kClassFrom = 5;      // Integer: race class lower bound
inline constexpr size_t kClassTo = 7;        // Integer: race class upper bound
inline constexpr size_t kEventCode = 9;      // Integer: event code 1–44
inline constexpr size_t kRelayFlag = 11;     // 1 byte: "1" relay, "0" individual
inline constexpr size_t kStageCode = 12;     // 1 byte: stage code of the race
inline constexpr size_t kTime = 13;          // Long: result time code
inline constexpr size_t kRecordClass = 17;   // Integer: record class reached, 1–34
inline constexpr size_t kPlace = 19;         // Integer: place in the event's ranking
inline constexpr size_t kPlacePoints = 21;   // Integer: points for that place
inline constexpr size_t kReachedOrder = 23;  // Integer: 1 for the first class reached, 2 …
inline constexpr size_t kBonusValue = 25;    // Integer: bonus value of the class at the tally
inline constexpr size_t kMembers = 27;       // Integer × 4: entry numbers of the swimmers
inline constexpr int kMemberCount = 4;
inline constexpr size_t kTeamCode = 35;      // 5 bytes
inline constexpr size_t kTeamCodeWidth = 5;
inline constexpr size_t kDayNo = 40;         // 1 byte: meet day digit
inline constexpr size_t kRecordSpare = 41;   // 7 bytes, unused
inline constexpr size_t kRecordSpareWidth = 7;

}  // namespace meet::biko_layout
