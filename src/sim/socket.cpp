#include "sim/socket.h"

#include <cstdio>

namespace zambrix::sim {

namespace {

constexpr double kLogicHigh = 5.0;
constexpr double kInputRating = 7.0;  // any address or strobe input

bool LineHigh(Line l, const std::array<std::uint8_t, 5>& latches) {
  if (l == Line::kVcc) return true;
  if (!IsLatchLine(l)) return false;
  return ((latches[static_cast<std::size_t>(LatchOf(l))] >> BitOf(l)) & 1) != 0;
}

std::string Volts(double v) {
  char b[16];
  std::snprintf(b, sizeof b, "%g V", v);
  return b;
}

}  // namespace

void Socket::Insert(const ChipSpec* spec, std::vector<std::uint8_t> memory, std::uint64_t seed) {
  chip_ = std::monostate{};
  base_ = nullptr;
  wiring_ = nullptr;
  address_of_ = {};
  drive_ = 0xFF;
  next_event_ = kNever;
  if (spec == nullptr) return;
  switch (spec->kind) {
    case ChipKind::kEprom:
      base_ = &chip_.emplace<Eprom>(*spec, std::move(memory), seed);
      break;
    case ChipKind::kPageEeprom:
      base_ = &chip_.emplace<PageEeprom>(*spec, std::move(memory), seed);
      break;
    case ChipKind::kJedecFlash:
      base_ = &chip_.emplace<JedecFlash>(*spec, std::move(memory), seed);
      break;
    case ChipKind::kSerialEeprom:
      base_ = &chip_.emplace<SerialEeprom>(*spec, std::move(memory), seed);
      break;
  }
  wiring_ = &WiringOf(spec->family);
  // A0..A7 from latch 2, A8..A13 from latch 1, the upper lines as the table says.
  std::array<Line, 20> lines{};
  for (int i = 0; i < 8; ++i) lines[static_cast<std::size_t>(i)] = L(2, i);
  for (int i = 0; i < 6; ++i) lines[static_cast<std::size_t>(8 + i)] = L(1, i);
  const auto& w = *wiring_;
  const Line upper[6] = {w.a14, w.a15, w.a16, w.a17, w.a18, w.a19};
  for (int i = 0; i < 6; ++i) lines[static_cast<std::size_t>(14 + i)] = upper[i];
  for (std::size_t bit = 0; bit < w.address_bits; ++bit) {
    const Line l = lines[bit];
    if (!IsLatchLine(l) || LatchOf(l) < 1 || LatchOf(l) > 3) continue;
    auto& table = address_of_[static_cast<std::size_t>(LatchOf(l) - 1)];
    for (std::uint32_t v = 0; v < 256; ++v) {
      if ((v >> BitOf(l)) & 1) table[v] |= 1u << bit;
    }
  }
}

ChipPins Socket::ComputePins(const std::array<std::uint8_t, 5>& latches, std::uint8_t board_data,
                             const VppSwitches& vpp) const {
  const auto& w = *wiring_;
  ChipPins p;
  p.address = address_of_[0][latches[1]] | address_of_[1][latches[2]] | address_of_[2][latches[3]];
  p.data = board_data;
  p.latch_on = (latches[3] & 0x40) == 0;
  p.powered = LineHigh(w.vcc, latches);
  p.ce_low = !LineHigh(w.ce, latches);
  p.scl = !p.ce_low;
  const bool oe_high = (latches[0] & 0xC0) != 0;  // bit 6: high; bit 7: the VPP rail
  p.oe_low = w.oe == Line::kOeLine && !oe_high;
  p.strobe_low = w.strobe != Line::kNone && !LineHigh(w.strobe, latches);
  if (w.oe_rail == Reach::kOeVpp) {
    p.vpp = vpp.oe_rail ? vpp.volts : (oe_high ? kLogicHigh : 0.0);
  } else if (w.vpp != Line::kNone) {
    const bool switched = (vpp.switch_a && w.switch_a == Reach::kVppPin) ||
                          (vpp.switch_b && w.switch_b == Reach::kVppPin);
    p.vpp = switched ? vpp.volts : (LineHigh(w.vpp, latches) ? kLogicHigh : 0.0);
  }
  return p;
}

// A closed VPP switch puts the rail on whatever the part has at that pin.
std::optional<std::string> Socket::CheckDamage(const VppSwitches& vpp) {
  if (vpp.volts <= 0 || base_->Destroyed()) return std::nullopt;
  const auto& w = *wiring_;
  const auto& s = base_->Spec();
  struct Hit {
    bool closed;
    Reach reach;
    int pin;
  };
  const Hit hits[3] = {{vpp.switch_a, w.switch_a, w.switch_a_pin},
                       {vpp.switch_b, w.switch_b, w.switch_b_pin},
                       {vpp.oe_rail, w.oe_rail, w.oe_pin}};
  for (const auto& h : hits) {
    if (!h.closed || h.reach == Reach::kNothing) continue;
    double rating = kInputRating;
    const char* what = "an address or strobe input";
    if (h.reach == Reach::kVppPin || h.reach == Reach::kOeVpp) {
      rating = s.vpp_max;
      what = h.reach == Reach::kVppPin ? "VPP" : "OE/VPP";
    } else if (h.reach == Reach::kOePin) {
      rating = s.oe_max;
      what = "OE";
    }
    if (vpp.volts <= rating) continue;
    base_->Destroy();
    return std::string(s.name) + " destroyed: " + Volts(vpp.volts) + " on pin " +
           std::to_string(h.pin) + " (" + what + ", rated " + Volts(rating) + ")";
  }
  return std::nullopt;
}

std::optional<std::string> Socket::Update(const std::array<std::uint8_t, 5>& latches,
                                          std::uint8_t board_data, const VppSwitches& vpp,
                                          std::uint64_t now) {
  if (base_ == nullptr) return std::nullopt;
  pins_ = ComputePins(latches, board_data, vpp);
  auto damage = CheckDamage(vpp);
  const ChipOutput out = std::visit(
      [&](auto& chip) -> ChipOutput {
        if constexpr (std::is_same_v<std::decay_t<decltype(chip)>, std::monostate>) {
          return {};
        } else {
          return chip.Update(pins_, now);
        }
      },
      chip_);
  drive_ = out.drive;
  next_event_ = out.next_event;
  return damage;
}

void Socket::Advance(std::uint64_t now) {
  const ChipOutput out = std::visit(
      [&](auto& chip) -> ChipOutput {
        if constexpr (std::is_same_v<std::decay_t<decltype(chip)>, std::monostate>) {
          return {};
        } else {
          return chip.Advance(now);
        }
      },
      chip_);
  drive_ = out.drive;
  next_event_ = out.next_event;
}

}  // namespace zambrix::sim
