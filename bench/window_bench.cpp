// What the window adds: the read command of a 27C080 on the simulated board
// run by the core alone and by a click in the shown window (its painting, log
// and hex view included); the start to the first paint; one page of the hex
// view; one log line in a log of 1,000 and of 100,000 lines.
//
// Offscreen by default; to measure on an X server:
//   xvfb-run -a env QT_QPA_PLATFORM=xcb build/bin/bench_window_bench
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/core.h"
#include "bench_support.h"
#include "gui/main_window.h"

namespace zambrix {
namespace {

constexpr int k27C080 = 19;

// A simulated ZAMBRIX-6 with a 27C080 after start-up and the device choice;
// with a shown window over it when asked.
struct Rig {
  explicit Rig(bool with_window) {
    program.core.setup.SettingsDir = "/nonexistent";
    if (with_window) window = std::make_unique<gui::MainWindow>(program.core);
    program.core.RunEvent([this] { program.core.shell.Form_Load(); });
    if (window) {
      window->ApplyPlacement();
      window->show();
      QCoreApplication::processEvents();
    }
    Choose(k27C080);
  }
  void Choose(int index) {
    window ? window->binder().ChooseListIndex("Device", index)
           : program.core.ChooseListIndex("Device", index);
    QCoreApplication::processEvents();
  }
  // The Read command, and in the window what is left to paint after it.
  void Read() {
    if (!window) {
      program.core.Click("Read_button");
      return;
    }
    window->binder().Click("Read_button");
    QCoreApplication::processEvents();
  }
  bench::SimulatedProgram program;
  std::unique_ptr<gui::MainWindow> window;
};

// CPU time of the whole process (Qt's own threads included).
double ProcessCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void BM_Read27C080CoreOnly(benchmark::State& state) {
  Rig r(false);
  for (auto _ : state) r.Read();
  state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_Read27C080CoreOnly)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_Read27C080InTheWindow(benchmark::State& state) {
  Rig r(true);
  const int paints = r.window->binder().PaintsWhileBusy();
  for (auto _ : state) r.Read();
  state.SetBytesProcessed(state.iterations() * (1 << 20));
  state.counters["paints/read"] =
      static_cast<double>(r.window->binder().PaintsWhileBusy() - paints) /
      static_cast<double>(state.iterations());
}
BENCHMARK(BM_Read27C080InTheWindow)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The two reads taken in turns, so that both see the same load of the machine;
// the overhead is counted in CPU time of the process, as the median of the
// pairs (a burst of load elsewhere spoils one pair, not the figure).
void BM_WindowOverheadOn27C080Read(benchmark::State& state) {
  Rig alone(false), shown(true);
  double core_ms = 0, window_ms = 0;
  std::vector<double> pairs;
  const qint64 paint_ns = shown.window->binder().PaintNsWhileBusy();
  const int paints = shown.window->binder().PaintsWhileBusy();
  for (auto _ : state) {
    const double t0 = ProcessCpuMs();
    alone.Read();
    const double t1 = ProcessCpuMs();
    shown.Read();
    const double t2 = ProcessCpuMs();
    core_ms += t1 - t0;
    window_ms += t2 - t1;
    pairs.push_back(100.0 * ((t2 - t1) - (t1 - t0)) / (t1 - t0));
  }
  std::sort(pairs.begin(), pairs.end());
  const auto n = static_cast<double>(state.iterations());
  state.counters["core ms"] = core_ms / n;
  state.counters["window ms"] = window_ms / n;
  state.counters["overhead %"] = pairs[pairs.size() / 2];
  state.counters["overhead % of the sums"] = 100.0 * (window_ms - core_ms) / core_ms;
  state.counters["paints/read"] = (shown.window->binder().PaintsWhileBusy() - paints) / n;
  state.counters["paint ms/read"] =
      static_cast<double>(shown.window->binder().PaintNsWhileBusy() - paint_ns) / 1e6 / n;
}
BENCHMARK(BM_WindowOverheadOn27C080Read)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Counts the paint events the application delivers.
class PaintWatch : public QObject {
 public:
  PaintWatch() { qApp->installEventFilter(this); }
  ~PaintWatch() override { qApp->removeEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// From the core's creation (with the simulated board) to the window's first
// paint; the application object exists already.
void BM_WindowStartToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    PaintWatch watch;
    bench::SimulatedProgram program;
    program.core.setup.SettingsDir = "/nonexistent";
    gui::MainWindow window(program.core);
    program.core.RunEvent([&program] { program.core.shell.Form_Load(); });
    window.ApplyPlacement();
    window.show();
    QElapsedTimer limit;
    limit.start();
    while (watch.paints == 0 && limit.elapsed() < 5000) QCoreApplication::processEvents();
    if (watch.paints == 0) state.SkipWithError("the window never painted");
    state.PauseTiming();
    window.hide();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowStartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// One page of the hex view after a read: the scroll bar moved, the page
// rendered, shown and painted.
void BM_HexViewPage(benchmark::State& state) {
  Rig r(true);
  r.Read();
  int page = 0;
  for (auto _ : state) {
    page = page == 4095 ? 1 : page + 1;
    r.window->binder().ChangeValue("VScroll1", page);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_HexViewPage)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One log line written and painted, in a log that already holds `lines` lines.
void BM_LogLine(benchmark::State& state) {
  Rig r(true);
  auto& report = r.program.core.report;
  const auto lines = state.range(0);
  for (std::int64_t i = 0; i < lines; ++i)
    report.LogMessage("Line " + std::to_string(i) + " of the log");
  QCoreApplication::processEvents();
  for (auto _ : state) {
    report.LogMessage("Data is available at above Window, use Scroll Bar");
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_LogLine)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond)->UseRealTime();

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
