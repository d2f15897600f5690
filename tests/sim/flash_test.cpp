// JEDEC flash chips against their datasheets, driven through the socket with
// the quick latch loads of the flash command path.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

struct Flash {
  Flash(SimRig& r, int model = 6) : rig(r), l(r.link()) {
    rig.UseBoard(model, 0x378);
    rig.Select("FM");
    l.Reset();
  }
  // A quick latch load: data, strobe, select; no shadow changes.
  void Quick(int n, int v) {
    l.PortOut(l.PortAddress, v);
    l.PortOut(l.ControlPort, l.RegStrobe[static_cast<std::size_t>(n)]);
    l.PortOut(l.ControlPort, l.RegSelect[static_cast<std::size_t>(n)]);
  }
  // One write cycle of `data` at a chip address, WE-controlled like the quick path.
  void Write(std::uint32_t address, int data) {
    const int high = l.AddressHighMap[(address >> 16) & 0xFF] | 0x04;
    Quick(3, 0x84 | high);
    Quick(4, data), Quick(1, (address >> 8) & 0xFF), Quick(2, address & 0xFF);
    Quick(3, high), Quick(3, high & ~0x04), Quick(3, high), Quick(3, 0x84 | high);
  }
  void Unlock(std::uint32_t a555 = 0x555, std::uint32_t a2aa = 0x2AA) {
    Write(a555, 0xAA), Write(a2aa, 0x55);
  }
  // FlashCommand3 with the short command addresses.
  void Command3(int command) {
    l.OEOFF();
    Unlock();
    Write(0x555, command);
  }
  std::uint8_t Read(std::int32_t address) {
    l.CEOFF();  // a new read cycle
    return rig.ReadByte(address);
  }
  SimRig& rig;
  Link& l;
};

std::vector<std::uint8_t> Contents(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
  return v;
}

struct Id {
  const char* chip;
  int at0, at1;  // what the identification reads at addresses 0 and 1
};
class FlashIds : public ::testing::TestWithParam<Id> {};

TEST_P(FlashIds, TheQuickIdCommandAndReset) {
  const Id id = GetParam();
  SimRig rig(SimSetup(6, 0x378, id.chip, Contents(16)));
  Flash f(rig);
  f.Command3(0x90);
  EXPECT_EQ(f.Read(0), id.at0) << id.chip;
  EXPECT_EQ(f.Read(1), id.at1) << id.chip;
  f.Command3(0xF0);
  EXPECT_EQ(f.Read(0), 0x00);
  EXPECT_EQ(f.Read(1), 0x01);
}

// The original AM29F010/040 decode A14..A0 in command cycles and take 0555h as
// an array address: they never enter ID mode on the short addresses. The EON
// part puts the continuation code at 0 and 1 and its codes at 100h and 101h.
INSTANTIATE_TEST_SUITE_P(Parts, FlashIds,
                         ::testing::Values(Id{"AM29F040B", 0x01, 0xA4}, Id{"AM29F010B", 0x01, 0x20},
                                           Id{"A29040", 0x37, 0x86}, Id{"EN29F040", 0x7F, 0x7F},
                                           Id{"AM29F040", 0x00, 0x01}, Id{"AM29F010", 0x00, 0x01}));

TEST(JedecFlash, FullCommandAddressesReachTheOriginalParts) {
  SimRig rig(SimSetup(6, 0x378, "AM29F040"));
  Flash f(rig);
  f.l.OEOFF();
  f.Unlock(0x5555, 0x2AAA);
  f.Write(0x5555, 0x90);
  EXPECT_EQ(f.Read(0), 0x01);
  EXPECT_EQ(f.Read(1), 0xA4);
  EXPECT_EQ(f.Read(2), 0x00);  // sector not protected
  f.l.OEOFF();
  f.Write(0x1234, 0xF0);  // reset at any address
  EXPECT_EQ(f.Read(0), 0xFF);
}

TEST(JedecFlash, TheEonPartShowsItsCodesAt100h) {
  SimRig rig(SimSetup(6, 0x378, "EN29F040"));
  Flash f(rig);
  f.Command3(0x90);
  EXPECT_EQ(f.Read(0x100), 0x1C);
  EXPECT_EQ(f.Read(0x101), 0x04);
}

TEST(JedecFlash, ByteProgramWithDataPollingAndToggle) {
  auto config = SimSetup(6, 0x378, "AM29F040B");
  config.faults.slow_write_ns = 1'000'000;  // 7 us would be over before the first read
  SimRig rig(config);
  auto& chip = rig.chip<sim::JedecFlash>();
  Flash f(rig);
  f.Command3(0xA0);
  f.Write(0x6789A, 0x35);
  EXPECT_TRUE(chip.Busy());
  f.l.REG4OFF();
  f.l.CEOEON();
  const std::uint8_t s1 = f.rig.ReadByte(0x6789A);
  const std::uint8_t s2 = f.Read(0x6789A);
  EXPECT_TRUE(chip.Busy());
  EXPECT_EQ(s1 & 0x80, 0x80);  // complement of bit 7 of 35h
  EXPECT_NE(s1 & 0x40, s2 & 0x40);
  f.l.SleepMs(2);
  EXPECT_EQ(f.Read(0x6789A), 0x35);
  EXPECT_EQ(chip.Memory()[0x6789A], 0x35);
}

TEST(JedecFlash, AZeroCannotBeProgrammedBackToOne) {
  SimRig rig(SimSetup(6, 0x378, "A29040", std::vector<std::uint8_t>(8, 0x0F)));
  auto& chip = rig.chip<sim::JedecFlash>();
  Flash f(rig);
  f.Command3(0xA0);
  f.Write(5, 0xF0);
  f.l.SleepMs(1);
  const std::uint8_t a = f.Read(5), b = f.Read(5);
  EXPECT_EQ(a & 0x20, 0x20);  // DQ5: time limit exceeded
  EXPECT_NE(a & 0x40, b & 0x40);
  EXPECT_TRUE(chip.TimeLimitExceeded());
  f.Command3(0x90);  // ignored: only a reset helps
  EXPECT_EQ(f.Read(5) & 0x20, 0x20);
  f.l.OEOFF();
  f.Write(0, 0xF0);
  EXPECT_EQ(f.Read(5), 0x0F);
}

TEST(JedecFlash, ChipEraseTakesSecondsAndCommandsAreIgnoredMeanwhile) {
  SimRig rig(SimSetup(6, 0x378, "AM29F010B", std::vector<std::uint8_t>(128 * 1024, 0x00)));
  auto& chip = rig.chip<sim::JedecFlash>();
  Flash f(rig);
  f.Command3(0x80);
  f.Unlock();
  f.Write(0x555, 0x10);
  const std::uint8_t s = f.Read(0x100);
  EXPECT_EQ(s & 0x88, 0x08);  // DQ7 0, DQ3 erase started
  f.Command3(0x90);           // ignored
  f.l.SleepMs(7000);
  EXPECT_TRUE(chip.Busy());
  f.l.SleepMs(1100);
  EXPECT_EQ(f.Read(0x100), 0xFF);
  EXPECT_EQ(f.Read(0x1FFFF), 0xFF);
  EXPECT_FALSE(chip.InAutoselect());
}

TEST(JedecFlash, SectorEraseTakesTheSectorsNamedWithinTheWindow) {
  SimRig rig(SimSetup(6, 0x378, "AM29F040B", std::vector<std::uint8_t>(512 * 1024, 0x00)));
  Flash f(rig);
  f.Command3(0x80);
  f.Unlock();
  f.Write(0x70000, 0x30);
  f.Write(0x10000, 0x30);  // within 50 us: added
  f.l.SleepMs(2100);
  auto& m = rig.chip<sim::JedecFlash>().Memory();
  rig.port.Sync();
  EXPECT_EQ(m[0x70000], 0xFF);
  EXPECT_EQ(m[0x7FFFF], 0xFF);
  EXPECT_EQ(m[0x1ABCD], 0xFF);
  EXPECT_EQ(m[0x20000], 0x00);
  EXPECT_EQ(m[0x0FFFF], 0x00);
}

// The flash reset of the service menu: WE held low, the write timed by CE.
TEST(JedecFlash, TheResetMenuCommandLeavesIdMode) {
  SimRig rig(SimSetup(5, 0x378, "AM29F040B", Contents(4)));
  Flash f(rig, 5);
  f.Command3(0x90);
  EXPECT_EQ(f.Read(0), 0x01);
  auto& l = f.l;
  l.CEOFF(), l.OEOFF();
  l.Reg4Value = 0xF0, l.SetReg4();
  l.REG4ON();
  l.Reg3Value =
      (l.Reg3Value | l.AddressHighMap[static_cast<std::size_t>(l.AddressHigh)] | l.Reg3Fixed) &
      ~0x04;
  l.SetReg3();
  l.CEON(), l.CEOFF();
  l.Reg3Value |= 0x04, l.SetReg3();
  EXPECT_EQ(f.Read(0), 0x00);
}

}  // namespace
}  // namespace zambrix
