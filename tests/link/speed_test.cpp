#include <gtest/gtest.h>

#include <chrono>

#include "app/controls.h"
#include "support/fakes.h"

namespace zambrix {
namespace {

using testing::TestCore;

struct Counts {
  std::int32_t strobe, medium, longer;
};

Counts At(TestCore& t, int v) {
  t->ui.SetValueQuiet("Slider1", v);
  t->link.ApplySpeedSetting();
  return {t->link.StrobeDelayCount, t->link.MediumDelayCount, t->link.LongDelayCount};
}

TEST(SpeedSetting, CountsFollowTheSliderSpanAndTheDeviceFactors) {
  TestCore t;
  const int m = t->ui.Max("Slider1");
  ASSERT_EQ(m, kSliderMax);
  ASSERT_GE(m, 10);

  auto fastest = At(t, m);
  EXPECT_EQ(fastest.strobe, 2);
  EXPECT_EQ(fastest.medium, 2);
  EXPECT_EQ(fastest.longer, 2);

  auto ten = At(t, 10);  // from 10 on the strobe count uses the short factor
  EXPECT_EQ(ten.strobe, (m - 10) * 5 + 2);
  EXPECT_EQ(ten.medium, (m - 10) * 100 + 2);
  EXPECT_EQ(ten.longer, (m - 10) * 500 + 2);

  auto nine = At(t, 9);  // below 10 it uses the medium factor
  EXPECT_EQ(nine.strobe, (m - 9) * 100 + 2);
  EXPECT_EQ(nine.medium, (m - 9) * 100 + 2);

  // The largest factors of the device table at the slowest setting stay in 32 bits.
  t->link.DelayFactorShort = 50;
  t->link.DelayFactorMedium = 20000;
  t->link.DelayFactorLong = 100000;
  auto slowest = At(t, kSliderMin);
  EXPECT_EQ(slowest.longer, (m - kSliderMin) * 100000 + 2);
  EXPECT_EQ(slowest.strobe, (m - kSliderMin) * 20000 + 2);
}

TEST(SpeedSetting, DefaultPositionIsInsideTheRangeAndUsesTheShortFactor) {
  EXPECT_LE(kSliderMin, kSliderDefault);
  EXPECT_LE(kSliderDefault, kSliderMax);
  EXPECT_GE(kSliderDefault, 10);
  TestCore t;
  EXPECT_EQ(t->ui.Value("Slider1"), kSliderDefault);
  EXPECT_EQ(t->ui.Get("Slider1").min, kSliderMin);
}

TEST(SpeedSetting, AnOverflowingCountStopsTheEventInsteadOfWrapping) {
  TestCore t;
  t->link.DelayFactorLong = 1'000'000'000;
  t->ChangeValue("Slider1", kSliderMin);
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  auto lines = t.LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("*** Operation stopped", 0), 0u) << lines.back();
}

TEST(SpeedSetting, MovingTheSliderLogsRecomputesAndPlaysTheSlideSound) {
  TestCore t;
  t->ChangeValue("Slider1", 37);
  EXPECT_EQ(t.LogLines(), std::vector<std::string>{"Program Speed Slider set to: 37"});
  EXPECT_EQ(t->link.MediumDelayCount, (kSliderMax - 37) * 100 + 2);
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/slide.wav");
}

TEST(Delays, EveryDelayGoesThroughTheClock) {
  TestCore t;
  auto& link = t->link;
  auto& clock = t.virtual_clock;
  link.StrobeDelayCount = 7;
  link.MediumDelayCount = 300;
  link.LongDelayCount = 4000;
  auto took = [&clock](auto&& f) {
    auto start = clock.NowNs();
    f();
    return clock.NowNs() - start;
  };
  EXPECT_EQ(took([&] { link.DelayStrobe(); }), 70u);
  EXPECT_EQ(took([&] { link.DelayMedium(); }), 3000u);
  EXPECT_EQ(took([&] { link.DelayLong(); }), 40000u);
  EXPECT_EQ(took([&] { link.DelayFixed10(); }), 100u);
  EXPECT_EQ(took([&] { link.DelayFixed20(); }), 200u);
  link.DelayFactorShort = 5;
  EXPECT_EQ(took([&] { link.WaitSettlingTime(); }), 5000u);
  EXPECT_EQ(took([&] { link.SleepMs(200); }), 200'000'000u);
}

// A wait on the real clock never ends before its time, on the busy path and on
// the sleeping path (no upper bound is asserted: speed is for benchmarks).
TEST(RealClock, NeverEndsEarly) {
  RealClock clock(Link::kNsPerIteration);
  auto wall = [] { return std::chrono::steady_clock::now(); };
  auto start = wall();
  clock.Spin(1000);
  EXPECT_GE(wall() - start, std::chrono::nanoseconds(1000 * Link::kNsPerIteration));
  start = wall();
  clock.SleepMs(3);
  EXPECT_GE(wall() - start, std::chrono::milliseconds(3));
}

}  // namespace
}  // namespace zambrix
