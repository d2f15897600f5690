// The chip catalogue: one row per selectable chip, in list order.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "link/chip_timing.h"

namespace zambrix {

struct CatalogueRow {
  std::string_view name;  // display name without its padding
  char device_class;  // 'P' UV EPROM, 'F' Flash, 'E' parallel EEPROM, 'S' serial EEPROM, 'M' micro
  char size_code;     // '1'..'9' for the EPROM size steps, a letter otherwise
  int kilobytes;
  int reg1_fixed;     // bits OR'd into every latch-1 address load
  int reg3_fixed;     // bits OR'd into every latch-3 address load
  int voltage_index;  // highest Voltage_button the chip allows (0 = 5 V only)
  bool offered;       // false: listed with "N/A - " and refused on selection
  // The simulated part that stands for the chip (empty: none does).
  std::string_view sim_part = {};
};

// Every display name is padded with blanks to this width in the table and the list.
inline constexpr std::size_t kDeviceNameWidth = 30;

// The rows in table order (row number = list position).
std::span<const CatalogueRow> DeviceCatalogue();

// The highest voltage the chip's datasheet allows on the pin that takes the
// programming voltage (its absolute maximum), in volts; 0 when the chip takes
// none or no figure is known.
int VppRatingVolts(const CatalogueRow& row);

// A row in the extended catalogue, which also offers the flash rows that work
// end to end through the board's socket wiring. A refused flash row says why.
struct ExtendedStatus {
  bool offered;
  std::string_view reason;  // empty for offered rows and for rows left as they are
};
ExtendedStatus ExtendedCatalogueStatus(const CatalogueRow& row);

// The datasheet timing of the chip a device key and list name select (the
// 27256 and the 27C256 share their key); all 0 where no figure applies.
ChipTiming ChipTimingOf(std::string_view key, std::string_view name);

}  // namespace zambrix
