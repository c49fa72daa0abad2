// The hub screen frmKijun ("基準") without its widgets: the folder state, the
// settings, the start-up sequence, "変更" (cmdHenko), "←" (cmdYomi), "申込"
// (cmdMoshikomi), and the table of the screens its buttons open. The hub's
// widgets and meetctl's `new` and `use` call these methods.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/platform.h"
#include "settings/folders.h"
#include "settings/settings.h"
#include "settings/settings_form.h"

namespace meet {

// The subfolders of every meet folder made by "←".
inline constexpr std::array<const char*, 3> kMeetSubfolders = {"goal", "lap", "img"};

// The entry program "申込" starts when MEETDESK_ENTRY_PROGRAM names none.
inline constexpr const char* kDefaultEntryProgram = "c:\\tarvesk\\mosi\\mosikomi.exe";

// MEETDESK_ENTRY_PROGRAM when set and not empty, else the default path.
std::string EntryProgramPath();

// One button of the hub that opens another screen. `savesFirst`: the folder
// configuration and the settings are written before the screen opens.
// `closesHub`: the hub closes once the screen is open, and the screen brings
// up a fresh hub when it ends.
struct ScreenLink {
  const char* button;   // control name ("cmdZikko")
  const char* caption;  // the button's text
  const char* screen;   // the screen it opens ("frmKyogi"); empty for the entry program
  bool savesFirst;
  bool closesHub;
};

// Every button of the hub that opens a screen or a program, in screen order.
std::span<const ScreenLink> ScreenMap();
// The row of a button, or nullptr.
const ScreenLink* FindScreenLink(std::string_view button);

// What the hub holds for every other screen: the folders in use, the
// settings, and the number of entries in the entry file.
struct HubState {
  Folders folders;
  Settings settings;
  int32_t entryCount = 0;
};

// The meet folder "←" makes for an entry file: the parent folder + the file's
// name up to its first "." (with the trailing "/"). An error when that name is
// empty.
Result<std::filesystem::path> MeetFolderForEntryFile(const std::filesystem::path& entryFile,
                                                     const std::filesystem::path& parentFolder);

// A text from the entry file header as a settings value: padding (blanks and
// NULs) removed at the end, a comma replaced by the full-width "，" and line
// ends and NULs inside by a blank, since a settings value holds none of them.
std::string SettingsTextFromHeader(std::string_view headerText);

// A header date "yyyy/mm/dd" as yyyymmdd: characters 1–4, 6–7 and 9–10 read
// by the leading-digits rule.
int32_t DateFromHeader(std::string_view headerDate);

struct TakeInResult {
  std::string meetFolder;  // ends in "/"
  bool folderExisted = false;
  std::string settingsBackup;  // where the old kijun.dat was kept, when there was one
};

class FrmKijunScreen {
 public:
  FrmKijunScreen(std::filesystem::path folderConfigFile, Platform& platform)
      : folderConfigFile_(std::move(folderConfigFile)), platform_(platform) {}

  // Start-up: the folder configuration, then the meet's settings (the
  // configuration's entry folder and file are kept when the meet has no
  // settings file), then the entry count from the entry file header, opened
  // for reading only (0 when it can't be opened).
  void StartUp();

  // "変更": `folder` becomes the meet folder; its settings are loaded (the entry
  // file shown is the one they record), then the folder configuration and
  // the settings are written.
  Status ChangeMeetFolder(const std::string& folder);

  // "←": takes the entry file into a meet folder under `parentFolder` named
  // after the file, with the subfolders goal, lap and img. A meet folder that
  // exists already is used as it is: nothing in it is deleted or overwritten
  // except kijun.dat (whose old copy is kept under backup/) and the folder
  // configuration, and the operator is told. The settings are reset and
  // filled from the entry file header, then the folder configuration and the
  // settings are written.
  Result<TakeInResult> TakeInEntryFile(const std::string& entryFile, const std::string& parentFolder);

  // "申込": writes the folder configuration and the settings, then starts the
  // entry program without waiting. Every failure is told to the operator
  // through the dialogs and returned.
  Status StartEntryProgram();

  // What a button marked "saves first" does before its screen opens.
  Status SaveBeforeOpening();

  // The settings fields' rules, bound to the meet folder and settings in use.
  SettingsForm Form() { return SettingsForm(state_.folders.meetFolder, state_.settings); }

  const HubState& state() const { return state_; }
  const Folders& folders() const { return state_.folders; }
  const Settings& settings() const { return state_.settings; }
  int32_t entryCount() const { return state_.entryCount; }
  const std::filesystem::path& folderConfigFile() const { return folderConfigFile_; }
  Platform& platform() { return platform_; }

 private:
  void LoadMeetSettings();
  void ReadEntryCount();
  Status SaveFoldersAndSettings();

  std::filesystem::path folderConfigFile_;
  Platform& platform_;
  HubState state_;
};

}  // namespace meet
