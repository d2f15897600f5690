// The start-up settings file: its format, what a file names, where it lives, and
// the start-up that reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "support/fakes.h"
#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;
using testing::TempDir;
using testing::TestCore;
using testing::WriteWholeFile;

// A recording port that stands for real hardware.
struct HardwarePort : RecordingPort {
  bool IsSimulated() const override { return false; }
};

// Runs whose settings file lives in a folder of the test's own.
struct StartupSettings : ::testing::Test {
  void Use(TestCore& r) { r->setup.SettingsDir = dir.str(); }
  // A run on the simulated board, its link tables built as start-up builds them.
  void Use(SimRig& r) {
    Use(r.t);
    r.link().InitControlTables();
    r.link().BuildReadTables();
  }
  std::filesystem::path File() const { return dir / "zambrix6-sim.ini"; }
  TempDir dir;
};

TEST_F(StartupSettings, WritesFourCrLfLines) {
  HardwarePort hw;
  TestCore h(&hw);
  Use(h);
  h.platform.now = {2027, 3, 4, 5, 6, 7};
  h->link.PortAddress = 0x3BC;
  h->link.BoardModel = 6;
  h->setup.SaveStartupSettings();
  EXPECT_EQ(testing::ReadWholeFile(dir / "zambrix6.ini"),
            "[ZAMBRIX6 SETUP]\r\nDATE = 03-04-2027 05:06:07\r\nIO_PORT = 3BC\r\nMODEL =  6 \r\n");
}

// What a file names is used only when each key appears once, in either order,
// and the board there answers as that model; otherwise start-up searches.
// "" is no file at all.
TEST_F(StartupSettings, ReadsWhatTheFileNamesAndUsesItOnlyWhenThatBoardAnswers) {
  const std::string ignored = "io_port = 278\r\n IO_PORT = 278\r\nIO_PORT=278\r\n" +
                              std::string("\0\xFF\x80 MODEL = 4\r\n", 15) +
                              std::string(100000, 'x') + "\r\n";
  const std::tuple<std::string, int, int> cases[] = {
      // text, the board's port and model when they are used (0: a search follows)
      {"", 0, 0},
      {"MODEL =  4 \r\nIO_PORT = 3BC\r\n", 0x3BC, 4},
      {"IO_PORT = 378\r\nMODEL =  5 \r\nIO_PORT = 278\r\n", 0, 0},
      {"IO_PORT = 10000\r\nMODEL = 1e30\r\n", 0, 0},       // beyond 16 bits reads as 0
      {"IO_PORT =  3 bc h\r\nMODEL = 5.5\r\n", 0x3BC, 6},  // halves round to even
      {"IO_PORT = 378\nMODEL = 6\n", 0x378, 6},            // LF or CR alone ends a line too
      {"IO_PORT = 123\r\nMODEL = 5\r\n", 0, 0},            // no such port
      {"IO_PORT = 378\r\nMODEL = 7\r\n", 0, 0},            // no such model
      {"IO_PORT = 378\r\nMODEL = 4\r\n", 0, 0},            // a ZAMBRIX-5 answers there
      {ignored + "IO_PORT = 3BC\r\nMODEL =  5 \r\n", 0x3BC, 5},
  };
  for (const auto& [text, port, model] : cases) {
    SimRig r(
        SimSetup(model == 0 ? 5 : model, port == 0 ? 0x378 : static_cast<std::uint16_t>(port), ""));
    Use(r);
    if (!text.empty()) WriteWholeFile(File(), text);
    r.t->setup.LoadStartupSettings();
    const std::string what = text.substr(0, 50);
    EXPECT_EQ(r.link().PortAddress, port) << what;
    EXPECT_EQ(r.link().BoardModel, model) << what;
    if (!text.empty() && port == 0) {
      ASSERT_EQ(r.t.LogLines().size(), 1u) << what;
      EXPECT_NE(r.t.LogLines()[0].find(": searching all LPT ports"), std::string::npos) << what;
    }
    // Only a remembered board that answers as its model spares the search at start-up.
    r.t->shell.Form_Load();
    EXPECT_EQ(r.t->shell.StartupSearched, port == 0) << what;
    std::filesystem::remove(File());
  }
}

// The program folder when it takes the file, else the user's configuration
// folder, where the next run finds it; when no folder takes it, a log line.
TEST_F(StartupSettings, TheProgramFolderOrElseTheUserConfigFolderHoldsTheFile) {
  TempDir config;
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
  TestCore a, b, next;
  a.platform.folder = dir.str();
  b.platform.folder = next.platform.folder = "/proc";  // exists, but takes no files, even from root
  a->link.PortAddress = b->link.PortAddress = 0x278;
  a->link.BoardModel = b->link.BoardModel = 6;
  a->setup.SaveStartupSettings();
  EXPECT_TRUE(std::filesystem::exists(File()));
  EXPECT_FALSE(std::filesystem::exists(config / "zambrix"));
  b->setup.SaveStartupSettings();
  next->setup.LoadStartupSettings();  // found, and tried at the port it names
  EXPECT_EQ(next.LogLines(),
            std::vector<std::string>{
                "ZAMBRIX-6 remembered at Port 278 does not answer: searching all LPT ports"});
  saved.empty() ? ::unsetenv("XDG_CONFIG_HOME") : ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace zambrix
