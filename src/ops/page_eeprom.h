// The 64-byte page writes of the X28C256 and the AT29C256, their command write
// cycles and the protection-off sequence, and the X28C256 erase.
#pragma once

#include <cstdint>

#include "ops/operation_base.h"

namespace zambrix {

class PageEepromOps : public OperationBase {
 public:
  using OperationBase::OperationBase;

  // The prepared image page by page; `xicor` picks the X28C256 socket's lines.
  void ProgramPages(bool xicor);
  // One write of Reg4Value at FlashCommandAddress on either socket.
  void FlashCommandWrite();
  void XicorCommandWrite();
  // The six-byte command AAh, 55h, 80h, AAh, 55h, `last` at 5555h/2AAAh.
  void SdpOffSequence(bool xicor, int last);
  void EraseX28C256();

 private:
  enum class PageResult { kWritten, kDiffers, kBusy };
  bool WritePage(int page, bool xicor, std::int32_t end);
  void LoadPage(int page, bool xicor, std::int32_t end);
  PageResult ReadBackPage(int page, std::int32_t end);
  bool WaitPageCycle(int limit_ms);
  std::uint8_t ReadPageByte(std::int32_t address);
};

}  // namespace zambrix
