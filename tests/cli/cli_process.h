// Runs the command-line front end as a process, as a script would run it.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace zambrix::testing {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out, err;
};

class Cli : public ::testing::Test {
 protected:
  // Runs the binary with its own settings folder, so no run touches another's
  // file; in the folder `cwd` when one is given.
  Result Run(const std::string& args, const fs::path& cwd = {}) {
    auto out = dir_ / "out.txt", err = dir_ / "err.txt";
    std::string cmd = std::string(ZAMBRIX_CLI_BINARY) + " --settings-dir " + dir_.string() + " " +
                      args + " >" + out.string() + " 2>" + err.string() + " </dev/null";
    if (!cwd.empty()) cmd = "cd '" + cwd.string() + "' && " + cmd;
    Result r;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
  }
  // Runs on the simulated board.
  Result Sim(const std::string& args) { return Run("--board sim " + args); }
  static std::string Slurp(const fs::path& p) { return ReadWholeFile(p); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // A file of `size` random bytes in the test's folder; its path.
  std::string RandomFile(const std::string& name, std::size_t size, unsigned seed) const {
    WriteWholeFile(dir_ / name, RandomBytes(size, seed));
    return Path(name);
  }
  TempDir tmp_;
  const fs::path& dir_ = tmp_.path();
};

}  // namespace zambrix::testing
