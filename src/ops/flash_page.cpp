// The 64-byte page algorithm of the X28C256 and the AT29C256: the command write
// cycles of both sockets, the protection-off sequence, the page loads with
// read-back, and the X28C256 erase.
#include <algorithm>

#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/page_eeprom.h"

namespace zambrix {

namespace {
constexpr int kPages = 512;
constexpr int kPageBytes = 64;
constexpr int kPageAttempts = 80;
// Longest write cycle of either part (tWC maximum), in milliseconds.
constexpr int kMaxWriteCycleMs = 10;
// How long a failure report waits for a chip still busy: ten such cycles.
constexpr int kReportWaitMs = 10 * kMaxWriteCycleMs;
// Latch loads from one byte's write enable to the next byte's, in a page load
// and in a command write (which adds four fixed 300-iteration delays).
constexpr int kLoadsPerByte = 7;
constexpr int kFixedDelaysPerCommand = 4 * 300;

// While it lives, the strobe delays are short enough that each byte's write
// enable follows the one before within the chip's byte-load time, whatever the
// speed slider says: a byte is kLoadsPerByte latch loads of four port accesses
// (at the access time the link measured) and two strobe delays, plus
// `fixed_ns`, inside nine tenths of the window.
class ByteLoadWindow {
 public:
  ByteLoadWindow(Link& link, std::uint64_t fixed_ns) : link_(link) {
    const std::uint64_t window = link.Timing.byte_load_ns * 9 / 10;
    if (window == 0) return;
    const std::uint64_t used = 4 * kLoadsPerByte * link.AccessNs() + fixed_ns;
    link.StrobeCapNs = used < window ? (window - used) / (2 * kLoadsPerByte) : 0;
  }
  ~ByteLoadWindow() { Close(); }
  void Close() { link_.StrobeCapNs.reset(); }
  ByteLoadWindow(const ByteLoadWindow&) = delete;
  ByteLoadWindow& operator=(const ByteLoadWindow&) = delete;

 private:
  Link& link_;
};

// From the last byte of a load to the end of the write cycle it starts: the
// chip waits the byte-load time for a further byte, then writes (tWC); in
// whole milliseconds.
int WriteCycleMs(const Link& link) {
  return static_cast<int>((link.Timing.byte_load_ns + link.Timing.write_cycle_ns + 999'999) /
                          1'000'000);
}
}  // namespace

// One write of Reg4Value at FlashCommandAddress; write enable on latch 1 bit 7.
void PageEepromOps::FlashCommandWrite() {
  auto& l = link_;
  l.Reg1Value = (st_.FlashCommandAddress / 256) | l.Reg1Fixed;
  l.Reg2Value = st_.FlashCommandAddress % 256;
  l.SetReg1(), l.DelayFixed300(), l.SetReg2(), l.DelayFixed300(), l.SetReg4();
  l.CEON();
  l.Reg1Bit7Clear(), l.DelayFixed300(), l.Reg1Bit7Set(), l.DelayFixed300();
  l.CEOFF();
}

// The same on the XICOR socket: A14 on latch 1 bit 7, write enable on bit 6.
void PageEepromOps::XicorCommandWrite() {
  auto& l = link_;
  l.Reg2Value = st_.FlashCommandAddress % 256;
  int m = st_.FlashCommandAddress / 256;
  if (m != 0) m += 64;
  l.Reg1Value = m | 0x40;
  l.SetReg1(), l.DelayFixed300(), l.SetReg2(), l.DelayFixed300(), l.SetReg4();
  l.CEON();
  l.Reg1Bit6Clear(), l.DelayFixed300(), l.Reg1Bit6Set(), l.DelayFixed300();
  l.CEOFF();
}

// The six-byte command AAh, 55h, 80h, AAh, 55h, `last` at 5555h/2AAAh: 20h turns
// the software data protection off, 10h erases the AT29C256.
void PageEepromOps::SdpOffSequence(bool xicor, int last) {
  auto& l = link_;
  l.OEOFF();
  l.Reg3Value = 130;  // chip enable off, data latch on
  l.SetReg3();
  static constexpr int kAddress[6] = {0x5555, 0x2AAA, 0x5555, 0x5555, 0x2AAA, 0x5555};
  const int data[6] = {0xAA, 0x55, 0x80, 0xAA, 0x55, last};
  ByteLoadWindow window(l, kFixedDelaysPerCommand * svc_.clock->NsPerIteration());
  for (int i = 0; i < 6; ++i) {
    st_.FlashCommandAddress = kAddress[i];
    l.Reg4Value = data[i];
    xicor ? XicorCommandWrite() : FlashCommandWrite();
  }
  window.Close();
  l.SleepMs(WriteCycleMs(l));  // the write cycle the command starts (protection off)
}

void PageEepromOps::ProgramPages(bool xicor) {
  auto& l = link_;
  auto& ui = ui_;
  auto set_address = [&] { xicor ? l.SETADR_XICOR() : l.SETADR_FLASH(); };
  l.CurrentAddress = 0;
  l.Endereco2Adr();
  set_address();
  l.SleepMs(500);
  l.REG4ON(), l.OEOFF(), l.CEOFF();
  report_.LogMessage(xicor ? "Programming 28C256 XICOR Device" : "Programming Atmel AT29C256");
  l.Reset();
  set_address();
  SdpOffSequence(xicor, 0x20);
  l.SleepMs(xicor ? 40 : 50);
  l.OEOFF(), l.CEOFF();
  ui.SetMax(control::ProgressBar1, 64);
  st_.ProgressStep = 8;
  st_.ProgressCount = 0;
  // The pages that hold the prepared bytes; nothing past them, nor past the chip.
  const std::int32_t end = std::clamp<std::int32_t>(buf_.ProgramLength, 0, kPages * kPageBytes);
  for (int page = 0; page * kPageBytes < end; ++page) {
    st_.WorkAddress = page;
    if (!WritePage(page, xicor, end)) {
      l.Reg0Value = 0;
      l.SetReg0();
      return;
    }
    if (page % 8 == 0) l.ActivityToggle();
    GoProgressiveBar1();
  }
  if (!ConfirmBoard("after programming")) return;
  Conclude(Outcome::Kind::kDone, xicor ? "XICOR 28C256 Programmed Sucessfully"
                                       : "FLASH Atmel AT29C256 Programmed Sucessfully");
  l.Reset();
}

// Loads the page until it reads back, at most 79 times. A chip still in the
// write cycle of the last load gets no new load: once the cycle has ended the
// page is read back first, and only loaded again when it differs.
bool PageEepromOps::WritePage(int page, bool xicor, std::int32_t end) {
  auto& l = link_;
  PageResult result = PageResult::kDiffers;
  for (int attempts = kPageAttempts - 1; attempts > 0; --attempts) {
    l.SleepMs(SpeedSpan() + 1);
    if (result == PageResult::kBusy) {
      if (!WaitPageCycle(kMaxWriteCycleMs)) continue;
      result = ReadBackPage(page, end);
      if (result == PageResult::kWritten) return true;
      if (result == PageResult::kBusy) continue;
    }
    l.REG4ON();
    LoadPage(page, xicor, end);
    l.SleepMs(WriteCycleMs(l));  // the page's write cycle
    l.REG4OFF();
    result = ReadBackPage(page, end);
    if (result == PageResult::kWritten) return true;
  }
  // The loads are spent. A chip still busy is given a longer time once more,
  // so that the report names a byte it holds rather than its status.
  if (result == PageResult::kBusy && WaitPageCycle(kReportWaitMs)) result = ReadBackPage(page, end);
  if (result == PageResult::kWritten) return true;
  if (result == PageResult::kBusy)
    report_.LogMessage("*** The chip is still busy: the Read BYTE below is its status");
  ReportProgramFailure();
  return false;
}

// One load of the page's bytes below `end`.
void PageEepromOps::LoadPage(int page, bool xicor, std::int32_t end) {
  auto& l = link_;
  const auto& image = buf_.ProgramBuffer;
  const int we_bit = xicor ? 0x40 : 0x80;
  l.CurrentAddress = page * kPageBytes;
  l.Endereco2Adr();
  const int reg1 = xicor ? ((l.AddressMid != 0 ? l.AddressMid + 64 : 0) | l.Reg1Fixed)
                         : (l.Reg1Fixed | l.AddressMid);
  if (reg1 != l.Reg1Value) l.Reg1Value = reg1, l.SetReg1();
  ByteLoadWindow window(l, 0);
  const int bytes = std::min(kPageBytes, end - page * kPageBytes);
  for (int i = 0; i < bytes; ++i) {
    l.CurrentAddress = page * kPageBytes + i;
    l.Endereco2Adr();
    l.Reg2Value = l.AddressLow, l.SetReg2();
    l.WriteValue = image.at(static_cast<std::size_t>(l.CurrentAddress));
    l.REG4ON();
    l.Reg4Value = l.WriteValue, l.SetReg4();
    l.Reg3Value &= ~0x80, l.SetReg3();
    l.Reg1Value &= ~we_bit, l.SetReg1();
    l.Reg1Value |= we_bit, l.SetReg1();
    l.Reg3Value |= 0x80, l.SetReg3();
  }
}

// Reads the page's bytes below `end` back. One that meets the chip still in
// its write cycle waits for the end of the cycle and reads the page again;
// kBusy when the cycle has not ended after the longest the datasheet gives.
PageEepromOps::PageResult PageEepromOps::ReadBackPage(int page, std::int32_t end) {
  auto& l = link_;
  const auto& image = buf_.ProgramBuffer;
  const int bytes = std::min(kPageBytes, end - page * kPageBytes);
  for (int i = 0; i < bytes; ++i) {
    const std::int32_t address = page * kPageBytes + i;
    const std::uint8_t want = image.at(static_cast<std::size_t>(address));
    if (ReadPageByte(address) == want) continue;
    l.WriteValue = want;
    if (!ChipToggling()) return PageResult::kDiffers;
    if (!WaitPageCycle(kMaxWriteCycleMs)) return PageResult::kBusy;
    i = -1;  // the cycle has ended: read the whole page again
  }
  return PageResult::kWritten;
}

std::uint8_t PageEepromOps::ReadPageByte(std::int32_t address) {
  auto& l = link_;
  l.CurrentAddress = address;
  l.Endereco2Adr();
  l.Reg2Value = l.AddressLow, l.SetReg2();
  l.CEOEON(), l.GetNibbles(), l.OEOFF();
  return l.ReadValue;
}

// Waits in 1 ms steps for the end of the write cycle, at most `limit_ms`;
// false when the chip is still busy after it.
bool PageEepromOps::WaitPageCycle(int limit_ms) {
  for (int ms = 0; ms < limit_ms; ++ms) {
    link_.SleepMs(1);
    if (!ChipToggling()) return true;
  }
  return false;
}

// Erase by programming FFh into every byte; the program buffer then mirrors
// the code buffer again.
void PageEepromOps::EraseX28C256() {
  auto& buf = buf_;
  std::fill_n(buf.ProgramBuffer.begin(), 32768, std::uint8_t{0xFF});
  buf.ProgramLength = 32768;  // the whole chip, whatever the last image covered
  report_.LogMessage("Erasing Program Buffer");
  report_.LogMessage("Erasing XICOR 28C256");
  ProgramPages(true);
  BuildProgramImage();
}

}  // namespace zambrix
