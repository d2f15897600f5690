// The ZAMBRIX-4, -5 or -6 board as the parallel port sees it.
//
// Control register: model 4 takes the low four control bits as they are; models
// 5 and 6 have them inverted (the same board logic behind inverters). After that
// bit 0 is the load pulse and bits 1..3 address a latch (5: latch 0, 1: latch 1,
// 4: latch 2, 0: latch 3, 7: latch 4; 2, 3 and 6 address none); bit 2 also
// selects the read-back nibble (0 low, 1 high).
//
// The latches are transparent: while its load pulse is on, a latch follows the
// data register; it holds its value when the pulse ends or the address moves to
// another latch. (The model-5 probe changes the data while latch 4's pulse stays
// on, and the bytes it then reads are those it set during the pulse.)
//
// Data lines: the data latch drives them while latch 3 bit 6 is clear, the chip
// while its outputs are on. Both drive through open-collector stages with
// pull-ups, so the lines are wired-AND: a low from either side wins and an
// undriven line reads 1. That is why the read-back loads FFh into the data
// latch before releasing it, and why the serial bus's SDA works on D7.
//
// Read-back: the selected nibble goes to four status lines. Model 4: SELECT,
// PAPER-END, ACK and BUSY carry data bits 3, 2, 0, 1 (low nibble) or 7, 6, 4, 5
// (high); the port inverts BUSY. Models 5 and 6: ERROR, SELECT, PAPER-END and ACK
// carry bits 0..3 or 4..7; BUSY is not connected. Unconnected status inputs read
// high.
//
// Model 6: latch 3 bit 5 enables the board's identification driver, which pulls
// D4 low once it has settled (about four port cycles); the model-6 test of the
// detection reads EFh while it is on and FFh when it is off.
#pragma once

#include <array>
#include <cstdint>

#include "sim/socket.h"
#include "sim/trace.h"

namespace zambrix::sim {

struct BoardSetup {
  int model = 6;
  std::uint64_t access_ns = 1000;
  double vpp_jumper = 12.5;                    // model 4: the VPP level jumper
  std::uint8_t stuck_low = 0, stuck_high = 0;  // data lines stuck at 0 or 1
};

class SimBoard {
 public:
  SimBoard(const BoardSetup& setup, SimTrace& trace);

  void WriteData(std::uint8_t value, std::uint64_t now);
  void WriteControl(std::uint8_t value, std::uint64_t now);
  std::uint8_t ReadStatus(std::uint64_t now) {
    if (trace_.VcdOn()) TraceUntil(now);
    return status_[high_nibble_ ? 1 : 0][DataLines(now)];
  }
  std::uint8_t DataRegister() const { return data_; }
  std::uint8_t ControlRegister() const { return control_; }

  // The data lines as a reader sees them.
  std::uint8_t DataLines(std::uint64_t now) {
    std::uint8_t bus = BoardDrive() & socket_.Drive(now);
    if (id_since_ != kNever && now - id_since_ >= id_settle_ns_) bus &= 0xEF;
    return Stuck(bus);
  }
  std::uint8_t Latch(int n) const { return latch_[static_cast<std::size_t>(n)]; }
  const std::array<std::uint8_t, 5>& Latches() const { return latch_; }
  int Model() const { return setup_.model; }
  VppSwitches Vpp() const;
  Socket& socket() { return socket_; }
  const Socket& socket() const { return socket_; }
  // Re-evaluates the chip after it was replaced.
  void Refresh(std::uint64_t now) { LinesChanged(now); }
  // Writes to the trace, each at its own time, the changes of the data lines
  // up to `now` that no latch load caused: the chip ending a write cycle or a
  // load, the identification driver settling.
  void TraceUntil(std::uint64_t now);

 private:
  void Load(int n, std::uint8_t value, std::uint64_t now);
  void LinesChanged(std::uint64_t now);
  void Sample(std::uint64_t at);
  std::uint8_t BoardDrive() const { return (latch_[3] & 0x40) ? 0xFF : latch_[4]; }
  std::uint8_t Stuck(std::uint8_t v) const {
    return static_cast<std::uint8_t>((v & ~setup_.stuck_low) | setup_.stuck_high);
  }
  void BuildStatusTables();

  BoardSetup setup_;
  SimTrace& trace_;
  Socket socket_;
  std::array<std::uint8_t, 5> latch_{};  // clear at power-up
  std::uint8_t data_ = 0, control_ = 0;
  std::uint8_t invert_ = 0;
  int open_ = -1;  // the latch whose load pulse is on
  bool high_nibble_ = false;
  std::uint64_t id_since_ = kNever;
  std::uint64_t id_settle_ns_ = 0;
  std::uint64_t traced_ns_ = 0;                            // time of the last trace sample
  std::array<std::array<std::uint8_t, 256>, 2> status_{};  // by nibble select and data lines
};

}  // namespace zambrix::sim
