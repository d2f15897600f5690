// The bank / page / byte walk over a parallel chip, and the read, blank check
// and verify that run over it.
#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/parallel_sweep.h"

namespace zambrix {

int ParallelSweepOps::SweepLastBank(std::int32_t size) { return size > 0 ? (size - 1) / 65536 : 0; }

int ParallelSweepOps::SweepLastPage(std::int32_t size) {
  if (size <= 0) return 0;
  return ((size - 1) - SweepLastBank(size) * 65536) / 256;
}

std::int32_t ParallelSweepOps::SweepPages(std::int32_t size) {
  return size > 0 ? (size + 255) / 256 : 0;
}

namespace {
std::string AfterAddress(std::int32_t address) { return "after address " + HexText(address) + "h"; }
}  // namespace

// Every page of every full bank, the right number of pages in the last bank and
// the right number of bytes in the last page: each byte read once, at its own
// chip address, and stored (by the caller) at that same index. For sizes that
// are whole pages and whole banks this is exactly the classic walk.
bool ParallelSweepOps::ParallelSweep(
    const std::function<bool(std::int32_t, std::uint8_t)>& per_byte) {
  auto& link = link_;
  auto& ui = ui_;
  const std::int32_t size = buf_.CodeSize;
  st_.LastBank = SweepLastBank(size);
  st_.LastPage = SweepLastPage(size);
  if (size <= 0) return true;
  for (int bank = 0; bank <= st_.LastBank; ++bank) {
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
void ParallelSweepOps::StartCompareSweep() {
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

void ParallelSweepOps::Read() {
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
  st_.DeviceChecksum = checksum;
  st_.DeviceChecksumText = Hex4(st_.DeviceChecksum);
  report.DataFlowLightOff();
  ReportPartialLength("Read");
  Conclude(Outcome::Kind::kDone, std::to_string(buf.CodeSize) + " bytes Read from Device");
  report.LogMessage("Device CHKSUMM = $" + st_.DeviceChecksumText);
  st_.DeviceDigests = buf.LogDigests("Device", staged);
  ShowReadBuffer();
  MarkCodeBufferRead();
  report.PlayEventSound("OK");
  link.Reset();
}

void ParallelSweepOps::BlankCheck() {
  auto& link = link_;
  auto& ui = ui_;
  auto& report = report_;

  st_.BoardLost = false;
  if (!ConfirmBoard("before the blank check")) return;
  report.DataFlowLightOn();
  report.LogMessage("Checking Device for BLANK (Erased)... Wait");
  StartCompareSweep();
  svc_.clock->Spin(100);
  bool blank = ParallelSweep([this, &link](std::int32_t address, std::uint8_t value) {
    if (value == 0xFF) return true;
    st_.WorkAddress = address;
    link.ReadValue = value;
    return false;
  });
  // A byte that is not FFh is only news if the board gave it.
  if (st_.BoardLost || !ConfirmBoard("after the blank check")) return;
  if (!blank) {
    // The latches stay as they are: no reset after a failed check.
    ReportNotBlank();
    return;
  }
  report.DataFlowLightOff();
  ReportPartialLength("Checked");
  Conclude(Outcome::Kind::kDone, "Device IS BLANK (ERASED)");
  ui.SetValueQuiet(control::ProgressBar1, 0);
  report.PlayEventSound("OK");
  link.Reset();
}

void ParallelSweepOps::ReportNotBlank() {
  auto& report = report_;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  Conclude(Outcome::Kind::kFailed, "Device IS NOT BLANK (ERASED)");
  const std::string where =
      "Address: " + HexText(st_.WorkAddress) + " ][ Device Data: " + HexText(link_.ReadValue);
  report.LogMessage(where);
  st_.Result.FailedAt(where, st_.WorkAddress, 0xFF, link_.ReadValue);
  report.LogMessage("Click on [ERROR] alert to Reset the Situation");
  report.PlayEventSound("ERROR");
}

bool ParallelSweepOps::CompareSweep(
    const std::function<bool(std::int32_t, std::uint8_t, std::uint8_t)>& per_byte,
    std::int32_t& compared) {
  auto& link = link_;
  auto& buf = buf_;
  BuildProgramImage();
  StartCompareSweep();
  st_.DeviceChecksum = 0;
  compared = 0;
  // Only the bytes programming writes are compared: with "Hi Byte" or "Low Byte"
  // the program buffer beyond ProgramLength holds an earlier preparation.
  const std::int32_t extent = buf.ProgramLength;
  const auto& program = buf.ProgramBuffer;
  return ParallelSweep([&](std::int32_t address, std::uint8_t value) {
    st_.DeviceChecksum = (st_.DeviceChecksum + value) & 0xFFFF;
    link.CurrentAddress = address + 1;
    if (address >= extent) return true;
    ++compared;
    return per_byte(address, value, program.at(static_cast<std::size_t>(address)));
  });
}

bool ParallelSweepOps::Verify() {
  auto& ui = ui_;
  auto& report = report_;
  if (!ConfirmBoard("before the verify")) {
    ui.SetBackColour(control::Verify_button, OperationState::kVerifyIdleColour);
    return false;
  }
  std::int32_t compared = 0;
  const bool same = CompareSweep(
      [this](std::int32_t address, std::uint8_t value, std::uint8_t expected) {
        if (value == expected) return true;
        st_.WorkAddress = address;
        link_.ReadValue = value;
        ReportVerifyMismatch(expected);
        return false;
      },
      compared);
  if (!same || !ConfirmBoard("after the verify")) {
    ui.SetBackColour(control::Verify_button, OperationState::kVerifyIdleColour);
    if (st_.VerifyFailed != 0 && !st_.BoardLost && buf_.ListDifferences) CollectDifferences();
    return false;
  }
  const std::int32_t swept = std::max<std::int32_t>(buf_.CodeSize, 0);
  if (compared != swept || compared != buf_.ProgramLength) {
    report.LogMessage("Compared " + std::to_string(compared) + " programmed bytes of " +
                      std::to_string(swept) + " read");
  }
  return true;
}

}  // namespace zambrix
