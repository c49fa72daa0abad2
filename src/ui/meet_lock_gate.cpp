#include "ui/meet_lock_gate.h"

#include <QEvent>
#include <QWidget>
#include <filesystem>
#include <optional>

#include "core/file_names.h"
#include "core/meet_lock.h"
#include "settings/settings.h"

namespace meet::ui {

bool RunAsCommand(const std::string& meetFolder, const std::string& command, Dialogs& dialogs,
                  const std::function<void()>& deliver) {
  std::error_code ec;
  std::optional<MeetLock> lock;
  if (!meetFolder.empty() && std::filesystem::is_regular_file(FindFile(meetFolder, kSettingsFileName), ec)) {
    auto taken = MeetLock::Acquire(meetFolder, command);
    if (!taken) {
      dialogs.Notify(taken.error().message);
      return false;
    }
    lock = std::move(*taken);
  }
  deliver();
  return true;
}

LockingApplication::LockingApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool LockingApplication::notify(QObject* receiver, QEvent* event) {
  // No failure leaves a screen as an exception: it is a message.
  try {
    return Deliver(receiver, event);
  } catch (const std::exception& e) {
    if (dialogs_) dialogs_->Notify(std::string("処理を続けられませんでした: ") + e.what());
    return true;
  }
}

bool LockingApplication::Deliver(QObject* receiver, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool command = type == QEvent::KeyPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::Close;
  if (!command || depth_ > 0 || !meetFolder_ || !dialogs_ || !receiver->isWidgetType())
    return QApplication::notify(receiver, event);
  auto* widget = static_cast<QWidget*>(receiver);
  const std::string name = "meetdesk " + widget->window()->objectName().toStdString() + " " +
                           widget->objectName().toStdString();
  bool result = true;
  ++depth_;
  RunAsCommand(meetFolder_(), name, *dialogs_, [&] { result = QApplication::notify(receiver, event); });
  --depth_;
  return result;
}

}  // namespace meet::ui
