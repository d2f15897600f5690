#include "link/clock.h"

#include <chrono>
#include <thread>

namespace zambrix {

namespace {
// Waits longer than this sleep for all but the last stretch, which busy-waits.
constexpr std::uint64_t kSleepThresholdNs = 2'000'000;
constexpr std::uint64_t kBusyTailNs = 1'000'000;
}  // namespace

std::uint64_t RealClock::NowNs() const {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void RealClock::WaitNs(std::uint64_t ns) {
  const std::uint64_t end = NowNs() + ns;
  if (ns > kSleepThresholdNs) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(ns - kBusyTailNs));
  }
  // The loop reads the clock each pass, so the compiler can never remove it, and
  // it never ends before `end`.
  while (NowNs() < end) {
  }
}

void RealClock::Spin(std::int64_t iterations) {
  if (iterations <= 0) return;
  WaitNs(static_cast<std::uint64_t>(iterations) * ns_per_iteration_);
}

void RealClock::SleepMs(int ms) {
  if (ms <= 0) return;
  WaitNs(static_cast<std::uint64_t>(ms) * 1'000'000u);
}

}  // namespace zambrix
