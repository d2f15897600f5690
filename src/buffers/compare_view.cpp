// The chip against the buffer after a verify that did not match: the chip's
// pages with every difference marked, the next and previous difference, and
// the list of all of them, which can be saved as text.
#include <algorithm>

#include "app/core.h"
#include "base/text.h"

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
    core_.report.LogMessage("The second read found no difference: the Device reads unreliably");
    return;
  }
  core_.report.LogMessage(std::to_string(n) + (n == 1 ? " byte differs" : " bytes differ") +
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
  core_.ui.SetVisible("frmDifferences", false);
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
  if (core_.ui.Value("VScroll1") != page) {
    core_.ui.SetValue("VScroll1", page);
  } else {
    DisplayDifferences();
  }
}

// The frame names the difference in hand.
void Buffers::DisplayDifferences() {
  auto& ui = core_.ui;
  std::string caption = "Device against Buffer Hex/Ascii Display";
  if (CurrentDifference < Differences.size()) {
    caption += " - difference " + std::to_string(CurrentDifference + 1) + " of " +
               std::to_string(Differences.size()) + ": " +
               DifferenceLine(Differences[CurrentDifference]);
  }
  ui.SetCaption("Frame3", caption);
  ui.SetText("BufferDisplay", "");
  AppendPage("BufferDisplay", ComparedChip, ui.Value("VScroll1"), kCodePageSize, ViewRows,
             ComparedEnd, CharRule::Chip);
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
  core_.ui.SetCaption("frmDifferences.lblSummary",
                      std::to_string(n) + (n == 1 ? " byte differs" : " bytes differ") +
                          " between the Device and the Buffer");
  core_.ui.SetVisible("frmDifferences", true);
}

void Buffers::frmDifferences_cmdSave_Click() {
  auto name = AskSaveName("Save Differences As...", "differences.txt", kTextFilter);
  if (!name) return;
  std::string text = "Device " + core_.dev.SelectedDeviceName + " against Buffer " +
                     core_.ui.Caption("FileNameCodeText") + ": " +
                     std::to_string(Differences.size()) + " bytes differ\r\n";
  for (const auto& d : Differences) text += DifferenceLine(d) + "\r\n";
  if (const std::string error = WriteFileSafely(*name, text); !error.empty()) {
    core_.report.LogMessage("Differences could NOT be Saved to " + *name + " - " + error);
    return;
  }
  RememberFile(*name, false);
  core_.report.LogMessage("Differences were Saved to " + *name);
}

void Buffers::frmDifferences_cmdClose_Click() { core_.ui.SetVisible("frmDifferences", false); }

}  // namespace zambrix
