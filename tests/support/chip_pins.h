// A simulated part alone, its pins driven with the write-enable controlled
// write cycles and the read cycles its datasheet draws, at times the test
// chooses: the chip models checked against the datasheets without a board.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/chip_specs.h"

namespace zambrix::testing {

constexpr std::uint64_t kUs = 1000, kMs = 1000 * kUs;

template <class Chip>
struct Part {
  explicit Part(const char* name, std::vector<std::uint8_t> memory = {})
      : chip(*sim::FindChipSpec(name), std::move(memory), 1) {
    pins.powered = true;
    Apply();
  }
  void Apply() { drive = chip.Update(pins, now).drive; }
  void Wait(std::uint64_t ns) { now += ns, drive = chip.Advance(now).drive; }
  // Address and data set up with CE low, WE low for 1 us, then both high again;
  // the next write follows `gap` after this one's WE fell.
  void Write(std::uint32_t address, std::uint8_t data, std::uint64_t gap = 5 * kUs) {
    pins.address = address, pins.data = data, pins.latch_on = true, pins.ce_low = true;
    Apply();
    pins.strobe_low = true, Apply(), Wait(kUs);
    pins.strobe_low = false, Apply();
    pins.ce_low = false, pins.latch_on = false, pins.data = 0xFF, Apply();
    Wait(gap - kUs);
  }
  // The unlock (AAh at `first`, 55h at `second`), then `command` at `first`.
  void Command(std::uint8_t command, std::uint32_t first = 0x5555, std::uint32_t second = 0x2AAA) {
    Write(first, 0xAA), Write(second, 0x55), Write(first, command);
  }
  // A read cycle: CE and OE low, then high again.
  std::uint8_t Read(std::uint32_t address) {
    pins.address = address, pins.ce_low = true, pins.oe_low = true, Apply();
    const std::uint8_t value = drive;
    pins.ce_low = false, pins.oe_low = false, Apply();
    return value;
  }
  Chip chip;
  sim::ChipPins pins;
  std::uint64_t now = 0;
  std::uint8_t drive = 0xFF;
};

}  // namespace zambrix::testing
