// The datasheet's timing, judged by the simulated chips on every change of
// their pins: the set-up, hold and width of an EPROM's program pulse, the
// two-wire bus's high, low, set-up and hold times. A figure outside its
// datasheet becomes a violation that the board reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zambrix::sim {

struct ChipPins;
struct ChipSpec;

struct Violation {
  std::string rule;  // the datasheet's symbol: "tVPS", "tPW", "contention" ...
  std::string text;  // "VPP rose 0 µs before CE fell (tVPS ≥ 2 µs)"
  std::uint32_t address = 0;
};

// A time as the reports write it: "2.07 µs", "110.2 µs", "50 ms".
std::string TimeText(std::uint64_t ns);

// The set-up and hold times of B.3 around an EPROM's program pulse, and its
// width. See() gets the pins of every change, with whether the chip is being
// programmed after it.
class EpromTiming {
 public:
  explicit EpromTiming(const ChipSpec& spec) : spec_(spec) {}
  void See(const ChipPins& p, bool programming, std::uint32_t address, std::uint64_t now,
           std::vector<Violation>& out);

 private:
  enum Signal { kAddress, kData, kOe, kVpp, kVcc, kCount };
  void Start(std::uint64_t now, std::uint32_t address, std::vector<Violation>& out);
  void End(std::uint64_t now, std::vector<Violation>& out);
  void Hold(Signal s, std::uint64_t now, std::vector<Violation>& out);
  const char* Edge(bool start) const;

  const ChipSpec& spec_;
  bool seen_ = false;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0xFF;
  bool oe_high_ = false;
  double vpp_ = 0;
  bool vcc_ = false;
  std::uint64_t changed_[kCount] = {};
  bool pulsing_ = false;
  std::uint64_t pulse_start_ = 0;
  std::uint32_t pulse_address_ = 0;
  bool holding_[kCount] = {};  // still to be held after the last pulse ended
  std::uint64_t pulse_end_ = 0;
};

// The two-wire bus times of E (100 kHz figures, which every grade of part
// meets), inside transfers: from a start to its stop.
class BusTiming {
 public:
  // `scl` and `sda` as the lines are after the change (SDA wired-AND of both
  // sides); SCL falling is taken before an SDA change, SCL rising after it.
  void See(bool scl, bool sda, std::uint32_t address, std::uint64_t now,
           std::vector<Violation>& out);

 private:
  void Check(const char* rule, const char* what, std::uint64_t ns, std::uint64_t minimum);
  void Fall(std::uint64_t now);
  void Rise(std::uint64_t now);
  void SdaChange(bool sda, std::uint64_t now);

  // A transfer is judged once it has clocked a whole byte: the starts and
  // stops that other sockets' traffic makes on the shared lines (the board's
  // detection, a device selection) clock none, and the chip ignores them.
  static constexpr int kConfirmingClocks = 8;
  bool seen_ = false;
  bool scl_ = true, sda_ = true;
  bool transfer_ = false;  // between a start and its stop
  bool held_ = false;      // a start whose hold time is still to be measured
  int clocks_ = 0;         // SCL rising edges since the start
  std::uint64_t rise_ = 0, fall_ = 0, sda_at_ = 0, start_ = 0, stop_ = 0;
  bool stopped_ = false;
  std::uint32_t address_ = 0;
  std::vector<Violation> pending_;  // of a transfer not yet judged
  std::vector<Violation>* out_ = nullptr;
};

}  // namespace zambrix::sim
