// The bank / page / byte walk over a parallel chip.
#include "app/core.h"
#include "base/text.h"

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
  auto& link = core_.link;
  auto& ui = core_.ui;
  const std::int32_t size = core_.buf.CodeSize;
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
      ui.SetValueQuiet("ProgressBar1",
                       std::min(ui.Value("ProgressBar1") + 1, ui.Max("ProgressBar1")));
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
  auto& link = core_.link;
  link.Reset();
  link.CurrentAddress = 0;
  link.Endereco2Adr();
  link.SETADR();
  link.SleepMs(500);
  link.REG4OFF();
  link.CEOEON();
  core_.ui.SetValueQuiet("ProgressBar1", 0);
  core_.ui.SetMax("ProgressBar1", SweepPages(core_.buf.CodeSize));
}

}  // namespace zambrix
