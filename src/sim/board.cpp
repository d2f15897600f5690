#include "sim/board.h"

#include <algorithm>

namespace zambrix::sim {

namespace {
// Latch addressed by control bits 1..3 (after the model's inversion).
constexpr std::array<int, 8> kLatchAt = {3, 1, -1, -1, 2, 0, -1, 4};
constexpr std::uint64_t kIdSettleCycles = 4;

int Bit(unsigned v, int n) { return static_cast<int>((v >> n) & 1); }
}  // namespace

SimBoard::SimBoard(const BoardSetup& setup, SimTrace& trace)
    : setup_(setup), trace_(trace), invert_(setup.model == 4 ? 0 : 0x0F) {
  id_settle_ns_ = kIdSettleCycles * setup.access_ns;
  BuildStatusTables();
}

void SimBoard::BuildStatusTables() {
  for (unsigned bus = 0; bus < 256; ++bus) {
    for (int high = 0; high < 2; ++high) {
      const int s = high ? 4 : 0;  // first data bit of the nibble
      unsigned reg = 0;
      if (setup_.model == 4) {
        const int select = Bit(bus, s + 3), paper = Bit(bus, s + 2), ack = Bit(bus, s),
                  busy = Bit(bus, s + 1);
        reg = 0x0Fu | (select << 4) | (paper << 5) | (ack << 6) | ((busy ^ 1) << 7);
      } else {
        reg = 0x07u | (((bus >> s) & 0x0Fu) << 3);  // BUSY unconnected: pin high, bit 7 reads 0
      }
      status_[static_cast<std::size_t>(high)][bus] = static_cast<std::uint8_t>(reg);
    }
  }
}

VppSwitches SimBoard::Vpp() const {
  const std::uint8_t l0 = latch_[0];
  VppSwitches v;
  if (setup_.model == 4) {
    v.volts = (l0 & 0x04) ? setup_.vpp_jumper : 0.0;
  } else {
    v.volts = (l0 & 0x02) ? ((l0 & 0x01) ? 25.0 : 21.0) : 12.5;
  }
  if (v.volts > 0) {
    v.switch_a = (l0 & 0x10) != 0;
    v.switch_b = (l0 & 0x20) != 0;
    v.oe_rail = (l0 & 0x80) != 0;
  }
  return v;
}

void SimBoard::WriteData(std::uint8_t value, std::uint64_t now) {
  if (trace_.VcdOn()) TraceUntil(now);
  data_ = value;
  if (open_ >= 0) Load(open_, (control_ & 0x20) ? 0xFF : value, now);
}

void SimBoard::WriteControl(std::uint8_t value, std::uint64_t now) {
  if (trace_.VcdOn()) TraceUntil(now);
  control_ = value;
  const unsigned c = (value ^ invert_) & 0x0Fu;
  high_nibble_ = (c & 4) != 0;
  open_ = (c & 1) ? kLatchAt[c >> 1] : -1;
  // Bit 5 turns the port's data lines to input: the board then sees them float high.
  if (open_ >= 0) Load(open_, (value & 0x20) ? 0xFF : data_, now);
}

void SimBoard::Load(int n, std::uint8_t value, std::uint64_t now) {
  auto& latch = latch_[static_cast<std::size_t>(n)];
  if (latch == value) return;
  if (n == 3 && setup_.model == 6 && ((latch ^ value) & 0x20))
    id_since_ = (value & 0x20) ? now : kNever;
  latch = value;
  ++trace_.counts.latch_changes[static_cast<std::size_t>(n)];
  LinesChanged(now);
}

void SimBoard::LinesChanged(std::uint64_t now) {
  auto damage = socket_.Update(latch_, Stuck(BoardDrive()), Vpp(), now);
  if (damage) trace_.Event(now, EventKind::kDamage, *damage);
  if (ChipBase* chip = socket_.Chip()) {
    if (auto note = chip->TakeFaultNote(); !note.empty())
      trace_.Event(now, EventKind::kFault, note);
    for (auto& v : chip->TakeViolations()) trace_.TimingViolation(now, v.rule, std::move(v.text));
  }
  if (trace_.VcdOn()) Sample(now);
}

void SimBoard::Sample(std::uint64_t at) {
  trace_.VcdSample(at, latch_, socket_.Pins(), DataLines(at));
  traced_ns_ = std::max(traced_ns_, at);
}

void SimBoard::TraceUntil(std::uint64_t now) {
  for (;;) {
    const std::uint64_t chip_at = socket_.NextEvent();
    std::uint64_t id_at = kNever;
    if (id_since_ != kNever && id_since_ + id_settle_ns_ > traced_ns_)
      id_at = id_since_ + id_settle_ns_;
    const std::uint64_t at = std::min(chip_at, id_at);
    if (at == kNever || at > now) return;
    if (at == chip_at) {
      socket_.Advance(at);
      // A chip that asks again for the same moment has nothing more to show.
      if (socket_.NextEvent() <= at) {
        Sample(at);
        return;
      }
    }
    Sample(at);
  }
}

}  // namespace zambrix::sim
