// The chip against the buffer after a verify that did not match: the chip's
// pages with every difference marked, the next and previous difference, and
// the list of all of them, which can be saved as text.
#include <algorithm>

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
constexpr std::string_view kTextFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
}

std::string Buffers::DifferenceLine(const ByteDifference& d) {
  return "Address: " + HexText(d.address) + " ][ Buffer Data: " + HexText(d.buffer) +
         " ][ Device Data: " + HexText(d.device);
}

void Buffers::ShowDifferences(std::vector<ByteDifference> found, std::vector<std::uint8_t> chip) {
  Differences = std::move(found);
  ComparedEnd = static_cast<std::int32_t>(chip.size());
  // Whole pages, so that the last partial page can be shown.
  chip.resize((chip.size() + kCodePageSize - 1) / kCodePageSize * kCodePageSize, 0xFF);
  ComparedChip = std::move(chip);
  UpdateEditCommands();
  const std::size_t n = Differences.size();
  if (n == 0) {
    report_.LogMessage("The second read found no difference: the Device reads unreliably");
    return;
  }
  report_.LogMessage(std::to_string(n) + (n == 1 ? " byte differs" : " bytes differ") +
                     " from Buffer Contents: F3 and Shift+F3 show them, Edit - Differences "
                     "lists them");
  GoToDifference(0);
}

void Buffers::ClearDifferences() {
  Differences.clear();
  ComparedChip.clear();
  ComparedEnd = 0;
  CurrentDifference = 0;
  if (DisplayMode == "Differences") DisplayMode = "Read";
  ui_.SetVisible(control::frmDifferences, false);
  UpdateEditCommands();
}

const Buffers::ByteDifference* Buffers::DifferenceAt(std::int32_t address) const {
  auto it = std::lower_bound(Differences.begin(), Differences.end(), address,
                             [](const ByteDifference& d, std::int32_t a) { return d.address < a; });
  return it != Differences.end() && it->address == address ? &*it : nullptr;
}

void Buffers::GoToDifference(std::size_t index) {
  CurrentDifference = index;
  DisplayMode = "Differences";
  Cursor.address = Differences[index].address;
  Cursor.low_nibble = false;
  const std::int32_t page = Cursor.address / kCodePageSize;
  if (ui_.Value(control::VScroll1) != page) {
    ui_.SetValue(control::VScroll1, page);
  } else {
    DisplayDifferences();
  }
}

// The frame names the difference in hand.
void Buffers::DisplayDifferences() {
  auto& ui = ui_;
  std::string caption = "Device against Buffer Hex/Ascii Display";
  if (CurrentDifference < Differences.size()) {
    caption += " - difference " + std::to_string(CurrentDifference + 1) + " of " +
               std::to_string(Differences.size()) + ": " +
               DifferenceLine(Differences[CurrentDifference]);
  }
  ui.SetCaption(control::Frame3, caption);
  ui.SetText(control::BufferDisplay, "");
  AppendPage(control::BufferDisplay, ComparedChip, ui.Value(control::VScroll1), kCodePageSize,
             ViewRows, ComparedEnd, CharRule::Chip);
}

void Buffers::mnuEditNextDifference_Click() {
  if (Differences.empty()) return;
  const std::size_t n = Differences.size();
  GoToDifference(DisplayMode == "Differences" ? (CurrentDifference + 1) % n : CurrentDifference);
}

void Buffers::mnuEditPreviousDifference_Click() {
  if (Differences.empty()) return;
  const std::size_t n = Differences.size();
  GoToDifference(DisplayMode == "Differences" ? (CurrentDifference + n - 1) % n
                                              : CurrentDifference);
}

void Buffers::mnuEditDifferences_Click() {
  if (Differences.empty()) return;
  const std::size_t n = Differences.size();
  ui_.SetCaption(control::frmDifferences_lblSummary,
                 std::to_string(n) + (n == 1 ? " byte differs" : " bytes differ") +
                     " between the Device and the Buffer");
  ui_.SetVisible(control::frmDifferences, true);
}

void Buffers::frmDifferences_cmdSave_Click() {
  auto name = AskSaveName("Save Differences As...", "differences.txt", kTextFilter);
  if (!name) return;
  std::string text = "Device " + dev_.SelectedDeviceName + " against Buffer " +
                     ui_.Caption(control::FileNameCodeText) + ": " +
                     std::to_string(Differences.size()) + " bytes differ\r\n";
  for (const auto& d : Differences) text += DifferenceLine(d) + "\r\n";
  if (const std::string error = WriteFileSafely(*name, text); !error.empty()) {
    report_.LogMessage("Differences could NOT be Saved to " + *name + " - " + error);
    return;
  }
  RememberFile(*name, false);
  report_.LogMessage("Differences were Saved to " + *name);
}

void Buffers::frmDifferences_cmdClose_Click() { ui_.SetVisible(control::frmDifferences, false); }

}  // namespace zambrix
