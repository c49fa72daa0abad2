// Questions, notices and pickers as Qt message boxes and file dialogs.
#pragma once

#include "core/platform.h"

class QWidget;

namespace meet {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  bool AskOkCancel(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Notify(std::string_view text) override;
  std::optional<std::string> PickFolder(std::string_view title, std::string_view start) override;
  std::optional<std::string> PickFile(std::string_view title, std::string_view start,
                                      std::string_view pattern) override;

 private:
  QWidget* parent_;
};

}  // namespace meet
