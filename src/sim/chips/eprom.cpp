#include "sim/chips/eprom.h"

namespace zambrix::sim {

namespace {
constexpr double kVppApplied = 6.5;  // above this a VPP pin is in programming mode
constexpr double kVppBelowNominal = 1.0;
}  // namespace

int Eprom::PulsesNeeded(std::uint32_t address) const {
  const std::uint64_t h = Mix(Seed() ^ (std::uint64_t{address} * 0x100000001B3ull));
  const int r = static_cast<int>(h % 100);
  const int extra = static_cast<int>((h >> 8) % 4);
  if (r < 60) return 1;
  if (r < 85) return 2 + extra % 2;  // 2..3
  if (r < 97) return 4 + extra;      // 4..7
  return 8 + extra % 3;              // 8..10
}

std::uint64_t Eprom::PulseTimeNeeded(std::uint32_t address) const {
  // The standard algorithm's single pulse is the whole programming time.
  const Family f = Spec().family;
  if (f == Family::k2716 || f == Family::k2732) return Spec().pulse_ns * weak_cells_;
  return Spec().pulse_ns * static_cast<std::uint64_t>(PulsesNeeded(address)) * weak_cells_;
}

bool Eprom::VppInWindow(double volts) const {
  return volts >= Spec().vpp_volts - kVppBelowNominal && volts <= Spec().vpp_max;
}

bool Eprom::Programming(const ChipPins& p) const {
  if (!p.powered || !VppInWindow(p.vpp)) return false;
  switch (Spec().Style()) {
    case PulseStyle::kCeHigh:
      return !p.ce_low && !p.oe_low;
    case PulseStyle::kOeVpp:
      return p.ce_low;
    case PulseStyle::kPgm:
      return p.ce_low && p.strobe_low && !p.oe_low;
    case PulseStyle::kCe:
      return p.ce_low && !p.oe_low;
  }
  return false;
}

bool Eprom::OutputsOn(const ChipPins& p) const {
  if (!p.powered || !p.oe_low) return false;
  const bool vpp_applied = p.vpp > kVppApplied;
  switch (Spec().Style()) {
    case PulseStyle::kOeVpp:
      return p.ce_low && !vpp_applied;  // OE/VPP at VPP: programming, outputs off
    case PulseStyle::kCe:
      return p.ce_low || vpp_applied;  // program verify: CE does not matter
    case PulseStyle::kPgm:
      return p.ce_low && (!vpp_applied || !p.strobe_low);
    case PulseStyle::kCeHigh:
      return p.ce_low;
  }
  return false;
}

// Cells of the pulsed byte take charge while the pulse lasts; once the byte has
// had the time it needs, its 1 bits that the data asks to be 0 turn to 0.
void Eprom::EndPulse(std::uint64_t now) {
  if (!pulsing_) return;
  pulsing_ = false;
  const std::uint64_t width = now - pulse_start_;
  programmed_ns_ += width;
  std::uint8_t& cell = mem_[pulse_address_];
  const std::uint8_t to_clear = cell & static_cast<std::uint8_t>(~pulse_data_);
  if (to_clear == 0 || Dead(pulse_address_) || Destroyed()) return;
  std::uint64_t& charge = charge_[pulse_address_];
  charge += width;
  if (charge >= PulseTimeNeeded(pulse_address_)) {
    cell &= pulse_data_;
    charge = 0;
  }
}

ChipOutput Eprom::Update(const ChipPins& p, std::uint64_t now) {
  const std::uint32_t address = p.address % Spec().size;
  const bool programming = Programming(p);
  timing_.See(p, programming, address, now, Violations());
  JudgeContention(p, OutputsOn(p), address);
  if (pulsing_ && (!programming || address != pulse_address_ || p.data != pulse_data_))
    EndPulse(now);
  if (programming && !pulsing_) {
    pulsing_ = true;
    ++pulses_;
    pulse_start_ = now;
    pulse_address_ = address;
    pulse_data_ = p.data;
  }
  if (!OutputsOn(p)) {
    drive_ = 0xFF;
  } else {
    drive_ = Destroyed() ? Garbage(address) : mem_[address];
  }
  return {drive_, kNever};
}

}  // namespace zambrix::sim
