#include <gtest/gtest.h>

#include <algorithm>

#include "support/link_traffic.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::Concat;
using testing::In;
using testing::Install;
using testing::Load;
using testing::Out;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::TestCore;

using Reads = std::vector<std::uint8_t>;

// The four status reads of one port's probe (r1, r2 of the model-5 pattern,
// r3, r4 of the model-4 pattern); bits outside 4..6 are noise.
const Reads kNoBoard = {0xFF, 0xFF, 0xFF, 0xFF};
const Reads kModel4 = {0xFF, 0xFF, 0x8F, 0xF7};
const Reads kModel5 = {0x8F, 0xF7, 0xFF, 0xFF};
const Reads kBothPatterns = {0x00, 0x70, 0x00, 0x70};

// The two status reads a model-5/6 byte read takes to return `value`.
Reads Byte(int value) {
  return {static_cast<std::uint8_t>((value & 15) << 3),
          static_cast<std::uint8_t>(((value >> 4) & 15) << 3)};
}

Reads Script(std::initializer_list<Reads> parts) {
  Reads out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A fresh run: read and control tables built, no model installed, no port, and the
// settings file kept in a folder of the test's own.
struct Detection : ::testing::Test {
  Detection() {
    t->link.BuildReadTables();
    t->link.InitControlTables();
    t->setup.SettingsDir = dir.str();
  }
  bool Contains(const std::vector<PortAccess>& part) const {
    const auto& log = t.recording.Log();
    return std::search(log.begin(), log.end(), part.begin(), part.end()) != log.end();
  }
  std::vector<PortAccess> Tail(std::size_t n) const {
    const auto& log = t.recording.Log();
    return {log.end() - static_cast<std::ptrdiff_t>(std::min(n, log.size())), log.end()};
  }
  int StatusReads() const {
    const auto& log = t.recording.Log();
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [](const PortAccess& a) { return !a.write; }));
  }
  TempDir dir;
  TestCore t;
};

TEST_F(Detection, ProbeOfOnePortWritesBothPatternsAndReportsSilence) {
  t->link.PortAddress = 0x278;
  t->link.CheckHardware();
  EXPECT_EQ(
      t.recording.Log(),
      (std::vector<PortAccess>{
          Out(0x278, 0x9F), Out(0x27A, 14),   Out(0x27A, 0),    Out(0x278, 0x00), Out(0x27A, 6),
          In(0x279, 0xFF),  Out(0x27A, 0),    Out(0x278, 0xFF), Out(0x27A, 6),    In(0x279, 0xFF),
          Out(0x27A, 9),    Out(0x278, 0xBF), Out(0x27A, 1),    Out(0x27A, 9),    Out(0x278, 0x00),
          Out(0x27A, 15),   Out(0x27A, 9),    In(0x279, 0xFF),  Out(0x278, 0xFF), Out(0x27A, 15),
          Out(0x27A, 9),    In(0x279, 0xFF),  Out(0x27A, 8),
      }));
  EXPECT_EQ(t.LogLines(), std::vector<std::string>{"Port 278 Not Responding"});
  EXPECT_EQ(t->link.BoardModel, 0);
  EXPECT_EQ(t->link.FoundPortAddress, 0);
  EXPECT_EQ(t->link.ControlPort, 0x27A);
  EXPECT_EQ(t->ui.Colour("DataFlow_label"), colour::kButtonFace);
  // Four settling waits of DelayFactorShort x 100 iterations.
  EXPECT_EQ(t.virtual_clock.NowNs(), 4u * 500u * 10u);
}

TEST_F(Detection, ModelFourAt378WithNothingElsewhere) {
  t.recording.ScriptReads(Script({kNoBoard, kModel4, kNoBoard}));
  t->link.TestHardware_button_Click();

  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{"Port 278 Not Responding", "Port 3BC Not Responding",
                                      "Port Selection changed to 378h",
                                      "ZAMBRIX-4 Device was FOUND at Port: 378"}));
  auto& ui = t->ui;
  EXPECT_EQ(ui.Caption("ZambrixHardwareFound"), "MODEL 4 - PC port 378h");
  EXPECT_EQ(ui.Colour("ZambrixHardwareFound"), colour::kButtonText);
  EXPECT_EQ(ui.Value("LPTSelection(0)"), 1);
  EXPECT_EQ(ui.Value("LPTSelection(1)"), 0);
  EXPECT_EQ(ui.Text("PortSelected"), "378h");
  EXPECT_EQ(ui.Caption("Ready_label"), "Ready");
  EXPECT_EQ(ui.Colour("Ready_label"), colour::kGreen);

  auto& link = t->link;
  EXPECT_EQ(link.BoardModel, 4);
  EXPECT_EQ(link.FoundPortAddress, 0x378);
  EXPECT_EQ(link.PortAddress, 0x378);
  EXPECT_EQ(link.StatusPort, 0x379);
  EXPECT_EQ(link.ControlPort, 0x37A);
  EXPECT_EQ(link.RegSelect, (std::array<int, 5>{10, 2, 8, 0, 14}));
  EXPECT_EQ(link.NibbleSelectHigh, 4);
  EXPECT_EQ(StatusReads(), 12);  // no model-6 test

  // Saved for the next start; then the board is reset with the model-4 values, without a blink.
  auto file = ReadWholeFile(dir / t->setup.StartupSettingsFileName());
  EXPECT_NE(file.find("\r\nIO_PORT = 378\r\nMODEL =  4 \r\n"), std::string::npos) << file;
  EXPECT_EQ(Tail(16), Concat({Load(0x40, 10, 11), Load(0, 2, 3), Load(0, 8, 9), Load(0xC4, 0, 1)}));
  EXPECT_LT(t.virtual_clock.NowNs(), 200'000'000u);
}

TEST_F(Detection, ModelFourWinsWhenBothPatternsAnswer) {
  t.recording.ScriptReads(Script({kNoBoard, kNoBoard, kBothPatterns}));
  t->link.TestHardware_button_Click();
  EXPECT_EQ(t->link.BoardModel, 4);
  EXPECT_EQ(t->link.FoundPortAddress, 0x3BC);
  EXPECT_EQ(StatusReads(), 12);
  EXPECT_EQ(t.LogLines().back(), "ZAMBRIX-4 Device was FOUND at Port: 3BC");
}

// At the first detection of a run no control values are installed yet; the
// model-6 test still reads the two nibbles with the model-5/6 selects.
TEST_F(Detection, ModelSixIsFoundAtTheFirstDetectionOfARun) {
  ASSERT_EQ(t->link.NibbleSelectLow, 0);
  t.recording.ScriptReads(Script({kNoBoard, kModel5, Byte(0xEF), Byte(0xFF), kNoBoard}));
  t->link.TestHardware_button_Click();

  EXPECT_EQ(t->link.BoardModel, 6);
  EXPECT_TRUE(
      Contains({Out(0x378, 0x60), Out(0x37A, 14), Out(0x37A, 0), Out(0x37A, 5), In(0x379, 0x78),
                Out(0x37A, 1), In(0x379, 0x70), Out(0x378, 0x40), Out(0x37A, 14), Out(0x37A, 0),
                Out(0x37A, 5), In(0x379, 0x78), Out(0x37A, 1), In(0x379, 0x78)}));
  EXPECT_EQ(t.LogLines().back(), "ZAMBRIX-6 Device was FOUND at Port: 378");
  EXPECT_EQ(t->ui.Caption("ZambrixHardwareFound"), "MODEL 6 - PC port 378h");
  EXPECT_EQ(t->link.NibbleSelectLow, 5);
  EXPECT_EQ(t->link.NibbleSelectHigh, 1);
  // The activity output blinks once with the new control values, then the reset.
  EXPECT_EQ(Tail(24), Concat({Load(0x08, 5, 4), Load(0x00, 5, 4), Load(0x40, 5, 4), Load(0, 13, 12),
                              Load(0, 7, 6), Load(0xC4, 15, 14)}));
  EXPECT_GE(t.virtual_clock.NowNs(), 200'000'000u);
}

TEST_F(Detection, AModelSixTestAnsweringEfFeLeavesModelFive) {
  t.recording.ScriptReads(Script({kNoBoard, kModel5, Byte(0xEF), Byte(0xFE), kNoBoard}));
  t->link.TestHardware_button_Click();
  EXPECT_EQ(t->link.BoardModel, 5);
  EXPECT_EQ(t->link.FoundPortAddress, 0x378);
  EXPECT_EQ(t.LogLines().back(), "ZAMBRIX-5 Device was FOUND at Port: 378");
  EXPECT_EQ(t->ui.Caption("ZambrixHardwareFound"), "MODEL 5 - PC port 378h");
  auto file = ReadWholeFile(dir / t->setup.StartupSettingsFileName());
  EXPECT_NE(file.find("MODEL =  5 \r\n"), std::string::npos);
}

TEST_F(Detection, AModelSixTestLeavesTheInstalledNibbleSelectsAlone) {
  Install(t, 4, 0x278);
  t.recording.ScriptReads(Script({kModel5, Byte(0xEF), Byte(0xFE)}));
  t->link.CheckHardware();
  EXPECT_EQ(t->link.BoardModel, 5);
  EXPECT_EQ(t->link.NibbleSelectLow, 0);
  EXPECT_EQ(t->link.NibbleSelectHigh, 4);
}

// The last port that answers wins, and a model 5 found earlier in the scan
// makes the next ports take the model-6 test as well.
TEST_F(Detection, TheLastAnsweringPortWins) {
  t.recording.ScriptReads(
      Script({kModel5, Byte(0xEF), Byte(0xFE), kNoBoard, Byte(0x00), Byte(0x00), kModel4}));
  t->link.TestHardware_button_Click();
  EXPECT_TRUE(Contains({Out(0x378, 0x60), Out(0x37A, 14), Out(0x37A, 0), Out(0x37A, 5)}));
  EXPECT_EQ(t->link.BoardModel, 4);
  EXPECT_EQ(t->link.FoundPortAddress, 0x3BC);
  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{"Port 378 Not Responding", "Port Selection changed to 3BCh",
                                      "ZAMBRIX-4 Device was FOUND at Port: 3BC"}));
  EXPECT_EQ(t->ui.Value("LPTSelection(2)"), 1);
}

TEST_F(Detection, WithoutABoardThePortAndTheEarlierControlValuesStay) {
  Install(t, 5, 0x3BC);
  t->ui.SetValueQuiet("LPTSelection(2)", 1);
  t->ui.SetCaption("Ready_label", "Ready");
  t->link.TestHardware_button_Click();

  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{
                "Port 278 Not Responding", "Port 378 Not Responding", "Port 3BC Not Responding",
                "Can't Locate Zambrix Board at Any LPT port.",
                "Zambrix should be connected to a LPT port, with power and socket empty."}));
  auto& link = t->link;
  EXPECT_EQ(link.BoardModel, 0);
  EXPECT_EQ(link.PortAddress, 0x3BC);
  EXPECT_EQ(link.StatusPort, 0x3BD);
  EXPECT_EQ(link.ControlPort, 0x3BE);
  EXPECT_EQ(link.RegSelect, (std::array<int, 5>{5, 13, 7, 15, 1}));
  auto& ui = t->ui;
  EXPECT_EQ(ui.Caption("ZambrixHardwareFound"), "NO HARDWARE FOUND");
  EXPECT_EQ(ui.Colour("ZambrixHardwareFound"), colour::kRed);
  EXPECT_EQ(ui.Caption("Ready_label"), "NotReady");
  EXPECT_EQ(ui.Colour("Ready_label"), colour::kRed);
  EXPECT_EQ(ui.Text("PortSelected"), "None");
  EXPECT_EQ(ui.Value("LPTSelection(2)"), 0);
  EXPECT_EQ(t.recording.Log().back(), Out(0x3BE, 8));  // no reset without a board
  EXPECT_FALSE(std::filesystem::exists(dir / t->setup.StartupSettingsFileName()));
}

TEST_F(Detection, AForcedModelInstallsItsControlValuesButLeavesThePort) {
  const int selects[3][5] = {{10, 2, 8, 0, 14}, {5, 13, 7, 15, 1}, {5, 13, 7, 15, 1}};
  const int strobes[3][5] = {{11, 3, 9, 1, 15}, {4, 12, 6, 14, 0}, {4, 12, 6, 14, 0}};
  for (int model = 4; model <= 6; ++model) {
    TestCore f;
    f->setup.SettingsDir = dir.str();
    Install(f, 0, 0x278);
    f->Click("ForceZambrix" + std::to_string(model));
    const std::string n = std::to_string(model);
    EXPECT_EQ(f->link.PortAddress, 0x278);
    EXPECT_EQ(f->link.FoundPortAddress, 0);
    EXPECT_EQ(f->link.BoardModel, model);
    EXPECT_EQ(f.LogLines(),
              std::vector<std::string>{"ZAMBRIX-" + n + " Device was FORCED by Operator"});
    EXPECT_EQ(f->ui.Caption("ZambrixHardwareFound"), "Operator Forced Model " + n);
    EXPECT_EQ(f->ui.Colour("ZambrixHardwareFound"), colour::kRed);
    EXPECT_EQ(f->ui.Caption("Ready_label"), "Ready");
    EXPECT_EQ(f->ui.Colour("Ready_label"), colour::kGreen);
    const auto* sel = selects[model - 4];
    const auto* str = strobes[model - 4];
    EXPECT_EQ(f.recording.Log(),
              Concat({Load(0x40, sel[0], str[0], 0x278), Load(0, sel[1], str[1], 0x278),
                      Load(0, sel[2], str[2], 0x278), Load(0xC4, sel[3], str[3], 0x278)}));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // a forced model is not remembered
}

TEST_F(Detection, ChoosingAPortByHandNeitherProbesNorChangesTheModel) {
  Install(t, 5, 0x378);
  t->ChangeValue("LPTSelection(2)", 1);
  t->ChangeValue("LPTSelection(1)", 1);
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{"Port Selection changed to 3BCh",
                                                    "Port Selection changed to 278h"}));
  EXPECT_EQ(t->ui.Text("PortSelected"), "278h");
  EXPECT_EQ(t->ui.Value("LPTSelection(2)"), 0);
  EXPECT_EQ(t->link.PortAddress, 632);
  EXPECT_EQ(t->link.StatusPort, 633);
  EXPECT_EQ(t->link.ControlPort, 634);
  EXPECT_EQ(t->link.BoardModel, 5);
  EXPECT_EQ(t->link.RegSelect[0], 5);
  EXPECT_TRUE(t.recording.Log().empty());
}

}  // namespace
}  // namespace zambrix
