#include "cli/cli.h"

#include <cstdio>

namespace zambrix::cli {

int Run(const std::vector<std::string>&) {
  std::fputs("zambrix-cli: not yet available\n", stderr);
  return 2;
}

}  // namespace zambrix::cli
