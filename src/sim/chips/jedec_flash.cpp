#include "sim/chips/jedec_flash.h"

#include <algorithm>

namespace zambrix::sim {

namespace {
constexpr std::uint64_t kSectorWindowNs = 50'000;
constexpr std::uint8_t kReset = 0xF0;
}  // namespace

bool JedecFlash::At(std::uint32_t address, std::uint32_t command_address) const {
  const std::uint32_t mask = Spec().command_mask;
  return (address & mask) == (command_address & mask);
}

void JedecFlash::Program(std::uint32_t address, std::uint8_t data, std::uint64_t now) {
  busy_ = Work::kProgram;
  busy_from_ = now;
  program_address_ = address;
  program_data_ = data;
  const std::uint8_t result = mem_[address] & data;
  failed_ = result != data || Dead(address) || Destroyed();
  // A byte that cannot take its value never finishes: DQ5 rises at the time
  // limit and only a reset ends it.
  busy_until_ = failed_ ? kNever : now + WriteCycle(Spec().program_ns);
  if (!failed_) mem_[address] = result;  // visible once the operation ends
}

void JedecFlash::StartErase(std::uint64_t now) {
  busy_ = Work::kErase;
  busy_from_ = now;
  const auto n = static_cast<std::uint64_t>(std::count(erasing_.begin(), erasing_.end(), true));
  busy_until_ = now + WriteCycle(Spec().sector_erase_ns * n);
  step_ = Step::kNone;
}

// More sectors may follow within the window; the window restarts with each.
void JedecFlash::AddSector(std::uint32_t address, std::uint64_t now) {
  erasing_[address / Spec().sector_size] = true;
  step_ = Step::kSectorWindow;
  window_end_ = now + kSectorWindowNs;
}

void JedecFlash::Settle(std::uint64_t now) {
  if (step_ == Step::kSectorWindow && now >= window_end_) StartErase(window_end_);
  if (busy_ == Work::kNone || now < busy_until_) return;
  if (busy_ == Work::kErase) {
    const std::uint32_t sector = Spec().sector_size;
    for (std::size_t s = 0; s < erasing_.size(); ++s) {
      if (erasing_[s]) Erase(s * sector, sector);
    }
  }
  busy_ = Work::kNone;
}

void JedecFlash::Command(std::uint32_t address, std::uint8_t data, std::uint64_t now) {
  const Step step = step_;
  step_ = Step::kNone;  // a wrong cycle returns the chip to reading
  switch (step) {
    case Step::kNone:
      if (data == 0xAA && At(address, 0x5555)) step_ = Step::kUnlock1;
      break;
    case Step::kUnlock1:
      if (data == 0x55 && At(address, 0x2AAA)) step_ = Step::kUnlock2;
      break;
    case Step::kUnlock2:
      if (!At(address, 0x5555)) break;
      if (data == 0x90) autoselect_ = true;
      if (data == 0xA0) step_ = Step::kProgram;
      if (data == 0x80) step_ = Step::kErase;
      break;
    case Step::kProgram:
      Program(address, data, now);
      break;
    case Step::kErase:
      if (data == 0xAA && At(address, 0x5555)) step_ = Step::kErase1;
      break;
    case Step::kErase1:
      if (data == 0x55 && At(address, 0x2AAA)) step_ = Step::kErase2;
      break;
    case Step::kErase2:
      if (data == 0x10 && At(address, 0x5555)) {
        erasing_.assign(Spec().size / Spec().sector_size, true);
        StartErase(now);
      } else if (data == 0x30) {
        erasing_.assign(Spec().size / Spec().sector_size, false);
        AddSector(address, now);
      }
      break;
    case Step::kSectorWindow:
      if (data == 0x30) AddSector(address, now);  // anything else aborts the erase
      break;
  }
}

void JedecFlash::Write(std::uint32_t address, std::uint8_t data, std::uint64_t now) {
  if (busy_ != Work::kNone) {
    if (failed_ && data == kReset) {  // the reset that ends a failed operation
      busy_ = Work::kNone;
      failed_ = false;
    }
    return;  // commands are ignored while the chip works
  }
  if (data == kReset && step_ != Step::kProgram) {
    autoselect_ = false;
    step_ = Step::kNone;
    return;
  }
  Command(address, data, now);
}

std::uint8_t JedecFlash::IdByte(std::uint32_t address) const {
  const auto& s = Spec();
  if (s.id_style == ChipSpec::IdStyle::kEon) {
    switch (address & 0x1FF) {
      case 0x000:
      case 0x001:
        return 0x7F;  // continuation code; the codes follow at X100h
      case 0x100:
        return s.maker;
      case 0x101:
        return s.device;
      default:
        return 0x00;
    }
  }
  switch (address & 0xFF) {
    case 0:
      return s.maker;
    case 1:
      return s.device;
    case 3:
      return s.id_style == ChipSpec::IdStyle::kAmic ? 0x7F : 0x00;
    default:
      return 0x00;  // X02: sector not protected
  }
}

// DQ7: complement of the programmed bit (0 while erasing); DQ6 toggles on each
// read; DQ5: time limit exceeded; DQ3: erase started; DQ2 toggles while erasing.
std::uint8_t JedecFlash::Status(std::uint64_t now) const {
  const std::uint8_t t = toggle_ ? 0x44 : 0x00;
  if (step_ == Step::kSectorWindow) return t & 0x40;
  if (busy_ == Work::kErase) return static_cast<std::uint8_t>(t | 0x08);
  std::uint8_t v = static_cast<std::uint8_t>((~program_data_ & 0x80) | (t & 0x40));
  if (failed_ && now >= busy_from_ + Spec().program_limit_ns) v |= 0x20;
  return v;
}

ChipOutput JedecFlash::Output(std::uint64_t now) {
  std::uint8_t drive = 0xFF;
  if (reads_.Reading()) {
    const std::uint32_t a = pins_.address % Spec().size;
    if (Destroyed()) {
      drive = Garbage(a);
    } else if (busy_ != Work::kNone || step_ == Step::kSectorWindow) {
      drive = Status(now);
    } else {
      drive = autoselect_ ? IdByte(a) : mem_[a];
    }
  }
  std::uint64_t next = busy_ == Work::kNone ? kNever : busy_until_;
  if (failed_)
    next =
        now < busy_from_ + Spec().program_limit_ns ? busy_from_ + Spec().program_limit_ns : kNever;
  if (step_ == Step::kSectorWindow) next = window_end_;
  return {drive, next};
}

ChipOutput JedecFlash::Advance(std::uint64_t now) {
  Settle(now);
  return Output(now);
}

ChipOutput JedecFlash::Update(const ChipPins& p, std::uint64_t now) {
  Settle(now);
  pins_ = p;
  if (strobe_.Update(p) == WriteStrobe::Edge::kEnd) {
    ++write_cycles_;
    Write(strobe_.Address() % Spec().size, p.data, now);
  }
  if (reads_.Update(p) && (busy_ != Work::kNone || step_ == Step::kSectorWindow))
    toggle_ = !toggle_;
  JudgeContention(p, reads_.Reading(), p.address % Spec().size);
  return Output(now);
}

}  // namespace zambrix::sim
