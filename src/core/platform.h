// What the system asks of its surroundings: a printer, questions to the
// operator, the clock and a way to start the entry program. Each is a small
// interface; the Qt versions live in platform/, test doubles in tests/.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/printer.h"

namespace meet {

// Questions and notices with the system's fixed texts.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // True for OK, false for Cancel.
  virtual bool AskOkCancel(std::string_view text) = 0;
  // True for Yes, false for No.
  virtual bool AskYesNo(std::string_view text) = 0;
  // A notice with only an OK button.
  virtual void Notify(std::string_view text) = 0;
  virtual std::optional<std::string> PickFolder(std::string_view title, std::string_view start) = 0;
  virtual std::optional<std::string> PickFile(std::string_view title, std::string_view start,
                                              std::string_view pattern) = 0;
};

struct DateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;
};

// The computer's own clock, local time.
class SystemClock : public Clock {
 public:
  DateTime Now() const override;
};

// "yyyy/mm/dd" and "hh:mm:ss" of a moment.
std::string DateSlashed(const DateTime& t);
std::string TimeColons(const DateTime& t);

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts the program without waiting; false when it could not be started.
  virtual bool Start(const std::string& program) = 0;
};

// Surroundings with nobody at the screen (the live server, fuzzing, the
// benches): every question gets the same answer, notices go nowhere, no
// folder or file is picked and no program is started.
class FixedAnswerDialogs : public Dialogs {
 public:
  explicit FixedAnswerDialogs(bool answer) : answer_(answer) {}
  bool AskOkCancel(std::string_view) override { return answer_; }
  bool AskYesNo(std::string_view) override { return answer_; }
  void Notify(std::string_view) override {}
  std::optional<std::string> PickFolder(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> PickFile(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }

 private:
  bool answer_;
};
class NoLauncher : public Launcher {
 public:
  bool Start(const std::string&) override { return false; }
};

// The surroundings handed to every screen class and command.
struct Platform {
  Printer& printer;
  Dialogs& dialogs;
  Clock& clock;
  Launcher& launcher;
};

}  // namespace meet
