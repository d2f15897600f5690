// The window during an operation on the simulated board: repaints and closing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/backend.h"
#include "app/interrupt.h"
#include "gui_support.h"
#include "ops/program_window_support.h"
#include "support/temp_dir.h"

namespace zambrix::gui::testing {
namespace {

using zambrix::testing::Programmer;
using zambrix::testing::RandomImage;

// A repaint of 2 ms: longer than the X28C256's 100 us byte-load limit, so that
// inside a page load it would end the load and the page would be loaded again.
constexpr std::uint64_t kSlowPaintNs = 2'000'000;

struct Outcome {
  std::uint64_t accesses = 0;
  std::uint64_t pulse_ns = 0;  // EPROM programming time the chip saw
  std::uint64_t ns = 0;
  int paints = 0;
};

// Programs `image` by the core alone, or by a click in the window that paints at
// every paint point and lets 2 ms of board time pass at each.
Outcome ProgramOnce(const std::string& chip, const std::string& device,
                    const std::vector<std::uint8_t>& image, bool window) {
  Programmer p(chip);
  p.Choose(device);
  p.Open(image);
  Outcome r;
  std::unique_ptr<MainWindow> w;
  if (window) {
    w = std::make_unique<MainWindow>(p.core());
    w->binder().SetPaintPacing(0, 0);
    w->binder().on_paint = [&] {
      ++r.paints;
      p.clock.Advance(kSlowPaintNs);
    };
  }
  const auto& counts = p.port->Trace().counts;
  const std::uint64_t before = counts.writes + counts.reads, start = p.clock.NowNs();
  w ? w->binder().Click("Program_button") : p.core().Click("Program_button");
  r.accesses = counts.writes + counts.reads - before;
  r.ns = p.clock.NowNs() - start;
  if (auto* e = p.port->Board().socket().As<sim::Eprom>()) r.pulse_ns = e->ProgrammingTime();
  EXPECT_TRUE(p.Logged("Programming Device Successfull")) << device;
  EXPECT_FALSE(p.port->Trace().ChipDamaged()) << p.port->Trace().DamageReport();
  std::vector<std::uint8_t> head(p.Chip().begin(),
                                 p.Chip().begin() + static_cast<long>(image.size()));
  EXPECT_EQ(head, image) << device;
  return r;
}

// Every paint falls between pages and pulses: the slow repaints change neither
// the port traffic nor the programming time, only the board time by their length.
TEST(PaintSafety, SlowRepaintsAtEveryPaintPointLeaveProgrammingIntact) {
  const std::tuple<const char*, const char*, std::size_t> cases[] = {
      {"X28C256", "Eeprom XICOR X28C256", 32768},
      {"27C512", "Eprom 27C512", 8192}};  // VPP on the OE pin
  for (const auto& [chip, device, size] : cases) {
    SCOPED_TRACE(device);
    const auto image = RandomImage(size, 17);
    const Outcome alone = ProgramOnce(chip, device, image, false);
    const Outcome painted = ProgramOnce(chip, device, image, true);
    EXPECT_GT(painted.paints, 30);
    EXPECT_EQ(painted.accesses, alone.accesses) << "a page reloaded or a byte pulsed again";
    EXPECT_EQ(painted.pulse_ns, alone.pulse_ns) << "a program pulse was lengthened";
    EXPECT_EQ(painted.ns - alone.ns, static_cast<std::uint64_t>(painted.paints) * kSlowPaintNs);
  }
  // The serial bus is static: repaints between its bytes leave a page write whole.
  const auto serial = RandomImage(1024, 5);
  EXPECT_GT(ProgramOnce("24C08", "Eeprom 24C08 Serial (8 pins)", serial, true).paints, 30);
}

// A window over the simulated board, whose chip lives in a file.
class CloseDuringOperation : public ::testing::Test {
 protected:
  CloseDuringOperation() {
    BackEndOptions o;
    o.board = "sim";
    o.sim["chip"] = "27C080:" + chip_file;
    backend = OpenBackEnd(o);
    t = std::make_unique<zambrix::testing::TestCore>(backend.port.get(), backend.clock.get());
    (*t)->shell.Form_Load();
    window = std::make_unique<MainWindow>(**t);
    window->show();
    window->binder().SetPaintPacing(0, 0);
    sim = dynamic_cast<sim::SimPort*>(backend.port.get());
  }
  ~CloseDuringOperation() override { ClearStop(); }

  // Runs `command` and asks to close the window at paints 3 (answered No: the
  // operation goes on) and 6 (answered Yes).
  void CloseWhile(const std::string& command) {
    int paints = 0;
    window->binder().on_paint = [&] {
      ++paints;
      if (paints == 3) t->dialogs.answers.push_front(MsgAnswer::No);
      if (paints == 3 || paints == 6) window->close();
    };
    window->binder().Click(command);
    int asked = 0;
    for (const auto& shown : t->dialogs.shown)
      asked += shown.text.rfind("An operation is running.", 0) == 0;
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(window->isVisible()) << "the window closes once the operation's event has ended";
    EXPECT_GE(paints, 6);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
  }

  void ExpectBoardReset() {
    const auto& latches = sim->Board().Latches();
    EXPECT_EQ(latches[0], 0x40) << "VPP off, output enable inactive";
    EXPECT_EQ(latches[3] & 0x80, 0x80) << "chip enable off";
    const auto vpp = sim->Board().Vpp();
    EXPECT_FALSE(vpp.switch_a || vpp.switch_b || vpp.oe_rail);
  }
  bool Logged(const std::string& line) const {
    const auto lines = t->LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  zambrix::testing::TempDir dir;
  std::string chip_file = (dir / "chip.bin").string();
  BackEnd backend;
  sim::SimPort* sim = nullptr;
  std::unique_ptr<zambrix::testing::TestCore> t;
  std::unique_ptr<MainWindow> window;
};

TEST_F(CloseDuringOperation, ProgrammingStopsAtASafePointAndTheChipFileHoldsWhatWasWritten) {
  (*t)->ChooseListIndex("Device", 19);  // Eprom 27C080
  const auto image = RandomImage(65536, 3);
  const auto path = dir / "image.bin";
  zambrix::testing::WriteWholeFile(path, std::string(image.begin(), image.end()));
  t->dialogs.open_files.push_back(path.string());
  (*t)->Click("mnuFileOpenCode");
  CloseWhile("Program_button");
  EXPECT_TRUE(Logged("*** Operation stopped: interrupted"));
  EXPECT_FALSE(Logged("Programming Device Successfull"));
  EXPECT_FALSE(sim->Trace().ChipDamaged()) << sim->Trace().DamageReport();
  ExpectBoardReset();
  EXPECT_EQ(backend.at_exit(), "");
  const std::string written = zambrix::testing::ReadWholeFile(chip_file);
  ASSERT_EQ(written.size(), std::size_t{1} << 20);
  EXPECT_EQ(written[0], static_cast<char>(image[0])) << "the first bytes were programmed";
  EXPECT_NE(written.substr(0, image.size()), std::string(image.begin(), image.end()))
      << "not all of them";
}

// The window program, sent a signal: it resets the board, writes the simulated
// chip back to its file, saves its settings and exits 128 + the signal.
TEST(WindowProgram, ASignalClosesItTheBoardResetAndTheChipFileWritten) {
  const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "zambrix";
  ASSERT_TRUE(std::filesystem::exists(program)) << "the window program is built next to the tests";
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    zambrix::testing::TempDir dir;
    const std::string chip = (dir / "chip.bin").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("HOME", dir.str().c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1);
      ::execl(program.c_str(), "zambrix", "--board", "sim", "--sim-chip",
              ("27C256:" + chip).c_str(), "-platform", "offscreen", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ::kill(pid, sig);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    ASSERT_TRUE(WIFEXITED(raw)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(raw), 128 + sig);
    EXPECT_EQ(zambrix::testing::ReadWholeFile(chip).size(), 32768u);
    EXPECT_TRUE(std::filesystem::exists(dir / "zambrix" / "ZAMBRIX6.ini"))
        << "the settings were saved";
  }
}

}  // namespace
}  // namespace zambrix::gui::testing
