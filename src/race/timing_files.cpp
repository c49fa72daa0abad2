#include "race/timing_files.h"

#include <fstream>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/time_code.h"

namespace meet {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view v) {
  while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
  return v;
}

// A text right-aligned in 8 characters; a longer one keeps its first 8.
std::string Width8(std::string_view text) {
  std::string t = CutToWidth(text, 8);
  return PadLeftToWidth(t, 8);
}

// mm, ss and hh of a split text read from positions 1–2, 4–5 and 7–8 of its
// 8-character form, or nothing when a part is not digits.
std::optional<int> Hundredths(std::string_view text8) {
  if (text8.size() != 8) return std::nullopt;
  auto part = [&](size_t at) -> std::optional<int> {
    int v = 0;
    for (size_t i = at; i < at + 2; ++i) {
      const char c = text8[i];
      if (c == ' ') continue;
      if (c < '0' || c > '9') return std::nullopt;
      v = v * 10 + (c - '0');
    }
    return v;
  };
  auto mm = part(0), ss = part(3), hh = part(6);
  if (!mm || !ss || !hh) return std::nullopt;
  return (*mm * 60 + *ss) * 100 + *hh;
}

}  // namespace

std::vector<std::string> SplitTimingLine(std::string_view line) {
  std::vector<std::string> values;
  size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::string value;
    if (i < line.size() && line[i] == '"') {
      // A quoted text runs to the next quote; what follows up to the comma is dropped.
      const size_t close = line.find('"', i + 1);
      value = std::string(line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
      i = close == std::string_view::npos ? line.size() : close + 1;
      const size_t comma = line.find(',', i);
      i = comma == std::string_view::npos ? line.size() : comma;
    } else {
      const size_t comma = line.find(',', i);
      const size_t end = comma == std::string_view::npos ? line.size() : comma;
      value = std::string(Trimmed(line.substr(i, end - i)));
      i = end;
    }
    values.push_back(std::move(value));
    if (i >= line.size()) break;
    ++i;  // the comma
  }
  return values;
}

std::vector<std::vector<std::string>> ReadTimingFile(const std::filesystem::path& path) {
  std::vector<std::vector<std::string>> lines;
  auto bytes = ReadFileHead(path, kMaxTimingFileBytes);
  if (!bytes) return lines;
  const std::string text = DecodeCp932(*bytes);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(SplitTimingLine(line));
    start = end + 1;
  }
  return lines;
}

std::vector<std::optional<GoalLine>> ReadGoalFile(const std::filesystem::path& meetFolder, int race) {
  std::vector<std::optional<GoalLine>> slots(10);
  const auto lines = ReadTimingFile(GoalFilePath(meetFolder, race));
  for (size_t i = 0; i < slots.size() && i < lines.size(); ++i) {
    const auto& v = lines[i];
    if (v.size() < 2) continue;
    slots[i] = GoalLine{LeadingInt16(v[0]), LeadingInt32(v[1])};
  }
  return slots;
}

std::vector<LapLine> ReadLapFile(const std::filesystem::path& meetFolder, int race) {
  std::vector<LapLine> laps;
  for (const auto& v : ReadTimingFile(LapFilePath(meetFolder, race))) {
    if (v.empty() || (v.size() == 1 && v[0].empty())) continue;  // a blank line
    LapLine line;
    const int64_t lane = LeadingNumber(v[0]);
    line.lane = lane >= 1 && lane <= 10 ? static_cast<int>(lane) : 0;
    if (v.size() > 1) line.time = Width8(v[1]);
    if (v.size() > 2) line.finish = v[2] == "G" || v[2] == "g";
    laps.push_back(std::move(line));
  }
  return laps;
}

LapTimes readLapTimes(const std::vector<LapLine>& laps, int lane, int32_t finalTime) {
  LapTimes out;
  if (lane < 1 || lane > 10) return out;
  for (const LapLine& line : laps) {
    if (line.lane != lane) continue;
    if (out.count() >= kMaxLaps) break;
    out.texts.push_back(line.time.empty() ? std::string(8, ' ') : line.time);
    if (line.finish) break;
  }
  if (!out.texts.empty() && finalTime != 0 && finalTime != kNoRecord)
    out.texts.back() = PadLeftToWidth(FormatTime(finalTime), 8);
  return out;
}

LapTimes readLapTimes(const std::filesystem::path& meetFolder, int race, int lane, int32_t finalTime) {
  return readLapTimes(ReadLapFile(meetFolder, race), lane, finalTime);
}

std::string lapDifference(std::string_view earlier, std::string_view later) {
  // The times are compared by value, not as texts: the last split is the
  // final time as the desk writes it ("   30.12", " 1:05.12") while the
  // timing system writes "00:15.10", and as texts every such final time
  // under ten minutes would sort before the splits and lose its lap.
  const std::string e = Width8(earlier), l = Width8(later);
  const auto from = Hundredths(e), to = Hundredths(l);
  if (!from || !to || *to < *from) return {};
  const int d = *to - *from;
  const int minutes = d / 6000, seconds = d / 100 % 60, hundredths = d % 100;
  return FormatTime(minutes * 10000 + seconds * 100 + hundredths);
}

}  // namespace meet
