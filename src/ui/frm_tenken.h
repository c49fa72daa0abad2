// "点検": the check of the meet folder in use and its entry file, shown as a
// read-only list of what does not fit, a summary line and a close button.
#pragma once

#include <filesystem>

#include <QDialog>

#include "results/frm_tenken_screen.h"

class QLabel;
class QListWidget;

namespace meet::ui {

class FrmTenken : public QDialog {
 public:
  FrmTenken(std::filesystem::path meetFolder, std::filesystem::path entryFile, QWidget* parent = nullptr);

 private:
  FrmTenkenScreen screen_;
  QListWidget* lstTenken_ = nullptr;
  QLabel* lblTenken_ = nullptr;
};

}  // namespace meet::ui
