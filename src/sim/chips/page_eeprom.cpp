#include "sim/chips/page_eeprom.h"

namespace zambrix::sim {

namespace {
constexpr std::uint16_t kPageMask = 0x7FC0;
}  // namespace

void PageEeprom::Settle(std::uint64_t now) {
  if (state_ == State::kLoading && !in_write_ && now > load_ref_ + Spec().byte_load_ns) {
    CloseLoad(load_ref_ + Spec().byte_load_ns);
  }
  if (state_ == State::kBusy && now >= busy_until_) {
    FinishCycle();
    state_ = State::kIdle;
  }
}

// Recognises the command prefix of a load; returns the index of its first data byte.
std::size_t PageEeprom::DecodeCommands(Cycle& c) const {
  auto is = [this](std::size_t i, std::uint16_t a, std::uint8_t d) {
    return i < loads_.size() && loads_[i].address == a && loads_[i].data == d;
  };
  const bool unlock = is(0, 0x5555, 0xAA) && is(1, 0x2AAA, 0x55);
  const bool id = Spec().has_product_id;
  if (unlock && is(2, 0x5555, 0xA0)) {
    c.set_sdp = c.sdp = true;
    return 3;
  }
  if (unlock && is(2, 0x5555, 0x80) && is(3, 0x5555, 0xAA) && is(4, 0x2AAA, 0x55)) {
    if (is(5, 0x5555, 0x20)) {
      c.set_sdp = true;
      c.sdp = false;
      return 6;
    }
    if (id && is(5, 0x5555, 0x10)) {
      c.erase = true;
      return loads_.size();
    }
  }
  if (id && unlock && (is(2, 0x5555, 0x90) || is(2, 0x5555, 0xF0))) {
    c.set_id = true;
    c.id = loads_[2].data == 0x90;
    return 3;
  }
  return 0;
}

// The load ends: the chip starts its write cycle with what it has.
void PageEeprom::CloseLoad(std::uint64_t at) {
  cycle_ = Cycle{};
  cycle_.bytes.fill(-1);
  const std::size_t first = DecodeCommands(cycle_);
  const bool commanded = first > 0;
  if (first < loads_.size() && (commanded || !sdp_)) {
    cycle_.store = true;
    cycle_.page = loads_[first].address & kPageMask;  // the first data byte fixes the page
    for (std::size_t i = first; i < loads_.size(); ++i) {
      cycle_.bytes[loads_[i].address & 63] = loads_[i].data;
      if ((loads_[i].address & kPageMask) != cycle_.page)
        Violate("page", loads_[i].address,
                "a byte of another page in the load of page " + HexName(cycle_.page));
    }
  }
  if (!commanded && sdp_) ++dummy_cycles_;
  loads_.clear();
  state_ = State::kBusy;
  std::uint64_t cycle = WriteCycle(Spec().write_cycle_ns);
  if (cycle_.erase) cycle = WriteCycle(Spec().chip_erase_ns);
  // Entering or leaving the product ID mode is done 10 ms (tWC) after the last
  // command byte, the load time included.
  if (cycle_.set_id && !cycle_.store) cycle = Spec().write_cycle_ns - Spec().byte_load_ns;
  busy_until_ = at + cycle;
}

void PageEeprom::FinishCycle() {
  if (cycle_.erase) Erase(0, mem_.size());
  if (cycle_.store) {
    for (std::uint32_t i = 0; i < 64; ++i) {
      const std::uint32_t a = cycle_.page | i;
      if (Dead(a)) continue;
      if (cycle_.bytes[i] >= 0) {
        mem_[a] = static_cast<std::uint8_t>(cycle_.bytes[i]);
      } else if (Spec().rewrites_sector) {
        mem_[a] = 0xFF;
      }
    }
  }
  if (cycle_.set_sdp) sdp_ = cycle_.sdp;
  if (cycle_.set_id) id_mode_ = cycle_.id;
}

std::uint8_t PageEeprom::ReadByte(std::uint32_t address) {
  if (Destroyed()) return Garbage(address);
  if (state_ == State::kBusy) {
    // DATA polling: I/O7 is the complement of the last byte loaded, I/O6
    // toggles with every read; the other bits are not defined (old contents).
    return static_cast<std::uint8_t>((~last_byte_ & 0x80) | (toggle_ ? 0x40 : 0) |
                                     (mem_[address] & 0x3F));
  }
  if (id_mode_ && address <= 1) return address == 0 ? Spec().maker : Spec().device;
  return mem_[address];
}

ChipOutput PageEeprom::Output() {
  drive_ = reads_.Reading() ? ReadByte(pins_.address % Spec().size) : 0xFF;
  std::uint64_t next = kNever;
  if (state_ == State::kLoading) next = load_ref_ + Spec().byte_load_ns + 1;
  if (state_ == State::kBusy) next = busy_until_;
  return {drive_, next};
}

ChipOutput PageEeprom::Advance(std::uint64_t now) {
  Settle(now);
  return Output();
}

ChipOutput PageEeprom::Update(const ChipPins& p, std::uint64_t now) {
  Settle(now);
  pins_ = p;
  if (!p.powered && state_ == State::kLoading) {
    loads_.clear();  // the load is lost with the supply
    state_ = State::kIdle;
  }
  switch (strobe_.Update(p)) {
    case WriteStrobe::Edge::kStart:
      in_write_ = true;
      write_ok_ = state_ != State::kBusy && !Destroyed();  // writes are ignored while busy
      if (state_ == State::kBusy) JudgeLateWrite(p.address % Spec().size, now);
      last_write_ = now;
      if (write_ok_ && (state_ == State::kIdle || !Spec().load_from_rise)) load_ref_ = now;
      if (write_ok_) state_ = State::kLoading;
      break;
    case WriteStrobe::Edge::kEnd:
      ++write_cycles_;
      in_write_ = false;
      if (write_ok_) {
        loads_.push_back({static_cast<std::uint16_t>(strobe_.Address() & 0x7FFF), p.data});
        last_byte_ = p.data;
        if (Spec().load_from_rise) load_ref_ = now;
      }
      break;
    case WriteStrobe::Edge::kAbort:
      in_write_ = false;
      if (state_ == State::kLoading && loads_.empty()) state_ = State::kIdle;
      break;
    case WriteStrobe::Edge::kNone:
      break;
  }
  if (reads_.Update(p) && state_ == State::kBusy) toggle_ = !toggle_;
  JudgeContention(p, reads_.Reading(), p.address % Spec().size);
  return Output();
}

// A write the chip ignores because its write cycle runs: either the byte came
// later than the byte-load time after the one before, so that the load had
// closed, or the next load did not wait for the write cycle's end.
void PageEeprom::JudgeLateWrite(std::uint32_t address, std::uint64_t now) {
  const std::uint64_t gap = now - last_write_;
  Violate("tBLC", address,
          "write ignored: it came " + TimeText(gap) +
              " after the write before, so the chip was in its write cycle (tBLC ≤ " +
              TimeText(Spec().byte_load_ns) + ", tWC ≤ " +
              TimeText(WriteCycle(Spec().write_cycle_ns)) + ")");
}

}  // namespace zambrix::sim
