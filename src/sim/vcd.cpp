#include "sim/vcd.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <stdexcept>

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

// Changes are gathered and handed to the stream in blocks of about this size;
// one sample writes well under kSampleRoom characters (75 change lines of at
// most 4, a time stamp, a real).
constexpr std::size_t kBlock = 1 << 16;
constexpr std::size_t kSampleRoom = 1024;

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
  std::size_t next = 0;  // identifier codes handed out
  auto add = [this, &next](const char* scope, std::string name, int width) {
    Var v;
    v.scope = scope, v.name = std::move(name), v.width = width;
    for (int b = 0; b < std::max(width, 1); ++b) {
      v.ids.push_back(IdCode(next++));
      Tail t;
      t.size = v.ids.back().size() + 1;
      if (t.size > t.text.size()) throw std::logic_error("VCD identifier code too long");
      std::copy(v.ids.back().begin(), v.ids.back().end(), t.text.begin());
      t.text[t.size - 1] = '\n';
      v.tails.push_back(t);
    }
    vars_.push_back(std::move(v));
  };
  for (int n = 0; n < 5; ++n) add("board", "latch" + std::to_string(n), 8);
  add("board", "data_lines", 8);
  add("socket", "address", 20);
  for (const char* wire : {"ce_n", "oe_n", "pgm_we_n", "vcc"}) add("socket", wire, 1);
  add("socket", "vpp", 0);
  add("socket", "scl", 1);
  add("socket", "sda", 1);
  block_.resize(kBlock + kSampleRoom);
  at_ = block_.data();
  Header();
}

// A run that ends without Finish still leaves every change it recorded.
VcdWriter::~VcdWriter() { Flush(); }

void VcdWriter::Flush() {
  out_->write(block_.data(), at_ - block_.data());
  at_ = block_.data();
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

void VcdWriter::PutStamp(std::uint64_t ns) {
  Put('#');
  at_ = std::to_chars(at_, at_ + 24, ns).ptr;
  Put('\n');
}

void VcdWriter::Stamp() {
  if (time_written_ && last_time_ == pending_time_) return;
  PutStamp(pending_time_);
  if (!time_written_) PutText("$dumpvars\n");
  time_written_ = true;
  last_time_ = pending_time_;
}

// Only the bits that changed, most significant first.
void VcdWriter::Write(Var& v, std::uint32_t bits) {
  std::uint32_t changed = bits ^ v.bits;
  if (!v.written) changed = v.width == 32 ? ~0u : (1u << v.width) - 1;
  Stamp();
  while (changed != 0) {
    const int b = 31 - std::countl_zero(changed);
    changed &= ~(1u << b);
    Put(((bits >> b) & 1) ? '1' : '0');
    Put(v.tails[static_cast<std::size_t>(b)]);
  }
  v.bits = bits;
  v.written = true;
}

// A real as a stream writes it by default (six significant digits).
void VcdWriter::SetReal(std::size_t var, double value) {
  Var& v = vars_[var];
  if (v.written && v.real == value) return;
  Stamp();
  constexpr std::size_t kRoom = 40;
  const int n = std::snprintf(at_, kRoom, "r%g ", value);
  at_ += std::clamp(n, 0, static_cast<int>(kRoom) - 1);
  Put(v.tails[0]);
  v.real = value;
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
  SetReal(kVpp, pins.vpp);
  Set(kScl, pins.scl ? 1 : 0);
  Set(kSda, (bus & 0x80) ? 1 : 0);
  if (!dumped_) PutText("$end\n");  // closes $dumpvars: the first sample writes every variable
  dumped_ = true;
  if (static_cast<std::size_t>(at_ - block_.data()) >= kBlock) Flush();
}

void VcdWriter::Finish(std::uint64_t ns) {
  if (ns > last_time_) PutStamp(ns);
  Flush();
  out_->flush();
}

}  // namespace zambrix::sim
