// The bank / page / byte walk over a parallel chip.
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

int Operations::SweepLastBank(std::int32_t size) { return size > 0 ? (size - 1) / 65536 : 0; }

int Operations::SweepLastPage(std::int32_t size) {
  if (size <= 0) return 0;
  return ((size - 1) - SweepLastBank(size) * 65536) / 256;
}

std::int32_t Operations::SweepPages(std::int32_t size) { return size > 0 ? (size + 255) / 256 : 0; }

namespace {
std::string AfterAddress(std::int32_t address) { return "after address " + HexText(address) + "h"; }
}  // namespace

// Every page of every full bank, the right number of pages in the last bank and
// the right number of bytes in the last page: each byte read once, at its own
// chip address, and stored (by the caller) at that same index. For sizes that
// are whole pages and whole banks this is exactly the classic walk.
bool Operations::ParallelSweep(const std::function<bool(std::int32_t, std::uint8_t)>& per_byte) {
  auto& link = link_;
  auto& ui = ui_;
  const std::int32_t size = buf_.CodeSize;
  LastBank = SweepLastBank(size);
  LastPage = SweepLastPage(size);
  if (size <= 0) return true;
  for (int bank = 0; bank <= LastBank; ++bank) {
    if (bank > 0 && !ConfirmBoard(AfterAddress(bank * 65536 - 1))) return false;
    link.AddressHigh = bank;
    link.Reg3Value = link.AddressHighMap.at(static_cast<std::size_t>(bank)) |
                     (link.Reg3Value & 0xF0) | link.Reg3Fixed;
    link.SetReg3();
    const std::int32_t bank_bytes = std::min<std::int32_t>(65536, size - bank * 65536);
    const int pages = (bank_bytes + 255) / 256;
    for (int page = 0; page < pages; ++page) {
      link.AddressMid = page;
      link.Reg1Value = link.AddressMidMap.at(static_cast<std::size_t>(page)) | link.Reg1Fixed;
      link.SetReg1();
      ui.SetValueQuiet(control::ProgressBar1, std::min(ui.Value(control::ProgressBar1) + 1,
                                                       ui.Max(control::ProgressBar1)));
      const int bytes = std::min<std::int32_t>(256, bank_bytes - page * 256);
      const std::int32_t base = bank * 65536 + page * 256;
      for (int byte = 0; byte < bytes; ++byte) {
        link.Reg2Value = byte;
        link.SetReg2();
        link.GetNibbles();
        if (!per_byte(base + byte, link.ReadValue)) return false;
      }
    }
  }
  return true;
}

// The board set up for a sweep that reads the chip from address 0 (blank check
// and verify): address 0 on the latches, 500 ms to settle, outputs enabled, the
// progress bar at 0 with one step a page.
void Operations::StartCompareSweep() {
  auto& link = link_;
  link.Reset();
  link.CurrentAddress = 0;
  link.Endereco2Adr();
  link.SETADR();
  link.SleepMs(500);
  link.REG4OFF();
  link.CEOEON();
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  ui_.SetMax(control::ProgressBar1, SweepPages(buf_.CodeSize));
}

}  // namespace zambrix
