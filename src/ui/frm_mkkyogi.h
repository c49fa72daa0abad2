// The race title dialog frmmKkyogi ("競技ﾀｲﾄﾙ変更"), opened modally from the
// race screen's maintenance menu for the race shown. The rules live in
// FrmmKkyogiScreen; this dialog only moves the boxes' texts and the chosen
// insertion to it, runs "実行" and closes. What an insertion moved is
// handed back for the race screen to tell.
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>

#include "core/platform.h"
#include "program/race_title.h"

class QLineEdit;
class QRadioButton;

namespace meet::ui {

class FrmmKkyogi : public QDialog {
 public:
  FrmmKkyogi(const std::filesystem::path& meetFolder, int currentRace, Platform& platform, QWidget* parent = nullptr);

  FrmmKkyogiScreen& screen() { return screen_; }
  const Status& loadStatus() const { return loaded_; }
  // What the accepted "実行" did.
  const TitleChange& change() const { return change_; }

 private:
  void Zikko();

  FrmmKkyogiScreen screen_;
  Platform& platform_;
  Status loaded_;
  TitleChange change_;
  std::array<QLineEdit*, 10> boxes_{};
  std::array<QRadioButton*, 3> optSohnyu_{};
};

// Shows frmmKkyogi modally; a race that cannot be shown is told instead.
// Gives the summary of the insertion made (InsertionSummary), empty when
// none was made.
std::string ShowFrmmKkyogi(QWidget* parent, const std::filesystem::path& meetFolder, int currentRace,
                           Platform& platform);

}  // namespace meet::ui
