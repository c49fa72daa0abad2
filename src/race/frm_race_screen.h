// The manual entry dialog frmRace ("手動入力") without its widgets: the race
// in race buffer B, the ten finishing rows typed in order of finish (lane and
// time), the keys of txtJun and txtKiro, "初期" (cmdShoki) and "確　定"
// (cmdKakutei) with its placing, split mode, standards and records check,
// record notices, save and race state. The dialog's widgets and meetctl's
// `race confirm` / `race reset` call these methods.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "data/race_file.h"
#include "race/race_clock.h"  // Rgb
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kFrmRaceCaption = "手動入力";
inline constexpr const char* kNyuFCaption = "順 路";
inline constexpr const char* kRelCaption = "途中";
inline constexpr const char* kKakuteiCaption = "確　定";
inline constexpr const char* kShokiCaption = "初期";
inline constexpr const char* kAskShokiRace = "データを初期化します。";
inline constexpr const char* kAskOrderWrong = "記録の並びが不正です。\n    続行しますか。";
// Asked before a confirmation that would store every swimmer of the race as
// 棄権 (nothing typed, or lanes typed without their times).
inline constexpr const char* kAskAllWithdrawn = "記録が入力されていないため、全員が棄権になります。\n    続行しますか。";
// Asked after the confirmation that completes the heats of an event (before
// the race and stage of the next stage).
inline constexpr const char* kAskSeedNextStage = "前のラウンドがすべて確定しました。次のラウンドを組分けしますか。";

// The legend of the status codes 1 to 8 (lblShikkaku).
inline constexpr std::array<const char*, 8> kShikkakuCaptions = {"ｽﾀｰﾄ", "泳法", "折返", "ｺﾞｰﾙ",
                                                                  "引継", "逸脱", "途中", "棄権"};

inline constexpr int kFinishRows = 10;
inline constexpr int32_t kNotEntered = 999999;

// The grey button face of a row not to be filled, and the pink of the rows to be filled.
inline constexpr Rgb kButtonFace{240, 240, 240};
inline constexpr Rgb kRowToFill{255, 192, 192};

// One finishing row: the swimmer who finished in position row + 1 as typed.
struct FinishRow {
  int16_t lane = 0;             // 0 = not entered
  int32_t time = kNotEntered;   // time code; 999999 = not entered
};

// Where the focus is.
enum class RaceControl { None, TxtJun, TxtKiro, CmdKakutei };
struct RaceFocus {
  RaceControl control = RaceControl::TxtJun;
  int row = 0;
  bool operator==(const RaceFocus&) const = default;
};

// What "確　定" ended with.
enum class Confirmation {
  Cancelled,  // the order warning was answered Cancel: nothing stored, the dialog stays
  CancelledAllWithdrawn,  // the question before storing everyone as 棄権 was answered Cancel
  Splits,     // split mode: the split times were stored, the dialog stays for the final order
  Confirmed,  // the results were stored and the state set to "7": the dialog closes
};

// The placing of "確　定" over lanes 1 to 10 (slots 0 to 9), given the
// finishing rows and which slots hold a swimmer: lanes not entered are
// withdrawn (888888) without a placing, lanes without a swimmer get 0,
// equal times share a placing (1, 1, 3), times above 666665 get no placing.
// An exhibition swimmer (record class 99) keeps the time typed without a
// placing and is not counted: the others are placed 1, 2, 3 without a gap.
struct LanePlacing {
  std::array<int32_t, 10> time{};
  std::array<int16_t, 10> rank{};
  bool orderWrong = false;  // a row's time is smaller than the row before it
};
LanePlacing PlaceFinishRows(const std::array<FinishRow, kFinishRows>& rows, const std::array<int16_t, 12>& laneNo,
                            const std::array<int16_t, 12>& laneRecordClass);

// Writes race buffer B to race n of the race file, keeping the bytes the
// buffer does not hold (raceSpare1, the meet day digit, and raceSpare2) as
// they are on disk; the header is not touched. Refuses a race that is not in
// the file.
Status SaveRaceKeepingSpares(const std::filesystem::path& meetFolder, int n, const Race& race);

class FrmRaceScreen {
 public:
  FrmRaceScreen(std::filesystem::path meetFolder, Settings settings, int currentRace, Platform& platform);

  // `Form_Load`: the legend, the race shown, chkRel ticked for event 7 and
  // codes above 22.
  Status Load();
  // Shows the race: loads currentRace into race buffer B, sets the labels and
  // resets every row (lane 0, time 999999, both boxes blank; the rows to be
  // filled pink).
  Status ShowRace();

  // txtJun(row) Enter. A lane 1..10
  // whose slot holds a swimmer is taken and the focus moves to txtKiro of the
  // row; any other number clears the box and the row's lane. Empty text
  // leaves the row not entered. True when a lane was taken.
  bool JunEnter(int row);
  // txtKiro(row) Enter with the caret at `caret` characters (−1: the end). A text longer than 6 characters, or a negative
  // number, or a time whose seconds are 60 or more ("6010"; kiroRefusal()
  // then says why), is refused (box cleared, the row's time not entered). Otherwise
  // the number before the caret becomes the row's time by the dialog's rule
  // (1–7 disqualifications and 途中, 8 棄権, 9 not entered, 0 stays 0), the box
  // shows the formatted time and the focus moves to txtJun of the next row.
  // Enter on a box still showing the row's time keeps the time and moves on.
  // True when a time was taken (or kept).
  bool KiroEnter(int row, int caret = -1);
  // Why the last KiroEnter refused its time, for the operator; empty when it
  // took it or refused only a text too long or negative.
  const std::string& kiroRefusal() const { return kiroRefusal_; }
  // The keys without Enter.
  void JunRight(int row) { focus_ = {RaceControl::TxtKiro, ClampRow(row)}; }
  void KiroLeft(int row) { focus_ = {RaceControl::TxtJun, ClampRow(row)}; }
  void RowUp(RaceControl control, int row);
  void RowDown(RaceControl control, int row);
  // The keypad "." in txtJun.
  void JunKeypadPoint() { focus_ = {RaceControl::CmdKakutei, 0}; }

  // "初期": asks first; on OK resets the rows, sets the race's state in
  // Race.dat to "1", shows the race again and focuses txtJun of row 0. The
  // race file is not changed. Cancelled when the operator says Cancel.
  Status Shoki();

  // "確　定". Boxes typed into without Enter are taken first as Enter takes
  // them; one that Enter refuses stops here (Refused, the box cleared and
  // focused) so nothing is stored from a row the operator did not see taken.
  Result<Confirmation> Kakutei();

  // Texts of the controls, as the widgets show and edit them.
  std::array<std::string, kFinishRows> txtJun;
  std::array<std::string, kFinishRows> txtKiro;
  bool chkRel = false;

  const std::array<FinishRow, kFinishRows>& rows() const { return rows_; }
  const Race& race() const { return race_; }
  int currentRace() const { return currentRace_; }
  bool raceInFile() const { return inFile_; }
  const RaceFocus& focus() const { return focus_; }
  Rgb rowBackground(int row) const;
  bool closed() const { return closed_; }
  // Notices printed by the last confirmation.
  int noticesPrinted() const { return notices_; }
  // What the operator was told of the next stage when the last confirmation
  // completed the heats and the seeding was asked for (empty otherwise).
  const std::vector<std::string>& nextStageLines() const { return nextStageLines_; }
  // What the printer could not print in the last confirmation (record
  // notices, the seeded race's sheets), one message each; the results are
  // stored all the same.
  const std::vector<std::string>& printFailures() const { return printFailures_; }

  std::string lblRace, lblPno, lblKumi, lblSei, lblShu, lblYoketu, lblNin;
  std::array<std::string, 8> lblShikkaku;

  // The print copy value for the race's stage: printCopies 4 for "1" 予選, 9
  // for "2" 決勝, 14 otherwise; 1 when it is 0 or less.
  static int CopyCount(const Settings& settings, std::string_view roundCode);
  const std::filesystem::path& meetFolder() const { return meetFolder_; }

 private:
  std::string kiroRefusal_;
  static int ClampRow(int row) { return row < 0 ? 0 : row >= kFinishRows ? kFinishRows - 1 : row; }
  void ResetRows();
  // Takes every box typed into but not entered as Enter would; a box Enter
  // refuses is cleared and reported, with the focus on it.
  Status CommitPendingBoxes();
  Status StoreSplits(const LanePlacing& placing);
  Status StoreResults(const LanePlacing& placing);
  // After the results are stored: when they complete the heats and the next
  // stage does not agree with them, asks whether to seed it and seeds it.
  Status OfferNextStage();

  std::filesystem::path meetFolder_;
  Settings settings_;
  int currentRace_;
  Platform& platform_;
  Race race_;
  bool inFile_ = false;
  int swimmers_ = 0;
  std::array<FinishRow, kFinishRows> rows_{};
  RaceFocus focus_;
  bool closed_ = false;
  int notices_ = 0;
  std::vector<std::string> nextStageLines_;
  std::vector<std::string> printFailures_;
};

}  // namespace meet
