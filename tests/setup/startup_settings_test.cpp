#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;
using testing::TestCore;
using testing::WriteWholeFile;

// A recording port that stands for real hardware.
class HardwarePort : public RecordingPort {
 public:
  bool IsSimulated() const override { return false; }
};

// A run whose settings file lives in a folder of the test's own.
struct StartupSettings : ::testing::Test {
  StartupSettings() {
    t->link.InitControlTables();
    t->setup.SettingsDir = dir.str();
  }
  std::filesystem::path File() const { return dir / t.core->setup.StartupSettingsFileName(); }
  void Load(const std::string& text) {
    WriteWholeFile(File(), text);
    t->setup.LoadStartupSettings();
  }
  bool StatusWasRead() const {
    for (const auto& a : t.recording.Log()) {
      if (!a.write) return true;
    }
    return false;
  }
  TempDir dir;
  TestCore t;
};

TEST_F(StartupSettings, WritesFourCrLfLinesWithDatePortAndPrintedModel) {
  HardwarePort hw;
  TestCore h(&hw);
  h->setup.SettingsDir = dir.str();
  h.platform.now = {2027, 3, 4, 5, 6, 7};
  h->link.PortAddress = 0x3BC;
  h->link.BoardModel = 6;
  h->setup.SaveStartupSettings();
  EXPECT_EQ(ReadWholeFile(dir / "zambrix6.ini"),
            "[ZAMBRIX6 SETUP]\r\nDATE = 03-04-2027 05:06:07\r\nIO_PORT = 3BC\r\nMODEL =  6 \r\n");
  EXPECT_TRUE(h.LogLines().empty());
  // A simulated run keeps a file of its own.
  EXPECT_EQ(t->setup.StartupSettingsFileName(), "zambrix6-sim.ini");
}

TEST_F(StartupSettings, RoundTripAnnouncesTheRememberedBoard) {
  t->link.PortAddress = 0x278;
  t->link.BoardModel = 5;
  t->setup.SaveStartupSettings();

  TestCore next;
  next->setup.SettingsDir = dir.str();
  next->link.InitControlTables();
  next->setup.LoadStartupSettings();
  EXPECT_EQ(next->link.PortAddress, 0x278);
  EXPECT_EQ(next->link.BoardModel, 5);
  EXPECT_EQ(next->link.FoundPortAddress, 0x278);
  EXPECT_EQ(next->setup.StartupKeysSeen, "PORTMODEL");
  EXPECT_EQ(next.LogLines(), (std::vector<std::string>{"Port Selection changed to 278h",
                                                       "ZAMBRIX-5 Device was FOUND at Port: 278"}));
  EXPECT_EQ(next->ui.Caption("ZambrixHardwareFound"), "MODEL 5 - PC port 278h");
  EXPECT_EQ(next->link.RegSelect[0], 5);
}

TEST_F(StartupSettings, KeysInEitherOrderNameTheBoard) {
  Load("MODEL =  4 \r\nIO_PORT = 3BC\r\n");
  EXPECT_EQ(t->setup.StartupKeysSeen, "MODELPORT");
  EXPECT_EQ(t->link.FoundPortAddress, 956);
  EXPECT_EQ(t->link.BoardModel, 4);
  EXPECT_EQ(t->ui.Caption("Ready_label"), "Ready");
}

TEST_F(StartupSettings, OneKeyOrAKeyTwiceSetsWhatItNamesButAnnouncesNothing) {
  struct Case {
    const char* text;
    int port, model;
    const char* keys;
  };
  const Case cases[] = {
      {"[ZAMBRIX6 SETUP]\r\nIO_PORT = 378\r\n", 888, 0, "PORT"},
      {"MODEL =  6 \r\n", 0, 6, "MODEL"},
      {"IO_PORT = 378\r\nMODEL =  5 \r\nIO_PORT = 278\r\n", 632, 5, "PORTMODELPORT"},
      {"MODEL =  5 \r\nMODEL =  4 \r\n", 0, 4, "MODELMODEL"},
  };
  for (const auto& c : cases) {
    TestCore r;
    r->setup.SettingsDir = dir.str();
    WriteWholeFile(dir / r->setup.StartupSettingsFileName(), c.text);
    r->setup.LoadStartupSettings();
    EXPECT_EQ(r->link.PortAddress, c.port) << c.text;
    EXPECT_EQ(r->link.BoardModel, c.model) << c.text;
    EXPECT_EQ(r->setup.StartupKeysSeen, c.keys) << c.text;
    EXPECT_EQ(r->link.FoundPortAddress, 0) << c.text;
    EXPECT_TRUE(r.LogLines().empty()) << c.text;
    EXPECT_EQ(r->ui.Caption("Ready_label"), "NotReady") << c.text;
    EXPECT_TRUE(r.recording.Log().empty()) << c.text;
  }
}

TEST_F(StartupSettings, ValuesThatDoNotParseOrFitReadAsZero) {
  struct Case {
    const char* text;
    int port, model;
  };
  const Case cases[] = {
      {"IO_PORT = xyz\r\nMODEL = abc\r\n", 0, 0},
      {"IO_PORT = \r\nMODEL = \r\n", 0, 0},
      {"IO_PORT = 10000\r\nMODEL = 99999\r\n", 0, 0},  // beyond 16 bits
      {"IO_PORT = FFFFFFFFFFFFFFFFFFFF\r\nMODEL = 1e30\r\n", 0, 0},
      {"IO_PORT = 3bc\r\nMODEL = 5.5\r\n", 956, 6},  // halves round to even
      {"IO_PORT =  3 78 h\r\nMODEL =   4   \r\n", 888, 4},
      {"IO_PORT = 378\nMODEL = 6\n", 888, 6},  // LF alone ends a line too
      {"IO_PORT = 378\rMODEL = 6", 888, 6},
      {"IO_PORT = 378\r\nMODEL = 7\r\n", 888, 0},  // no such board model
      {"IO_PORT = 378\r\nMODEL = -5\r\n", 888, 0},
  };
  for (const auto& c : cases) {
    TestCore r;
    r->setup.SettingsDir = dir.str();
    WriteWholeFile(dir / r->setup.StartupSettingsFileName(), c.text);
    r->link.InitControlTables();
    r->setup.LoadStartupSettings();
    EXPECT_EQ(r->link.PortAddress, c.port) << c.text;
    EXPECT_EQ(r->link.BoardModel, c.model) << c.text;
  }
}

TEST_F(StartupSettings, OtherLinesAndBinaryGarbageAreIgnored) {
  std::string text = "io_port = 278\r\n IO_PORT = 278\r\nIO_PORT=278\r\n";
  text += std::string("\0\xFF\x80 MODEL = 4\r\n", 15);
  text += std::string(100000, 'x') + "\r\n";
  text += "IO_PORT = 3BC\r\nMODEL =  5 \r\n";
  Load(text);
  EXPECT_EQ(t->link.PortAddress, 956);
  EXPECT_EQ(t->link.BoardModel, 5);
  EXPECT_EQ(t->setup.StartupKeysSeen, "PORTMODEL");
}

TEST_F(StartupSettings, AMissingFileSetsNoPortAndSaysNothing) {
  t->link.PortAddress = 0x378;
  t->setup.StartupKeysSeen = "PORT";
  t->setup.LoadStartupSettings();
  EXPECT_EQ(t->link.PortAddress, 0);
  EXPECT_EQ(t->setup.StartupKeysSeen, "");
  EXPECT_TRUE(t.LogLines().empty());
}

TEST_F(StartupSettings, AFailedWriteIsLoggedAndChangesNothingElse) {
  WriteWholeFile(dir / "occupied", "a file, not a folder");
  t->setup.SettingsDir = (dir / "occupied" / "sub").string();
  t->link.PortAddress = 0x378;
  t->link.BoardModel = 4;
  t->setup.SaveStartupSettings();
  auto lines = t.LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Could not write the start-up settings file ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("zambrix6-sim.ini"), std::string::npos);
  EXPECT_EQ(t->link.BoardModel, 4);
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(StartupSettings, TheProgramFolderHoldsTheFileWhenItIsWritable) {
  TempDir config;
  ScopedEnv xdg("XDG_CONFIG_HOME", config.str());
  t->setup.SettingsDir.clear();
  t.platform.folder = dir.str();
  t->link.PortAddress = 0x378;
  t->link.BoardModel = 4;
  t->setup.SaveStartupSettings();
  EXPECT_TRUE(std::filesystem::exists(dir / "zambrix6-sim.ini"));
  EXPECT_FALSE(std::filesystem::exists(config / "zambrix"));
}

TEST_F(StartupSettings, AProgramFolderThatTakesNoFileFallsBackToTheUserConfigFolder) {
  TempDir config;
  ScopedEnv xdg("XDG_CONFIG_HOME", config.str());
  t->setup.SettingsDir.clear();
  t.platform.folder = "/proc";  // exists, but takes no files, even from root
  t->link.PortAddress = 0x278;
  t->link.BoardModel = 6;
  t->setup.SaveStartupSettings();
  EXPECT_TRUE(t.LogLines().empty());
  const auto written = config / "zambrix" / "zambrix6-sim.ini";
  ASSERT_TRUE(std::filesystem::exists(written));

  TestCore next;
  next.platform.folder = "/proc";
  next->link.InitControlTables();
  next->setup.LoadStartupSettings();
  EXPECT_EQ(next->link.FoundPortAddress, 0x278);
  EXPECT_EQ(next->link.BoardModel, 6);
}

TEST_F(StartupSettings, StartUpSkipsTheDetectionWhenTheFileNamesAPort) {
  WriteWholeFile(
      File(), "[ZAMBRIX6 SETUP]\r\nDATE = 01-02-2026 03:04:05\r\nIO_PORT = 3BC\r\nMODEL =  5 \r\n");
  t->shell.Form_Load();
  EXPECT_FALSE(StatusWasRead());
  EXPECT_EQ(t->link.PortAddress, 956);
  EXPECT_EQ(t->link.BoardModel, 5);
  EXPECT_EQ(t->ui.Text("PortSelected"), "3BCh");
  EXPECT_EQ(t->ui.Caption("ZambrixHardwareFound"), "MODEL 5 - PC port 3BCh");
  EXPECT_EQ(t->ui.Caption("Ready_label"), "Ready");
  EXPECT_TRUE(t.LogLines().empty());  // the start-up empties the log afterwards
  // The announce rewrote the file with this run's date.
  EXPECT_NE(ReadWholeFile(File()).find("DATE = 12-06-2026 12:34:56"), std::string::npos);
}

TEST_F(StartupSettings, StartUpWithOnlyAPortSkipsTheDetectionButAnnouncesNoBoard) {
  WriteWholeFile(File(), "IO_PORT = 278\r\n");
  t->shell.Form_Load();
  EXPECT_FALSE(StatusWasRead());
  EXPECT_EQ(t->link.PortAddress, 632);
  EXPECT_EQ(t->link.BoardModel, 0);
  EXPECT_EQ(t->ui.Text("PortSelected"), "None");
  EXPECT_EQ(t->ui.Caption("ZambrixHardwareFound"), "NO HARDWARE FOUND !!!");
  // Without a model every latch load writes control value 0.
  EXPECT_EQ(t.recording.Log().back(), (PortAccess{true, 0x27A, 0}));
}

TEST_F(StartupSettings, StartUpWithoutAFileRunsTheDetection) {
  t->shell.Form_Load();
  EXPECT_TRUE(StatusWasRead());
  EXPECT_EQ(t->link.PortAddress, 0);
  EXPECT_EQ(t->ui.Caption("ZambrixHardwareFound"), "NO HARDWARE FOUND");
}

}  // namespace
}  // namespace zambrix
