// UV EPROMs against their datasheets, programmed by the program's own routines
// on the simulated board: bits only go from one to zero, and only with VPP on
// the pin that takes it; each byte needs its own seeded number of pulses; a
// voltage on a pin that cannot take it (the wrong part in the socket) destroys
// the part, which then reads unpredictably.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ops/program_window_support.h"
#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::Programmer;

// `device` chosen for the part in `p`'s socket, at the voltage option given
// (0: the selection's own), without the blank check, and `image` programmed.
void Program(Programmer& p, const std::string& device, std::vector<std::uint8_t> image,
             int voltage_option = 0) {
  p.Choose(device);
  if (voltage_option != 0) p.core().ChangeValue(Indexed("Voltage_button", voltage_option), 1);
  p.core().ChangeValue("CheckBlankPriorProgramming", 0);
  p.Load(image);
  p.core().Click("Program_button");
}

TEST(Eprom, BitsOnlyGoFromOneToZeroAndOnlyWithVppOnTheRightPin) {
  std::vector<std::uint8_t> chip(32768, 0xFF), image(32768, 0xFF);
  chip[0x10] = 0x0F;
  image[0x10] = 0xF0;
  Programmer p("27C256", chip);
  Program(p, "Eprom 27C256", image);
  EXPECT_TRUE(p.Logged("*** Programming Failure ***"));
  EXPECT_EQ(p.Chip()[0x10], 0x00);  // the zeros cannot come back
  // The 27C040's routine puts VPP on pin 1 of the 32-pin socket, which a
  // 28-pin part does not reach.
  Programmer wrong("27C256");
  std::vector<std::uint8_t> zeros(512 * 1024, 0xFF);
  zeros[0x20] = 0x00;
  Program(wrong, "Eprom 27C040", zeros);
  EXPECT_TRUE(wrong.Logged("*** Programming Failure ***"));
  EXPECT_EQ(wrong.Chip()[0x20], 0xFF);
  EXPECT_FALSE(p.port->Trace().ChipDamaged() || wrong.port->Trace().ChipDamaged());
}

TEST(Eprom, VppOnAPinThatCannotTakeItDestroysThePartWhichThenReadsUnpredictably) {
  struct Damage {
    const char* chip;
    const char* device;
    int voltage_option;
    const char* report;
  };
  for (auto d :
       {Damage{"27C256", "Eprom 2732", 3, "27C256 destroyed: 25 V on pin 22 (OE, rated 7 V)"},
        Damage{"27C512", "Eprom 27C256", 0,
               "27C512 destroyed: 12.5 V on pin 1 (an address or strobe input, rated 7 V)"},
        Damage{"27C040", "Eprom 27C080", 0,
               "27C040 destroyed: 12.5 V on pin 24 (OE, rated 7 V)"}}) {
    SCOPED_TRACE(d.report);
    Programmer p(d.chip);
    std::vector<std::uint8_t> image(sim::FindChipSpec(d.chip)->size, 0xFF);
    image[0] = 0x00;
    Program(p, d.device, image, d.voltage_option);
    EXPECT_EQ(p.port->Trace().DamageReport(), d.report);
    const auto& events = p.port->Trace().Events();
    EXPECT_EQ(
        std::count_if(events.begin(), events.end(),
                      [](const sim::SimEvent& e) { return e.kind == sim::EventKind::kDamage; }),
        1);
  }
  testing::SimRig rig(testing::SimSetup(5, 0x378, "27C256", std::vector<std::uint8_t>(16, 0x77)),
                      "P4");
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
