// A programmer as the operator finds it: the window's start-up on a simulated
// board with a chip in the socket, files opened through the Open Code dialog,
// and the log lines with the virtual time each was written at.
#pragma once

#include <gtest/gtest.h>

#include <map>

#include "base/text.h"
#include "devices/device_catalogue.h"
#include "sim/sim_port.h"
#include "support/fakes.h"
#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix::testing {

// Counts the platform sleeps by length.
class CountingClock : public VirtualClock {
 public:
  using VirtualClock::VirtualClock;
  void SleepMs(int ms) override {
    ++sleeps[ms];
    VirtualClock::SleepMs(ms);
  }
  std::map<int, int> sleeps;
};

struct Programmer {
  static sim::SimConfig Setup(const std::string& chip, std::vector<std::uint8_t> contents = {},
                              int model = 6, double vpp_jumper = 12.5, sim::SimFaults faults = {}) {
    auto c = SimSetup(model, 0x378, chip, std::move(contents));
    c.vpp_jumper = vpp_jumper;
    c.faults = faults;
    return c;
  }
  explicit Programmer(const std::string& chip, std::vector<std::uint8_t> contents = {},
                      int model = 6, double vpp_jumper = 12.5, sim::SimFaults faults = {})
      : Programmer(Setup(chip, std::move(contents), model, vpp_jumper, faults)) {}
  explicit Programmer(sim::SimConfig setup) : config(std::move(setup)) {
    port = std::make_unique<sim::SimPort>(config, clock);
    t = std::make_unique<TestCore>(port.get(), &clock);
    core().shell.Form_Load();
    core().ui.AddObserver([this](const Control& c, Change what) {
      if (c.name == "SystemLog" && what == Change::Appended) {
        const auto mark = c.caption.rfind(">  ");
        entries.push_back({c.caption.substr(mark + 3), clock.NowNs(), port->Board().Latch(0),
                           port->Board().Latch(3)});
      }
      if (c.name == "ProgressBar1" && c.value > c.max) progress_overrun = true;
      if (c.name == "Program_label" && what == Change::Colour) ++program_light_changes;
    });
  }
  Core& core() { return *t->core; }
  void Choose(const std::string& name) {
    const DeviceMatch m = core().dev.Match(name);
    const int row = m.row >= 0 ? m.row : m.listed;  // a refused entry is chosen too
    ASSERT_GE(row, 0) << m.error;
    core().ChooseListIndex("Device", row);
  }
  // Opens `bytes` as the code file, as File / Open Code does.
  void Open(const std::vector<std::uint8_t>& bytes) {
    const auto path = dir.path() / ("image" + std::to_string(files++) + ".bin");
    WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
    t->dialogs.open_files.push_back(path.string());
    core().Click("mnuFileOpenCode");
  }
  // The code buffer holds `bytes`, CodeSize their length, the program buffer built from them.
  void Load(const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), core().buf.CodeBuffer.begin());
    core().buf.CodeSize = static_cast<std::int32_t>(bytes.size());
    core().ops.BuildProgramImage();
  }
  std::vector<std::string> Log() const { return t->LogLines(); }
  bool Logged(const std::string& line) const {
    const auto lines = Log();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // The log lines from the first one equal to `first` on.
  std::vector<std::string> From(const std::string& first) const {
    const auto lines = Log();
    auto it = std::find(lines.begin(), lines.end(), first);
    return {it, lines.end()};
  }
  // The port accesses a click on `control` takes.
  std::uint64_t Accesses(const std::string& control) {
    const auto& c = port->Trace().counts;
    const auto before = c.reads + c.writes;
    core().Click(control);
    return c.reads + c.writes - before;
  }
  std::vector<std::uint8_t>& Chip() {
    port->Sync();
    return port->Board().socket().Chip()->Memory();
  }
  std::uint64_t Pulses() { return port->Board().socket().As<sim::Eprom>()->PulseCount(); }
  std::string LastSound() const { return t->sound.played.empty() ? "" : t->sound.played.back(); }

  sim::SimConfig config;
  CountingClock clock{Link::kNsPerIteration};
  std::unique_ptr<sim::SimPort> port;
  std::unique_ptr<TestCore> t;
  TempDir dir;
  int files = 0;
  // Each log line with the virtual time and the board's latches 0 and 3 when it was written.
  struct Entry {
    std::string text;
    std::uint64_t ns;
    std::uint8_t latch0, latch3;
  };
  std::vector<Entry> entries;
  const Entry& At(const std::string& text) const {
    for (const auto& e : entries) {
      if (e.text == text) return e;
    }
    static const Entry none{"", 0, 0, 0};
    ADD_FAILURE() << "not logged: " << text;
    return none;
  }
  bool progress_overrun = false;
  int program_light_changes = 0;
};

inline std::vector<std::uint8_t> RandomImage(std::size_t size, unsigned seed) {
  return RandomBytes<std::vector<std::uint8_t>>(size, seed);
}

struct Offered {
  std::string device;  // the catalogue entry
  std::string chip;    // the simulated part (empty: none models it)
};

// The offered entries of the catalogue with the part that simulates each.
inline std::vector<Offered> OfferedDevices() {
  std::vector<Offered> offered;
  for (const auto& row : DeviceCatalogue()) {
    if (row.offered) offered.push_back({std::string(row.name), std::string(row.sim_part)});
  }
  return offered;
}

// Random bytes in the first `head` and the last `tail` bytes of the chip (at
// most a quarter of it), erased between: every address line and both ends of
// the memory see programming, at a bounded cost.
inline std::vector<std::uint8_t> TestImage(std::size_t size, unsigned seed, std::size_t head = 4096,
                                           std::size_t tail = 256) {
  std::vector<std::uint8_t> image(size, 0xFF);
  const auto first = RandomImage(std::min(size, head), seed);
  std::copy(first.begin(), first.end(), image.begin());
  const auto last = RandomImage(std::min(size / 4, tail), seed + 1);
  std::copy(last.begin(), last.end(), image.end() - static_cast<long>(last.size()));
  return image;
}

}  // namespace zambrix::testing
