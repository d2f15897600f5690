// The command line's words: the usage text and the options parsed from them.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "app/backend.h"
#include "cli/write_commands.h"

namespace zambrix::cli {

extern const char* const kUsageText;

struct Options {
  BackEndOptions backend;
  std::string port, model, speed, log_file, settings_dir, catalogue, format;
  bool quiet = false, yes = false, help = false, version = false, json = false;
  std::string command, device, output, input, page;
  std::string setup, setup_name;
  std::vector<std::string> operands;  // after the command
  WriteOptions write;
};

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The options of a command line (without the program name); UsageError for an
// unknown option, a missing value or a stray argument.
Options Parse(std::vector<std::string> args);

}  // namespace zambrix::cli
