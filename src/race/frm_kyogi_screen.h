// The race screen frmKyogi ("競技会") without its widgets: the race shown
// (current race, header labels, clock, standards panel, twelve lane rows as
// texts), result entry in the lane fields, the command field txtToi and the
// key navigation between fields. The widget and meetctl's `race` verbs call
// these methods.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/platform.h"
#include "data/entry_file.h"
#include "data/race_file.h"
#include "data/race_states.h"
#include "data/relay_file.h"
#include "race/race_clock.h"
#include "settings/settings.h"

namespace meet {

struct PostReport;      // race/timing_post.h
struct OnDemandSeeding;  // race/next_stage.h

inline constexpr const char* kKyogiCaption = "競技会";
inline constexpr int kLaneRows = 12;
inline constexpr int kStandardBoxes = 34;

// The texts of the screen.
inline constexpr const char* kKyogiHeading =
    "コース  名   前         ﾌﾘｶﾅ       県     所属     歳 学年 順  記録  無 年    備考 前記録  　旧 番 号    番号       ";
inline constexpr const char* kStandardsHeading = "　世界　　　アジア　    日本　　　地域　　　　県　　　　地区";
inline constexpr const char* kRecordCaption = "ﾚｰｽNo．　／　ﾚｰｽ総数";
inline constexpr const char* kNoRaceBefore = "１より小さいレコードはありません。";
inline constexpr const char* kNoRaceAfter = "より大きいデータはありません。";  // after the race count
inline constexpr const char* kTipKiro = "1･ｽﾀｰﾄ 2･泳法 3･折返 4･ｺﾞｰﾙ 5･引継 6･逸脱 7･途中 8･棄権";
inline constexpr const char* kTipHoj =
    "標準突破　1 ･ 1   2 ･ 2   3 ･ 1 & 2   4 ･ 4   5 ･ 1 & 4   6 ･ 2 & 4   7 ･ 1 & 2 & 4";
inline constexpr const char* kTipBiko =
    "1･世界 2･大学 3･高校 4･中学 5･学童 6-･アジア 11-･日本 16-･地方 21-･県 26-･地区 31･大会";
inline constexpr const char* kTipToi = " ← ･ 確定  → ･ 手動    ↓ ･ 次レース  ↑･ 前レース   ###.## ･ レース指定";

// The caption of lane row r: "1" … "10", "補欠１", "補欠２".
std::string LaneLabel(int row);

// The lane fields the operator types into, in their order from left to right.
enum class LaneField { txtJun, txtKiro, txtMu, txtNen, txtHoj, txtBiko, txtQkiro, txtNo };
inline constexpr std::array<LaneField, 8> kLaneFieldOrder = {LaneField::txtJun,  LaneField::txtKiro, LaneField::txtMu,
                                                             LaneField::txtNen,  LaneField::txtHoj,  LaneField::txtBiko,
                                                             LaneField::txtQkiro, LaneField::txtNo};
std::string LaneFieldName(LaneField field);
std::optional<LaneField> LaneFieldOfName(std::string_view name);

// One lane row as shown.
struct LaneRow {
  std::string txtNo, txtQBan, txtNamae, txtKana, txtKen, txtSho, txtTosi, txtGaku;
  std::string txtJun, txtKiro, txtMu, txtNen, txtHoj, txtBiko, txtQkiro;
  bool qkiroGrey = false;  // a split time on the button-face background
  bool operator==(const LaneRow&) const = default;
};
// The text of an editable field of the row.
const std::string& FieldText(const LaneRow& row, LaneField field);

struct KyogiHeader {
  std::string lblRecord, lblPno, lblKumi, lblTKumi, lblSei, lblShubetu, lblShumoku, lblYoketu;
  std::string lblYZikan = "99:99:99";
  std::string lblZikan;
  std::string lblDate = "yyyy:mm:dd";
  std::string lblSZikan;
  std::optional<Rgb> lblSZikanColour;  // nothing: the label's own colour
};

// The keys the screen reacts to.
enum class NavKey { Enter, Home, Up, Down, Left, Right };

// A control to put the focus on: a name and, for a row, its index.
struct FocusTarget {
  std::string control;
  int index = -1;
  bool operator==(const FocusTarget&) const = default;
};
inline FocusTarget ToiFocus() { return {"txtToi", -1}; }

// Where Home, Up, Down, Left and Right move from a lane field (Enter commits
// and is handled by the screen). Nothing at the edges.
std::optional<FocusTarget> LaneFieldMove(LaneField field, int row, NavKey key);

// What a key in txtToi does (Enter is handled by the screen).
struct ToiAction {
  enum Kind { None, Focus, PreviousRace, NextRace } kind = None;
  FocusTarget focus;
};
ToiAction ToiKeyAction(NavKey key, bool shift);

// Home on cmdKeiji, cmdShudo and cmdOhda: back to txtToi.
std::optional<FocusTarget> ButtonKeyMove(std::string_view button, NavKey key);

// The race is a relay: event codes 23–29, or a meet's own event (30–44)
// whose relay flag in the entry file reads as a non-zero number.
bool IsRelayEvent(int eventCode, const std::array<char, 15>& extraRelayFlags);

class FrmKyogiScreen {
 public:
  FrmKyogiScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform);

  // On opening: race 1 is loaded and shown.
  Status Open();
  // Loads the current race again and shows it (after a dialog closed).
  Status Reload();
  // Makes race n current and shows it (1..raceCount, or 1 in an empty file).
  Status ShowRace(int n);

  // Shows the race in the buffer: header, clock, standards, lane rows.
  void hyjKyogi();
  // The standards panel for the race in the buffer.
  void hyjSik();
  void clearLaneRows();
  // The clock labels only (the widget calls it every second).
  void Tick();

  // Stepping; at either end the message, and the race stays.
  Status showPreviousRace();
  Status showNextRace();
  // The first race with the event number whose heat matches (a heat above
  // the event's heat count means the last heat) becomes current.
  Status jumpToRace(int eventNo, int heat);

  // Enter in a lane field with the text before the caret. With nothing
  // before the caret nothing is stored and the focus goes to txtToi;
  // otherwise the value is stored, the race saved and shown again, and the
  // focus stays in the field.
  Result<FocusTarget> EnterLaneField(LaneField field, int row, std::string_view textBeforeCaret);
  // Enter in txtToi: "###.##" jumps to that event and heat. The field is
  // cleared in every case (its new text is empty).
  Status EnterToi(std::string_view textBeforeCaret);
  // Whether the last jump to an event and heat found its race (the current
  // race stays when it did not).
  bool jumpFound() const { return jumpFound_; }
  // Left, Right, Up (Shift+Up), Down in txtToi: the focus to set, if any.
  Result<std::optional<FocusTarget>> ToiKey(NavKey key, bool shift);

  // Race.dat of the meet folder into raceStates, and the changes back.
  Status readRaceStates();
  Status writeRaceStates();
  // After a result changed: the current race (and its later printed heats) "7".
  Status markRaceChanged();

  // "確定" (cmdKeiji): posts every race in state "6" (printing unless
  // `noPrint`, the ticked "印刷しない"), tells the operator what was left
  // out, and shows the race posting names. Refused while a posting runs.
  Result<PostReport> cmdKeiji(bool noPrint);
  // The automatic posting ("自動確定") on the clock tick: true when Race.dat
  // holds a race in "6" that the last posting did not already leave at "6"
  // (so a race whose goal file is missing is not retried every second).
  bool autoPostDue() const;
  bool posting() const { return posting_; }

  // ﾒﾝﾃﾅﾝｽ → 次ラウンド組分け (mJiRound): the next stage of the current race's
  // event — or, on a final, the final itself — seeded from its heats; the
  // operator is told what changed and offered its race sheet and program page.
  // Refused (a message naming the heats or the race) when a heat is not
  // confirmed or the next stage holds a result. The screen shows the seeded race.
  Result<OnDemandSeeding> SeedNextRound();

  int currentRace() const { return currentRace_; }
  int raceCount() const { return raceCount_; }
  bool isRelay() const { return isRelay_; }
  bool cmdOhdaEnabled() const { return cmdOhda_; }
  const Race& race() const { return race_; }
  const KyogiHeader& header() const { return header_; }
  const std::array<std::string, kStandardBoxes>& txtTKiro() const { return txtTKiro_; }
  const std::array<LaneRow, kLaneRows>& rows() const { return rows_; }
  const std::optional<RaceStates>& raceStates() const { return raceStates_; }
  const std::filesystem::path& meetFolder() const { return meetFolder_; }
  const Settings& settings() const { return settings_; }

 private:
  Status LoadCurrent();
  void ShowLane(int slot, const EntryFile* entries, const RelayBlock* block);
  std::string GradeText(const std::string& gradeCode) const;
  Status SaveCurrent();
  Status StoreSplitOrEntryTime(int row, int32_t value);
  // A withdrawal typed on a lane of a next stage not yet swum: offers the
  // first alternate into the lane. True when the operator took it (the race is
  // saved and shown, and the withdrawal is not stored).
  Result<bool> OfferAlternate(int row);
  // After a change in a heat whose next stage is seeded: tells the operator
  // when the next stage no longer agrees with the heats.
  void TellNextStageDisagrees();

  std::filesystem::path meetFolder_;
  Settings settings_;
  Platform& platform_;
  NamingContext naming_;

  int currentRace_ = 1;
  int raceCount_ = 0;
  bool jumpFound_ = false;
  Race race_;
  bool isRelay_ = false;
  bool cmdOhda_ = false;
  KyogiHeader header_;
  std::array<std::string, kStandardBoxes> txtTKiro_;
  std::array<LaneRow, kLaneRows> rows_;
  std::optional<RaceStates> raceStates_;
  bool posting_ = false;
  std::vector<int> leftWaiting_;  // races still "6" after the last posting
};

}  // namespace meet
