// The socket wiring against the catalogue: with each key's fixed latch bits the
// part it serves is powered, idle after a reset, and sees the addresses the
// link puts on the latches.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

TEST(Wiring, FixedBitsPowerEachPartAndAddressesReachIt) {
  const std::pair<const char*, const char*> rows[] = {
      {"P1", "2732"},   {"P2", "2764"},    {"P3", "27128"},    {"P4", "27C256"},
      {"P5", "27C512"}, {"P6", "27C010"},  {"P7", "27C020"},   {"P8", "27C040"},
      {"P9", "27C080"}, {"EN", "X28C256"}, {"FS", "AM29F010"}, {"FM", "AM29F040"}};
  for (auto [key, chip] : rows) {
    SCOPED_TRACE(key);
    SimRig rig(SimSetup(6, 0x378, chip), key);
    const auto& pins = rig.socket().Pins();
    const auto& spec = *rig.socket().Spec();
    EXPECT_TRUE(pins.powered);
    EXPECT_FALSE(pins.ce_low || pins.oe_low || pins.strobe_low);
    EXPECT_LE(pins.vpp, 5.0);  // no programming voltage at rest
    // The reset holds latch 3 bit 2 high (PGM and WE at rest), which is A18 on
    // the 4- and 8-Mbit EPROMs.
    const bool a18 = spec.family == sim::Family::k27C040 || spec.family == sim::Family::k27C080;
    EXPECT_EQ(pins.address, a18 ? 0x40000u : 0u);
    for (std::uint32_t a :
         {spec.size - 1, 0x5555u % spec.size, 0x2AAAu % spec.size, spec.size / 2}) {
      auto& l = rig.link();
      l.CurrentAddress = static_cast<std::int32_t>(a);
      l.Endereco2Adr();
      l.SETADR();
      EXPECT_EQ(pins.address, a);
      EXPECT_TRUE(pins.powered);
      EXPECT_FALSE(pins.strobe_low) << " at " << a;
    }
  }
}

// The AT29C256 has the X28C256's pinout, but its catalogue row holds latch 1
// bit 7 high (A14 on this socket) and strobes it as WE, while the part's WE
// (pin 27) follows address bit 14. Kept here as the conflict it is.
TEST(Wiring, TheAt29c256RowDrivesA14WhereThePartExpectsWe) {
  SimRig rig(SimSetup(6, 0x378, "AT29C256"), "FA");
  EXPECT_EQ(rig.socket().Pins().address, 0x4000u);  // address 0 reaches the part as 4000h
  EXPECT_TRUE(rig.socket().Pins().strobe_low);      // and WE is low whenever A14 is 0
}

}  // namespace
}  // namespace zambrix
