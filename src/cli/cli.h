// The command-line front end: runs the program's own handlers for scripts.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zambrix::cli {

enum ExitStatus {
  kOk = 0,
  kOperationFailed = 1,  // not blank, mismatch, no acknowledge, programming failure
  kUsage = 2,            // unknown or refused device, bad option
  kNoBoard = 3,          // no board found, port unusable
  kFileError = 4,
};

// Runs one command line (without the program name); returns the exit status.
int Run(const std::vector<std::string>& args, std::FILE* out = stdout, std::FILE* err = stderr);

// `doctor`: why a real board is or is not reachable, one line a finding; exit
// 0 when a usable port exists, 3 otherwise. Runs before any port is claimed.
int Doctor(std::FILE* out);

}  // namespace zambrix::cli
