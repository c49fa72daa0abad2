// The optional categories screen frmOptKubun ("種目区分(オプション)"), opened
// beside the hub. The rules live in FrmOptKubunScreen; this window only moves
// the fields' texts, the list's selection and the clicks between it and the
// controls.
#pragma once

#include <QWidget>
#include <array>

#include "core/platform.h"
#include "data/hub.h"
#include "program/frm_opt_kubun_screen.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace meet::ui {

class FrmOptKubun : public QWidget {
 public:
  FrmOptKubun(const HubState& state, Platform& platform, QWidget* parent = nullptr);

  FrmOptKubunScreen& screen() { return screen_; }

 private:
  void Pull();
  void Show();
  void Run(Status status);

  FrmOptKubunScreen screen_;
  Platform& platform_;
  QListWidget* lstKubun_ = nullptr;
  QLabel* lblKazu_ = nullptr;
  QLineEdit* txtSei_ = nullptr;
  std::array<QLineEdit*, 2> txtAge_{};
  std::array<QLineEdit*, 2> txtShu_{};
  QLineEdit* txtKubun_ = nullptr;
  QLineEdit* txtTitle_ = nullptr;
};

// Registers the screen under the hub's two "作成" buttons (cmdOptKubun and cmdGodo).
void RegisterFrmOptKubun();

}  // namespace meet::ui
