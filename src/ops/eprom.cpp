// The UV EPROM pulse-and-verify algorithms. One frame for all five families:
// each byte that is not FFh gets its address and data, then program pulses
// until it reads back or its pulse budget is spent. The families differ in the
// line that carries the pulse, its length, the pre-read and the latch-0 set-up.
#include "app/core.h"
#include "ops/operations.h"

namespace zambrix {

namespace {
using Alg = Operations::EpromAlgorithm;

// Bytes between two blinks of the Program indicator.
int ActivityMask(Alg a) {
  switch (a) {
    case Alg::k2732:
      return 0x3F;
    case Alg::k27080:
      return 0x3FF;
    case Alg::k2764_128:
    case Alg::k27256_040:
    case Alg::k27010_020:
      return 0x1FF;
  }
  return 0x1FF;
}

// From this budget down (the 56th pulse of a byte on) each pulse is lengthened.
constexpr int kLongPulseBudget = 200;
constexpr int kPulseBudget = 255;
constexpr int kVppSettleMs = 1500;
constexpr int kNmosPulseMs = 5;
}  // namespace

void Operations::P2732() { RunEprom(Alg::k2732); }
void Operations::P2764_128() { RunEprom(Alg::k2764_128); }
void Operations::P27256_040() { RunEprom(Alg::k27256_040); }
void Operations::P27080() { RunEprom(Alg::k27080); }
void Operations::P27010_020() { RunEprom(Alg::k27010_020); }

void Operations::EpromStartState(Alg a) {
  auto& link = core_.link;
  link.REG4ON();
  if (a == Alg::k27010_020) {
    link.CEON();
    link.OEOFF();
  } else {
    link.CEOEOFF();
  }
}

// Latch 0 for the run: the VPP level and switches of the family. Bits 0, 1, 2,
// 4 and 5 keep these values until the run ends.
void Operations::EpromSetUp(Alg a) {
  auto& link = core_.link;
  const auto& dev = core_.dev;
  const int model = link.BoardModel;
  if (model == 4) {
    link.Reg0Value = 0x4C;
  } else if (model == 5 || model == 6) {
    link.Reg0Value = 0x48;
    if ((a == Alg::k2732 || a == Alg::k2764_128) && dev.VoltageIndex == 3) {
      if (dev.ProgramVoltage == 21) link.Reg0Value = 0x4A;
      if (dev.ProgramVoltage == 25) link.Reg0Value = 0x4B;
    }
  }
  if (a == Alg::k2764_128) link.Reg0Value |= 0x10;
  if (a == Alg::k27256_040 && dev.DeviceSizeCode == "4") link.Reg0Value |= 0x10;
  if (a == Alg::k27256_040 && dev.DeviceSizeCode == "8") link.Reg0Value |= 0x20;
  if (a == Alg::k27010_020) link.Reg0Value |= 0x20;
  link.SetReg0();
}

// Reads the byte before it is pulsed; true when it already holds WriteValue.
bool Operations::EpromPreRead(Alg a) {
  auto& link = core_.link;
  link.SETADR();
  if (a == Alg::k2732) {
    link.VPP24_OFF();
    link.OEON();
  }
  link.CEON();
  link.ReadBackByte();
  link.CEOFF();
  return link.ReadValue == link.WriteValue;
}

// One program pulse and the read-back that follows it.
void Operations::EpromPulse(Alg a, int budget) {
  auto& link = core_.link;
  auto timed_pulse = [&] {
    link.DelayMedium();
    if (budget < kLongPulseBudget) link.DelayLong();
  };
  auto load_data = [&] {
    link.REG4ON();
    link.Reg4Value = link.WriteValue;
    link.SetReg4();
  };
  // The pulse under the switched programming voltage; the read-back follows
  // with the voltage off and the outputs as the pre-read left them.
  auto vpp_pulse = [&](auto&& hold) {
    link.VPP24_ON();
    link.CEON();
    hold();
    link.CEOFF();
    link.VPP24_OFF();
    link.CEON();
    link.DelayFixed20();
    link.ReadBackByte();
  };
  switch (a) {
    case Alg::k2732:
      link.Reg4Value = link.WriteValue;
      link.SetReg4();
      link.REG4ON();
      link.CEOFF();
      vpp_pulse([&] { link.SleepMs(kNmosPulseMs); });
      return;
    case Alg::k2764_128:
      load_data();
      link.Reg1Value &= 0xBF;  // PGM low
      link.SetReg1();
      timed_pulse();
      link.Reg1Value |= 0x40;
      link.SetReg1();
      break;
    case Alg::k27256_040:
      load_data();
      link.CEOEOFF();
      link.CEON();
      timed_pulse();
      link.CEOFF();
      break;
    case Alg::k27080:
      load_data();
      vpp_pulse(timed_pulse);
      return;
    case Alg::k27010_020:
      load_data();
      link.Reg3Value &= 0xFB;  // PGM low
      link.SetReg3();
      timed_pulse();
      link.Reg3Value |= 0x04;
      link.SetReg3();
      break;
  }
  link.DelayFixed20();
  link.OEON();
  link.ReadBackByte();
  link.OEOFF();
}

void Operations::RunEprom(Alg a) {
  auto& link = core_.link;
  auto& report = core_.report;
  const auto& program = core_.buf.ProgramBuffer;
  const bool pre_read = a == Alg::k2732 || a == Alg::k27080;
  EpromStartState(a);
  EpromSetUp(a);
  if ((a == Alg::k2732 || a == Alg::k2764_128) && core_.dev.ProgramVoltage > 12) {
    report.LogMessage("Wait 1500ms second VPP Settling");
    link.SleepMs(kVppSettleMs);
  }
  report.LogMessage("Programming Started... Wait ");
  if (pre_read) link.OEON();
  const int mask = ActivityMask(a);
  const std::int32_t length = core_.buf.ProgramLength;
  for (std::int32_t index = 0; index < length; ++index) {
    if (a != Alg::k27010_020) WorkAddress = index;
    int budget = kPulseBudget;
    link.WriteValue = program.at(static_cast<std::size_t>(index));
    // An FFh byte needs no pulse whatever the chip holds: it is not even read.
    if (pre_read && link.WriteValue != 0xFF && EpromPreRead(a)) link.WriteValue = 0xFF;
    if (link.WriteValue != 0xFF) {
      link.SETADR();
      if (a == Alg::k2764_128) link.CEON();
      do {
        if (--budget == 0) {
          ReportProgramFailure();
          return;
        }
        EpromPulse(a, budget);
      } while (link.ReadValue != link.WriteValue);
    }
    link.IncADR();
    if ((index & mask) == 0) link.ActivityToggle();
    GoProgressiveBar1();
  }
  if (a == Alg::k2764_128) link.CEOFF();
}

}  // namespace zambrix
