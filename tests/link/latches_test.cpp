// Latch loads, reset, single-bit procedures, addresses, read-back, delays and the
// speed slider, checked against the recording back end.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <tuple>
#include <utility>

#include "app/controls.h"
#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::Concat;
using testing::In;
using testing::Install;
using testing::Load;
using testing::Out;
using testing::TestCore;

// Reset idles latches 0..3 (40h, 0, 0, C4h, with the device's fixed bits) of each model;
// every load is data, select, strobe, select, and without a board model every control
// value is 0.
TEST(Reset, LoadsLatchesZeroToThreeWithEachModelsSelectsAndStrobes) {
  struct Row {
    int model, fixed1, fixed3, select[5], strobe[5];
  };
  const Row rows[] = {{4, 0, 0, {10, 2, 8, 0, 14}, {11, 3, 9, 1, 15}},
                      {5, 0x80, 0x02, {5, 13, 7, 15, 1}, {4, 12, 6, 14, 0}},
                      {0, 0, 0, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}};
  for (const auto& r : rows) {
    TestCore t;
    Install(t, r.model);
    t->link.CurrentAddress = 0x12345;
    t->link.Reg1Fixed = r.fixed1;
    t->link.Reg3Fixed = r.fixed3;
    t->link.Reset();
    t->link.Reg4Value = 0x114;  // only the low byte is sent
    t->link.SetReg4();
    const int data[] = {0x40, r.fixed1, 0, 0xC4 | r.fixed3, 0x14};
    std::vector<PortAccess> want;
    for (int n = 0; n < 5; ++n) want = Concat({want, Load(data[n], r.select[n], r.strobe[n])});
    EXPECT_EQ(t.recording.Log(), want) << "model " << r.model;
  }
  EXPECT_EQ(Load(0x5A, 8, 9), (std::vector<PortAccess>{Out(0x378, 0x5A), Out(0x37A, 8),
                                                       Out(0x37A, 9), Out(0x37A, 8)}));
}

// Each single-bit procedure: the values of the latches it loads, in order.
TEST(ControlLines, EachProcedureChangesItsBitsAndLoadsItsLatches) {
  // Name, procedure, every shadow before, and the (latch, value) loads.
  const std::tuple<const char*, void (Link::*)(), int, std::vector<std::pair<int, int>>> rows[] = {
      {"REG4ON", &Link::REG4ON, 0x55, {{3, 0x15}}},
      {"REG4OFF", &Link::REG4OFF, 0xAA, {{3, 0xEA}}},
      {"ActivityOn", &Link::ActivityOn, 0x55, {{0, 0x5D}}},
      {"ActivityOff", &Link::ActivityOff, 0xAA, {{0, 0xA2}}},
      {"ActivityToggle", &Link::ActivityToggle, 0x55, {{0, 0x5D}}},
      {"CEON", &Link::CEON, 0xAA, {{3, 0x2A}}},
      {"CEOFF", &Link::CEOFF, 0x55, {{3, 0xD5}}},
      {"OEON", &Link::OEON, 0x55, {{0, 0x15}}},
      {"OEOFF", &Link::OEOFF, 0xAA, {{0, 0xEA}}},  // bit 7 stays
      {"VPP24_ON", &Link::VPP24_ON, 0x55, {{0, 0xD5}}},
      {"VPP24_OFF", &Link::VPP24_OFF, 0x55, {{0, 0x15}}},
      {"CEOEON", &Link::CEOEON, 0xD5, {{3, 0x55}, {0, 0x15}}},
      {"CEOEOFF", &Link::CEOEOFF, 0x15, {{3, 0x95}, {0, 0x55}}},
      {"Reg1Bit7Clear", &Link::Reg1Bit7Clear, 0xAA, {{1, 0x2A}}},
      {"Reg1Bit7Set", &Link::Reg1Bit7Set, 0x55, {{1, 0xD5}}},
      {"Reg1Bit6Clear", &Link::Reg1Bit6Clear, 0x55, {{1, 0x15}}},
      {"Reg1Bit6Set", &Link::Reg1Bit6Set, 0xAA, {{1, 0xEA}}},
  };
  const int select[] = {10, 2, 8, 0, 14};
  for (const auto& [name, proc, start, loads] : rows) {
    TestCore t;
    Install(t, 4);
    auto& link = t->link;
    link.Reg0Value = link.Reg1Value = link.Reg2Value = link.Reg3Value = link.Reg4Value = start;
    (link.*proc)();
    std::vector<PortAccess> want;
    for (auto [n, v] : loads) want = Concat({want, Load(v, select[n], select[n] + 1)});
    EXPECT_EQ(t.recording.Log(), want) << name;
  }
}

// The split and the carry of IncADR show in the values SETADR loads.
TEST(Address, SetadrLoadsLatchesOneTwoThreeThroughTheMapsAndKeepsLatchThreeUpperBits) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  link.BuildIdentityMaps();
  link.AddressHighMap[5] = 9;  // address bit 18 moved to latch 3 bit 3
  link.AddressMidMap[17] = 0x80;
  link.Reg1Fixed = 0x01, link.Reg3Fixed = 0x02;
  link.Reg3Value = 0xB4;  // chip enable, data-latch enable and bits 4, 5 as the caller left them
  link.CurrentAddress = 0x4FFFF;
  link.Endereco2Adr();
  link.IncADR();
  EXPECT_EQ(link.CurrentAddress, 0x50000);
  link.SETADR();
  const auto want = Concat({Load(0x01, 2, 3), Load(0x00, 8, 9), Load(0xBB, 0, 1)});
  EXPECT_EQ(t.recording.Log(), want);
  t.recording.Clear();
  link.SETADR_FLASH();
  EXPECT_EQ(t.recording.Log(), want);
  link.CurrentAddress = 70000;  // high 1, mid 17, low 112
  link.Endereco2Adr();
  link.SETADR();
  EXPECT_EQ(t.recording.Log(), Concat({want, Load(0x81, 2, 3), Load(112, 8, 9), Load(0xB3, 0, 1)}));
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
  t->link.Reg3Value = 0x82;
  t.recording.ScriptReads({0x78, 0x00});
  t->link.ReadBackByte();
  EXPECT_EQ(t->link.ReadValue, 0x0F);
  EXPECT_EQ(t.recording.Log(),
            Concat({Load(0xFF, 1, 0),
                    Load(0xC2, 15, 14),
                    {Out(0x37A, 5), In(0x379, 0x78), Out(0x37A, 1), In(0x379, 0x00)}}));
}

TEST(ReadBack, DecodesEachModelsStatusReads) {
  const std::array<int, 4> rows[] = {
      // model, status reads, value
      {4, 0x00, 0x00, 34},   {4, 0xF0, 0xF0, 221}, {4, 0x0F, 0x0F, 34},  // status bits 0..3 ignored
      {5, 0x78, 0x00, 15},   {5, 0x00, 0x78, 240}, {5, 0xFF, 0x87, 15},  // bits 0..2, 7 ignored
      {6, 0x40, 0x08, 0x18},
  };
  for (const auto& [model, s1, s2, value] : rows) {
    TestCore t;
    Install(t, model);
    t.recording.ScriptReads({static_cast<std::uint8_t>(s1), static_cast<std::uint8_t>(s2)});
    t->link.GetNibbles();
    EXPECT_EQ(t->link.ReadValue, value) << "model " << model << " reads " << s1 << ", " << s2;
    const int low = model == 4 ? 0 : 5, high = model == 4 ? 4 : 1;
    EXPECT_EQ(t.recording.Log(), (std::vector<PortAccess>{Out(0x37A, low), In(0x379, s1),
                                                          Out(0x37A, high), In(0x379, s2)}));
  }
}

TEST(ProgramFailure, MakesTheLatchesSafeBeforeReportingAndRaisesTheAlert) {
  TestCore t;
  Install(t, 4);
  auto& link = t->link;
  link.Reg0Value = 0xCC, link.Reg3Value = 0x02;
  link.CurrentAddress = 0x1A3, link.WriteValue = 0x3C, link.ReadValue = 0xFF;
  link.ReportProgramFailure();
  EXPECT_EQ(t.recording.Log(), Concat({Load(0x00, 10, 11), Load(0x82, 0, 1), Load(0x40, 10, 11)}));
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{
                              "*** Programming Failure ***",
                              "*** Address:1A3h, Programming BYTE:3Ch, Read BYTE:FFh",
                              "*** Aborting Programming - Click on [ERROR] Indicator to Reset"}));
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t->ops.FailFlag, 1);
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/error.wav");
}

TEST(Delays, EveryDelayGoesThroughTheClockAndALatchLoadWaitsTwoStrobeDelays) {
  TestCore t;
  auto& link = t->link;
  link.StrobeDelayCount = 7, link.MediumDelayCount = 300, link.LongDelayCount = 4000;
  link.DelayFactorShort = 5;
  const std::pair<void (Link::*)(), std::uint64_t> delays[] = {
      // 10 ns per counted iteration
      {&Link::DelayStrobe, 70},   {&Link::DelayMedium, 3000}, {&Link::DelayLong, 40000},
      {&Link::DelayFixed10, 100}, {&Link::DelayFixed20, 200}, {&Link::WaitSettlingTime, 5000},
      {&Link::SetReg2, 2 * 70}};
  for (auto [delay, ns] : delays) {
    const auto start = t.virtual_clock.NowNs();
    (link.*delay)();
    EXPECT_EQ(t.virtual_clock.NowNs() - start, ns) << ns;
  }
  const auto before = t.virtual_clock.NowNs();
  link.SleepMs(200);
  EXPECT_EQ(t.virtual_clock.NowNs() - before, 200'000'000u);
}

// A wait on the real clock never ends before its time, busy or sleeping (no upper
// bound is asserted: speed is for benchmarks).
TEST(RealClock, NeverEndsEarly) {
  RealClock clock(Link::kNsPerIteration);
  auto start = std::chrono::steady_clock::now();
  clock.Spin(1000);
  EXPECT_GE(std::chrono::steady_clock::now() - start,
            std::chrono::nanoseconds(1000 * Link::kNsPerIteration));
  start = std::chrono::steady_clock::now();
  clock.SleepMs(3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3));
}

// Count = (slider maximum - V) x factor + 2; below 10 the strobe uses the medium factor.
TEST(SpeedSetting, CountsAtNineTenTheMaximumAndTheSlowestStayIn32Bits) {
  TestCore t;
  const int m = kSliderMax;
  EXPECT_EQ(t->ui.Value("Slider1"), kSliderDefault);
  auto& link = t->link;           // factors 5 / 100 / 500
  auto at = [&](int v) {
    t->ui.SetValueQuiet("Slider1", v);
    link.ApplySpeedSetting();
    return std::array{link.StrobeDelayCount, link.MediumDelayCount, link.LongDelayCount};
  };
  EXPECT_EQ(at(m), (std::array{2, 2, 2}));
  EXPECT_EQ(at(10), (std::array{(m - 10) * 5 + 2, (m - 10) * 100 + 2, (m - 10) * 500 + 2}));
  EXPECT_EQ(at(9), (std::array{(m - 9) * 100 + 2, (m - 9) * 100 + 2, (m - 9) * 500 + 2}));
  link.DelayFactorShort = 50, link.DelayFactorMedium = 20000, link.DelayFactorLong = 100000;
  EXPECT_EQ(at(kSliderMin), (std::array{(m - kSliderMin) * 20000 + 2, (m - kSliderMin) * 20000 + 2,
                                        (m - kSliderMin) * 100000 + 2}));
}

TEST(SpeedSetting, MovingTheSliderLogsAndRecomputesAndAnOverflowStopsTheEvent) {
  TestCore t;
  t->ChangeValue("Slider1", 37);
  EXPECT_EQ(t.LogLines(), std::vector<std::string>{"Program Speed Slider set to: 37"});
  EXPECT_EQ(t->link.MediumDelayCount, (kSliderMax - 37) * 100 + 2);

  t->link.DelayFactorLong = 1'000'000'000;  // would wrap a 32-bit count
  t->ChangeValue("Slider1", kSliderMin);
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t.LogLines().back().rfind("*** Operation stopped", 0), 0u) << t.LogLines().back();
}

}  // namespace
}  // namespace zambrix
