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

// "Erase Chip": EEPROMs and flash chips by their own erase, the 24Cxx chips by
// writing FFh through their page writes.
void Operations::EraseFlash_button_Click() {
  const ChipFamily& family = dev_.Family();
  const bool serial = family.bus == Bus::kTwoWire;
  if (serial || family.chip_erase) {
    // As before programming: nothing reaches the chip unless the operator agrees.
    const auto answer = svc_.dialogs->MessageBox("Erase the Device?", MsgButtons::OkCancel,
                                                 MsgIcon::Question, "Safety Question");
    if (answer != MsgAnswer::Ok) {
      Conclude(Outcome::Kind::kRefused, "Erase was Canceled by Operator");
      return;
    }
    if (!ConfirmBoard("before the erase")) return;
  }
  FailFlag = 0;
  EraseInProgress = true;
  ChipWriting = true;
  bool written = true;
  switch (family.algorithm) {
    case Algorithm::kX28C256Pages:
      EraseX28C256();
      break;
    case Algorithm::kFlashBytes:
      EraseFlashChip();
      break;
    case Algorithm::kAT29C256Pages:
      EraseAT29C256();
      break;
    case Algorithm::kSerialPages16:
      Write24C08_16();
      break;
    case Algorithm::kSerialPages32:
      Write24C32();
      break;
    case Algorithm::kNone:
    case Algorithm::kMicro:
    case Algorithm::kEprom2732:
    case Algorithm::kEprom2764_128:
    case Algorithm::kEprom27256_040:
    case Algorithm::kEprom27010_020:
    case Algorithm::kEprom27080:
      written = false;
      break;
  }
  ChipWriting = false;
  if (serial) ReportSerialErase(written);
}

// The outcome of a 24Cxx erase. A serial chip without a page write (the 24C256)
// was not touched, and says so.
void Operations::ReportSerialErase(bool written) {
  if (!written) {
    RoutineNotReady("Please Write Missing Routines at ERASE");
    return;
  }
  if (ErrorCount != 0) {
    // A board that went away answers like a chip that does not acknowledge.
    if (ConfirmBoard("during the erase")) ReportSerialAckError();
    FailFlag = 1;
    return;
  }
  if (FailFlag != 0) return;  // the read-back found a byte that is not FFh
  if (!ConfirmBoard("after the erase")) return;
  auto& link = link_;
  auto& report = report_;
  Conclude(Outcome::Kind::kDone, "Programming Device Successfull");
  report.DataFlowLightOff();
  report.ProgramLightOff();
  report.PlayEventSound("OK");
  link.Reg0Value = 64;
  link.SetReg0();
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  SerialLinesAtRest();
}

}  // namespace zambrix
