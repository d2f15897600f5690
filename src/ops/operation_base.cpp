// The checks and reports every family of operations shares: the partial-length
// line, the start and end of a read, the program image, the progress bar, the
// verify's difference and the serial chip's missing acknowledge.
#include "ops/operation_base.h"

#include <algorithm>
#include <span>

#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"

namespace zambrix {

void OperationBase::RoutineNotReady(const std::string& text, const std::string& title) {
  st_.Result.Add(Outcome::Kind::kRefused, "");
  svc_.dialogs->MessageBox(text, MsgButtons::Ok, MsgIcon::None, title);
}

void OperationBase::ReportPartialLength(const std::string& verb) {
  const std::int32_t size = buf_.CodeSize;
  const std::int32_t device = dev_.DeviceSize;
  if (size >= device) return;
  report_.LogMessage(verb + " " + std::to_string(size) + " of " + std::to_string(device) +
                     " bytes (the loaded file's length)");
}

// EPROMs, flash chips and the X28C256 are read and checked over the parallel bus.
bool OperationBase::ParallelDevice() const { return dev_.Family().bus == Bus::kParallel; }

// Both reads begin alike: the board asked, the chip powered and given its
// settling time, the view told what it will show.
bool OperationBase::StartRead() {
  st_.BoardLost = false;
  if (!ConfirmBoard("before the read")) return false;
  report_.DataFlowLightOn();
  link_.Reset();
  link_.SETADR();
  link_.SleepMs(500);
  buf_.DisplayMode = "Read";
  return true;
}

// The code buffer's first page in the hex view, with the two lines that say so.
void OperationBase::ShowReadBuffer() {
  auto& ui = ui_;
  auto& buf = buf_;
  ui.SetText(control::BufferDisplay, "");
  ui.SetMax(control::VScroll1, buf.CodeSize / 256 - 1);
  report_.LogMessage("Data is available at above Window, use Scroll Bar");
  report_.LogMessage("You can Save the file using [FILE - Save As] menu");
  buf.DisplayPageMemory();
}

// After a read: the progress bar and status text cleared, the commands that use
// the code buffer enabled, the buffer marked as loaded and named by the chip.
void OperationBase::MarkCodeBufferRead() {
  auto& ui = ui_;
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetText(control::sbStatusBar, "");
  for (auto* c : {control::Verify_button, control::menuVerifyCode, control::Program_button,
                  control::menuProgramCode, control::Erase_button, control::menuEraseCode,
                  control::mnuFileSaveCode, control::mnuFileSaveCodeAs, "tbToolBar.Buttons(2)"}) {
    ui.SetEnabled(c, true);
  }
  buf_.CodeBufferLoaded = 1;
  buf_.CodeBufferHolds("read from " + dev_.SelectedDeviceName);
  buf_.ShowCodeSize();
}

void OperationBase::ReportSerialAckError() {
  auto& report = report_;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  Conclude(Outcome::Kind::kFailed, "Device 24CXX DOES NOT RESPOND - ACK Error");
  report.LogMessage("Check Chip Installation Position on Socket");
  report.LogMessage("Click on [ERROR] Alert to Reset the Situation");
  report.PlayEventSound("ERROR");
  link_.Reset();
}

void OperationBase::BuildProgramImage() {
  auto& buf = buf_;
  const std::int32_t size = dev_.DeviceSize;
  // A shorter file ends the image at its own last byte: the chip beyond it is
  // left as it is, whatever the family.
  const std::int32_t extent = buf.ProgramExtent();
  const int option = ui_.Value("HiLow_button(1)") ? 1 : ui_.Value("HiLow_button(2)") ? 2 : 0;
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

void OperationBase::GoProgressiveBar1() {
  st_.ProgressCount += 1;
  if (st_.ProgressCount != st_.ProgressStep) return;
  auto& ui = ui_;
  // Short images tick more than a hundred times: the bar stays at its end.
  ui.SetValueQuiet(control::ProgressBar1,
                   std::min(ui.Value(control::ProgressBar1) + 1, ui.Max(control::ProgressBar1)));
  st_.ProgressCount = 0;
}

bool OperationBase::SerialKey() const { return dev_.Family().bus == Bus::kTwoWire; }

void OperationBase::ReportVerifyMismatch(std::uint8_t expected) {
  auto& report = report_;
  st_.VerifyFailed = 1;
  st_.VerifyExpected = expected;
  st_.VerifyActual = link_.ReadValue;
  // A board that went away reads FFh: that is no difference of the chip.
  if (!ConfirmBoard("during the verify")) {
    ui_.SetBackColour(control::Verify_button, OperationState::kVerifyIdleColour);
    return;
  }
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  Conclude(Outcome::Kind::kFailed, "Device Memory DOES NOT VERIFY with Buffer Contents");
  const std::string where = "Address: " + HexText(st_.WorkAddress) +
                            " ][ Buffer Data: " + HexText(expected) +
                            " ][ Device Data: " + HexText(link_.ReadValue);
  report.LogMessage(where);
  st_.Result.FailedAt(where, st_.WorkAddress, expected, link_.ReadValue);
  report.LogMessage("Click on [ERROR] Alert to Reset the Situation");
  ui_.SetBackColour(control::Verify_button, OperationState::kVerifyIdleColour);
  report.PlayEventSound("ERROR");
  link_.Reset();
}

int OperationBase::SpeedSpan() const {
  const auto& slider = ui_.Get(control::Slider1);
  return slider.max - slider.value;
}

// Two reads at the current address: I/O6 changes between them while the chip works.
bool OperationBase::ChipToggling() {
  auto& l = link_;
  l.CEOEON(), l.GetNibbles(), l.OEOFF();
  const std::uint8_t first = l.ReadValue;
  l.CEOEON(), l.GetNibbles(), l.CEOEOFF();
  return ((first ^ l.ReadValue) & 0x40) != 0;
}

}  // namespace zambrix
