#include "sim/vcd.h"

#include <algorithm>

namespace zambrix::sim {

namespace {
enum VarIndex : std::size_t {
  kLatch0,
  kLatch4 = kLatch0 + 4,
  kDataLines,
  kAddress,
  kCe,
  kOe,
  kStrobe,
  kVcc,
  kVpp,
  kScl,
  kSda,
  kVarCount
};

// Identifier codes: printable characters, more of them once one runs out.
std::string IdCode(std::size_t n) {
  constexpr std::size_t kFirst = '!', kCount = '~' - '!' + 1;
  std::string id;
  do {
    id += static_cast<char>(kFirst + n % kCount);
    n /= kCount;
  } while (n-- > 0);
  return id;
}

}  // namespace

VcdWriter::VcdWriter(std::unique_ptr<std::ostream> out) : out_(std::move(out)) {
  for (int n = 0; n < 5; ++n)
    vars_.push_back({"board", "latch" + std::to_string(n), 8, {}, 0, false});
  vars_.push_back({"board", "data_lines", 8, {}, 0, false});
  vars_.push_back({"socket", "address", 20, {}, 0, false});
  for (const char* wire : {"ce_n", "oe_n", "pgm_we_n", "vcc"})
    vars_.push_back({"socket", wire, 1, {}, 0, false});
  vars_.push_back({"socket", "vpp", 0, {}, 0, false});
  vars_.push_back({"socket", "scl", 1, {}, 0, false});
  vars_.push_back({"socket", "sda", 1, {}, 0, false});
  std::size_t next = 0;
  for (auto& v : vars_) {
    for (int b = 0; b < std::max(v.width, 1); ++b) v.ids.push_back(IdCode(next++));
  }
  Header();
}

void VcdWriter::Header() {
  auto& o = *out_;
  o << "$date simulated run $end\n$version zambrix simulated board $end\n$timescale 1ns $end\n";
  std::string scope;
  for (const auto& v : vars_) {
    if (v.scope != scope) {
      if (!scope.empty()) o << "$upscope $end\n";
      o << "$scope module " << v.scope << " $end\n";
      scope = v.scope;
    }
    if (v.width == 0) {
      o << "$var real 64 " << v.ids[0] << " " << v.name << " $end\n";
    } else if (v.width == 1) {
      o << "$var wire 1 " << v.ids[0] << " " << v.name << " $end\n";
    } else {
      for (int b = v.width - 1; b >= 0; --b)
        o << "$var wire 1 " << v.ids[static_cast<std::size_t>(b)] << " " << v.name << " [" << b
          << "] $end\n";
    }
  }
  o << "$upscope $end\n$enddefinitions $end\n";
}

void VcdWriter::Stamp() {
  if (time_written_ && last_time_ == pending_time_) return;
  *out_ << "#" << pending_time_ << "\n";
  if (!time_written_) *out_ << "$dumpvars\n";
  time_written_ = true;
  last_time_ = pending_time_;
}

void VcdWriter::Set(std::size_t var, double value) {
  Var& v = vars_[var];
  if (v.written && v.value == value) return;
  Stamp();
  auto& o = *out_;
  if (v.width == 0) {
    o << "r" << value << " " << v.ids[0] << "\n";
  } else {
    const auto bits = static_cast<std::uint32_t>(value);
    const auto old = static_cast<std::uint32_t>(v.value);
    for (int b = v.width - 1; b >= 0; --b) {
      const std::uint32_t bit = (bits >> b) & 1;
      if (v.written && bit == ((old >> b) & 1)) continue;
      o << (bit ? '1' : '0') << v.ids[static_cast<std::size_t>(b)] << "\n";
    }
  }
  v.value = value;
  v.written = true;
}

void VcdWriter::Sample(std::uint64_t ns, const std::array<std::uint8_t, 5>& latches,
                       const ChipPins& pins, std::uint8_t bus) {
  pending_time_ = ns < last_time_ ? last_time_ : ns;
  for (std::size_t n = 0; n < 5; ++n) Set(kLatch0 + n, latches[n]);
  Set(kDataLines, bus);
  Set(kAddress, pins.address);
  Set(kCe, pins.ce_low ? 0 : 1);
  Set(kOe, pins.oe_low ? 0 : 1);
  Set(kStrobe, pins.strobe_low ? 0 : 1);
  Set(kVcc, pins.powered ? 1 : 0);
  Set(kVpp, pins.vpp);
  Set(kScl, pins.scl ? 1 : 0);
  Set(kSda, (bus & 0x80) ? 1 : 0);
  if (!dumped_) *out_ << "$end\n";  // closes $dumpvars: the first sample writes every variable
  dumped_ = true;
}

void VcdWriter::Finish(std::uint64_t ns) {
  if (ns > last_time_) *out_ << "#" << ns << "\n";
  out_->flush();
}

}  // namespace zambrix::sim
