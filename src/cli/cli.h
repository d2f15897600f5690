// The command-line front end: runs the program's own handlers for scripts.
#pragma once

#include <string>
#include <vector>

namespace zambrix::cli {

// Runs one command line (without the program name); returns the exit status.
int Run(const std::vector<std::string>& args);

}  // namespace zambrix::cli
