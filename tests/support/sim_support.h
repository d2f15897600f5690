// A Core on the simulated board, with the link set up as detection and device
// selection would leave it, and the chip sequences the tests drive.
#pragma once

#include <string>

#include "sim/sim_port.h"
#include "support/fakes.h"

namespace zambrix::testing {

sim::SimConfig SimSetup(int model, std::uint16_t base, const std::string& chip,
                        std::vector<std::uint8_t> contents = {});

struct SimRig {
  explicit SimRig(const sim::SimConfig& config);
  // On a board that exists already (the back end's).
  SimRig(sim::SimPort& port, VirtualClock& clock);
  std::unique_ptr<VirtualClock> own_clock;
  std::unique_ptr<sim::SimPort> own_port;
  VirtualClock& clock;
  sim::SimPort& port;
  TestCore t;

  Link& link() { return t->link; }
  sim::Socket& socket() { return port.Board().socket(); }
  template <class T>
  T& chip() {
    return *socket().As<T>();
  }
  // The link on this board's port and model, as after detection.
  void UseBoard(int model, int port_address);
  // The fixed bits, address maps and delay factors of a catalogue key, then the
  // line changes of a device selection.
  void Select(const std::string& key);
  // One byte through SETADR, REG4OFF, CEOEON and GetNibbles.
  std::uint8_t ReadByte(std::int32_t address);
  // Pulses one EPROM byte with the key's programming sequence until it reads
  // back (at most `limit` pulses); returns the pulses used (0: failed).
  int ProgramEpromByte(std::int32_t address, std::uint8_t value, int limit = 254);
  // Puts the key's programming set-up value in latch 0.
  void EpromSetUp();
  std::string key;
};

}  // namespace zambrix::testing
