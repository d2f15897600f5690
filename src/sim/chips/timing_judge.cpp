#include "sim/chips/timing_judge.h"

#include <cstdio>

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

namespace {
constexpr std::uint64_t kUs = 1000;
// B.3: address, data, OE, VPP and VCC in place before a program pulse; data and
// OE held after it.
constexpr std::uint64_t kProgramSetUp = 2 * kUs;
constexpr std::uint64_t kProgramHold = 2 * kUs;
// E, at 100 kHz.
constexpr std::uint64_t kHigh = 4000, kLow = 4700, kStartSetUp = 4700, kStartHold = 4000,
                        kStopSetUp = 4000, kBusFree = 4700, kDataSetUp = 250;
}  // namespace

std::string TimeText(std::uint64_t ns) {
  char text[32];
  if (ns >= 1'000'000) {
    std::snprintf(text, sizeof text, "%.4g ms", static_cast<double>(ns) / 1e6);
  } else if (ns > 0 && ns < kUs) {
    std::snprintf(text, sizeof text, "%llu ns", static_cast<unsigned long long>(ns));
  } else {
    std::snprintf(text, sizeof text, "%.4g µs", static_cast<double>(ns) / 1e3);
  }
  return text;
}

// ---- EPROM ----

const char* EpromTiming::Edge(bool start) const {
  switch (spec_.Style()) {
    case PulseStyle::kCeHigh:
      return start ? "CE rose" : "CE fell";
    case PulseStyle::kPgm:
      return start ? "PGM fell" : "PGM rose";
    case PulseStyle::kOeVpp:
    case PulseStyle::kCe:
      break;
  }
  return start ? "CE fell" : "CE rose";
}

void EpromTiming::See(const ChipPins& p, bool programming, std::uint32_t address, std::uint64_t now,
                      std::vector<Violation>& out) {
  const bool oe_high = !p.oe_low;
  if (!seen_) {
    seen_ = true;
    address_ = address, data_ = p.data, oe_high_ = oe_high, vpp_ = p.vpp, vcc_ = p.powered;
    for (auto& t : changed_) t = now;
    return;
  }
  const bool changed[kCount] = {address != address_, p.data != data_, oe_high != oe_high_,
                                p.vpp != vpp_, p.powered != vcc_};
  address_ = address, data_ = p.data, oe_high_ = oe_high, vpp_ = p.vpp, vcc_ = p.powered;
  for (int s = 0; s < kCount; ++s) {
    if (!changed[s]) continue;
    Hold(static_cast<Signal>(s), now, out);
    changed_[s] = now;
  }
  if (pulsing_ && programming && (changed[kAddress] || changed[kData])) {
    // The cells take the new address or data: a pulse of its own, unjudged.
    if (changed[kAddress])
      out.push_back({"tAH", "address changed during the program pulse (tAH ≥ 0 µs)", address});
    if (changed[kData])
      out.push_back({"tDH", "data changed during the program pulse (tDH ≥ 2 µs)", address});
    pulse_start_ = now, pulse_address_ = address;
    return;
  }
  if (programming && !pulsing_) Start(now, address, out);
  if (!programming && pulsing_) End(now, out);
}

void EpromTiming::Start(std::uint64_t now, std::uint32_t address, std::vector<Violation>& out) {
  pulsing_ = true;
  pulse_start_ = now;
  pulse_address_ = address;
  struct SetUp {
    Signal signal;
    const char* rule;
    const char* what;
  };
  static constexpr SetUp kSetUps[] = {{kAddress, "tAS", "address changed"},
                                      {kData, "tDS", "data changed"},
                                      {kOe, "tOES", "OE rose"},
                                      {kVpp, "tVPS", "VPP rose"},
                                      {kVcc, "tVCS", "VCC rose"}};
  for (const auto& s : kSetUps) {
    if (s.signal == kOe && spec_.Style() == PulseStyle::kOeVpp) continue;  // OE/VPP: VPP's set-up
    const std::uint64_t since = now - changed_[s.signal];
    if (since >= kProgramSetUp) continue;
    out.push_back({s.rule,
                   std::string(s.what) + " " + TimeText(since) + " before " + Edge(true) + " (" +
                       s.rule + " ≥ " + TimeText(kProgramSetUp) + ")",
                   address});
  }
}

void EpromTiming::End(std::uint64_t now, std::vector<Violation>& out) {
  pulsing_ = false;
  pulse_end_ = now;
  holding_[kData] = true;
  holding_[spec_.Style() == PulseStyle::kOeVpp ? kVpp : kOe] = true;
  const std::uint64_t width = now - pulse_start_;
  if (width >= spec_.pulse_min_ns && width <= spec_.pulse_max_ns) return;
  out.push_back({"tPW",
                 "program pulse of " + TimeText(width) + " (tPW " + TimeText(spec_.pulse_min_ns) +
                     " to " + TimeText(spec_.pulse_max_ns) + ")",
                 pulse_address_});
}

void EpromTiming::Hold(Signal s, std::uint64_t now, std::vector<Violation>& out) {
  if (!holding_[s]) return;
  holding_[s] = false;
  const std::uint64_t after = now - pulse_end_;
  if (after >= kProgramHold) return;
  const bool data = s == kData;
  const char* rule = data ? "tDH" : "tOEH";
  const char* what = data ? "data changed " : s == kVpp ? "OE/VPP changed " : "OE fell ";
  out.push_back({rule,
                 what + TimeText(after) + " after " + Edge(false) + " (" + rule + " ≥ " +
                     TimeText(kProgramHold) + ")",
                 pulse_address_});
}

// ---- Two-wire bus ----

void BusTiming::Check(const char* rule, const char* what, std::uint64_t ns, std::uint64_t minimum) {
  if (ns >= minimum) return;
  Violation v{
      rule, std::string(what) + " " + TimeText(ns) + " (" + rule + " ≥ " + TimeText(minimum) + ")",
      address_};
  (clocks_ >= kConfirmingClocks ? *out_ : pending_).push_back(std::move(v));
}

void BusTiming::See(bool scl, bool sda, std::uint32_t address, std::uint64_t now,
                    std::vector<Violation>& out) {
  if (!seen_) {
    seen_ = true;
    scl_ = scl, sda_ = sda;
    return;
  }
  address_ = address;
  out_ = &out;
  if (scl_ && !scl) Fall(now);
  if (sda != sda_) SdaChange(sda, now);
  if (!scl_ && scl) Rise(now);
  scl_ = scl, sda_ = sda;
}

void BusTiming::Fall(std::uint64_t now) {
  if (transfer_) {
    Check("tHIGH", "SCL high for", now - rise_, kHigh);
    if (held_) Check("tHD:STA", "SCL fell after the start by", now - start_, kStartHold);
  }
  held_ = false;
  fall_ = now;
}

void BusTiming::Rise(std::uint64_t now) {
  if (transfer_) {
    Check("tLOW", "SCL low for", now - fall_, kLow);
    if (sda_at_ > fall_)
      Check("tSU:DAT", "SDA set up before SCL rose by", now - sda_at_, kDataSetUp);
    if (++clocks_ == kConfirmingClocks) {
      for (auto& v : pending_) out_->push_back(std::move(v));
      pending_.clear();
    }
  }
  rise_ = now;
}

void BusTiming::SdaChange(bool sda, std::uint64_t now) {
  sda_at_ = now;
  if (!scl_) return;
  if (!sda) {  // start (or a repeated start)
    const bool after_stop = !transfer_ && stopped_;
    transfer_ = true, held_ = true, clocks_ = 0;
    pending_.clear();
    start_ = now;
    Check("tSU:STA", "start after SCL rose by", now - rise_, kStartSetUp);
    if (after_stop) Check("tBUF", "start after the stop by", now - stop_, kBusFree);
    return;
  }
  if (transfer_) Check("tSU:STO", "stop after SCL rose by", now - rise_, kStopSetUp);
  transfer_ = false, stopped_ = true;
  pending_.clear();
  stop_ = now;
}

}  // namespace zambrix::sim
