// The chip operations: read, blank check, programming, verify, flash and EEPROM
// commands, the serial 24Cxx routines.
#pragma once

#include <cstdint>
#include <string>

namespace zambrix {

class Core;

class Operations {
 public:
  explicit Operations(Core& core) : core_(core) {}

  void Read_button_Click();
  void Blank_button_Click();
  void Program_button_Click();
  void Verify_button_Click();
  void EraseFlash_button_Click();
  void menuFlashShowCodeID_Click();
  void LoopFlashTest_Click();
  void ResetFlash_Click();
  void FlashIdCycle();

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

 private:
  Core& core_;
};

}  // namespace zambrix
