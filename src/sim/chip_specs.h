// The chips the simulated socket can hold, with their datasheet figures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/wiring.h"

namespace zambrix::sim {

enum class ChipKind : std::uint8_t { kEprom, kPageEeprom, kJedecFlash, kSerialEeprom };

// How an EPROM is programmed (follows from its pinout family).
enum class PulseStyle : std::uint8_t {
  kCeHigh,  // 2716: CE/PGM pulsed high, VPP on pin 21
  kOeVpp,   // VPP on OE/VPP, CE pulsed low
  kPgm,     // VPP on its own pin, PGM pulsed low with CE low
  kCe,      // VPP on its own pin, CE pulsed low
};

struct ChipSpec {
  std::string_view name;
  ChipKind kind;
  Family family;
  std::uint32_t size;

  // UV EPROM.
  double vpp_volts = 0;                              // programming voltage
  double vpp_max = 0;                                // absolute maximum on the VPP or OE/VPP pin
  std::uint64_t pulse_ns = 0;                        // one nominal program pulse
  std::uint64_t pulse_min_ns = 0, pulse_max_ns = 0;  // the datasheet's window for one pulse (tPW)
  // Every other input's rating; a plain OE pin of an EEPROM or flash takes more.
  double oe_max = 7.0;

  // Parallel EEPROM and page flash.
  std::uint64_t byte_load_ns = 0;    // tBLC
  bool load_from_rise = false;       // tBLC runs from WE rising (else WE falling) to the next fall
  std::uint64_t write_cycle_ns = 0;  // tWC (and tWR of the serial parts)
  bool rewrites_sector = false;      // unloaded bytes of the sector become FFh
  bool has_product_id = false;       // software ID and chip erase commands
  std::uint64_t chip_erase_ns = 0;   // tEC of the software chip erase

  // JEDEC flash.
  enum class IdStyle : std::uint8_t { kPlain, kEon, kAmic };
  std::uint8_t maker = 0, device = 0;
  IdStyle id_style = IdStyle::kPlain;  // kEon: 7Fh at X00/X01, the codes at X100/X101
  std::uint32_t command_mask = 0;      // address bits decoded in command cycles
  std::uint32_t sector_size = 0;
  std::uint64_t program_ns = 0, sector_erase_ns = 0, program_limit_ns = 0;

  // Serial EEPROM.
  std::uint16_t page_size = 0;
  std::uint8_t address_bytes = 0;
  std::uint8_t block_bits = 0;  // device-address bits that are memory address bits

  PulseStyle Style() const;
};

// The spec of a chip by name (case-insensitive, aliases such as 27C1001 allowed);
// null when unknown.
const ChipSpec* FindChipSpec(std::string_view name);
// Names of all chips, for messages.
std::string ChipNames();

// The demonstration contents of the default chip: text and patterns that are
// easy to recognise in a hex view.
std::vector<std::uint8_t> DemoImage(std::uint32_t size);

}  // namespace zambrix::sim
