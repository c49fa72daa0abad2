#include "ui/main_window.h"

#include <QLabel>

namespace meet::ui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmKijun"));
  setWindowTitle(QStringLiteral("基準"));
  auto* label = new QLabel(QStringLiteral("meetdesk"), this);
  label->setAlignment(Qt::AlignCenter);
  setCentralWidget(label);
  resize(640, 480);
}

}  // namespace meet::ui
