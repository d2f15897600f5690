// The Read command: a parallel chip over the sweep, a 24Cxx over its bus.
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "base/control_names.h"
#include "base/report.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Read_button_Click() {
  if (ui_.Value(control::CheckCode) == 1) ReadDeviceCode();
  if (ui_.Value(control::CheckData) == 1) ReadDeviceData();
}

void Operations::ReadDeviceCode() {
  if (ParallelDevice()) {
    ReadParallelDevice();
  } else if (SerialKey()) {
    ReadSerialDevice();
  } else {
    RoutineNotReady("Please Write Missing Routines at READCODE");
  }
}

void Operations::ReadDeviceData() {
  auto& link = link_;
  auto& ui = ui_;
  buf_.DisplayMode = "Read";
  link.REG4OFF();
  link.CEOEON();
  report_.DataFlowLightOn();
  ProgressStep = buf_.CodeSize / 100;
  ProgressCount = 0;
  report_.LogMessage("Start Device Reading Operation");
  ui.SetText(control::sbStatusBar, "Reading Device... Wait");
  RoutineNotReady("Please Write AT90S2313 Eeprom Read Routine");
}

}  // namespace zambrix
