// Latch loads, the board reset, single-bit procedures, delays and the speed slider.
#include <algorithm>
#include <stdexcept>

#include "link/boards.h"
#include "link/clock.h"
#include "link/link.h"
#include "link/port.h"

namespace zambrix {

void Link::PortOut(int address, int value) {
  events_.BeforePortWrite();
  FollowLatches(address, value & 0xFF);
  port_->PortOut(static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(value & 0xFF));
}

int Link::PortIn(int address) { return port_->PortIn(static_cast<std::uint16_t>(address)); }

// Data byte, select, strobe, select; the strobe is as short as two back-to-back writes.
// A load due at a set time (a program pulse's end) makes its two strobe delays
// within the time left, so that the slowest slider setting never lengthens
// the pulse: its data have then been settling through the pulse.
void Link::LoadLatch(int n, int shadow) {
  std::optional<std::uint64_t> cap = StrobeCapNs;
  if (load_due_ns_ != 0) {
    const std::uint64_t now = clock_->NowNs() + 3 * access_ns_;
    const std::uint64_t half_left = load_due_ns_ > now ? (load_due_ns_ - now) / 2 : 0;
    cap = std::min(cap.value_or(half_left), half_left);
  }
  PortOut(PortAddress, shadow & 0xFF);
  SpinStrobe(cap);
  PortOut(ControlPort, RegSelect[n]);
  SpinStrobe(cap);
  LoadPulse(n);
  PortOut(ControlPort, RegSelect[n]);
}

// The latch takes its byte with the load pulse: not before the chip's time
// allows (the pulse's end, the spacing of its set-up and hold times), measured
// from when the last load pulse had been written.
void Link::LoadPulse(int n) {
  Clock& clock = *clock_;
  std::uint64_t due = load_due_ns_;
  if (Timing.load_spacing_ns != 0 && loaded_)
    due = std::max(due, last_load_ns_ + Timing.load_spacing_ns);
  std::uint64_t before = clock.NowNs();
  if (due > before) {
    clock.WaitNs(due - before);
    before = clock.NowNs();
  }
  PortOut(ControlPort, RegStrobe[n]);
  last_load_ns_ = clock.NowNs();
  access_ns_ = last_load_ns_ - before;
  load_due_ns_ = 0;
  loaded_ = true;
}

void Link::SetReg0() { LoadLatch(0, Reg0Value); }
void Link::SetReg1() { LoadLatch(1, Reg1Value); }
void Link::SetReg2() { LoadLatch(2, Reg2Value); }
void Link::SetReg3() { LoadLatch(3, Reg3Value); }
void Link::SetReg4() { LoadLatch(4, Reg4Value); }

void Link::InitControlTables() {
  for (int model : {4, 5}) {
    const BoardProfile& p = *BoardProfileOf(model);
    ControlTable& t = p.wiring == 0 ? Model4Table : Model56Table;
    t = {p.select, p.strobe, p.nibble_low, p.nibble_high};
  }
}

void Link::ApplyBoardModel() {
  StatusPort = PortAddress + 1;
  ControlPort = PortAddress + 2;
  const BoardProfile* p = BoardProfileOf(BoardModel);
  if (p == nullptr) return;
  const ControlTable& t = p->wiring == 0 ? Model4Table : Model56Table;
  RegSelect = t.select;
  RegStrobe = t.strobe;
  NibbleSelectLow = t.nibble_low;
  NibbleSelectHigh = t.nibble_high;
}

void Link::Reset() {
  Reg0Value = 0x40;  // output enable inactive, all else clear
  SetReg0();
  CurrentAddress = 0;
  Endereco2Adr();
  Reg1Value = Reg1Fixed | AddressMid;
  SetReg1();
  Reg2Value = AddressLow;
  SetReg2();
  Reg3Value = Reg3Fixed | 0xC4;  // chip enable off, data latch off, bit 2 high
  SetReg3();
  events_.ProgressReset();
}

void Link::REG4ON() {
  Reg3Value &= ~0x40;
  SetReg3();
}

void Link::REG4OFF() {
  Reg3Value |= 0x40;
  SetReg3();
}

void Link::ActivityOn() {
  Reg0Value |= 0x08;
  SetReg0();
}

void Link::ActivityOff() {
  Reg0Value &= ~0x08;
  SetReg0();
}

void Link::ActivityToggle() {
  events_.ActivityToggled();
  Reg0Value ^= 0x08;
  SetReg0();
}

void Link::DelayStrobe() { SpinStrobe(StrobeCapNs); }

void Link::SpinStrobe(std::optional<std::uint64_t> cap_ns) {
  Clock& clock = *clock_;
  std::int64_t count = StrobeDelayCount;
  if (cap_ns)
    count =
        std::min<std::int64_t>(count, static_cast<std::int64_t>(*cap_ns / clock.NsPerIteration()));
  clock.Spin(count);
}
void Link::DelayMedium() { clock_->Spin(MediumDelayCount); }
void Link::DelayLong() { clock_->Spin(LongDelayCount); }
void Link::DelayFixed20() { clock_->Spin(20); }
void Link::DelayFixed10() { clock_->Spin(10); }
void Link::DelayFixed300() { clock_->Spin(300); }

void Link::WaitSettlingTime() {
  // The loop limit is kept in link state (the settling wait of the detection).
  SettlingLoopCounter = DelayFactorShort * 100;
  clock_->Spin(SettlingLoopCounter);
}

void Link::SleepMs(int ms) { clock_->SleepMs(ms); }

void Link::ApplySpeedSetting() {
  const LinkEvents::SpeedSlider slider = events_.Speed();
  const std::int64_t span = static_cast<std::int64_t>(slider.max) - slider.value;
  auto count = [span](std::int32_t factor) {
    std::int64_t v = span * factor + 2;
    if (v > INT32_MAX || v < INT32_MIN) throw std::overflow_error("delay count overflow");
    return static_cast<std::int32_t>(v);
  };
  LongDelayCount = count(DelayFactorLong);
  MediumDelayCount = count(DelayFactorMedium);
  StrobeDelayCount = count(DelayFactorShort);
  if (slider.value < 10) StrobeDelayCount = count(DelayFactorMedium);
}

}  // namespace zambrix
