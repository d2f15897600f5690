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
  // The program buffer from the code buffer, as the Hi / Low option asks.
  void BuildProgramImage();
  // One progress tick: the bar moves every ProgressStep ticks.
  void GoProgressiveBar1();

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
  void RoutineNotReady(const std::string& text, const std::string& title = "Routine Not Ready");
  // Flash and parallel EEPROM helpers (flash_*.cpp).
  int SpeedSpan() const;
  void ProgramPages(bool xicor);
  bool WritePage(int page, bool xicor);
  int LoadAndReadPage(int page, bool xicor);
  bool WaitPageCycle();
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
  Core& core_;
};

}  // namespace zambrix
