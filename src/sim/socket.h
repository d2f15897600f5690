// The socket: the chip it holds, the chip's pins computed from the latches
// through the wiring table, and the damage a programming voltage on the wrong
// pin (or above the part's rating) does.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "sim/chips/eprom.h"
#include "sim/chips/jedec_flash.h"
#include "sim/chips/page_eeprom.h"
#include "sim/chips/serial_eeprom.h"
#include "sim/wiring.h"

namespace zambrix::sim {

// The VPP rail and its three switches.
struct VppSwitches {
  bool switch_a = false;  // ZIF pin 3
  bool switch_b = false;  // ZIF pin 1
  bool oe_rail = false;   // the OE line
  double volts = 0;       // the rail (0: off)
};

class Socket {
 public:
  // Puts a chip in the socket (null: empty); `memory` may be shorter than the chip.
  void Insert(const ChipSpec* spec, std::vector<std::uint8_t> memory, std::uint64_t seed);

  // The board's lines changed. Returns a damage report when this change
  // destroyed the part.
  std::optional<std::string> Update(const std::array<std::uint8_t, 5>& latches,
                                    std::uint8_t board_data, const VppSwitches& vpp,
                                    std::uint64_t now);
  // What the chip drives onto the data lines now.
  std::uint8_t Drive(std::uint64_t now) {
    if (now >= next_event_) Advance(now);
    return drive_;
  }

  // When the chip next changes on its own (kNever: not before the next input).
  std::uint64_t NextEvent() const { return next_event_; }
  // Brings the chip up to `now` (write cycles that ended, loads that timed out).
  void Advance(std::uint64_t now);

  bool Empty() const { return base_ == nullptr; }
  const ChipSpec* Spec() const { return base_ ? &base_->Spec() : nullptr; }
  ChipBase* Chip() { return base_; }
  const ChipBase* Chip() const { return base_; }
  template <class T>
  T* As() {
    return std::get_if<T>(&chip_);
  }
  const ChipPins& Pins() const { return pins_; }

 private:
  ChipPins ComputePins(const std::array<std::uint8_t, 5>& latches, std::uint8_t board_data,
                       const VppSwitches& vpp) const;
  std::optional<std::string> CheckDamage(const VppSwitches& vpp);

  std::variant<std::monostate, Eprom, PageEeprom, JedecFlash, SerialEeprom> chip_;
  ChipBase* base_ = nullptr;
  const SocketWiring* wiring_ = nullptr;
  std::array<std::array<std::uint32_t, 256>, 3>
      address_of_{};  // latch 1, 2, 3 value -> address bits
  ChipPins pins_;
  std::uint8_t drive_ = 0xFF;
  std::uint64_t next_event_ = kNever;
};

}  // namespace zambrix::sim
