// What tells the three board models apart: one row per model.
#pragma once

#include <array>

namespace zambrix {

// How a byte comes back over the status register.
enum class NibbleDecoding {
  kStatusDecode4,  // status bits 4..7 of two reads, through StatusDecode4
  kStatusNibbles,  // status bits 3..6 of two reads, through StatusLowNibble/HighNibble
};

struct BoardProfile {
  int model = 0;
  // How the board decodes the control register: 0 as the model 4 does, 1 as
  // the models 5 and 6 do (the low four bits inverted). Each wiring has its own
  // probe pattern.
  int wiring = 0;
  // Control-register values per latch, and the two nibble selects of a read.
  std::array<int, 5> select{};
  std::array<int, 5> strobe{};
  int nibble_low = 0;
  int nibble_high = 0;
  NibbleDecoding decoding = NibbleDecoding::kStatusDecode4;
  // Latch 0 through an EPROM run: output enable inactive, the programming
  // supply switched on. Where the board switches the 21 V and 25 V levels
  // itself (the 2732 to 27128 family), their codes; 0 when a jumper on the
  // board sets the level and the program cannot.
  int reg0_program = 0;
  int reg0_vpp21 = 0;
  int reg0_vpp25 = 0;
  bool VppByJumper() const { return reg0_vpp21 == 0; }
  // The identification driver: the latch-3 bit that turns it on and the data
  // bit it then pulls low (0 when the board has none).
  int id_enable = 0;
  int id_data = 0;
  // The board's activity output blinks once when the board is found.
  bool blinks_when_found = false;
};

// The row of a board model; nullptr for 0 (no board) and any other number.
const BoardProfile* BoardProfileOf(int model);

}  // namespace zambrix
