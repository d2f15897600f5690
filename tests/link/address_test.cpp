#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::Concat;
using testing::In;
using testing::Install;
using testing::Load;
using testing::Out;
using testing::TestCore;

TEST(Address, SplitAndStepCarryIntoTheNextByte) {
  TestCore t;
  auto& link = t->link;
  link.CurrentAddress = 70000;
  link.Endereco2Adr();
  EXPECT_EQ(link.AddressHigh, 1);
  EXPECT_EQ(link.AddressMid, 17);
  EXPECT_EQ(link.AddressLow, 112);

  link.CurrentAddress = 0x1FFFF;
  link.Endereco2Adr();
  link.IncADR();
  EXPECT_EQ(link.CurrentAddress, 0x20000);
  EXPECT_EQ(link.AddressLow, 0);
  EXPECT_EQ(link.AddressMid, 0);
  EXPECT_EQ(link.AddressHigh, 2);
  EXPECT_TRUE(t.recording.Log().empty());
}

TEST(Address, SetadrLoadsLatchesOneTwoThreeThroughTheMapsAndKeepsLatchThreeUpperBits) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  link.BuildIdentityMaps();
  link.AddressHighMap[5] = 9;  // address bit 18 moved to latch 3 bit 3
  link.AddressMidMap[0x40] = 0x80;
  link.Reg1Fixed = 0x01;
  link.Reg3Fixed = 0x02;
  link.Reg3Value = 0xB4;  // chip enable, data-latch enable and bits 4, 5 as the caller left them
  link.CurrentAddress = 0x5407F;
  link.Endereco2Adr();
  link.SETADR();
  EXPECT_EQ(link.Reg3Value, 0xB0 | 9 | 2);
  EXPECT_EQ(t.recording.Log(), Concat({Load(0x81, 2, 3), Load(0x7F, 8, 9), Load(0xBB, 0, 1)}));
  t.recording.Clear();
  link.SETADR_FLASH();
  EXPECT_EQ(t.recording.Log(), Concat({Load(0x81, 2, 3), Load(0x7F, 8, 9), Load(0xBB, 0, 1)}));
}

TEST(Address, SetadrXicorLoadsOnlyTheLatchesThatChange) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  link.Reg1Fixed = 0x40;
  link.Reg3Value = 0xC0;
  link.CurrentAddress = 0x0100;  // AddressMid 1: 1 + 64, then the fixed bit
  link.Endereco2Adr();
  link.SETADR_XICOR();
  EXPECT_EQ(t.recording.Log(), Load(0x41, 2, 3));  // latches 2 and 3 already hold 0 / C0h

  t.recording.Clear();
  link.SETADR_XICOR();
  EXPECT_TRUE(t.recording.Log().empty());

  link.CurrentAddress = 0x10005;  // AddressMid 0 loads m = 0
  link.Endereco2Adr();
  link.SETADR_XICOR();
  EXPECT_EQ(t.recording.Log(), Concat({Load(0x40, 2, 3), Load(0x05, 8, 9), Load(0xC1, 0, 1)}));
}

TEST(ReadBack, ReleasesTheDataLatchThenReadsBothNibbles) {
  TestCore t;
  Install(t, 5);
  auto& link = t->link;
  link.Reg3Value = 0x82;
  t.recording.ScriptReads({0x78, 0x00});
  link.ReadBackByte();
  EXPECT_EQ(link.Reg4Value, 255);
  EXPECT_EQ(link.ReadValue, 0x0F);
  EXPECT_EQ(t.recording.Log(),
            Concat({Load(0xFF, 1, 0),
                    Load(0xC2, 15, 14),
                    {Out(0x37A, 5), In(0x379, 0x78), Out(0x37A, 1), In(0x379, 0x00)}}));
}

TEST(ReadBack, DecodesEachModelsStatusReads) {
  struct Row {
    int model;
    int s1, s2;
    int value;
  };
  const Row rows[] = {
      {4, 0x00, 0x00, 34}, {4, 0xF0, 0xF0, 221}, {4, 0x10, 0x00, 42},   {4, 0x00, 0x10, 162},
      {4, 0x0F, 0x0F, 34},  // status bits 0..3 do not matter on a model 4
      {5, 0x78, 0x00, 15}, {5, 0x00, 0x78, 240}, {5, 0xFF, 0x87, 15},  // bits 0..2 and 7 never
                                                                       // matter
      {6, 0x78, 0x00, 15}, {6, 0x00, 0x78, 240}, {6, 0x40, 0x08, 0x18},
  };
  for (const auto& r : rows) {
    TestCore t;
    Install(t, r.model);
    t.recording.ScriptReads({static_cast<std::uint8_t>(r.s1), static_cast<std::uint8_t>(r.s2)});
    t->link.GetNibbles();
    EXPECT_EQ(t->link.ReadValue, r.value)
        << "model " << r.model << " reads " << r.s1 << ", " << r.s2;
    const int low = r.model == 4 ? 0 : 5;
    const int high = r.model == 4 ? 4 : 1;
    EXPECT_EQ(t.recording.Log(), (std::vector<PortAccess>{Out(0x37A, low), In(0x379, r.s1),
                                                          Out(0x37A, high), In(0x379, r.s2)}));
  }
}

TEST(ReadBack, WithoutABoardNothingIsReadAndTheLastValueStays) {
  TestCore t;
  Install(t, 0);
  t->link.ReadValue = 0x5A;
  t->link.GetNibbles();
  EXPECT_EQ(t->link.ReadValue, 0x5A);
  EXPECT_TRUE(t.recording.Log().empty());
}

TEST(ReadBack, ModelFourTableFollowsTheWiring) {
  TestCore t;
  t->link.BuildReadTables();
  const auto& d = t->link.StatusDecode4;
  const int first[16] = {34, 42, 38, 46, 35, 43, 39, 47, 32, 40, 36, 44, 33, 41, 37, 45};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(d[static_cast<std::size_t>(i)], first[i]) << i;
  EXPECT_EQ(d[16], 162);
  EXPECT_EQ(d[32], 98);
  EXPECT_EQ(d[64], 50);
  EXPECT_EQ(d[128], 2);
  EXPECT_EQ(d[255], 221);
  // A decode table that loses or repeats a value would read two bytes as one.
  std::array<bool, 256> seen{};
  for (auto v : d) seen[v] = true;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 256);
  EXPECT_EQ(t->link.StatusLowNibble[0x78], 15);
  EXPECT_EQ(t->link.StatusHighNibble[0x78], 240);
  EXPECT_EQ(t->link.AddressMidMap[200], 200);
  EXPECT_EQ(t->link.AddressHighMap[7], 7);
}

TEST(ProgramFailure, MakesTheLatchesSafeBeforeReportingAndRaisesTheAlert) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  link.Reg0Value = 0xCC;
  link.Reg3Value = 0x02;
  link.CurrentAddress = 0x1A3;
  link.WriteValue = 0x3C;
  link.ReadValue = 0xFF;
  link.ReportProgramFailure();
  EXPECT_EQ(t.recording.Log(), Concat({Load(0x00, 10, 11), Load(0x82, 0, 1), Load(0x40, 10, 11)}));
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{
                              "*** Programming Failure ***",
                              "*** Address:1A3h, Programming BYTE:3Ch, Read BYTE:FFh",
                              "*** Aborting Programming - Click on [ERROR] Indicator to Reset"}));
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t->ui.Colour("Program_label"), colour::kGreen);
  EXPECT_EQ(t->ops.FailFlag, 1);
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/error.wav");
}

}  // namespace
}  // namespace zambrix
