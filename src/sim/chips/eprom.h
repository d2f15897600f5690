// UV EPROM: erased cells read 1; program pulses with VPP on the right pin turn
// 1s into 0s once a byte has had enough pulse time (seeded per byte, so some
// bytes need several pulses); reads need CE and OE.
#pragma once

#include <unordered_map>

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

class Eprom : public ChipBase {
 public:
  Eprom(const ChipSpec& spec, std::vector<std::uint8_t> memory, std::uint64_t seed)
      : ChipBase(spec, std::move(memory), seed), timing_(spec) {}
  ChipOutput Update(const ChipPins& p, std::uint64_t now);
  ChipOutput Advance(std::uint64_t) const { return {drive_, kNever}; }
  // Pulse time this byte needs before its bits turn (a multiple of the part's
  // nominal pulse).
  std::uint64_t PulseTimeNeeded(std::uint32_t address) const;
  // Number of nominal pulses a byte needs, 1..10, mostly 1.
  int PulsesNeeded(std::uint32_t address) const;
  std::uint64_t ProgrammingTime() const { return programmed_ns_; }
  // Program pulses the chip has seen.
  std::uint64_t PulseCount() const { return pulses_; }
  // An old or tired part: every byte needs `factor` times its pulse time (fault injection).
  void SetWeakCells(std::uint32_t factor) { weak_cells_ = factor; }

 private:
  bool VppInWindow(double volts) const;
  bool Programming(const ChipPins& p) const;
  bool OutputsOn(const ChipPins& p) const;
  void EndPulse(std::uint64_t now);

  bool pulsing_ = false;
  std::uint64_t pulse_start_ = 0;
  std::uint32_t pulse_address_ = 0;
  std::uint8_t pulse_data_ = 0xFF;
  std::unordered_map<std::uint32_t, std::uint64_t> charge_;  // pulse time a byte has had
  std::uint64_t programmed_ns_ = 0;
  std::uint64_t pulses_ = 0;
  std::uint8_t drive_ = 0xFF;
  EpromTiming timing_;
  std::uint32_t weak_cells_ = 1;
};

}  // namespace zambrix::sim
