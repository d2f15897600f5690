// UV EPROMs against their datasheets, driven through the socket wiring with
// the link's latch procedures and the programming sequences of each family.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

struct Family {
  const char* key;
  const char* chip;
  int volts;  // the programming voltage the operator picks
  int model;
};

class EpromFamilies : public ::testing::TestWithParam<Family> {};

// Each family's own sequence programs its own chip, at its voltage, without harm.
TEST_P(EpromFamilies, ProgramsItsOwnChipAndNeverDamagesIt) {
  const Family f = GetParam();
  auto config = SimSetup(f.model, 0x378, f.chip);
  config.vpp_jumper = f.volts == 12 ? 12.5 : f.volts;
  SimRig rig(config);
  rig.UseBoard(f.model, 0x378);
  rig.Select(f.key);
  rig.t->dev.ProgramVoltage = f.volts;
  auto& l = rig.link();
  l.Reset();
  const std::uint32_t size = rig.socket().Spec()->size;
  for (std::int32_t a : {0, 1, 0x155, static_cast<std::int32_t>(size - 1)}) {
    const auto v = static_cast<std::uint8_t>(0x5A ^ a);
    EXPECT_GT(rig.ProgramEpromByte(a, v), 0) << f.chip << " at " << a;
  }
  l.Reg0Value = 0x40;
  l.SetReg0();
  l.Reset();
  for (std::int32_t a : {0, 1, 0x155, static_cast<std::int32_t>(size - 1)}) {
    EXPECT_EQ(rig.ReadByte(a), static_cast<std::uint8_t>(0x5A ^ a)) << f.chip << " at " << a;
  }
  EXPECT_EQ(rig.ReadByte(2), 0xFF);
  EXPECT_FALSE(rig.port.Trace().ChipDamaged()) << rig.port.Trace().DamageReport();
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, EpromFamilies,
    ::testing::Values(Family{"P1", "2732", 25, 5}, Family{"P1", "2732A", 21, 6},
                      Family{"P2", "2764", 21, 6}, Family{"P2", "27C64", 12, 5},
                      Family{"P3", "27C128", 12, 6}, Family{"P3", "27128", 21, 4},
                      Family{"P4", "27C256", 12, 6}, Family{"P4", "27256", 12, 4},
                      Family{"P5", "27C512", 12, 5}, Family{"P6", "27C010", 12, 6},
                      Family{"P7", "27C020", 12, 6}, Family{"P8", "27C040", 12, 4},
                      Family{"P9", "27C080", 12, 6}));

TEST(Eprom, BitsOnlyGoFromOneToZero) {
  SimRig rig(SimSetup(6, 0x378, "27C256"));
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  rig.link().Reset();
  EXPECT_GT(rig.ProgramEpromByte(0x10, 0x0F), 0);
  EXPECT_EQ(rig.ProgramEpromByte(0x10, 0xF0, 60), 0);  // the zeros cannot come back
  EXPECT_EQ(rig.link().ReadValue, 0x00);
}

TEST(Eprom, BytesNeedVaryingSeededPulseCounts) {
  auto pulses = [](std::uint64_t seed) {
    auto config = SimSetup(6, 0x378, "27C256");
    config.seed = seed;
    SimRig rig(config);
    rig.UseBoard(6, 0x378);
    rig.Select("P4");
    rig.link().Reset();
    std::vector<int> n;
    for (int a = 0; a < 64; ++a) n.push_back(rig.ProgramEpromByte(a, 0x00));
    return n;
  };
  const auto a = pulses(7);
  EXPECT_EQ(a, pulses(7));
  EXPECT_NE(a, pulses(8));
  EXPECT_EQ(*std::min_element(a.begin(), a.end()), 2);  // 100 us needed, about 55 us per pulse
  EXPECT_GE(*std::max_element(a.begin(), a.end()), 6);
}

TEST(Eprom, NoVppOnTheRightPinMeansNoProgramming) {
  // A 27C256 pulsed with the 27C010 family's set-up: VPP goes to ZIF pin 1, which
  // a 28-pin part does not reach.
  SimRig rig(SimSetup(6, 0x378, "27C256"));
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  rig.link().Reset();
  rig.key = "P8";
  EXPECT_EQ(rig.ProgramEpromByte(0, 0x00, 30), 0);
  EXPECT_EQ(rig.link().ReadValue, 0xFF);
  EXPECT_FALSE(rig.port.Trace().ChipDamaged());
}

TEST(Eprom, TooLowAVoltageNeverProgramsAndDoesNoHarm) {
  SimRig rig(SimSetup(5, 0x378, "2732"));
  rig.UseBoard(5, 0x378);
  rig.Select("P1");
  rig.t->dev.ProgramVoltage = 12;
  rig.link().Reset();
  EXPECT_EQ(rig.ProgramEpromByte(0, 0x00, 20), 0);
  EXPECT_FALSE(rig.port.Trace().ChipDamaged());
}

struct Damage {
  const char* key;
  const char* chip;
  int volts;
  const char* report;
};

class EpromDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(EpromDamage, DestroysThePartAndSaysWhy) {
  const Damage d = GetParam();
  SimRig rig(SimSetup(6, 0x378, d.chip, std::vector<std::uint8_t>(16, 0x77)));
  rig.UseBoard(6, 0x378);
  rig.Select(d.key);
  rig.t->dev.ProgramVoltage = d.volts;
  rig.link().Reset();
  rig.ProgramEpromByte(0, 0x00, 3);
  EXPECT_EQ(rig.port.Trace().DamageReport(), d.report);
  ASSERT_EQ(rig.port.Trace().Events().size(), 1u);
  EXPECT_TRUE(rig.socket().Chip()->Destroyed());
}

TEST(Eprom, ADestroyedPartReadsUnpredictably) {
  SimRig rig(SimSetup(5, 0x378, "27C256", std::vector<std::uint8_t>(16, 0x77)));
  rig.UseBoard(5, 0x378);
  rig.Select("P4");
  auto& l = rig.link();
  l.Reset();
  EXPECT_EQ(rig.ReadByte(1), 0x77);
  l.Reg0Value = 0x5A;  // 21 V on VPP switch A
  l.SetReg0();
  l.Reg0Value = 0x40;
  l.SetReg0();
  std::set<int> seen;
  for (int i = 0; i < 8; ++i) {
    seen.insert(rig.ReadByte(1));
    l.CEOFF();
  }
  EXPECT_GT(seen.size(), 1u);
  EXPECT_EQ(rig.port.Trace().DamageReport(), "27C256 destroyed: 21 V on pin 1 (VPP, rated 14 V)");
}

INSTANTIATE_TEST_SUITE_P(
    WrongVoltageOrPin, EpromDamage,
    ::testing::Values(
        Damage{"P1", "27C256", 25, "27C256 destroyed: 25 V on pin 22 (OE, rated 7 V)"},
        Damage{"P1", "2732A", 25, "2732A destroyed: 25 V on pin 20 (OE/VPP, rated 22 V)"},
        Damage{"P2", "27C64", 21, "27C64 destroyed: 21 V on pin 1 (VPP, rated 14 V)"},
        Damage{"P4", "27C512", 12,
               "27C512 destroyed: 12.5 V on pin 1 (an address or strobe input, "
               "rated 7 V)"},
        Damage{"P4", "X28C256", 12,
               "X28C256 destroyed: 12.5 V on pin 1 (an address or strobe "
               "input, rated 7 V)"},
        Damage{"P8", "27C080", 12,
               "27C080 destroyed: 12.5 V on pin 1 (an address or strobe input, "
               "rated 7 V)"},
        Damage{"P9", "27C040", 12, "27C040 destroyed: 12.5 V on pin 24 (OE, rated 7 V)"}));

TEST(Eprom, ADeadByteNeverProgramsWithinThePulseBudget) {
  auto config = SimSetup(6, 0x378, "27C256");
  config.faults.dead_byte = 0x1A3;
  SimRig rig(config);
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  rig.link().Reset();
  EXPECT_GT(rig.ProgramEpromByte(0x1A2, 0x3C), 0);
  EXPECT_EQ(rig.ProgramEpromByte(0x1A3, 0x3C), 0);
  EXPECT_EQ(rig.link().ReadValue, 0xFF);
}

}  // namespace
}  // namespace zambrix
