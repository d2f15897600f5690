// The chip operations: read, blank check, programming, verify, flash and EEPROM
// commands, the serial 24Cxx routines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zambrix {

class Core;

class Operations {
 public:
  explicit Operations(Core& core) : core_(core) {}

  // ---- Read ----
  void Read_button_Click();
  void ReadDeviceCode();
  void ReadParallelDevice();
  void ReadSerialDevice();
  void ReadDeviceData();
  void ReportSerialAckError();

  // ---- Blank check ----
  void Blank_button_Click();
  void BlankCheckCode();
  void BlankCheckData();
  void BlankCheckParallel();
  void ReportNotBlank();

  // ---- EPROM programming and verify (program.cpp, verify.cpp) ----
  void Program_button_Click();
  void Verify_button_Click();
  // The mismatch report: WorkAddress, the expected byte and ReadValue.
  void ReportVerifyMismatch(std::uint8_t expected);

  // ---- Serial 24Cxx EEPROMs (serial.cpp, i2c_bus.cpp) ----
  // Each reads, compares or writes CodeSize bytes from chip address 0 (never
  // more than the chip holds; an erase covers the whole chip) and leaves
  // ErrorCount non-zero when the chip did not acknowledge.
  void Read24Cxx();
  void Verify24Cxx();
  void Write24C08_16();
  void Write24C32();
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
  // The socket powered with its lines at rest, as selecting a 24Cxx leaves it:
  // SCL low, output enable on, latches 1 and 2 cleared.
  void SerialLinesAtRest();

  // ---- Flash and parallel EEPROM (flash.cpp) ----
  void ProgramX28C256();
  void ProgramAT29C256();
  void ProgramFlashBytes();
  void EraseFlash_button_Click();
  void EraseX28C256();
  void EraseFlashChip();
  void EraseAT29C256();
  void menuFlashShowCodeID_Click();
  void LoopFlashTest_Click();
  void ResetFlash_Click();
  void FlashIdCycle();

  // Asks the board whether it is still there (the detection's probe at the
  // current port, latches left as they were). When it does not answer: logs what
  // happened, raises the error alert, resets, sets BoardLost and returns false.
  // `when` names the moment for the log ("before the read", "after the sweep").
  bool ConfirmBoard(const std::string& when);

  // The parallel sweep over CodeSize bytes shared by read, blank check and
  // verify: latch 3 once per bank, latch 1 once per page (then a progress
  // step), latch 2 and one two-nibble read per byte. `per_byte` gets the chip
  // address and the byte read; returning false ends the sweep at once (the
  // sweep then returns false).
  bool ParallelSweep(const std::function<bool(std::int32_t address, std::uint8_t value)>& per_byte);
  // Bank and page limits of a sweep over `size` bytes.
  static int SweepLastBank(std::int32_t size);
  static int SweepLastPage(std::int32_t size);
  // Pages a sweep over `size` bytes walks (the progress bar's maximum).
  static std::int32_t SweepPages(std::int32_t size);

  // ---- State ----
  std::int32_t WorkAddress = 0;
  int FailFlag = 0;
  int ProgramStatus = 0;
  int ErrorCount = 0;
  std::int32_t ProgressStep = 0;
  std::int32_t ProgressCount = 0;
  std::int32_t DeviceChecksum = 0;
  std::string DeviceChecksumText;
  int LastBank = 0;
  int LastPage = 0;
  bool EraseInProgress = false;
  bool BoardLost = false;  // the last operation found no board; cleared as each starts

 private:
  bool ParallelDevice() const;
  void RoutineNotReady(const std::string& text, const std::string& title = "Routine Not Ready");
  // Serial helpers (serial.cpp).
  std::int32_t SerialByteCount(const std::string& done);
  bool SerialSend(int value);
  bool SerialReadHeader();
  void SerialAcknowledge(bool last);
  void SerialProgress(std::int32_t index);
  void SerialPageWrite(int page_size, bool two_address_bytes, const std::string& erase_message);
  bool SerialWritePage(std::int32_t first, std::int32_t count, bool two_address_bytes);
  void SerialWritePoll(int device_byte);
  void ReportSerialErase(bool written);
  Core& core_;
};

}  // namespace zambrix
