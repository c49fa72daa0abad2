#include "race/text_dumps.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "core/backup.h"
#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "data/race_file.h"
#include "data/race_layout.h"
#include "data/relay_file.h"
#include "data/relay_layout.h"
#include "print/hpro_file.h"
#include "print/hpro_layout.h"
#include "program/projun_file.h"
#include "program/projun_layout.h"
#include "records/shikaku_file.h"
#include "records/shikaku_layout.h"

namespace meet {

namespace {

// One value of a dump line: a whole number at an offset, a text field of a
// fixed width, or a constant the line carries but no record holds.
struct DumpField {
  enum Kind { I16, I32, Text, Const } kind;
  size_t offset = 0;
  size_t width = 0;
  const char* constant = "";
};

std::vector<DumpField> RaceFields() {
  namespace L = race_layout;
  std::vector<DumpField> f = {{DumpField::I16, L::kEventNo},       {DumpField::I16, L::kHeatNo},
                              {DumpField::I16, L::kHeatTotal},     {DumpField::Text, L::kSexCode, 1},
                              {DumpField::I16, L::kClassFrom},     {DumpField::I16, L::kClassTo},
                              {DumpField::I16, L::kEventCode},     {DumpField::Text, L::kRoundCode, 1},
                              {DumpField::Text, L::kStartTime, L::kStartTimeWidth}};
  for (size_t k = 0; k < L::kSlots; ++k) {
    // The entry time comes before the result time.
    f.push_back({DumpField::I32, L::kLaneEntryTime + 4 * k});
    f.push_back({DumpField::I32, L::kLaneTime + 4 * k});
    f.push_back({DumpField::I16, L::kLaneNo + 2 * k});
    f.push_back({DumpField::I16, L::kLaneRank + 2 * k});
    f.push_back({DumpField::I16, L::kOpenLevel + 2 * k});
    f.push_back({DumpField::I16, L::kAgeLevel + 2 * k});
    f.push_back({DumpField::I16, L::kLaneRecordClass + 2 * k});
    f.push_back({DumpField::Text, L::kStandardFlags + k, 1});
  }
  f.push_back({DumpField::I16, L::kRelayRec});
  f.push_back({DumpField::Const, 0, 0, "1"});
  f.push_back({DumpField::Const, 0, 0, "1"});
  return f;
}

std::vector<DumpField> ProgramFields() {
  namespace L = projun_layout;
  return {{DumpField::I16, L::kOrderNo},      {DumpField::I16, L::kHeatCount},   {DumpField::Text, L::kSexCode, 1},
          {DumpField::I16, L::kAgeFrom},      {DumpField::I16, L::kAgeTo},       {DumpField::I16, L::kEventCode},
          {DumpField::Text, L::kStageCode, 1}, {DumpField::I32, L::kPerHeatTime}, {DumpField::I32, L::kTotalTime},
          {DumpField::I32, L::kStartTime},    {DumpField::I16, L::kFirstRace},   {DumpField::Text, L::kSeedFlag, 1},
          {DumpField::Text, L::kDayNo, 1},     {DumpField::I16, L::kEntrySpare},  {DumpField::I16, L::kExcludedHeats}};
}

std::vector<DumpField> PageFields() {
  namespace L = hpro_layout;
  return {{DumpField::Const, 0, 0, ""}, {DumpField::I16, L::kPageRace}, {DumpField::I16, L::kSlotCount}};
}

std::vector<DumpField> RelayFields() {
  namespace L = relay_layout;
  std::vector<DumpField> f = {{DumpField::I16, L::kRelayBlockNo}};
  for (size_t slot = 0; slot < 12; ++slot)
    for (size_t leg = 0; leg < 4; ++leg) f.push_back({DumpField::I16, L::kLegMembers + 2 * (leg * 12 + slot)});
  f.push_back({DumpField::I16, L::kRelayRace});
  for (size_t k = 0; k < 10; ++k) f.push_back({DumpField::I32, L::kSplitTimes + 4 * k});
  return f;
}

const std::vector<DumpField>& FieldsOf(DumpKind kind) {
  static const std::vector<DumpField> races = RaceFields(), program = ProgramFields(), pages = PageFields(),
                                      relays = RelayFields();
  switch (kind) {
    case DumpKind::Races: return races;
    case DumpKind::Program: return program;
    case DumpKind::Pages: return pages;
    case DumpKind::Relays: return relays;
  }
  return races;
}

size_t RecordLengthOf(DumpKind kind) {
  switch (kind) {
    case DumpKind::Races: return race_layout::kRecordLength;
    case DumpKind::Program: return projun_layout::kRecordLength;
    case DumpKind::Pages: return hpro_layout::kRecordLength;
    case DumpKind::Relays: return relay_layout::kRecordLength;
  }
  return race_layout::kRecordLength;
}

// A stored text field as a value: NUL bytes left out, a comma made "，" and
// other characters below a blank made blanks, so that the value never splits
// the line.
std::string TextValue(const Record& r, size_t offset, size_t width) {
  std::string raw = r.Raw(offset, width);
  raw.erase(std::remove(raw.begin(), raw.end(), '\0'), raw.end());
  std::string out;
  for (char c : DecodeCp932(raw)) {
    if (c == ',') out += "，";
    else if (static_cast<unsigned char>(c) < 0x20) out += ' ';
    else out += c;
  }
  return out;
}

std::string TrimBlanks(std::string_view v) {
  size_t a = 0, b = v.size();
  while (a < b && (v[a] == ' ' || v[a] == '\t')) ++a;
  while (b > a && (v[b - 1] == ' ' || v[b - 1] == '\t')) --b;
  return std::string(v.substr(a, b - a));
}

std::optional<int64_t> Number(std::string_view value, int64_t low, int64_t high) {
  std::string t = TrimBlanks(value);
  size_t i = t.size() > 0 && (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i == t.size() || t.size() > 12) return std::nullopt;
  int64_t n = 0;
  for (size_t k = i; k < t.size(); ++k) {
    if (t[k] < '0' || t[k] > '9') return std::nullopt;
    n = n * 10 + (t[k] - '0');
  }
  if (t[0] == '-') n = -n;
  if (n < low || n > high) return std::nullopt;
  return n;
}

Status ValueError(size_t position, std::string_view value, const char* what) {
  return Fail(ErrorKind::Format, std::to_string(position + 1) + " 番目の値「" + std::string(value) + "」は" + what +
                                     "ではありません。");
}

// The data file's records 11 … count + 10, checked against the file's size.
Result<std::vector<Record>> DataRecords(const std::filesystem::path& file, size_t length) {
  // The count is a 16-bit number: no more records are ever read.
  auto bytes = ReadFileHead(file, (32767 + 10) * static_cast<uint64_t>(length));
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound)
      return Fail(ErrorKind::NotFound, file.string() + " がありません。");
    return std::unexpected(bytes.error());
  }
  std::vector<Record> records;
  if (bytes->size() <= 10) return records;
  int16_t count = Record(bytes->substr(0, length), length).I16(0);
  if (count < 0) return Fail(ErrorKind::Format, file.string() + " の件数 " + std::to_string(count) + " が読めません。");
  if (bytes->size() < (static_cast<size_t>(count) + 10) * length)
    return Fail(ErrorKind::Format, file.string() + " が途中で切れています（" + std::to_string(count) +
                                       " 件が入りません）。");
  for (int n = 1; n <= count; ++n)
    records.emplace_back(bytes->substr((static_cast<size_t>(n) + 9) * length, length), length);
  return records;
}

Status Prefixed(Status s, const std::string& prefix) {
  if (s) return s;
  return Fail(s.error().kind, prefix + s.error().message);
}

// Asks before a data file that holds something is replaced, then keeps it.
Result<std::filesystem::path> AskAndKeep(const std::filesystem::path& meetFolder, const std::filesystem::path& file,
                                         const std::string& question, Platform& platform) {
  if (!platform.dialogs.AskOkCancel(question))
    return Fail(ErrorKind::Cancelled, "取り消しました。" + file.filename().string() + " は変わっていません。");
  return KeepBackup(meetFolder, file, platform.clock.Now());
}

Result<std::vector<std::vector<std::string>>> ReadDumpLines(const std::filesystem::path& textFile, size_t values,
                                                            size_t maxLines) {
  // The longest lines the format can hold: every value 11 characters and its
  // comma, with blanks around it, and the line end.
  const uint64_t most = static_cast<uint64_t>(maxLines) * (values * 16 + 2);
  auto bytes = ReadFileHead(textFile, most + 1);
  if (!bytes) {
    if (bytes.error().kind == ErrorKind::NotFound)
      return Fail(ErrorKind::NotFound, textFile.string() + " がありません。");
    return std::unexpected(bytes.error());
  }
  if (bytes->size() > most)
    return Fail(ErrorKind::Format, textFile.string() + " は " + std::to_string(maxLines) +
                                       " 行のこの形式より大きいため、読みません。");
  auto lines = ParseDumpText(*bytes, values, maxLines, textFile.filename().string());
  if (!lines) return std::unexpected(lines.error());
  if (lines->empty()) return Fail(ErrorKind::Format, textFile.string() + " にデータがありません。");
  return lines;
}

}  // namespace

const char* DumpMenuItem(DumpKind kind) {
  switch (kind) {
    case DumpKind::Races: return "mWKyogi";
    case DumpKind::Program: return "mWProjun";
    case DumpKind::Pages: return "mWHpro";
    case DumpKind::Relays: return "mWRel";
  }
  return "";
}

const char* DumpTextName(DumpKind kind) {
  switch (kind) {
    case DumpKind::Races: return kRacesDumpName;
    case DumpKind::Program: return kProgramDumpName;
    case DumpKind::Pages: return kPagesDumpName;
    case DumpKind::Relays: return kRelaysDumpName;
  }
  return "";
}

const char* DumpDataName(DumpKind kind) {
  switch (kind) {
    case DumpKind::Races: return kRaceFileName;
    case DumpKind::Program: return kProgramFileName;
    case DumpKind::Pages: return kPageFileName;
    case DumpKind::Relays: return kRelayFileName;
  }
  return "";
}

Result<std::filesystem::path> DumpFilePath(std::string_view txtDrT, std::string_view fileName) {
  std::string folder = TrimBlanks(txtDrT);
  if (folder.empty())
    return Fail(ErrorKind::Invalid, std::string(kDumpFolderLabel) + " にテキストファイルのフォルダーを入力してください。");
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    return Fail(ErrorKind::NotFound, std::string(kDumpFolderLabel) + " のフォルダー " + folder + " がありません。");
  // Typed with or without a final separator, the text names the folder.
  return FindFile(std::filesystem::path(folder), fileName);
}

const std::vector<int>& StandardsDumpPositions() {
  static const std::vector<int> positions = [] {
    std::vector<int> p;
    for (int sex = 0; sex < 2; ++sex) {
      int base = sex * shikaku_layout::kEventsPerSex;
      for (int e : {2, 3, 4, 5, 6, 7, 9, 10, 11, 13, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29})
        p.push_back(base + e);
    }
    return p;
  }();
  return positions;
}

std::string DumpLine(DumpKind kind, const Record& r) {
  std::string line;
  bool first = true;
  for (const DumpField& f : FieldsOf(kind)) {
    if (!first) line += ',';
    first = false;
    switch (f.kind) {
      case DumpField::I16: line += NumberText(r.I16(f.offset)); break;
      case DumpField::I32: line += NumberText(r.I32(f.offset)); break;
      case DumpField::Text: line += TextValue(r, f.offset, f.width); break;
      case DumpField::Const: line += f.constant; break;
    }
  }
  return line;
}

Status RecordFromDumpValues(DumpKind kind, const std::vector<std::string>& values, Record& r) {
  const auto& fields = FieldsOf(kind);
  if (values.size() != fields.size())
    return Fail(ErrorKind::Format, "値が " + std::to_string(values.size()) + " 個あります（" +
                                       std::to_string(fields.size()) + " 個のはずです）。");
  Record out = r;
  for (size_t i = 0; i < fields.size(); ++i) {
    const DumpField& f = fields[i];
    const std::string& v = values[i];
    switch (f.kind) {
      case DumpField::I16: {
        auto n = Number(v, INT16_MIN, INT16_MAX);
        if (!n) return ValueError(i, v, "16ビットの整数");
        out.SetI16(f.offset, static_cast<int16_t>(*n));
        break;
      }
      case DumpField::I32: {
        auto n = Number(v, INT32_MIN, INT32_MAX);
        if (!n) return ValueError(i, v, "32ビットの整数");
        out.SetI32(f.offset, static_cast<int32_t>(*n));
        break;
      }
      case DumpField::Text: {
        std::string t = v;
        if (static_cast<size_t>(AnsiLen(t)) > f.width) t = TrimBlanks(t);
        if (static_cast<size_t>(AnsiLen(t)) > f.width) return ValueError(i, v, std::to_string(f.width).append(" 文字以内の文字").c_str());
        out.SetText(f.offset, f.width, t);  // an empty value is stored as NULs
        break;
      }
      case DumpField::Const: break;  // carried by the line, held by no record
    }
  }
  r = std::move(out);
  return {};
}

Result<std::vector<std::vector<std::string>>> ParseDumpText(std::string_view bytes, size_t values, size_t maxLines,
                                                            std::string_view fileName) {
  std::vector<std::string_view> rawLines;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    rawLines.push_back(line);
    at = end + 1;
  }
  while (!rawLines.empty() && TrimBlanks(rawLines.back()).empty()) rawLines.pop_back();
  auto lineError = [&](size_t n, const std::string& what) {
    return Fail(ErrorKind::Format, std::string(fileName) + " の " + std::to_string(n + 1) + " 行目: " + what +
                                       " 何も書き込んでいません。");
  };
  if (rawLines.size() > maxLines)
    return lineError(maxLines, "行が多すぎます（" + std::to_string(maxLines) + " 行まで）。");
  std::vector<std::vector<std::string>> lines;
  lines.reserve(rawLines.size());
  for (size_t n = 0; n < rawLines.size(); ++n) {
    std::string_view raw = rawLines[n];
    if (raw.size() > kMaxDumpLineBytes)
      return lineError(n, "行が長すぎます（" + std::to_string(raw.size()) + " バイト）。");
    for (char c : raw)
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
        return lineError(n, "制御文字が含まれています。");
    std::string text = DecodeCp932(raw);
    if (text.find("\xEF\xBF\xBD") != std::string::npos) return lineError(n, "Shift-JIS として読めない文字があります。");
    std::vector<std::string> v;
    size_t from = 0;
    while (true) {
      size_t comma = text.find(',', from);
      v.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    if (v.size() != values)
      return lineError(n, "値が " + std::to_string(v.size()) + " 個あります（" + std::to_string(values) +
                              " 個のはずです）。");
    lines.push_back(std::move(v));
  }
  return lines;
}

Result<DumpOutcome> WriteDump(DumpKind kind, const std::filesystem::path& meetFolder, std::string_view txtDrT) {
  auto textFile = DumpFilePath(txtDrT, DumpTextName(kind));
  if (!textFile) return std::unexpected(textFile.error());
  DumpOutcome out;
  out.textFile = *textFile;
  out.dataFile = FindFile(meetFolder, DumpDataName(kind));
  auto records = DataRecords(out.dataFile, RecordLengthOf(kind));
  if (!records) return std::unexpected(records.error());
  std::string text;
  for (const Record& r : *records) text += DumpLine(kind, r) + "\r\n";
  out.lines = static_cast<int>(records->size());
  if (auto ok = WriteWholeFile(out.textFile, EncodeCp932(text)); !ok) return std::unexpected(ok.error());
  return out;
}

Result<DumpOutcome> ReadRacesDump(const std::filesystem::path& meetFolder, std::string_view txtDrT,
                                  Platform& platform) {
  namespace L = race_layout;
  auto textFile = DumpFilePath(txtDrT, kRacesDumpName);
  if (!textFile) return std::unexpected(textFile.error());
  auto lines = ReadDumpLines(*textFile, kRacesDumpValues, L::kMaxRace);
  if (!lines) return std::unexpected(lines.error());

  DumpOutcome out;
  out.textFile = *textFile;
  out.dataFile = FindFile(meetFolder, kRaceFileName);
  std::string bytes;
  if (auto old = ReadFileHead(out.dataFile, race_layout::kMaxFileBytes); old) bytes = std::move(*old);
  else if (old.error().kind != ErrorKind::NotFound) return std::unexpected(old.error());

  // Every line into its record first; a bad value stops before any write.
  const size_t count = lines->size();
  const size_t need = (count + 10) * L::kRecordLength;
  std::string next = bytes;
  if (next.size() < need) next.resize(need, '\0');
  for (size_t k = 0; k < count; ++k) {
    size_t at = (k + 10) * L::kRecordLength;
    Record r(next.substr(at, L::kRecordLength), L::kRecordLength);
    if (auto ok = Prefixed(RecordFromDumpValues(DumpKind::Races, (*lines)[k], r),
                           std::string(kRacesDumpName) + " の " + std::to_string(k + 1) + " 行目: ");
        !ok)
      return std::unexpected(ok.error());
    next.replace(at, L::kRecordLength, r.bytes());
  }
  Record header(next.substr(0, L::kRecordLength), L::kRecordLength);
  header.SetI16(L::kRaceCount, static_cast<int16_t>(count));
  next.replace(0, 2, header.bytes().substr(0, 2));

  if (ReadRaceCount(meetFolder) > 0) {
    auto kept = AskAndKeep(meetFolder, out.dataFile,
                           std::string(kRacesDumpName) + " の " + std::to_string(count) + " レースで競技ファイル " +
                               out.dataFile.filename().string() + " を書き換えます。\n今のファイルは backup に残します。よろしいですか？",
                           platform);
    if (!kept) return std::unexpected(kept.error());
    out.backup = *kept;
  }
  if (auto ok = WriteWholeFile(out.dataFile, next); !ok) return std::unexpected(ok.error());
  out.lines = static_cast<int>(count);
  return out;
}

Result<DumpOutcome> ReadStandardsDump(const std::filesystem::path& meetFolder, std::string_view txtDrT,
                                      Platform& platform) {
  auto textFile = DumpFilePath(txtDrT, kStandardsDumpName);
  if (!textFile) return std::unexpected(textFile.error());
  auto lines = ReadDumpLines(*textFile, kStandardsDumpValues, ShikakuTable::kRecords);
  if (!lines) return std::unexpected(lines.error());

  DumpOutcome out;
  out.textFile = *textFile;
  out.dataFile = ShikakuFilePath(meetFolder);
  auto table = LoadShikakuTable(out.dataFile);
  if (!table) return std::unexpected(table.error());
  const bool existed = !table->empty();
  if (existed && table->recordsHeld() < ShikakuTable::kRecords)
    return Fail(ErrorKind::Format, out.dataFile.string() + " が途中で切れています（" +
                                       std::to_string(table->recordsHeld()) + " / " +
                                       std::to_string(ShikakuTable::kRecords) + " レコード）。");
  table->EnsureCreated();
  const auto& positions = StandardsDumpPositions();
  for (size_t k = 0; k < lines->size(); ++k) {
    ShikakuRecord* rec = table->Change(static_cast<int>(k + 1));
    rec->cellTimes.fill(0);
    for (size_t i = 0; i < positions.size(); ++i) {
      const std::string& v = (*lines)[k][i];
      auto n = Number(v, INT32_MIN, INT32_MAX);
      if (!n)
        return Fail(ErrorKind::Format, std::string(kStandardsDumpName) + " の " + std::to_string(k + 1) + " 行目: " +
                                           ValueError(i, v, "記録（整数）").error().message + " 何も書き込んでいません。");
      rec->cellTimes[static_cast<size_t>(positions[i] - 1)] = static_cast<int32_t>(*n);
    }
  }
  std::string next = ShikakuTableBytes(*table);
  if (existed) {
    // What lies past the table is kept, as far as a table file can reach.
    auto old = ReadFileHead(out.dataFile, 2 * next.size());
    if (!old) return std::unexpected(old.error());
    if (old->size() > next.size()) next += old->substr(next.size());  // bytes past the table stay
    auto kept = AskAndKeep(meetFolder, out.dataFile,
                           std::string(kStandardsDumpName) + " の " + std::to_string(lines->size()) +
                               " 行で標準記録ファイル " + out.dataFile.filename().string() +
                               " のレコード 1～" + std::to_string(lines->size()) +
                               " を書き換えます。\n今のファイルは backup に残します。よろしいですか？",
                           platform);
    if (!kept) return std::unexpected(kept.error());
    out.backup = *kept;
  }
  if (auto ok = WriteWholeFile(out.dataFile, next); !ok) return std::unexpected(ok.error());
  out.lines = static_cast<int>(lines->size());
  return out;
}

}  // namespace meet
