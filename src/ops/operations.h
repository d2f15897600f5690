// The chip operations: read, blank check, programming, verify, flash and EEPROM
// commands, the serial 24Cxx routines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

  // ---- EPROM programming and verify (program.cpp, eprom.cpp, verify.cpp) ----
  void Program_button_Click();
  void ProgramDeviceCode();
  void ProgramDeviceData();
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
    std::int32_t already = 0;        // bytes that hold their value
    std::int32_t to_program = 0;     // bytes that need 1s turned into 0s only
    std::vector<AddressRange> need_erase;  // bytes that need a 0 turned into a 1
  };
  // Reads the chip (nothing is written) and compares it with the image the
  // programming would write. False when the board was lost.
  bool CheckWritable(WriteCheck& result);

  // ---- Serial 24Cxx EEPROMs (serial.cpp) ----
  // Each fills or compares CodeSize bytes from chip address 0 and leaves
  // ErrorCount non-zero when the chip did not acknowledge.
  void Read24Cxx();
  void Verify24Cxx();
  void Write24C08_16();
  void Write24C32();

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
  int VerifyFailed = 0;
  // Back colours of the Verify button while a compare runs and at rest.
  static constexpr std::uint32_t kVerifyRunningColour = 0x80000014;
  static constexpr std::uint32_t kVerifyIdleColour = 0x8000000F;

 private:
  bool ParallelDevice() const;
  bool DispatchProgram(const std::string& key);
  void RunEprom(EpromAlgorithm algorithm);
  void EpromStartState(EpromAlgorithm algorithm);
  void EpromSetUp(EpromAlgorithm algorithm);
  bool EpromPreRead(EpromAlgorithm algorithm);
  void EpromPulse(EpromAlgorithm algorithm, int budget);
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
  Core& core_;
};

}  // namespace zambrix
