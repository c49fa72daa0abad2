// The meets the benches run on: a sample entry file and a program of
// preliminaries (and finals) for the sexes, events and bands with entrants,
// in a temporary meet folder removed at the end. The masters-size meet
// (20,000 swimmers, one band, the largest event with over a thousand
// entrants) is shared by the seeding, posting, points, ranking and live
// results benches.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/platform.h"
#include "settings/settings.h"

namespace meet::bench {

// Every question answered Yes, as an operator running the step through would.
struct NoDialogs : FixedAnswerDialogs {
  NoDialogs() : FixedAnswerDialogs(true) {}
};

class BenchClock : public Clock {
 public:
  DateTime Now() const override { return {2026, 12, 8, 9, 0, 0}; }
};

using meet::NoLauncher;

struct Band {
  int16_t from, to;
};

struct BenchMeet {
  std::filesystem::path dir;
  Settings settings;
  std::string program;  // projun.dat as built
  int entries = 0;      // entry times in the file
  int programEntries = 0;
  int largestEvent = 0;  // entrants of the largest (sex, event, band)
  bool ready = false;    // the entry file and the program were made

  // `finals`: a final after every preliminary. At most `maxProgram` program entries.
  BenchMeet(const std::string& name, int swimmers, const std::vector<Band>& bands, int maxProgram, bool finals = true);
  ~BenchMeet();
  BenchMeet(const BenchMeet&) = delete;
  BenchMeet& operator=(const BenchMeet&) = delete;

  // projun.dat back as built (seeding rewrites it).
  void RestoreProgram() const;
  // Seeds the heats; the number of races, or 0 when seeding failed.
  int Seed();
  // Every seeded lane swims: its entry time a little faster, else 30.00.
  // The number of results, or -1 when the race file could not be rewritten.
  int SwimAll();
};

// 20,000 swimmers, one band 1–100, preliminaries and finals (`finals`) or
// preliminaries only; one meet per process and kind.
BenchMeet& MastersMeet(bool finals = true);

}  // namespace meet::bench
