// Which controls a selected device enables, and the programming-voltage options.
#include <initializer_list>

#include "base/control_names.h"
#include "base/report.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

namespace {

void Enable(WindowModel& ui, std::initializer_list<const char*> names, bool on) {
  for (auto* n : names) ui.SetEnabled(n, on);
}

void Show(WindowModel& ui, std::initializer_list<const char*> names, bool on) {
  for (auto* n : names) ui.SetVisible(n, on);
}

std::string VoltageButton(int index) { return Indexed(control::Voltage_button, index); }
std::string ToolButton(int index) { return "tbToolBar.Buttons(" + std::to_string(index) + ")"; }

}  // namespace

void DeviceSelection::ResetDeviceControls() {
  auto& ui = ui_;
  for (int i = 0; i < 4; ++i) ui.SetEnabled(VoltageButton(i), false);
  for (int i = 0; i < 4; ++i) ui.SetValue(VoltageButton(i), 0);
  // The toolbar's Save Code follows File / Save Code: a loaded buffer stays savable.
  ui.SetEnabled(ToolButton(2), ui.Enabled(control::mnuFileSaveCode));
  for (int i = 3; i <= 5; ++i) ui.SetVisible(ToolButton(i), false);
  ui.SetEnabled(ToolButton(4), false);
  ui.SetEnabled(ToolButton(5), false);
  ui.SetEnabled(control::mnuFileOpenData, false);
  ui.SetEnabled(control::Show_button, false);
  ui.SetCaption(control::Show_button, "Show Data");
  Enable(ui,
         {control::menuProgramData, control::menuReadData, control::menuDisplayData,
          control::menuVerifyData, control::menuEraseData, control::menuProgramCode,
          control::menuDisplayCode, control::menuReadCode, control::menuVerifyCode,
          control::menuEraseCode, control::menuEraseFlash, control::menuBlankCheck},
         false);
  Enable(
      ui,
      {control::EraseFlash_button, control::Verify_button, control::Program_button,
       control::Read_button, control::Display_button, control::Blank_button, control::Erase_button},
      false);
  Enable(ui, {control::CheckData, control::CheckCode}, false);
  Show(ui, {control::FileNameDataLabel, control::FileNameDataSize, control::FileNameDataText},
       false);
  ui.SetEnabled(control::menuFlashShowCodeID, false);
  ui.SetCaption(control::Frame3, "Code Buffer Hex/Ascii Display");
}

void DeviceSelection::EnableDeviceCommands() {
  auto& ui = ui_;
  Enable(ui,
         {control::Read_button, control::menuReadCode, control::Display_button,
          control::menuDisplayCode, control::Blank_button, control::menuBlankCheck},
         true);
  const ChipFamily& family = Family();
  if (!family.blank_check) Enable(ui, {control::Blank_button, control::menuBlankCheck}, false);
  if (family.chip_erase) {
    Enable(ui, {control::EraseFlash_button, control::menuFlashShowCodeID, control::menuEraseFlash},
           true);
  }
  ui.SetVisible(control::PleaseSelect, false);
  Show(ui, {control::Frame3, control::BufferDisplay}, true);
}

// Only the microcontroller has a data area beside its code.
void DeviceSelection::SetCodeAndDataAreas() {
  auto& ui = ui_;
  if (!Family().data_area) {
    ui.SetValue(control::CheckData, 0);
    ui.SetEnabled(control::CheckData, false);
    ui.SetValue(control::CheckCode, 1);
    ui.SetEnabled(control::CheckCode, false);
    buf_.DataBufferLoaded = 0;
    ui.SetEnabled(control::Show_button, true);
    ui.SetCaption(control::Show_button, "Show Code");
    return;
  }
  Enable(ui,
         {control::menuEraseFlash, control::menuEraseData, control::menuDisplayData,
          control::menuReadData},
         true);
  for (int i = 3; i <= 5; ++i) ui.SetVisible(ToolButton(i), true);
  ui.SetEnabled(ToolButton(4), true);
  ui.SetEnabled(control::Show_button, true);
  ui.SetCaption(control::Show_button, "Show Data");
  Show(ui, {control::FileNameDataLabel, control::FileNameDataSize, control::FileNameDataText},
       true);
  ui.SetEnabled(control::mnuFileOpenData, true);
  Enable(ui, {control::CheckCode, control::CheckData}, true);
}

// Options up to the chip's highest are enabled; 12.5 V is suggested whenever the
// chip takes a programming voltage at all, 5 V otherwise. Selecting runs the
// option's click at once.
void DeviceSelection::SelectVoltageOptions() {
  auto& ui = ui_;
  if (VoltageIndex <= 0) {
    ui.SetEnabled(VoltageButton(0), true);
    ui.SetValue(VoltageButton(0), 1);
    return;
  }
  for (int i = 1; i <= VoltageIndex && i <= 3; ++i) ui.SetEnabled(VoltageButton(i), true);
  ui.SetValue(VoltageButton(1), 1);
}

void DeviceSelection::EnableBufferCommands() {
  auto& ui = ui_;
  if (buf_.CodeBufferLoaded == 1) {
    Enable(ui,
           {control::Erase_button, control::menuEraseCode, control::Program_button,
            control::menuProgramCode, control::Verify_button, control::menuVerifyCode},
           true);
  }
  if (buf_.DataBufferLoaded == 1) {
    ui.SetValue(control::CheckData, 1);
    Enable(ui,
           {control::Erase_button, control::menuEraseData, control::Program_button,
            control::menuProgramData, control::Verify_button, control::menuVerifyData},
           true);
  }
}

void DeviceSelection::Voltage_button_Click(int index) {
  auto& report = report_;
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
