#include "settings/settings_form.h"

#include <array>

#include "core/numbers.h"

namespace meet {

namespace {

struct OptionGroup {
  const char* control;
  std::string Settings::*member;
  int buttons;
};

constexpr std::array<OptionGroup, 8> kOptionGroups = {{
    {"optSuiro", &Settings::courseMode, 2},
    {"optBotai", &Settings::affiliationMode, 4},
    {"optNarabi", &Settings::seedingMode, 5},
    {"optKubun", &Settings::classMode, 3},
    {"optJketu", &Settings::extraRounds, 3},
    {"optPool", &Settings::poolType, 2},
    {"optSide", &Settings::timingSide, 2},
    {"optKeizi", &Settings::timingSystem, 2},
}};

const OptionGroup* FindGroup(std::string_view control) {
  for (const auto& g : kOptionGroups)
    if (control == g.control) return &g;
  return nullptr;
}

int SelectedIndex(const std::string& digit, int buttons) {
  if (digit.size() != 1 || digit[0] < '0' || digit[0] >= '0' + buttons) return -1;
  return digit[0] - '0';
}

struct IdentityField {
  const char* control;
  const char* label;
  std::string Settings::*member;
};

constexpr std::array<IdentityField, 4> kIdentityFields = {{
    {"txtCod", "コ ー ド", &Settings::meetCode},
    {"txtNamae", "大会名", &Settings::meetName},
    {"txtRyaku", "大会略", &Settings::meetAbbrev},
    {"txtBasho", "場   所", &Settings::venue},
}};

std::string Indexed(std::string_view control, int index) { return std::string(control) + "_" + std::to_string(index); }

}  // namespace

SettingsView SettingsForm::View() const {
  const Settings& s = settings_;
  SettingsView v;
  for (const auto& f : kIdentityFields) v.texts[f.control] = s.*f.member;
  v.texts["txtKizitu1"] = DateDisplay(s.meetDateFrom);
  v.texts["txtKizitu2"] = DateDisplay(s.meetDateTo);
  v.texts["txtSeiritu"] = NumberText(s.minEntrants);
  for (int i = 0; i < 18; ++i) v.texts[Indexed("txtInsatu", i)] = NumberText(s.printCopies[i]);
  for (int i = 0; i < 20; ++i) {
    v.texts[Indexed("txtIten", i)] = NumberText(s.pointsIndividual[i]);
    v.texts[Indexed("txtRten", i)] = NumberText(s.pointsRelay[i]);
  }
  v.texts["txtKousu"] = NumberText(s.laneCountUsed);
  v.texts["txtmLap"] = s.lapText;
  v.texts["txtMosiFile"] = s.entryFileName;
  v.texts["lblDr_m"] = s.entryFolder;
  v.laneCountChoice = s.laneCount - 4;
  for (const auto& g : kOptionGroups) v.options[g.control] = SelectedIndex(s.*g.member, g.buttons);

  bool automatic = s.timingSystem == "1";
  for (int i = 15; i < 18; ++i) v.enabled[Indexed("txtInsatu", i)] = automatic;
  v.enabled["cmdGodo"] = s.seedingMode == "4";
  v.checked["chkOptKubun"] = s.optionalCategories == "1";
  v.enabled["cmdOptKubun"] = s.optionalCategories == "1";
  bool prefecture = s.prefecturePrint == "1" || s.prefecturePrint == "2";
  v.checked["chkLpP"] = prefecture;
  v.enabled["optLpP_0"] = prefecture;
  v.enabled["optLpP_1"] = prefecture;
  v.options["optLpP"] = s.prefecturePrint == "1" ? 0 : (s.prefecturePrint == "2" ? 1 : -1);
  return v;
}

Status SettingsForm::ClickOption(std::string_view group, int index) {
  if (group == "optLpP") {
    if (index != 0 && index != 1) return Fail(ErrorKind::Invalid, "optLpP の番号は 0 か 1 です。");
    settings_.prefecturePrint = index == 0 ? "1" : "2";
    return Save();
  }
  const OptionGroup* g = FindGroup(group);
  if (!g) return Fail(ErrorKind::Invalid, "不明な選択項目です: " + std::string(group));
  if (index < 0 || index >= g->buttons)
    return Fail(ErrorKind::Invalid, std::string(group) + " の番号は 0 から " + std::to_string(g->buttons - 1) + " です。");
  settings_.*(g->member) = std::string(1, static_cast<char>('0' + index));
  return Save();
}

bool IsCalendarDate(std::string_view yyyymmdd) {
  if (yyyymmdd.size() != 8) return false;
  for (char c : yyyymmdd)
    if (c < '0' || c > '9') return false;
  const int32_t n = LeadingInt32(yyyymmdd);
  const int year = n / 10000, month = n / 100 % 100, day = n % 100;
  if (year < 1900 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

Result<std::optional<FieldCommit>> SettingsForm::EnterDate(int which, std::string_view fieldText) {
  if (which != 1 && which != 2) return Fail(ErrorKind::Invalid, "日付の欄は 1 か 2 です。");
  if (fieldText.size() != 8) return std::optional<FieldCommit>{};
  int32_t date = LeadingInt32(fieldText);
  if (!IsCalendarDate(fieldText))
    return Fail(ErrorKind::Invalid, "日付 " + std::string(fieldText) + " はありません（yyyymmdd で入力してください）。");
  const int32_t other = which == 1 ? settings_.meetDateTo : settings_.meetDateFrom;
  if (other != 0 && (which == 1 ? date > other : date < other))
    return Fail(ErrorKind::Invalid, which == 1 ? "初日が最終日（" + DateDisplay(other) +
                                                     "）より後になります。先に最終日を入力してください。"
                                               : "最終日が初日（" + DateDisplay(other) + "）より前になります。");
  (which == 1 ? settings_.meetDateFrom : settings_.meetDateTo) = date;
  if (auto ok = Save(); !ok) return std::unexpected(ok.error());
  FieldCommit commit{DateDisplay(date), std::nullopt};
  if (which == 1) commit.focusTo = "txtKizitu2";
  return std::optional<FieldCommit>(commit);
}

void SettingsForm::ChooseLaneCount(int listPosition) {
  if (listPosition < 0) listPosition = 0;
  if (listPosition > 6) listPosition = 6;
  settings_.laneCount = static_cast<int16_t>(listPosition + 4);
}

Result<std::string> SettingsForm::ChangeLaneCountUsed(std::string_view fieldText) {
  std::string shown(fieldText);
  int16_t used = LeadingInt16(fieldText);
  if (used > settings_.laneCount) {
    used = settings_.laneCount;
    shown = NumberText(used);
  }
  // 0 (an emptied field) means "all lanes", as a stored 0 does when loading.
  settings_.laneCountUsed = used <= 0 ? settings_.laneCount : used;
  if (auto ok = Save(); !ok) return std::unexpected(ok.error());
  return shown;
}

Result<FieldCommit> SettingsForm::EnterText(std::string_view control, std::string_view text) {
  for (const auto& f : kIdentityFields) {
    if (control != f.control) continue;
    if (auto ok = CheckSettingText(f.label, text); !ok) return std::unexpected(ok.error());
    settings_.*f.member = std::string(text);
    if (auto ok = Save(); !ok) return std::unexpected(ok.error());
    return FieldCommit{std::string(text), std::nullopt};
  }
  return Fail(ErrorKind::Invalid, "不明な入力欄です: " + std::string(control));
}

Result<FieldCommit> SettingsForm::EnterNumber(std::string_view control, int index, std::string_view before) {
  FieldCommit commit;
  if (control == "txtmLap") {
    if (auto ok = CheckSettingText("ラップ", before); !ok) return std::unexpected(ok.error());
    settings_.lapText = std::string(before);
    commit.shownText = settings_.lapText;
  } else if (control == "txtSeiritu") {
    settings_.minEntrants = LeadingInt16(before);
    commit.shownText = NumberText(settings_.minEntrants);
  } else if (control == "txtInsatu") {
    if (index < 0 || index > 17) return Fail(ErrorKind::Invalid, "印刷枚数の番号は 0 から 17 です。");
    const int copies = LeadingInt16(before);
    // Copies are printed held to 0..99 anyway; a count beyond is a slip of the
    // keyboard, not kept to print a stack of sheets later.
    if (copies < 0 || copies > kMaxPrintCopies)
      return Fail(ErrorKind::Invalid, "印刷枚数は 0 から " + std::to_string(kMaxPrintCopies) + " 枚です。");
    settings_.printCopies[index] = copies;
    commit.shownText = NumberText(settings_.printCopies[index]);
    if (index < 17) commit.focusTo = Indexed("txtInsatu", index + 1);
  } else if (control == "txtIten" || control == "txtRten") {
    if (index < 0 || index > 19) return Fail(ErrorKind::Invalid, "得点の番号は 0 から 19 です。");
    auto& points = control == "txtIten" ? settings_.pointsIndividual : settings_.pointsRelay;
    points[index] = LeadingInt16(before);
    commit.shownText = NumberText(points[index]);
    if (index < 19) commit.focusTo = Indexed(control, index + 1);
  } else {
    return Fail(ErrorKind::Invalid, "不明な入力欄です: " + std::string(control));
  }
  if (auto ok = Save(); !ok) return std::unexpected(ok.error());
  return commit;
}

Status SettingsForm::SetOptionalCategories(bool ticked) {
  settings_.optionalCategories = ticked ? "1" : "0";
  return Save();
}

Status SettingsForm::SetPrefecturePrint(bool ticked) {
  settings_.prefecturePrint = ticked ? "2" : "0";
  return Save();
}

Result<std::string> SettingsForm::SetByName(std::string_view name, std::string_view value) {
  auto storedValue = [&](std::string_view n) -> std::string {
    const auto& names = SettingsValueNames();
    auto values = SettingsValues(settings_);
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == n) return values[i];
    return {};
  };
  auto done = [&](const Status& st) -> Result<std::string> {
    if (!st) return std::unexpected(st.error());
    return storedValue(name);
  };
  auto optionIndex = [&](int buttons) -> std::optional<int> {
    if (value.size() == 1 && value[0] >= '0' && value[0] < '0' + buttons) return value[0] - '0';
    return std::nullopt;
  };

  static const std::map<std::string, std::string, std::less<>> kOptionByName = {
      {"courseMode", "optSuiro"},   {"affiliationMode", "optBotai"}, {"seedingMode", "optNarabi"},
      {"classMode", "optKubun"},    {"extraRounds", "optJketu"},     {"poolType", "optPool"},
      {"timingSide", "optSide"},    {"timingSystem", "optKeizi"}};
  if (auto it = kOptionByName.find(name); it != kOptionByName.end()) {
    auto index = optionIndex(FindGroup(it->second)->buttons);
    if (!index) return Fail(ErrorKind::Invalid, std::string(name) + " に使える値は 0 から " +
                                                     std::to_string(FindGroup(it->second)->buttons - 1) + " です。");
    return done(ClickOption(it->second, *index));
  }
  static const std::map<std::string, std::string, std::less<>> kTextByName = {
      {"meetCode", "txtCod"}, {"meetName", "txtNamae"}, {"meetAbbrev", "txtRyaku"}, {"venue", "txtBasho"}};
  if (auto it = kTextByName.find(name); it != kTextByName.end()) {
    auto r = EnterText(it->second, value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  if (name == "meetDateFrom" || name == "meetDateTo") {
    if (value.size() != 8) return Fail(ErrorKind::Invalid, "日付は yyyymmdd の 8 文字で入力してください。");
    auto r = EnterDate(name == "meetDateFrom" ? 1 : 2, value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  if (name == "laneCount") {
    int16_t lanes = LeadingInt16(value);
    if (lanes < 4 || lanes > 10) return Fail(ErrorKind::Invalid, "コース数は 4 から 10 です。");
    ChooseLaneCount(lanes - 4);
    if (settings_.laneCountUsed > settings_.laneCount) settings_.laneCountUsed = settings_.laneCount;
    return done(Save());
  }
  if (name == "laneCountUsed") {
    auto r = ChangeLaneCountUsed(value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  if (name == "minEntrants" || name == "lapText") {
    auto r = EnterNumber(name == "minEntrants" ? "txtSeiritu" : "txtmLap", 0, value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  auto indexedName = [&](std::string_view prefix, int first, int last) -> std::optional<int> {
    if (name.substr(0, prefix.size()) != prefix) return std::nullopt;
    std::string_view rest = name.substr(prefix.size());
    if (rest.empty() || rest.size() > 2 || rest.find_first_not_of("0123456789") != std::string_view::npos)
      return std::nullopt;
    int k = static_cast<int>(LeadingNumber(rest));
    if (k < first || k > last) return std::nullopt;
    return k;
  };
  if (auto k = indexedName("printCopies.", 0, 17)) {
    auto r = EnterNumber("txtInsatu", *k, value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  if (auto k = indexedName("pointsIndividual.", 1, 20)) {
    auto r = EnterNumber("txtIten", *k - 1, value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  if (auto k = indexedName("pointsRelay.", 1, 20)) {
    auto r = EnterNumber("txtRten", *k - 1, value);
    if (!r) return std::unexpected(r.error());
    return storedValue(name);
  }
  if (name == "optionalCategories") {
    if (value != "0" && value != "1") return Fail(ErrorKind::Invalid, "optionalCategories は 0 か 1 です。");
    return done(SetOptionalCategories(value == "1"));
  }
  if (name == "prefecturePrint") {
    if (value == "0") return done(SetPrefecturePrint(false));
    if (value == "1" || value == "2") return done(ClickOption("optLpP", value == "1" ? 0 : 1));
    return Fail(ErrorKind::Invalid, "prefecturePrint は 0、1、2 のどれかです。");
  }
  return Fail(ErrorKind::Invalid, "この名前の設定はありません（画面から変えられません）: " + std::string(name));
}

}  // namespace meet
