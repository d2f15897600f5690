// The 24C08, 24C16 and 24C32 as two-wire slaves, driven with the link's latch
// procedures and the bus routines of the serial EEPROM unit.
#include <gtest/gtest.h>

#include <cmath>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

// The serial bus routines, step by step as the program runs them.
struct Bus {
  Bus(SimRig& r, int model, const std::string& key) : rig(r), l(r.link()), key(key) {
    rig.UseBoard(model, 0x378);
    rig.Select(key);
  }
  int Sda() {  // GetNibbles24CXX, bit 7
    l.PortOut(l.ControlPort, l.NibbleSelectHigh);
    const int s = l.PortIn(l.StatusPort);
    l.ReadValue = l.BoardModel == 4 ? l.StatusDecode4[static_cast<std::size_t>(s & 0xF0)]
                                    : l.StatusHighNibble[static_cast<std::size_t>(s)];
    return l.ReadValue >> 7;
  }
  void Sda(int v) { l.Reg4Value = v ? 0x80 : 0, l.SetReg4(); }
  void Start() { l.CEON(), Sda(1), l.REG4ON(), l.CEOFF(), Sda(0), l.CEON(); }
  void Stop() { l.CEON(), Sda(0), l.REG4ON(), l.CEOFF(), Sda(1), l.CEON(); }
  void Bits(int value) {
    l.REG4ON();
    l.Reg4Value = value;
    for (int i = 0; i < 8; ++i)
      l.SetReg4(), l.CEOFF(), l.CEON(), l.Reg4Value = (l.Reg4Value * 2) & 0xFF;
  }
  bool Send(int value) {
    Bits(value);
    l.REG4OFF();  // I2cWaitAck
    for (errors = 1;; ++errors) {
      if (Sda() == 0) {
        errors = 0;
        break;
      }
      if (errors >= 200) break;
      l.SleepMs(1);
    }
    l.CEOFF(), l.CEON();
    return errors == 0;
  }
  bool SendPoll(int value) {
    Bits(value);
    l.REG4OFF();
    l.SleepMs(1);
    return Sda() == 0;
  }
  int ReadByte(bool ack = true) {
    l.REG4OFF();
    int v = 0;
    for (int i = 0; i < 8; ++i) l.CEON(), l.CEOFF(), v = v * 2 + Sda();
    l.CEON();
    if (ack) l.REG4ON(), l.CEOFF(), l.CEON();
    return v;
  }
  bool Header() {
    l.OEOFF();
    l.SleepMs(50);
    Start();
    if (!Send(0xA0) || !Send(0x00) || (key == "SC" && !Send(0x00))) return false;
    Start();
    if (!Send(0xA1)) return false;
    l.REG4OFF(), l.Reg4Value = 0, l.SetReg4();
    return true;
  }
  std::vector<std::uint8_t> ReadAll(int size) {  // Read24Cxx
    std::vector<std::uint8_t> out;
    if (!Header()) return out;
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(ReadByte()));
    Stop();
    return out;
  }
  // Write24C08_16 / Write24C32; returns the poll count of each page (-1: no acknowledge).
  std::vector<int> WriteAll(const std::vector<std::uint8_t>& data) {
    const int page = key == "SC" ? 32 : 16;
    const int pages = static_cast<int>(std::nearbyint(static_cast<double>(data.size()) / page));
    std::vector<int> polls;
    l.OEOFF();
    l.SleepMs(50);
    for (int p = 0, n = 0; p < pages; ++p) {
      const int mid = n / 256, low = n % 256;
      const int device = key == "SC" ? 0xA0 : 0xA0 + 2 * mid;
      Start();
      if (!Send(device) || (key == "SC" && !Send(mid)) || !Send(low))
        return polls.push_back(-1), polls;
      for (int i = 0; i < page; ++i, ++n) {
        if (!Send(data[static_cast<std::size_t>(n)])) return polls.push_back(-1), polls;
      }
      Stop();
      int tries = 0;
      bool acked = false;
      do {
        Start();
        acked = SendPoll(device);
        ++tries;
        if (!acked) l.SleepMs(2);
      } while (!acked && tries < 50);
      polls.push_back(acked ? tries : -1);
      l.CEOFF(), l.CEON();
    }
    l.Reg4Value = 0, l.SetReg4(), l.REG4ON();
    return polls;
  }
  SimRig& rig;
  Link& l;
  std::string key;
  int errors = 0;
};

std::vector<std::uint8_t> Data(int size, int seed) {
  std::vector<std::uint8_t> v(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i)
    v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 13 + seed + (i >> 8));
  return v;
}

struct Case {
  const char* chip;
  const char* key;
  int size;
  int model;
};
class SerialChips : public ::testing::TestWithParam<Case> {};

TEST_P(SerialChips, PageWritesAndAWholeReadRoundTripWithAcknowledgePolling) {
  const Case c = GetParam();
  SimRig rig(SimSetup(c.model, 0x378, c.chip));
  Bus bus(rig, c.model, c.key);
  const auto data = Data(c.size, c.model);
  const auto polls = bus.WriteAll(data);
  ASSERT_EQ(polls.size(),
            static_cast<std::size_t>(c.size / (std::string(c.key) == "SC" ? 32 : 16)));
  for (int p : polls) EXPECT_EQ(p, 3);  // samples 1, 4 and 7 ms after the stop; the cycle takes 5
  EXPECT_EQ(rig.chip<sim::SerialEeprom>().Memory(), data);
  EXPECT_EQ(bus.ReadAll(c.size), data);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SerialChips,
                         ::testing::Values(Case{"24C08", "SA", 1024, 4},
                                           Case{"24C16", "SB", 2048, 5},
                                           Case{"24C32", "SC", 4096, 6},
                                           Case{"24C08", "SA", 1024, 6}));

TEST(SerialEeprom, TheAcknowledgeLastsFromTheEighthFallingEdgeToTheNinth) {
  SimRig rig(SimSetup(6, 0x378, "24C16"));
  Bus bus(rig, 6, "SB");
  auto& l = bus.l;
  bus.Start();
  ASSERT_TRUE(bus.Send(0xA0));
  l.REG4ON();
  l.Reg4Value = 0x01;  // word address 01h: the master drives 1 on the eighth bit
  for (int i = 0; i < 8; ++i) {
    l.SetReg4(), l.CEOFF();
    if (i == 7) {
      EXPECT_EQ(bus.Sda(), 1) << "no acknowledge while SCL is high on the eighth bit";
    }
    l.CEON(), l.Reg4Value = (l.Reg4Value * 2) & 0xFF;
  }
  l.SetReg4();  // the master still drives 1: the slave's low wins
  EXPECT_EQ(bus.Sda(), 0);
  l.REG4OFF();
  l.CEOFF();
  EXPECT_EQ(bus.Sda(), 0);
  l.CEON();
  EXPECT_EQ(bus.Sda(), 1);
}

TEST(SerialEeprom, DeviceAddressBlockBitsAndPinsDecide) {
  SimRig rig(SimSetup(6, 0x378, "24C08"));
  Bus bus(rig, 6, "SA");
  bus.Start();
  EXPECT_TRUE(bus.Send(0xA6));  // block 3 of a 24C08
  EXPECT_TRUE(bus.Send(0x10));
  EXPECT_TRUE(bus.Send(0x5A));
  bus.Stop();
  bus.l.SleepMs(6);
  rig.port.Sync();
  EXPECT_EQ(rig.chip<sim::SerialEeprom>().Memory()[0x310], 0x5A);
  bus.Start();
  EXPECT_FALSE(bus.Send(0xA8));  // A2 = 1: the grounded pin does not match
  EXPECT_EQ(bus.errors, 200);
  SimRig rig32(SimSetup(6, 0x378, "24C32"));
  Bus bus32(rig32, 6, "SC");
  bus32.Start();
  EXPECT_FALSE(bus32.Send(0xA2));
}

TEST(SerialEeprom, PageWritesWrapWithinThePage) {
  SimRig rig(SimSetup(5, 0x378, "24C16"));
  Bus bus(rig, 5, "SB");
  bus.Start();
  bus.Send(0xA2);
  bus.Send(0x0E);
  for (int i = 0; i < 20; ++i) bus.Send(i);
  bus.Stop();
  bus.l.SleepMs(6);
  rig.port.Sync();
  const auto& m = rig.chip<sim::SerialEeprom>().Memory();
  EXPECT_EQ(m[0x10E], 16);  // bytes 0 and 1 went to 10Eh/10Fh, then overwritten by 16, 17
  EXPECT_EQ(m[0x10F], 17);
  EXPECT_EQ(m[0x100], 18);
  EXPECT_EQ(m[0x101], 19);
  EXPECT_EQ(m[0x102], 4);
  EXPECT_EQ(m[0x110], 0xFF);
}

TEST(SerialEeprom, NoAcknowledgeDuringTheWriteCycle) {
  SimRig rig(SimSetup(6, 0x378, "24C32"));
  Bus bus(rig, 6, "SC");
  bus.Start();
  bus.Send(0xA0), bus.Send(0x01), bus.Send(0x00), bus.Send(0x77);
  bus.Stop();
  bus.Start();
  EXPECT_FALSE(bus.SendPoll(0xA0));
  EXPECT_TRUE(rig.chip<sim::SerialEeprom>().Busy());
  bus.l.SleepMs(4);
  bus.Start();
  EXPECT_TRUE(bus.SendPoll(0xA0));
  EXPECT_EQ(rig.chip<sim::SerialEeprom>().Memory()[0x100], 0x77);
}

TEST(SerialEeprom, SequentialReadsRollOverAtTheEndOfTheChip) {
  auto data = Data(1024, 3);
  SimRig rig(SimSetup(6, 0x378, "24C08", data));
  Bus bus(rig, 6, "SA");
  bus.Start();
  bus.Send(0xA6), bus.Send(0xFE);
  bus.Start();
  bus.Send(0xA1);  // block bits of a read are not used: the counter is
  bus.l.REG4OFF(), bus.Sda(0);
  EXPECT_EQ(bus.ReadByte(), data[0x3FE]);
  EXPECT_EQ(bus.ReadByte(), data[0x3FF]);
  EXPECT_EQ(bus.ReadByte(), data[0]);
  EXPECT_EQ(bus.ReadByte(false), data[1]);
  bus.Stop();
  EXPECT_FALSE(rig.chip<sim::SerialEeprom>().Sending());
}

// A read that acknowledges its last byte leaves the chip sending the next one
// (address 0 after a whole-chip read); when that byte's bit 7 is 0 the chip holds
// SDA low and the stop cannot happen.
TEST(SerialEeprom, AnAcknowledgedLastByteCanLeaveSdaStuckLow) {
  for (std::uint8_t first : {0x12, 0x92}) {
    auto data = Data(2048, 1);
    data[0] = first;
    SimRig rig(SimSetup(6, 0x378, "24C16", data));
    Bus bus(rig, 6, "SB");
    EXPECT_EQ(bus.ReadAll(2048), data);
    auto& chip = rig.chip<sim::SerialEeprom>();
    EXPECT_EQ(chip.Sending(), first < 0x80) << std::hex << int(first);
    if (first >= 0x80) continue;
    EXPECT_EQ(chip.AddressCounter(), 1u);
    bus.l.REG4OFF();
    EXPECT_EQ(bus.Sda(), 0);  // bit 6 of 12h, after the stop's clock
    // Recovery: clock until SDA is high with SCL high, then start (SDA pulled low
    // while SCL stays high) and stop.
    int clocks = 0;
    for (; clocks < 9; ++clocks) {
      bus.l.CEOFF();
      if (bus.Sda() == 1) break;
      bus.l.CEON();
    }
    EXPECT_LT(clocks, 9);
    bus.Sda(0);
    bus.l.REG4ON();
    bus.l.CEON();
    bus.Stop();
    EXPECT_FALSE(chip.Sending());
    EXPECT_EQ(bus.ReadAll(4), std::vector<std::uint8_t>(data.begin(), data.begin() + 4));
  }
}

// What the bus routines make of it: the stop and the next start are lost, and
// the next operations find no acknowledge until the chip lets SDA go.
TEST(SerialEeprom, AfterAStuckStopTheNextOperationsFindNoAcknowledge) {
  for (std::uint8_t first : {0x12, 0x40}) {
    auto data = Data(2048, 1);
    data[0] = first;
    SimRig rig(SimSetup(6, 0x378, "24C16", data));
    Bus bus(rig, 6, "SB");
    bus.ReadAll(2048);
    const auto again = bus.ReadAll(16);
    if (first == 0x40) {  // bit 6 high lets the next start through
      EXPECT_EQ(again, std::vector<std::uint8_t>(data.begin(), data.begin() + 16));
      continue;
    }
    EXPECT_TRUE(again.empty());
    EXPECT_EQ(bus.errors, 200);
    EXPECT_EQ(bus.WriteAll(data), std::vector<int>{-1});
    EXPECT_TRUE(bus.ReadAll(16).empty());
    EXPECT_EQ(bus.ReadAll(16).size(), 16u);
  }
}

TEST(SerialEeprom, AnEmptySocketNeverAcknowledges) {
  SimRig rig(SimSetup(4, 0x378, ""));
  Bus bus(rig, 4, "SA");
  EXPECT_TRUE(bus.ReadAll(16).empty());
  EXPECT_EQ(bus.errors, 200);
}

TEST(SerialEeprom, ADeadByteAndASlowWriteCycle) {
  auto config = SimSetup(6, 0x378, "24C08");
  config.faults.dead_byte = 0x21;
  config.faults.slow_write_ns = 40'000'000;
  SimRig rig(config);
  Bus bus(rig, 6, "SA");
  const auto data = Data(64, 9);
  const auto polls = bus.WriteAll(data);
  for (int p : polls) EXPECT_NEAR(p, 13, 1);  // about 40 ms of polls 3 ms apart
  auto read = bus.ReadAll(64);
  EXPECT_EQ(read[0x21], 0xFF);
  read[0x21] = data[0x21];
  EXPECT_EQ(read, data);
}

}  // namespace
}  // namespace zambrix
