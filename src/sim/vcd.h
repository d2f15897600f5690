// Value change dump (IEEE 1364 VCD) of the board's latch lines and the chip's
// pins, streamed as the simulation runs.
//
// Every value is a one-bit wire (the VPP level a real): logic-analyser suites
// such as sigrok stop importing at the first multi-bit value. The latches, the
// data lines and the address are written bit by bit as "latch0 [7]" ...
// "latch0 [0]", which waveform viewers such as GTKWave gather back into buses.
//
// A sample writes only the bits that changed. Changes are formatted into a
// block of memory and handed to the stream a block at a time (and whatever is
// left when the writer ends, finished or not).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "sim/chips/chip_base.h"

namespace zambrix::sim {

class VcdWriter {
 public:
  explicit VcdWriter(std::unique_ptr<std::ostream> out);
  ~VcdWriter();
  VcdWriter(const VcdWriter&) = delete;
  VcdWriter& operator=(const VcdWriter&) = delete;
  void Sample(std::uint64_t ns, const std::array<std::uint8_t, 5>& latches, const ChipPins& pins,
              std::uint8_t bus);
  void Finish(std::uint64_t ns);

 private:
  // The end of a change line: the identifier code and the line end.
  struct Tail {
    std::array<char, 4> text{};
    std::size_t size = 0;
  };
  struct Var {
    std::string scope, name;
    int width = 0;                 // 0: real
    std::vector<std::string> ids;  // one per bit, bit 0 first (one for a real)
    std::vector<Tail> tails;       // the same, as change lines end
    std::uint32_t bits = 0;
    double real = 0;
    bool written = false;
  };
  void Header();
  void Set(std::size_t var, std::uint32_t bits) {
    Var& v = vars_[var];
    if (!v.written || v.bits != bits) Write(v, bits);
  }
  void Write(Var& v, std::uint32_t bits);
  void SetReal(std::size_t var, double value);
  void Stamp();
  void Put(char c) { *at_++ = c; }
  void Put(const Tail& t) {
    std::copy(t.text.begin(), t.text.end(), at_);
    at_ += t.size;
  }
  void PutText(std::string_view text) { at_ = std::copy(text.begin(), text.end(), at_); }
  void PutStamp(std::uint64_t ns);
  void Flush();

  std::unique_ptr<std::ostream> out_;
  std::vector<char> block_;  // changes not yet handed to the stream
  char* at_ = nullptr;       // where the next change goes in block_
  std::vector<Var> vars_;
  std::uint64_t last_time_ = 0;     // the last time stamp written
  bool time_written_ = false;       // any time stamp written yet
  bool dumped_ = false;             // the initial $dumpvars section is closed
  std::uint64_t pending_time_ = 0;  // time of the sample being written
};

}  // namespace zambrix::sim
