// What the operations share while they run and leave behind for the window and
// the command line: the figures of the event in hand, the board's answer, the
// verify's difference and the flash identification.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "buffers/digests.h"
#include "ops/outcome.h"

namespace zambrix {

struct OperationState {
  // What the event in hand came to (emptied as each event starts).
  Outcome Result;

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
};

}  // namespace zambrix
