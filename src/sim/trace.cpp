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
