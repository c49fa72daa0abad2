// "Lenex": the meet written as a Lenex 3.0 file. The file box, the choice of
// results, start list or entries, "広島表示" (show the masked swimmers), the
// button that writes it and the line saying what was written.
#pragma once

#include <QDialog>

#include "interchange/frm_lenex_screen.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class QRadioButton;

namespace meet::ui {

class FrmLenex : public QDialog {
 public:
  FrmLenex(MeetFiles meet, QWidget* parent = nullptr);

 private:
  FrmLenexScreen screen_;
  QLineEdit* txtFile_ = nullptr;
  QRadioButton* optShurui_[3] = {};
  QCheckBox* chkHiroshima_ = nullptr;
  QLabel* lblResult_ = nullptr;
};

}  // namespace meet::ui
