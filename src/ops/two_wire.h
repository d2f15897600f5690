// The 24C08, 24C16 and 24C32 over the two-wire bus: whole-chip read, verify,
// page writes and the bus's own steps.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation_base.h"

namespace zambrix {

class TwoWireOps : public OperationBase {
 public:
  using OperationBase::OperationBase;

  // Each reads, compares or writes CodeSize bytes from chip address 0 (never
  // more than the chip holds; an erase covers the whole chip) and leaves
  // ErrorCount non-zero when the chip did not acknowledge. The compare and the
  // writes take the program image's bytes (only the selected ones with "Hi
  // Byte" or "Low Byte"); a write reads back what it wrote and sets FailFlag
  // after the mismatch report when a byte did not take.
  void Read24Cxx();
  // The Read command for a 24Cxx: Read24Cxx between the board checks, then the
  // report and the socket's lines at rest.
  void Read();
  void Verify24Cxx();
  void Write24C08_16();
  void Write24C32();
  // The verify command's serial branch: Verify24Cxx between the board checks;
  // a chip that does not answer gets the acknowledge report.
  void VerifySerial();
  // The outcome of a 24Cxx erase. A serial chip without a page write (the
  // 24C256) was not touched, and says so.
  void ReportSerialErase(bool written);
  // The socket powered with its lines at rest, as selecting a 24Cxx leaves it:
  // SCL low, output enable on, latches 1 and 2 cleared.
  void SerialLinesAtRest();

  // The two-wire bus: SCL on latch 3 bit 7, SDA driven from latch 4 bit 7 while
  // latch 3 bit 6 is clear, SDA read back as bit 7 of the status nibbles.
  void GetNibbles24CXX();
  void I2cStart();
  void I2cStop();
  void I2cSendByte();
  void I2cWaitAck();
  void I2cSendBytePoll();
  void I2cReadByte();
  // Clocks a chip that an earlier run left sending until it lets SDA go (at
  // most nine clocks), then a start and a stop put it back in standby.
  void I2cFreeBus();

 private:
  std::int32_t SerialByteCount(const std::string& done);
  bool SerialSend(int value);
  bool SerialCompare(std::int32_t count);
  bool SerialReadHeader();
  void SerialAcknowledge(bool last);
  void SerialProgress(std::int32_t index);
  void SerialPageWrite(int page_size, bool two_address_bytes, const std::string& erase_message);
  bool SerialWritePage(std::int32_t first, std::int32_t count, bool two_address_bytes);
  void SerialWritePoll(int device_byte);
};

}  // namespace zambrix
