// The board's delays and the speed slider that sets them.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <utility>

#include "app/controls.h"
#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::TestCore;

TEST(Delays, EveryDelayGoesThroughTheClockAndALatchLoadWaitsTwoStrobeDelays) {
  testing::BareLink t;
  auto& link = t.link;
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
TEST(SpeedSetting, TheStrobeUsesTheMediumFactorBelowTenAndAnOverflowStops) {
  TestCore t;
  const int m = kSliderMax;
  auto& link = t->link;  // factors 5 / 100 / 500
  auto at = [&](int v) {
    t->ChangeValue("Slider1", v);
    return std::array{link.StrobeDelayCount, link.MediumDelayCount, link.LongDelayCount};
  };
  EXPECT_EQ(at(9), (std::array{(m - 9) * 100 + 2, (m - 9) * 100 + 2, (m - 9) * 500 + 2}));
  link.DelayFactorLong = 1'000'000'000;
  at(kSliderMin);
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t.LogLines().back().rfind("*** Operation stopped", 0), 0u) << t.LogLines().back();
}

}  // namespace
}  // namespace zambrix
