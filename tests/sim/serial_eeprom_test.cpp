// The 24C08, 24C16 and 24C32 as two-wire slaves, driven with the link's latch
// procedures and the bus routines of the serial EEPROM unit.
#include <gtest/gtest.h>

#include "support/serial_bus.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::Bus;

Bytes Data(int size, int seed) {
  Bytes v(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) v[std::size_t(i)] = std::uint8_t(i * 13 + seed + (i >> 8));
  return v;
}

TEST(SerialEeprom, TheAcknowledgeLastsFromTheEighthFallingEdgeToTheNinth) {
  Bus bus("SB", "24C16");
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
  l.REG4OFF(), l.CEOFF();
  EXPECT_EQ(bus.Sda(), 0);
  l.CEON();
  EXPECT_EQ(bus.Sda(), 1);
}

TEST(SerialEeprom, PageWritesWrapWithinThePageAndTheWriteCycleAnswersNothing) {
  Bus bus("SB", "24C16", 5);
  bus.Start();
  bus.Send(0xA2), bus.Send(0x0E);
  for (int i = 0; i < 20; ++i) bus.Send(i);
  bus.Stop();
  bus.Start();
  EXPECT_FALSE(bus.SendPoll(0xA2));
  EXPECT_TRUE(bus.Chip().Busy());
  bus.l.SleepMs(4);
  bus.Start();
  EXPECT_TRUE(bus.SendPoll(0xA2));
  const auto& m = bus.Memory();
  // Bytes 0 and 1 went to 10Eh/10Fh, then were overwritten by 16 and 17.
  EXPECT_EQ(Bytes(m.begin() + 0x100, m.begin() + 0x111),
            (Bytes{18, 19, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 0xFF}));
}

TEST(SerialEeprom, BlockBitsAddressAndSequentialReadsRollOverAtTheEndOfTheChip) {
  auto data = Data(1024, 3);
  Bus bus("SA", "24C08", 6, data);
  bus.Start();
  EXPECT_FALSE(bus.SendPoll(0xA8));  // A2 = 1: the grounded pin does not match
  bus.Start();
  bus.Send(0xA6), bus.Send(0xFE);  // block 3 of a 24C08
  bus.Start();
  bus.Send(0xA1);  // block bits of a read are not used: the counter is
  bus.l.REG4OFF(), bus.Sda(0);
  EXPECT_EQ(bus.ReadByte(), data[0x3FE]);
  EXPECT_EQ(bus.ReadByte(), data[0x3FF]);
  EXPECT_EQ(bus.ReadByte(), data[0]);
  EXPECT_EQ(bus.ReadByte(false), data[1]);
  bus.Stop();
  EXPECT_FALSE(bus.Chip().Sending());
}

}  // namespace
}  // namespace zambrix
