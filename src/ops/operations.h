// The chip operations: read, blank check, programming, verify, flash and EEPROM
// commands, the serial 24Cxx routines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "buffers/digests.h"
#include "devices/chip_families.h"
#include "ops/outcome.h"

namespace zambrix {

class Buffers;
class DeviceSelection;
class Link;
class LinkEvents;
class Report;
class WindowModel;
struct Services;

class Operations {
 public:
  Operations(WindowModel& ui, Report& report, Services& svc, Link& link, DeviceSelection& dev,
             Buffers& buf, LinkEvents& board)
      : ui_(ui), report_(report), svc_(svc), link_(link), dev_(dev), buf_(buf), board_(board) {}

  // ---- Read ----
  void Read_button_Click();
  void ReadDeviceCode();
  void ReadParallelDevice();
  void ReadSerialDevice();
  void ReadDeviceData();
  void ReportSerialAckError();
  // A byte that does not read back: the board's own report, unless the board
  // has gone (it then reads FFh, which no chip refused).
  void ReportProgramFailure();

  // ---- Blank check ----
  void Blank_button_Click();
  void BlankCheckCode();
  void BlankCheckData();
  void BlankCheckParallel();
  void ReportNotBlank();

  // ---- EPROM programming and verify (program.cpp, eprom.cpp, verify.cpp) ----
  void Program_button_Click();
  void ProgramDeviceCode();
  void ProgramDeviceData();
  // The text of the programming safety question.
  std::string ProgramQuestion() const;
  // Fills the program buffer and ProgramLength from the code buffer: all bytes,
  // the odd bytes ("Hi Byte") or the even bytes ("Low Byte").
  void BuildProgramImage();
  void GoProgressiveBar1();
  enum class EpromAlgorithm { k2732, k2764_128, k27256_040, k27080, k27010_020 };
  void P2732();
  void P2764_128();
  void P27256_040();
  void P27080();
  void P27010_020();
  void Verify_button_Click();
  void VerifyDeviceCode();
  void VerifyDeviceData();
  // The caller sets WorkAddress and ReadValue first.
  void ReportVerifyMismatch(std::uint8_t expected);
  // After a verify that found a difference: the chip read once more and every
  // difference handed to the buffers' compare view (the window asks for it).
  void CollectDifferences();

  // A run of chip addresses [first, last] and how many of its bytes are counted.
  struct AddressRange {
    std::int32_t first = 0;
    std::int32_t last = 0;
    std::int32_t count = 0;
  };
  // Verify without stopping at the first difference: every differing range of
  // the programmed bytes, logged with its count. False when the board was lost.
  bool VerifyAllDifferences(std::vector<AddressRange>& differences);
  // What programming the prepared image over the chip's contents would need.
  struct WriteCheck {
    std::int32_t compared = 0;
    std::int32_t already = 0;              // bytes that hold their value
    std::int32_t to_program = 0;           // bytes that need 1s turned into 0s only
    std::vector<AddressRange> need_erase;  // bytes that need a 0 turned into a 1
  };
  // Reads the chip (nothing is written) and compares it with the image the
  // programming would write; an EEPROM needs no erase for any byte. False when
  // the board was lost.
  bool CheckWritable(WriteCheck& result);

  // ---- Serial 24Cxx EEPROMs (serial.cpp, i2c_bus.cpp) ----
  // Each reads, compares or writes CodeSize bytes from chip address 0 (never
  // more than the chip holds; an erase covers the whole chip) and leaves
  // ErrorCount non-zero when the chip did not acknowledge. The compare and the
  // writes take the program image's bytes (only the selected ones with "Hi
  // Byte" or "Low Byte"); a write reads back what it wrote and sets FailFlag
  // after the mismatch report when a byte did not take.
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
  // The serial branch of the verify command: Verify24Cxx between the board
  // checks; a chip that does not answer gets the acknowledge report.
  void VerifySerial();

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
  // Command write cycles and the protection-off sequence of the two page sockets.
  void FlashCommandWrite();
  void XicorCommandWrite();
  void FlashSdpOff();
  void XicorSdpOff();
  // Identification: the three-cycle command with FlashCommandByte, the quick
  // path and the AT29C256 path, and the lookup in the identification table.
  void IdentifyFlash();
  void FlashCommand3();
  void FlashCommand3Slow();
  // The byte algorithm's write step and its read-back.
  void FlashProgramByte();
  void FlashPollByte();
  void Reg3Bit2Clear();
  void Reg3Bit2Set();

  // Asks the board whether it is still there (the detection's probe at the
  // current port, latches left as they were). When it does not answer: logs what
  // happened, raises the error alert, resets, sets BoardLost and returns false.
  // `when` names the moment for the log ("before the read", "after the sweep").
  // Before a parallel chip's operation it also drives 00h, FFh, 55h and AAh from
  // the data latch with the chip deselected and reads them back: a data line
  // stuck or shorted by the cable or the socket fails the check the same way.
  bool ConfirmBoard(const std::string& when);
  // The data-line test; false with the first pattern that did not read back.
  bool DataLinesWork(int& driven, int& seen);
  bool StartRead();

  // The parallel sweep over CodeSize bytes shared by read, blank check and
  // verify: latch 3 once per bank, latch 1 once per page (then a progress
  // step), latch 2 and one two-nibble read per byte. `per_byte` gets the chip
  // address and the byte read; returning false ends the sweep at once (the
  // sweep then returns false). The board is asked whether it is still there
  // between banks; when it is gone the sweep returns false with BoardLost set
  // and the alert raised, and the caller reports nothing more. The caller asks
  // once more when the sweep ends, before it reports a result.
  bool ParallelSweep(const std::function<bool(std::int32_t address, std::uint8_t value)>& per_byte);
  void StartCompareSweep();
  void ShowReadBuffer();
  void MarkCodeBufferRead();
  // Bank and page limits of a sweep over `size` bytes.
  static int SweepLastBank(std::int32_t size);
  static int SweepLastPage(std::int32_t size);
  // Pages a sweep over `size` bytes walks (the progress bar's maximum).
  static std::int32_t SweepPages(std::int32_t size);

  // What the event in hand came to (emptied as each event starts).
  Outcome Result;
  // Logs an operation's result line and adds it to Result.
  void Conclude(Outcome::Kind kind, const std::string& line);

  // ---- State ----
  std::int32_t WorkAddress = 0;
  int FailFlag = 0;
  int ProgramStatus = 0;
  int ErrorCount = 0;
  std::int32_t ProgressStep = 0;
  std::int32_t ProgressCount = 0;
  std::int32_t DeviceChecksum = 0;
  std::string DeviceChecksumText;
  Digests DeviceDigests;  // CRC-32 and SHA-1 of the bytes the last read gave
  int LastBank = 0;
  int LastPage = 0;
  bool EraseInProgress = false;
  // True while a programming run or a chip erase writes the chip: a stop then
  // leaves it partly written.
  bool ChipWriting = false;
  // After the operator's stop (the board already reset): says so, puts the
  // lights, progress bar and Verify button at rest, and raises the alert when
  // the chip was being written.
  void Stopped();
  bool BoardLost = false;    // the last operation found no board; cleared as each starts
  std::string BoardProblem;  // what ConfirmBoard found, for a one-line message
  // The board went away while it was writing a parallel chip: the programming
  // voltage may still be on. Cleared with BoardLost.
  bool VppMayBeOn = false;
  static constexpr std::string_view kVppMayBeOn =
      "The programming voltage may still be on: switch the board off before taking the chip out";
  int VerifyFailed = 0;
  // The bytes of the difference the last mismatch report gave (at WorkAddress).
  int VerifyExpected = 0;
  int VerifyActual = 0;
  // The last EPROM run's bytes that needed more pulses than the chip's
  // datasheet allows, and the address of the first of them (-1: none).
  std::int32_t OverPulsedBytes = 0;
  std::int32_t FirstOverPulsed = -1;
  // Back colours of the Verify button while a compare runs and at rest.
  static constexpr std::uint32_t kVerifyRunningColour = 0x80000014;
  static constexpr std::uint32_t kVerifyIdleColour = 0x8000000F;

  // Flash and parallel EEPROM state.
  int FlashCommandByte = 0;
  int FlashMakerCode = 0;
  int FlashDeviceCode = 0;
  std::string FlashIdText;
  std::string FlashArrayText;
  int FlashPageSize = 0;
  int FlashPageCount = 0;
  std::int32_t FlashCommandAddress = 0;
  std::int32_t FlashPollResult = 0;
  // The chip took its commands at 5555h/2AAAh only (a part that decodes more
  // address lines than the short 0555h/02AAh).
  bool FlashLongAddresses = false;

 private:
  bool ParallelDevice() const;
  bool DispatchProgram(Algorithm algorithm);
  void RunEprom(EpromAlgorithm algorithm);
  void EpromStartState(EpromAlgorithm algorithm);
  void EpromSetUp(EpromAlgorithm algorithm);
  bool EpromPreRead(EpromAlgorithm algorithm);
  void EpromPulse(EpromAlgorithm algorithm);
  void ReportOverPulsed();
  void FinishProgramming();
  void ProgrammingFinalState();
  bool SerialKey() const;
  // Prepares the program image and reads the chip over the parallel sweep,
  // summing DeviceChecksum and giving each byte of the image's extent with its
  // expected byte to `per_byte` (false from it ends the sweep: false then).
  // `compared` gets the number of bytes given.
  bool CompareSweep(const std::function<bool(std::int32_t, std::uint8_t, std::uint8_t)>& per_byte,
                    std::int32_t& compared);
  void LogRanges(const std::string& label, const std::vector<AddressRange>& ranges);
  void RoutineNotReady(const std::string& text, const std::string& title = "Routine Not Ready");
  // One log line when the code buffer's length, which a shorter file sets, left
  // part of the chip out: "<verb> N of M bytes (the loaded file's length)".
  void ReportPartialLength(const std::string& verb);
  // Serial helpers (serial.cpp).
  std::int32_t SerialByteCount(const std::string& done);
  bool SerialSend(int value);
  bool SerialCompare(std::int32_t count);
  bool SerialReadHeader();
  void SerialAcknowledge(bool last);
  void SerialProgress(std::int32_t index);
  void SerialPageWrite(int page_size, bool two_address_bytes, const std::string& erase_message);
  bool SerialWritePage(std::int32_t first, std::int32_t count, bool two_address_bytes);
  void SerialWritePoll(int device_byte);
  void ReportSerialErase(bool written);
  // Flash and parallel EEPROM helpers (flash_*.cpp).
  int SpeedSpan() const;
  void ProgramPages(bool xicor);
  enum class PageResult { kWritten, kDiffers, kBusy };
  bool WritePage(int page, bool xicor, std::int32_t end);
  void LoadPage(int page, bool xicor, std::int32_t end);
  PageResult ReadBackPage(int page, std::int32_t end);
  bool WaitPageCycle(int limit_ms);
  std::uint8_t ReadPageByte(std::int32_t address);
  void SdpOffSequence(bool xicor, int last);
  void QuickLoad(int latch, int value);
  void QuickCommandCycle(int mid, int low, int data);
  void ReadIdentification();
  void FlashBusWrite(int reg1, int reg2, int reg3, int data);
  void FlashUnlock(int command);
  bool WaitFlashProgram();
  void FinishChipErase(std::uint64_t limit_ns, int poll_ms);
  bool ChipToggling();
  void ReportEraseFailure(const std::string& why);
  static bool SupportedFlashMaker(int maker);
  WindowModel& ui_;
  Report& report_;
  Services& svc_;
  Link& link_;
  DeviceSelection& dev_;
  Buffers& buf_;
  LinkEvents& board_;
};

}  // namespace zambrix
