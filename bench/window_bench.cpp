// What the window adds to an operation: the read command of a 27C080 on the
// simulated board, run by the core alone and by a click in the shown window
// (the window's painting, log and hex view included).
//
// Offscreen by default; to measure on an X server:
//   xvfb-run -a env QT_QPA_PLATFORM=xcb build/bin/bench_window_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <memory>

#include "app/core.h"
#include "app/posix_platform.h"
#include "bench_support.h"
#include "gui/main_window.h"
#include "sim/sim_port.h"

namespace zambrix {
namespace {

using bench::NoDialogs;

// A simulated ZAMBRIX-6 with a 27C080, after start-up and the device choice.
struct Rig {
  Rig()
      : port(bench::Board("27C080"), clock),
        core(Services{&port, &clock, &dialogs, &sound, &settings, &platform}) {
    core.shell.CreateWindow();
    core.setup.SettingsDir = "/nonexistent";
  }
  VirtualClock clock{Link::kNsPerIteration};
  sim::SimPort port;
  NoDialogs dialogs;
  SilentSound sound;
  MemorySettings settings;
  PosixPlatform platform;
  Core core;
};

constexpr int k27C080 = 19;

void BM_Read27C080CoreOnly(benchmark::State& state) {
  Rig r;
  r.core.RunEvent([&r] { r.core.shell.Form_Load(); });
  r.core.ChooseListIndex("Device", k27C080);
  for (auto _ : state) r.core.Click("Read_button");
  state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_Read27C080CoreOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Read27C080InTheWindow(benchmark::State& state) {
  Rig r;
  gui::MainWindow window(r.core);
  r.core.RunEvent([&r] { r.core.shell.Form_Load(); });
  window.ApplyPlacement();
  window.show();
  QCoreApplication::processEvents();
  window.binder().ChooseListIndex("Device", k27C080);
  QCoreApplication::processEvents();
  const int paints = window.binder().PaintsWhileBusy();
  double after_ms = 0;
  for (auto _ : state) {
    window.binder().Click("Read_button");
    QElapsedTimer t;
    t.start();
    QCoreApplication::processEvents();  // what is left to paint after the read
    after_ms += static_cast<double>(t.nsecsElapsed()) / 1e6;
  }
  state.counters["paint after ms"] = after_ms / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * (1 << 20));
  state.counters["paints/read"] = static_cast<double>(window.binder().PaintsWhileBusy() - paints) /
                                  static_cast<double>(state.iterations());
}
BENCHMARK(BM_Read27C080InTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zambrix

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
