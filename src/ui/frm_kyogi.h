// The race screen frmKyogi ("競技会"): header labels and clock, the standards
// panel, the twelve lane rows, the command field txtToi, the buttons and the
// menus. The rules live in FrmKyogiScreen; this widget only moves texts,
// caret positions, keys and clicks between it and the controls.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <string>

#include "core/platform.h"
#include "data/hub.h"
#include "race/frm_kyogi_screen.h"

class QCheckBox;
class QLabel;
class QMenuBar;
class QLineEdit;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace meet::ui {

// The tool tip of a control whose command is not built yet.
inline constexpr const char* kNotAvailableYet = "この機能はまだ使えません。";

// Opens manual entry (frmRace) modally for the race shown; the race screen
// reloads and redraws the race afterwards and puts the focus on txtToi.
using ManualEntryOpener =
    std::function<void(QWidget* parent, const HubState& state, int currentRace, Platform& platform)>;
void SetManualEntryOpener(ManualEntryOpener opener);  // registered by RegisterFrmRace()

class FrmKyogi : public QWidget {
 public:
  FrmKyogi(const HubState& state, Platform& platform, QWidget* parent = nullptr);

  FrmKyogiScreen& screen() { return screen_; }
  // Reloads the current race and shows it (after a dialog closed).
  void Redraw();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildHeader();
  QWidget* BuildStandards();
  QWidget* BuildLanes();
  QWidget* BuildCommands();
  void BuildMenus(QVBoxLayout* top);
  void WirePrintMenu(QMenuBar* bar);  // frm_kyogi_print.cpp

  void Show();        // every text from the screen class
  void ShowClock();   // the clock labels only
  void Report(const Status& status);
  void Focus(const FocusTarget& target);
  bool LaneKey(QLineEdit* edit, LaneField field, int row, int key, Qt::KeyboardModifiers modifiers);
  bool ToiKeyPressed(int key, Qt::KeyboardModifiers modifiers);
  void OpenManualEntry();
  void OpenRelayOrder();  // cmdOhda
  void MoveLanes();       // cmdIdo
  void OpenRaceTitle();   // mMkyogi
  void SeedNextRound();   // mJiRound
  void Keiji();           // cmdKeiji, and chkJidou on the clock tick
  void AutoPost();        // chkJidou: posts when a race reached "6"
  // A lane field whose text differs from what the screen shows (typed, not entered).
  bool LaneTextPending() const;

  HubState state_;
  Platform& platform_;
  FrmKyogiScreen screen_;

  std::map<std::string, QLabel*> labels_;
  std::array<QLineEdit*, kStandardBoxes> standards_{};
  std::map<std::string, std::array<QLineEdit*, kLaneRows>> lanes_;
  std::map<QObject*, std::pair<LaneField, int>> laneFields_;
  QLineEdit* txtToi_ = nullptr;
  QPushButton* cmdKeiji_ = nullptr;
  QPushButton* cmdShudo_ = nullptr;
  QPushButton* cmdOhda_ = nullptr;
  QLineEdit* txtIdo_ = nullptr;
  QCheckBox* chkInsatu_ = nullptr;
  QCheckBox* chkJidou_ = nullptr;
  QTimer* clock_ = nullptr;
};

// Registers the screen under the hub's button "競技会システム" (cmdZikko).
void RegisterFrmKyogi();

}  // namespace meet::ui
