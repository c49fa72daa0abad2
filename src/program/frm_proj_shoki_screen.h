// The initial program screen frmProjShoki ("競技順初期") without its widgets:
// the unit-time boxes with their Enter, Up and Down rules and the five items
// applied in one run over the program order. Opened modally by the editor's
// "初期" with the editor's selected entry as the start position.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/error.h"

namespace meet {

// chkKohmoku indexes.
inline constexpr int kItemRenumber = 0;   // 復活(初期化)
inline constexpr int kItemBand = 1;       // 区分
inline constexpr int kItemSchedule = 2;   // 予定時間
inline constexpr int kItemUnitTime = 3;   // 種目＠
inline constexpr int kItemDay = 4;        // 開催日(目)
inline constexpr int kTankaBoxes = 14;    // txtTanka(0..6) 予選, (7..13) 決勝

// The distance row (0 25m … 6 1500m) of an event code.
int DistanceRow(int eventCode);
// The Enter rule of a unit-time box applied to the text before the caret:
// right-aligned in 4 characters and written as 2 characters, ".", 2
// characters ("130" gives " 1.30"). A "." already in the text is ignored, so
// Enter on a box that shows a time leaves it as it is.
std::string UnitTimeText(std::string_view typed);
// The MMSS number a unit-time box stands for (" 1.30" gives 130). A box that
// was typed without Enter is read as if Enter had been pressed.
int32_t UnitTimeValue(std::string_view boxText);

class FrmProjShokiScreen {
 public:
  // `classMode` is the settings' classMode; `showAll` the editor's "全種目表示".
  FrmProjShokiScreen(std::filesystem::path meetFolder, std::string classMode, int startPosition, bool showAll);

  std::array<bool, 5> chkKohmoku{};
  std::array<std::string, kTankaBoxes> txtTanka;
  std::string txtYotei;
  std::string txtNiti = "1";
  std::array<std::string, 2> txtKubun = {"1", "100"};

  // Enter in box `box` with the caret at character `caret`: the box is
  // rewritten by the Enter rule; returns the box that gets the focus next
  // (-1: the focus stays, after box 13).
  int TankaEnter(int box, int caret);
  // The box the Up and Down arrows move to (-1: none).
  static int TankaUp(int box);
  static int TankaDown(int box);

  // cmdZikko 実行: the ticked items in the order 種目＠, 予定時間, 開催日(目),
  // 区分, 復活(初期化), each a full pass; then the screen closes.
  Status Zikko();
  bool closed() const { return closed_; }
  int startPosition() const { return start_; }

 private:
  std::filesystem::path meetFolder_;
  std::string classMode_;
  int start_;
  bool showAll_;
  bool closed_ = false;
};

}  // namespace meet
