// The standards and records screen frmShikaku ("大会記録等"): the kinds, the
// group list, the 87 time fields of the record shown (columns 男, 女, 混合 by
// the 29 events), the group and initialise commands, the previous meet and
// the copy from it, and the record check. The rules live in FrmShikakuScreen
// (records/shikaku_screen.h); this widget moves texts, caret positions and
// clicks between it and the controls.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>

#include "core/platform.h"
#include "records/shikaku_screen.h"
#include "settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace meet::ui {

class FrmShikaku : public QWidget {
 public:
  FrmShikaku(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent = nullptr);

  FrmShikakuScreen& screen() { return screen_; }

  // The previous meet picker: the folder shown as chosen in Dir1.
  void ShowPreviousPickerFolder(const QString& folder);
  QString previousPickerFolder() const { return dir1Path_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildKinds();
  QWidget* BuildFields();
  QWidget* BuildCommands();
  QWidget* BuildPreviousMeet();

  // Everything from the screen class: fields, labels, the group list.
  void ShowAll();
  void ShowPreviousMeet();
  void Report(const Error& error);
  void EnterField(int field);
  void FocusField(int field);
  void MakeGroup();
  void Initialise();
  void TakePreviousMeet();
  void Copy();
  void Check();

  FrmShikakuScreen screen_;
  Platform& platform_;

  QButtonGroup* optKubun_ = nullptr;
  QListWidget* lstGroup_ = nullptr;
  QLabel* lblNaiyo_ = nullptr;
  QLabel* lblRecord_ = nullptr;
  std::array<QLineEdit*, kTimeFields> txtKiroku_{};
  std::array<QLineEdit*, 2> txtGroup_{};
  QCheckBox* chkShoki_ = nullptr;
  QComboBox* drive1_ = nullptr;
  QTreeView* dir1_ = nullptr;
  QFileSystemModel* dir1Model_ = nullptr;
  QString dir1Path_;
  std::array<QLabel*, 2> lblTarget_{};
  std::array<QRadioButton*, 2> optTarget_{};
  std::array<QCheckBox*, kCopyPartCount> chkKiroku_{};
  bool refreshing_ = false;
};

// Registers the screen under the hub's button "記録" (cmdKiroku).
void RegisterFrmShikaku();

}  // namespace meet::ui
