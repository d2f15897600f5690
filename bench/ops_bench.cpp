// What each operation costs: port accesses per byte against the protocol's
// minimum, wall time on the simulator, and the simulated board time at 1 us an
// access. tools/bench.sh turns the counters into docs/benchmarks.md.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_support.h"

namespace zambrix {
namespace {

using bench::SimulatedProgram;

// A port that is not there: the cost of the program's own side of an access.
class NullPort : public PortBackend {
 public:
  void PortOut(std::uint16_t, std::uint8_t v) override { sink_ = v; }
  std::uint8_t PortIn(std::uint16_t) override { return 0xFF; }
  bool IsSimulated() const override { return true; }
  std::string Describe() const override { return "null port"; }

 private:
  volatile std::uint8_t sink_ = 0;
};

void BM_LinkAccessOnANullPort(benchmark::State& state) {
  NullPort port;
  VirtualClock clock{Link::kNsPerIteration};
  bench::NoDialogs dialogs;
  SilentSound sound;
  MemorySettings settings;
  PosixPlatform platform;
  Core core(Services{&port, &clock, &dialogs, &sound, &settings, &platform});
  core.shell.CreateWindow();
  core.link.PortAddress = 0x378;
  core.link.ControlPort = 0x37A;
  core.link.StatusPort = 0x379;
  std::int64_t accesses = 0;
  for (auto _ : state) {
    for (int i = 0; i < 256; ++i) {
      core.link.Reg2Value = i;
      core.link.SetReg2();  // data, select, strobe, select
      core.link.GetNibbles();
    }
    accesses += 256 * 4;
  }
  state.counters["ns/access"] = benchmark::Counter(
      static_cast<double>(accesses), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LinkAccessOnANullPort);

struct Op {
  const char* chip;       // simulated part
  const char* entry;      // catalogue entry it is chosen by
  const char* control;    // what is clicked
  bool erased;            // the chip starts erased (else the demonstration image)
  bool extended = false;  // needs the extended catalogue
};

void BM_Operation(benchmark::State& state, Op op) {
  SimulatedProgram p(op.chip);
  const auto* spec = p.port.Config().chip;
  p.core.shell.Form_Load();
  if (op.extended) {
    p.core.dev.SetExtendedCatalogue(true);
    p.core.dev.FillDeviceList();
  }
  bench::Choose(p.core, op.entry);
  if (p.core.dev.DeviceSize != static_cast<std::int32_t>(spec->size)) {
    state.SkipWithError("the device could not be chosen");
    return;
  }
  std::vector<std::uint8_t> image(spec->size, 0xFF);
  if (!op.erased) {
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  std::uint64_t accesses = 0;
  bench::BoardTime board(p.clock);
  for (auto _ : state) {
    state.PauseTiming();
    p.port.InsertChip(spec, image);
    std::memcpy(p.core.buf.CodeBuffer.data(), image.data(), image.size());
    p.core.buf.CodeSize = static_cast<std::int32_t>(image.size());
    const auto& c = p.port.Trace().counts;
    const auto before = c.reads + c.writes;
    board.Begin();
    state.ResumeTiming();
    p.core.Click(op.control);
    accesses += c.reads + c.writes - before;
    board.End();
  }
  if (p.core.ui.Colour("Error_label") == colour::kRed) state.SkipWithError("the operation failed");
  const double n = static_cast<double>(state.iterations());
  state.counters["bytes"] = static_cast<double>(spec->size);
  state.counters["accesses/byte"] =
      static_cast<double>(accesses) / n / static_cast<double>(spec->size);
  board.Report(state, "simulated s");
}

BENCHMARK_CAPTURE(BM_Operation, Read_27C256, Op{"27C256", "Eprom 27C256", "Read_button", false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Operation, Read_27C080, Op{"27C080", "Eprom 27C080", "Read_button", false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Operation, Blank_27C256, Op{"27C256", "Eprom 27C256", "Blank_button", true})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Operation, Verify_27C256, Op{"27C256", "Eprom 27C256", "Verify_button", false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Operation, Erase_X28C256,
                  Op{"X28C256", "Eeprom XICOR X28C256", "EraseFlash_button", false})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_Operation, Erase_24C08, Op{"24C08", "24C08", "EraseFlash_button", false})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Operation, Identify_AM29F040,
                  Op{"AM29F040", "Flash AMD AM29F040", "menuFlashShowCodeID", false, true})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zambrix

BENCHMARK_MAIN();
