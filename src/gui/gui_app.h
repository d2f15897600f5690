// The window program's start: its own options, the back end, the services,
// the core and the main window.
#pragma once

#include <string>
#include <vector>

#include "app/backend.h"

namespace zambrix::gui {

struct GuiOptions {
  BackEndOptions backend;
  bool help = false;
  bool version = false;
  std::string screenshot;         // save a picture of the main window there and quit
  std::string settings_dir;       // the settings store, setups and start-up file live there
  std::vector<std::string> rest;  // left for Qt (-platform, -style, ...)
};

// Takes our options out of the arguments (without the program name); throws
// BackEndError for a missing value.
GuiOptions ParseGuiOptions(std::vector<std::string> args);
std::string GuiUsage();

// Runs the window program; returns the exit status.
int RunGui(int argc, char** argv);

}  // namespace zambrix::gui
