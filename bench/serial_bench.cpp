// The serial EEPROMs on the simulated board: port accesses per byte read and
// written over the two-wire bus, and the simulated hardware time of reading and
// programming a whole chip.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"

namespace zambrix {
namespace {

struct SerialChip : bench::SimulatedProgram {
  explicit SerialChip(const char* name) : SimulatedProgram(name) {
    core.setup.SettingsDir = "/nonexistent";
    core.shell.Form_Load();
    bench::Choose(core, name);
  }
  std::uint64_t Accesses() { return port.Trace().counts.writes + port.Trace().counts.reads; }
};

// `run` covers the whole chip once per pass.
template <class Run>
void Measure(benchmark::State& state, const char* name, Run run) {
  SerialChip chip(name);
  const auto size = static_cast<std::uint64_t>(chip.core.dev.DeviceSize);
  for (std::size_t i = 0; i < size; ++i)
    chip.core.buf.CodeBuffer[i] = static_cast<std::uint8_t>(i * 7);
  chip.core.buf.CodeSize = static_cast<std::int32_t>(size);  // a file as long as the chip
  chip.core.ops.BuildProgramImage();
  std::uint64_t accesses = 0;
  bench::BoardTime board(chip.clock);
  for (auto _ : state) {
    const auto a = chip.Accesses();
    board.Begin();
    run(chip.core.ops);
    accesses += chip.Accesses() - a;
    board.End();
  }
  if (chip.core.ops.ErrorCount != 0) state.SkipWithError("the chip did not acknowledge");
  const auto passes = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["accesses/byte"] =
      static_cast<double>(accesses) / passes / static_cast<double>(size);
  board.Report(state, "simulated s/chip");
}

void BM_SerialRead(benchmark::State& state, const char* name) {
  Measure(state, name, [](Operations& ops) { ops.Read24Cxx(); });
}

void BM_SerialProgram(benchmark::State& state, const char* name) {
  Measure(state, name, [name](Operations& ops) {
    std::string(name) == "24C32" ? ops.Write24C32() : ops.Write24C08_16();
  });
}

BENCHMARK_CAPTURE(BM_SerialRead, 24C08, "24C08")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SerialRead, 24C16, "24C16")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SerialRead, 24C32, "24C32")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SerialProgram, 24C08, "24C08")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SerialProgram, 24C16, "24C16")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SerialProgram, 24C32, "24C32")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zambrix

BENCHMARK_MAIN();
