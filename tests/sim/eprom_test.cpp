// UV EPROMs against their datasheets, driven through the socket wiring with
// the link's latch procedures and the programming sequences of each family.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;

// A board with `chip` in the socket and `key` selected at `volts`.
struct Rig : SimRig {
  Rig(const char* key, const char* chip, int volts, int model, sim::SimConfig c = {})
      : SimRig(Setup(chip, volts, model, c), key) {
    t->dev.ProgramVoltage = volts;
  }
  static sim::SimConfig Setup(const char* chip, int volts, int model, sim::SimConfig c) {
    auto s = testing::SimSetup(model, 0x378, chip, c.contents);
    s.vpp_jumper = volts == 12 ? 12.5 : volts;
    s.seed = c.seed, s.faults = c.faults;
    return s;
  }
};

TEST(Eprom, BitsOnlyGoFromOneToZeroAndOnlyWithTheRightVpp) {
  Rig rig("P4", "27C256", 12, 6);
  EXPECT_GT(rig.ProgramEpromByte(0x10, 0x0F), 0);
  EXPECT_EQ(rig.ProgramEpromByte(0x10, 0xF0, 60), 0);  // the zeros cannot come back
  EXPECT_EQ(rig.link().ReadValue, 0x00);
  // The 27C010 family's set-up puts VPP on ZIF pin 1, which a 28-pin part does not reach.
  rig.key = "P8";
  EXPECT_EQ(rig.ProgramEpromByte(0x20, 0x00, 30), 0);
  EXPECT_EQ(rig.link().ReadValue, 0xFF);
  Rig low("P1", "2732", 12, 5);  // 12.5 V is too low for a 25 V part
  EXPECT_EQ(low.ProgramEpromByte(0x20, 0x00, 20), 0);
  EXPECT_FALSE(rig.trace().ChipDamaged() || low.trace().ChipDamaged());
}

TEST(Eprom, BytesNeedVaryingSeededPulseCounts) {
  auto pulses = [](std::uint64_t seed) {
    sim::SimConfig c;
    c.seed = seed;
    Rig rig("P4", "27C256", 12, 6, c);
    std::vector<int> n;
    for (int a = 0; a < 64; ++a) n.push_back(rig.ProgramEpromByte(a, 0x00));
    return n;
  };
  const auto a = pulses(7);
  EXPECT_EQ(a, pulses(7));
  EXPECT_NE(a, pulses(8));
  EXPECT_EQ(*std::min_element(a.begin(), a.end()), 2);  // 100 us needed, about 55 us per pulse
}

TEST(Eprom, VppTooHighOrOnAnInputDestroysThePartWhichThenReadsUnpredictably) {
  struct Damage {
    const char* key;
    const char* chip;
    int volts;
    const char* report;
  };
  for (auto d :
       {Damage{"P1", "27C256", 25, "27C256 destroyed: 25 V on pin 22 (OE, rated 7 V)"},
        Damage{"P4", "27C512", 12,
               "27C512 destroyed: 12.5 V on pin 1 (an address or strobe input, rated 7 V)"},
        Damage{"P9", "27C040", 12, "27C040 destroyed: 12.5 V on pin 24 (OE, rated 7 V)"}}) {
    SCOPED_TRACE(d.report);
    Rig rig(d.key, d.chip, d.volts, 6);
    rig.ProgramEpromByte(0, 0x00, 3);
    EXPECT_EQ(rig.trace().DamageReport(), d.report);
    const auto& events = rig.trace().Events();
    EXPECT_EQ(
        std::count_if(events.begin(), events.end(),
                      [](const sim::SimEvent& e) { return e.kind == sim::EventKind::kDamage; }),
        1);
  }
  sim::SimConfig c;
  c.contents.assign(16, 0x77);
  Rig rig("P4", "27C256", 12, 5, c);
  auto& l = rig.link();
  EXPECT_EQ(rig.ReadByte(1), 0x77);
  l.Reg0Value = 0x5A, l.SetReg0();  // 21 V on VPP switch A
  l.Reg0Value = 0x40, l.SetReg0();
  std::set<int> seen;
  for (int i = 0; i < 8; ++i) seen.insert(rig.ReadByte(1)), l.CEOFF();
  EXPECT_GT(seen.size(), 1u);
  EXPECT_EQ(rig.trace().DamageReport(), "27C256 destroyed: 21 V on pin 1 (VPP, rated 14 V)");
}

}  // namespace
}  // namespace zambrix
