// The program printing screen frmLpPage ("プログラム"): txtLpS "->" txtLpE,
// txtMaisu ("枚数"), chkYakuin "競技役員", chkPreview "プレビュー" (the
// printout goes to the print preview instead of the printer) and cmdZikko
// "打出し", which prints and closes the screen. The rules live in
// FrmLpPageScreen.
#pragma once

#include <QDialog>
#include <filesystem>

#include "core/platform.h"
#include "print/frm_lp_page_screen.h"

class QCheckBox;
class QLineEdit;

namespace meet::ui {

class FrmLpPage : public QDialog {
 public:
  FrmLpPage(std::filesystem::path meetFolder, Settings settings, Platform& platform, QWidget* parent = nullptr);

  FrmLpPageScreen& screen() { return screen_; }
  // The screen class's fields into the boxes (after OpenOnRace / OpenOnPage).
  void Show();

 private:
  void Zikko();

  std::filesystem::path meetFolder_;
  FrmLpPageScreen screen_;
  Platform& platform_;
  QLineEdit* txtLpS_ = nullptr;
  QLineEdit* txtLpE_ = nullptr;
  QLineEdit* txtMaisu_ = nullptr;
  QCheckBox* chkPreview_ = nullptr;
};

inline constexpr const char* kPreviewAsPdf = "プレビューを表示できないため、PDF に書き出しました:";
// Runs a printout on the print preview (when `preview`) or on the platform's
// printer; a failure is told to the operator, and so is where the preview's
// PDF went when no window could show it (kPreviewAsPdf and the files).
void PrintTo(bool preview, const std::filesystem::path& meetFolder, Platform& platform,
             const std::function<Status(Platform&)>& print);

// Opens frmLpPage modally on the page that holds the race (the race screen's "プログラム").
void ShowFrmLpPageForRace(QWidget* parent, const std::filesystem::path& meetFolder, const Settings& settings,
                          int race, Platform& platform);

// Registers the screen under the hub's button "プログラム" (cmdLpPage).
void RegisterFrmLpPage();

}  // namespace meet::ui
