#include "records/shikaku_file.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"

namespace meet {

namespace L = shikaku_layout;

namespace {

constexpr std::array<RecordRange, kKindCount> kKindRanges = {{
    {141, 170},  // 最高
    {171, 270},  // 大会
    {271, 370},  // 標準1
    {371, 470},  // 標準2
    {471, 570},  // 標準4
    {1, 140},    // 級
}};

constexpr std::array<const char*, kKindCount> kKindCaptions = {"最高", "大会", "標準1", "標準2", "標準4", "級"};

constexpr std::array<const char*, 10> kGradeBands = {
    "８歳以下 ", "９歳 ",     "１０歳 ",  "１１歳 ",  "１２歳 ",
    "１３歳 ",   "１４歳 ",   "15･16歳 ", "17･18歳 ", "１９歳以上 ",
};
constexpr int kGradeLevels = 14;

constexpr std::array<const char*, 6> kLevels = {"世界", "アジア", "日本", "地方", "県", "地区"};
constexpr std::array<const char*, 5> kSchoolCategories = {"", "(大学)", "(高校)", "(中学)", "(学童)"};

struct CopyPart {
  const char* caption;
  RecordRange records;
};
constexpr std::array<CopyPart, kCopyPartCount> kCopyParts = {{
    {"世界", {141, 145}},
    {"アジア", {146, 150}},
    {"日本", {151, 155}},
    {"地域", {156, 160}},
    {"県", {161, 165}},
    {"地区", {166, 170}},
    {"大会", {171, 270}},
    {"標準1", {271, 370}},
    {"標準2", {371, 470}},
    {"標準4", {471, 570}},
    {"級", {1, 140}},
}};

constexpr int32_t kLargestTime = 595899;

bool InTable(int r) { return r >= 1 && r <= ShikakuTable::kRecords; }

}  // namespace

RecordRange KindRecords(int kind) {
  if (kind < 0 || kind >= kKindCount) return {};
  return kKindRanges[static_cast<size_t>(kind)];
}

int KindOfRecord(int r) {
  for (int k = 0; k < kKindCount; ++k)
    if (kKindRanges[static_cast<size_t>(k)].contains(r)) return k;
  return -1;
}

std::string KindCaption(int kind) {
  if (kind < 0 || kind >= kKindCount) return {};
  return kKindCaptions[static_cast<size_t>(kind)];
}

int CellOf(int sex, int eventCode) {
  if (sex < 1 || sex > 3 || eventCode < 1 || eventCode > L::kEventsPerSex) return -1;
  return (sex - 1) * L::kEventsPerSex + (eventCode - 1);
}

ShikakuRecord ShikakuRecordFromRecord(const Record& r) {
  ShikakuRecord s;
  s.groupKey = r.I16(L::kGroupKey);
  for (int k = 0; k < L::kCells; ++k) s.cellTimes[static_cast<size_t>(k)] = r.I32(L::kCellTimes + 4 * static_cast<size_t>(k));
  s.recordText = r.Raw(L::kRecordText, L::kRecordTextWidth);
  return s;
}

Record RecordFromShikakuRecord(const ShikakuRecord& s) {
  Record r(L::kRecordLength);
  r.SetI16(L::kGroupKey, s.groupKey);
  for (int k = 0; k < L::kCells; ++k) r.SetI32(L::kCellTimes + 4 * static_cast<size_t>(k), s.cellTimes[static_cast<size_t>(k)]);
  r.SetRaw(L::kRecordText, L::kRecordTextWidth, s.recordText);
  return r;
}

ShikakuRecord FreshShikakuRecord(int recordNo) {
  ShikakuRecord s;
  s.groupKey = ClampToInt16(recordNo);
  return s;
}

// ---- ShikakuTable

ShikakuTable::ShikakuTable() : records_(static_cast<size_t>(kRecords)), changed_(static_cast<size_t>(kRecords), false) {}

ShikakuTable ShikakuTable::Fresh() {
  ShikakuTable t;
  t.EnsureCreated();
  return t;
}

const ShikakuRecord& ShikakuTable::record(int r) const {
  static const ShikakuRecord kZero{};
  return InTable(r) ? records_[static_cast<size_t>(r - 1)] : kZero;
}

ShikakuRecord* ShikakuTable::Change(int r) {
  if (!InTable(r)) return nullptr;
  changed_[static_cast<size_t>(r - 1)] = true;
  return &records_[static_cast<size_t>(r - 1)];
}

void ShikakuTable::EnsureCreated() {
  if (!empty()) return;
  for (int r = 1; r <= kRecords; ++r) records_[static_cast<size_t>(r - 1)] = FreshShikakuRecord(r);
  std::fill(changed_.begin(), changed_.end(), true);
  held_ = kRecords;
  whole_ = true;
}

bool ShikakuTable::GroupKeyValid(int r) const {
  if (!InTable(r)) return false;
  return KindRecords(KindOfRecord(r)).contains(record(r).groupKey);
}

RecordRange ShikakuTable::GroupOf(int r) const {
  if (!InTable(r)) return {};
  if (!GroupKeyValid(r)) return {r, r};
  RecordRange kind = KindRecords(KindOfRecord(r));
  int16_t key = record(r).groupKey;
  RecordRange g{r, r};
  while (g.first - 1 >= kind.first && record(g.first - 1).groupKey == key) --g.first;
  while (g.last + 1 <= kind.last && record(g.last + 1).groupKey == key) ++g.last;
  return g;
}

bool ShikakuTable::changed(int r) const { return InTable(r) && changed_[static_cast<size_t>(r - 1)]; }

bool ShikakuTable::anyChanged() const { return std::find(changed_.begin(), changed_.end(), true) != changed_.end(); }

// ---- the file

std::filesystem::path ShikakuFilePath(const std::filesystem::path& meetFolder) {
  return FindFile(meetFolder, kShikakuFileName);
}

Result<ShikakuTable> LoadShikakuTable(const std::filesystem::path& path) {
  auto file = RecordFile::Open(path, L::kRecordLength, RecordFile::Mode::ReadOnly);
  if (!file) return std::unexpected(file.error());
  ShikakuTable table;
  if (file->byteSize() <= L::kEmptyFileSize) return table;
  table.held_ = static_cast<int>(std::min<int64_t>(file->recordsHeld(), ShikakuTable::kRecords));
  for (int r = 1; r <= table.held_; ++r) table.records_[static_cast<size_t>(r - 1)] = ShikakuRecordFromRecord(file->Read(r));
  return table;
}

Result<ShikakuTable> LoadShikaku(const std::filesystem::path& meetFolder) {
  return LoadShikakuTable(ShikakuFilePath(meetFolder));
}

std::string ShikakuTableBytes(const ShikakuTable& table) {
  std::string bytes;
  bytes.reserve(L::kRecordLength * static_cast<size_t>(ShikakuTable::kRecords));
  for (int r = 1; r <= ShikakuTable::kRecords; ++r) bytes += RecordFromShikakuRecord(table.record(r)).bytes();
  return bytes;
}

Status SaveShikakuTable(const std::filesystem::path& path, ShikakuTable& table) {
  if (table.whole_) {
    if (auto ok = WriteWholeFile(path, ShikakuTableBytes(table)); !ok) return ok;
  } else if (table.anyChanged()) {
    auto file = RecordFile::Open(path, L::kRecordLength, RecordFile::Mode::ReadWrite);
    if (!file) return std::unexpected(file.error());
    for (int r = 1; r <= ShikakuTable::kRecords; ++r) {
      if (!table.changed(r)) continue;
      if (auto ok = file->Write(r, RecordFromShikakuRecord(table.record(r))); !ok) return ok;
      table.held_ = std::max(table.held_, r);
    }
  }
  table.whole_ = false;
  std::fill(table.changed_.begin(), table.changed_.end(), false);
  return {};
}

// ---- labels, times, groups

std::string RecordLabel(int r, const NamingContext& ctx) {
  switch (KindOfRecord(r)) {
    case kKindGrade: {
      int band = (r - 1) / kGradeLevels, level = (r - 1) % kGradeLevels + 1;
      return std::string(kGradeBands[static_cast<size_t>(band)]) + NumberText(level) + "級";
    }
    case kKindBest: {
      int c = r - 141;
      return std::string(kLevels[static_cast<size_t>(c / 5)]) + kSchoolCategories[static_cast<size_t>(c % 5)];
    }
    case kKindMeet: return ClassLabel(r - 170, r - 170, 1, ctx);
    case kKindStandard1: return NumberText(r - 270) + " 歳";
    case kKindStandard2: return ClassName(r - 370, 0);
    case kKindStandard4: return ClassLabel(r - 470, r - 470, 1, ctx);
    default: return {};
  }
}

int32_t ParseTime(std::string_view text) {
  std::string s(text);
  int chars = CharCount(s);
  if (chars < 8) s.insert(0, static_cast<size_t>(8 - chars), ' ');
  else if (chars > 8) s = LeftChars(s, 8);
  std::string digits = MidChars(s, 0, 2) + MidChars(s, 3, 2) + MidChars(s, 6, 2);
  return std::max<int32_t>(0, LeadingInt32(digits));
}

GroupList ListGroups(const ShikakuTable& table, int first, int last, const NamingContext& ctx) {
  GroupList list;
  first = std::max(first, 1);
  last = std::min(last, ShikakuTable::kRecords);
  for (int r = first; r <= last;) {
    RecordRange g = table.GroupOf(r);
    g.first = std::max(g.first, r);  // a run never starts before the list
    g.last = std::min(g.last, last);
    if (g.first == g.last) list.lines.push_back(RecordLabel(g.first, ctx));
    else list.lines.push_back(RecordLabel(g.first, ctx) + "-" + RecordLabel(g.last, ctx));
    list.groups.push_back(g);
    r = g.last + 1;
  }
  return list;
}

RecordRange EnterCells(ShikakuTable& table, int recordNo, const std::array<int32_t, L::kUsedCells>& cells) {
  if (!InTable(recordNo)) return {};
  table.EnsureCreated();
  RecordRange g = table.GroupOf(recordNo);
  for (int r = g.first; r <= g.last; ++r) {
    ShikakuRecord* rec = table.Change(r);
    std::copy(cells.begin(), cells.end(), rec->cellTimes.begin());
  }
  return g;
}

Result<RecordRange> MakeGroup(ShikakuTable& table, int kind, int fromPosition, int toPosition) {
  if (kind != kKindMeet && kind != kKindStandard1 && kind != kKindStandard2 && kind != kKindStandard4)
    return Fail(ErrorKind::Invalid, "グループは「大会」「標準1」「標準2」「標準4」でだけ作れます。");
  RecordRange k = KindRecords(kind);
  if (fromPosition < 1 || toPosition > k.size() || fromPosition > toPosition)
    return Fail(ErrorKind::Invalid, "グループの範囲が正しくありません（1～" + NumberText(k.size()) +
                                        "、始めが終わり以下）: " + NumberText(fromPosition) + "～" +
                                        NumberText(toPosition));
  table.EnsureCreated();
  int a = k.first + fromPosition - 1, b = k.first + toPosition - 1;
  bool cutValid = table.GroupKeyValid(b);
  int16_t cutKey = table.record(b).groupKey;
  for (int r = a; r <= b; ++r) table.Change(r)->groupKey = ClampToInt16(a);
  // What remains of the group the new one cut into starts a group of its own.
  if (cutValid && cutKey <= b)
    for (int r = b + 1; r <= k.last && table.record(r).groupKey == cutKey; ++r)
      table.Change(r)->groupKey = ClampToInt16(b + 1);
  return RecordRange{a, b};
}

RecordRange InitialiseRange(int kind, int shownRecord) {
  if (kind == kKindGrade) return {};
  RecordRange k = KindRecords(kind);
  if (kind == kKindBest) return k.contains(shownRecord) ? RecordRange{shownRecord, shownRecord} : RecordRange{};
  return k;
}

RecordRange InitialiseKind(ShikakuTable& table, int kind, int shownRecord, bool keepTimes) {
  RecordRange range = InitialiseRange(kind, shownRecord);
  if (range.empty()) return range;
  table.EnsureCreated();
  for (int r = range.first; r <= range.last; ++r) {
    ShikakuRecord* rec = table.Change(r);
    rec->groupKey = ClampToInt16(r);
    if (!keepTimes) rec->cellTimes.fill(0);
  }
  return range;
}

// ---- copying from a previous meet

std::string CopyPartCaption(int part) {
  if (part < 0 || part >= kCopyPartCount) return {};
  return kCopyParts[static_cast<size_t>(part)].caption;
}

RecordRange CopyPartRecords(int part) {
  if (part < 0 || part >= kCopyPartCount) return {};
  return kCopyParts[static_cast<size_t>(part)].records;
}

int CopyPartOfCaption(std::string_view caption) {
  for (int p = 0; p < kCopyPartCount; ++p)
    if (caption == kCopyParts[static_cast<size_t>(p)].caption) return p;
  return -1;
}

PreviousMeet InspectPreviousMeet(const std::filesystem::path& folder) {
  PreviousMeet p;
  p.folder = folder;
  p.hasTable = FileSize(FindFile(folder, kShikakuFileName)) > L::kEmptyFileSize;
  p.hasList = FileSize(FindFile(folder, kBikoFileName)) > biko_layout::kEmptyFileSize;
  p.listEntries = p.hasList ? BikoEntriesHeld(folder) : 0;
  return p;
}

Result<CopyOutcome> CopyOriginal(ShikakuTable& table, const ShikakuTable& previous, const CopyParts& parts) {
  if (previous.empty()) return Fail(ErrorKind::NotFound, "前回大会に記録の表（shikaku.dat）がありません。");
  table.EnsureCreated();
  CopyOutcome outcome;
  for (int p = 0; p < kCopyPartCount; ++p) {
    if (!parts[static_cast<size_t>(p)]) continue;
    RecordRange range = CopyPartRecords(p);
    for (int r = range.first; r <= range.last && r <= previous.recordsHeld(); ++r) {
      *table.Change(r) = previous.record(r);
      ++outcome.recordsCopied;
    }
  }
  return outcome;
}

std::optional<NewRecordTarget> TargetOfNewRecord(const BikoEntry& e) {
  NewRecordTarget t;
  t.cell = CellOf(static_cast<int>(LeadingNumber(e.sexCode)), e.eventCode);
  if (t.cell < 0 || e.time <= 0 || e.time > kLargestTime) return std::nullopt;
  if (e.recordClass >= 1 && e.recordClass <= 30) {
    t.part = (e.recordClass - 1) / 5;
    t.recordNo = 140 + e.recordClass;
  } else if (e.recordClass == 31 && e.classFrom >= 1 && e.classFrom <= 100) {
    t.part = CopyPartOfCaption("大会");
    t.recordNo = 170 + e.classFrom;
  } else {
    return std::nullopt;
  }
  return t;
}

CopyOutcome ApplyNewRecords(ShikakuTable& table, const std::vector<BikoEntry>& entries, const CopyParts& parts) {
  table.EnsureCreated();
  CopyOutcome outcome;
  for (const BikoEntry& e : entries) {
    auto t = TargetOfNewRecord(e);
    if (!t || !parts[static_cast<size_t>(t->part)]) continue;
    int32_t stored = table.record(t->recordNo).cellTimes[static_cast<size_t>(t->cell)];
    if (stored != 0 && e.time >= stored) continue;
    RecordRange g = table.GroupOf(t->recordNo);
    for (int r = g.first; r <= g.last; ++r) {
      table.Change(r)->cellTimes[static_cast<size_t>(t->cell)] = e.time;
      ++outcome.cellsWritten;
    }
    ++outcome.entriesApplied;
  }
  return outcome;
}

}  // namespace meet
