// The Program command: the operator's confirmation, the optional blank check
// and verify, the choice of the family's routine and the report.
#include <algorithm>

#include "base/control_names.h"
#include "base/interrupt.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/boards.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

void Operations::Program_button_Click() {
  ui_.SetValue(control::VScroll1, 0);
  auto& link = link_;
  link.CurrentAddress = 0;
  link.Endereco2Adr();
  if (ui_.Value(control::CheckCode) == 1) ProgramDeviceCode();
  if (ui_.Value(control::CheckData) == 1) ProgramDeviceData();
}

void Operations::ProgramDeviceData() {
  RoutineNotReady("Please Write A90S2313 Program Data Routine", std::string(kAppTitle));
}

// The safety question. A model-4 board takes its programming voltage from a
// jumper the program cannot read or set: the question names the level the
// chip needs. A voltage above the chip's rating is named in the question too.
std::string Operations::ProgramQuestion() const {
  std::string question = "Program the Device?";
  const auto& dev = dev_;
  if (const std::string warning = dev.VoltageWarning(); !warning.empty()) {
    question.append(kLineBreak).append(kLineBreak).append(warning);
  }
  const BoardProfile* board = BoardProfileOf(link_.BoardModel);
  if (board == nullptr || !board->VppByJumper() || dev.Family().address != AddressRule::kEprom)
    return question;
  const std::string volts = dev.ProgramVoltage == 21   ? "21V"
                            : dev.ProgramVoltage == 25 ? "25V"
                                                       : "12.5V";
  return "ZAMBRIX-" + std::to_string(board->model) + ": set the VPP jumper to " + volts + " for " +
         dev.SelectedDeviceName + std::string(kLineBreak) + question;
}

void Operations::Stopped() {
  auto& report = report_;
  auto& ui = ui_;
  report.DataFlowLightOff();
  report.ProgramLightOff();
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetText(control::sbStatusBar, "");
  ui.SetBackColour(control::Verify_button, kVerifyIdleColour);
  Conclude(Outcome::Kind::kStopped, std::string(kOperatorStopText));
  if (!ChipWriting) return;
  ChipWriting = false;
  report.LogMessage("The chip is left partly written - Click on [ERROR] Indicator to Reset");
  report.RaiseErrorAlert();
  report.PlayEventSound("ERROR");
}

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
  auto& link = link_;
  auto& ui = ui_;
  auto& report = report_;
  BoardLost = false;
  report.LogMessage("Programming Button Pressed");
  auto answer = svc_.dialogs->MessageBox(ProgramQuestion(), MsgButtons::OkCancel, MsgIcon::Question,
                                         "Safety Question");
  if (answer != MsgAnswer::Ok) {
    Conclude(Outcome::Kind::kRefused, "Programming was Canceled by Operator");
    ProgrammingFinalState();
    return;
  }
  if (!SerialKey() && ui.Value(control::CheckBlankPriorProgramming) == 1) Blank_button_Click();
  // An active alert (from that blank check or an earlier failure) stops the run.
  if (report_.AlertOn() || !ConfirmBoard("before programming")) {
    ProgrammingFinalState();
    return;
  }
  BuildProgramImage();
  link.Reset();
  link.SETADR();
  link.SleepMs(500);
  ProgressStep = buf_.ProgramLength / 99;
  ProgressCount = 0;
  ui.SetValueQuiet(control::ProgressBar1, 0);
  report.DataFlowLightOn();
  report.ProgramLightOn();
  FailFlag = 0;
  ProgramStatus = 9;
  OverPulsedBytes = 0;
  FirstOverPulsed = -1;
  ChipWriting = true;
  DispatchProgram(dev_.Family().algorithm);
  ChipWriting = false;
  FinishProgramming();
  ProgrammingFinalState();
}

// Steps after the routine: the serial acknowledge check, the report, the
// programming lines at rest, the optional verify.
void Operations::FinishProgramming() {
  auto& link = link_;
  auto& report = report_;
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
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  // Only a run that wrote the chip is verified.
  if (FailFlag == 0 && ProgramStatus == 1 && ui_.Value(control::VerifyAfterProgramming) == 1)
    Verify_button_Click();
}

// The board at rest: reset for a parallel chip; the 24Cxx socket stays powered
// with its lines idle.
void Operations::ProgrammingFinalState() {
  auto& link = link_;
  if (!SerialKey()) {
    link.Reset();
    return;
  }
  SerialLinesAtRest();
}

}  // namespace zambrix
