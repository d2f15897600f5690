// Byte-mode flash: programming byte by byte with status polling, and the chip
// erase of the byte-mode flashes and of the AT29C256.
#include <algorithm>

#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/byte_flash.h"
#include "ops/page_eeprom.h"
#include "ops/parallel_sweep.h"

namespace zambrix {

namespace {
constexpr int kByteAttempts = 50;
// Byte program time-out (the slowest datasheet maximum, 300 us).
constexpr std::uint64_t kByteProgramLimitNs = 300'000;
// Chip erase time-outs: 64 s for the 4-Mbit byte-mode flashes, 20 ms for the
// AT29C256 (the longest erase time its maker gives).
constexpr std::uint64_t kFlashEraseLimitNs = 64'000'000'000;
constexpr std::uint64_t kPageEraseLimitNs = 20'000'000;
constexpr int kLatch3Command = 0x84;  // chip enable off, write enable high, data latch on
}  // namespace

bool ByteFlashOps::SupportedFlashMaker(int maker) {
  return maker == 0x01 || maker == 0x1C || maker == 0x1F || maker == 0x37;
}

void ByteFlashOps::ProgramFlashBytes() {
  auto& l = link_;
  auto& report = report_;
  const auto& image = buf_.ProgramBuffer;
  IdentifyFlash();
  if (!SupportedFlashMaker(st_.FlashMakerCode)) {
    Conclude(Outcome::Kind::kRefused, "Device ID# " + st_.FlashIdText + " - Not Supported");
    st_.ProgramStatus = 0;
    return;
  }
  report.LogMessage("Device ID# " + st_.FlashIdText + " - Start programming");
  // The prepared bytes only, never past the chip: an address beyond it would
  // wrap onto its first bytes.
  const std::int32_t size = std::min(buf_.ProgramLength, dev_.DeviceSize);
  ui_.SetMax(control::ProgressBar1, (size + 255) / 256);
  l.REG4ON(), l.OEOFF(), l.CEOFF();
  l.CurrentAddress = 0;
  for (std::int32_t page = 0; page <= (size - 1) / 256; ++page) {
    if (page % 256 == 0) {
      l.Reg3Value = l.AddressHighMap.at(static_cast<std::size_t>(page / 256)) | l.Reg3Fixed | 0x80;
    }
    l.Reg1Value = l.AddressMidMap.at(static_cast<std::size_t>(page % 256)) | l.Reg1Fixed;
    ui_.SetValueQuiet(control::ProgressBar1, ui_.Value(control::ProgressBar1) + 1);
    for (l.Reg2Value = 0; l.Reg2Value <= 255 && l.CurrentAddress < size; ++l.Reg2Value) {
      int attempts = kByteAttempts;
      do {
        if (--attempts == 0) {
          ReportProgramFailure();
          return;
        }
        l.WriteValue = image.at(static_cast<std::size_t>(l.CurrentAddress));
        FlashProgramByte();
        if (st_.FlashMakerCode == 0x1F) {
          l.SleepMs(1);
          st_.FlashPollResult = 0;
        } else {
          FlashPollByte();
        }
      } while (st_.FlashPollResult > 0);
      l.CurrentAddress += 1;
    }
  }
}

// Loads the address and data latches and makes one write cycle on the flash
// socket's write-enable line (latch 3 bit 2), chip enable around it.
void ByteFlashOps::FlashBusWrite(int reg1, int reg2, int reg3, int data) {
  auto& l = link_;
  l.Reg1Value = reg1, l.SetReg1();
  l.Reg2Value = reg2, l.SetReg2();
  l.Reg3Value = reg3, l.SetReg3();
  l.Reg4Value = data, l.SetReg4();
  l.Reg3Value &= ~0x80, l.SetReg3();
  l.Reg3Value &= ~0x04, l.SetReg3();
  l.Reg3Value |= 0x04, l.SetReg3();
  l.Reg3Value |= 0x80, l.SetReg3();
}

// AAh, 55h and `command` at the unlock addresses the identification found.
void ByteFlashOps::FlashUnlock(int command) {
  auto& l = link_;
  const int first = st_.FlashLongAddresses ? 0x5555 : 0x0555;
  const int second = st_.FlashLongAddresses ? 0x2AAA : 0x02AA;
  const int reg3 = l.AddressHighMap[0] | l.Reg3Fixed | kLatch3Command;
  auto cycle = [&](int address, int data) {
    FlashBusWrite(l.AddressMidMap.at(static_cast<std::size_t>(address / 256)) | l.Reg1Fixed,
                  address % 256, reg3, data);
  };
  cycle(first, 0xAA);
  cycle(second, 0x55);
  cycle(first, command);
}

// The byte-program command, WriteValue at the address the shadows hold, then
// DATA polling until the chip is done or its time-out has passed. The address
// latches are left holding the byte's address.
void ByteFlashOps::FlashProgramByte() {
  auto& l = link_;
  const int reg1 = l.Reg1Value, reg2 = l.Reg2Value;
  const int reg3 = (l.Reg3Value | kLatch3Command) & ~0x40;
  l.OEOFF();
  FlashUnlock(0xA0);
  FlashBusWrite(reg1, reg2, reg3, l.WriteValue);
  if (!WaitFlashProgram()) FlashBusWrite(reg1, reg2, reg3, 0xF0);  // back to reading
  l.REG4ON();
}

// DATA polling on I/O7 at the byte's address; false at the time-out.
bool ByteFlashOps::WaitFlashProgram() {
  auto& l = link_;
  auto& clock = *svc_.clock;
  const std::uint64_t deadline = clock.NowNs() + kByteProgramLimitNs;
  l.REG4OFF();
  l.CEON();
  bool done = false;
  for (;;) {
    const bool late = clock.NowNs() > deadline;
    l.OEON(), l.GetNibbles(), l.OEOFF();
    done = ((l.ReadValue ^ l.WriteValue) & 0x80) == 0;
    if (done || late) break;
  }
  l.CEOFF();
  return done;
}

void ByteFlashOps::FlashPollByte() {
  auto& l = link_;
  l.REG4OFF();
  st_.FlashPollResult = 1;
  l.CEON();
  l.OEON();
  l.GetNibbles();
  l.OEOFF();
  l.CEOFF();
  if (l.ReadValue == l.WriteValue) st_.FlashPollResult = 0;
  l.REG4ON();
}

void ByteFlashOps::EraseFlashChip() {
  auto& l = link_;
  IdentifyFlash();
  if (st_.FlashPageSize == 0) {
    ReportEraseFailure("*** Device ID# " + st_.FlashIdText + " - Not Supported, nothing erased");
    return;
  }
  report_.LogMessage("Erasing Flash Chip");
  l.REG4ON(), l.OEOFF(), l.CEOFF();
  FlashUnlock(0x80);
  FlashUnlock(0x10);
  FinishChipErase(kFlashEraseLimitNs, 100);
}

void ByteFlashOps::EraseAT29C256() {
  report_.LogMessage("Erasing Atmel AT29C256");
  page_.SdpOffSequence(false, 0x10);
  FinishChipErase(kPageEraseLimitNs, 1);
}

// Waits for the end of a chip erase (toggle bit), bounded by `limit_ns`, then
// reads the whole chip back: only a chip that reads FFh everywhere is erased.
void ByteFlashOps::FinishChipErase(std::uint64_t limit_ns, int poll_ms) {
  auto& l = link_;
  auto& clock = *svc_.clock;
  const std::uint64_t start = clock.NowNs();
  l.CurrentAddress = 0;
  l.Endereco2Adr();
  l.SETADR_FLASH();
  l.REG4OFF();
  while (ChipToggling()) {
    if (clock.NowNs() - start > limit_ns) {
      ReportEraseFailure("*** Chip still busy " +
                         std::to_string((clock.NowNs() - start) / 1'000'000) +
                         " ms after the erase command");
      return;
    }
    l.SleepMs(poll_ms);
  }
  const std::int32_t code_size = buf_.CodeSize;
  buf_.CodeSize = dev_.DeviceSize;
  std::int32_t bad = -1;
  std::uint8_t bad_value = 0xFF;
  l.CEOEON();
  sweep_.ParallelSweep([&](std::int32_t address, std::uint8_t value) {
    if (value == 0xFF) return true;
    bad = address, bad_value = value;
    return false;
  });
  buf_.CodeSize = code_size;
  l.CEOEOFF();
  if (bad >= 0) {
    ReportEraseFailure("*** Address:" + HexText(bad) + "h, Read BYTE:" + HexText(bad_value) +
                       "h after the erase");
    return;
  }
  if (!ConfirmBoard("after the erase")) return;
  Conclude(Outcome::Kind::kDone, "Chip Erased, all bytes read FFh");
  report_.PlayEventSound("OK");
  l.Reset();
}

void ByteFlashOps::ReportEraseFailure(const std::string& why) {
  auto& l = link_;
  auto& r = report_;
  l.Reg0Value = 0;
  l.SetReg0();
  l.CEOFF();
  l.OEOFF();
  Conclude(Outcome::Kind::kFailed, "*** Erase Failure ***");
  r.LogMessage(why);
  r.LogMessage("*** Aborting Erase - Click on [ERROR] Indicator to Reset");
  r.RaiseErrorAlert();
  st_.FailFlag = 1;
  r.PlayEventSound("ERROR");
}

}  // namespace zambrix
