// Blank check: every byte must read FFh.
#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/clock.h"
#include "link/link.h"
#include "link/link_events.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Blank_button_Click() {
  if (ui_.Value(control::CheckCode) == 1) BlankCheckCode();
  if (ui_.Value(control::CheckData) == 1) BlankCheckData();
}

void Operations::BlankCheckCode() {
  if (ParallelDevice()) {
    BlankCheckParallel();
  } else {
    RoutineNotReady("Please Write Missing Routines at BLANKCODE", "Missing Routine");
  }
}

void Operations::BlankCheckData() {
  RoutineNotReady("Please Write AT90S2313 Check Blank Eeprom Routine");
}

void Operations::BlankCheckParallel() {
  auto& link = link_;
  auto& ui = ui_;
  auto& report = report_;

  BoardLost = false;
  if (!ConfirmBoard("before the blank check")) return;
  report.DataFlowLightOn();
  report.LogMessage("Checking Device for BLANK (Erased)... Wait");
  StartCompareSweep();
  svc_.clock->Spin(100);
  bool blank = ParallelSweep([this, &link](std::int32_t address, std::uint8_t value) {
    if (value == 0xFF) return true;
    WorkAddress = address;
    link.ReadValue = value;
    return false;
  });
  // A byte that is not FFh is only news if the board gave it.
  if (BoardLost || !ConfirmBoard("after the blank check")) return;
  if (!blank) {
    // The latches stay as they are: no reset after a failed check.
    ReportNotBlank();
    return;
  }
  report.DataFlowLightOff();
  ReportPartialLength("Checked");
  Conclude(Outcome::Kind::kDone, "Device IS BLANK (ERASED)");
  ui.SetValueQuiet(control::ProgressBar1, 0);
  report.PlayEventSound("OK");
  link.Reset();
}

void Operations::ReportNotBlank() {
  auto& report = report_;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  Conclude(Outcome::Kind::kFailed, "Device IS NOT BLANK (ERASED)");
  const std::string where =
      "Address: " + HexText(WorkAddress) + " ][ Device Data: " + HexText(link_.ReadValue);
  report.LogMessage(where);
  Result.FailedAt(where, WorkAddress, 0xFF, link_.ReadValue);
  report.LogMessage("Click on [ERROR] alert to Reset the Situation");
  report.PlayEventSound("ERROR");
}

}  // namespace zambrix
