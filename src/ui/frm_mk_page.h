// The page screen frmMkPage ("ページ調整"): the page list lstIchiran, the
// shown page txtPage, its slot count txtRace_0 and its eight race numbers
// txtRace_1..txtRace_8 in two columns (1–4 left, 5–8 right), and the buttons
// 挿入, 削除, 印刷. The rules live in FrmMkPageScreen; this widget moves texts,
// the caret, keys and clicks between it and the controls.
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>

#include "core/platform.h"
#include "print/frm_mk_page_screen.h"
#include "settings/settings.h"

class QLineEdit;
class QListWidget;

namespace meet::ui {

class FrmMkPage : public QWidget {
 public:
  FrmMkPage(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent = nullptr);

  FrmMkPageScreen& screen() { return screen_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The screen class's page, boxes and list into the controls.
  void Show();
  void PullBoxes();
  void Report(const Status& status);
  void Focus(int box);
  void Enter(int box);

  FrmMkPageScreen screen_;
  Platform& platform_;
  bool refreshing_ = false;
  QListWidget* lstIchiran_ = nullptr;
  QLineEdit* txtPage_ = nullptr;
  std::array<QLineEdit*, kPageBoxes + 1> txtRace_{};
};

// Registers the screen under the hub's button "ページ" (cmdMkPage).
void RegisterFrmMkPage();

}  // namespace meet::ui
