// The program order editor frmProjun ("競技順"): the entry controls, the list
// lstNaiyo with its heading, and the command buttons. The rules live in
// FrmProjunScreen; this widget only moves texts, selections and clicks
// between it and the controls. "初期" opens frmProjShoki modally.
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <map>
#include <string>

#include "core/platform.h"
#include "program/frm_projun_screen.h"
#include "settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace meet::ui {

inline constexpr const char* kProjunCaption = "競技順";

class FrmProjShoki;

class FrmProjun : public QWidget {
 public:
  FrmProjun(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent = nullptr);

  FrmProjunScreen& screen() { return screen_; }
  // The initial program dialog while it is open, else nullptr.
  FrmProjShoki* shokiDialog() const { return shoki_; }

 private:
  QWidget* BuildEntryControls();
  QWidget* BuildCommands();
  QWidget* BuildCopy();
  QWidget* BuildOptionGroup(const QString& frame, const QString& caption, const QString& group, const char* const* captions,
                            int count);

  // Controls to the screen class and back, and the list.
  void PullControls();
  void PushControls();
  void ShowList();
  void Report(const Status& status);
  // Runs a command with the controls as they stand, then shows its result.
  void Run(Status (FrmProjunScreen::*command)());

  void Shoki();   // cmdShoki
  void Insatu();  // cmdInsatu
  void Jidou();   // cmdJidou

  FrmProjunScreen screen_;
  Platform& platform_;
  bool refreshing_ = false;
  FrmProjShoki* shoki_ = nullptr;

  std::map<std::string, QLineEdit*> edits_;
  QComboBox* cboSei_ = nullptr;
  QComboBox* cboShumoku_ = nullptr;
  QComboBox* cboMatch_ = nullptr;
  QListWidget* lstNaiyo_ = nullptr;
  QLabel* lblShori_ = nullptr;
  QLabel* lblL1_ = nullptr;
  QLabel* lblLrec_ = nullptr;
  QLabel* lblR1_ = nullptr;
  QCheckBox* chkJun_ = nullptr;
  std::map<std::string, QButtonGroup*> optionGroups_;
  QRadioButton* optJidouFinals_ = nullptr;
};

// Registers the screen under the hub's button "競技順" (cmdProjun).
void RegisterFrmProjun();

}  // namespace meet::ui
