// Latch loads, reset, addresses, delays and the speed slider, checked against
// the recording back end.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <utility>

#include "app/controls.h"
#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::Concat;
using testing::Install;
using testing::Load;
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

// Count = (slider maximum - V) x factor + 2; below 10 the strobe uses the medium
// factor; a count that would wrap 32 bits stops the event.
TEST(SpeedSetting, CountsAtTheMaximumAndNineAndAnOverflowStops) {
  TestCore t;
  const int m = kSliderMax;
  auto& link = t->link;  // factors 5 / 100 / 500
  auto at = [&](int v) {
    t->ChangeValue("Slider1", v);
    return std::array{link.StrobeDelayCount, link.MediumDelayCount, link.LongDelayCount};
  };
  EXPECT_EQ(at(m), (std::array{2, 2, 2}));
  EXPECT_EQ(at(9), (std::array{(m - 9) * 100 + 2, (m - 9) * 100 + 2, (m - 9) * 500 + 2}));
  EXPECT_EQ(t.LogLines().back(), "Program Speed Slider set to: 9");
  link.DelayFactorLong = 1'000'000'000;
  at(kSliderMin);
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t.LogLines().back().rfind("*** Operation stopped", 0), 0u) << t.LogLines().back();
}

}  // namespace
}  // namespace zambrix
