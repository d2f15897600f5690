// The chip view: one page read straight from the board through the link.
#include <algorithm>

#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/clock.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

namespace {
// The address latches carry 24 bits: 65536 pages of 256 bytes.
constexpr std::int32_t kLastChipPage = 65535;
}  // namespace

void Buffers::LoadChipAddress() {
  auto& link = link_;
  const auto& dev = dev_;
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
  auto& link = link_;
  auto& report = report_;
  report.DataFlowLightOn();
  ui_.SetCaption(control::Frame3, "Device Memory Hex/Ascii Display");
  link.Reset();
  LoadChipAddress();  // address 0
  link.SleepMs(500);
  link.REG4OFF();
  const std::int32_t page = std::clamp(ui_.Value(control::VScroll1), 0, kLastChipPage);
  ShowPageAddress(page * kCodePageSize);
  svc_.clock->Spin(100);
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
  ui_.SetText(control::BufferDisplay, text);
  report.DataFlowLightOff();
}

}  // namespace zambrix
