#include "sim/trace.h"

#include "sim/vcd.h"

namespace zambrix::sim {

SimTrace::SimTrace() = default;
SimTrace::~SimTrace() = default;

void SimTrace::Event(std::uint64_t ns, EventKind kind, std::string text) {
  events_.push_back({ns, kind, std::move(text)});
  if (listener_) listener_(events_.back());
}

bool SimTrace::ChipDamaged() const { return !DamageReport().empty(); }

std::string SimTrace::DamageReport() const {
  for (const auto& e : events_) {
    if (e.kind == EventKind::kDamage) return e.text;
  }
  return {};
}

void SimTrace::TimingViolation(std::uint64_t ns, const std::string& rule, std::string text) {
  RuleCount& r = violations_[rule];
  if (++r.count == 1) r.first = text;
  if (r.count <= kLoggedPerRule) {
    Event(ns, EventKind::kTiming, std::move(text));
  } else if (r.count == kLoggedPerRule + 1) {
    Event(ns, EventKind::kTiming, "further " + rule + " violations are counted, not logged");
  }
}

std::uint64_t SimTrace::ViolationCount() const {
  std::uint64_t n = 0;
  for (const auto& [rule, r] : violations_) n += r.count;
  return n;
}

std::string SimTrace::Report() const {
  const std::uint64_t n = ViolationCount();
  std::string out = "simulated board: ";
  out += n == 0 ? "no timing violation"
                : std::to_string(n) + (n == 1 ? " timing violation" : " timing violations");
  out += ChipDamaged() ? ", " + DamageReport() + "\n" : ", no damage\n";
  for (const auto& [rule, r] : violations_)
    out += "  " + rule + ": " + std::to_string(r.count) + ", the first: " + r.first + "\n";
  return out;
}

void SimTrace::StartVcd(std::unique_ptr<std::ostream> out, std::uint64_t now,
                        const std::array<std::uint8_t, 5>& latches, const ChipPins& pins,
                        std::uint8_t bus) {
  vcd_ = std::make_unique<VcdWriter>(std::move(out));
  vcd_->Sample(now, latches, pins, bus);
}

void SimTrace::VcdSample(std::uint64_t now, const std::array<std::uint8_t, 5>& latches,
                         const ChipPins& pins, std::uint8_t bus) {
  if (vcd_) vcd_->Sample(now, latches, pins, bus);
}

void SimTrace::FinishVcd(std::uint64_t now) {
  if (!vcd_) return;
  vcd_->Finish(now);
  vcd_.reset();
}

}  // namespace zambrix::sim
