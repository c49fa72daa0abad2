// Reading the new-record list "biko.dat" that the points tally of a meet
// builds: one entry per record class a result reached.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/record_file.h"
#include "records/biko_layout.h"

namespace meet {

inline constexpr const char* kBikoFileName = "biko.dat";

// One entry. One-byte and text fields are as read (raw bytes decoded).
struct BikoEntry {
  int16_t raceEventNo = 0;
  int16_t heatNo = 0;
  std::string sexCode;
  int16_t classFrom = 0;
  int16_t classTo = 0;
  int16_t eventCode = 0;
  std::string relayFlag;
  std::string stageCode;
  int32_t time = 0;
  int16_t recordClass = 0;
  int16_t place = 0;
  int16_t placePoints = 0;
  int16_t reachedOrder = 0;
  int16_t bonusValue = 0;
  std::array<int16_t, biko_layout::kMemberCount> members{};
  std::string teamCode;
  std::string dayNo;
  std::string recordSpare;  // raw bytes
};

BikoEntry BikoEntryFromRecord(const Record& record);

// The entries of a meet folder's list. A missing file, or one shorter than 2
// bytes, is an empty list; the header's count is clamped to the entries the
// file holds (a negative count reads as 0).
Result<std::vector<BikoEntry>> LoadBikoEntries(const std::filesystem::path& meetFolder);

// The number of entries the list holds, by the same rules (0 on any error).
int32_t BikoEntriesHeld(const std::filesystem::path& meetFolder);

}  // namespace meet
