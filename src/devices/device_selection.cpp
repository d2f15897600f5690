#include "devices/device_selection.h"

#include <charconv>
#include <stdexcept>

#include "base/control_names.h"
#include "base/report.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_catalogue.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

namespace {

enum Column {
  kName = 0,
  kClass,
  kSizeCode,
  kKilobytes,
  kReg1Fixed,
  kReg3Fixed,
  kVoltage,
  kOffered
};

std::string Padded(std::string_view name) {
  std::string s(name);
  if (s.size() < kDeviceNameWidth) s.append(kDeviceNameWidth - s.size(), ' ');
  return s;
}

int DecimalCell(const std::string& text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    throw std::invalid_argument("device table cell \"" + text + "\" is not a number");
  }
  return value;
}

}  // namespace

void DeviceSelection::FillDeviceTable() {
  int row = 0;
  for (const auto& r : DeviceCatalogue()) {
    auto& cells = DeviceTable.at(static_cast<std::size_t>(row++));
    cells[kName] = Padded(r.name);
    cells[kClass] = std::string(1, r.device_class);
    cells[kSizeCode] = std::string(1, r.size_code);
    cells[kKilobytes] = std::to_string(r.kilobytes);
    cells[kReg1Fixed] = std::to_string(r.reg1_fixed);
    cells[kReg3Fixed] = std::to_string(r.reg3_fixed);
    cells[kVoltage] = std::to_string(r.voltage_index);
    cells[kOffered] = std::string(1, r.offered ? 'Y' : 'N');
  }
}

void DeviceSelection::FillDeviceList() {
  std::size_t last = 0;
  for (std::size_t row = 1; row < DeviceTable.size(); ++row) {
    if (!DeviceTable[row][kName].empty()) last = row;
  }
  std::vector<std::string> items;
  const auto catalogue = DeviceCatalogue();
  for (std::size_t row = 0; row <= last; ++row) {
    const auto& cells = DeviceTable[row];
    if (RowOffered(row)) {
      items.push_back(cells[kName]);
      continue;
    }
    std::string item = std::string(kRefusedPrefix) + cells[kName];
    if (ExtendedCatalogue && row < catalogue.size()) {
      const auto reason = ExtendedCatalogueStatus(catalogue[row]).reason;
      if (!reason.empty()) item += "(" + std::string(reason) + ")";
    }
    items.push_back(std::move(item));
  }
  // Replaces any earlier entries; nothing is chosen and the list text stays.
  ui_.SetItems(control::Device, std::move(items));
}

bool DeviceSelection::RowOffered(std::size_t row) const {
  if (DeviceTable.at(row)[kOffered] == "Y") return true;
  const auto catalogue = DeviceCatalogue();
  return ExtendedCatalogue && row < catalogue.size() &&
         ExtendedCatalogueStatus(catalogue[row]).offered;
}

DeviceMatch DeviceSelection::Match(const std::string& query) const {
  std::vector<std::string> names;
  std::vector<bool> offered;
  for (std::size_t row = 0; row < DeviceTable.size(); ++row) {
    names.push_back(DeviceTable[row][0]);
    offered.push_back(RowOffered(row));
  }
  return MatchDevice(names, offered, query);
}

void DeviceSelection::SetExtendedCatalogue(bool on) {
  ExtendedCatalogue = on;
  ui_.SetCaption(control::mnuToolsCatalogue,
                 on ? "&Extended Device Catalogue: On" : "&Extended Device Catalogue: Off");
}

void DeviceSelection::mnuToolsCatalogue_Click() {
  SetExtendedCatalogue(!ExtendedCatalogue);
  FillDeviceList();
  report_.LogMessage(ExtendedCatalogue ? "Extended Device Catalogue: flash chips offered"
                                       : "Standard Device Catalogue");
}

void DeviceSelection::Device_Click() {
  auto& ui = ui_;
  auto& link = link_;
  const int row = ui.ListIndex(control::Device);
  if (row == -1) {
    ui.SetText(control::Device, std::string(kDevicePrompt));
    return;
  }
  // A refused entry snaps back to the prompt (re-entering here) and leaves the
  // device chosen before, its name included, in force.
  std::string name = Trim(ui.Text(control::Device));
  if (name.substr(0, 3) == "N/A") {
    ui.SetListIndex(control::Device, -1);
    return;
  }
  SelectedDeviceName = std::move(name);

  ReadDeviceRow(row);
  BuildAddressMaps();
  SetDelayFactors();
  SetBoardLines();
  link.ApplySpeedSetting();
  SetSizes();
  for (auto* c : {control::Frame5, control::CheckBlankPriorProgramming,
                  control::VerifyAfterProgramming, control::FrameVoltageSelection}) {
    ui.SetVisible(c, true);
  }
  // An alert ends here rather than below, so that the buttons it locked come
  // back before the choice sets them for the new device.
  report_.ErrorLightOff();
  ResetDeviceControls();
  EnableDeviceCommands();
  if (Family().identify_on_selection) ops_.FlashIdCycle();
  SetCodeAndDataAreas();
  SelectVoltageOptions();
  EnableBufferCommands();
  report_.ErrorLightOff();
  report_.DataFlowLightOff();
  ReportSelection();
  buf_.ReportFileAgainstDevice();
  report_.PlayEventSound("DONE");
}

void DeviceSelection::ReadDeviceRow(int row) {
  const auto& cells = DeviceTable.at(static_cast<std::size_t>(row));
  DeviceClass = cells[kClass];
  DeviceSizeCode = cells[kSizeCode];
  DeviceKilobytes = DecimalCell(cells[kKilobytes]);
  link_.Reg1Fixed = DecimalCell(cells[kReg1Fixed]);
  link_.Reg3Fixed = DecimalCell(cells[kReg3Fixed]);
  VoltageIndex = DecimalCell(cells[kVoltage]);
  DeviceKey = DeviceClass + DeviceSizeCode;
  const auto catalogue = DeviceCatalogue();
  VppRating = static_cast<std::size_t>(row) < catalogue.size()
                  ? VppRatingVolts(catalogue[static_cast<std::size_t>(row)])
                  : 0;
}

void DeviceSelection::BuildAddressMaps() {
  auto& link = link_;
  link.BuildIdentityMaps();
  switch (Family().address) {
    case AddressRule::kFlashA18:  // A18 moves from latch-3 bit 2 to bit 3
      for (std::size_t i = 4; i <= 7; ++i) link.AddressHighMap[i] = static_cast<int>(i) + 4;
      break;
    case AddressRule::kXicor:  // A14 on latch-1 bit 7 instead of bit 6
      for (std::size_t i = 64; i <= 127; ++i) link.AddressMidMap[i] = static_cast<int>(i) + 64;
      break;
    case AddressRule::kNone:
    case AddressRule::kEprom:
    case AddressRule::kFlash:
      break;
  }
}

void DeviceSelection::SetDelayFactors() {
  auto& link = link_;
  const DelayFactors& d = Family().delays;
  link.DelayFactorShort = d.short_delay;
  link.DelayFactorMedium = d.medium_delay;
  link.DelayFactorLong = d.long_delay;
  // The chip's own times, which the slider does not scale.
  link.Timing = ChipTimingOf(DeviceKey, SelectedDeviceName);
}

// Chip enable and output enable go idle; the serial chips keep both on.
void DeviceSelection::SetBoardLines() {
  auto& link = link_;
  link.CEOFF();
  link.OEOFF();
  if (Family().bus == Bus::kTwoWire) {
    link.CEON();
    link.OEON();
  }
}

void DeviceSelection::SetSizes() {
  DeviceSize = DeviceKilobytes * 1024;
  buf_.CodeSize = DeviceSize;
  ui_.SetMax(control::VScroll1, buf_.CodeSize / 256 - 1);
}

void DeviceSelection::ReportSelection() {
  auto& report = report_;
  report.LogMessage("Device " + SelectedDeviceName + " was Selected");
  report.LogMessage("Device Size is: " + std::to_string(buf_.CodeSize) +
                    " Bytes, Initial VPP suggested: " + (VoltageIndex == 0 ? "5V" : "12.5V"));
}

}  // namespace zambrix
