// Reading the chip into the code buffer.
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

void Operations::RoutineNotReady(const std::string& text, const std::string& title) {
  Result.Add(Outcome::Kind::kRefused, "");
  svc_.dialogs->MessageBox(text, MsgButtons::Ok, MsgIcon::None, title);
}

void Operations::ReportPartialLength(const std::string& verb) {
  const std::int32_t size = buf_.CodeSize;
  const std::int32_t device = dev_.DeviceSize;
  if (size >= device) return;
  report_.LogMessage(verb + " " + std::to_string(size) + " of " + std::to_string(device) +
                     " bytes (the loaded file's length)");
}

// EPROMs, flash chips and the X28C256 are read and checked over the parallel bus.
bool Operations::ParallelDevice() const { return dev_.Family().bus == Bus::kParallel; }

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

// Both reads begin alike: the board asked, the chip powered and given its
// settling time, the view told what it will show.
bool Operations::StartRead() {
  BoardLost = false;
  if (!ConfirmBoard("before the read")) return false;
  report_.DataFlowLightOn();
  link_.Reset();
  link_.SETADR();
  link_.SleepMs(500);
  buf_.DisplayMode = "Read";
  return true;
}

void Operations::ReadParallelDevice() {
  auto& link = link_;
  auto& ui = ui_;
  auto& report = report_;
  auto& buf = buf_;

  if (!StartRead()) return;
  link.REG4OFF();
  link.CEOEON();
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetMax(control::ProgressBar1, SweepPages(buf.CodeSize));
  // The bytes go to the buffer only once the board has been there for all of
  // them: a board lost on the way leaves the buffer as it was.
  auto& code = buf.CodeBuffer;
  std::vector<std::uint8_t> staged(static_cast<std::size_t>(std::max(0, buf.CodeSize)));
  if (staged.size() > code.size()) throw std::out_of_range("read beyond the code buffer");
  std::int32_t checksum = 0;
  const bool whole = ParallelSweep([&](std::int32_t address, std::uint8_t value) {
    staged.at(static_cast<std::size_t>(address)) = value;
    checksum = (checksum + value) & 0xFFFF;
    link.CurrentAddress = address + 1;
    return true;
  });
  if (!whole || !ConfirmBoard("after the read")) return;
  std::copy(staged.begin(), staged.end(), code.begin());
  DeviceChecksum = checksum;
  DeviceChecksumText = Hex4(DeviceChecksum);
  report.DataFlowLightOff();
  ReportPartialLength("Read");
  Conclude(Outcome::Kind::kDone, std::to_string(buf.CodeSize) + " bytes Read from Device");
  report.LogMessage("Device CHKSUMM = $" + DeviceChecksumText);
  DeviceDigests = buf.LogDigests("Device", staged);
  ShowReadBuffer();
  MarkCodeBufferRead();
  report.PlayEventSound("OK");
  link.Reset();
}

// The code buffer's first page in the hex view, with the two lines that say so.
void Operations::ShowReadBuffer() {
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
void Operations::MarkCodeBufferRead() {
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

void Operations::ReportSerialAckError() {
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

}  // namespace zambrix
