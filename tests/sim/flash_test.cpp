// JEDEC flash chips against their datasheets, driven through the socket with
// the quick latch loads of the flash command path.
#include <gtest/gtest.h>

#include <tuple>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

sim::SimConfig Setup(const char* chip, Bytes contents, std::uint64_t slow_ns) {
  auto c = testing::SimSetup(6, 0x378, chip, std::move(contents));
  c.faults.slow_write_ns = slow_ns;
  return c;
}

struct Flash : testing::SimRig {
  explicit Flash(const char* chip, Bytes contents = {}, std::uint64_t slow = 0)
      : SimRig(Setup(chip, std::move(contents), slow), "FM"), l(link()) {}
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
  // FlashCommand3 with the short command addresses (or the full ones).
  void Command3(int command, bool full = false) {
    l.OEOFF();
    Write(full ? 0x5555 : 0x555, 0xAA), Write(full ? 0x2AAA : 0x2AA, 0x55);
    Write(full ? 0x5555 : 0x555, command);
  }
  void Erase(std::uint32_t address, int command) {
    Command3(0x80);
    Write(0x555, 0xAA), Write(0x2AA, 0x55), Write(address, command);
  }
  std::uint8_t Read(std::int32_t address) { return l.CEOFF(), ReadByte(address); }  // a new cycle
  sim::JedecFlash& Chip() { return chip<sim::JedecFlash>(); }
  Link& l;
};

// The first AM29F010/040 revisions decode A14..A0 in command cycles and take 0555h as
// an array address: they never enter ID mode on the short addresses, only on
// the full ones. The EON part puts the continuation code at 0 and 1 and its
// codes at 100h and 101h.
TEST(JedecFlash, TheIdCommandOnShortOrFullAddressesAndReset) {
  struct Id {
    const char* chip;
    int at0, at1;
    bool full;
  };
  for (auto id : {Id{"AM29F040B", 0x01, 0xA4, false}, Id{"AM29F040", 0x00, 0x01, false},
                  Id{"AM29F040", 0x01, 0xA4, true}}) {
    SCOPED_TRACE(id.chip);
    Flash f(id.chip, {0x00, 0x01, 0x02});
    f.Command3(0x90, id.full);
    EXPECT_EQ(f.Read(0), id.at0);
    EXPECT_EQ(f.Read(1), id.at1);
    f.Command3(0xF0);
    EXPECT_EQ(f.Read(1), 0x01);
  }
  Flash f("AM29F040");
  f.Command3(0x90, true);
  EXPECT_EQ(f.Read(2), 0x00);  // sector not protected
  f.l.OEOFF();
  f.Write(0x1234, 0xF0);  // reset at any address
  EXPECT_EQ(f.Read(2), 0xFF);
  Flash eon("EN29F040");
  eon.Command3(0x90);
  EXPECT_EQ(std::tuple(eon.Read(0), eon.Read(0x100), eon.Read(0x101)),
            std::tuple(0x7F, 0x1C, 0x04));
}

// (A byte asked to go from 0 back to 1 is failed by the flash programming tests.)
TEST(JedecFlash, ByteProgramWithDataPollingAndToggle) {
  Flash f("A29040", Bytes(8, 0x0F), 1'000'000);  // 7 us would be over before the first read
  f.Command3(0xA0);
  f.Write(0x6789A, 0x35);
  EXPECT_TRUE(f.Chip().Busy());
  f.l.REG4OFF(), f.l.CEOEON();
  const std::uint8_t s1 = f.ReadByte(0x6789A), s2 = f.Read(0x6789A);
  EXPECT_TRUE(f.Chip().Busy());
  EXPECT_EQ(s1 & 0x80, 0x80);  // complement of bit 7 of 35h
  EXPECT_NE(s1 & 0x40, s2 & 0x40);
  f.l.SleepMs(2);
  EXPECT_EQ(f.Read(0x6789A), 0x35);
}

TEST(JedecFlash, ChipAndSectorEraseTakeSecondsAndIgnoreCommandsMeanwhile) {
  Flash f("AM29F010B", Bytes(128 * 1024, 0x00));
  f.Erase(0x555, 0x10);
  EXPECT_EQ(f.Read(0x100) & 0x88, 0x08);  // DQ7 0, DQ3 erase started
  f.Command3(0x90);                       // ignored
  f.l.SleepMs(7000);
  EXPECT_TRUE(f.Chip().Busy());
  f.l.SleepMs(1100);
  EXPECT_EQ(f.Read(0x100), 0xFF);
  EXPECT_EQ(f.Read(0x1FFFF), 0xFF);
  EXPECT_FALSE(f.Chip().InAutoselect());
  Flash s("AM29F040B", Bytes(512 * 1024, 0x00));
  s.Erase(0x70000, 0x30);
  s.Write(0x10000, 0x30);  // within 50 us: added
  s.l.SleepMs(2100);
  const auto& m = s.Memory();
  for (std::size_t a : {0x70000, 0x7FFFF, 0x1ABCD}) EXPECT_EQ(m[a], 0xFF) << a;
  for (std::size_t a : {0x20000, 0x0FFFF}) EXPECT_EQ(m[a], 0x00) << a;
}

}  // namespace
}  // namespace zambrix
