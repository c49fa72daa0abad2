// Runs meetctl in the test's own process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "meetctl/cli.h"

namespace meet {

struct CliRun {
  int rc;
  std::string out;
  std::string err;
};

inline CliRun Meetctl(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  int rc = cli::Run(args, in, out, err);
  return {rc, out.str(), err.str()};
}

}  // namespace meet
