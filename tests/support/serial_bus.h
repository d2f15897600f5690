// The two-wire bus of the 24Cxx EEPROMs on the simulated board, driven with the
// program's own bus primitives one at a time.
#pragma once

#include <vector>

#include "support/sim_support.h"

namespace zambrix::testing {

struct Bus : SimRig {
  Bus(const char* key, const sim::SimConfig& config)
      : SimRig(config, key), l(link()), ops(t->ops) {}
  Bus(const char* key, const char* chip, int model = 6, std::vector<std::uint8_t> data = {})
      : Bus(key, SimSetup(model, 0x378, chip, std::move(data))) {}
  sim::SerialEeprom& Chip() { return chip<sim::SerialEeprom>(); }
  int Sda() { return ops.GetNibbles24CXX(), l.ReadValue >> 7; }
  void Sda(int v) { l.Reg4Value = v ? 0x80 : 0, l.SetReg4(); }
  void Start() { ops.I2cStart(); }
  void Stop() { ops.I2cStop(); }
  bool Send(int value) {  // with the acknowledge wait
    l.WriteValue = static_cast<std::uint8_t>(value);
    ops.I2cSendByte();
    errors = ops.ErrorCount;
    return errors == 0;
  }
  bool SendPoll(int value) {
    l.WriteValue = static_cast<std::uint8_t>(value);
    return ops.I2cSendBytePoll(), l.ReadValue == 0;
  }
  int ReadByte(bool ack = true) {
    ops.I2cReadByte();
    const int v = l.ReadValue;
    if (ack) l.REG4ON(), l.CEOFF(), l.CEON();
    return v;
  }
  Link& l;
  Operations& ops;
  int errors = 0;
};

}  // namespace zambrix::testing
