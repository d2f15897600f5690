// What the simulated board records: access counts, notable events (damage,
// faults), optionally every port access with its virtual time, and optionally
// a VCD file of the latch lines and chip pins.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

struct AccessRecord {
  std::uint64_t ns;
  std::uint16_t address;
  std::uint8_t value;
  bool write;
  bool operator==(const AccessRecord&) const = default;
};

struct AccessCounts {
  std::uint64_t writes = 0;
  std::uint64_t reads = 0;
  std::array<std::uint64_t, 5> latch_changes{};  // loads that changed a latch
};

enum class EventKind { kDamage, kFault, kNote, kTiming };
struct SimEvent {
  std::uint64_t ns;
  EventKind kind;
  std::string text;
};

class VcdWriter;

class SimTrace {
 public:
  SimTrace();
  ~SimTrace();
  SimTrace(const SimTrace&) = delete;
  SimTrace& operator=(const SimTrace&) = delete;

  void Access(bool write, std::uint16_t address, std::uint8_t value, std::uint64_t now) {
    if (write) {
      ++counts.writes;
    } else {
      ++counts.reads;
    }
    if (log_limit_ != 0 && log_.size() < log_limit_) log_.push_back({now, address, value, write});
  }
  AccessCounts counts;

  void Event(std::uint64_t ns, EventKind kind, std::string text);
  // Told of every event as it happens (the system log of the program).
  void SetListener(std::function<void(const SimEvent&)> listener) {
    listener_ = std::move(listener);
  }
  const std::vector<SimEvent>& Events() const { return events_; }
  // True once a chip was destroyed; the first damage report.
  bool ChipDamaged() const;
  std::string DamageReport() const;

  // A datasheet figure the board did not keep: counted by its rule and told as
  // an event (the first kLoggedPerRule of each rule; then one event saying
  // that the rest are only counted).
  void TimingViolation(std::uint64_t ns, const std::string& rule, std::string text);
  struct RuleCount {
    std::uint64_t count = 0;
    std::string first;  // the first violation's text
  };
  const std::map<std::string, RuleCount>& Violations() const { return violations_; }
  std::uint64_t ViolationCount() const;
  // What the board judged, in a few lines: the violations by rule with the
  // first of each, and the damage.
  std::string Report() const;
  static constexpr std::uint64_t kLoggedPerRule = 10;

  // Keeps up to `limit` port accesses (0: none, the default).
  void EnableAccessLog(std::size_t limit) { log_limit_ = limit; }
  const std::vector<AccessRecord>& Accesses() const { return log_; }
  void ClearAccesses() { log_.clear(); }

  // VCD of the latch lines and chip pins, written as the board runs.
  void StartVcd(std::unique_ptr<std::ostream> out, std::uint64_t now,
                const std::array<std::uint8_t, 5>& latches, const ChipPins& pins, std::uint8_t bus);
  bool VcdOn() const { return vcd_ != nullptr; }
  void VcdSample(std::uint64_t now, const std::array<std::uint8_t, 5>& latches,
                 const ChipPins& pins, std::uint8_t bus);
  void FinishVcd(std::uint64_t now);

 private:
  std::vector<SimEvent> events_;
  std::map<std::string, RuleCount> violations_;
  std::vector<AccessRecord> log_;
  std::size_t log_limit_ = 0;
  std::unique_ptr<VcdWriter> vcd_;
  std::function<void(const SimEvent&)> listener_;
};

}  // namespace zambrix::sim
