// The start-up settings file: its format, what a file names, where it lives, and
// the start-up that reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

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
  std::filesystem::path File() const { return dir / "zambrix6-sim.ini"; }
  TempDir dir;
};

TEST_F(StartupSettings, WritesFourCrLfLinesAndTheNextRunAnnouncesTheBoard) {
  HardwarePort hw;
  TestCore h(&hw), next(&hw);
  Use(h), Use(next);
  h.platform.now = {2027, 3, 4, 5, 6, 7};
  h->link.PortAddress = 0x3BC;
  h->link.BoardModel = 6;
  h->setup.SaveStartupSettings();
  EXPECT_EQ(testing::ReadWholeFile(dir / "zambrix6.ini"),
            "[ZAMBRIX6 SETUP]\r\nDATE = 03-04-2027 05:06:07\r\nIO_PORT = 3BC\r\nMODEL =  6 \r\n");
  next->setup.LoadStartupSettings();
  EXPECT_EQ(next.LogLines(), (std::vector<std::string>{"Port Selection changed to 3BCh",
                                                       "ZAMBRIX-6 Device was FOUND at Port: 3BC"}));
}

// The port and model a file names, and the port announced: only when each key
// appears once, in either order. "" is no file at all.
TEST_F(StartupSettings, ReadsWhatTheFileNamesAndAnnouncesOnlyAPortWithAModel) {
  const std::string ignored = "io_port = 278\r\n IO_PORT = 278\r\nIO_PORT=278\r\n" +
                              std::string("\0\xFF\x80 MODEL = 4\r\n", 15) +
                              std::string(100000, 'x') + "\r\n";
  const std::tuple<std::string, int, int, int> cases[] = {
      // text, port, model, found
      {"", 0, 0, 0},
      {"MODEL =  4 \r\nIO_PORT = 3BC\r\n", 0x3BC, 4, 0x3BC},
      {"[ZAMBRIX6 SETUP]\r\nIO_PORT = 378\r\n", 0x378, 0, 0},
      {"IO_PORT = 378\r\nMODEL =  5 \r\nIO_PORT = 278\r\n", 0x278, 5, 0},
      {"IO_PORT = xyz\r\nMODEL = abc\r\n", 0, 0, 0},
      {"IO_PORT = 10000\r\nMODEL = 1e30\r\n", 0, 0, 0},           // beyond 16 bits reads as 0
      {"IO_PORT =  3 bc h\r\nMODEL = 5.5\r\n", 0x3BC, 6, 0x3BC},  // halves round to even
      {"IO_PORT = 378\nMODEL = 6\n", 0x378, 6, 0x378},            // LF or CR alone ends a line too
      {"IO_PORT = 378\rMODEL = 7", 0x378, 0, 0x378},              // no such board model
      {ignored + "IO_PORT = 3BC\r\nMODEL =  5 \r\n", 0x3BC, 5, 0x3BC},
  };
  for (const auto& [text, port, model, found] : cases) {
    TestCore r;
    Use(r);
    r->link.PortAddress = 0x378;
    if (!text.empty()) WriteWholeFile(File(), text);
    r->setup.LoadStartupSettings();
    const std::string what = text.substr(0, 50);
    EXPECT_EQ(r->link.PortAddress, port) << what;
    EXPECT_EQ(r->link.BoardModel, model) << what;
    EXPECT_EQ(r->link.FoundPortAddress, found) << what;
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
  TestCore a, b, next, none;
  a.platform.folder = dir.str();
  b.platform.folder = next.platform.folder = "/proc";  // exists, but takes no files, even from root
  a->link.PortAddress = b->link.PortAddress = 0x278;
  a->link.BoardModel = b->link.BoardModel = 6;
  a->setup.SaveStartupSettings();
  EXPECT_TRUE(std::filesystem::exists(File()));
  EXPECT_FALSE(std::filesystem::exists(config / "zambrix"));
  b->setup.SaveStartupSettings();
  EXPECT_TRUE(b.LogLines().empty());
  next->setup.LoadStartupSettings();
  EXPECT_EQ(next->link.FoundPortAddress, 0x278);
  EXPECT_EQ(next->link.BoardModel, 6);
  saved.empty() ? ::unsetenv("XDG_CONFIG_HOME") : ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);

  WriteWholeFile(dir / "occupied", "a file, not a folder");
  none->setup.SettingsDir = (dir / "occupied" / "sub").string();
  none->setup.SaveStartupSettings();
  ASSERT_EQ(none.LogLines().size(), 1u);
  EXPECT_EQ(none.LogLines()[0].rfind("Could not write the start-up settings file ", 0), 0u);
}

TEST_F(StartupSettings, StartUpSkipsTheDetectionWhenTheFileNamesAPort) {
  const std::tuple<const char*, bool, const char*> cases[] = {
      // file, probed, board found
      {"IO_PORT = 3BC\r\nMODEL =  5 \r\n", false, "MODEL 5 - PC port 3BCh"},
      {"IO_PORT = 278\r\n", false, "NO HARDWARE FOUND !!!"},
      {"", true, "NO HARDWARE FOUND"},
  };
  for (const auto& [text, probed, found] : cases) {
    TestCore r;
    Use(r);
    if (*text != '\0') WriteWholeFile(File(), text);
    r->shell.Form_Load();
    const auto& log = r.recording.Log();
    EXPECT_EQ(std::any_of(log.begin(), log.end(), [](const PortAccess& a) { return !a.write; }),
              probed)
        << found;
    EXPECT_EQ(r->ui.Caption("ZambrixHardwareFound"), found);
    std::filesystem::remove(File());
  }
}

}  // namespace
}  // namespace zambrix
