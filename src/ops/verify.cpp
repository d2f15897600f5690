// Verify: the chip compared with the bytes programming writes, over the same
// sweep (and with the same checksum) as the read.
#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Verify_button_Click() {
  VerifyFailed = 0;
  if (ui_.Value(control::CheckCode) == 1) VerifyDeviceCode();
  if (ui_.Value(control::CheckData) == 1) VerifyDeviceData();
}

void Operations::VerifyDeviceData() {
  RoutineNotReady("Please Write AT90S2313 VerifyData Routine", std::string(kAppTitle));
}

void Operations::VerifyDeviceCode() {
  auto& ui = ui_;
  auto& report = report_;
  BoardLost = false;
  DeviceChecksum = 0;
  buf_.ClearDifferences();
  ui.SetBackColour(control::Verify_button, kVerifyRunningColour);
  report.DataFlowLightOn();
  report.LogMessage("Verify Function Started... Wait");
  if (SerialKey()) {
    VerifySerial();
  } else if (!sweep_.Verify()) {
    return;
  }
  if (VerifyFailed == 0) {
    report.DataFlowLightOff();
    Conclude(Outcome::Kind::kDone, "Device Contents MATCHES with Buffer Contents");
    DeviceChecksumText = Hex4(DeviceChecksum);
    report.LogMessage("Device CHKSUMM = $" + DeviceChecksumText);
    report.PlayEventSound("OK");
    link_.Reset();
  }
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetBackColour(control::Verify_button, kVerifyIdleColour);
}

}  // namespace zambrix
