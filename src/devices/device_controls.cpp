// Which controls a selected device enables, and the programming-voltage options.
#include <initializer_list>

#include "app/core.h"
#include "devices/device_selection.h"

namespace zambrix {

namespace {

void Enable(WindowModel& ui, std::initializer_list<const char*> names, bool on) {
  for (auto* n : names) ui.SetEnabled(n, on);
}

void Show(WindowModel& ui, std::initializer_list<const char*> names, bool on) {
  for (auto* n : names) ui.SetVisible(n, on);
}

std::string VoltageButton(int index) { return Indexed("Voltage_button", index); }
std::string ToolButton(int index) { return "tbToolBar.Buttons(" + std::to_string(index) + ")"; }

}  // namespace

void DeviceSelection::ResetDeviceControls() {
  auto& ui = core_.ui;
  for (int i = 0; i < 4; ++i) ui.SetEnabled(VoltageButton(i), false);
  for (int i = 0; i < 4; ++i) ui.SetValue(VoltageButton(i), 0);
  // The toolbar's Save Code follows File / Save Code: a loaded buffer stays savable.
  ui.SetEnabled(ToolButton(2), ui.Enabled("mnuFileSaveCode"));
  for (int i = 3; i <= 5; ++i) ui.SetVisible(ToolButton(i), false);
  ui.SetEnabled(ToolButton(4), false);
  ui.SetEnabled(ToolButton(5), false);
  ui.SetEnabled("mnuFileOpenData", false);
  ui.SetEnabled("Show_button", false);
  ui.SetCaption("Show_button", "Show Data");
  Enable(ui,
         {"menuProgramData", "menuReadData", "menuDisplayData", "menuVerifyData", "menuEraseData",
          "menuProgramCode", "menuDisplayCode", "menuReadCode", "menuVerifyCode", "menuEraseCode",
          "menuEraseFlash", "menuBlankCheck"},
         false);
  Enable(ui,
         {"EraseFlash_button", "Verify_button", "Program_button", "Read_button", "Display_button",
          "Blank_button", "Erase_button"},
         false);
  Enable(ui, {"CheckData", "CheckCode"}, false);
  Show(ui, {"FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}, false);
  ui.SetEnabled("menuFlashShowCodeID", false);
  ui.SetCaption("Frame3", "Code Buffer Hex/Ascii Display");
}

void DeviceSelection::EnableDeviceCommands() {
  auto& ui = core_.ui;
  Enable(ui,
         {"Read_button", "menuReadCode", "Display_button", "menuDisplayCode", "Blank_button",
          "menuBlankCheck"},
         true);
  const ChipFamily& family = Family();
  if (!family.blank_check) Enable(ui, {"Blank_button", "menuBlankCheck"}, false);
  if (family.chip_erase) {
    Enable(ui, {"EraseFlash_button", "menuFlashShowCodeID", "menuEraseFlash"}, true);
  }
  ui.SetVisible("PleaseSelect", false);
  Show(ui, {"Frame3", "BufferDisplay"}, true);
}

// Only the microcontroller has a data area beside its code.
void DeviceSelection::SetCodeAndDataAreas() {
  auto& ui = core_.ui;
  if (!Family().data_area) {
    ui.SetValue("CheckData", 0);
    ui.SetEnabled("CheckData", false);
    ui.SetValue("CheckCode", 1);
    ui.SetEnabled("CheckCode", false);
    core_.buf.DataBufferLoaded = 0;
    ui.SetEnabled("Show_button", true);
    ui.SetCaption("Show_button", "Show Code");
    return;
  }
  Enable(ui, {"menuEraseFlash", "menuEraseData", "menuDisplayData", "menuReadData"}, true);
  for (int i = 3; i <= 5; ++i) ui.SetVisible(ToolButton(i), true);
  ui.SetEnabled(ToolButton(4), true);
  ui.SetEnabled("Show_button", true);
  ui.SetCaption("Show_button", "Show Data");
  Show(ui, {"FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}, true);
  ui.SetEnabled("mnuFileOpenData", true);
  Enable(ui, {"CheckCode", "CheckData"}, true);
}

// Options up to the chip's highest are enabled; 12.5 V is suggested whenever the
// chip takes a programming voltage at all, 5 V otherwise. Selecting runs the
// option's click at once.
void DeviceSelection::SelectVoltageOptions() {
  auto& ui = core_.ui;
  if (VoltageIndex <= 0) {
    ui.SetEnabled(VoltageButton(0), true);
    ui.SetValue(VoltageButton(0), 1);
    return;
  }
  for (int i = 1; i <= VoltageIndex && i <= 3; ++i) ui.SetEnabled(VoltageButton(i), true);
  ui.SetValue(VoltageButton(1), 1);
}

void DeviceSelection::EnableBufferCommands() {
  auto& ui = core_.ui;
  if (core_.buf.CodeBufferLoaded == 1) {
    Enable(ui,
           {"Erase_button", "menuEraseCode", "Program_button", "menuProgramCode", "Verify_button",
            "menuVerifyCode"},
           true);
  }
  if (core_.buf.DataBufferLoaded == 1) {
    ui.SetValue("CheckData", 1);
    Enable(ui,
           {"Erase_button", "menuEraseData", "Program_button", "menuProgramData", "Verify_button",
            "menuVerifyData"},
           true);
  }
}

void DeviceSelection::Voltage_button_Click(int index) {
  auto& report = core_.report;
  switch (index) {
    case 1:
      ProgramVoltage = 12;
      report.LogMessage("Most Common Programming Voltage Selected: 12.5 Volts!!!");
      break;
    case 2:
      ProgramVoltage = 21;
      report.LogMessage("BE CAREFULL!!! You just Selected Programming Voltage as 21 Volts!!!");
      break;
    case 3:
      ProgramVoltage = 25;
      report.LogMessage("BE CAREFULL!!! You just Selected Programming Voltage as 25 Volts!!!");
      break;
    default:  // 5 V: nothing to record
      break;
  }
  if (index >= 2) {
    if (const std::string warning = VoltageWarning(); !warning.empty()) report.LogMessage(warning);
  }
}

std::string DeviceSelection::VoltageWarning() const {
  if (VppRating <= 0 || ProgramVoltage <= VppRating) return {};
  return std::to_string(ProgramVoltage) + " Volts is above the " + std::to_string(VppRating) +
         " Volts the " + SelectedDeviceName + " is rated for: it can destroy the chip";
}

}  // namespace zambrix
