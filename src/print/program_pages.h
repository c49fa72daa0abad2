// Building the program pages hpro.dat from the race file, and the page list
// line shown and printed for each page.
#pragma once

#include <array>
#include <vector>
#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/naming.h"
#include "data/race_file.h"
#include "print/hpro_file.h"

namespace meet {

// cboPattern's items, by list position.
inline constexpr const char* kPatternStandard = "標準";
inline constexpr const char* kPatternWithFinal = "予決同頁";
inline constexpr const char* kChkKetugoCaption = "予選決勝で改ページしない";
inline constexpr const char* kChkNichiCaption = "開催日で改ページしない";

struct PageBuildOptions {
  int pattern = 0;            // cboPattern list position: 0 "標準", 1 "予決同頁"
  bool noStageBreak = false;  // chkKetugo "予選決勝で改ページしない"
  bool noDayBreak = false;    // chkNichi "開催日で改ページしない"
  // The meet day of race r at index r − 1, taken from the program entry that
  // holds the race (the race file keeps no reliable day: every save through
  // the race buffers clears it). A race past the end has no day (NUL).
  std::vector<char> raceDays{};
};

// Builds hpro.dat of the meet folder from its taikai.dat (races 1..raceCount,
// each on the day options.raceDays gives it). extraRelayFlags: the entry
// file's relay flags of events 30..44; size class = 1 + that digit.
//
// Pages 1..P and the header (pageCount P, pagePattern) are written; pages
// beyond P stay in the file as they were. A meet without races (or, with
// pattern 1, without preliminaries) gets pageCount 0 and no page record.
// slotCount is always the number of non-zero slots of the page.
Status BuildProgramPages(const std::filesystem::path& meetFolder, const std::array<char, 15>& extraRelayFlags,
                         const PageBuildOptions& options);

// How many races of an event fit a page in the standard layout: class 1
// (individual) events 1..22, class 2 (relay) 23..29, 1 + the relay flag digit
// for 30..44 (a flag that is not a digit counts 0); any other code class 1.
int RaceSizeClass(int eventCode, const std::array<char, 15>& extraRelayFlags);

// The race file read whole, for commands that walk many races.
class RaceFileImage {
 public:
  // A missing file reads as no races.
  static Result<RaceFileImage> Load(const std::filesystem::path& meetFolder);
  static RaceFileImage FromBytes(std::string bytes);

  // The header's raceCount clamped to 0 .. the race records held (0 for a
  // file of 10 bytes or less).
  int raceCount() const { return raceCount_; }
  // Race n as the race buffer holds it; past the end of the file, or for n
  // outside 1..32757, all zeros.
  Race race(int n) const;
  // Race n's record as stored (the same zeros), for a reader of a field or
  // two that need not decode the whole race.
  Record RecordOf(int n) const;

 private:
  std::string bytes_;
  int raceCount_ = 0;
};

// One line of the page list: the page number right-aligned in 3, a blank,
// and, when slot 1 holds a race, its eventNo right-aligned in 3, a blank, its
// stage name, its heatNo right-aligned in 3, "組 ", its sex name, a blank and
// its event name.
std::string PageListLine(int pageNo, const ProgramPage& page, const RaceFileImage& races, const NamingContext& naming);

}  // namespace meet
