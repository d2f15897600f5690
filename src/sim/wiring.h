// How the board's latches reach the chip in the socket.
//
// The board carries one 32-pin ZIF socket and one 8-pin socket. The ZIF socket
// takes 32-pin parts as they are and 28- and 24-pin parts pushed to its lower
// end (a 28-pin part's pin 1 sits in ZIF pin 3, a 24-pin part's in ZIF pin 5).
// Each ZIF pin is driven by one latch bit (or the fixed ground, +5 V and data
// lines), so the same latch bit is A15 on one part and VPP or WE on another; the
// catalogue's fixed latch bits make up the difference (they hold VCC, PGM, WE
// and the idle VPP pin high).
//
// ZIF pin  board line                       ZIF pin  board line
//   1      latch 3 bit 3, VPP switch B        17-21  D3-D7
//   2      latch 3 bit 0                      22     latch 3 bit 7 (chip enable)
//   3      latch 1 bit 7, VPP switch A        23     latch 1 bit 2
//   4      latch 1 bit 4                      24     OE line (latch 0 bits 6, 7)
//   5-12   latch 2 bits 7..0                  25     latch 1 bit 3
//   13-15  D0-D2                              26     latch 1 bit 1
//   16     ground                             27     latch 1 bit 0
//                                             28     latch 1 bit 5
//                                             29     latch 1 bit 6
//                                             30     latch 3 bit 1
//                                             31     latch 3 bit 2
//                                             32     +5 V
//
// Latch 0: bits 6 and 7 make the OE line (both clear: low; bit 6 set: high;
// bit 7 set: the VPP rail), bit 4 closes VPP switch A (ZIF pin 3), bit 5 VPP
// switch B (ZIF pin 1), bit 3 is the activity light. The VPP rail's level: on
// models 5 and 6 bits 1..0 choose it (00 and 01: 12.5 V, 10: 21 V, 11: 25 V);
// on model 4 bit 2 switches the rail on and a jumper sets its level.
// Latch 3 bit 6 disconnects the data latch (latch 4) from the data lines; bits
// 4 and 5 reach no socket pin (on model 6, bit 5 is the board's identification
// line, see board.h).
//
// The 8-pin socket: SCL is the chip-enable line (latch 3 bit 7, set = high), SDA
// is data line D7; A0-A2, WP and GND are grounded, VCC is always on.
#pragma once

#include <cstdint>
#include <string_view>

namespace zambrix::sim {

// A board line: a latch bit, the OE line, the fixed +5 V, or nothing.
enum class Line : std::uint8_t {
  kNone = 0,
  kVcc = 1,
  kOeLine = 2,
  kLatchBase = 8,  // latch n bit b is kLatchBase + 8 * n + b
};
constexpr Line L(int latch, int bit) {
  return static_cast<Line>(static_cast<int>(Line::kLatchBase) + 8 * latch + bit);
}
constexpr bool IsLatchLine(Line l) { return l >= Line::kLatchBase; }
constexpr int LatchOf(Line l) { return (static_cast<int>(l) - 8) / 8; }
constexpr int BitOf(Line l) { return (static_cast<int>(l) - 8) % 8; }

enum class Package : std::uint8_t { kDip24, kDip28, kDip32, kSerial8 };

// What a VPP switch reaches on the inserted part.
enum class Reach : std::uint8_t {
  kNothing,  // outside the part, or a pin it does not connect
  kVppPin,   // the part's own VPP input
  kOeVpp,    // the part's OE/VPP input (VPP while programming)
  kOePin,    // a plain output-enable input
  kInput,    // an address or strobe input
};

// One pinout family: the parts that sit in the socket alike.
enum class Family : std::uint8_t {
  k2716,
  k2732,      // 2732, 2732A
  k2764,      // 2764, 27C64
  k27128,     // 27128, 27C128
  k27256,     // 27256, 27C256
  k27512,     // 27C512
  k28C256,    // X28C256, AT29C256 (JEDEC 28-pin EEPROM pinout)
  k27C010,    // 27C010 (27C1001)
  k27C020,    // 27C020 (27C2001)
  k27C040,    // 27C040 (27C4001)
  k27C080,    // 27C080 (27C801)
  k29F010,    // AM29F010
  k29F040,    // AM29F040, EN29F040, A29040
  kSerial24,  // 24C08, 24C16, 24C32
};

// Where each chip signal of a family comes from. A0..A7 always come from latch 2
// bits 0..7 and A8..A13 from latch 1 bits 0..5 (as far as the part has them);
// the upper address lines and the control lines differ.
struct SocketWiring {
  Family family;
  std::string_view parts;
  Package package;
  std::uint8_t address_bits;  // A0..A(n-1)
  Line a14, a15, a16, a17, a18, a19;
  Line ce;      // chip enable, active low (the 2716's CE/PGM; SCL on the 8-pin socket)
  Line oe;      // output enable (OE or OE/VPP), active low
  Line strobe;  // PGM or WE, active low (the 2716: none)
  Line vpp;     // logic level under a separate VPP pin (the 2716's pin 21 has no switch)
  Line vcc;     // the line that powers the part
  Reach switch_a, switch_b, oe_rail;  // what VPP switch A, B and the OE line's rail reach
  std::uint8_t switch_a_pin, switch_b_pin, oe_pin;  // those chip pin numbers (0: none)
};

const SocketWiring& WiringOf(Family family);

}  // namespace zambrix::sim
