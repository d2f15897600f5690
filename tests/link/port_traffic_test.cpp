#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::Concat;
using testing::Install;
using testing::Load;
using testing::TestCore;

TEST(RecordingPort, RecordsEveryAccessInOrderAndAnswersFromItsScript) {
  RecordingPort p;
  p.ScriptReads({0x12, 0x34});
  p.PortOut(0x378, 0xAA);
  EXPECT_EQ(p.PortIn(0x379), 0x12);
  EXPECT_EQ(p.PortIn(0x379), 0x34);
  EXPECT_EQ(p.PortIn(0x379), 0xFF);
  EXPECT_EQ(
      p.Log(),
      (std::vector<PortAccess>{
          {true, 0x378, 0xAA}, {false, 0x379, 0x12}, {false, 0x379, 0x34}, {false, 0x379, 0xFF}}));
}

TEST(Ppdev, FindsTheDeviceForABaseAddressInDecimalProcFiles) {
  auto root =
      std::filesystem::temp_directory_path() / ("zambrix-proc-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "parport0");
  std::filesystem::create_directories(root / "parport1");
  std::ofstream(root / "parport0" / "base-addr") << "888\t1912\n";
  std::ofstream(root / "parport1" / "base-addr") << "632\t-1\n";
  EXPECT_EQ(FindParportDevice(0x378, root.string()), "/dev/parport0");
  EXPECT_EQ(FindParportDevice(0x278, root.string()), "/dev/parport1");
  EXPECT_EQ(FindParportDevice(0x3BC, root.string()), "");
  EXPECT_EQ(ParportBase("/dev/parport1", root.string()), 0x278);
  std::filesystem::remove_all(root);
}

TEST(LatchLoad, EveryLatchUsesItsOwnSelectAndStrobeForEachModel) {
  struct Row {
    int model;
    int select[5];
    int strobe[5];
  };
  const Row rows[] = {
      {4, {10, 2, 8, 0, 14}, {11, 3, 9, 1, 15}},
      {5, {5, 13, 7, 15, 1}, {4, 12, 6, 14, 0}},
      {6, {5, 13, 7, 15, 1}, {4, 12, 6, 14, 0}},
  };
  for (const auto& r : rows) {
    TestCore t;
    Install(t, r.model);
    auto& link = t->link;
    link.Reg0Value = 0x10;
    link.Reg1Value = 0x11;
    link.Reg2Value = 0x12;
    link.Reg3Value = 0x13;
    link.Reg4Value = 0x114;  // only the low byte is sent
    link.SetReg0();
    link.SetReg1();
    link.SetReg2();
    link.SetReg3();
    link.SetReg4();
    std::vector<PortAccess> want;
    for (int n = 0; n < 5; ++n) {
      auto one = Load(0x10 + n, r.select[n], r.strobe[n]);
      want.insert(want.end(), one.begin(), one.end());
    }
    EXPECT_EQ(t.recording.Log(), want) << "model " << r.model;
  }
}

TEST(LatchLoad, WithoutABoardModelEveryControlValueIsZero) {
  TestCore t;
  Install(t, 0);
  t->link.Reg3Value = 0xC4;
  t->link.SetReg3();
  EXPECT_EQ(t.recording.Log(), Load(0xC4, 0, 0));
}

TEST(LatchLoad, TwoStrobeDelaysPerLoadAndNoneBeforeTheFirstSpeedSetting) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  auto before = t.virtual_clock.NowNs();
  link.SetReg2();
  EXPECT_EQ(t.virtual_clock.NowNs(), before);  // all counts are still 0
  link.ApplySpeedSetting();
  before = t.virtual_clock.NowNs();
  link.SetReg2();
  EXPECT_EQ(t.virtual_clock.NowNs() - before,
            2u * static_cast<std::uint64_t>(link.StrobeDelayCount) * 10u);
}

TEST(Reset, IdlesLatchesZeroToThreeAndLeavesLatchFourAlone) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  link.CurrentAddress = 0x12345;
  link.Reg4Value = 0x77;
  t->ui.SetValueQuiet("ProgressBar1", 40);
  t->ops.EraseInProgress = true;
  link.Reset();
  EXPECT_EQ(t.recording.Log(),
            Concat({Load(0x40, 10, 11), Load(0x00, 2, 3), Load(0x00, 8, 9), Load(0xC4, 0, 1)}));
  EXPECT_EQ(link.Reg0Value, 0x40);
  EXPECT_EQ(link.Reg3Value, 0xC4);
  EXPECT_EQ(link.CurrentAddress, 0);
  EXPECT_EQ(link.AddressHigh, 0);
  EXPECT_EQ(t->ui.Max("ProgressBar1"), 100);
  EXPECT_EQ(t->ui.Value("ProgressBar1"), 0);
  EXPECT_FALSE(t->ops.EraseInProgress);
}

TEST(Reset, OrsTheDeviceFixedBitsIntoLatchesOneAndThree) {
  TestCore t;
  Install(t, 5);
  t->link.Reg1Fixed = 0x80;
  t->link.Reg3Fixed = 0x02;
  t->link.Reset();
  EXPECT_EQ(t.recording.Log(),
            Concat({Load(0x40, 5, 4), Load(0x80, 13, 12), Load(0x00, 7, 6), Load(0xC6, 15, 14)}));
}

// Each single-bit procedure: which shadow bits change and which latches load, in order.
TEST(ControlLines, EachProcedureChangesItsBitsAndLoadsItsLatches) {
  struct Row {
    const char* name;
    void (Link::*proc)();
    int start;             // every shadow before
    int reg0, reg1, reg3;  // shadows afterwards
    std::vector<int> latches;
  };
  const Row rows[] = {
      {"REG4ON", &Link::REG4ON, 0x55, 0x55, 0x55, 0x15, {3}},
      {"REG4OFF", &Link::REG4OFF, 0xAA, 0xAA, 0xAA, 0xEA, {3}},
      {"ActivityOn", &Link::ActivityOn, 0x55, 0x5D, 0x55, 0x55, {0}},
      {"ActivityOff", &Link::ActivityOff, 0xAA, 0xA2, 0xAA, 0xAA, {0}},
      {"CEON", &Link::CEON, 0xAA, 0xAA, 0xAA, 0x2A, {3}},
      {"CEOFF", &Link::CEOFF, 0x55, 0x55, 0x55, 0xD5, {3}},
      {"OEON", &Link::OEON, 0x55, 0x15, 0x55, 0x55, {0}},
      {"OEOFF", &Link::OEOFF, 0xAA, 0xEA, 0xAA, 0xAA, {0}},  // bit 7 stays
      {"VPP24_ON", &Link::VPP24_ON, 0x55, 0xD5, 0x55, 0x55, {0}},
      {"VPP24_OFF", &Link::VPP24_OFF, 0x55, 0x15, 0x55, 0x55, {0}},
      {"CEOEON", &Link::CEOEON, 0xD5, 0x15, 0xD5, 0x55, {3, 0}},
      {"CEOEOFF", &Link::CEOEOFF, 0x15, 0x55, 0x15, 0x95, {3, 0}},
      {"Reg1Bit7Clear", &Link::Reg1Bit7Clear, 0xAA, 0xAA, 0x2A, 0xAA, {1}},
      {"Reg1Bit7Set", &Link::Reg1Bit7Set, 0x55, 0x55, 0xD5, 0x55, {1}},
      {"Reg1Bit6Clear", &Link::Reg1Bit6Clear, 0x55, 0x55, 0x15, 0x55, {1}},
      {"Reg1Bit6Set", &Link::Reg1Bit6Set, 0xAA, 0xAA, 0xEA, 0xAA, {1}},
  };
  const int select[] = {10, 2, 8, 0, 14};
  for (const auto& r : rows) {
    TestCore t;
    Install(t, 4);
    auto& link = t->link;
    link.Reg0Value = link.Reg1Value = link.Reg2Value = link.Reg3Value = link.Reg4Value = r.start;
    (link.*r.proc)();
    EXPECT_EQ(link.Reg0Value, r.reg0) << r.name;
    EXPECT_EQ(link.Reg1Value, r.reg1) << r.name;
    EXPECT_EQ(link.Reg3Value, r.reg3) << r.name;
    std::vector<PortAccess> want;
    for (int n : r.latches) {
      int shadow = n == 0 ? r.reg0 : n == 1 ? r.reg1 : r.reg3;
      auto one = Load(shadow, select[n], select[n] + 1);
      want.insert(want.end(), one.begin(), one.end());
    }
    EXPECT_EQ(t.recording.Log(), want) << r.name;
  }
}

TEST(ControlLines, ActivityToggleFlipsTheProgramLightAndTheActivityBit) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  t->report.ProgramLightOff();
  link.Reg0Value = 0x40;
  link.ActivityToggle();
  EXPECT_EQ(t->ui.Colour("Program_label"), colour::kGreen);
  EXPECT_EQ(link.Reg0Value, 0x48);
  link.ActivityToggle();
  EXPECT_EQ(t->ui.Colour("Program_label"), colour::kButtonFace);
  EXPECT_EQ(link.Reg0Value, 0x40);
  EXPECT_EQ(t.recording.Log(), Concat({Load(0x48, 10, 11), Load(0x40, 10, 11)}));
}

TEST(LatchLoad, DataSelectStrobeSelectInThisOrder) {
  TestCore t;
  auto& link = t->link;
  link.InitControlTables();
  link.PortAddress = 0x378;
  link.BoardModel = 4;
  link.ApplyBoardModel();
  link.Reg2Value = 0x5A;
  link.SetReg2();
  EXPECT_EQ(t.recording.Log(),
            (std::vector<PortAccess>{
                {true, 0x378, 0x5A}, {true, 0x37A, 8}, {true, 0x37A, 9}, {true, 0x37A, 8}}));
}

}  // namespace
}  // namespace zambrix
