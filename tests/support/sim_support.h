// A Core on the simulated board, with the link set up as detection leaves it and
// a device chosen in the Device list.
#pragma once

#include <string>

#include "sim/sim_port.h"
#include "support/fakes.h"

namespace zambrix::testing {

sim::SimConfig SimSetup(int model, std::uint16_t base, const std::string& chip,
                        std::vector<std::uint8_t> contents = {});

struct SimRig {
  explicit SimRig(const sim::SimConfig& config);
  // ... and Use(key).
  SimRig(const sim::SimConfig& config, const std::string& key) : SimRig(config) { Use(key); }
  // On a board that exists already (the back end's).
  SimRig(sim::SimPort& port, VirtualClock& clock);
  std::unique_ptr<VirtualClock> own_clock;
  std::unique_ptr<sim::SimPort> own_port;
  VirtualClock& clock;
  sim::SimPort& port;
  TestCore t;

  Link& link() { return t->link; }
  sim::Socket& socket() { return port.Board().socket(); }
  sim::SimTrace& trace() { return port.Trace(); }
  template <class T>
  T& chip() {
    return *socket().As<T>();
  }
  // The chip's memory as it stands now.
  std::vector<std::uint8_t>& Memory() {
    port.Sync();
    return socket().Chip()->Memory();
  }
  // The link on this board's port and model, as after detection.
  void UseBoard(int model, int port_address);
  // The operator's choice of the key's entry in the Device list.
  void Select(const std::string& key);
  // UseBoard on this board's own model and port, Select(key), then the reset an
  // operation starts with (not for the serial chips, whose lines Select leaves on).
  void Use(const std::string& key);
  // One byte through SETADR, REG4OFF, CEOEON and GetNibbles.
  std::uint8_t ReadByte(std::int32_t address);
};

}  // namespace zambrix::testing
