// The simulated board as a port back end: the board at one of the three port
// addresses, the other two absent (writes ignored, reads FFh). Every access
// costs virtual time on the shared clock; faults are injected as configured.
#pragma once

#include <memory>
#include <ostream>

#include "link/clock.h"
#include "link/port.h"
#include "sim/board.h"
#include "sim/sim_config.h"
#include "sim/trace.h"

namespace zambrix::sim {

class SimPort final : public PortBackend {
 public:
  SimPort(const SimConfig& config, VirtualClock& clock);

  void PortOut(std::uint16_t address, std::uint8_t value) override {
    clock_.Advance(config_.access_ns);
    const std::uint64_t now = clock_.NowNs();
    const unsigned reg = static_cast<unsigned>(address - config_.base);
    if (reg == 0) {
      data_ = value;
      if (connected_) board_.WriteData(value, now);
    } else if (reg == 2) {
      control_ = value;
      if (connected_) board_.WriteControl(value, now);
    }
    Record(true, address, value, now);
  }
  std::uint8_t PortIn(std::uint16_t address) override {
    clock_.Advance(config_.access_ns);
    const std::uint64_t now = clock_.NowNs();
    const unsigned reg = static_cast<unsigned>(address - config_.base);
    std::uint8_t v = 0xFF;  // no port there
    if (reg == 1) {
      v = connected_ ? board_.ReadStatus(now) : kNoBoardStatus;
    } else if (reg == 0) {
      v = data_;
    } else if (reg == 2) {
      v = control_;
    }
    Record(false, address, v, now);
    return v;
  }
  bool IsSimulated() const override { return true; }
  void SetEventSink(std::function<void(const std::string&)> sink) override;
  std::string Describe() const override;

  SimBoard& Board() { return board_; }
  SimTrace& Trace() { return trace_; }
  const SimConfig& Config() const { return config_; }
  bool BoardConnected() const { return connected_; }
  // Brings the chip up to the clock's time, so that its state can be inspected.
  void Sync() { board_.socket().Advance(clock_.NowNs()); }
  // The socket's chip contents as they stand once running write cycles have
  // ended (empty for an empty socket).
  std::vector<std::uint8_t> ChipImage();
  // Replaces the chip in the socket.
  void InsertChip(const ChipSpec* spec, std::vector<std::uint8_t> contents);
  void StartVcd(std::unique_ptr<std::ostream> out);
  // End of the run: closes the VCD file.
  void Finish();

  // Status register of a port with nothing on it: every input pulled high
  // (BUSY reads inverted).
  static constexpr std::uint8_t kNoBoardStatus = 0x7F;

 private:
  void Record(bool write, std::uint16_t address, std::uint8_t value, std::uint64_t now) {
    trace_.Access(write, address, value, now);
    if (++accesses_ == vanish_at_) Vanish();
  }
  void Vanish();

  SimConfig config_;
  VirtualClock& clock_;
  SimTrace trace_;
  SimBoard board_;
  bool connected_;
  std::uint8_t data_ = 0, control_ = 0;  // the port's own registers
  std::uint64_t accesses_ = 0;
  std::uint64_t vanish_at_ = 0;
};

}  // namespace zambrix::sim
