// The program's state for one run, split by owner, and the services it uses.
//
// Each unit owns its part of the state and its procedures (named as the system
// names them); the others reach it through the Core reference. There are no
// globals: a test builds a Core with fakes, the window and the CLI build one with
// their own services.
#pragma once

#include <memory>
#include <string>

#include "app/board_controls.h"
#include "app/reporter.h"
#include "app/shell.h"
#include "base/file_io.h"
#include "base/services.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/clock.h"
#include "link/link.h"
#include "link/port.h"
#include "ops/operations.h"
#include "setup/setups.h"

namespace zambrix {

class Core {
 public:
  // Leads the log lines of the simulated board's own events.
  static constexpr std::string_view kSimulatorMark = "[SIMULATED BOARD] ";

  explicit Core(Services services);
  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  Services svc;
  WindowModel ui;
  Reporter report;
  BoardControls board;  // board detection and the link's events
  Link link;
  DeviceSelection dev;
  Buffers buf;
  Operations ops;
  Setups setup;
  Shell shell;
  FixedNameSaves fixed_saves;  // ZAMBRIX.LOG and ZAMBRIX.BUF

  // Runs one operator event inside the guard: an exception (index outside a
  // buffer, counter overflow, file error) becomes a log line, the error alert and
  // a board reset, never a crash. Nested events run inside the outer guard.
  void RunEvent(const std::function<void()>& event);
  // True while an operator event runs.
  bool EventRunning() const { return event_depth_ > 0; }
  // The operator asks to stop the running operation: the Stop button or Esc
  // (closing = false), or closing the window. A read, blank check or verify
  // stops at once; a chip being written, or a close, is asked about first.
  // True when the stop was requested: the operation ends at its next board
  // access, the board is reset and "Operation stopped by the Operator" logged.
  bool AskToStop(bool closing);
  // An operator's click on a named control (the view and the CLI call this).
  void Click(std::string_view control);
  // An operator's change of a value (check box, option, slider, scroll bar).
  void ChangeValue(std::string_view control, int value);
  // An operator's choice in the device list.
  void ChooseListIndex(std::string_view control, int index);

 private:
  int event_depth_ = 0;
  std::shared_ptr<Core*> self_ = std::make_shared<Core*>(this);
};

}  // namespace zambrix
