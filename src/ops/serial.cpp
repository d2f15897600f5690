// The 24C08, 24C16 and 24C32: whole-chip read, verify and page writes over the
// two-wire bus (i2c_bus.cpp). The 24C08/24C16 carry the 256-byte block in the
// device byte and take one word-address byte; the 24C32 takes two.
#include <algorithm>
#include <span>

#include "base/control_names.h"
#include "base/report.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/two_wire.h"

namespace zambrix {

namespace {
constexpr int kDeviceWrite = 0xA0;
constexpr int kDeviceRead = 0xA1;
}  // namespace

// The whole chip into the code buffer, between the board checks.
void TwoWireOps::Read() {
  auto& link = link_;
  auto& ui = ui_;
  auto& report = report_;
  auto& buf = buf_;
  if (!StartRead()) return;
  ui.SetMax(control::ProgressBar1, buf.CodeSize);
  Read24Cxx();
  report.DataFlowLightOff();
  if (st_.ErrorCount != 0) {
    // A board that went away answers like a chip that does not acknowledge.
    if (!ConfirmBoard("during the read")) return;
    ReportSerialAckError();
  } else {
    if (!ConfirmBoard("after the read")) return;
    Conclude(Outcome::Kind::kDone,
             std::to_string(std::min(buf.CodeSize, dev_.DeviceSize)) + " bytes Read from Device");
    st_.DeviceDigests = buf.LogDigests(
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

// Bytes an operation covers: CodeSize, but never beyond the chip, whose address
// counter would wrap and start over at 0. `done` says what happened to the
// bytes that were covered ("read", "compared", "written").
std::int32_t TwoWireOps::SerialByteCount(const std::string& done) {
  const std::int32_t size = buf_.CodeSize;
  const std::int32_t chip = dev_.DeviceSize;
  if (chip <= 0 || size <= chip) return std::max<std::int32_t>(size, 0);
  report_.LogMessage("Buffer is larger than the Device: only the first " + std::to_string(chip) +
                     " bytes were " + done);
  return chip;
}

// Sends `value`; false (ErrorCount set) when the chip did not
// acknowledge it.
bool TwoWireOps::SerialSend(int value) {
  link_.WriteValue = static_cast<std::uint8_t>(value);
  I2cSendByte();
  return st_.ErrorCount == 0;
}

void TwoWireOps::SerialLinesAtRest() {
  auto& link = link_;
  link.CEON();
  link.OEON();
  link.Reg1Value = 0;
  link.Reg2Value = 0;
  link.SetReg1();
  link.SetReg2();
}

// Address 0, then the read command. False when a byte was not acknowledged.
bool TwoWireOps::SerialReadHeader() {
  auto& link = link_;
  link.OEOFF();
  link.SleepMs(50);
  I2cFreeBus();
  I2cStart();
  const bool two_bytes = dev_.Family().algorithm == Algorithm::kSerialPages32;
  if (!SerialSend(kDeviceWrite) || !SerialSend(0x00) || (two_bytes && !SerialSend(0x00)))
    return false;
  I2cStart();
  if (!SerialSend(kDeviceRead)) return false;
  link.REG4OFF();
  link.Reg4Value = 0;
  link.SetReg4();
  return true;
}

// The ninth clock of a received byte: SDA driven low (the data latch holds 0)
// asks for the next byte; SDA left released on the last one ends the transfer,
// so that the chip stops sending and the stop that follows is seen.
void TwoWireOps::SerialAcknowledge(bool last) {
  auto& link = link_;
  if (!last) link.REG4ON();
  link.CEOFF();
  link.CEON();
}

// Sixteen steps before every sixteenth byte, never past the bar's maximum.
void TwoWireOps::SerialProgress(std::int32_t index) {
  if (index % 16 != 0) return;
  auto& ui = ui_;
  ui.SetValueQuiet(control::ProgressBar1,
                   std::min(ui.Value(control::ProgressBar1) + 16, ui.Max(control::ProgressBar1)));
}

void TwoWireOps::Read24Cxx() {
  auto& link = link_;
  const std::int32_t count = SerialByteCount("read");
  st_.ErrorCount = 0;
  if (count == 0 || !SerialReadHeader()) return;
  auto& code = buf_.CodeBuffer;
  for (std::int32_t i = 0; i < count; ++i) {
    SerialProgress(i);
    I2cReadByte();
    SerialAcknowledge(i == count - 1);
    code.at(static_cast<std::size_t>(i)) = link.ReadValue;
  }
  I2cStop();
}

// Reads `count` bytes from address 0 and compares each with what was written
// there (FFh during an erase, else the program image), summing DeviceChecksum.
// Stops at the first byte that differs and reports it; that byte is not
// acknowledged, so the chip is left in standby. False when a byte differed or
// the chip did not answer (ErrorCount set then).
bool TwoWireOps::SerialCompare(std::int32_t count) {
  auto& link = link_;
  auto& ui = ui_;
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetMax(control::ProgressBar1, count);
  st_.ErrorCount = 0;
  if (count == 0) return true;
  if (!SerialReadHeader()) return false;
  const auto& image = buf_.ProgramBuffer;
  for (std::int32_t i = 0; i < count; ++i) {
    SerialProgress(i);
    I2cReadByte();
    const std::uint8_t expected =
        st_.EraseInProgress ? 0xFF : image.at(static_cast<std::size_t>(i));
    const bool differs = expected != link.ReadValue;
    st_.DeviceChecksum = (st_.DeviceChecksum + link.ReadValue) & 0xFFFF;
    SerialAcknowledge(differs || i == count - 1);
    if (differs) {
      I2cStop();
      st_.WorkAddress = i;
      link.CurrentAddress = i;
      link.WriteValue = expected;
      ReportVerifyMismatch(expected);
      return false;
    }
  }
  I2cStop();
  return true;
}

// The bytes programming writes (the selected ones with "Hi Byte" or "Low
// Byte"), compared with the chip.
void TwoWireOps::Verify24Cxx() {
  BuildProgramImage();
  const std::int32_t covered = SerialByteCount("compared");
  const std::int32_t count = std::min(covered, buf_.ProgramLength);
  if (count != covered) {
    report_.LogMessage("Compared " + std::to_string(count) + " programmed bytes of " +
                       std::to_string(covered));
  }
  SerialCompare(count);
}

void TwoWireOps::VerifySerial() {
  if (!ConfirmBoard("before the verify")) {
    st_.VerifyFailed = 1;
    return;
  }
  Verify24Cxx();
  if (st_.VerifyFailed != 0) return;
  if (st_.ErrorCount != 0) {
    if (ConfirmBoard("during the verify")) ReportSerialAckError();
    st_.VerifyFailed = 1;
  } else if (!ConfirmBoard("after the verify")) {
    st_.VerifyFailed = 1;
  }
}

void TwoWireOps::Write24C08_16() { SerialPageWrite(16, false, "Erasing Device 24CXX"); }
void TwoWireOps::Write24C32() { SerialPageWrite(32, true, "Erasing Device 24C32"); }

// Page writes of the program image (FFh while erasing, over the whole chip); a
// last page shorter than the page size holds the bytes that are left.
void TwoWireOps::SerialPageWrite(int page_size, bool two_address_bytes,
                                 const std::string& erase_message) {
  auto& link = link_;
  auto& ui = ui_;
  std::int32_t count = dev_.DeviceSize;
  if (st_.EraseInProgress) {
    report_.LogMessage(erase_message);
    report_.LogMessage("Program Buffer will not be erased");
  } else {
    count = std::min(SerialByteCount("written"), buf_.ProgramLength);
  }
  st_.ErrorCount = 0;
  link.OEOFF();
  link.SleepMs(50);
  I2cFreeBus();
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetMax(control::ProgressBar1, (count + page_size - 1) / page_size);
  for (std::int32_t n = 0; n < count; n += page_size) {
    if (!SerialWritePage(n, std::min(page_size, count - n), two_address_bytes)) return;
    ui.SetValueQuiet(control::ProgressBar1,
                     std::min(ui.Value(control::ProgressBar1) + 1, ui.Max(control::ProgressBar1)));
    SerialWritePoll(two_address_bytes ? kDeviceWrite : kDeviceWrite + 2 * link.AddressMid);
    link.CEOFF();
    link.CEON();
  }
  link.Reg4Value = 0;
  link.SetReg4();
  link.REG4ON();
  // The chip gives no sign of a byte it did not take: what was written is read
  // back before success is claimed.
  if (!SerialCompare(count) && st_.ErrorCount == 0) st_.FailFlag = 1;
}

// One page from byte `first`: header, `count` data bytes, stop. False when the
// chip did not acknowledge (no stop is sent then).
bool TwoWireOps::SerialWritePage(std::int32_t first, std::int32_t count, bool two_address_bytes) {
  auto& link = link_;
  link.AddressMid = first / 256;
  link.AddressLow = first % 256;
  I2cStart();
  if (two_address_bytes) {
    if (!SerialSend(kDeviceWrite) || !SerialSend(link.AddressMid)) return false;
  } else if (!SerialSend(kDeviceWrite + 2 * link.AddressMid)) {
    return false;
  }
  if (!SerialSend(link.AddressLow)) return false;
  const auto& image = buf_.ProgramBuffer;
  for (std::int32_t i = first; i < first + count; ++i) {
    if (!SerialSend(st_.EraseInProgress ? 0xFF : image.at(static_cast<std::size_t>(i))))
      return false;
  }
  I2cStop();
  return true;
}

// The chip answers nothing during its write cycle: the device byte is sent
// until it is acknowledged, at most 50 times 2 ms apart. ErrorCount is 0 when it
// answered, else 50.
void TwoWireOps::SerialWritePoll(int device_byte) {
  auto& link = link_;
  st_.ErrorCount = 0;
  do {
    I2cStart();
    link.WriteValue = static_cast<std::uint8_t>(device_byte);
    I2cSendBytePoll();
    ++st_.ErrorCount;
    if (link.ReadValue != 0) link.SleepMs(2);
  } while (link.ReadValue != 0 && st_.ErrorCount < 50);
  if (link.ReadValue == 0) st_.ErrorCount = 0;
}

// The outcome of a 24Cxx erase. A serial chip without a page write (the 24C256)
// was not touched, and says so.
void TwoWireOps::ReportSerialErase(bool written) {
  if (!written) {
    RoutineNotReady("Please Write Missing Routines at ERASE");
    return;
  }
  if (st_.ErrorCount != 0) {
    // A board that went away answers like a chip that does not acknowledge.
    if (ConfirmBoard("during the erase")) ReportSerialAckError();
    st_.FailFlag = 1;
    return;
  }
  if (st_.FailFlag != 0) return;  // the read-back found a byte that is not FFh
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
