// Every command of the screens holds the meet folder's lock while it runs: a
// key press, a click, a window closing — with all the reading, writing and
// questions it leads to — is one command. Another process that writes the
// meet keeps the screens waiting up to a few seconds; then the operator is
// told who holds it and the key or click does nothing.
#pragma once

#include <QApplication>
#include <functional>
#include <string>

#include "core/platform.h"

namespace meet::ui {

// Runs `deliver` holding the lock of `meetFolder` (nothing to lock when it is
// empty or holds no kijun.dat). When the lock cannot be had, tells the
// operator through `dialogs` and returns false without running it.
bool RunAsCommand(const std::string& meetFolder, const std::string& command, Dialogs& dialogs,
                  const std::function<void()>& deliver);

// The application of meetdesk: key presses, clicks and closing windows are
// delivered as commands under the meet folder's lock (see above).
class LockingApplication : public QApplication {
 public:
  LockingApplication(int& argc, char** argv);
  // The meet folder in use, asked at every command; and where to tell the
  // operator that it is locked.
  void SetMeetFolder(std::function<std::string()> meetFolder) { meetFolder_ = std::move(meetFolder); }
  void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  bool Deliver(QObject* receiver, QEvent* event);
  std::function<std::string()> meetFolder_;
  Dialogs* dialogs_ = nullptr;
  int depth_ = 0;
};

}  // namespace meet::ui
