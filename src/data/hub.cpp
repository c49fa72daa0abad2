#include "data/hub.h"

#include <array>
#include <cstdlib>
#include <system_error>

#include "core/backup.h"
#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "data/entry_file.h"

namespace meet {

namespace fs = std::filesystem;

namespace {

constexpr std::array<ScreenLink, 13> kScreenMap = {{
    {"cmdZikko", "競技会システム", "frmKyogi", true, true},
    {"cmdProjun", "競技順", "frmProjun", true, true},
    {"cmdHangumi", "競技組合せ", "frmHangumi", false, false},
    {"cmdMkPage", "ページ", "frmMkPage", true, false},
    {"cmdLpPage", "プログラム", "frmLpPage", false, false},
    {"cmdKiroku", "記録", "frmShikaku", true, true},
    {"cmdTokuten", "得点処理", "frmTokuten", true, true},
    {"cmdAto", "ランキング", "frmRanking", false, true},
    {"cmdKekka", "結果(kek)", "frmKekka", false, false},
    {"cmdOptKubun", "作成", "frmOptKubun", true, false},
    {"cmdGodo", "作成", "frmOptKubun", true, false},
    {"cmdMoshikomi", "申込", "", true, false},
    {"cmdAto2", "日水報告", "", false, false},
}};

// A folder as given by a picker or the command line, made absolute so that
// the folder configuration does not depend on the working folder.
fs::path AbsoluteFolder(const std::string& folder) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(folder), ec);
  if (ec) p = folder;
  return p.lexically_normal();
}

std::string FolderText(const fs::path& folder) { return WithTrailingSeparator(WithoutTrailingSeparator(folder.string())); }

// The old settings of a meet folder that "←" takes over, kept under backup/
// with the time it was replaced.
Result<std::string> KeepSettingsCopy(const fs::path& meetFolder, const Clock& clock) {
  auto kept = KeepBackup(meetFolder, FindFile(meetFolder, kSettingsFileName), clock.Now());
  if (!kept) return std::unexpected(kept.error());
  return kept->string();
}

// The folder configuration and the settings hold paths as comma-separated
// values: a path with a comma or a line end could not be kept, so the command
// is refused before anything changes.
Status CheckKeepable(std::string_view what, const std::string& path) {
  if (path.find_first_of(",\r\n") == std::string::npos) return {};
  return Fail(ErrorKind::Invalid, std::string(what) + " " + path +
                                      " の名前に「,」か改行があるので使えません（フォルダー設定・設定ファイルに書けません）。");
}

}  // namespace

std::string EntryProgramPath() {
  if (const char* env = std::getenv("MEETDESK_ENTRY_PROGRAM"); env && *env) return env;
  return kDefaultEntryProgram;
}

std::span<const ScreenLink> ScreenMap() { return kScreenMap; }

const ScreenLink* FindScreenLink(std::string_view button) {
  for (const auto& link : kScreenMap)
    if (button == link.button) return &link;
  return nullptr;
}

Result<fs::path> MeetFolderForEntryFile(const fs::path& entryFile, const fs::path& parentFolder) {
  std::string name = entryFile.filename().string();
  std::string meetName = name.substr(0, name.find('.'));
  if (meetName.empty())
    return Fail(ErrorKind::Invalid, "申込データ「" + name + "」の名前（最初の「.」より前）が空なので、競技フォルダーを作れません。");
  return parentFolder / meetName;
}

std::string SettingsTextFromHeader(std::string_view headerText) {
  std::string text = TrimRight(headerText);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ',')
      out += "，";
    else if (c == '\r' || c == '\n' || c == '\0')
      out += ' ';
    else
      out += c;
  }
  return out;
}

int32_t DateFromHeader(std::string_view d) {
  auto part = [&](size_t at, size_t n) { return at < d.size() ? std::string(d.substr(at, n)) : std::string(); };
  return LeadingInt32(part(0, 4) + part(5, 2) + part(8, 2));
}

void FrmKijunScreen::LoadMeetSettings() {
  Settings& s = state_.settings;
  Folders& f = state_.folders;
  // The meet's settings file records the entry file; without one the entry
  // folder and file in use are kept.
  s.entryFolder = f.entryFolder;
  s.entryFileName = f.entryFileName;
  LoadSettings(f.meetFolder, s);
  f.entryFolder = s.entryFolder;
  f.entryFileName = s.entryFileName;
}

void FrmKijunScreen::ReadEntryCount() {
  state_.entryCount = 0;
  auto file = EntryFile::OpenForReading(EntryFilePath(state_.folders.entryFolder, state_.folders.entryFileName));
  if (file) state_.entryCount = file->entriesHeld();
}

void FrmKijunScreen::StartUp() {
  state_ = HubState{};
  if (auto ok = LoadFolders(folderConfigFile_, state_.folders); !ok) platform_.dialogs.Notify(ok.error().message);
  LoadMeetSettings();
  ReadEntryCount();
}

Status FrmKijunScreen::SaveFoldersAndSettings() {
  if (auto ok = SaveFolders(folderConfigFile_, state_.folders); !ok) return ok;
  return SaveSettings(state_.folders.meetFolder, state_.settings);
}

Status FrmKijunScreen::SaveBeforeOpening() { return SaveFoldersAndSettings(); }

Status FrmKijunScreen::ChangeMeetFolder(const std::string& folder) {
  if (folder.empty()) return Fail(ErrorKind::Invalid, "大会ファイルのフォルダーが選ばれていません。");
  fs::path dir = AbsoluteFolder(folder);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return Fail(ErrorKind::NotFound, "フォルダー " + dir.string() + " がありません。");
  if (auto ok = CheckKeepable("フォルダー", dir.string()); !ok) return ok;
  state_.folders.meetFolder = FolderText(dir);
  LoadMeetSettings();
  ReadEntryCount();
  return SaveFoldersAndSettings();
}

Result<TakeInResult> FrmKijunScreen::TakeInEntryFile(const std::string& entryFile, const std::string& parentFolder) {
  if (entryFile.empty()) return Fail(ErrorKind::Invalid, "申込データ（*.Mos）が選ばれていません。");
  if (parentFolder.empty()) return Fail(ErrorKind::Invalid, "競技フォルダーを作るフォルダーが選ばれていません。");
  fs::path mos = AbsoluteFolder(entryFile);
  fs::path parent = AbsoluteFolder(parentFolder);
  std::error_code ec;
  if (!fs::is_regular_file(mos, ec)) return Fail(ErrorKind::NotFound, "申込データ " + mos.string() + " がありません。");
  if (!fs::is_directory(parent, ec)) return Fail(ErrorKind::NotFound, "フォルダー " + parent.string() + " がありません。");
  auto meetDir = MeetFolderForEntryFile(mos, parent);
  if (!meetDir) return std::unexpected(meetDir.error());
  if (auto ok = CheckKeepable("申込データ", mos.string()); !ok) return std::unexpected(ok.error());
  if (auto ok = CheckKeepable("競技フォルダー", meetDir->string()); !ok) return std::unexpected(ok.error());

  TakeInResult result;
  result.folderExisted = fs::exists(*meetDir, ec);
  if (result.folderExisted && !fs::is_directory(*meetDir, ec))
    return Fail(ErrorKind::Refused, meetDir->string() + " はフォルダーではないファイルなので、競技フォルダーにできません。");
  for (const fs::path& dir : {*meetDir, *meetDir / kMeetSubfolders[0], *meetDir / kMeetSubfolders[1],
                              *meetDir / kMeetSubfolders[2]}) {
    fs::create_directory(dir, ec);
    if (ec || !fs::is_directory(dir, ec))
      return Fail(ErrorKind::Io, "フォルダー " + dir.string() + " を作れません" + (ec ? ": " + ec.message() : "。"));
  }

  auto opened = EntryFile::Open(mos, platform_.clock);
  if (!opened) return std::unexpected(opened.error());
  const EntryHeader header = opened->header();
  const int32_t entries = opened->entriesHeld();

  if (result.folderExisted) {
    auto kept = KeepSettingsCopy(*meetDir, platform_.clock);
    if (!kept) return std::unexpected(kept.error());
    result.settingsBackup = *kept;
  }

  Settings& s = state_.settings;
  ResetSettings(s);
  s.meetCode = SettingsTextFromHeader(header.entryMeetCode);
  s.meetAbbrev = SettingsTextFromHeader(header.entryMeetAbbrev);
  s.meetDateFrom = DateFromHeader(header.entryDateFrom);
  s.meetDateTo = DateFromHeader(header.entryDateTo);
  s.venue = SettingsTextFromHeader(header.entryVenue);
  // The course as the settings digit; a value the entry program never
  // writes leaves the course unset, as the defaults do.
  s.courseMode = header.entryCourse >= 0 && header.entryCourse <= 9 ? NumberText(header.entryCourse) : std::string();
  for (int i = 0; i <= 9; ++i) s.printCopies[i] = 1;
  // The second lane count is never above the lane count, which the reset made 4.
  if (s.laneCountUsed <= 0 || s.laneCountUsed > s.laneCount) s.laneCountUsed = s.laneCount;
  s.entryFolder = FolderText(mos.parent_path());
  s.entryFileName = mos.filename().string();

  state_.folders.meetFolder = FolderText(*meetDir);
  state_.folders.entryFolder = s.entryFolder;
  state_.folders.entryFileName = s.entryFileName;
  state_.entryCount = entries;
  result.meetFolder = state_.folders.meetFolder;

  if (auto ok = SaveFoldersAndSettings(); !ok) return std::unexpected(ok.error());

  if (result.folderExisted) {
    std::string text = "競技フォルダー " + result.meetFolder +
                       " は既にあるので、そのまま使います。\n中のファイルは消さず、上書きもしていません。設定（" +
                       kSettingsFileName + "）だけを申込データから作り直しました。";
    if (!result.settingsBackup.empty()) text += "\n前の設定は " + result.settingsBackup + " に残してあります。";
    platform_.dialogs.Notify(text);
  }
  return result;
}

Status FrmKijunScreen::StartEntryProgram() {
  if (auto ok = SaveFoldersAndSettings(); !ok) {
    platform_.dialogs.Notify("申込プログラムを起動する前の保存ができませんでした。\n" + ok.error().message);
    return ok;
  }
  const std::string program = EntryProgramPath();
  if (!platform_.launcher.Start(program)) {
    std::string text = "申込プログラム " + program +
                       " を起動できませんでした。\n環境変数 MEETDESK_ENTRY_PROGRAM に申込プログラムの場所を指定してください。";
    platform_.dialogs.Notify(text);
    return Fail(ErrorKind::NotFound, text);
  }
  return {};
}

}  // namespace meet
