// The initial program screen frmProjShoki ("競技順初期"), opened modally by
// the program order editor's "初期". The rules live in FrmProjShokiScreen;
// this dialog only moves texts, ticks, caret positions and keys.
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <string>

#include "core/platform.h"
#include "program/frm_proj_shoki_screen.h"

class QCheckBox;
class QLineEdit;

namespace meet::ui {

inline constexpr const char* kProjShokiCaption = "競技順初期";

class FrmProjShoki : public QDialog {
 public:
  FrmProjShoki(std::filesystem::path meetFolder, std::string classMode, int startPosition, bool showAll,
               Platform& platform, QWidget* parent = nullptr);

  FrmProjShokiScreen& screen() { return screen_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Zikko();  // cmdZikko 実行
  void TankaEnter(int box);
  void FocusTanka(int box);

  FrmProjShokiScreen screen_;
  Platform& platform_;
  std::array<QCheckBox*, 5> chkKohmoku_{};
  std::array<QLineEdit*, kTankaBoxes> txtTanka_{};
  QLineEdit* txtYotei_ = nullptr;
  QLineEdit* txtNiti_ = nullptr;
  std::array<QLineEdit*, 2> txtKubun_{};
};

}  // namespace meet::ui
