// The relay order dialog frmOhda ("オーダー入力"), opened modally from the
// race screen's "オーダ" for the relay race shown. The rules live in
// FrmOhdaScreen; this dialog only moves texts, caret positions and keys
// between it and the controls.
#pragma once

#include <QDialog>
#include <array>

#include "core/platform.h"
#include "race/frm_ohda_screen.h"

class QLabel;
class QLineEdit;

namespace meet::ui {

class FrmOhda : public QDialog {
 public:
  FrmOhda(const FrmKyogiScreen& kyogi, Platform& platform, QWidget* parent = nullptr);

  FrmOhdaScreen& screen() { return screen_; }
  const Status& loadStatus() const { return loaded_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show();
  void ShowWarnings();
  void Focus(const FocusTarget& target);
  bool Key(QLineEdit* edit, int leg, int key);

  FrmOhdaScreen screen_;
  Platform& platform_;
  Status loaded_;
  QLineEdit* txtKousu_ = nullptr;
  QLabel* lblShozoku_ = nullptr;
  std::array<QLineEdit*, kLegs> txtBango_{};
  std::array<QLabel*, kLegs> lblNamae_{};
  QLabel* lblChui_ = nullptr;  // what the lane's order warns of
};

// Shows frmOhda modally for the race on the race screen; a race that cannot
// be shown (not a relay, no relay block) is told to the operator instead.
void ShowFrmOhda(QWidget* parent, const FrmKyogiScreen& kyogi, Platform& platform);

}  // namespace meet::ui
