// The team points table "nyusho.dat" of the meet folder: 318-byte records,
// record 1 the header (count, date and time of the last tally), records 2–10
// unused, team n at record n + 10 with its 21 × 6 tally. And the writer of
// the records list "biko.dat" whose reader lives with the records.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "records/biko_file.h"

namespace meet {

inline constexpr const char* kNyushoFileName = "nyusho.dat";

namespace nyusho_layout {
inline constexpr size_t kRecordLength = 318;
inline constexpr int kFirstTeamRecord = 11;    // team n is record n + 10
inline constexpr size_t kTalliedFromSize = 11;  // a shorter file holds no tally
// Header (record 1); only its first 192 bytes are written.
inline constexpr size_t kTeamCount = 0;        // Integer
inline constexpr size_t kTallyDate = 2;        // 10 bytes: yyyy/mm/dd
inline constexpr size_t kTallyDateWidth = 10;
inline constexpr size_t kTallyTime = 12;       // 8 bytes: hh:mm:ss
inline constexpr size_t kTallyTimeWidth = 8;
inline constexpr size_t kHeaderSpare = 20;     // 172 bytes, unused
inline constexpr size_t kHeaderLength = 192;
// Team (record n + 10)
inline constexpr size_t kTeamCode = 0;         // 5 bytes
inline constexpr size_t kTeamCodeWidth = 5;
inline constexpr size_t kTeamName = 5;         // 12 bytes
inline constexpr size_t kTeamNameWidth = 12;
inline constexpr size_t kTeamPrefName = 17;    // 6 bytes
inline constexpr size_t kTeamPrefNameWidth = 6;
inline constexpr size_t kTally = 23;           // Integer × 126: tally(p, c) at 23 + 2 × (p + 21 × c)
inline constexpr size_t kTeamSpare = 275;      // 43 bytes, unused
}  // namespace nyusho_layout

inline constexpr int kTallyRows = 21;    // 0 points, 1..20 placings at that place
inline constexpr int kTallyColumns = 6;  // 男子個人, 女子個人, 混合個人, 男子リレー, 女子リレー, 混合リレー

struct TeamRecord {
  std::string teamCode;      // as read / as made from the entry (5 characters)
  std::string teamName;      // 12 bytes
  std::string teamPrefName;  // 6 bytes
  std::array<std::array<int16_t, kTallyColumns>, kTallyRows> tally{};  // tally[p][c]
  int16_t& at(int p, int c) { return tally[static_cast<size_t>(p)][static_cast<size_t>(c)]; }
  int16_t at(int p, int c) const { return tally[static_cast<size_t>(p)][static_cast<size_t>(c)]; }
};

struct NyushoTable {
  bool tallied = false;   // the file held a tally (11 bytes or more)
  std::string tallyDate;  // as read
  std::string tallyTime;
  std::vector<TeamRecord> teams;  // 1..teamCount
};

// The file's bytes as the tally leaves them: the 192-byte header as record 1,
// records 2–10 zero, then one record per team (nothing after the header when
// there is no team).
std::string NyushoFileBytes(const NyushoTable& table);

// The table of a meet folder. A missing file or one shorter than 11 bytes is
// not tallied; teamCount is clamped to the team records the file holds.
Result<NyushoTable> LoadNyusho(const std::filesystem::path& meetFolder);

// True when the meet folder's nyusho.dat holds a tally (11 bytes or more).
bool NyushoTallied(const std::filesystem::path& meetFolder);

// biko.dat's bytes: the header with the count, then entry n at record n + 1.
std::string BikoFileBytes(const std::vector<BikoEntry>& entries);

}  // namespace meet
