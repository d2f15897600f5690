// Running programs other people wrote (srec_cat, objcopy, sigrok-cli) from a test.
#pragma once

#include <cstdio>
#include <string>

namespace zambrix::testing {

// True when `program` is on the PATH.
inline bool ToolAvailable(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output, and its exit status in `status`.
inline std::string RunTool(const std::string& command, int& status) {
  std::string out;
  std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (p == nullptr) {
    status = -1;
    return out;
  }
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, p)) > 0;) out.append(chunk, n);
  status = ::pclose(p);
  return out;
}

}  // namespace zambrix::testing
