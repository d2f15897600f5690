// The hex/ASCII views of the code and data buffers, the scroll bar, the Show and
// Display buttons and the auxiliary display window.
#include <algorithm>
#include <string_view>

#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

namespace {

constexpr std::string_view kPrintable =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890-=\\!@#$%^&*()_+|[]}{;:'/?.>,<";
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, std::uint8_t b) {
  out.push_back(kHexDigits[b >> 4]);
  out.push_back(kHexDigits[b & 15]);
}

bool IsChipViewKey(const DeviceSelection& dev) { return dev.Family().chip_view; }

}  // namespace

Buffers::Buffers(WindowModel& ui, Report& report, Services& svc, Link& link, DeviceSelection& dev,
                 Operations& ops, FixedNameSaves& fixed_saves)
    : ui_(ui),
      report_(report),
      svc_(svc),
      link_(link),
      dev_(dev),
      ops_(ops),
      fixed_saves_(fixed_saves) {}

bool Buffers::HasChipView() const { return IsChipViewKey(dev_); }

void Buffers::BuildPrintableChars() {
  PrintableChars.fill(false);
  for (char ch : kPrintable) PrintableChars[static_cast<unsigned char>(ch)] = true;
}

std::string Buffers::HexRow(std::int32_t address, const std::uint8_t* bytes, CharRule rule,
                            int valid) const {
  std::string row = "\r\n";
  row.reserve(64);
  for (int shift = 20; shift >= 0; shift -= 4) row.push_back(kHexDigits[(address >> shift) & 15]);
  row += "| ";
  for (int i = 0; i < kRowBytes; ++i) {
    if (i < valid) {
      AppendHexByte(row, bytes[i]);
    } else {
      row += "  ";  // past the end of the buffer's contents
    }
    if (i % 4 == 3) row.push_back(' ');
  }
  row += "| ";
  for (int i = 0; i < kRowBytes; ++i) {
    if (i >= valid) {
      row.push_back(' ');
      continue;
    }
    const std::uint8_t b = bytes[i];
    const bool shown = rule == CharRule::Buffer ? PrintableChars[b] : (b >= 32 && b <= 122);
    row.push_back(shown ? static_cast<char>(b) : '.');
  }
  return row;
}

void Buffers::ShowPageAddress(std::int32_t address) {
  link_.CurrentAddress = address;
  link_.Endereco2Adr();
}

// A page's own rows always show; rows past them only while they hold bytes
// below `end`, and never past the buffer.
int Buffers::RowsShown(int rows, int page_rows, std::int32_t first, std::int32_t end,
                       std::size_t size) {
  const std::int64_t filled = (std::int64_t{end} - first + kRowBytes - 1) / kRowBytes;
  const std::int64_t held = (static_cast<std::int64_t>(size) - first) / kRowBytes;
  const std::int64_t n =
      std::max<std::int64_t>(std::min(rows, page_rows), std::min<std::int64_t>(rows, filled));
  return static_cast<int>(std::clamp<std::int64_t>(n, 0, held));
}

void Buffers::AppendPage(std::string_view control, const std::vector<std::uint8_t>& buffer,
                         std::int32_t page, std::int32_t page_size, int rows, std::int32_t end,
                         CharRule rule) {
  // A page outside the buffer shows the nearest page inside it instead.
  const auto last_page =
      static_cast<std::int32_t>(buffer.size() / static_cast<std::size_t>(page_size)) - 1;
  page = std::clamp(page, 0, last_page);
  const std::int32_t first = page * page_size;
  rows = RowsShown(rows, page_size / kRowBytes, first, end, buffer.size());
  ShowPageAddress(first);
  std::string text;
  text.reserve(static_cast<std::size_t>(rows) * 64);
  for (int row = 0; row < rows; ++row) {
    const std::int32_t address = first + row * kRowBytes;
    const int valid = std::clamp(end - address, 0, kRowBytes);
    text += HexRow(address, buffer.data() + address, rule, valid);
  }
  ui_.AppendText(control, text);
}

void Buffers::DisplayPageMemory() {
  if (!dev_.Family().data_area) {
    DisplayCodeMemory();
    return;
  }
  const std::string& shown = ui_.Caption(control::Show_button);
  if (shown == "Show Data") DisplayCodeMemory();
  if (shown == "Show Code") DisplayDataMemory();
}

// The frame's caption always names what the view shows.
void Buffers::DisplayCodeMemory() {
  ui_.SetCaption(control::Frame3, "Code Buffer Hex/Ascii Display");
  ui_.SetText(control::BufferDisplay, "");
  AppendPage(control::BufferDisplay, CodeBuffer, ui_.Value(control::VScroll1), kCodePageSize,
             ViewRows, CodeSize);
}

void Buffers::DisplayDataMemory() {
  ui_.SetCaption(control::Frame3, "Data Buffer Hex/Ascii Display");
  ui_.SetText(control::BufferDisplay, "             *** BUFFER DATA ***\r\n");
  const auto end = DataBufferLoaded == 1 ? DataSize : static_cast<std::int32_t>(DataBuffer.size());
  AppendPage(control::BufferDisplay, DataBuffer, ui_.Value(control::VScroll1), kDataPageSize, 8,
             end);
}

void Buffers::VScroll1_Change() {
  if (DisplayMode == "Read") {
    DisplayPageMemory();
    if (CodeViewEditable()) KeepCursorOnPage();
  }
  if (DisplayMode == "DisplayEprom") DisplayEprom();
  if (DisplayMode == "Differences") DisplayDifferences();
}

std::int32_t Buffers::ShownPageOf(const std::vector<std::uint8_t>& buffer) const {
  const auto pages = static_cast<std::int32_t>(buffer.size() / kCodePageSize);
  return std::clamp(ui_.Value(control::VScroll1), 0, std::max(0, pages - 1));
}

Buffers::ShownPage Buffers::Shown() const {
  if (DisplayMode == "Differences") {
    const std::int32_t first = ShownPageOf(ComparedChip) * kCodePageSize;
    return {
        ShownKind::Differences, first, ComparedEnd,
        RowsShown(ViewRows, kCodePageSize / kRowBytes, first, ComparedEnd, ComparedChip.size())};
  }
  if (DisplayMode != "Read") return {};
  // A device with a data memory may show its data buffer instead.
  if (dev_.Family().data_area && ui_.Caption(control::Show_button) == "Show Code") return {};
  const std::int32_t first = ShownPageOf(CodeBuffer) * kCodePageSize;
  return {ShownKind::Code, first, CodeSize,
          RowsShown(ViewRows, kCodePageSize / kRowBytes, first, CodeSize, CodeBuffer.size())};
}

void Buffers::SetScrollMaxFromCodeSize() {
  // A last partial page is a page too.
  ui_.SetMax(control::VScroll1, (CodeSize + kCodePageSize - 1) / kCodePageSize - 1);
}

void Buffers::Display_button_Click() {
  auto& ui = ui_;
  if (ui.Value(control::CheckCode) == 0) return;
  DisplayMode = "DisplayEprom";
  ui.SetValue(control::VScroll1, 0);
  report_.LogMessage("Fetching Device Binary Contents to Screen");
  ui.SetCaption(control::Frame3, "Device Memory Hex/Ascii Display");
  if (IsChipViewKey(dev_)) DisplayEprom();
  if (dev_.Family().algorithm == Algorithm::kMicro) {
    ops_.Result.Add(Outcome::Kind::kRefused, "");
    svc_.dialogs->MessageBox("Please Write AT90S2313 Code Display ROutine", MsgButtons::Ok,
                             MsgIcon::None, "Routine Not Ready");
  }
}

void Buffers::Show_button_Click() {
  auto& ui = ui_;
  if (!dev_.Family().data_area) {
    ui.SetCaption(control::Frame3, "Code Buffer Hex/Ascii Display");
    DisplayMode = "Read";
  } else if (ui.Caption(control::Show_button) != "Show Data") {
    ui.SetCaption(control::Show_button, "Show Data");
    SetScrollMaxFromCodeSize();
    ui.SetCaption(control::Frame3, "Code Buffer Hex/Ascii Display");
  } else {
    ui.SetCaption(control::Show_button, "Show Code");
    ui.SetMax(control::VScroll1, 63);  // 64 data pages of 128 bytes
    ui.SetCaption(control::Frame3, "Data Buffer Hex/Ascii Display");
  }
  ui.SetValue(control::VScroll1, 0);
  DisplayPageMemory();
}

void Buffers::Command1_Click() {
  auto& ui = ui_;
  ui.SetValue(control::frmDisplay1_VScroll1, 0);
  ui.SetText(control::frmDisplay1_BufferDisplay, "");
  AppendPage(control::frmDisplay1_BufferDisplay, CodeBuffer,
             ui.Value(control::frmDisplay1_VScroll1), kCodePageSize, 16,
             static_cast<std::int32_t>(CodeBuffer.size()));
  ui.SetVisible(control::frmDisplay1, true);
}

}  // namespace zambrix
