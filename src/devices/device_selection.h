// The chip catalogue and device selection.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/chip_families.h"
#include "devices/device_match.h"

namespace zambrix {

class Buffers;
class Link;
class Operations;
class Report;
class WindowModel;

class DeviceSelection {
 public:
  DeviceSelection(WindowModel& ui, Report& report, Link& link, Buffers& buf, Operations& ops)
      : ui_(ui), report_(report), link_(link), buf_(buf), ops_(ops) {}

  // Start-up: writes rows 0..38 of the catalogue.
  void FillDeviceTable();
  // Start-up: rebuilds the Device list from the table ("N/A - " for refused rows).
  void FillDeviceList();
  // Whether the list offers the table's row (the extended catalogue offers more).
  bool RowOffered(std::size_t row) const;
  // The Device list entry `query` names: a whole entry name or a part number,
  // in any case, among the offered rows.
  DeviceMatch Match(const std::string& query) const;
  // Tools menu: the extended catalogue on or off; the list is filled again.
  void mnuToolsCatalogue_Click();
  // Sets the choice (from the settings or the command line) and the menu caption.
  void SetExtendedCatalogue(bool on);
  // The operator chose an entry of the Device list (or code set its position).
  void Device_Click();
  // Every device-dependent control back to the no-device state.
  void ResetDeviceControls();
  // The operator chose a programming voltage option.
  void Voltage_button_Click(int index);

  // 81 rows of 8 text columns.
  std::vector<std::array<std::string, 8>> DeviceTable = std::vector<std::array<std::string, 8>>(81);

  // Selected-device state.
  std::string SelectedDeviceName;
  std::string DeviceClass;
  std::string DeviceSizeCode;
  std::string DeviceKey;
  // What the program does with the chosen chip (nothing before a choice).
  const ChipFamily& Family() const { return FamilyOf(DeviceKey); }
  std::int32_t DeviceKilobytes = 0;
  std::int32_t DeviceSize = 0;
  int VoltageIndex = 0;
  int ProgramVoltage = 0;
  // The chip's rating for its programming-voltage pin (0: none known).
  int VppRating = 0;
  // Empty, or the line that says the chosen programming voltage is above the
  // chip's rating, with both figures.
  std::string VoltageWarning() const;

  // Text of the Device list while no entry is chosen.
  static constexpr std::string_view kDevicePrompt = "Please Select Device on this List";
  // Prefix of the entries that are listed but refused.
  static constexpr std::string_view kRefusedPrefix = "N/A - ";
  // The extended catalogue: the flash rows shown to work on the board are offered.
  bool ExtendedCatalogue = false;

 private:
  // Steps of Device_Click.
  void ReadDeviceRow(int row);
  void BuildAddressMaps();
  void SetDelayFactors();
  void SetBoardLines();
  void SetSizes();
  void EnableDeviceCommands();
  void SetCodeAndDataAreas();
  void SelectVoltageOptions();
  void EnableBufferCommands();
  void ReportSelection();

  WindowModel& ui_;
  Report& report_;
  Link& link_;
  Buffers& buf_;
  Operations& ops_;
};

}  // namespace zambrix
