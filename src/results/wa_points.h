// World Aquatics points: P = ⌊1000 × (B / T)³⌋ for a swim time T and the base
// time B of its course, gender, distance, stroke and relay count, computed in
// integers from the hundredths. The base times are published yearly by World
// Aquatics and are the operator's to load: a table of their own in the meet
// folder ("wapoints.csv"), next to the meet's files and changing none of them.
//
// The table's text (the file the operator loads and the one kept in the meet
// folder alike), UTF-8, one row a line, values separated by commas:
//   course,gender,distance,stroke,relaycount,basetime
//   LCM,M,50,FREE,1,20.91
//   SCM,F,100,MEDLEY,4,3:44.35     (a relay: distance per swimmer)
// course LCM or SCM; gender M, F or X (mixed relays); distance in metres per
// swimmer; stroke FREE, BACK, BREAST, FLY or MEDLEY; relaycount 1 or 4; the
// base time as ss.hh, m:ss.hh or HH:MM:SS.ss. A line "version,2025" names the
// table's year; empty lines, lines starting with "#" and a first line of
// column names are skipped. Every other line must be a row: a bad row is
// refused with its line number, and so is a second row for the same swim.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "print/print_sources.h"
#include "print/program_pages.h"

namespace meet {

inline constexpr const char* kPointsTableFileName = "wapoints.csv";
// A points table is a few hundred rows; a file of more bytes is no table.
inline constexpr uint64_t kMaxPointsTableBytes = 1 << 20;

// ⌊1000 × (base / swim)³⌋ from hundredths, exactly; 0 when either is not
// above 0.
int WaPoints(int64_t baseHundredths, int64_t swimHundredths);

// A swim time code (minutes × 10000 + seconds × 100 + hundredths) in
// hundredths; nothing for 0, status codes and codes that are no time.
std::optional<int64_t> TimeCodeHundredths(int32_t code);

// What a swim is, for its base time (and for Lenex's SWIMSTYLE).
struct SwimStyle {
  int distance = 0;       // metres per swimmer (0: not known)
  int relayCount = 1;     // 1 individual, 4 relay
  std::string stroke;     // FREE, BACK, BREAST, FLY, MEDLEY, UNKNOWN
  std::string name;       // the event's own name, for UNKNOWN
};
// The style of an event code: 1–29 from the fixed events; 30–44 from the
// meet's own name and relay flag (`extraName`, `relay`), by the stroke and the
// metres the name holds, UNKNOWN when it names no stroke.
SwimStyle SwimStyleOf(int eventCode, std::string_view extraName = {}, bool relay = false);

struct BaseTime {
  std::string course;  // LCM, SCM
  char gender = 'M';   // M, F, X
  int distance = 0;
  std::string stroke;
  int relayCount = 1;
  int64_t hundredths = 0;
};

struct PointsTable {
  std::string version;  // "" when the table names none
  std::vector<BaseTime> rows;
  // The row of a swim, or nothing.
  const BaseTime* Find(std::string_view course, char gender, const SwimStyle& style) const;
  // The points of a time code swum in that style, or nothing when the table
  // has no row for it or the code is no time.
  std::optional<int> Points(std::string_view course, char gender, const SwimStyle& style, int32_t timeCode) const;
};

// The table of a text; a bad line is refused as "NAME N 行目: why".
Result<PointsTable> ParsePointsTable(std::string_view text, std::string_view name);
// The table's text as kept in the meet folder.
std::string PointsTableText(const PointsTable& table);
// The meet's table: nothing when it has none; an error when its file is there
// but cannot be read or used.
Result<std::optional<PointsTable>> LoadPointsTable(const std::filesystem::path& meetFolder);
// Reads the operator's table and writes it, whole, into the meet folder.
Result<PointsTable> ImportPointsTable(const std::filesystem::path& meetFolder, const std::filesystem::path& file);

// The points of the swims in a meet's race file, for the lists that show a
// points column: none for a lane with no time, a status code or an
// exhibition swim (備考 99), or whose swim the table has no row for.
class ResultPoints {
 public:
  // Nothing when the meet holds no table; an error when its table is there
  // but cannot be used, or the race file cannot be read.
  static Result<std::optional<ResultPoints>> Load(const MeetFiles& meet);
  std::optional<int> Of(int raceNo, int slot) const;
  const PointsTable& table() const { return table_; }

 private:
  PointsTable table_;
  RaceFileImage races_;
  std::string course_;
  std::array<SwimStyle, 45> styles_;  // by event code
};

// The Lenex course of the settings' courseMode: "1" SCM, else LCM.
std::string CourseCode(std::string_view courseMode);
// The Lenex gender of a sex code: "1" M, "2" F, "3" X; ' ' otherwise.
char GenderCode(std::string_view sexCode);

}  // namespace meet
