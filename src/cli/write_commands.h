// The commands that write or compare a chip: program, verify, check, erase.
// They load the file as Open Code does, set the window's controls and click the
// same handlers the operator clicks.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "cli/cli_services.h"

namespace zambrix {
class Core;
}

namespace zambrix::cli {

struct WriteOptions {
  std::string input;  // -i FILE
  std::string bytes;  // --bytes both|hi|low
  std::string vpp;    // --vpp 5|12.5|21|25
  // --offset and --length: the part of the image that goes to the chip, from
  // its address 0; empty when not given.
  std::string offset, length;
  bool force_vpp = false;  // --force-vpp: a voltage above the chip's rating
  bool blank_check = false;
  bool verify = false;
  bool all = false;
  bool yes = false;
  // A setup restored by --setup: its code file, byte selection and automatic
  // checks stand unless an option here names others.
  bool from_setup = false;
};

struct WriteContext {
  Core& core;
  CliDialogs& dialogs;
  std::FILE* out;
  std::FILE* err;
  const WriteOptions& options;
  // Prints the message and returns the status.
  std::function<int(int status, const std::string& message)> fail;
  // Chooses the device of -d and makes sure a board is there; 0 or the status.
  std::function<int()> select_device;
  // Whether a question can be asked on standard input.
  bool interactive = false;
};

// Loads `file` into the code buffer as File / Open Code does, after checking
// that it is a regular file; 0, or the status after `fail` printed why not.
int OpenCodeFile(Core& core, CliDialogs& dialogs, const std::string& file,
                 const std::function<int(int, const std::string&)>& fail);
// What a saved setup keeps of these options: the byte selection, the voltage
// and the automatic checks, each only when its option is given.
int ApplySetupOptions(WriteContext& c);

// Why an operation was refused: the log's line that says so, or that the
// device has no such routine.
std::string Refusal(const Core& core, const std::string& what);
int ProgramCommand(WriteContext& c);
int VerifyCommand(WriteContext& c);
int CheckCommand(WriteContext& c);
int EraseCommand(WriteContext& c);

}  // namespace zambrix::cli
