// A stand-in for the pool's timing system, for rehearsals and tests: it
// finishes a seeded race as the timing system would, writing the race's goal
// file goal/G + NNNN and lap file lap/R + NNNN and then setting the race's
// state byte in Race.dat to "6".
//
// Goal file: ten lines, one per lane 1..10: placing, final time code
//   (mmsshh) as plain numbers ("1,5823"; "0,0" for an empty lane).
// Lap file: one line per lap length swum by each lane: lane, the cumulative
//   time as quoted text "m:ss.hh" and a quoted marker, "G" on the lane's
//   finishing line and "" before it ("4,\"0:28.34\",\"\""); the lines of all
//   lanes interleaved in the order their times were taken.
// Both end every line with CR LF.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "data/race_file.h"
#include "settings/settings.h"

namespace meet {

struct TimingFinishOptions {
  uint32_t seed = 1;
  int lapLength = 0;    // 25, 50 or 100; 0: the meet's lap length (pool, 計時サイド)
  int dqLane = 0;       // this lane's goal time is a disqualification (泳法)
  int missingLane = 0;  // this lane gets no time and no laps
};

struct TimingFiles {
  std::string goal;  // the bytes of the goal file
  std::string lap;   // the bytes of the lap file
};

// The files the timing system would write for `race` (race number `n`).
TimingFiles MakeTimingFiles(int n, const Race& race, const TimingFinishOptions& options, int lapLength);

// Writes the files of race n into the meet folder and sets its state to "6".
// A race outside the race file, or without a swimmer, is refused.
Status FinishRace(const std::filesystem::path& meetFolder, const Settings& settings, int n,
                  const TimingFinishOptions& options);

// The races in state "1" of the first event that still has one: the heats
// `timing finish --all-seeded` finishes.
Result<std::vector<int>> FirstUnswumEventRaces(const std::filesystem::path& meetFolder);

}  // namespace meet
