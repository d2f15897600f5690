// A known byte read back through the link for each board model.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i)
    v[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8)) & 0xFF);
  return v;
}

TEST(ReadBack, EveryByteValueComesBackThroughGetNibblesOnEachModel) {
  for (int model : {4, 5, 6}) {
    testing::SimRig rig(testing::SimSetup(model, 0x3BC, "27C256", Pattern(32768)));
    rig.UseBoard(model, 0x3BC);
    rig.Select("P4");
    rig.link().Reset();
    for (std::int32_t a : {0, 1, 0x1234, 0x4000, 0x7FFF}) {
      EXPECT_EQ(rig.ReadByte(a), Pattern(32768)[static_cast<std::size_t>(a)])
          << "model " << model << " at " << a;
    }
    // All 256 values, one per address: every data bit in both nibbles.
    std::vector<std::uint8_t> img(32768, 0xFF);
    for (int i = 0; i < 256; ++i) img[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    rig.port.InsertChip(sim::FindChipSpec("27C256"), img);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(rig.ReadByte(i), i) << "model " << model;
  }
}

TEST(ReadBack, ModelFourCarriesDataBitsOneAndFiveOnTheInvertedBusyLine) {
  testing::SimRig rig(testing::SimSetup(4, 0x378, "27C256", {0x02}));
  rig.UseBoard(4, 0x378);
  rig.Select("P4");
  rig.ReadByte(0);
  auto& l = rig.link();
  l.PortOut(l.ControlPort, l.NibbleSelectLow);
  EXPECT_EQ(l.PortIn(l.StatusPort) & 0x80, 0x00);  // bit 1 high on BUSY reads 0
  l.PortOut(l.ControlPort, l.NibbleSelectHigh);
  EXPECT_EQ(l.PortIn(l.StatusPort) & 0x80, 0x80);  // bit 5 low reads 1
}

TEST(ReadBack, ChipOutputsNeedChipEnableAndOutputEnable) {
  testing::SimRig rig(testing::SimSetup(6, 0x378, "27C256", {0x12}));
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  auto& l = rig.link();
  EXPECT_EQ(rig.ReadByte(0), 0x12);
  l.CEOFF();
  l.GetNibbles();
  EXPECT_EQ(l.ReadValue, 0xFF);
  l.CEON();
  l.OEOFF();
  l.GetNibbles();
  EXPECT_EQ(l.ReadValue, 0xFF);
  l.OEON();
  l.GetNibbles();
  EXPECT_EQ(l.ReadValue, 0x12);
}

TEST(ReadBack, LatchAndChipDrivingTogetherReadAsTheirAnd) {
  testing::SimRig rig(testing::SimSetup(5, 0x378, "27C256", {0x3C}));
  rig.UseBoard(5, 0x378);
  rig.Select("P4");
  auto& l = rig.link();
  rig.ReadByte(0);
  l.Reg4Value = 0xF0;
  l.SetReg4();
  l.REG4ON();
  l.GetNibbles();
  EXPECT_EQ(l.ReadValue, 0x30);
  l.ReadBackByte();  // FFh into the latch, then released: the chip alone
  EXPECT_EQ(l.ReadValue, 0x3C);
}

TEST(ReadBack, AnEmptySocketReadsFF) {
  testing::SimRig rig(testing::SimSetup(6, 0x378, ""));
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  EXPECT_EQ(rig.ReadByte(0x100), 0xFF);
}

}  // namespace
}  // namespace zambrix
