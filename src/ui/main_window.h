// The application's first window. The hub screen takes its place once built.
#pragma once

#include <QMainWindow>

namespace meet::ui {

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace meet::ui
