// What every simulated chip shares: the pins it sees, what it drives, its
// memory, and the damage and fault state.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "sim/chip_specs.h"
#include "sim/chips/timing_judge.h"

namespace zambrix::sim {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

// The chip's inputs as the board drives them at one moment.
struct ChipPins {
  std::uint32_t address = 0;
  std::uint8_t data = 0xFF;  // the data lines as the board drives them (FFh where nothing drives)
  bool latch_on = false;     // the board's data latch drives the data lines
  bool powered = false;
  bool ce_low = false;
  bool oe_low = false;
  bool strobe_low = false;  // PGM or WE
  double vpp = 0;           // volts on the VPP pin, or on OE/VPP for the parts that have one
  bool scl = true;          // the 8-pin socket
};

// What the chip does to the data lines (1 where it does not pull low: the
// lines are wired-AND), and when it next changes on its own.
struct ChipOutput {
  std::uint8_t drive = 0xFF;
  std::uint64_t next_event = kNever;
};

// Deterministic hash for seeded choices.
constexpr std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

class ChipBase {
 public:
  ChipBase(const ChipSpec& spec, std::vector<std::uint8_t> memory, std::uint64_t seed)
      : spec_(&spec), mem_(std::move(memory)), seed_(seed) {
    mem_.resize(spec.size, 0xFF);
  }
  const ChipSpec& Spec() const { return *spec_; }
  std::vector<std::uint8_t>& Memory() { return mem_; }
  const std::vector<std::uint8_t>& Memory() const { return mem_; }
  bool Destroyed() const { return destroyed_; }
  void Destroy() { destroyed_ = true; }
  // A byte that never takes a written value (fault injection).
  void SetDeadByte(std::uint32_t address) { dead_ = address; }
  // A byte that keeps its value through a chip or sector erase (fault injection).
  void SetUnerasableByte(std::uint32_t address) { unerasable_ = address; }
  // Write cycles last this long instead of the datasheet's figure (fault injection).
  void SetWriteCycle(std::uint64_t ns) { slow_write_ns_ = ns; }
  // Bus write cycles (CE and WE low with OE high) the part has seen.
  std::uint64_t WriteCycles() const { return write_cycles_; }

 protected:
  // True for the injected dead byte; its first refusal leaves a note for the log.
  bool Dead(std::uint32_t address) const {
    if (dead_ != address) return false;
    if (!dead_reported_) {
      dead_reported_ = true;
      fault_note_ = "injected fault: byte " + HexName(address) + " refused its write";
    }
    return true;
  }
  // FFh into `count` bytes from `first`, but the injected unerasable byte keeps
  // its value, and says so once.
  void Erase(std::size_t first, std::size_t count) {
    const auto a = static_cast<std::size_t>(unerasable_);
    const bool keeps = unerasable_ >= 0 && a >= first && a - first < count;
    const std::uint8_t kept = keeps ? mem_[a] : 0xFF;
    std::fill_n(mem_.begin() + static_cast<std::ptrdiff_t>(first), count, std::uint8_t{0xFF});
    if (!keeps) return;
    mem_[a] = kept;
    fault_note_ = "injected fault: byte " + HexName(static_cast<std::uint32_t>(a)) +
                  " kept its value through the erase";
  }
  std::uint64_t WriteCycle(std::uint64_t datasheet_ns) const {
    return slow_write_ns_ ? slow_write_ns_ : datasheet_ns;
  }
  // What a destroyed part reads: different on every read.
  std::uint8_t Garbage(std::uint32_t address) {
    return static_cast<std::uint8_t>(
        Mix(seed_ ^ (std::uint64_t{address} << 20) ^ ++garbage_reads_));
  }
  std::uint64_t Seed() const { return seed_; }
  // A datasheet figure the board did not keep, for the board to report.
  void Violate(std::string rule, std::uint32_t address, std::string what) {
    violations_.push_back({std::move(rule), std::move(what), address});
  }
  std::vector<Violation>& Violations() { return violations_; }
  // Two drivers on the data lines: the board's data latch while the chip's
  // outputs are on (the lines as the chip came into the socket are not judged).
  void JudgeContention(const ChipPins& p, bool outputs_on, std::uint32_t address) {
    const bool both = p.powered && p.latch_on && outputs_on;
    if (both && !contending_ && contention_judged_)
      Violate("contention", address,
              "the data latch drove the data lines while the chip's outputs were on");
    contending_ = both;
    contention_judged_ = true;
  }

  const ChipSpec* spec_;
  std::vector<std::uint8_t> mem_;

 private:
  std::uint64_t seed_;
  std::int64_t dead_ = -1;
  std::int64_t unerasable_ = -1;
  std::uint64_t slow_write_ns_ = 0;
  std::uint64_t garbage_reads_ = 0;
  bool destroyed_ = false;
  mutable bool dead_reported_ = false;
  mutable std::string fault_note_;
  std::vector<Violation> violations_;
  bool contending_ = false;

 protected:
  std::uint64_t write_cycles_ = 0;

 private:
  bool contention_judged_ = false;

 public:
  // The note of a fault that fired since the last call (empty when none).
  std::string TakeFaultNote() { return std::exchange(fault_note_, {}); }
  // The datasheet figures broken since the last call, each as
  // "<chip> at <address>h: <what>".
  std::vector<Violation> TakeViolations() {
    for (auto& v : violations_)
      v.text = std::string(spec_->name) + " at " + HexName(v.address) + ": " + v.text;
    return std::exchange(violations_, {});
  }
  static std::string HexName(std::uint32_t v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    do {
      s.insert(s.begin(), kDigits[v % 16]);
      v /= 16;
    } while (v != 0);
    return s + "h";
  }
};

// Write cycles of a parallel part: a write runs while CE and WE are low and OE
// is high; the address is taken at the later falling edge, the data at the
// first rising edge.
class WriteStrobe {
 public:
  // kAbort: OE fell during the write, which inhibits it.
  enum class Edge { kNone, kStart, kEnd, kAbort };
  Edge Update(const ChipPins& p) {
    const bool active = p.powered && p.ce_low && p.strobe_low && !p.oe_low;
    if (active == active_) return Edge::kNone;
    active_ = active;
    if (active) {
      address_ = p.address;
      return Edge::kStart;
    }
    return p.powered && p.ce_low && p.strobe_low ? Edge::kAbort : Edge::kEnd;
  }
  std::uint32_t Address() const { return address_; }

 private:
  bool active_ = false;
  std::uint32_t address_ = 0;
};

// Read cycles: a new one starts when CE or OE falls while the other is low.
class ReadCycles {
 public:
  // True when this update starts a new read cycle.
  bool Update(const ChipPins& p) {
    const bool reading = p.powered && p.ce_low && p.oe_low;
    const bool started = reading && !reading_;
    reading_ = reading;
    return started;
  }
  bool Reading() const { return reading_; }

 private:
  bool reading_ = false;
};

}  // namespace zambrix::sim
