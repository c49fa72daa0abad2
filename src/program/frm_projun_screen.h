// The program order editor frmProjun ("競技順") without its widgets: the
// combo lists, the entry controls as texts, the working copy, the listing
// lstNaiyo with its line map, and one method per command. The widgets and
// meetctl's `program` verbs call these methods.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/numbers.h"
#include "core/platform.h"
#include "program/projun_file.h"
#include "settings/settings.h"

namespace meet {

// The column heading lblShori over the list.
inline constexpr const char* kProjunHeading =
    "        順  性別   区分               種目                       予決 組数  予定時間 所要時間    ＠    ﾚｰｽ 日  除  Ｆ　";

// The questions of the commands.
inline constexpr const char* kAskShinki = "表示データを新規登録します。";
inline constexpr const char* kAskSyusei = "表示データを修正します。";
inline constexpr const char* kAskSakujo = "表示データを削除します。";
inline constexpr const char* kAskJidouAll = "申込データのエントリーがある種目から競技順（予選・決勝）を自動作成し、最後に追加します。";
inline constexpr const char* kAskJidouFinals = "申込データのエントリーがある種目から競技順（決勝のみ）を自動作成し、最後に追加します。";
// "初期" without a selected line.
inline constexpr const char* kNoStartPosition = "開始場所を指定してください。";
// The page title of the printout.
inline constexpr const char* kProjunPrintTitle = "競      技      順";

// The entry controls as the operator sees them. A combo box holds its list
// position, -1 when nothing is selected.
struct ProjunControls {
  std::string txtJun;      // orderNo
  std::string txtKumi;     // heatCount
  int cboSei = -1;         // sexCode − 1
  std::string txtAge1;     // ageFrom
  std::string txtAge2;     // ageTo
  int cboShumoku = -1;     // eventCode − 1
  int cboMatch = -1;       // stageCode − 1
  std::string txtZikatan;  // perHeatTime, MMSS
  std::string txtZikan;    // totalTime, HHMMSS
  std::string txtYotei;    // startTime, HHMMSS
  std::string txtRace;     // firstRace
  std::string txtMa;       // seedFlag
  std::string txtHn;       // dayNo
  std::string txtSakujo;   // excludedHeats (one character)
  int16_t entrySpare = 0;  // the hidden copy
};

// 複写: destination, first and last source as typed, and the four option
// groups (0 = "なし", keep; otherwise the option's index).
struct CopyControls {
  std::string txtC1;   // へ
  std::string txtC2;   // から
  std::string txtC3;   // まで
  int optSei = 0;      // 1 男子, 2 女子, 3 混合
  int optYoketu = 0;   // 1 予選, 2 決勝, 3 準決勝, 4 コンソ
  int optShu = 0;      // 1 自由形 … 7 リレー: the stroke digit
  int optKyori = 0;    // 1 25m … 7 1500m: distance digit = index − 1
};

// The option captions of the copy groups, index 0 being "なし".
extern const std::array<const char*, 4> kOptSeiCaptions;
extern const std::array<const char*, 5> kOptYoketuCaptions;
extern const std::array<const char*, 8> kOptShuCaptions;
extern const std::array<const char*, 8> kOptKyoriCaptions;

// A text right-aligned in `width` display columns: blanks in front; when it
// is wider, only leading blanks are dropped, never a character of its own.
std::string RightAlignedColumns(std::string_view text, int width);
// Left-aligned and blank-filled to `width` columns by LenMbcs (never cut).
std::string PaddedColumns(std::string_view text, int width);

// One line of lstNaiyo for entry `e` shown as line number `lineNo`.
std::string ProjunListLine(int lineNo, const ProgramEntry& e, const NamingContext& ctx);

// A time of day or a duration held as HHMMSS, printed h:mm:ss (93000 is
// "9:30:00"); and one held as MMSS, printed m:ss (130 is "1:30"). 0 prints
// nothing.
std::string HoursMinutesSeconds(int32_t hhmmss);
std::string MinutesSeconds(int32_t mmss);

// The eleven printed cells of an entry (number, sex, age band, event, stage,
// heats, start, total, per heat, race, flag), without padding; the start
// and total times as h:mm:ss, the time per heat as m:ss.
std::array<std::string, 11> ProjunPrintCells(const ProgramEntry& e, const NamingContext& ctx);
// Which of the eleven cells are numbers (right-aligned).
extern const std::array<bool, 11> kProjunCellIsNumber;
// The column heads of the printout.
extern const std::array<const char*, 11> kProjunPrintHeads;
// Where each printed cell starts (twips) and its width in half-width columns.
extern const std::array<int, 11> kProjunCellX;
extern const std::array<int, 11> kProjunCellColumns;

// The race file's scheduled time text of a moment in seconds: HHMMSS
// right-aligned in six characters and split 2:2:2 (" 9:30:00").
std::string RaceClockText(int64_t seconds);

// The HTML copy of the list: meet folder + meetAbbrev + "2.html". Characters
// that would lead out of the meet folder are replaced by "_".
std::filesystem::path ProgramHtmlPath(const std::filesystem::path& meetFolder, const std::string& meetAbbrev);

struct ProjunPrintSummary {
  int pages = 0;
  int lines = 0;
  std::filesystem::path html;
  int racesTimed = 0;     // races whose start time was written
  int racesSkipped = 0;   // heats whose race is not in the race file
};

// Sets the race times of step 5 of printing: every entry with orderNo ≠ 0
// gives its heats' races, from firstRace on, their start times. Races that
// are not in the race file are skipped (the file is never grown).
Result<std::pair<int, int>> SetRaceTimes(const std::filesystem::path& meetFolder, const ProgramOrder& order);

// The bands `Jidou` gives an event of one sex, from the ages of its entries:
// 1–100 (0–100 for the meet's own events 30–44) unless the meet is seeded by
// age and some entry is older than 100. Then a relay event 23–29 gets one
// band per class its teams' summed ages fall in (1–119, 120–159, 160–199, …),
// and any other event one band up to its oldest entry.
std::vector<std::pair<int16_t, int16_t>> GeneratedBands(int eventCode, const std::set<int>& ages,
                                                        std::string_view classMode);

class FrmProjunScreen {
 public:
  FrmProjunScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform);

  // On opening: the combo lists, entry 1 into the controls, the list.
  Status Open();

  // Combo lists (list position = code − 1).
  const std::vector<std::string>& cboSeiItems() const { return cboSei_; }
  const std::vector<std::string>& cboShumokuItems() const { return cboShumoku_; }
  const std::vector<std::string>& cboMatchItems() const { return cboMatch_; }

  // The listing.
  const std::vector<std::string>& lines() const { return lines_; }
  const std::vector<int>& lineMap() const { return lineMap_; }
  int selectedLine() const { return selectedLine_; }
  std::string lblL1() const { return NumberText(count_); }
  std::string lblLrec() const { return NumberText(static_cast<int64_t>(lines_.size())); }
  std::string lblR1() const { return selectedEntry_ > 0 ? NumberText(selectedEntry_) : std::string(); }
  int selectedEntry() const { return hasSelection_ ? selectedEntry_ : 0; }
  int count() const { return count_; }

  // chkJun "全種目表示": clicking it relists.
  bool chkJun() const { return chkJun_; }
  Status SetChkJun(bool ticked);
  // Rebuilds the list from the file; the line selection is cleared.
  Status Relist();

  // lstNaiyo click: lblR1 shows the entry number, the entry is read into the
  // working copy and shown in the controls.
  Status SelectLine(int line);
  // The same for an entry number (meetctl); the entry need not be listed.
  Status SelectEntry(int n);

  ProjunControls& controls() { return controls_; }
  const ProjunControls& controls() const { return controls_; }
  // txtSakujo keeps only its first character whenever it changes.
  void SetTxtSakujo(std::string_view text);
  std::string& txtSohnyu() { return txtSohnyu_; }
  CopyControls& copy() { return copy_; }
  const ProgramEntry& workingCopy() const { return working_; }

  // Shows an entry in the controls as the working copy (meetctl starts a new
  // entry from the blank entry this way).
  void ShowEntry(const ProgramEntry& e);
  // Screen to working copy, and back.
  void ScreenToWorkingCopy();
  void WorkingCopyToScreen();

  // Commands. A Cancel answer gives ErrorKind::Cancelled and changes nothing;
  // every refusal gives a message and writes nothing.
  Status Shinki();        // cmdShinki 新規
  Status Syusei();        // cmdSyusei 修正
  Status SakujoEnter();   // txtSakujo + Enter
  Status Sakujo();        // cmdSakujo 削除
  Status Sonyu();         // cmdSonyu 挿入
  Status Copy();          // cmdCopy 複写
  // cmdShoki 初期: the start position for the initial program, or nothing
  // (after the notice) when no line is selected.
  std::optional<int> ShokiStart();
  // After the initial program screen closed: screen to working copy, relist.
  Status AfterShoki();
  Result<ProjunPrintSummary> Insatu();  // cmdInsatu 印刷
  void Cansel();                        // cmdCansel 取消
  // 自動作成: appends one entry per sex and event with entrants; returns
  // the number of entries appended.
  Result<int> Jidou(bool finalsOnly);

  // The question texts of 挿入 and 複写 for the controls as they stand.
  std::string SonyuQuestion() const;
  std::string CopyQuestion() const;

  const std::filesystem::path& meetFolder() const { return meetFolder_; }
  const Settings& settings() const { return settings_; }
  const NamingContext& naming() const { return naming_; }

 private:
  Result<int> SelectedEntryIn(const ProgramOrder& order) const;
  Status Ask(std::string_view question);
  Status SaveAndRelist(ProgramOrder& order);

  std::filesystem::path meetFolder_;
  Settings settings_;
  Platform& platform_;
  NamingContext naming_;

  std::vector<std::string> cboSei_, cboShumoku_, cboMatch_;
  ProjunControls controls_;
  std::string txtSohnyu_ = "1";
  CopyControls copy_;
  ProgramEntry working_;
  int count_ = 0;
  std::vector<std::string> lines_;
  std::vector<int> lineMap_;
  int selectedLine_ = -1;
  int selectedEntry_ = 0;
  bool hasSelection_ = false;
  bool chkJun_ = false;
};

}  // namespace meet
