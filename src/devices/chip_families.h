// What the program does with each kind of chip, keyed by its DeviceKey (the
// class letter and size code of its catalogue row): the routine that writes
// it, how its address reaches the latches, the strobe delays, the bus it is
// read over and the commands it enables. Rows that share a key share all of it.
#pragma once

#include <span>
#include <string_view>

namespace zambrix {

// The routine that programs the chip.
enum class Algorithm {
  kNone,            // listed only: nothing programs it
  kEprom2732,       // one 50 ms pulse per byte
  kEprom2764_128,   // 1 ms pulses, then 3x overprogram
  kEprom27256_040,  // 100 us quick pulses
  kEprom27010_020,  // 100 us quick pulses, A16/A17 on latch 3
  kEprom27080,      // 50 us pulses, VPP on OE
  kX28C256Pages,    // 64-byte page writes, protection off first
  kAT29C256Pages,   // 64-byte page writes with the flash commands
  kFlashBytes,      // one program command per byte
  kSerialPages16,   // 24C08/24C16: 16-byte pages, one address byte
  kSerialPages32,   // 24C32: 32-byte pages, two address bytes
  kMicro,           // a microcontroller with code and data areas: no routines yet
};

// How a byte's address reaches the socket.
enum class AddressRule {
  kNone,      // the two-wire chips address themselves; the micro has no routine
  kEprom,     // the EPROM socket's latches
  kXicor,     // the X28C256 socket: A14 on latch-1 bit 7
  kFlash,     // the flash socket
  kFlashA18,  // the flash socket with A18 on latch-3 bit 3
};

enum class Bus { kNone, kParallel, kTwoWire };

struct DelayFactors {
  int short_delay;
  int medium_delay;
  int long_delay;
};

struct ChipFamily {
  std::string_view key;  // DeviceKey
  Algorithm algorithm;
  AddressRule address;
  Bus bus;
  DelayFactors delays;
  bool blank_check;  // Blank Chk reads it for FFh
  bool chip_erase;   // Erase Chip and the identification menu
  bool chip_view;    // Display reads its pages straight from the board
  bool data_area;    // a data buffer beside the code buffer
  bool identify_on_selection;

  // The chips of the flash socket, which take the identification commands.
  bool Flash() const { return address == AddressRule::kFlash || address == AddressRule::kFlashA18; }
};

// Every family in key order of the catalogue.
std::span<const ChipFamily> ChipFamilies();
// The family of a DeviceKey; the row of no family (nothing enabled) for a key
// that has none, and for no device chosen.
const ChipFamily& FamilyOf(std::string_view key);

}  // namespace zambrix
