// The chip's own time: figures of its datasheet that do not move with the
// speed slider. Device selection sets them (devices/chip_timing.cpp); the link
// and the chip operations keep them on the clock.
#pragma once

#include <cstdint>

namespace zambrix {

struct ChipTiming {
  // Every latch load takes effect at least this long after the one before: the
  // set-up and hold times around a program pulse (address, data, OE, VPP and VCC
  // before it, data and OE after it), or the two-wire bus's shortest high, low,
  // set-up and hold time. 0: no such rule.
  std::uint64_t load_spacing_ns = 0;
  // UV EPROM: the program pulse's width and the pulses a byte may take before
  // the datasheet gives it up.
  std::uint64_t pulse_ns = 0;
  int pulse_limit = 0;
  // Parallel EEPROM: the next byte of a page load comes within byte_load_ns of
  // the one before (tBLC); a page write takes at most write_cycle_ns (tWC).
  std::uint64_t byte_load_ns = 0;
  std::uint64_t write_cycle_ns = 0;
};

}  // namespace zambrix
