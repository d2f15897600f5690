// The UV EPROM pulse-and-verify algorithms. One frame for all five families:
// each byte that is not FFh gets its address and data, then program pulses
// until it reads back or its pulse budget is spent. The families differ in the
// line that carries the pulse, its length, the pre-read and the latch-0 set-up.
#include "ops/eprom.h"

#include <algorithm>

#include "base/report.h"
#include "base/text.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/boards.h"
#include "link/clock.h"
#include "link/link.h"

namespace zambrix {

namespace {
using Alg = EpromAlgorithm;

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

constexpr int kPulseBudget = 255;
constexpr int kVppSettleMs = 1500;
}  // namespace

void EpromOps::StartState(Alg a) {
  auto& link = link_;
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
void EpromOps::SetUp(Alg a) {
  auto& link = link_;
  const auto& dev = dev_;
  if (const BoardProfile* board = BoardProfileOf(link.BoardModel)) {
    link.Reg0Value = board->reg0_program;
    if (!board->VppByJumper() && (a == Alg::k2732 || a == Alg::k2764_128) &&
        dev.VoltageIndex == 3) {
      if (dev.ProgramVoltage == 21) link.Reg0Value = board->reg0_vpp21;
      if (dev.ProgramVoltage == 25) link.Reg0Value = board->reg0_vpp25;
    }
  }
  if (a == Alg::k2764_128) link.Reg0Value |= 0x10;
  if (a == Alg::k27256_040 && dev.DeviceSizeCode == "4") link.Reg0Value |= 0x10;
  if (a == Alg::k27256_040 && dev.DeviceSizeCode == "8") link.Reg0Value |= 0x20;
  if (a == Alg::k27010_020) link.Reg0Value |= 0x20;
  link.SetReg0();
}

// Reads the byte before it is pulsed; true when it already holds WriteValue.
// The data latch lets go of the data lines before chip enable turns the
// chip's outputs on.
bool EpromOps::PreRead(Alg a) {
  auto& link = link_;
  link.SETADR();
  if (a == Alg::k2732) {
    link.VPP24_OFF();
    link.OEON();
  }
  link.ReleaseDataLatch();
  link.CEON();
  link.GetNibbles();
  link.CEOFF();
  return link.ReadValue == link.WriteValue;
}

// One program pulse and the read-back that follows it. The pulse begins with
// the latch load that starts it once every line it needs has been in place for
// the set-up time (the link spaces its loads by it), and ends with the load
// that stops it, timed to the chip's pulse width on the clock. The read-back
// lets the data latch go before the chip's outputs are enabled.
void EpromOps::Pulse(Alg a) {
  auto& link = link_;
  // The next latch load ends the pulse the last one began.
  auto end_after_width = [&link] {
    const std::uint64_t width = link.Timing.pulse_ns;
    link.LoadNotBefore(link.LastLoadNs() + width - std::min(width, link.AccessNs()));
  };
  auto load_data = [&] {
    link.REG4ON();
    link.Reg4Value = link.WriteValue;
    link.SetReg4();
  };
  // The pulse under the switched programming voltage: chip enable falls once
  // VPP is up; the read-back follows with the voltage off.
  auto vpp_pulse = [&] {
    link.VPP24_ON();
    link.CEON();
    end_after_width();
    link.CEOFF();
    link.VPP24_OFF();
    link.ReleaseDataLatch();
    link.CEON();
    link.DelayFixed20();
    link.GetNibbles();
  };
  switch (a) {
    case Alg::k2732:
      link.Reg4Value = link.WriteValue;
      link.SetReg4();
      link.CEOFF();  // the outputs off before the data latch drives
      link.REG4ON();
      vpp_pulse();
      return;
    case Alg::k2764_128:
      load_data();
      link.Reg1Value &= 0xBF;  // PGM low
      link.SetReg1();
      end_after_width();
      link.Reg1Value |= 0x40;
      link.SetReg1();
      break;
    case Alg::k27256_040:
      load_data();
      link.CEOEOFF();
      link.CEON();
      end_after_width();
      link.CEOFF();
      break;
    case Alg::k27080:
      // A repeat pulse finds chip enable low from the read-back: it rises first,
      // so that the voltage is up before it falls again.
      if ((link.Reg3Value & 0x80) == 0) link.CEOFF();
      load_data();
      vpp_pulse();
      return;
    case Alg::k27010_020:
      load_data();
      link.Reg3Value &= 0xFB;  // PGM low
      link.SetReg3();
      end_after_width();
      link.Reg3Value |= 0x04;
      link.SetReg3();
      break;
  }
  link.DelayFixed20();
  link.ReleaseDataLatch();
  link.OEON();
  link.GetNibbles();
  link.OEOFF();
}

// One line at the end of a run for the bytes that took more pulses than the
// chip's datasheet allows: they programmed, but may not keep their data.
void EpromOps::ReportOverPulsed() {
  if (st_.OverPulsedBytes == 0) return;
  const int limit = link_.Timing.pulse_limit;
  report_.LogMessage(std::to_string(st_.OverPulsedBytes) +
                     (st_.OverPulsedBytes == 1 ? " byte" : " bytes") + " needed more than " +
                     std::to_string(limit) + (limit == 1 ? " pulse" : " pulses") + ", first at " +
                     HexText(st_.FirstOverPulsed) + "h: such a chip may not keep its data");
}

void EpromOps::Run(Alg a) {
  auto& link = link_;
  auto& report = report_;
  const auto& program = buf_.ProgramBuffer;
  const bool pre_read = a == Alg::k2732 || a == Alg::k27080;
  StartState(a);
  SetUp(a);
  if ((a == Alg::k2732 || a == Alg::k2764_128) && dev_.ProgramVoltage > 12) {
    report.LogMessage("Wait 1500ms second VPP Settling");
    link.SleepMs(kVppSettleMs);
  }
  report.LogMessage("Programming Started... Wait ");
  if (pre_read) link.OEON();
  const int mask = ActivityMask(a);
  const std::int32_t length = buf_.ProgramLength;
  st_.OverPulsedBytes = 0;
  st_.FirstOverPulsed = -1;
  for (std::int32_t index = 0; index < length; ++index) {
    if (a != Alg::k27010_020) st_.WorkAddress = index;
    int budget = kPulseBudget;
    link.WriteValue = program.at(static_cast<std::size_t>(index));
    // An FFh byte needs no pulse whatever the chip holds: it is not even read.
    if (pre_read && link.WriteValue != 0xFF && PreRead(a)) link.WriteValue = 0xFF;
    if (link.WriteValue != 0xFF) {
      link.SETADR();
      if (a == Alg::k2764_128) link.CEON();
      do {
        if (--budget == 0) {
          ReportProgramFailure();
          ReportOverPulsed();
          return;
        }
        Pulse(a);
      } while (link.ReadValue != link.WriteValue);
      // The budget outlasts the datasheet's limit, so that an old part is still rescued.
      if (kPulseBudget - budget > link.Timing.pulse_limit && st_.OverPulsedBytes++ == 0)
        st_.FirstOverPulsed = link.CurrentAddress;
    }
    link.IncADR();
    if ((index & mask) == 0) link.ActivityToggle();
    GoProgressiveBar1();
  }
  if (a == Alg::k2764_128) link.CEOFF();
  ReportOverPulsed();
}

}  // namespace zambrix
