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

// A device named on the command line: a whole catalogue name or a part number,
// without regard to case and surrounding blanks.
struct DeviceMatch {
  int row = -1;                 // the chosen row, -1 when none
  std::string error;            // why none was chosen
  std::vector<int> candidates;  // for an ambiguous name
};
DeviceMatch MatchDevice(const std::vector<std::string>& names, const std::vector<bool>& offered,
                        const std::string& query);

}  // namespace zambrix::cli
