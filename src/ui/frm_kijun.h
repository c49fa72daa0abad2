// The hub screen frmKijun ("基準"): the meet folder and entry file pickers,
// every meet setting, and the buttons that open the other screens. The rules
// live in FrmKijunScreen (data/hub.h) and SettingsForm; this widget only
// moves texts, caret positions and clicks between them and the controls.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/platform.h"
#include "data/hub.h"

class QButtonGroup;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace meet::ui {
class FrmLive;
}
class QTreeView;

namespace meet::ui {

// Shown as the tool tip of a button whose screen is not built, and as a
// notice when such a button is pressed.
inline constexpr const char* kScreenNotAvailable = "この画面はまだ使えません。";

class FrmKijun : public QWidget {
 public:
  FrmKijun(std::filesystem::path folderConfigFile, Platform& platform, QWidget* parent = nullptr);

  // A hub in its own window, deleted when it is closed: at program start and
  // when a screen that closed the hub ends. Folders and settings are read
  // from their files.
  static FrmKijun* OpenHub(const std::filesystem::path& folderConfigFile, Platform& platform);

  FrmKijunScreen& screen() { return screen_; }

  // The folder pickers: the folder shown as chosen in Dir1 / Dir2.
  void ShowMeetPickerFolder(const QString& folder);
  void ShowEntryPickerFolder(const QString& folder);
  QString meetPickerFolder() const { return dir1Path_; }
  QString entryPickerFolder() const { return dir2Path_; }

  // Enables each screen button whose screen is registered.
  void RefreshScreenButtons();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildFolders();
  QWidget* BuildIdentity();
  QWidget* BuildOptions();
  QWidget* BuildSeeding();
  QWidget* BuildCopies();
  QWidget* BuildPoints();
  QWidget* BuildButtons();
  QLineEdit* MakeEdit(const QString& name, int width);
  QWidget* MakeOptionGroup(const QString& caption, const QString& group, const QStringList& captions, bool vertical);
  QPushButton* MakeScreenButton(const ScreenLink& link);
  QTreeView* MakeFolderPicker(const QString& name, QComboBox* drive, QFileSystemModel*& model);

  // ShowSettings: every field from the settings, the entry file in use.
  void ShowSettings();
  void Report(const Error& error);
  bool CommitField(QLineEdit* edit);
  void MoveFocusTo(const std::string& control);
  void ChangeMeetFolder();        // cmdHenko
  void TakeInEntryFile();         // cmdYomi
  void OpenScreen(const ScreenLink& link);
  void RefreshEntryFiles();

  FrmKijunScreen screen_;
  Platform& platform_;

  std::map<std::string, QLineEdit*> edits_;
  std::map<std::string, QButtonGroup*> optionGroups_;
  std::map<std::string, QPushButton*> screenButtons_;
  QComboBox* drive1_ = nullptr;
  QComboBox* drive2_ = nullptr;
  QTreeView* dir1_ = nullptr;
  QTreeView* dir2_ = nullptr;
  QFileSystemModel* dir1Model_ = nullptr;
  QFileSystemModel* dir2Model_ = nullptr;
  QListWidget* filMosi_ = nullptr;
  QLabel* lblDrM_ = nullptr;
  QComboBox* cboKousu_ = nullptr;
  QPushButton* cmdYomi_ = nullptr;
  FrmLive* frmLive_ = nullptr;  // "速報": kept while the hub is open
  QString dir1Path_;
  QString dir2Path_;
};

}  // namespace meet::ui
