// The result file screen frmKekka ("結果ファイル作成"), opened beside the hub
// by "結果(kek)" (cmdKekka). The rules live in FrmKekkaScreen; this widget
// moves clicks and texts between it and the controls.
#pragma once

#include <QWidget>
#include <array>

#include "core/platform.h"
#include "data/hub.h"
#include "results/frm_kekka_screen.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace meet::ui {

class FrmKekka : public QWidget {
 public:
  FrmKekka(const HubState& state, Platform& platform, QWidget* parent = nullptr);

  FrmKekkaScreen& screen() { return screen_; }

 private:
  void Show();  // every control from the screen class
  void Run();

  FrmKekkaScreen screen_;
  Platform& platform_;
  QLineEdit* txtFile_ = nullptr;
  QLabel* lblPath_ = nullptr;
  QLineEdit* txtNin_ = nullptr;
  std::array<QRadioButton*, 2> optYoketu_{};
  std::array<QCheckBox*, 3> chkKubun_{};
  std::array<QRadioButton*, 3> optKiroku_{};
  QButtonGroup* kiroku_ = nullptr;
  std::array<QCheckBox*, 2> chkTochu_{};
  QPushButton* command1_ = nullptr;
};

// Registers the screen under the hub's button "結果(kek)" (cmdKekka).
void RegisterFrmKekka();
// Registers the hub's "日水報告" (cmdAto2): writes the federation report
// without questions and tells the operator where it went.
void RegisterFederationReport();

}  // namespace meet::ui
