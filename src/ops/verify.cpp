// Verify: the chip compared with the bytes programming writes, over the same
// sweep (and with the same checksum) as the read.
#include "app/core.h"
#include "base/text.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Verify_button_Click() {
  VerifyFailed = 0;
  if (core_.ui.Value("CheckCode") == 1) VerifyDeviceCode();
  if (core_.ui.Value("CheckData") == 1) VerifyDeviceData();
}

void Operations::VerifyDeviceData() {
  RoutineNotReady("Please Write AT90S2313 VerifyData Routine", std::string(Shell::kAppTitle));
}

bool Operations::CompareSweep(
    const std::function<bool(std::int32_t, std::uint8_t, std::uint8_t)>& per_byte,
    std::int32_t& compared) {
  auto& link = core_.link;
  auto& buf = core_.buf;
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
  auto& ui = core_.ui;
  auto& report = core_.report;
  BoardLost = false;
  DeviceChecksum = 0;
  core_.buf.ClearDifferences();
  ui.SetBackColour("Verify_button", kVerifyRunningColour);
  report.DataFlowLightOn();
  report.LogMessage("Verify Function Started... Wait");
  if (SerialKey()) {
    VerifySerial();
  } else {
    if (!ConfirmBoard("before the verify")) {
      ui.SetBackColour("Verify_button", kVerifyIdleColour);
      return;
    }
    std::int32_t compared = 0;
    const bool same = CompareSweep(
        [this](std::int32_t address, std::uint8_t value, std::uint8_t expected) {
          if (value == expected) return true;
          WorkAddress = address;
          core_.link.ReadValue = value;
          ReportVerifyMismatch(expected);
          return false;
        },
        compared);
    if (!same || !ConfirmBoard("after the verify")) {
      ui.SetBackColour("Verify_button", kVerifyIdleColour);
      if (VerifyFailed != 0 && !BoardLost && core_.buf.ListDifferences) CollectDifferences();
      return;
    }
    const std::int32_t swept = std::max<std::int32_t>(core_.buf.CodeSize, 0);
    if (compared != swept || compared != core_.buf.ProgramLength) {
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
    core_.link.Reset();
  }
  ui.SetValueQuiet("ProgressBar1", 0);
  ui.SetBackColour("Verify_button", kVerifyIdleColour);
}

void Operations::ReportVerifyMismatch(std::uint8_t expected) {
  auto& report = core_.report;
  VerifyFailed = 1;
  VerifyExpected = expected;
  VerifyActual = core_.link.ReadValue;
  // A board that went away reads FFh: that is no difference of the chip.
  if (!ConfirmBoard("during the verify")) {
    core_.ui.SetBackColour("Verify_button", kVerifyIdleColour);
    return;
  }
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  Conclude(Outcome::Kind::kFailed, "Device Memory DOES NOT VERIFY with Buffer Contents");
  const std::string where = "Address: " + HexText(WorkAddress) +
                            " ][ Buffer Data: " + HexText(expected) +
                            " ][ Device Data: " + HexText(core_.link.ReadValue);
  report.LogMessage(where);
  Result.FailedAt(where, WorkAddress, expected, core_.link.ReadValue);
  report.LogMessage("Click on [ERROR] Alert to Reset the Situation");
  core_.ui.SetBackColour("Verify_button", kVerifyIdleColour);
  report.PlayEventSound("ERROR");
  core_.link.Reset();
}

}  // namespace zambrix
