#include "results/wa_points.h"

#include <array>
#include <cstdio>
#include <set>
#include <tuple>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/time_code.h"

namespace meet {

namespace {

// Events 1–29: stroke, metres per swimmer, swimmers.
struct FixedStyle {
  const char* stroke;
  int distance;
  int relayCount;
};
constexpr std::array<FixedStyle, 29> kFixedStyles = {{
    {"FREE", 25, 1},   {"FREE", 50, 1},   {"FREE", 100, 1},   {"FREE", 200, 1},   {"FREE", 400, 1},
    {"FREE", 800, 1},  {"FREE", 1500, 1}, {"BACK", 25, 1},    {"BACK", 50, 1},    {"BACK", 100, 1},
    {"BACK", 200, 1},  {"BREAST", 25, 1}, {"BREAST", 50, 1},  {"BREAST", 100, 1}, {"BREAST", 200, 1},
    {"FLY", 25, 1},    {"FLY", 50, 1},    {"FLY", 100, 1},    {"FLY", 200, 1},    {"MEDLEY", 100, 1},
    {"MEDLEY", 200, 1}, {"MEDLEY", 400, 1}, {"MEDLEY", 25, 4}, {"MEDLEY", 50, 4}, {"MEDLEY", 100, 4},
    {"FREE", 25, 4},   {"FREE", 50, 4},   {"FREE", 100, 4},   {"FREE", 200, 4},
}};

constexpr const char* kStrokes[] = {"FREE", "BACK", "BREAST", "FLY", "MEDLEY"};

std::vector<std::string> SplitCommas(std::string_view line) {
  std::vector<std::string> out;
  size_t from = 0;
  while (true) {
    const size_t comma = line.find(',', from);
    out.push_back(Trim(line.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from)));
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
  return out;
}

// Whole UTF-8 sequences only (no overlong forms, no surrogates).
bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80 ? 0 : c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : -1;
    if (n < 0) return false;
    uint32_t cp = n == 0 ? c : c & (0x3F >> n);
    for (int k = 1; k <= n; ++k) {
      if (i + static_cast<size_t>(k) >= s.size()) return false;
      const unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += static_cast<size_t>(n) + 1;
  }
  return true;
}

std::optional<int> SmallNumber(std::string_view text) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  int n = 0;
  for (char c : text) n = n * 10 + (c - '0');
  return n;
}

// "20.91", "1:46.79", "00:01:46.79".
std::optional<int64_t> BaseTimeText(std::string_view text) {
  if (text.size() == 11 && text[2] == ':' && text[5] == ':') {
    const auto h = SmallNumber(text.substr(0, 2)), m = SmallNumber(text.substr(3, 2));
    const auto rest = SeparatedSwimTime(text.substr(6));
    if (!h || !m || *m > 59 || !rest) return std::nullopt;
    return (int64_t{*h} * 60 + *m) * 6000 + *TimeCodeHundredths(*rest);
  }
  const auto code = SeparatedSwimTime(text);
  if (!code) return std::nullopt;
  return TimeCodeHundredths(*code);
}

std::string HundredthsText(int64_t h) {
  char text[32];
  if (h >= 6000)
    std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", static_cast<long long>(h / 6000),
                  static_cast<long long>(h / 100 % 60), static_cast<long long>(h % 100));
  else
    std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(h / 100), static_cast<long long>(h % 100));
  return text;
}

}  // namespace

int WaPoints(int64_t base, int64_t swim) {
  if (base <= 0 || swim <= 0) return 0;
  const __int128 b = base, t = swim;
  const __int128 p = 1000 * b * b * b / (t * t * t);
  return p > 1000000 ? 1000000 : static_cast<int>(p);
}

std::optional<int64_t> TimeCodeHundredths(int32_t code) {
  if (code <= 0 || code >= 595900 || !IsTimeCode(code)) return std::nullopt;
  return int64_t{code / 10000} * 6000 + int64_t{code / 100 % 100} * 100 + code % 100;
}

SwimStyle SwimStyleOf(int eventCode, std::string_view extraName, bool relay) {
  SwimStyle s;
  if (eventCode >= 1 && eventCode <= 29) {
    const FixedStyle& f = kFixedStyles[static_cast<size_t>(eventCode - 1)];
    s.stroke = f.stroke;
    s.distance = f.distance;
    s.relayCount = f.relayCount;
    return s;
  }
  const std::string name = Trim(extraName);
  s.relayCount = relay ? 4 : 1;
  int metres = 0;
  size_t i = 0;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9' && metres < 100000) metres = metres * 10 + (name[i++] - '0');
  if (i < name.size() && (name[i] == 'm' || name.compare(i, 3, "ｍ") == 0)) s.distance = relay ? metres / 4 : metres;
  const std::pair<const char*, const char*> words[] = {{"自由形", "FREE"},   {"背泳", "BACK"}, {"平泳", "BREAST"},
                                                       {"バタフライ", "FLY"}, {"メドレー", "MEDLEY"}};
  for (const auto& [word, stroke] : words)
    if (name.find(word) != std::string::npos) {
      s.stroke = stroke;
      break;
    }
  // A relay named by its metres alone (…mリレー) is freestyle.
  if (s.stroke.empty() && relay && name.find("リレー") != std::string::npos) s.stroke = "FREE";
  if (s.stroke.empty() || s.distance == 0 || (relay && metres % 4 != 0)) {
    s.stroke = "UNKNOWN";
    s.name = name.empty() ? "種目 " + std::to_string(eventCode) : name;
  }
  return s;
}

const BaseTime* PointsTable::Find(std::string_view course, char gender, const SwimStyle& style) const {
  for (const BaseTime& row : rows)
    if (row.course == course && row.gender == gender && row.distance == style.distance &&
        row.stroke == style.stroke && row.relayCount == style.relayCount)
      return &row;
  return nullptr;
}

std::optional<int> PointsTable::Points(std::string_view course, char gender, const SwimStyle& style,
                                       int32_t timeCode) const {
  const auto swim = TimeCodeHundredths(timeCode);
  if (!swim) return std::nullopt;
  const BaseTime* row = Find(course, gender, style);
  if (!row) return std::nullopt;
  return WaPoints(row->hundredths, *swim);
}

Result<PointsTable> ParsePointsTable(std::string_view text, std::string_view name) {
  PointsTable table;
  std::set<std::tuple<std::string, char, int, std::string, int>> seen;
  int lineNo = 0;
  size_t from = 0;
  if (text.starts_with("\xEF\xBB\xBF")) from = 3;  // a byte order mark of a spreadsheet's export
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(from, end - from);
    from = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    auto bad = [&](const std::string& why) {
      return Fail(ErrorKind::Format, std::string(name) + " " + std::to_string(lineNo) + " 行目: " + why);
    };
    if (!ValidUtf8(trimmed)) return bad("UTF-8 の文字ではありません。");
    const std::vector<std::string> v = SplitCommas(trimmed);
    if (v[0] == "course" && table.rows.empty()) continue;  // the column names
    if (v[0] == "version") {
      if (v.size() != 2 || v[1].empty() || v[1].size() > 20) return bad("version の後に年（版）を一つ書きます。");
      table.version = v[1];
      continue;
    }
    if (v.size() != 6)
      return bad("値が " + std::to_string(v.size()) + " 個あります（course,gender,distance,stroke,relaycount,basetime の 6 個）。");
    BaseTime row;
    if (v[0] != "LCM" && v[0] != "SCM") return bad("コース " + v[0] + " は LCM か SCM です。");
    row.course = v[0];
    if (v[1] != "M" && v[1] != "F" && v[1] != "X") return bad("性別 " + v[1] + " は M、F、X のどれかです。");
    row.gender = v[1][0];
    const auto distance = SmallNumber(v[2]);
    if (!distance || *distance == 0 || *distance > 1500) return bad("距離 " + v[2] + " は 1～1500 の数です。");
    row.distance = *distance;
    for (const char* s : kStrokes)
      if (v[3] == s) row.stroke = s;
    if (row.stroke.empty()) return bad("泳法 " + v[3] + " は FREE、BACK、BREAST、FLY、MEDLEY のどれかです。");
    if (v[4] != "1" && v[4] != "4") return bad("泳者数 " + v[4] + " は 1 か 4 です。");
    row.relayCount = v[4][0] - '0';
    if (row.gender == 'X' && row.relayCount != 4) return bad("性別 X は混合リレー（泳者数 4）だけです。");
    const auto base = BaseTimeText(v[5]);
    if (!base || *base <= 0) return bad("基準タイム " + v[5] + " は 20.91、1:46.79 の形の記録です。");
    row.hundredths = *base;
    if (!seen.insert({row.course, row.gender, row.distance, row.stroke, row.relayCount}).second)
      return bad("同じ種目（" + v[0] + "," + v[1] + "," + v[2] + "," + v[3] + "," + v[4] + "）の行が二つあります。");
    table.rows.push_back(row);
  }
  if (table.rows.empty()) return Fail(ErrorKind::Format, std::string(name) + ": 基準タイムの行が一つもありません。");
  return table;
}

std::string PointsTableText(const PointsTable& table) {
  std::string out = "course,gender,distance,stroke,relaycount,basetime\n";
  if (!table.version.empty()) out += "version," + table.version + "\n";
  for (const BaseTime& r : table.rows)
    out += r.course + "," + std::string(1, r.gender) + "," + std::to_string(r.distance) + "," + r.stroke + "," +
           std::to_string(r.relayCount) + "," + HundredthsText(r.hundredths) + "\n";
  return out;
}

namespace {
Result<std::string> ReadTableFile(const std::filesystem::path& file) {
  if (FileSize(file) > kMaxPointsTableBytes)
    return Fail(ErrorKind::Format, file.filename().string() + ": 基準タイムの表としては大きすぎます（1 MiB まで）。");
  return ReadFileHead(file, kMaxPointsTableBytes + 1);
}
}  // namespace

Result<std::optional<PointsTable>> LoadPointsTable(const std::filesystem::path& meetFolder) {
  const std::filesystem::path file = FindFile(meetFolder, kPointsTableFileName);
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return std::optional<PointsTable>{};
  auto text = ReadTableFile(file);
  if (!text) return std::unexpected(text.error());
  if (text->size() > kMaxPointsTableBytes)
    return Fail(ErrorKind::Format, std::string(kPointsTableFileName) + ": 基準タイムの表としては大きすぎます（1 MiB まで）。");
  auto table = ParsePointsTable(*text, kPointsTableFileName);
  if (!table) return std::unexpected(table.error());
  return std::optional<PointsTable>(std::move(*table));
}

Result<PointsTable> ImportPointsTable(const std::filesystem::path& meetFolder, const std::filesystem::path& file) {
  auto text = ReadTableFile(file);
  if (!text) return std::unexpected(text.error());
  if (text->size() > kMaxPointsTableBytes)
    return Fail(ErrorKind::Format, file.filename().string() + ": 基準タイムの表としては大きすぎます（1 MiB まで）。");
  auto table = ParsePointsTable(*text, file.filename().string());
  if (!table) return std::unexpected(table.error());
  if (auto ok = WriteWholeFile(FindFile(meetFolder, kPointsTableFileName), PointsTableText(*table)); !ok)
    return std::unexpected(ok.error());
  return table;
}

Result<std::optional<ResultPoints>> ResultPoints::Load(const MeetFiles& meet) {
  auto table = LoadPointsTable(meet.meetFolder);
  if (!table) return std::unexpected(table.error());
  if (!*table) return std::optional<ResultPoints>{};
  auto races = RaceFileImage::Load(meet.meetFolder);
  if (!races) return std::unexpected(races.error());
  ResultPoints p;
  p.table_ = std::move(**table);
  p.races_ = std::move(*races);
  p.course_ = CourseCode(meet.settings.courseMode);
  const PrintSources sources(meet);
  for (int code = 1; code <= 44; ++code)
    p.styles_[static_cast<size_t>(code)] =
        SwimStyleOf(code, code >= 30 ? sources.naming().extraEventNames[static_cast<size_t>(code - 30)] : "",
                    sources.IsRelay(code));
  return std::optional<ResultPoints>(std::move(p));
}

std::optional<int> ResultPoints::Of(int raceNo, int slot) const {
  if (raceNo < 1 || raceNo > races_.raceCount() || slot < 0 || slot > 11) return std::nullopt;
  const Race race = races_.race(raceNo);
  const size_t k = static_cast<size_t>(slot);
  if (race.laneNo[k] == 0 || race.laneRecordClass[k] == 99 || race.eventCode < 1 || race.eventCode > 44)
    return std::nullopt;
  return table_.Points(course_, GenderCode(race.sexCode), styles_[static_cast<size_t>(race.eventCode)], race.laneTime[k]);
}

std::string CourseCode(std::string_view courseMode) { return courseMode == "1" ? "SCM" : "LCM"; }

char GenderCode(std::string_view sexCode) {
  if (sexCode == "1") return 'M';
  if (sexCode == "2") return 'F';
  if (sexCode == "3") return 'X';
  return ' ';
}

}  // namespace meet
