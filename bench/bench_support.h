// Shared set-up of the benchmarks: a Core with silent services on a simulated board.
#pragma once

#include <memory>

#include "app/core.h"
#include "app/posix_platform.h"
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

}  // namespace zambrix::bench
