#include "platform/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace meet {

namespace {
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
const QString kTitle = QStringLiteral("meetdesk");
}  // namespace

bool QtDialogs::AskOkCancel(std::string_view text) {
  return QMessageBox::question(parent_, kTitle, Q(text), QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Cancel) == QMessageBox::Ok;
}

bool QtDialogs::AskYesNo(std::string_view text) {
  return QMessageBox::question(parent_, kTitle, Q(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

void QtDialogs::Notify(std::string_view text) { QMessageBox::information(parent_, kTitle, Q(text)); }

std::optional<std::string> QtDialogs::PickFolder(std::string_view title, std::string_view start) {
  QString dir = QFileDialog::getExistingDirectory(parent_, Q(title), Q(start));
  if (dir.isEmpty()) return std::nullopt;
  return dir.toStdString();
}

std::optional<std::string> QtDialogs::PickFile(std::string_view title, std::string_view start,
                                               std::string_view pattern) {
  QString file = QFileDialog::getOpenFileName(parent_, Q(title), Q(start), Q(pattern));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

}  // namespace meet
