#include <iostream>
#include <string>
#include <vector>

#include "meetctl/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const int rc = meet::cli::Run(args, std::cin, std::cout, std::cerr);
  meet::cli::ReleaseQt();
  return rc;
}
