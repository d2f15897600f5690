// The byte-mode flash chips: identification, byte programming with status
// polling, the chip erase (the AT29C256's too) and the flash socket's service
// commands.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation_base.h"

namespace zambrix {

class PageEepromOps;
class ParallelSweepOps;

class ByteFlashOps : public OperationBase {
 public:
  ByteFlashOps(const OperationParts& parts, PageEepromOps& page, ParallelSweepOps& sweep)
      : OperationBase(parts), page_(page), sweep_(sweep) {}

  void ProgramFlashBytes();
  void EraseFlashChip();
  void EraseAT29C256();
  // The three-cycle command with FlashCommandByte: the quick path, or the
  // AT29C256's command writes.
  void FlashCommand3();
  void FlashCommand3Slow();
  // Identification and the lookup in the identification table.
  void IdentifyFlash();
  // The silent identification cycle of the device selection.
  void FlashIdCycle();
  // The identification as the operator asks for it, between board checks.
  void ShowCodeId();
  void ResetFlash();
  void LoopFlashTest();
  // The byte algorithm's write step and its read-back.
  void FlashProgramByte();
  void FlashPollByte();
  void Reg3Bit2Clear();
  void Reg3Bit2Set();

 private:
  static bool SupportedFlashMaker(int maker);
  void QuickLoad(int latch, int value);
  void QuickCommandCycle(int mid, int low, int data);
  void ReadIdentification();
  void ReturnToRead();
  void FlashBusWrite(int reg1, int reg2, int reg3, int data);
  void FlashUnlock(int command);
  bool WaitFlashProgram();
  void FinishChipErase(std::uint64_t limit_ns, int poll_ms);
  void ReportEraseFailure(const std::string& why);
  PageEepromOps& page_;
  ParallelSweepOps& sweep_;
};

}  // namespace zambrix
