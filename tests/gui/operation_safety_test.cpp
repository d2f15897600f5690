// The window during an operation on the simulated board: repaints and closing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/backend.h"
#include "base/interrupt.h"
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

// A window over the simulated board, whose chip lives in a file, with a 64 KB
// image opened for a 27C080.
class WindowDuringOperation : public ::testing::Test {
 protected:
  WindowDuringOperation() {
    BackEndOptions o;
    o.board = "sim";
    o.sim["chip"] = "27C080:" + chip_file;
    backend = OpenBackEnd(o);
    t = std::make_unique<zambrix::testing::TestCore>(backend.port.get(), backend.clock.get());
    (*t)->shell.Form_Load();
    window = std::make_unique<MainWindow>(**t);
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->binder().SetPaintPacing(0, 0);
    sim = dynamic_cast<sim::SimPort*>(backend.port.get());
    (*t)->ChooseListIndex("Device", 19);  // Eprom 27C080
    zambrix::testing::WriteWholeFile(dir / "image.bin", std::string(image.begin(), image.end()));
    t->dialogs.open_files.push_back((dir / "image.bin").string());
    (*t)->Click("mnuFileOpenCode");
  }
  ~WindowDuringOperation() override { ClearStop(); }

  // Clicks `button` and runs `at_paint` with the number of each paint while the
  // operation runs; then lets the window take what is still queued.
  void Run(const std::string& button, const std::function<void(int)>& at_paint) {
    int paints = 0;
    window->binder().on_paint = [&] { at_paint(++paints); };
    QTest::mouseClick(View<QPushButton>(button), Qt::LeftButton);
    window->binder().on_paint = nullptr;
    EXPECT_GE(paints, 6);
    QCoreApplication::processEvents();
  }
  template <class T>
  T* View(const std::string& name) const {
    return qobject_cast<T*>(window->ViewOf(name));
  }
  int Asked(const std::string& start) const {
    int n = 0;
    for (const auto& shown : t->dialogs.shown) n += shown.text.rfind(start, 0) == 0;
    return n;
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
  bool Lit(const std::string& lamp) const {
    return t->core->ui.Colour(lamp) != colour::kButtonFace;
  }
  void ExpectStoppedByTheOperator(const std::string& not_said) {
    EXPECT_TRUE(Logged("Operation stopped by the Operator"));
    EXPECT_FALSE(Logged(not_said));
    EXPECT_FALSE(Lit("DataFlow_label"));
    ExpectBoardReset();
  }
  // The first bytes of the image are in the chip, but not all of them.
  void ExpectPartlyWritten() {
    EXPECT_EQ(backend.at_exit(), "");
    const std::string written = zambrix::testing::ReadWholeFile(chip_file);
    ASSERT_EQ(written.size(), std::size_t{1} << 20);
    EXPECT_EQ(written[0], static_cast<char>(image[0]));
    EXPECT_NE(written.substr(0, image.size()), std::string(image.begin(), image.end()));
  }

  zambrix::testing::TempDir dir;
  std::string chip_file = (dir / "chip.bin").string();
  std::vector<std::uint8_t> image = RandomImage(65536, 3);
  BackEnd backend;
  sim::SimPort* sim = nullptr;
  std::unique_ptr<zambrix::testing::TestCore> t;
  std::unique_ptr<MainWindow> window;
};

// The window system's close (title bar, Alt+F4) reaches a running programming:
// answered No it goes on, answered Yes it stops at a safe point, the board is
// reset and the window closes once the operation's event has ended.
TEST_F(WindowDuringOperation, CloseFromTheWindowSystemAsksAndStopsProgramming) {
  Run("Program_button", [&](int paint) {
    if (paint == 3) t->dialogs.answers.push_front(MsgAnswer::No);
    if (paint == 3 || paint == 6) PostClose(window.get());
    if (paint == 7) {
      EXPECT_TRUE(window->isVisible());
    }
  });
  EXPECT_EQ(Asked("An operation is running."), 2);
  EXPECT_NE(t->dialogs.shown.back().text.find("A chip being programmed is left partly written"),
            std::string::npos);
  ExpectStoppedByTheOperator("Programming Device Successfull");
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(sim->Trace().ChipDamaged()) << sim->Trace().DamageReport();
  ExpectPartlyWritten();
}

// Stop and Esc during programming ask first; the stopped run leaves the alert
// for a partly written chip, and the next command runs as usual.
TEST_F(WindowDuringOperation, StopAndEscAskFirstDuringProgramming) {
  Run("Program_button", [&](int paint) {  // bytes are written from about paint 10 on
    if (paint == 20) {
      t->dialogs.answers.push_front(MsgAnswer::No);
      PostClick(View<QPushButton>("Stop_button"));
    }
    if (paint == 25) PostKey(window.get(), Qt::Key_Escape);
  });
  EXPECT_EQ(Asked("Stop the operation and reset the board?\nA chip being programmed is left partly "
                  "written."),
            2);
  ExpectStoppedByTheOperator("Programming Device Successfull");
  EXPECT_TRUE(t->core->ui.Colour("Error_label") == colour::kRed);
  ExpectPartlyWritten();
  QTest::mouseClick(View<QLabel>("Error_label"), Qt::LeftButton);
  QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);
  EXPECT_TRUE(Logged("65536 bytes Read from Device")) << "the stop was served, not kept";
}

// A read stops at the Stop button, a verify at Esc, without a question, a
// success line or an alert; the buffer and its name stay as they were.
TEST_F(WindowDuringOperation, StopAndEscEndAReadAndAVerify) {
  const auto shown = t->dialogs.shown.size();
  Run("Read_button", [&](int paint) {
    if (paint == 3) PostClick(View<QPushButton>("Stop_button"));
  });
  ExpectStoppedByTheOperator("65536 bytes Read from Device");
  EXPECT_EQ(t->core->ui.Caption("FileNameCodeText"), (dir / "image.bin").string());
  Run("Verify_button", [&](int paint) {
    if (paint == 3) PostKey(window.get(), Qt::Key_Escape);
  });
  ExpectStoppedByTheOperator("Device Contents MATCHES with Buffer Contents");
  EXPECT_EQ(t->dialogs.shown.size(), shown);
  EXPECT_NE(t->core->ui.Colour("Error_label"), colour::kRed);
}

// Clicks and keys made while programming runs are dropped, not run afterwards;
// meanwhile the commands look disabled and Stop enabled.
TEST_F(WindowDuringOperation, InputDuringProgrammingIsDroppedAndTheCommandsLookDisabled) {
  Run("Program_button", [&](int paint) {
    if (paint != 3) return;
    EXPECT_FALSE(View<QPushButton>("Blank_button")->isEnabled());
    EXPECT_FALSE(View<QAction>("menuReadCode")->isEnabled());
    EXPECT_TRUE(View<QPushButton>("Stop_button")->isEnabled());
    PostClick(View<QPushButton>("Blank_button"));
    PostKey(window.get(), Qt::Key_F5);
    PostKey(window.get(), Qt::Key_F6);
  });
  EXPECT_TRUE(Logged("Programming Device Successfull"));
  EXPECT_FALSE(Logged("Checking Device for BLANK (Erased)... Wait"));
  EXPECT_FALSE(Logged("65536 bytes Read from Device"));
  EXPECT_TRUE(View<QPushButton>("Blank_button")->isEnabled());
  EXPECT_TRUE(View<QAction>("menuReadCode")->isEnabled());
  EXPECT_FALSE(View<QPushButton>("Stop_button")->isEnabled());
}

// The window program, sent a signal: it resets the board, writes the simulated
// chip back to its file, saves its settings where --settings-dir says and
// exits 128 + the signal.
TEST(WindowProgram, ASignalClosesItTheBoardResetAndTheChipFileWritten) {
  const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "zambrix";
  ASSERT_TRUE(std::filesystem::exists(program)) << "the window program is built next to the tests";
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    zambrix::testing::TempDir dir;
    const std::string chip = (dir / "chip.bin").string();
    std::filesystem::create_directories(dir / "settings");
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("HOME", dir.str().c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1);
      ::execl(program.c_str(), "zambrix", "--board", "sim", "--sim-chip",
              ("27C256:" + chip).c_str(), "--settings-dir", (dir / "settings").c_str(), "-platform",
              "offscreen", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ::kill(pid, sig);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    ASSERT_TRUE(WIFEXITED(raw)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(raw), 128 + sig);
    EXPECT_EQ(zambrix::testing::ReadWholeFile(chip).size(), 32768u);
    EXPECT_NE(zambrix::testing::ReadWholeFile(dir / "settings" / "ZAMBRIX6.ini").find("MainLeft"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "zambrix"));
  }
}

}  // namespace
}  // namespace zambrix::gui::testing
