// The Program command: the operator's confirmation, the optional blank check
// and verify, the program image, the choice of algorithm and the report.
#include <algorithm>

#include "app/core.h"
#include "base/interrupt.h"
#include "base/text.h"
#include "link/boards.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Program_button_Click() {
  core_.ui.SetValue("VScroll1", 0);
  auto& link = core_.link;
  link.CurrentAddress = 0;
  link.Endereco2Adr();
  if (core_.ui.Value("CheckCode") == 1) ProgramDeviceCode();
  if (core_.ui.Value("CheckData") == 1) ProgramDeviceData();
}

void Operations::ProgramDeviceData() {
  RoutineNotReady("Please Write A90S2313 Program Data Routine", std::string(Shell::kAppTitle));
}

void Operations::BuildProgramImage() {
  auto& buf = core_.buf;
  const std::int32_t size = core_.dev.DeviceSize;
  // A shorter file ends the image at its own last byte: the chip beyond it is
  // left as it is, whatever the family.
  const std::int32_t extent = buf.ProgramExtent();
  const int option = core_.ui.Value("HiLow_button(1)")   ? 1
                     : core_.ui.Value("HiLow_button(2)") ? 2
                                                         : 0;
  auto& program = buf.ProgramBuffer;
  const auto& code = buf.CodeBuffer;
  if (option == 0) {
    for (std::int32_t i = 0; i < size; ++i)
      program.at(static_cast<std::size_t>(i)) = code.at(static_cast<std::size_t>(i));
    buf.ProgramLength = std::max<std::int32_t>(extent, 0);
    return;
  }
  // Odd bytes for the high half of a 16-bit bus, even bytes for the low half.
  const std::int32_t odd = option == 1 ? 1 : 0;
  for (std::int32_t i = 0; 2 * i <= size - 2; ++i) {
    program.at(static_cast<std::size_t>(i)) = code.at(static_cast<std::size_t>(2 * i + odd));
  }
  // The selected bytes that lie inside the extent; the other half of the chip
  // is never written.
  buf.ProgramLength = std::clamp<std::int32_t>((extent + 1 - odd) / 2, 0, size / 2);
}

void Operations::GoProgressiveBar1() {
  ProgressCount += 1;
  if (ProgressCount != ProgressStep) return;
  auto& ui = core_.ui;
  // Short images tick more than a hundred times: the bar stays at its end.
  ui.SetValueQuiet("ProgressBar1", std::min(ui.Value("ProgressBar1") + 1, ui.Max("ProgressBar1")));
  ProgressCount = 0;
}

// The safety question. A model-4 board takes its programming voltage from a
// jumper the program cannot read or set: the question names the level the
// chip needs. A voltage above the chip's rating is named in the question too.
std::string Operations::ProgramQuestion() const {
  std::string question = "Program the Device?";
  const auto& dev = core_.dev;
  if (const std::string warning = dev.VoltageWarning(); !warning.empty()) {
    question.append(kLineBreak).append(kLineBreak).append(warning);
  }
  const BoardProfile* board = BoardProfileOf(core_.link.BoardModel);
  if (board == nullptr || !board->VppByJumper() || dev.Family().address != AddressRule::kEprom)
    return question;
  const std::string volts = dev.ProgramVoltage == 21   ? "21V"
                            : dev.ProgramVoltage == 25 ? "25V"
                                                       : "12.5V";
  return "ZAMBRIX-" + std::to_string(board->model) + ": set the VPP jumper to " + volts + " for " +
         dev.SelectedDeviceName + std::string(kLineBreak) + question;
}

void Operations::Stopped() {
  auto& report = core_.report;
  auto& ui = core_.ui;
  report.DataFlowLightOff();
  report.ProgramLightOff();
  ui.SetValueQuiet("ProgressBar1", 0);
  ui.SetText("sbStatusBar", "");
  ui.SetBackColour("Verify_button", kVerifyIdleColour);
  Conclude(Outcome::Kind::kStopped, std::string(kOperatorStopText));
  if (!ChipWriting) return;
  ChipWriting = false;
  report.LogMessage("The chip is left partly written - Click on [ERROR] Indicator to Reset");
  report.RaiseErrorAlert();
  report.PlayEventSound("ERROR");
}

bool Operations::SerialKey() const { return core_.dev.Family().bus == Bus::kTwoWire; }

// Runs the routine of the family; false when it has none.
bool Operations::DispatchProgram(Algorithm algorithm) {
  void (Operations::*routine)() = nullptr;
  switch (algorithm) {
    case Algorithm::kEprom2732:
      routine = &Operations::P2732;
      break;
    case Algorithm::kEprom2764_128:
      routine = &Operations::P2764_128;
      break;
    case Algorithm::kEprom27256_040:
      routine = &Operations::P27256_040;
      break;
    case Algorithm::kEprom27010_020:
      routine = &Operations::P27010_020;
      break;
    case Algorithm::kEprom27080:
      routine = &Operations::P27080;
      break;
    case Algorithm::kX28C256Pages:
      routine = &Operations::ProgramX28C256;
      break;
    case Algorithm::kAT29C256Pages:
      routine = &Operations::ProgramAT29C256;
      break;
    case Algorithm::kFlashBytes:
      routine = &Operations::ProgramFlashBytes;
      break;
    case Algorithm::kSerialPages16:
      routine = &Operations::Write24C08_16;
      break;
    case Algorithm::kSerialPages32:
      routine = &Operations::Write24C32;
      break;
    case Algorithm::kNone:
    case Algorithm::kMicro:
      return false;
  }
  ProgramStatus = 1;
  (this->*routine)();
  return true;
}

void Operations::ProgramDeviceCode() {
  auto& link = core_.link;
  auto& ui = core_.ui;
  auto& report = core_.report;
  BoardLost = false;
  report.LogMessage("Programming Button Pressed");
  auto answer = core_.svc.dialogs->MessageBox(ProgramQuestion(), MsgButtons::OkCancel,
                                              MsgIcon::Question, "Safety Question");
  if (answer != MsgAnswer::Ok) {
    Conclude(Outcome::Kind::kRefused, "Programming was Canceled by Operator");
    ProgrammingFinalState();
    return;
  }
  if (!SerialKey() && ui.Value("CheckBlankPriorProgramming") == 1) Blank_button_Click();
  // An active alert (from that blank check or an earlier failure) stops the run.
  if (core_.report.AlertOn() || !ConfirmBoard("before programming")) {
    ProgrammingFinalState();
    return;
  }
  BuildProgramImage();
  link.Reset();
  link.SETADR();
  link.SleepMs(500);
  ProgressStep = core_.buf.ProgramLength / 99;
  ProgressCount = 0;
  ui.SetValueQuiet("ProgressBar1", 0);
  report.DataFlowLightOn();
  report.ProgramLightOn();
  FailFlag = 0;
  ProgramStatus = 9;
  OverPulsedBytes = 0;
  FirstOverPulsed = -1;
  ChipWriting = true;
  DispatchProgram(core_.dev.Family().algorithm);
  ChipWriting = false;
  FinishProgramming();
  ProgrammingFinalState();
}

// Steps after the routine: the serial acknowledge check, the report, the
// programming lines at rest, the optional verify.
void Operations::FinishProgramming() {
  auto& link = core_.link;
  auto& report = core_.report;
  if (SerialKey() && ErrorCount != 0) {
    // A board that went away answers like a chip that does not acknowledge.
    if (ConfirmBoard("during programming")) ReportSerialAckError();
    FailFlag = 1;
  }
  if (FailFlag == 0 && ProgramStatus == 1) {
    // The programming voltage goes off before the board is asked whether it is
    // still there, and the success line only follows its answer.
    link.Reg0Value = 0x40;
    link.SetReg0();
    if (!ConfirmBoard("after programming")) FailFlag = 1;
  }
  if (FailFlag == 0 && ProgramStatus == 1) {
    Conclude(Outcome::Kind::kDone, "Programming Device Successfull");
    report.DataFlowLightOff();
    report.ProgramLightOff();
    report.PlayEventSound("OK");
  }
  if (ProgramStatus == 9) {
    report.LogMessage("Device Not Supported - Status 9 - Please Report");
    report.PlayEventSound("ERROR");
  }
  link.Reg0Value = 0x40;
  link.SetReg0();
  core_.ui.SetValueQuiet("ProgressBar1", 0);
  // Only a run that wrote the chip is verified.
  if (FailFlag == 0 && ProgramStatus == 1 && core_.ui.Value("VerifyAfterProgramming") == 1)
    Verify_button_Click();
}

// The board at rest: reset for a parallel chip; the 24Cxx socket stays powered
// with its lines idle.
void Operations::ProgrammingFinalState() {
  auto& link = core_.link;
  if (!SerialKey()) {
    link.Reset();
    return;
  }
  SerialLinesAtRest();
}

}  // namespace zambrix
