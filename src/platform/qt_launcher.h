// Starts the entry program as a separate process, without waiting for it.
#pragma once

#include "core/platform.h"

namespace meet {

class QtLauncher : public Launcher {
 public:
  bool Start(const std::string& program) override;
};

}  // namespace meet
