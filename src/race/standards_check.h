// The standards and records check of one lane after a race: the levels of the
// grade ladders reached, the standards achieved, the meet record and the
// records from 地区 up to 世界 broken, and the printed notice of every record
// broken. Used by the manual confirmation and by posting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/naming.h"
#include "core/printer.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "print/print_sources.h"
#include "records/shikaku_file.h"

namespace meet {

class RecordStandings;

inline constexpr int kMeetRecordClass = 31;  // 大会
inline constexpr int kTopLevel = 14;         // every step of a ladder reached
inline constexpr int16_t kExhibitionClass = 99;  // OP: an exhibition swim, never placed nor a record

// One record broken by a lane.
struct BrokenRecord {
  int recordClass = 0;     // 1–30 the level records, 31 the meet record
  int recordNo = 0;        // the table's record compared with
  int32_t recordTime = 0;  // the record beaten, as it stood before the race
};

// A record a swim is compared with: its class, its record of the table and
// the position (from 1) of the swim's sex and event in it.
struct RecordChecked {
  int recordClass = 0;
  int recordNo = 0;
  int position = 0;
};

// What checking one lane found.
struct LaneCheck {
  int16_t openLevel = 0;
  int16_t ageLevel = 0;
  int16_t recordClass = 0;      // the highest record broken, 0 = none
  char standardFlags = ' ';     // "1".."7", blank for none
  std::vector<BrokenRecord> broken;  // in the order they are checked (and printed)
};

// The position of a sex (1–3) and event code (1–29) in a record's table of 88
// times, counted from 1: (sex − 1) × 29 + event code; 0 for anything else.
int TablePosition(int sex, int eventCode);

// The age band's offset into the grade ladder (records 1–126).
int AgeBandOffset(int age);

// The category number of a swimmer: the age when the meet's 区分 is "1"
// (年齢), else the grade code as a number, 1 when that is 0.
int CategoryNumber(const Entry& entry, std::string_view classMode);

// The records a swim of `sexCode` / `eventCode` by this swimmer is compared
// with, in the order they are checked: the meet record of the swimmer's
// category, then from 地区 up to 世界 the class of the swimmer's school level
// (when there is one) and the general class. The meet's own events (30–44)
// have only their meet record, record event + 220 at position
// (sex − 1) × 29 + 1. Records outside their kind's range are left out; none
// for a sex outside 1–3 or an event without a table position.
std::vector<RecordChecked> RecordsChecked(int sexCode, int eventCode, const Entry& entry, std::string_view classMode);
// The same for a swimmer of school level `schoolLevel` (the first character
// of the grade code right-aligned in two) and category number `category`.
std::vector<RecordChecked> RecordsChecked(int sexCode, int eventCode, char schoolLevel, int category);
// The swimmer's school level: the first character of the grade code
// right-aligned in two characters ("1" 学童 … "4" 大学).
char SchoolLevel(const Entry& entry);

// The check of one time for one swimmer in a race of `sexCode` / `eventCode`.
// A time that is not a swim time (0, participation, a status code, a negative
// value) achieves nothing: levels 0, no flag, no record. So does a sex outside
// 1–3 or an event code outside 1–44. Levels and standards count a time equal
// to the value as achieved, records need a strictly smaller time, and a value
// of 0 (an empty cell, or a record the file does not hold) is never achieved.
// With `standings` a record is compared as it stands before race `raceNo`
// (an earlier swim of the meet may have broken it); without, as stored.
LaneCheck CheckLane(const ShikakuTable& table, int sexCode, int eventCode, int32_t time, const Entry& entry,
                    std::string_view classMode, const RecordStandings* standings = nullptr, int raceNo = 0);

// The notices of one confirmation (or of one race while posting): the first
// notice starts at 500 twips under a heading with the race's title; every
// notice is one line in "ＭＳ 明朝" 13, after which the font size returns to 11.
class RecordNotices {
 public:
  // `raceNo` names the document ("notice-r0012").
  RecordNotices(Printer& printer, const Race& race, const NamingContext& naming, int raceNo = 0);

  // `recordNotice`: lane (slot + 1), swimmer, time swum, record class and the
  // record beaten. Starts a new page (with the heading again) before a line
  // would pass the foot of the page.
  void recordNotice(int slot, const Entry& entry, int32_t time, const BrokenRecord& record);

  // Notices printed so far.
  int printed() const { return printed_; }
  // Ends the document when a notice was printed: what the printer says of it.
  [[nodiscard]] Status End();

  // The heading line and the notice line as printed.
  std::string HeadingText() const;
  std::string NoticeLeft(int slot, const Entry& entry) const;
  static std::string NoticeRight(int32_t time, const BrokenRecord& record);

 private:
  void PrintHeading();
  Printer& printer_;
  const Race& race_;
  const NamingContext& naming_;
  int raceNo_ = 0;
  int printed_ = 0;
};

// Notice geometry, in twips.
inline constexpr int kNoticeTop = 500;
inline constexpr int kNoticeHeadingX = 1000;
inline constexpr int kNoticeLeftX = 1500;
// The time and record one blank after the widest left part at 13 points:
// "10ｺｰｽ", a full name (16), the club (12), a three-digit age and a grade
// (4), with their blanks: 44 half-width characters of 130 twips.
inline constexpr int kNoticeRightX = ColumnAfter(6500, kNoticeLeftX, 44, 130);  // 7350
inline constexpr int kNoticeLastLineY = 15500;
inline constexpr double kNoticeFontSize = 13;
inline constexpr double kNormalFontSize = 11;

// `checkStandardsAndRecords` of slot `slot` (0–9) of race `raceNo`: sets the
// slot's openLevel, ageLevel, laneRecordClass and standardFlags from its
// laneTime and prints a notice for every record broken, each record as it
// stands after the earlier races of the meet (`standings`). The swimmer is
// entry laneNo of `entries` (an entry past the file reads as empty). An
// exhibition swim (record class 99) keeps its class and gets no notice; its
// levels and standards are worked out as for every swim.
void checkStandardsAndRecords(Race& race, int raceNo, int slot, const ShikakuTable& table, const EntryFile& entries,
                              std::string_view classMode, const RecordStandings& standings, RecordNotices& notices);

}  // namespace meet
