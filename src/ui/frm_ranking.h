// The ranking screen frmRanking ("ランキング"), opened by the hub's
// "ランキング" (cmdAto); the hub closes and comes back fresh on "終". The rules
// live in FrmRankingScreen; this widget moves clicks and texts between it and
// the controls, and runs "実行" one event at a time from the event loop so
// that the window stays responsive while txtHyoji shows the progress.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "core/platform.h"
#include "data/hub.h"
#include "results/frm_ranking_screen.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace meet::ui {

class FrmRanking : public QWidget {
 public:
  FrmRanking(const HubState& state, Platform& platform, QWidget* parent = nullptr);

  FrmRankingScreen& screen() { return screen_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Show();
  void Run();
  void NextStep();
  void Done();

  FrmRankingScreen screen_;
  Platform& platform_;
  std::array<std::vector<QRadioButton*>, 7> options_;
  std::array<std::array<QLineEdit*, 2>, 4> ranges_{};
  QLineEdit* txtJun_ = nullptr;
  QLineEdit* txtQBan_ = nullptr;
  QLineEdit* txtHyoji_ = nullptr;
  QCheckBox* chkInsatu_ = nullptr;
  QCheckBox* chkHtml_ = nullptr;
  QCheckBox* chkHiroshima_ = nullptr;
  QPushButton* cmdZikko_ = nullptr;
  QPushButton* cmdOwari_ = nullptr;
};

// Registers the screen under the hub's button "ランキング" (cmdAto).
void RegisterFrmRanking();

}  // namespace meet::ui
