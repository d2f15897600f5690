// Programming a whole blank chip of each EPROM family on the simulated board
// at the default speed, through the window's Program command: wall time, port
// accesses per programmed byte, and the simulated hardware time of the chip.
#include <benchmark/benchmark.h>

#include <random>

#include "app/core.h"
#include "app/posix_platform.h"
#include "base/text.h"
#include "bench_support.h"
#include "sim/sim_port.h"

namespace zambrix {
namespace {

struct Family {
  const char* device;  // list entry
  const char* chip;    // simulated part
  int voltage_option;  // 0: the selection's own
};

struct Rig {
  explicit Rig(const Family& f)
      : port(Config(f.chip), clock),
        core(Services{&port, &clock, &dialogs, &sound, &settings, &platform}) {
    core.shell.CreateWindow();
    core.setup.SettingsDir = "/nonexistent";
    core.shell.Form_Load();
    bench::Choose(core, f.device);
    if (f.voltage_option) core.ChangeValue(Indexed("Voltage_button", f.voltage_option), 1);
    std::mt19937 gen(1);
    for (std::int32_t i = 0; i < core.dev.DeviceSize; ++i) {
      core.buf.CodeBuffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(gen());
    }
    core.buf.CodeSize = core.dev.DeviceSize;  // a file as long as the chip
  }
  static sim::SimConfig Config(const char* chip) {
    sim::SimConfig c;
    c.chip = sim::FindChipSpec(chip);
    c.demo_image = false;
    return c;
  }
  VirtualClock clock{Link::kNsPerIteration};
  sim::SimPort port;
  bench::NoDialogs dialogs;
  SilentSound sound;
  MemorySettings settings;
  PosixPlatform platform;
  Core core;
};

void BM_ProgramWholeChip(benchmark::State& state, Family f) {
  Rig rig(f);
  const auto* spec = rig.port.Config().chip;
  std::uint64_t accesses = 0, bytes = 0, pulses = 0, pulse_ns = 0;
  bench::BoardTime board(rig.clock);
  bool ok = true;
  for (auto _ : state) {
    state.PauseTiming();
    rig.port.InsertChip(spec, {});
    const auto& counts = rig.port.Trace().counts;
    const auto before = counts.writes + counts.reads;
    board.Begin();
    state.ResumeTiming();
    rig.core.Click("Program_button");
    accesses += counts.writes + counts.reads - before;
    board.End();
    bytes += spec->size;
    const auto* chip = rig.port.Board().socket().As<sim::Eprom>();
    pulses += chip->PulseCount();
    pulse_ns += chip->ProgrammingTime();
    ok = ok && rig.core.ops.FailFlag == 0;
  }
  if (!ok) state.SkipWithError("programming failed");
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["accesses/byte"] = static_cast<double>(accesses) / static_cast<double>(bytes);
  state.counters["pulses/byte"] = static_cast<double>(pulses) / static_cast<double>(bytes);
  state.counters["pulse s"] =
      static_cast<double>(pulse_ns) / 1e9 / static_cast<double>(state.iterations());
  board.Report(state, "simulated s/chip");
}

BENCHMARK_CAPTURE(BM_ProgramWholeChip, P2732_2732A, Family{"Eprom 2732A", "2732A", 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_ProgramWholeChip, P2764_128_27C64, Family{"Eprom 27C64", "27C64", 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ProgramWholeChip, P2764_128_27C128, Family{"Eprom 27C128", "27C128", 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_ProgramWholeChip, P27256_040_27C256, Family{"Eprom 27C256", "27C256", 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ProgramWholeChip, P27080_27C512, Family{"Eprom 27C512", "27C512", 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_ProgramWholeChip, P27010_020_27C010, Family{"Eprom 27C010", "27C010", 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_ProgramWholeChip, P27080_27C080, Family{"Eprom 27C080", "27C080", 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace zambrix

BENCHMARK_MAIN();
