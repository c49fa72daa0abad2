#include "settings/settings.h"

#include <algorithm>
#include <functional>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"

namespace meet {

namespace {

struct SettingField {
  std::string name;
  bool isText;
  std::function<std::string(const Settings&)> get;
  std::function<void(Settings&, std::string_view)> set;
};

SettingField TextField(std::string name, std::string Settings::*member) {
  return {std::move(name), true, [member](const Settings& s) { return s.*member; },
          [member](Settings& s, std::string_view v) { s.*member = std::string(v); }};
}

SettingField Int16Field(std::string name, int16_t Settings::*member) {
  return {std::move(name), false, [member](const Settings& s) { return NumberText(s.*member); },
          [member](Settings& s, std::string_view v) { s.*member = LeadingInt16(v); }};
}

SettingField Int32Field(std::string name, int32_t Settings::*member) {
  return {std::move(name), false, [member](const Settings& s) { return NumberText(s.*member); },
          [member](Settings& s, std::string_view v) { s.*member = LeadingInt32(v); }};
}

template <size_t N>
SettingField ArrayField(std::string name, std::array<int16_t, N> Settings::*member, size_t index) {
  return {std::move(name), false, [member, index](const Settings& s) { return NumberText((s.*member)[index]); },
          [member, index](Settings& s, std::string_view v) { (s.*member)[index] = LeadingInt16(v); }};
}

// The 81 values in file order.
const std::vector<SettingField>& Fields() {
  static const std::vector<SettingField> fields = [] {
    std::vector<SettingField> f;
    f.push_back(TextField("entryFolder", &Settings::entryFolder));
    f.push_back(TextField("entryFileName", &Settings::entryFileName));
    f.push_back(TextField("meetCode", &Settings::meetCode));
    f.push_back(TextField("meetName", &Settings::meetName));
    f.push_back(TextField("meetAbbrev", &Settings::meetAbbrev));
    f.push_back(Int32Field("meetDateFrom", &Settings::meetDateFrom));
    f.push_back(Int32Field("meetDateTo", &Settings::meetDateTo));
    f.push_back(TextField("venue", &Settings::venue));
    f.push_back(TextField("courseMode", &Settings::courseMode));
    f.push_back(TextField("affiliationMode", &Settings::affiliationMode));
    f.push_back(TextField("seedingMode", &Settings::seedingMode));
    f.push_back(TextField("classMode", &Settings::classMode));
    f.push_back(TextField("extraRounds", &Settings::extraRounds));
    f.push_back(Int16Field("laneCount", &Settings::laneCount));
    f.push_back(Int16Field("minEntrants", &Settings::minEntrants));
    for (size_t i = 0; i < 15; ++i)
      f.push_back(ArrayField("printCopies." + std::to_string(i), &Settings::printCopies, i));
    for (size_t i = 0; i < 20; ++i)
      f.push_back(ArrayField("pointsIndividual." + std::to_string(i + 1), &Settings::pointsIndividual, i));
    for (size_t i = 0; i < 20; ++i)
      f.push_back(ArrayField("pointsRelay." + std::to_string(i + 1), &Settings::pointsRelay, i));
    f.push_back(TextField("poolType", &Settings::poolType));
    f.push_back(TextField("timingSide", &Settings::timingSide));
    f.push_back(TextField("timingSystem", &Settings::timingSystem));
    f.push_back(TextField("optionalCategories", &Settings::optionalCategories));
    f.push_back(TextField("prefecturePrint", &Settings::prefecturePrint));
    f.push_back(TextField("meetSpare", &Settings::meetSpare));
    f.push_back(Int16Field("laneCountUsed", &Settings::laneCountUsed));
    for (size_t i = 15; i < 18; ++i)
      f.push_back(ArrayField("printCopies." + std::to_string(i), &Settings::printCopies, i));
    f.push_back(TextField("lapText", &Settings::lapText));
    return f;
  }();
  return fields;
}

bool StartsWithDriveLetter(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// Values up to the next comma or line end; CR LF is one line end and blank
// lines are skipped.
std::vector<std::string> SplitValues(std::string_view text) {
  std::vector<std::string> values;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of(",\r\n", i);
    if (end == std::string_view::npos) {
      values.emplace_back(text.substr(i));
      break;
    }
    values.emplace_back(text.substr(i, end - i));
    if (text[end] == ',') {
      i = end + 1;
      if (i == text.size()) values.emplace_back();
    } else {
      i = end;
      while (i < text.size() && (text[i] == '\r' || text[i] == '\n')) ++i;
    }
  }
  return values;
}

void ApplyLaneRules(Settings& s) {
  // Lane counts outside the choices 4..10 are used as the nearest choice.
  if (s.laneCount < 5) s.laneCount = 4;
  if (s.laneCount > 10) s.laneCount = 10;
  if (s.laneCountUsed <= 0 || s.laneCountUsed > s.laneCount) s.laneCountUsed = s.laneCount;
}

}  // namespace

const std::vector<std::string>& SettingsValueNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto& f : Fields()) n.push_back(f.name);
    return n;
  }();
  return names;
}

void ResetSettings(Settings& s) {
  s.meetCode.clear();
  s.meetName.clear();
  s.meetAbbrev.clear();
  s.meetDateFrom = 0;
  s.meetDateTo = 0;
  s.venue.clear();
  s.courseMode.clear();
  s.affiliationMode.clear();
  s.seedingMode.clear();
  s.classMode.clear();
  s.extraRounds.clear();
  s.laneCount = 4;
  s.minEntrants = 0;
  for (size_t i = 0; i < 15; ++i) s.printCopies[i] = 0;
  s.pointsIndividual.fill(0);
  s.pointsRelay.fill(0);
  s.poolType.clear();
  s.timingSide.clear();
  s.timingSystem.clear();
}

void ParseSettings(std::string_view fileBytes, const std::filesystem::path& meetFolder, Settings& s) {
  std::vector<std::string> values = SplitValues(DecodeCp932(fileBytes));
  const auto& fields = Fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    fields[i].set(s, i < values.size() ? std::string_view(values[i]) : std::string_view("0"));
    if (i == 0) {
      std::string meet = meetFolder.string();
      if (StartsWithDriveLetter(s.entryFolder) && StartsWithDriveLetter(meet)) s.entryFolder[0] = meet[0];
    }
  }
  ApplyLaneRules(s);
}

void LoadSettings(const std::filesystem::path& meetFolder, Settings& s) {
  auto bytes = ReadFileHead(FindFile(meetFolder, kSettingsFileName), kMaxSettingsFileBytes);
  if (!bytes) {
    ResetSettings(s);
    ApplyLaneRules(s);
    return;
  }
  ParseSettings(*bytes, meetFolder, s);
}

std::vector<std::string> SettingsValues(const Settings& s) {
  std::vector<std::string> values;
  for (const auto& f : Fields()) values.push_back(f.get(s));
  return values;
}

std::string SettingsLine(const Settings& s) {
  std::string line;
  bool first = true;
  for (const auto& v : SettingsValues(s)) {
    if (!first) line += ',';
    line += v;
    first = false;
  }
  line += "\r\n";
  return line;
}

Status CheckSettingText(std::string_view label, std::string_view value) {
  if (value.find(',') != std::string_view::npos)
    return Fail(ErrorKind::Invalid, std::string(label) + " に「,」（コンマ）は使えません。");
  if (value.find_first_of("\r\n") != std::string_view::npos)
    return Fail(ErrorKind::Invalid, std::string(label) + " に改行は使えません。");
  if (value.find('\0') != std::string_view::npos)
    return Fail(ErrorKind::Invalid, std::string(label) + " に NUL 文字は使えません。");
  if (AnsiLen(value) > kMaxSettingText)
    return Fail(ErrorKind::Invalid, std::string(label) + " が長すぎます（" + std::to_string(kMaxSettingText) +
                                        " バイトまで）。");
  // A character CP932 lacks would be stored as "?": find the first one.
  for (size_t i = 0; i < value.size();) {
    size_t n = 1;
    while (i + n < value.size() && (static_cast<unsigned char>(value[i + n]) & 0xC0) == 0x80) ++n;
    const std::string_view ch = value.substr(i, n);
    if (DecodeCp932(EncodeCp932(ch)) != ch)
      return Fail(ErrorKind::Invalid, std::string(label) + " に CP932 で表せない文字があります: " + std::string(ch));
    i += n;
  }
  return {};
}

int HeldPrintCopies(int stored) { return std::clamp(stored, 0, kMaxPrintCopies); }

std::string PrintCopiesNotice(const Settings& s) {
  std::string names;
  for (size_t i = 0; i < s.printCopies.size(); ++i)
    if (s.printCopies[i] != HeldPrintCopies(s.printCopies[i]))
      names += (names.empty() ? "" : "、") + std::string("printCopies.") + std::to_string(i) + "=" +
               std::to_string(s.printCopies[i]);
  if (names.empty()) return {};
  return "kijun.dat の印刷枚数が 0～" + std::to_string(kMaxPrintCopies) + " の外です（" + names + "）。0～" +
         std::to_string(kMaxPrintCopies) + " に収めて印刷します。";
}

Status SaveSettings(const std::filesystem::path& meetFolder, const Settings& s) {
  const auto& fields = Fields();
  for (const auto& f : fields) {
    if (!f.isText) continue;
    if (auto ok = CheckSettingText(f.name, f.get(s)); !ok) return ok;
  }
  return WriteWholeFile(FindFile(meetFolder, kSettingsFileName), EncodeCp932(SettingsLine(s)));
}

std::string DateDisplay(int32_t yyyymmdd) {
  std::string digits = std::to_string(static_cast<int64_t>(yyyymmdd) + 100000000);
  std::string last8 = digits.size() >= 8 ? digits.substr(digits.size() - 8) : std::string(8 - digits.size(), '0') + digits;
  return last8.substr(0, 4) + "/" + last8.substr(4, 2) + "/" + last8.substr(6, 2);
}

}  // namespace meet
