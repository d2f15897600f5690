// Speed of the simulated board: raw port accesses through the port interface,
// and a whole 1 MB chip read through the link layer, with and without the VCD
// trace.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "bench_support.h"

namespace zambrix {
namespace {

using bench::Board;
using bench::SimulatedProgram;

// A new folder under the system's temporary folder.
std::filesystem::path TraceFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "zambrix-bench-XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("no temporary folder");
  return name;
}

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
class ReadSweep {
 public:
  ReadSweep() : l_(p_.core.link), buffer_(1 << 20) {
    l_.InitControlTables();
    l_.BuildReadTables();
    l_.PortAddress = 0x378;
    l_.BoardModel = 6;
    l_.ApplyBoardModel();
    l_.ApplySpeedSetting();
  }
  sim::SimPort& Port() { return p_.port; }
  // One whole read; returns the port accesses it made.
  std::uint64_t Run() {
    const auto& counts = p_.port.Trace().counts;
    const auto before = counts.writes + counts.reads;
    l_.Reset();
    l_.SETADR();
    l_.REG4OFF();
    l_.CEOEON();
    std::size_t i = 0;
    for (int bank = 0; bank < 16; ++bank) {
      l_.Reg3Value =
          l_.AddressHighMap[static_cast<std::size_t>(bank)] | (l_.Reg3Value & 0xF0) | l_.Reg3Fixed;
      l_.SetReg3();
      for (int page = 0; page < 256; ++page) {
        l_.Reg1Value = l_.AddressMidMap[static_cast<std::size_t>(page)] | l_.Reg1Fixed;
        l_.SetReg1();
        for (l_.Reg2Value = 0; l_.Reg2Value < 256; ++l_.Reg2Value) {
          l_.SetReg2();
          l_.GetNibbles();
          buffer_[i++] = l_.ReadValue;
        }
      }
    }
    benchmark::DoNotOptimize(buffer_.data());
    return counts.writes + counts.reads - before;
  }
  double VirtualSeconds() const { return static_cast<double>(p_.clock.NowNs()) / 1e9; }

 private:
  SimulatedProgram p_;
  Link& l_;
  std::vector<std::uint8_t> buffer_;
};

void PerAccessCounters(benchmark::State& state, std::uint64_t accesses) {
  const auto n = static_cast<double>(accesses);
  state.SetBytesProcessed(state.iterations() * (1 << 20));
  state.counters["accesses/s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
  state.counters["ns/access"] =
      benchmark::Counter(n / 1e9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Read1MBThroughTheLink(benchmark::State& state) {
  ReadSweep sweep;
  std::uint64_t accesses = 0;
  for (auto _ : state) accesses += sweep.Run();
  PerAccessCounters(state, accesses);
  state.counters["virtual s/MB"] = sweep.VirtualSeconds() / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Read1MBThroughTheLink)->Unit(benchmark::kMillisecond);

// The same read with the VCD trace written to a file (a new one each pass, in
// a folder of its own): the trace's cost per access, and the size of the first
// pass's file (later passes run later and their time stamps grow longer).
void BM_Read1MBTraced(benchmark::State& state) {
  const auto dir = TraceFolder();
  const auto file = dir / "read.vcd";
  ReadSweep sweep;
  std::uint64_t accesses = 0, first_accesses = 0, first_bytes = 0;
  for (auto _ : state) {
    sweep.Port().StartVcd(std::make_unique<std::ofstream>(file, std::ios::binary));
    accesses += sweep.Run();
    sweep.Port().Finish();
    if (first_bytes == 0) {
      state.PauseTiming();
      first_bytes = std::filesystem::file_size(file);
      first_accesses = accesses;
      state.ResumeTiming();
    }
  }
  std::filesystem::remove_all(dir);
  PerAccessCounters(state, accesses);
  state.counters["trace bytes/access"] =
      static_cast<double>(first_bytes) / static_cast<double>(first_accesses);
  state.counters["trace MB/MB read"] = static_cast<double>(first_bytes) / 1e6;
}
BENCHMARK(BM_Read1MBTraced)->Unit(benchmark::kMillisecond);

// The whole read command of the window on a 27C080: device selection once,
// then Read_button_Click (sweep, checksum, log lines, page display) per pass.
void BM_ReadCommand1MB(benchmark::State& state) {
  SimulatedProgram p;
  auto& clock = p.clock;
  Core& core = p.core;
  core.setup.SettingsDir = "/nonexistent";
  core.shell.Form_Load();
  core.ChooseListIndex("Device", 19);  // Eprom 27C080
  bench::BoardTime board(clock);
  for (auto _ : state) {
    board.Begin();
    core.Click("Read_button");
    board.End();
  }
  state.SetBytesProcessed(state.iterations() * (1 << 20));
  board.Report(state, "simulated s/read");
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
    core.buf.ProgramBuffer[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(i * 7 + i / 256);
  }
  core.buf.ProgramLength = 32768;  // the whole chip
  bench::BoardTime board(clock);
  for (auto _ : state) {
    board.Begin();
    core.ops.ProgramX28C256();
    board.End();
    if (core.ops.FailFlag != 0) state.SkipWithError("programming failed");
  }
  state.SetBytesProcessed(state.iterations() * 32768);
  board.Report(state, "simulated s/chip");
}
BENCHMARK(BM_ProgramX28C256)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zambrix

BENCHMARK_MAIN();
