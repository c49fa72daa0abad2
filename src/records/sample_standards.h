// A plausible standards and records table for demos and rehearsals: records at
// every level from 世界 down to 地区 (each level slower than the one above,
// school records slower than the general ones), meet records per class,
// standards by age, grade and meet class, and a 級 ladder per age band, all
// pitched so that the fastest entrants of a demo meet break the district and
// meet records and a good share reach the standards. The same seed gives the
// same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/platform.h"
#include "records/shikaku_file.h"

namespace meet {

// `classMode` is the meet's setting: "1" numbers the meet records and 標準4
// rows by age, otherwise by grade code.
ShikakuTable SampleStandardsTable(uint64_t seed, std::string_view classMode);

struct SampleStandardsWritten {
  std::filesystem::path file;
  std::filesystem::path backup;  // the old table's copy, when there was one
};

// Writes the whole table into the meet folder (through a temporary file),
// keeping a copy of a table already there under backup/.
Result<SampleStandardsWritten> WriteSampleStandards(const std::filesystem::path& meetFolder, uint64_t seed,
                                                    std::string_view classMode, const DateTime& now);

}  // namespace meet
