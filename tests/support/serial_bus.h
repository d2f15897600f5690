// The serial bus routines of the 24Cxx EEPROMs, step by step as the program
// runs them, on the simulated board.
#pragma once

#include <vector>

#include "support/sim_support.h"

namespace zambrix::testing {

// The whole-chip transfers step by step, on the program's own bus primitives.
struct Bus : SimRig {
  Bus(const char* key, const sim::SimConfig& config)
      : SimRig(config, key), l(link()), ops(t->ops) {}
  Bus(const char* key, const char* chip, int model = 6, std::vector<std::uint8_t> data = {})
      : Bus(key, SimSetup(model, 0x378, chip, std::move(data))) {}
  bool Is24C32() const { return key == "SC"; }
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
  std::vector<std::uint8_t> ReadAll(int size) {  // Read24Cxx
    std::vector<std::uint8_t> out;
    l.OEOFF();
    l.SleepMs(50);
    Start();
    if (!Send(0xA0) || !Send(0x00) || (Is24C32() && !Send(0x00))) return out;
    Start();
    if (!Send(0xA1)) return out;
    l.REG4OFF(), l.Reg4Value = 0, l.SetReg4();
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(ReadByte()));
    return Stop(), out;
  }
  // Write24C08_16 / Write24C32; returns the poll count of each page (-1: no acknowledge).
  std::vector<int> WriteAll(const std::vector<std::uint8_t>& data) {
    std::vector<int> polls;
    l.OEOFF();
    l.SleepMs(50);
    for (int n = 0; n < static_cast<int>(data.size());) {
      const int mid = n / 256, device = Is24C32() ? 0xA0 : 0xA0 + 2 * mid;
      Start();
      bool ok = Send(device) && (!Is24C32() || Send(mid)) && Send(n % 256);
      for (int i = 0; i < (Is24C32() ? 32 : 16) && ok; ++i) ok = Send(data[std::size_t(n++)]);
      if (!ok) return polls.push_back(-1), polls;
      Stop();
      bool acked = false;
      int tries = 0;
      while (!acked && tries++ < 50) {
        Start();
        if (!(acked = SendPoll(device))) l.SleepMs(2);
      }
      polls.push_back(acked ? tries : -1);
      l.CEOFF(), l.CEON();
    }
    l.Reg4Value = 0, l.SetReg4(), l.REG4ON();
    return polls;
  }
  Link& l;
  Operations& ops;
  int errors = 0;
};

}  // namespace zambrix::testing
