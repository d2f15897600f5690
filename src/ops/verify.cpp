// Verify: the chip compared with the bytes programming writes, over the same
// sweep (and with the same checksum) as the read.
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

void Operations::Verify_button_Click() {
  VerifyFailed = 0;
  if (ui_.Value(control::CheckCode) == 1) VerifyDeviceCode();
  if (ui_.Value(control::CheckData) == 1) VerifyDeviceData();
}

void Operations::VerifyDeviceData() {
  RoutineNotReady("Please Write AT90S2313 VerifyData Routine", std::string(kAppTitle));
}

bool Operations::CompareSweep(
    const std::function<bool(std::int32_t, std::uint8_t, std::uint8_t)>& per_byte,
    std::int32_t& compared) {
  auto& link = link_;
  auto& buf = buf_;
  BuildProgramImage();
  StartCompareSweep();
  DeviceChecksum = 0;
  compared = 0;
  // Only the bytes programming writes are compared: with "Hi Byte" or "Low Byte"
  // the program buffer beyond ProgramLength holds an earlier preparation.
  const std::int32_t extent = buf.ProgramLength;
  const auto& program = buf.ProgramBuffer;
  return ParallelSweep([&](std::int32_t address, std::uint8_t value) {
    DeviceChecksum = (DeviceChecksum + value) & 0xFFFF;
    link.CurrentAddress = address + 1;
    if (address >= extent) return true;
    ++compared;
    return per_byte(address, value, program.at(static_cast<std::size_t>(address)));
  });
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
  } else {
    if (!ConfirmBoard("before the verify")) {
      ui.SetBackColour(control::Verify_button, kVerifyIdleColour);
      return;
    }
    std::int32_t compared = 0;
    const bool same = CompareSweep(
        [this](std::int32_t address, std::uint8_t value, std::uint8_t expected) {
          if (value == expected) return true;
          WorkAddress = address;
          link_.ReadValue = value;
          ReportVerifyMismatch(expected);
          return false;
        },
        compared);
    if (!same || !ConfirmBoard("after the verify")) {
      ui.SetBackColour(control::Verify_button, kVerifyIdleColour);
      if (VerifyFailed != 0 && !BoardLost && buf_.ListDifferences) CollectDifferences();
      return;
    }
    const std::int32_t swept = std::max<std::int32_t>(buf_.CodeSize, 0);
    if (compared != swept || compared != buf_.ProgramLength) {
      report.LogMessage("Compared " + std::to_string(compared) + " programmed bytes of " +
                        std::to_string(swept) + " read");
    }
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

void Operations::ReportVerifyMismatch(std::uint8_t expected) {
  auto& report = report_;
  VerifyFailed = 1;
  VerifyExpected = expected;
  VerifyActual = link_.ReadValue;
  // A board that went away reads FFh: that is no difference of the chip.
  if (!ConfirmBoard("during the verify")) {
    ui_.SetBackColour(control::Verify_button, kVerifyIdleColour);
    return;
  }
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  Conclude(Outcome::Kind::kFailed, "Device Memory DOES NOT VERIFY with Buffer Contents");
  const std::string where = "Address: " + HexText(WorkAddress) +
                            " ][ Buffer Data: " + HexText(expected) +
                            " ][ Device Data: " + HexText(link_.ReadValue);
  report.LogMessage(where);
  Result.FailedAt(where, WorkAddress, expected, link_.ReadValue);
  report.LogMessage("Click on [ERROR] Alert to Reset the Situation");
  ui_.SetBackColour(control::Verify_button, kVerifyIdleColour);
  report.PlayEventSound("ERROR");
  link_.Reset();
}

}  // namespace zambrix
