// A realistic entry file for demos, rehearsals and benchmarks, as the entry
// program would write it: clubs across the prefectures, swimmers of all ages
// with readings, school grades and entry times, relay teams of their clubs,
// and two of the meet's own events. The same options give the same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/platform.h"

namespace meet {

// At most this many swimmers: with their relay teams the entry numbers stay
// within the 16-bit lane numbers of the race file.
inline constexpr int kMaxSampleSwimmers = 20000;

struct SampleOptions {
  int swimmers = 600;  // 0 .. kMaxSampleSwimmers
  uint64_t seed = 1;
  int scheme = 0;  // classScheme of the header: 0 or 2
  int course = 0;  // entryCourse: 0 long course, 1 short course
};

struct SampleSummary {
  int32_t entries = 0;     // swimmers and relay teams
  int32_t relayTeams = 0;
};

// The options' ranges; an Invalid error naming the option otherwise.
Status CheckSampleOptions(const SampleOptions& options);

// The whole file's bytes. `today` is the creation date and the first of the
// two meet days; ages and school grades are counted on that day. Fails only
// for options out of range or a day that is not a calendar date.
Result<std::string> SampleEntryFileBytes(const SampleOptions& options, const DateTime& today,
                                         SampleSummary* summary = nullptr);

// Writes the file whole (through a temporary file in the same folder).
Result<SampleSummary> WriteSampleEntryFile(const std::filesystem::path& path, const SampleOptions& options,
                                           const DateTime& today);

}  // namespace meet
