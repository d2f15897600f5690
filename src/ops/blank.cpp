// Blank check: every byte must read FFh.
#include "app/core.h"
#include "base/text.h"

namespace zambrix {

void Operations::Blank_button_Click() {
  if (core_.ui.Value("CheckCode") == 1) BlankCheckCode();
  if (core_.ui.Value("CheckData") == 1) BlankCheckData();
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
  auto& link = core_.link;
  auto& ui = core_.ui;
  auto& report = core_.report;

  BoardLost = false;
  if (!ConfirmBoard("before the blank check")) return;
  report.DataFlowLightOn();
  report.LogMessage("Checking Device for BLANK (Erased)... Wait");
  StartCompareSweep();
  core_.svc.clock->Spin(100);
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
  ui.SetValueQuiet("ProgressBar1", 0);
  report.PlayEventSound("OK");
  link.Reset();
}

void Operations::ReportNotBlank() {
  auto& report = core_.report;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  Conclude(Outcome::Kind::kFailed, "Device IS NOT BLANK (ERASED)");
  const std::string where =
      "Address: " + HexText(WorkAddress) + " ][ Device Data: " + HexText(core_.link.ReadValue);
  report.LogMessage(where);
  Result.FailedAt(where, WorkAddress, 0xFF, core_.link.ReadValue);
  report.LogMessage("Click on [ERROR] alert to Reset the Situation");
  report.PlayEventSound("ERROR");
}

}  // namespace zambrix
