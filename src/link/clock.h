// The one clock service every board wait goes through.
//
// Counted delays ("count from 1 to N and do nothing") become N iterations of a
// fixed, documented length; sleeps are sleeps. On a real port a wait busy-waits
// on the monotonic clock for short spans and sleeps for long ones, and never
// ends early. On the simulated board the clock is virtual: it advances with
// every wait and every port access, and nothing waits in real time.
#pragma once

#include <cstdint>

namespace zambrix {

class Clock {
 public:
  virtual ~Clock() = default;
  // A counted delay of `iterations` loop passes (0 or less: no wait).
  virtual void Spin(std::int64_t iterations) = 0;
  // A platform sleep of `ms` milliseconds.
  virtual void SleepMs(int ms) = 0;
  // A wait of `ns` nanoseconds that a chip's datasheet asks for (a program
  // pulse, a set-up time); never shorter.
  virtual void WaitNs(std::uint64_t ns) = 0;
  // Monotonic time in nanoseconds (virtual time on the simulated board).
  virtual std::uint64_t NowNs() const = 0;
  // Length of one counted iteration.
  virtual std::uint64_t NsPerIteration() const = 0;
  virtual bool IsVirtual() const = 0;
};

// Real time: busy-waits on the monotonic clock, sleeping for the bulk of long waits.
class RealClock : public Clock {
 public:
  explicit RealClock(std::uint64_t ns_per_iteration) : ns_per_iteration_(ns_per_iteration) {}
  void Spin(std::int64_t iterations) override;
  void SleepMs(int ms) override;
  std::uint64_t NowNs() const override;
  std::uint64_t NsPerIteration() const override { return ns_per_iteration_; }
  bool IsVirtual() const override { return false; }
  void WaitNs(std::uint64_t ns) override;

 private:
  std::uint64_t ns_per_iteration_;
};

// Virtual time for the simulated board and the tests.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(std::uint64_t ns_per_iteration) : ns_per_iteration_(ns_per_iteration) {}
  void Spin(std::int64_t iterations) override {
    if (iterations <= 0) return;
    const auto ns = static_cast<std::uint64_t>(iterations) * ns_per_iteration_;
    now_ += ns, spun_ += ns;
  }
  void SleepMs(int ms) override {
    if (ms <= 0) return;
    const auto ns = static_cast<std::uint64_t>(ms) * 1'000'000u;
    now_ += ns, slept_ += ns;
  }
  void WaitNs(std::uint64_t ns) override { now_ += ns, waited_ += ns; }
  std::uint64_t NowNs() const override { return now_; }
  std::uint64_t NsPerIteration() const override { return ns_per_iteration_; }
  bool IsVirtual() const override { return true; }
  // The simulated board charges each port access here.
  void Advance(std::uint64_t ns) { now_ += ns; }
  // Where the time went: counted delay loops, millisecond sleeps and the
  // chip's own waits; the rest of NowNs() is what the board charged for its
  // accesses.
  std::uint64_t SpunNs() const { return spun_; }
  std::uint64_t SleptNs() const { return slept_; }
  std::uint64_t WaitedNs() const { return waited_; }

 private:
  std::uint64_t ns_per_iteration_;
  std::uint64_t now_ = 0;
  std::uint64_t spun_ = 0;
  std::uint64_t slept_ = 0;
  std::uint64_t waited_ = 0;
};

}  // namespace zambrix
