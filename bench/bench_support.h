// Shared set-up of the benchmarks: a Core with silent services on a simulated board.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/core.h"
#include "app/posix_platform.h"
#include "base/text.h"
#include "sim/sim_port.h"

namespace zambrix::bench {

inline sim::SimConfig Board(const char* chip, int model = 6) {
  sim::SimConfig c;
  c.model = model;
  c.base = 0x378;
  c.chip = sim::FindChipSpec(chip);
  c.demo_image = true;
  return c;
}

class NoDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(std::string_view, MsgButtons, MsgIcon, std::string_view) override {
    return MsgAnswer::Ok;
  }
  std::optional<std::string> InputBox(std::string_view, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

// The operator's choice of the Device list entry `name` names (a whole entry
// or a part number).
inline void Choose(Core& core, const std::string& name) {
  core.ChooseListIndex("Device", core.dev.Match(name).row);
}

// A program run on a simulated board with silent services.
struct SimulatedProgram {
  explicit SimulatedProgram(const char* chip = "27C080", int model = 6)
      : port(Board(chip, model), clock),
        core(Services{&port, &clock, &dialogs, &sound, &settings, &platform}) {
    core.shell.CreateWindow();
  }
  VirtualClock clock{Link::kNsPerIteration};
  sim::SimPort port;
  NoDialogs dialogs;
  SilentSound sound;
  MemorySettings settings;
  PosixPlatform platform;
  Core core;
};

// The simulated board time of the measured runs, split into what the board
// charged for its port accesses, the counted delay loops (strobes), the chip's
// own waits (program pulses and their set-up and hold times, two-wire bus
// times) and the millisecond sleeps (write cycles, settling);
// tools/bench_table.py turns the split into the lines on where the time goes.
class BoardTime {
 public:
  explicit BoardTime(const VirtualClock& clock) : clock_(clock) {}
  void Begin() {
    now_ = clock_.NowNs(), spun_ = clock_.SpunNs(), slept_ = clock_.SleptNs(),
    waited_ = clock_.WaitedNs();
  }
  void End() {
    total_ += clock_.NowNs() - now_;
    spin_ += clock_.SpunNs() - spun_;
    sleep_ += clock_.SleptNs() - slept_;
    wait_ += clock_.WaitedNs() - waited_;
  }
  // `key` names the total, in seconds a run.
  void Report(benchmark::State& state, const char* key) const {
    const double runs = static_cast<double>(state.iterations()) * 1e9;
    state.counters[key] = static_cast<double>(total_) / runs;
    state.counters["spin s"] = static_cast<double>(spin_) / runs;
    state.counters["sleep s"] = static_cast<double>(sleep_) / runs;
    state.counters["chip wait s"] = static_cast<double>(wait_) / runs;
  }

 private:
  const VirtualClock& clock_;
  std::uint64_t now_ = 0, spun_ = 0, slept_ = 0, waited_ = 0;
  std::uint64_t total_ = 0, spin_ = 0, sleep_ = 0, wait_ = 0;
};

}  // namespace zambrix::bench
