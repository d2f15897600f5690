#include "base/services.h"
#include "devices/device_selection.h"
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
  if (serial) serial_.ReportSerialErase(written);
}

}  // namespace zambrix
