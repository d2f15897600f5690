// The socket wiring against the catalogue: with each key's fixed latch bits the
// part it serves is powered, idle after a reset, and sees the addresses the
// link puts on the latches.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

struct Row {
  const char* key;
  const char* chip;
};

class Wiring : public ::testing::TestWithParam<Row> {};

TEST_P(Wiring, FixedBitsPowerThePartAndAddressesReachIt) {
  const Row r = GetParam();
  testing::SimRig rig(testing::SimSetup(6, 0x378, r.chip));
  rig.UseBoard(6, 0x378);
  rig.Select(r.key);
  auto& l = rig.link();
  l.Reset();
  const auto& pins = rig.socket().Pins();
  const auto& spec = *rig.socket().Spec();
  EXPECT_TRUE(pins.powered);
  EXPECT_FALSE(pins.ce_low);
  EXPECT_FALSE(pins.oe_low);
  EXPECT_FALSE(pins.strobe_low);
  EXPECT_LE(pins.vpp, 5.0);  // no programming voltage at rest
  // Reset holds latch 3 bit 2 high (PGM and WE at rest), which is A18 on the
  // 4- and 8-Mbit EPROMs.
  const bool a18_on_bit2 =
      spec.family == sim::Family::k27C040 || spec.family == sim::Family::k27C080;
  EXPECT_EQ(pins.address, a18_on_bit2 ? 0x40000u : 0u);
  for (std::uint32_t a : {spec.size - 1, 0x5555u % spec.size, 0x2AAAu % spec.size, spec.size / 2}) {
    l.CurrentAddress = static_cast<std::int32_t>(a);
    l.Endereco2Adr();
    l.SETADR();
    EXPECT_EQ(pins.address, a) << r.key;
    EXPECT_TRUE(pins.powered);
    EXPECT_FALSE(pins.strobe_low) << r.key << " at " << a;
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Wiring,
                         ::testing::Values(Row{"P1", "2732"}, Row{"P2", "2764"}, Row{"P3", "27128"},
                                           Row{"P4", "27C256"}, Row{"P5", "27C512"},
                                           Row{"P6", "27C010"}, Row{"P7", "27C020"},
                                           Row{"P8", "27C040"}, Row{"P9", "27C080"},
                                           Row{"EN", "X28C256"}, Row{"FS", "AM29F010"},
                                           Row{"FM", "AM29F040"}));

// The AT29C256 has the X28C256's pinout, but its catalogue row holds latch 1
// bit 7 high (A14 on this socket) and strobes it as WE, while the part's WE
// (pin 27) follows address bit 14. Kept here as the conflict it is.
TEST(Wiring, TheAt29c256RowDrivesA14WhereThePartExpectsWe) {
  testing::SimRig rig(testing::SimSetup(6, 0x378, "AT29C256"));
  rig.UseBoard(6, 0x378);
  rig.Select("FA");
  rig.link().Reset();
  const auto& pins = rig.socket().Pins();
  EXPECT_EQ(pins.address, 0x4000u);  // address 0 reaches the part as 4000h
  EXPECT_TRUE(pins.strobe_low);      // and WE is low whenever A14 is 0
}

TEST(Wiring, TheSerialSocketHasSclOnTheChipEnableLineAndSdaOnD7) {
  testing::SimRig rig(testing::SimSetup(5, 0x378, "24C08"));
  rig.UseBoard(5, 0x378);
  rig.Select("SA");
  auto& l = rig.link();
  const auto& pins = rig.socket().Pins();
  EXPECT_FALSE(pins.scl);  // CEON: SCL low
  l.CEOFF();
  EXPECT_TRUE(pins.scl);
  l.Reg4Value = 0x7F;
  l.SetReg4();
  l.REG4ON();
  EXPECT_EQ(pins.data & 0x80, 0);
  l.REG4OFF();
  EXPECT_EQ(pins.data & 0x80, 0x80);  // released: pulled up
}

}  // namespace
}  // namespace zambrix
