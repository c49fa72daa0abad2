// The seeding screen frmHangumi ("競技ファイル作成"): the check boxes,
// cboPattern, "初期化" and "作成". The rules live in FrmHangumiScreen; this
// widget only moves ticks, the list position and clicks to it. After a run
// the window closes itself; errors are shown as notices.
#pragma once

#include <QWidget>
#include <filesystem>
#include <map>
#include <string>

#include "core/platform.h"
#include "program/frm_hangumi_screen.h"
#include "settings/settings.h"

class QCheckBox;
class QComboBox;

namespace meet::ui {

class FrmHangumi : public QWidget {
 public:
  FrmHangumi(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent = nullptr);

  FrmHangumiScreen& screen() { return screen_; }

 private:
  // The boxes and the combo box into the screen's options.
  void PullOptions();
  void Shoki();   // cmdShoki
  void Zikko();   // cmdZikko

  FrmHangumiScreen screen_;
  Platform& platform_;
  std::map<std::string, QCheckBox*> boxes_;
  QComboBox* cboPattern_ = nullptr;
};

// Registers the screen under the hub's button cmdHangumi.
void RegisterFrmHangumi();

}  // namespace meet::ui
