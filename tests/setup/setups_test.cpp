// The four setup files: what a save writes, what a restore brings back, the
// load menu, and the operator-edited files a restore must survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "setup/setup_file.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::TempDir;
using testing::TestCore;
using testing::WriteWholeFile;
using Lines = std::vector<std::string>;

constexpr int k2732A = 1, k2764 = 5, k27C256 = 10;

struct SetupFiles : ::testing::Test {
  // A started program whose settings folder is the test's own.
  std::unique_ptr<TestCore> Start() {
    auto t = std::make_unique<TestCore>();
    (*t)->setup.SettingsDir = dir.str();
    (*t)->shell.Form_Load();
    return t;
  }
  // The log lines `event` writes.
  static Lines LogOf(TestCore& t, const std::function<void()>& event) {
    const auto before = t.LogLines().size();
    event();
    const auto all = t.LogLines();
    return Lines(all.begin() + static_cast<long>(before), all.end());
  }
  // The operator's 2764 at 21 V on 278h, low bytes, speed 7, blank check before
  // programming, with a code file loaded.
  void Operate2764(TestCore& t) {
    t->ChooseListIndex("Device", k2764);
    t->ChangeValue("Voltage_button(2)", 1);
    t->ChangeValue("LPTSelection(1)", 1);
    t->ChangeValue("HiLow_button(2)", 1);
    t->ChangeValue("Slider1", 7);
    t->ChangeValue("CheckBlankPriorProgramming", 1);
    WriteWholeFile(CodeFile(), std::string(8192, '\x5A'));
    t.dialogs.open_files.push_back(CodeFile().string());
    t->Click("mnuFileOpenCode");
  }
  std::filesystem::path CodeFile() const { return dir / "boot.bin"; }
  TempDir dir;
};

// The controls a setup restores.
Lines SetupControls() {
  Lines names;
  for (std::size_t k = 0; k < kSetupLines; ++k) {
    auto control = SetupKeyControl(static_cast<SetupKey>(k));
    if (!control.empty() && control != "Device" && control != "PortSelected")
      names.push_back(control);
  }
  return names;
}

TEST_F(SetupFiles, ASaveWritesTheNineteenLinesAndAnEmptyNameNamesTheSlot) {
  auto t = Start();
  Operate2764(*t);
  t->dialogs.inputs.push_back("");
  auto log = LogOf(*t, [&] { (*t)->Click("SaveSetup3"); });
  EXPECT_EQ(log, Lines{"Setup Saved as EPSetup3.INI, named:No Name Setup 3"});
  // CRLF lines in a fixed order of keys, which older files share.
  const auto text = testing::ReadWholeFile(dir / "EPSetup3.INI");
  EXPECT_EQ(text.rfind("SetupName = No Name Setup 3\r\nsFILE = " + CodeFile().string() +
                           "\r\nDevice.Index = 5\r\n",
                       0),
            0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 19);
  for (const char* line : {"\nVoltage_button(2).Value = True\r\nVoltage_button(3).Value = "
                           "False\r\nCheckBlankPriorProgramming.Value = 1\r\n",
                           "\nLPTSelection(2).Value = False\r\nPortSelected.Text = "
                           "278h\r\nHiLow_button(0).Value = False\r\n",
                           "\nSlider1.Value = 7\r\nCheckCode.Value = 1\r\nCheckData.Value = 0\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

// A name is one line; a blank one is no name. A save that cannot write says so.
TEST_F(SetupFiles, NamesStayOnTheirLineAndAFailedSaveSaysSo) {
  auto t = Start();
  const std::pair<std::optional<std::string>, std::string> names[] = {{"   ", "No Name Setup 4"},
                                                                      {"Boot\r\nRun", "Boot  Run"}};
  for (const auto& [typed, saved] : names) {
    t->dialogs.inputs.push_back(typed);
    (*t)->Click("SaveSetup4");
    const auto text = testing::ReadWholeFile(dir / "EPSetup4.INI");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "SetupName = " + saved);
  }
  WriteWholeFile(dir / "occupied", "a file, not a folder");
  (*t)->setup.SettingsDir = (dir / "occupied" / "sub").string();
  t->dialogs.inputs.push_back("Boot");
  const auto failed = LogOf(*t, [&] { (*t)->Click("SaveSetup1"); });
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].rfind("Setup could NOT be Saved as ", 0), 0u);
}

TEST_F(SetupFiles, ARestoreBringsBackTheSavedSetupAndReloadsTheCodeFile) {
  auto saved = Start();
  Operate2764(*saved);
  saved->dialogs.inputs.push_back("Boot 2764");
  (*saved)->Click("SaveSetup1");

  auto t = Start();  // another device and voltage, speed and port, overridden by the setup
  (*t)->ChooseListIndex("Device", k2732A);
  (*t)->ChangeValue("Voltage_button(3)", 1);
  (*t)->ChangeValue("Slider1", 90);
  (*t)->ChangeValue("LPTSelection(2)", 1);
  (*t)->Click("Setup");
  const auto log = LogOf(*t, [&] { (*t)->Click("LoadSetup1"); });

  for (const auto& control : SetupControls())
    EXPECT_EQ((*t)->ui.Value(control), (*saved)->ui.Value(control)) << control;
  EXPECT_EQ((*t)->ui.ListIndex("Device"), k2764);
  EXPECT_EQ((*t)->link.PortAddress, 0x278);
  EXPECT_EQ((*t)->dev.ProgramVoltage, 21);
  EXPECT_EQ((*t)->buf.CodeBuffer[8191], 0x5A);
  // The device is chosen before its voltage, so the warning is about the setup's choice.
  auto at = [&log](const std::string& line) { return std::find(log.begin(), log.end(), line); };
  EXPECT_LT(at("Device Eprom 2764 was Selected"),
            at("BE CAREFULL!!! You just Selected Programming Voltage as 21 Volts!!!"));
}

// Entries for the files present, in any letter case; a slot without its file
// keeps its caption but goes disabled, and loading it then says so.
TEST_F(SetupFiles, TheLoadMenuOffersTheSlotsWhoseFilesArePresent) {
  WriteWholeFile(dir / "EPSETUP2.INI", "SetupName = Boot & Run\r\nDevice.Index = 10\r\n");
  std::filesystem::create_directory(dir / "EPSetup3.INI");
  WriteWholeFile(dir / "EPSetup4.INI", std::string("\x01\x02 garbage\r\n", 12));
  auto t = Start();
  (*t)->Click("Setup");
  auto menu = [&t] {
    std::string s;
    for (int n = 1; n <= 4; ++n) {
      const auto entry = "LoadSetup" + std::to_string(n);
      s += ((*t)->ui.Enabled(entry) ? "+" : "-") + (*t)->ui.Caption(entry) + "|";
    }
    return s;
  };
  EXPECT_EQ(menu(), "-Load Setup #&1|+Boot && Run|-Load Setup #&3|+Load Setup #&4|");

  std::filesystem::remove(dir / "EPSETUP2.INI");
  (*t)->Click("Setup");
  EXPECT_EQ(menu(), "-Load Setup #&1|-Boot && Run|-Load Setup #&3|+Load Setup #&4|");
  EXPECT_EQ(LogOf(*t, [&] { (*t)->Click("LoadSetup2"); }),
            Lines{"Setup file EPSetup2.INI was not found - nothing restored"});
  // A file that holds no setup changes nothing.
  (*t)->ChooseListIndex("Device", k27C256);
  EXPECT_EQ(LogOf(*t, [&] { (*t)->Click("LoadSetup4"); }),
            Lines{"Setup file EPSetup4.INI holds no setup lines - nothing restored"});
  EXPECT_EQ((*t)->ui.ListIndex("Device"), k27C256);
}

// One bad line: one log line, the control as it was, the rest applied. The
// program starts on a 2732A; the setup chooses a 27C256 at 12.5 V on 3BCh, speed 60.
TEST_F(SetupFiles, ABadLineIsLoggedAndTheRestOfTheSetupApplies) {
  // The values in key order, from the name to CheckData.
  const std::array<std::string, kSetupLines> good = {
      "Base",  "",     "10",   "False", "True",  "False", "False", "1", "1", "False",
      "False", "True", "3BCh", "True",  "False", "False", "60",    "1", "0"};
  struct Case {
    std::size_t line;
    std::string value;
    std::string says;  // in the one refusal logged
    std::string device = "P4";
    int slider = 60;
  };
  const Case cases[] = {
      {0, "Base", ""},
      {2, "57", "Setup line \"Device.Index = 57\" names no entry of the device list - not applied",
       "P1"},
      {2, "25", "names N/A - Flash AMD AM29F040, a device that is not offered", "P1"},
      {6, "True", "chooses 25V, which Eprom 27C256 does not allow"},
      {16, "250", "lies outside 0 to 100", "P4", 50},
      {1, std::string("a\x01.bin"), "\"sFILE = a?.bin\" holds characters no file name has"},
      {1, "/no/such/file.bin", "could NOT be read (no such file) - Buffer unchanged"},
  };
  for (const auto& c : cases) {
    auto values = good;
    values[c.line] = c.value;
    WriteWholeFile(dir / "EPSetup1.INI", SetupText(values));
    auto t = Start();
    (*t)->ChooseListIndex("Device", k2732A);
    std::size_t refusals = 0, said = 0;
    for (const auto& l : LogOf(*t, [&] { (*t)->Click("LoadSetup1"); })) {
      refusals += l.rfind("Setup line ", 0) == 0 || l.rfind("File ", 0) == 0;
      said += !c.says.empty() && l.find(c.says) != std::string::npos;
    }
    EXPECT_EQ(refusals, c.says.empty() ? 0u : 1u) << c.value;
    EXPECT_EQ(said, refusals) << c.value;
    // An empty "sFILE = " loads nothing.
    EXPECT_EQ(std::tuple((*t)->dev.DeviceKey, (*t)->dev.ProgramVoltage, (*t)->ui.Value("Slider1"),
                         (*t)->link.PortAddress, (*t)->buf.CodeBufferLoaded),
              std::tuple(c.device, 12, c.slider, 0x3BC, 0))
        << c.value;
  }
}

}  // namespace
}  // namespace zambrix
