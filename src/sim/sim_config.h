// Settings of the simulated board and their command-line form (--sim-NAME VALUE).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/chip_specs.h"

namespace zambrix::sim {

// Faults to inject; all reproducible from the seed.
struct SimFaults {
  bool no_board = false;                         // the port is there, the board is not
  bool empty_socket = false;                     // no chip, whatever --sim-chip says
  std::uint8_t stuck_low = 0, stuck_high = 0;    // data lines stuck at 0 / at 1
  std::optional<std::uint32_t> dead_byte;        // a byte that never takes a written value
  bool dead_byte_random = false;                 // ... chosen from the seed
  std::optional<std::uint32_t> unerasable_byte;  // a byte that keeps its value through an erase
  std::uint64_t slow_write_ns = 0;               // write cycles of EEPROM and flash last this long
  std::uint32_t weak_cells = 1;    // an EPROM's bytes need this many times their pulse time
  std::uint64_t vanish_after = 0;  // the board disappears after this many accesses
};

struct SimConfig {
  int model = 6;
  std::uint16_t base = 0x378;
  const ChipSpec* chip = FindChipSpec("27C256");  // null: empty socket
  bool demo_image = true;                         // the default chip holds the demonstration image
  bool protect = false;   // EEPROM and page flash start with software data protection on
  std::string chip_file;  // contents loaded from and written back to this file
  std::vector<std::uint8_t> contents;  // the chip's contents at start (shorter: the rest erased)
  std::uint64_t access_ns = 1000;      // virtual time one port access takes
  std::uint64_t seed = 1;
  double vpp_jumper = 12.5;
  SimFaults faults;
  std::string vcd_path;
  bool report = false;  // what the board judged is printed when the program ends
};

struct SimOptionError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Builds the settings from the options by name (without "--sim-"); throws
// SimOptionError naming the bad option and what is allowed.
SimConfig ParseSimOptions(const std::map<std::string, std::string>& options);
// Help text of the options.
std::string SimOptionsHelp();

}  // namespace zambrix::sim
