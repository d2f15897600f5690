// Value change dump (IEEE 1364 VCD) of the board's latch lines and the chip's
// pins, streamed as the simulation runs.
//
// Every value is a one-bit wire (the VPP level a real): logic-analyser suites
// such as sigrok stop importing at the first multi-bit value. The latches, the
// data lines and the address are written bit by bit as "latch0 [7]" ...
// "latch0 [0]", which waveform viewers such as GTKWave gather back into buses.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

class VcdWriter {
 public:
  explicit VcdWriter(std::unique_ptr<std::ostream> out);
  void Sample(std::uint64_t ns, const std::array<std::uint8_t, 5>& latches, const ChipPins& pins,
              std::uint8_t bus);
  void Finish(std::uint64_t ns);

 private:
  struct Var {
    std::string scope, name;
    int width;                     // 0: real
    std::vector<std::string> ids;  // one per bit, bit 0 first (one for a real)
    double value;
    bool written;
  };
  void Header();
  void Set(std::size_t var, double value);
  void Stamp();

  std::unique_ptr<std::ostream> out_;
  std::vector<Var> vars_;
  std::uint64_t last_time_ = 0;     // the last time stamp written
  bool time_written_ = false;       // any time stamp written yet
  bool dumped_ = false;             // the initial $dumpvars section is closed
  std::uint64_t pending_time_ = 0;  // time of the sample being written
};

}  // namespace zambrix::sim
