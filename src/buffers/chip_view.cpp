// The chip view: one page read straight from the board through the link.
#include <algorithm>

#include "app/core.h"

namespace zambrix {

namespace {
// The address latches carry 24 bits: 65536 pages of 256 bytes.
constexpr std::int32_t kLastChipPage = 65535;
}  // namespace

void Buffers::LoadChipAddress() {
  auto& link = core_.link;
  const auto& dev = core_.dev;
  switch (dev.Family().address) {
    case AddressRule::kEprom:
      link.SETADR();
      break;
    case AddressRule::kXicor:
      link.SETADR_XICOR();
      break;
    case AddressRule::kFlash:
    case AddressRule::kFlashA18:
      link.SETADR_FLASH();
      break;
    case AddressRule::kNone:
      break;
  }
}

void Buffers::DisplayEprom() {
  auto& link = core_.link;
  auto& report = core_.report;
  report.DataFlowLightOn();
  core_.ui.SetCaption("Frame3", "Device Memory Hex/Ascii Display");
  link.Reset();
  LoadChipAddress();  // address 0
  link.SleepMs(500);
  link.REG4OFF();
  const std::int32_t page = std::clamp(core_.ui.Value("VScroll1"), 0, kLastChipPage);
  ShowPageAddress(page * kCodePageSize);
  core_.svc.clock->Spin(100);
  for (std::size_t i = 0; i < PageBuffer.size(); ++i) {
    LoadChipAddress();
    link.OEON();
    link.CEON();
    link.GetNibbles();
    link.CEOFF();
    link.OEOFF();
    PageBuffer[i] = link.ReadValue;
    link.IncADR();
  }
  std::string text;
  text.reserve(16 * 64);
  for (int row = 0; row < 16; ++row) {
    text += HexRow(page * kCodePageSize + row * kRowBytes, PageBuffer.data() + row * kRowBytes,
                   CharRule::Chip);
  }
  core_.ui.SetText("BufferDisplay", text);
  report.DataFlowLightOff();
}

}  // namespace zambrix
