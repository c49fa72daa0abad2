// "速報": starts and stops the live results server over the hub's meet
// folder, and shows the address to give out to the stands.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace meet {
class LiveServer;
}

namespace meet::ui {

class FrmLive : public QDialog {
 public:
  FrmLive(std::filesystem::path meetFolder, std::string entryFolder, std::string entryFileName, QWidget* parent = nullptr);
  ~FrmLive() override;

  bool running() const { return server_ != nullptr; }
  void Start();  // cmdStart
  void Stop();   // cmdStop

 private:
  void ShowState(const QString& text);

  std::filesystem::path meetFolder_;
  std::string entryFolder_, entryFileName_;
  std::unique_ptr<LiveServer> server_;
  QLineEdit* txtListen_ = nullptr;
  QLineEdit* txtPort_ = nullptr;
  QCheckBox* chkUnmask_ = nullptr;
  QPushButton* cmdStart_ = nullptr;
  QPushButton* cmdStop_ = nullptr;
  QLabel* lblAddress_ = nullptr;
};

}  // namespace meet::ui
