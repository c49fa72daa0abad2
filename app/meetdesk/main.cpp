#include <QApplication>
#include <QTimer>

#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  meet::ui::MainWindow window;
  window.show();
  // --check: open the window, let it draw, and close it again (headless runs).
  if (app.arguments().contains(QStringLiteral("--check"))) QTimer::singleShot(200, &app, &QApplication::quit);
  return app.exec();
}
