// The points screen frmTokuten ("得点"), opened by the hub's "得点処理"
// (cmdTokuten); the hub closes and a fresh one comes back when "終" closes
// this screen. The rules live in FrmTokutenScreen; this widget moves clicks
// and texts between it and the controls.
#pragma once

#include <QWidget>
#include <array>

#include "core/platform.h"
#include "data/hub.h"
#include "results/frm_tokuten_screen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace meet::ui {

class FrmTokuten : public QWidget {
 public:
  FrmTokuten(const HubState& state, Platform& platform, QWidget* parent = nullptr);

  FrmTokutenScreen& screen() { return screen_; }

 private:
  QWidget* BuildEvents();
  QWidget* BuildBonuses();
  void Show();
  void TakeFields();
  void Shukei();
  template <typename F>
  void PrintWith(F command);

  FrmTokutenScreen screen_;
  Platform& platform_;
  std::array<QRadioButton*, kTallyEvents> optSuru_{}, optSinai_{};
  std::array<QRadioButton*, 2> optBou_{};
  std::array<QLineEdit*, kBonusClasses> txtTKiro_{};
  std::array<QLineEdit*, 2> txtNenrei_{};
  std::array<QLabel*, 2> lblNenrei_{};
  std::array<QCheckBox*, 4> chkList_{};
  QCheckBox* chkZenbu_ = nullptr;
  QLineEdit* txtSeigen_ = nullptr;
  QPushButton* cmdRank_ = nullptr;
  QPushButton* cmdNyusho_ = nullptr;
  QPushButton* cmdBiko_ = nullptr;
  QLabel* lblShukei_ = nullptr;  // what the last 集計 did
};

// Registers the screen under the hub's button "得点処理" (cmdTokuten).
void RegisterFrmTokuten();

}  // namespace meet::ui
