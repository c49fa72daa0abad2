// The personal record check: the entry times of the entry file against the
// meet's standards and its records at every level, one printed line per
// finding. Nothing is written to any file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/platform.h"
#include "data/entry_file.h"
#include "records/shikaku_file.h"
#include "settings/settings.h"

namespace meet {

struct RecordCheckFinding {
  int eventCode = 0;
  int32_t time = 0;        // the entry time
  bool standard = false;   // a standard reached (else a record beaten)
  int kind = 0;            // standard 1, 2 or 4; or the record class 1–31
  int recordNo = 0;        // the table's record compared with
  int32_t recordTime = 0;  // its cell
};

// The findings for one entrant, in the order they are printed: per event 1–29
// the standards 1, 2 and 4, the meet record, then the levels from 地区 up to
// 世界, each with the school record before the general one. A standard is
// reached at or under its time, a record only by a faster time; a cell of 0
// never gives a finding, nor does an entry time that is not a time.
std::vector<RecordCheckFinding> CheckEntrant(const ShikakuTable& table, const Entry& entrant,
                                             std::string_view classMode);

// The printed lines of one finding: the texts at their horizontal positions.
struct PrintedPiece {
  int x = 0;
  std::string text;
};
std::vector<PrintedPiece> FindingLine(const Entry& entrant, const RecordCheckFinding& finding, int16_t classScheme,
                                      const NamingContext& ctx);

// What heads every page.
struct RecordCheckHeading {
  std::string meetName;
  int32_t dateFrom = 0, dateTo = 0;
  DateTime printedAt;
};

// Prints every finding of every entrant (with a heading on each page and a
// new page before the lines pass the foot of the page) and ends the job
// ("record-check"). Returns the number of findings; a printout the printer
// refused is an error.
Result<int> PrintRecordCheck(Printer& printer, const ShikakuTable& table, const EntryFile& entries,
                             const Settings& settings, const NamingContext& ctx, const RecordCheckHeading& heading);

// The whole command: the meet's table, the entry file named by the settings
// (an error when there is no such file), the naming context; printed to
// `printer`.
Result<int> RunRecordCheck(const std::filesystem::path& meetFolder, const Settings& settings, Printer& printer,
                           const Clock& clock);

// Where a record's line puts its parts at 10 points (a half-width character
// is 100 twips): each where the layout puts it, or one blank after the
// widest text before it (a name of 8 full-width characters, a three-digit
// age); a grade name is cut to its column.
inline constexpr int kCheckName = 1500;
inline constexpr int kCheckAffiliation = 3200;  // 3000 holds no name of 8 full-width characters
inline constexpr int kCheckAge = 4500;
inline constexpr int kCheckGrade = 4900;        // 4800 after a three-digit age
inline constexpr int kCheckEvent = 5500;
inline constexpr int kCheckTime = 7500;
inline constexpr int kCheckRecord = 8500;

// Page geometry of the printout, in twips.
inline constexpr int kCheckTitleY = 600;
inline constexpr int kCheckFirstLineY = 1450;
inline constexpr int kCheckLastLineY = 15500;  // no line starts below this on an A4 page

}  // namespace meet
