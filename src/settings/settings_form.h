// The rules of the settings fields on the hub screen: what each option
// button, date, lane count, text and number field does to the settings when
// the operator clicks it or presses Enter, and what the fields show. Every
// change is written to kijun.dat at once. The hub's widgets only pass texts
// and clicks to this class.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "settings/settings.h"

namespace meet {

// What the screen shows for the settings (`ShowSettings`): field texts and
// enabled states by control name ("txtInsatu_3", "cmdGodo"), the selected
// button of each option group by group name (-1 when none).
struct SettingsView {
  std::map<std::string, std::string> texts;
  std::map<std::string, int> options;
  std::map<std::string, bool> enabled;
  std::map<std::string, bool> checked;
  int laneCountChoice = 0;  // cboKousu list position (laneCount − 4)
};

// The result of a field's Enter: the text the field shows afterwards and the
// control the cursor moves to, if it moves.
struct FieldCommit {
  std::string shownText;
  std::optional<std::string> focusTo;
};

// True for eight digits yyyymmdd naming a real day (year 1900 on).
bool IsCalendarDate(std::string_view yyyymmdd);

class SettingsForm {
 public:
  SettingsForm(std::filesystem::path meetFolder, Settings& settings)
      : meetFolder_(std::move(meetFolder)), settings_(settings) {}

  SettingsView View() const;

  // An option button: the group is its control name (optSuiro, optBotai,
  // optNarabi, optKubun, optJketu, optPool, optSide, optKeizi, optLpP).
  Status ClickOption(std::string_view group, int index);

  // Dates (which = 1 for txtKizitu1, 2 for txtKizitu2). While the field holds
  // "/", the next key press empties it.
  static bool KeyPressClearsDate(std::string_view fieldText) {
    return fieldText.find('/') != std::string_view::npos;
  }
  // Enter: only a text of exactly eight characters is taken as yyyymmdd. An
  // impossible date, or a first day after the last (a last day before the
  // first), is refused with nothing written.
  Result<std::optional<FieldCommit>> EnterDate(int which, std::string_view fieldText);

  // cboKousu: list position + 4 becomes laneCount in memory only.
  void ChooseLaneCount(int listPosition);
  // txtKousu, on every change: returns the text the field shows.
  Result<std::string> ChangeLaneCountUsed(std::string_view fieldText);

  // The meet's identity texts on Enter: txtCod, txtNamae, txtRyaku, txtBasho.
  Result<FieldCommit> EnterText(std::string_view control, std::string_view text);

  // Number fields on Enter with the text before the cursor: txtSeiritu,
  // txtInsatu (index 0..17), txtIten and txtRten (index 0..19), txtmLap.
  Result<FieldCommit> EnterNumber(std::string_view control, int index, std::string_view textBeforeCaret);

  Status SetOptionalCategories(bool ticked);  // chkOptKubun
  Status SetPrefecturePrint(bool ticked);     // chkLpP

  // Takes a value by its name in the settings file ("venue", "printCopies.3",
  // "laneCount"), through the rule of its screen field, and saves. The CLI's
  // `settings set`. Returns the stored value as written to the file.
  Result<std::string> SetByName(std::string_view name, std::string_view value);

  const Settings& settings() const { return settings_; }

 private:
  Status Save() { return SaveSettings(meetFolder_, settings_); }
  std::filesystem::path meetFolder_;
  Settings& settings_;
};

}  // namespace meet
