#include "platform/qt_launcher.h"

#include <QProcess>
#include <QStringList>

namespace meet {

bool QtLauncher::Start(const std::string& program) {
  if (program.empty()) return false;
  return QProcess::startDetached(QString::fromStdString(program), QStringList());
}

}  // namespace meet
