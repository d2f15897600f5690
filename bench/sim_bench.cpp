// Speed of the simulated board: raw port accesses through the port interface,
// and a whole 1 MB chip read through the link layer.
#include <benchmark/benchmark.h>

#include "bench_support.h"

namespace zambrix {
namespace {

using bench::Board;
using bench::SimulatedProgram;

// The read sweep's traffic at port level: load latch 2, then two nibble reads.
void BM_SimPortAccesses(benchmark::State& state) {
  VirtualClock clock(Link::kNsPerIteration);
  sim::SimPort sim_port(Board("27C080"), clock);
  PortBackend& port = sim_port;
  auto load = [&port](int n, int v) {  // models 5 and 6: select, strobe
    static constexpr int kSelect[5] = {5, 13, 7, 15, 1};
    port.PortOut(0x378, static_cast<std::uint8_t>(v));
    port.PortOut(0x37A, static_cast<std::uint8_t>(kSelect[n]));
    port.PortOut(0x37A, static_cast<std::uint8_t>(kSelect[n] ^ 1));
    port.PortOut(0x37A, static_cast<std::uint8_t>(kSelect[n]));
  };
  load(0, 0x00);  // OE on
  load(3, 0x40);  // CE on, data latch off
  unsigned sum = 0;
  int low = 0;
  for (auto _ : state) {
    load(2, low++ & 0xFF);
    port.PortOut(0x37A, 5);
    sum += port.PortIn(0x379);
    port.PortOut(0x37A, 1);
    sum += port.PortIn(0x379);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * 8);
  state.counters["accesses/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * 8), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimPortAccesses);

// A 27C080 read byte by byte as the parallel read sweep does it.
void BM_Read1MBThroughTheLink(benchmark::State& state) {
  SimulatedProgram p;
  auto& port = p.port;
  auto& clock = p.clock;
  Link& l = p.core.link;
  l.InitControlTables();
  l.BuildReadTables();
  l.PortAddress = 0x378;
  l.BoardModel = 6;
  l.ApplyBoardModel();
  l.ApplySpeedSetting();
  std::vector<std::uint8_t> buffer(1 << 20);
  std::uint64_t accesses = 0;
  for (auto _ : state) {
    const auto before = port.Trace().counts.writes + port.Trace().counts.reads;
    l.Reset();
    l.SETADR();
    l.REG4OFF();
    l.CEOEON();
    std::size_t i = 0;
    for (int bank = 0; bank < 16; ++bank) {
      l.Reg3Value =
          l.AddressHighMap[static_cast<std::size_t>(bank)] | (l.Reg3Value & 0xF0) | l.Reg3Fixed;
      l.SetReg3();
      for (int page = 0; page < 256; ++page) {
        l.Reg1Value = l.AddressMidMap[static_cast<std::size_t>(page)] | l.Reg1Fixed;
        l.SetReg1();
        for (l.Reg2Value = 0; l.Reg2Value < 256; ++l.Reg2Value) {
          l.SetReg2();
          l.GetNibbles();
          buffer[i++] = l.ReadValue;
        }
      }
    }
    accesses += port.Trace().counts.writes + port.Trace().counts.reads - before;
  }
  benchmark::DoNotOptimize(buffer.data());
  state.SetBytesProcessed(state.iterations() * (1 << 20));
  state.counters["accesses/s"] =
      benchmark::Counter(static_cast<double>(accesses), benchmark::Counter::kIsRate);
  state.counters["virtual s/MB"] =
      static_cast<double>(clock.NowNs()) / 1e9 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Read1MBThroughTheLink)->Unit(benchmark::kMillisecond);

// The whole read command of the window on a 27C080: device selection once,
// then Read_button_Click (sweep, checksum, log lines, page display) per pass.
void BM_ReadCommand1MB(benchmark::State& state) {
  SimulatedProgram p;
  auto& clock = p.clock;
  Core& core = p.core;
  core.setup.SettingsDir = "/nonexistent";
  core.shell.Form_Load();
  core.ChooseListIndex("Device", 19);  // Eprom 27C080
  std::uint64_t virtual_ns = 0;
  for (auto _ : state) {
    const auto before = clock.NowNs();
    core.Click("Read_button");
    virtual_ns += clock.NowNs() - before;
  }
  state.SetBytesProcessed(state.iterations() * (1 << 20));
  state.counters["simulated s/read"] =
      static_cast<double>(virtual_ns) / 1e9 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadCommand1MB)->Unit(benchmark::kMillisecond);

// A whole X28C256 programmed by the page algorithm at the default speed on a
// 1 us port: the protection-off sequence and 512 pages of 64 bytes with their
// read-back. Wall time per chip, and the time the same run takes on a board.
void BM_ProgramX28C256(benchmark::State& state) {
  SimulatedProgram p("X28C256");
  auto& clock = p.clock;
  Core& core = p.core;
  core.setup.SettingsDir = "/nonexistent";
  core.shell.Form_Load();
  core.ChooseListIndex("Device", 31);  // Eeprom XICOR X28C256
  for (std::int32_t i = 0; i < 32768; ++i) {
    core.buf.ProgramBuffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + i / 256);
  }
  std::uint64_t virtual_ns = 0;
  for (auto _ : state) {
    const auto before = clock.NowNs();
    core.ops.ProgramX28C256();
    virtual_ns += clock.NowNs() - before;
    if (core.ops.FailFlag != 0) state.SkipWithError("programming failed");
  }
  state.SetBytesProcessed(state.iterations() * 32768);
  state.counters["simulated s/chip"] =
      static_cast<double>(virtual_ns) / 1e9 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ProgramX28C256)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zambrix

BENCHMARK_MAIN();
