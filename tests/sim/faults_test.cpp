// Injected faults, reproducible from the options and the seed.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

int ModelFourPattern(sim::SimPort& p, std::uint16_t base) {
  auto d = [&](int v) { p.PortOut(base, static_cast<std::uint8_t>(v)); };
  auto c = [&](int v) {
    p.PortOut(static_cast<std::uint16_t>(base + 2), static_cast<std::uint8_t>(v));
  };
  auto r = [&] { return p.PortIn(static_cast<std::uint16_t>(base + 1)) & 0x70; };
  c(9), d(0xBF), c(1), c(9), d(0x00), c(15), c(9);
  const int r3 = r();
  d(0xFF), c(15), c(9);
  const int r4 = r();
  c(8);
  return r3 * 256 + r4;
}

TEST(Faults, NoBoardLeavesAPortWithEveryStatusLineHigh) {
  auto config = SimSetup(4, 0x378, "27C256");
  config.faults.no_board = true;
  VirtualClock clock(10);
  sim::SimPort port(config, clock);
  EXPECT_FALSE(port.BoardConnected());
  EXPECT_EQ(ModelFourPattern(port, 0x378), 0x7070);
  EXPECT_EQ(port.PortIn(0x379), 0x7F);
  port.PortOut(0x378, 0x42);
  EXPECT_EQ(port.PortIn(0x378), 0x42);  // the port's own register is still there
}

TEST(Faults, TheBoardVanishesAfterTheGivenNumberOfAccesses) {
  auto config = SimSetup(4, 0x278, "27C256");
  config.faults.vanish_after = 30;
  VirtualClock clock(10);
  sim::SimPort port(config, clock);
  EXPECT_EQ(ModelFourPattern(port, 0x278), 0x70);  // 13 accesses
  EXPECT_EQ(ModelFourPattern(port, 0x278), 0x70);  // 26
  EXPECT_NE(ModelFourPattern(port, 0x278), 0x70);  // gone at the 30th
  ASSERT_EQ(port.Trace().Events().size(), 1u);
  EXPECT_EQ(port.Trace().Events()[0].text, "the board vanished after 30 port accesses");
  EXPECT_EQ(port.Trace().Events()[0].ns, 30'000u);
}

TEST(Faults, StuckDataLinesAffectReadsAndWhatTheChipSees) {
  auto config = SimSetup(6, 0x378, "27C256", {0xFF, 0x00});
  config.faults.stuck_low = 0x08;
  config.faults.stuck_high = 0x01;
  SimRig rig(config);
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  EXPECT_EQ(rig.ReadByte(0), 0xF7);
  EXPECT_EQ(rig.ReadByte(1), 0x01);
  rig.link().Reset();
  // FEh reaches the chip as F7h: bit 0 cannot go low, bit 3 goes low unasked.
  EXPECT_EQ(rig.ProgramEpromByte(2, 0xFE, 40), 0);
  EXPECT_EQ(rig.chip<sim::Eprom>().Memory()[2], 0xF7);
}

TEST(Faults, ARandomDeadByteIsTheSameForTheSameSeed) {
  auto dead = [](std::uint64_t seed) {
    auto config = SimSetup(6, 0x378, "24C16");
    config.seed = seed;
    config.faults.dead_byte_random = true;
    VirtualClock clock(10);
    sim::SimPort port(config, clock);
    return port.Trace().Events().at(0).text;
  };
  EXPECT_EQ(dead(3), dead(3));
  EXPECT_NE(dead(3), dead(4));
  EXPECT_NE(dead(3).find(" of the chip never takes a written value"), std::string::npos);
}

TEST(Faults, OptionsParseIntoTheFaults) {
  auto c = sim::ParseSimOptions(
      {{"fault", "stuck-bit=3:0,stuck-bit=7:1,dead-byte=1A3h,slow-write=12ms,vanish=500"},
       {"chip", "X28C256+sdp"},
       {"seed", "99"}});
  EXPECT_EQ(c.faults.stuck_low, 0x08);
  EXPECT_EQ(c.faults.stuck_high, 0x80);
  EXPECT_EQ(c.faults.dead_byte, 0x1A3u);
  EXPECT_EQ(c.faults.slow_write_ns, 12'000'000u);
  EXPECT_EQ(c.faults.vanish_after, 500u);
  EXPECT_TRUE(c.protect);
  EXPECT_EQ(c.seed, 99u);
  c = sim::ParseSimOptions({{"fault", "empty-socket,slow-write=800us"}, {"chip", "27C512"}});
  EXPECT_EQ(c.chip, nullptr);
  EXPECT_EQ(c.faults.slow_write_ns, 800'000u);
}

}  // namespace
}  // namespace zambrix
