// The command line: NUL-separated arguments, run on the simulated board in a
// private folder. File names may not leave that folder.
#include "cli/cli.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zambrix;
  auto args = fuzz::Split(data, size, '\0', 12);
  for (const auto& a : args) {
    if (a.find('/') != std::string::npos || a.rfind("--board", 0) == 0 || a == "doctor") return 0;
  }
  fuzz::WorkFolder();
  fuzz::ClearWorkFolder();
  std::vector<std::string> full = {"--board", "sim", "--settings-dir", "."};
  full.insert(full.end(), args.begin(), args.end());
  cli::Run(full, fuzz::DevNull(), fuzz::DevNull());
  return 0;
}
