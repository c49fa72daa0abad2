// The program order re-sorted by event, "projun2.dat" in the meet folder, used
// by the ranking lists' order "種目順": the record layout of projun.dat,
// record 1 a copy of projun.dat's header, the numbered program entries from
// record 11 in the order sex, event, age band, program position.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "program/projun_file.h"

namespace meet {

inline constexpr const char* kEventOrderFileName = "projun2.dat";

// The sort key of program entry `position` (1..): sex code, event code + 100,
// age band bounds + 100, position + 10000, each number blank-padded to a fixed
// width so that the text order is the numeric order.
std::string EventOrderKey(const ProgramEntry& entry, int position);

// The numbered entries (orderNo ≠ 0) of the program in event order, with
// their positions in projun.dat.
struct EventOrderEntry {
  int position = 0;
  ProgramEntry entry;
};
std::vector<EventOrderEntry> EventOrder(const ProgramOrder& order);

// The bytes of projun2.dat for the program: projun.dat's record 1 as it is,
// records 2–10 zero, then the entries of EventOrder.
std::string EventOrderFileBytes(const ProgramOrder& order, const std::vector<EventOrderEntry>& entries);

// Rebuilds projun2.dat from projun.dat (written whole through a temporary
// file) and returns the entries in their new order.
Result<std::vector<EventOrderEntry>> RebuildEventOrderFile(const std::filesystem::path& meetFolder,
                                                           const ProgramOrder& order);

}  // namespace meet
