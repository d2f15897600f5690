#include <gtest/gtest.h>

#include "devices/device_state.h"

namespace zambrix {
namespace {

using namespace testing;

const char* kChipCommands[] = {
    "Read_button",     "Display_button",  "Blank_button",      "Program_button",
    "Verify_button",   "Erase_button",    "EraseFlash_button", "Show_button",
    "menuReadCode",    "menuDisplayCode", "menuBlankCheck",    "menuProgramCode",
    "menuVerifyCode",  "menuEraseCode",   "menuEraseFlash",    "menuFlashShowCodeID",
    "menuProgramData", "menuReadData",    "menuVerifyData",    "menuDisplayData",
    "menuEraseData",   "CheckCode",       "CheckData"};

void ExpectNoDeviceControls(const WindowModel& ui) {
  for (auto* c : kChipCommands) EXPECT_FALSE(ui.Enabled(c)) << c;
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(ui.Enabled(Indexed("Voltage_button", i)));
    EXPECT_EQ(ui.Value(Indexed("Voltage_button", i)), 0);
  }
  EXPECT_FALSE(ui.Enabled("tbToolBar.Buttons(2)"));
  for (auto* c : {"tbToolBar.Buttons(3)", "tbToolBar.Buttons(4)", "tbToolBar.Buttons(5)",
                  "FileNameDataLabel", "FileNameDataText", "FileNameDataSize"}) {
    EXPECT_FALSE(ui.Visible(c)) << c;
  }
  EXPECT_EQ(ui.Caption("Show_button"), "Show Data");
  EXPECT_EQ(ui.Caption("Frame3"), "Code Buffer Hex/Ascii Display");
}

// At start-up and after a device: the voltage options are cleared without a
// click, so the recorded voltage stays and nothing is logged.
TEST_F(SelectionTest, ResetDeviceControlsGivesTheNoDeviceState) {
  ExpectNoDeviceControls(t->ui);
  for (auto* c : {"Frame5", "VerifyAfterProgramming", "FrameVoltageSelection"}) {
    EXPECT_FALSE(t->ui.Visible(c)) << c;
  }
  Choose(k2732A);
  t->ChangeValue("Voltage_button(3)", 1);
  ClearLogAndSounds();
  t->dev.ResetDeviceControls();
  ExpectNoDeviceControls(t->ui);
  EXPECT_EQ(t->dev.ProgramVoltage, 25);
  EXPECT_TRUE(t.LogLines().empty());
}

TEST_F(SelectionTest, EpromShowsItsPanelsAndWorksOnTheCodeBuffer) {
  Choose(k27C256);
  auto& ui = t->ui;
  for (auto* c : {"Frame5", "CheckBlankPriorProgramming", "VerifyAfterProgramming",
                  "FrameVoltageSelection", "Frame3", "BufferDisplay"}) {
    EXPECT_TRUE(ui.Visible(c)) << c;
  }
  EXPECT_FALSE(ui.Visible("PleaseSelect"));
  for (auto* c : {"Read_button", "menuReadCode", "Display_button", "menuDisplayCode",
                  "Blank_button", "menuBlankCheck", "Show_button"}) {
    EXPECT_TRUE(ui.Enabled(c)) << c;
  }
  for (auto* c : {"EraseFlash_button", "menuEraseFlash", "menuFlashShowCodeID", "CheckCode",
                  "CheckData", "menuReadData"}) {
    EXPECT_FALSE(ui.Enabled(c)) << c;
  }
  EXPECT_EQ(ui.Caption("Show_button"), "Show Code");
  EXPECT_EQ(ui.Value("CheckCode"), 1);
  EXPECT_EQ(ui.Value("CheckData"), 0);
  EXPECT_FALSE(ui.Visible("tbToolBar.Buttons(4)"));
}

// The microcontroller row is refused by the catalogue; offering it shows what a
// device with a separate data area gets, and that the next chip takes it away.
TEST_F(SelectionTest, DataAreaDeviceGetsItsDataCommandsAndLosesThemAgain) {
  t->dev.DeviceTable[kMicro][7] = "Y";
  t->dev.FillDeviceList();
  t->ui.SetValue("CheckCode", 0);
  t->buf.DataBufferLoaded = 1;
  Choose(kMicro);
  auto& ui = t->ui;
  EXPECT_EQ(t->dev.DeviceKey, "MJ");
  for (auto* c : {"menuEraseFlash", "menuEraseData", "menuDisplayData", "menuReadData",
                  "tbToolBar.Buttons(4)", "Show_button", "mnuFileOpenData", "CheckCode",
                  "CheckData", "menuProgramData", "menuVerifyData", "Erase_button"}) {
    EXPECT_TRUE(ui.Enabled(c)) << c;
  }
  EXPECT_FALSE(ui.Enabled("tbToolBar.Buttons(5)"));
  for (auto* c : {"tbToolBar.Buttons(3)", "tbToolBar.Buttons(4)", "tbToolBar.Buttons(5)",
                  "FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}) {
    EXPECT_TRUE(ui.Visible(c)) << c;
  }
  EXPECT_EQ(ui.Caption("Show_button"), "Show Data");
  EXPECT_EQ(ui.Value("CheckCode"), 0);  // tick left as it was
  EXPECT_EQ(ui.Value("CheckData"), 1);  // a loaded data file ticks it
  EXPECT_EQ(t->buf.DataBufferLoaded, 1);

  Choose(k27C256);
  for (auto* c : {"menuEraseData", "menuDisplayData", "menuReadData", "tbToolBar.Buttons(4)",
                  "menuProgramData", "menuVerifyData", "CheckData"}) {
    EXPECT_FALSE(ui.Enabled(c)) << c;
  }
  for (auto* c : {"tbToolBar.Buttons(4)", "FileNameDataLabel", "FileNameDataText"}) {
    EXPECT_FALSE(ui.Visible(c)) << c;
  }
  EXPECT_EQ(t->buf.DataBufferLoaded, 0);
  EXPECT_EQ(ui.Value("CheckCode"), 1);
}

TEST_F(SelectionTest, FlashKeysMoveA18ToLatch3Bit3) {
  t->dev.DeviceTable[kAM29F040][7] = "Y";
  t->dev.FillDeviceList();
  Choose(kAM29F040);
  EXPECT_EQ(t->dev.DeviceKey, "FM");
  ExpectMaps(*t, Same, [](int i) { return i >= 4 && i <= 7 ? i + 4 : i; });
  EXPECT_TRUE(t->ui.Enabled("EraseFlash_button"));
  EXPECT_TRUE(t->ui.Enabled("Blank_button"));
}

}  // namespace
}  // namespace zambrix
