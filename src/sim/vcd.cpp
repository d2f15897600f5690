#include "sim/vcd.h"

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
}  // namespace

VcdWriter::VcdWriter(std::unique_ptr<std::ostream> out) : out_(std::move(out)) {
  for (int n = 0; n < 5; ++n)
    vars_.push_back({"board", "latch" + std::to_string(n), "", 8, 0, false});
  vars_.push_back({"board", "data_lines", "", 8, 0, false});
  vars_.push_back({"socket", "address", "", 20, 0, false});
  vars_.push_back({"socket", "ce_n", "", 1, 0, false});
  vars_.push_back({"socket", "oe_n", "", 1, 0, false});
  vars_.push_back({"socket", "pgm_we_n", "", 1, 0, false});
  vars_.push_back({"socket", "vcc", "", 1, 0, false});
  vars_.push_back({"socket", "vpp", "", 0, 0, false});
  vars_.push_back({"socket", "scl", "", 1, 0, false});
  vars_.push_back({"socket", "sda", "", 1, 0, false});
  for (std::size_t i = 0; i < vars_.size(); ++i)
    vars_[i].id = std::string(1, static_cast<char>('!' + i));
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
      o << "$var real 64 " << v.id << " " << v.name << " $end\n";
    } else if (v.width == 1) {
      o << "$var wire 1 " << v.id << " " << v.name << " $end\n";
    } else {
      o << "$var wire " << v.width << " " << v.id << " " << v.name << " [" << v.width - 1
        << ":0] $end\n";
    }
  }
  o << "$upscope $end\n$enddefinitions $end\n";
}

void VcdWriter::Set(std::size_t var, double value) {
  Var& v = vars_[var];
  if (v.written && v.value == value) return;
  auto& o = *out_;
  if (!time_written_ || last_time_ != pending_time_) {
    o << "#" << pending_time_ << "\n";
    if (!time_written_) o << "$dumpvars\n";
    time_written_ = true;
    last_time_ = pending_time_;
  }
  v.value = value;
  v.written = true;
  if (v.width == 0) {
    o << "r" << value << " " << v.id << "\n";
  } else if (v.width == 1) {
    o << (value != 0 ? '1' : '0') << v.id << "\n";
  } else {
    const auto bits = static_cast<std::uint32_t>(value);
    o << 'b';
    for (int b = v.width - 1; b >= 0; --b) o << (((bits >> b) & 1) ? '1' : '0');
    o << " " << v.id << "\n";
  }
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
