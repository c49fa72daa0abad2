// The hub's "点検" window without its widgets: the check of the meet folder in
// use and the entry file, as the lines of a read-only list and a summary.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "results/meet_check.h"

namespace meet {

class FrmTenkenScreen {
 public:
  // Checks the folder at once: the window opens on the report.
  FrmTenkenScreen(std::filesystem::path meetFolder, std::filesystem::path entryFile);

  // Checks the folder again.
  void Check();

  // The list's lines, one finding each (none for a sound folder).
  const std::vector<std::string>& lines() const { return report_.lines; }
  // The line under the list: how many problems were found, or none.
  std::string summary() const { return report_.Summary(); }
  bool clean() const { return report_.clean(); }

 private:
  std::filesystem::path meetFolder_, entryFile_;
  MeetCheckReport report_;
};

}  // namespace meet
