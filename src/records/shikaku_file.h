// The standards and records table "shikaku.dat" of a meet folder: records at
// every level from world to district and of the meet itself, the meet's
// qualifying standards and the grade (級) ladder. Every cell is a time code
// for one event and one sex.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/record_file.h"
#include "records/biko_file.h"
#include "records/shikaku_layout.h"

namespace meet {

inline constexpr const char* kShikakuFileName = "shikaku.dat";

// The kinds of the table, numbered as the screen's option buttons.
enum ShikakuKind : int {
  kKindBest = 0,       // 最高: records 141–170, one per record class 1–30
  kKindMeet = 1,       // 大会: records 171–270, meet records per class code
  kKindStandard1 = 2,  // 標準1 年齢別: records 271–370, per age
  kKindStandard2 = 3,  // 標準2 学年別: records 371–470, per grade code
  kKindStandard4 = 4,  // 標準4 大会区分: records 471–570, per meet class code
  kKindGrade = 5,      // 級: records 1–140, 10 age bands × 14 levels
};
inline constexpr int kKindCount = 6;

struct RecordRange {
  int first = 0;
  int last = -1;  // empty when last < first
  bool empty() const { return last < first; }
  int size() const { return empty() ? 0 : last - first + 1; }
  bool contains(int r) const { return r >= first && r <= last; }
  bool operator==(const RecordRange&) const = default;
};

// The records of a kind; empty for a kind outside 0–5.
RecordRange KindRecords(int kind);
// The kind a record belongs to, or -1 outside 1–570.
int KindOfRecord(int recordNo);
// The kind's caption on the screen ("最高", "大会", "標準1" …), empty outside.
std::string KindCaption(int kind);

// The cell of a sex (1–3) and event code (1–29), or -1.
int CellOf(int sex, int eventCode);

// One record of the table.
struct ShikakuRecord {
  int16_t groupKey = 0;
  std::array<int32_t, shikaku_layout::kCells> cellTimes{};
  std::string recordText = std::string(shikaku_layout::kRecordTextWidth, '\0');  // raw bytes, carried
};

ShikakuRecord ShikakuRecordFromRecord(const Record& record);
Record RecordFromShikakuRecord(const ShikakuRecord& record);
// A record on its own: groupKey its own number, every cell 0, no text.
ShikakuRecord FreshShikakuRecord(int recordNo);

// The table of a meet folder in memory, with the records a command changed.
class ShikakuTable {
 public:
  static constexpr int kRecords = shikaku_layout::kRecordCount;

  // A table with no file behind it (an empty table).
  ShikakuTable();
  // The complete fresh table: 570 records on their own with no times.
  static ShikakuTable Fresh();

  // True when the file held no table (missing or shorter than 2 bytes).
  bool empty() const { return held_ == 0; }
  // Records the file held (up to 570); records beyond read as zero bytes.
  int recordsHeld() const { return held_; }

  // Record r (1–570); any other number gives an all-zero record.
  const ShikakuRecord& record(int r) const;
  // The record to change, marked to be written; nullptr outside 1–570.
  ShikakuRecord* Change(int r);

  // An empty table becomes the complete fresh table (every record written).
  void EnsureCreated();

  // True when the record's groupKey names a record of its own kind.
  bool GroupKeyValid(int r) const;
  // The group of record r: the run of consecutive records of its kind with
  // its groupKey. A record with a bad key is a group on its own.
  RecordRange GroupOf(int r) const;

  bool changed(int r) const;
  bool anyChanged() const;
  bool wholeFile() const { return whole_; }

 private:
  friend Result<ShikakuTable> LoadShikakuTable(const std::filesystem::path&);
  friend Status SaveShikakuTable(const std::filesystem::path&, ShikakuTable&);
  std::vector<ShikakuRecord> records_;  // index r − 1
  std::vector<bool> changed_;
  int held_ = 0;
  bool whole_ = false;  // write the whole file (a table just created)
};

// The table's file in a meet folder, found whatever its letter case.
std::filesystem::path ShikakuFilePath(const std::filesystem::path& meetFolder);

// Reads the first 570 records of the file; a missing file, or one shorter than
// 2 bytes, is an empty table. Bytes beyond record 570 are never read.
Result<ShikakuTable> LoadShikakuTable(const std::filesystem::path& file);
Result<ShikakuTable> LoadShikaku(const std::filesystem::path& meetFolder);
// Writes the records changed since loading, each at its place (a table just
// created is written whole through a temporary file). Nothing beyond record
// 570 is ever written.
Status SaveShikakuTable(const std::filesystem::path& file, ShikakuTable& table);
// The whole table's bytes: 570 records.
std::string ShikakuTableBytes(const ShikakuTable& table);

// The label of record r: the band and level of a 級 row, the record class of a
// 最高 row, the class label of a meet record or 標準4 row, the age of a 標準1
// row, the grade name of a 標準2 row. Empty outside 1–570.
std::string RecordLabel(int recordNo, const NamingContext& ctx);

// The time code of a time field's display text (the inverse of FormatTime
// for times): the text right-aligned in eight characters, its characters 1–2,
// 4–5 and 7–8 joined and read as a number. A status text reads as 0.
int32_t ParseTime(std::string_view text);

// The groups of records first … last, one line per group: the label of a
// single record, or the first record's label, "-" and the last record's label;
// `groups` maps each line to its records.
struct GroupList {
  std::vector<std::string> lines;
  std::vector<RecordRange> groups;
};
GroupList ListGroups(const ShikakuTable& table, int first, int last, const NamingContext& ctx);

// Writes the 87 cells into every record of record r's group and returns the
// group written.
RecordRange EnterCells(ShikakuTable& table, int recordNo, const std::array<int32_t, shikaku_layout::kUsedCells>& cells);

// Makes positions from … to (counted from 1 within the kind) one group keyed
// by its first record. Only for 大会, 標準1, 標準2 and 標準4. Records after
// the new group that still carry the key of the group it cut into become a
// group of their own, so that every group stays one run of records.
Result<RecordRange> MakeGroup(ShikakuTable& table, int kind, int fromPosition, int toPosition);

// The records initialising a kind touches: nothing for 級, the record shown
// for 最高, every record of the other kinds.
RecordRange InitialiseRange(int kind, int shownRecord);
// Each record of the range gets its own number as groupKey and, unless
// `keepTimes`, every cell 0. Returns the range.
RecordRange InitialiseKind(ShikakuTable& table, int kind, int shownRecord, bool keepTimes);

// The parts a copy from a previous meet can take (check boxes 世界 … 級).
inline constexpr int kCopyPartCount = 11;
using CopyParts = std::array<bool, kCopyPartCount>;
// The part's caption ("世界", "アジア", "日本", "地域", "県", "地区", "大会",
// "標準1", "標準2", "標準4", "級") and its records.
std::string CopyPartCaption(int part);
RecordRange CopyPartRecords(int part);
// The part of a caption, or -1.
int CopyPartOfCaption(std::string_view caption);

// What a previous meet folder offers.
struct PreviousMeet {
  std::filesystem::path folder;
  bool hasTable = false;    // shikaku.dat of at least 2 bytes
  bool hasList = false;     // biko.dat of at least 2 bytes
  int32_t listEntries = 0;  // entries of its biko.dat
};
PreviousMeet InspectPreviousMeet(const std::filesystem::path& folder);

enum class CopyMode { Original, Results };

struct CopyOutcome {
  int recordsCopied = 0;   // "原本": records taken whole
  int entriesApplied = 0;  // "結果": list entries that set at least one cell
  int cellsWritten = 0;    // "結果": cells written over all groups
};

// "原本": the ticked parts' records taken whole from the previous table
// (records its file does not hold are left as they are). The table is
// created first when it is empty.
Result<CopyOutcome> CopyOriginal(ShikakuTable& table, const ShikakuTable& previous, const CopyParts& parts);

// "結果": each new record of the previous meet's list whose part is ticked is
// written into its cell in every record of the target's group, when it is
// faster than the stored time or the stored time is 0. Records of levels
// (classes 1–30) go to record 140 + class, meet records (class 31) to record
// 170 + the race's class code; standards reached (classes 32–34) are not
// records and change nothing. Entries that name no record, cell or time are
// skipped.
CopyOutcome ApplyNewRecords(ShikakuTable& table, const std::vector<BikoEntry>& entries, const CopyParts& parts);

// The target record and cell of a list entry, or nothing.
struct NewRecordTarget {
  int part = -1;
  int recordNo = 0;
  int cell = -1;
};
std::optional<NewRecordTarget> TargetOfNewRecord(const BikoEntry& entry);

}  // namespace meet
