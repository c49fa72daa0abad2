// The manual entry dialog frmRace ("手動入力"), opened modally from the race
// screen's "手動" for the race shown. The rules live in FrmRaceScreen; this
// dialog only moves texts, caret positions, keys and clicks between it and
// the controls, and closes once the race is confirmed.
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>

#include "core/error.h"
#include "core/platform.h"
#include "data/hub.h"
#include "race/frm_race_screen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace meet::ui {

class FrmRace : public QDialog {
 public:
  FrmRace(const HubState& state, int currentRace, Platform& platform, QWidget* parent = nullptr);

  FrmRaceScreen& screen() { return screen_; }
  // How showing the race went when the dialog was made.
  const Status& loadStatus() const { return loaded_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Pull();
  void Push();
  void Kakutei();  // cmdKakutei
  void Shoki();    // cmdShoki
  bool JunKey(int row, int key, Qt::KeyboardModifiers modifiers);
  bool KiroKey(int row, int key);

  FrmRaceScreen screen_;
  Platform& platform_;
  Status loaded_;
  std::array<QLineEdit*, kFinishRows> txtJun_{};
  std::array<QLineEdit*, kFinishRows> txtKiro_{};
  std::array<QLabel*, 8> lblShikkaku_{};
  QLabel* lblRace_ = nullptr;
  QLabel* lblPno_ = nullptr;
  QLabel* lblKumi_ = nullptr;
  QLabel* lblSei_ = nullptr;
  QLabel* lblShu_ = nullptr;
  QLabel* lblYoketu_ = nullptr;
  QLabel* lblNin_ = nullptr;
  QCheckBox* chkRel_ = nullptr;
  QPushButton* cmdKakutei_ = nullptr;
  QPushButton* cmdShoki_ = nullptr;
};

// Shows FrmRace modally for the race; a race that cannot be shown is told to
// the operator instead.
void ShowFrmRace(QWidget* parent, const HubState& state, int currentRace, Platform& platform);

// Makes the race screen's "手動" open FrmRace.
void RegisterFrmRace();

}  // namespace meet::ui
