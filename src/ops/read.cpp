// The Read command: a parallel chip over the sweep, a 24Cxx over its bus.
#include <algorithm>
#include <stdexcept>
#include <vector>

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

void Operations::ReadSerialDevice() {
  auto& link = link_;
  auto& ui = ui_;
  auto& report = report_;
  auto& buf = buf_;
  if (!StartRead()) return;
  ui.SetMax(control::ProgressBar1, buf.CodeSize);
  Read24Cxx();
  report.DataFlowLightOff();
  if (ErrorCount != 0) {
    // A board that went away answers like a chip that does not acknowledge.
    if (!ConfirmBoard("during the read")) return;
    ReportSerialAckError();
  } else {
    if (!ConfirmBoard("after the read")) return;
    Conclude(Outcome::Kind::kDone,
             std::to_string(std::min(buf.CodeSize, dev_.DeviceSize)) + " bytes Read from Device");
    DeviceDigests = buf.LogDigests(
        "Device",
        std::span(buf.CodeBuffer)
            .first(static_cast<std::size_t>(std::max(0, std::min(buf.CodeSize, dev_.DeviceSize)))));
    ShowReadBuffer();
    report.PlayEventSound("OK");
  }
  MarkCodeBufferRead();
  link.Reset();
  SerialLinesAtRest();
  link.Reg0Value = 0x40;  // the shadow only: latch 0 keeps output enable on
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
