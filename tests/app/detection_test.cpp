// Board detection, announce, forced models and the operator's port choice.
#include <gtest/gtest.h>

#include "link/boards.h"
#include "support/link_traffic.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::In;
using testing::Install;
using testing::Out;
using testing::TestCore;
using Lines = std::vector<std::string>;
using Reads = std::vector<std::uint8_t>;

// The four status reads of one port's probe (r1, r2 of the model-5 pattern,
// r3, r4 of the model-4 pattern).
const Reads kNoBoard = {0xFF, 0xFF, 0xFF, 0xFF};
const Reads kModel5 = {0x8F, 0xF7, 0xFF, 0xFF};

// A fresh run (tables built, no model installed) answering `parts` in turn, with
// the settings file kept in a folder of the test's own.
struct Detection : ::testing::Test {
  Detection() {
    t->link.BuildReadTables();
    t->link.InitControlTables();
    t->setup.SettingsDir = dir.str();
  }
  void Script(std::initializer_list<Reads> parts) {
    Reads all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    t.recording.ScriptReads(all);
  }
  testing::TempDir dir;
  TestCore t;
};

TEST_F(Detection, ProbeOfOnePortWritesBothPatternsAndReportsSilence) {
  t->link.PortAddress = 0x278;
  t->board.CheckHardware();
  EXPECT_EQ(
      t.recording.Log(),
      (std::vector<PortAccess>{
          Out(0x278, 0x9F), Out(0x27A, 14),   Out(0x27A, 0),    Out(0x278, 0x00), Out(0x27A, 6),
          In(0x279, 0xFF),  Out(0x27A, 0),    Out(0x278, 0xFF), Out(0x27A, 6),    In(0x279, 0xFF),
          Out(0x27A, 9),    Out(0x278, 0xBF), Out(0x27A, 1),    Out(0x27A, 9),    Out(0x278, 0x00),
          Out(0x27A, 15),   Out(0x27A, 9),    In(0x279, 0xFF),  Out(0x278, 0xFF), Out(0x27A, 15),
          Out(0x27A, 9),    In(0x279, 0xFF),  Out(0x27A, 8),
      }));
  EXPECT_EQ(t.LogLines(), Lines{"Port 278 Not Responding"});
  // Four settling waits of DelayFactorShort x 100 iterations.
  EXPECT_EQ(t.virtual_clock.NowNs(), 4u * 500u * 10u);
}

TEST_F(Detection, ModelFourWinsWhenBothPatternsAnswer) {
  Script({kNoBoard, kNoBoard, {0x00, 0x70, 0x00, 0x70}});
  t->board.TestHardware_button_Click();
  EXPECT_EQ(t->link.BoardModel, 4);
}

// The model-6 test also keeps the nibble selects in force (here a model 4's).
TEST_F(Detection, AModelSixTestAnsweringEfFeLeavesModelFive) {
  Install(t, 4, 0x278);
  Script({kModel5, {0x78, 0x70}, {0x70, 0x78}});  // the bytes EFh and FEh
  t->board.CheckHardware();
  EXPECT_EQ(t->link.BoardModel, 5);
  EXPECT_EQ(t->link.NibbleSelectLow, 0);
  EXPECT_EQ(t->link.NibbleSelectHigh, 4);
}

TEST_F(Detection, WithoutABoardThePortAndTheEarlierControlValuesStay) {
  Install(t, 5, 0x3BC);
  t->ui.SetValueQuiet("LPTSelection(2)", 1);
  t->board.TestHardware_button_Click();
  EXPECT_EQ(t.LogLines().back(),
            "Zambrix should be connected to a LPT port, with power and socket empty.");
  EXPECT_EQ(t.recording.Log().back(), Out(0x3BE, 8));  // the port stays; no reset, no blink
  t->link.SetReg0();
  EXPECT_EQ(t.recording.Log().back(), Out(0x3BE, 5));  // and so do the model-5 control values
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A forced model installs its control values (latch 3's select ends the reset)
// but neither moves the port nor is remembered.
TEST_F(Detection, AForcedModelLeavesThePort) {
  for (int model : {5, 4, 6}) {
    Install(t, 0, 0x278);
    t->report.ClearLog();
    t->Click("ForceZambrix" + std::to_string(model));
    EXPECT_EQ(t->link.PortAddress, 0x278);
    EXPECT_EQ(t.LogLines(),
              Lines{"ZAMBRIX-" + std::to_string(model) + " Device was FORCED by Operator"});
    EXPECT_EQ(t.recording.Log().back(), Out(0x27A, BoardProfileOf(model)->select[3]));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(Detection, ChoosingAPortByHandNeitherProbesNorChangesTheModel) {
  Install(t, 5, 0x378);
  t->ChangeValue("LPTSelection(2)", 1);
  t->ChangeValue("LPTSelection(1)", 1);
  EXPECT_EQ(t->ui.Text("PortSelected"), "278h");
  EXPECT_TRUE(t.recording.Log().empty());
  t->link.SetReg0();  // a load now goes to 278h with the model-5 values
  EXPECT_EQ(t.recording.Log()[1], Out(0x27A, 5));
}

}  // namespace
}  // namespace zambrix
