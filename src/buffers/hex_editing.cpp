// Editing the code buffer in its hex view: overwriting in the hex and the
// character columns, undo and redo, going to an address, filling a range, and
// the buffer's check figures on request.
#include <algorithm>
#include <charconv>

#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

namespace {

constexpr std::string_view kChangedMark = " (changed)";
constexpr std::string_view kNoFileYet = "Click To Select a File";

// "7FF", "7ffh", "0x7FF" or "$7FF"; nullopt for anything else.
std::optional<std::int64_t> ParseHex(std::string_view s) {
  std::string t = Trim(s);
  std::string_view v = t;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) v.remove_prefix(2);
  if (!v.empty() && v.front() == '$') v.remove_prefix(1);
  if (!v.empty() && (v.back() == 'h' || v.back() == 'H')) v.remove_suffix(1);
  if (v.empty() || v.size() > 8) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), value, 16);
  if (error != std::errc() || end != v.data() + v.size()) return std::nullopt;
  return value;
}

struct FillRequest {
  std::int64_t first = 0, last = 0, value = 0;
};

// "FIRST-LAST=BYTE" in hexadecimal.
std::optional<FillRequest> ParseFill(std::string_view s) {
  const auto equals = s.find('=');
  const auto dash = s.find('-');
  if (equals == std::string_view::npos || dash == std::string_view::npos || dash > equals)
    return std::nullopt;
  const auto first = ParseHex(s.substr(0, dash));
  const auto last = ParseHex(s.substr(dash + 1, equals - dash - 1));
  const auto value = ParseHex(s.substr(equals + 1));
  if (!first || !last || !value || *value > 0xFF) return std::nullopt;
  return FillRequest{*first, *last, *value};
}

}  // namespace

bool Buffers::CodeViewEditable() const { return Shown().kind == ShownKind::Code && CodeSize > 0; }

bool Buffers::MayLoseEdits() {
  if (!CodeEdits.AnyChanged()) return true;
  return svc_.dialogs->MessageBox(
             "The Code Buffer holds changes that were not saved.\nClose and lose them?",
             MsgButtons::YesNo, MsgIcon::Warning, "Unsaved Changes") == MsgAnswer::Yes;
}

// An address already in view keeps the view where it is.
void Buffers::ShowAddress(std::int32_t address) {
  const ShownPage shown = Shown();
  if (address >= shown.first && address < shown.first + shown.rows * kRowBytes) return;
  const std::int32_t page = address / kCodePageSize;
  if (ui_.Value(control::VScroll1) != page) ui_.SetValue(control::VScroll1, page);
}

void Buffers::KeepCursorOnPage() {
  const ShownPage shown = Shown();
  const std::int32_t first = shown.first;
  if (Cursor.address < first || Cursor.address >= first + shown.rows * kRowBytes) {
    Cursor.address = first + Cursor.address % kCodePageSize;
    Cursor.low_nibble = false;
  }
  Cursor.address = std::clamp(Cursor.address, 0, std::max(0, CodeSize - 1));
}

void Buffers::EditCursorTo(std::int32_t address, bool ascii) {
  if (!CodeViewEditable()) return;
  Cursor = {std::clamp(address, 0, CodeSize - 1), ascii, false};
  ShowAddress(Cursor.address);
}

void Buffers::MoveEditCursor(std::int32_t delta) {
  if (!CodeViewEditable()) return;
  KeepCursorOnPage();
  const std::int64_t to = std::int64_t{Cursor.address} + delta;
  Cursor.address = static_cast<std::int32_t>(std::clamp<std::int64_t>(to, 0, CodeSize - 1));
  Cursor.low_nibble = false;
  ShowAddress(Cursor.address);
}

void Buffers::SwitchEditColumn() {
  if (CodeViewEditable()) KeepCursorOnPage();
  Cursor.ascii = !Cursor.ascii;
  Cursor.low_nibble = false;
}

void Buffers::TypeHexDigit(int digit) {
  if (!CodeViewEditable() || Cursor.ascii || digit < 0 || digit > 15) return;
  KeepCursorOnPage();
  const std::uint8_t old = CodeBuffer[static_cast<std::size_t>(Cursor.address)];
  const bool low = Cursor.low_nibble;
  const auto d = static_cast<std::uint8_t>(digit);
  EditByte(low ? static_cast<std::uint8_t>((old & 0xF0) | d)
               : static_cast<std::uint8_t>((d << 4) | (old & 0x0F)),
           low);
  if (!low) {
    Cursor.low_nibble = true;
    return;
  }
  MoveEditCursor(1);
}

void Buffers::TypeCharacter(std::uint8_t ch) {
  if (!CodeViewEditable() || !Cursor.ascii) return;
  KeepCursorOnPage();
  EditByte(ch, false);
  MoveEditCursor(1);
}

void Buffers::EditByte(std::uint8_t value, bool merge) {
  CodeEdits.Set(Cursor.address, value, merge);
  EnableAfterEdit();
  MarkCodeChanges();
  UpdateEditCommands();
  DisplayPageMemory();
}

// A buffer changed by hand can be saved and programmed like a loaded one;
// while the error alert holds the chip commands they stay as the alert keeps them.
void Buffers::EnableAfterEdit() {
  auto& ui = ui_;
  CodeBufferLoaded = 1;
  for (auto* c : {"tbToolBar.Buttons(2)", control::mnuFileSaveCode, control::mnuFileSaveCodeAs,
                  control::menuEraseCode, control::Erase_button}) {
    ui.SetEnabled(c, true);
  }
  if (dev_.DeviceKey.empty() || report_.AlertOn()) return;
  for (auto* c : {control::Verify_button, control::menuVerifyCode, control::Program_button,
                  control::menuProgramCode})
    ui.SetEnabled(c, true);
}

void Buffers::MarkCodeChanges() {
  std::string caption = ui_.Caption(control::FileNameCodeText);
  if (caption.ends_with(kChangedMark)) caption.resize(caption.size() - kChangedMark.size());
  if (CodeEdits.AnyChanged()) {
    if (Trim(caption) == kNoFileYet) caption = "Code Buffer";
    caption += kChangedMark;
  }
  ui_.SetCaption(control::FileNameCodeText, caption);
}

void Buffers::UpdateEditCommands() {
  auto& ui = ui_;
  ui.SetEnabled(control::mnuEditUndo, CodeEdits.CanUndo());
  ui.SetEnabled(control::mnuEditRedo, CodeEdits.CanRedo());
  for (auto* c : {control::mnuEditNextDifference, control::mnuEditPreviousDifference,
                  control::mnuEditDifferences})
    ui.SetEnabled(c, !Differences.empty());
}

void Buffers::CodeBufferReplaced() {
  CodeEdits.Reset();
  Cursor = {};
  ClearDifferences();
  UpdateEditCommands();
}

void Buffers::AfterUndoRedo(std::optional<std::int32_t> touched) {
  if (!touched) return;
  MarkCodeChanges();
  UpdateEditCommands();
  DisplayMode = "Read";
  Cursor = {*touched, Cursor.ascii, false};
  const std::int32_t page = *touched / kCodePageSize;
  if (ui_.Value(control::VScroll1) != page) {
    ui_.SetValue(control::VScroll1, page);
  } else {
    DisplayPageMemory();
  }
}

void Buffers::mnuEditUndo_Click() { AfterUndoRedo(CodeEdits.Undo()); }
void Buffers::mnuEditRedo_Click() { AfterUndoRedo(CodeEdits.Redo()); }

namespace {
bool SaidEmpty(Dialogs& dialogs, std::int32_t size, std::string_view title) {
  if (size > 0) return false;
  dialogs.MessageBox("The Code Buffer is empty: choose a device or open a file first.",
                     MsgButtons::Ok, MsgIcon::Information, title);
  return true;
}
}  // namespace

void Buffers::mnuEditGoTo_Click() {
  constexpr std::string_view kTitle = "Go to Address";
  if (SaidEmpty(*svc_.dialogs, CodeSize, kTitle)) return;
  const std::string range = "0 to " + HexText(CodeSize - 1);
  auto text = svc_.dialogs->InputBox("Address to go to (hexadecimal, " + range + "):", kTitle,
                                     HexText(Cursor.address));
  if (!text) return;
  const auto address = ParseHex(*text);
  if (!address || *address >= CodeSize) {
    svc_.dialogs->MessageBox(
        "\"" + Trim(*text) + "\" is not an address of the Code Buffer (" + range + ").",
        MsgButtons::Ok, MsgIcon::Warning, kTitle);
    return;
  }
  // The chip's own pages are not edited: going to an address shows the buffer.
  if (DisplayMode != "Differences") DisplayMode = "Read";
  Cursor = {static_cast<std::int32_t>(*address), Cursor.ascii, false};
  const std::int32_t page = Cursor.address / kCodePageSize;
  if (ui_.Value(control::VScroll1) != page) {
    ui_.SetValue(control::VScroll1, page);
  } else {
    VScroll1_Change();
  }
}

void Buffers::mnuEditFill_Click() {
  constexpr std::string_view kTitle = "Fill Range";
  if (SaidEmpty(*svc_.dialogs, CodeSize, kTitle)) return;
  const std::string last = HexText(CodeSize - 1);
  auto text = svc_.dialogs->InputBox(
      "Fill a range of the Code Buffer with one byte.\n"
      "First address, last address and byte in hexadecimal (FIRST-LAST=BYTE):",
      kTitle, "0-" + last + "=FF");
  if (!text) return;
  const auto fill = ParseFill(*text);
  if (!fill || fill->first > fill->last || fill->last >= CodeSize) {
    svc_.dialogs->MessageBox("\"" + Trim(*text) +
                                 "\" is not a range of the Code Buffer: write FIRST-LAST=BYTE "
                                 "in hexadecimal, from 0 to " +
                                 last + ", e.g. 0-" + last + "=FF.",
                             MsgButtons::Ok, MsgIcon::Warning, kTitle);
    return;
  }
  const auto first = static_cast<std::int32_t>(fill->first);
  CodeEdits.Fill(first, static_cast<std::int32_t>(fill->last),
                 static_cast<std::uint8_t>(fill->value));
  EnableAfterEdit();
  report_.LogMessage("Buffer Filled with " + HexText(fill->value) + " from " +
                     HexText(fill->first) + " to " + HexText(fill->last));
  AfterUndoRedo(first);
}

Digests Buffers::LogDigests(std::string_view who, std::span<const std::uint8_t> bytes) {
  Digests d = Digests::Of(bytes);
  report_.LogMessage(std::string(who) + " CRC-32 = " + d.crc32);
  report_.LogMessage(std::string(who) + " SHA-1 = " + d.sha1);
  return d;
}

void Buffers::mnuEditChecksum_Click() {
  if (SaidEmpty(*svc_.dialogs, CodeSize, "Buffer Checksum")) return;
  const std::span<const std::uint8_t> bytes(CodeBuffer.data(), static_cast<std::size_t>(CodeSize));
  std::int32_t sum = 0;
  for (std::uint8_t b : bytes) sum = (sum + b) & 0xFFFF;
  report_.LogMessage("Buffer CHKSUMM = $" + Hex4(sum) + " (" + std::to_string(CodeSize) +
                     " bytes)");
  LogDigests("Buffer", bytes);
}

}  // namespace zambrix
