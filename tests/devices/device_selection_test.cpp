#include <gtest/gtest.h>

#include "devices/device_state.h"

namespace zambrix {
namespace {

using Loads = std::vector<std::pair<int, int>>;
using Lines = std::vector<std::string>;
using namespace testing;

void ExpectVoltageOptions(Core& c, std::vector<int> enabled, int selected) {
  for (int i = 0; i < 4; ++i) {
    auto name = Indexed("Voltage_button", i);
    bool on = std::find(enabled.begin(), enabled.end(), i) != enabled.end();
    EXPECT_EQ(c.ui.Enabled(name), on) << name;
    EXPECT_EQ(c.ui.Value(name), i == selected ? 1 : 0) << name;
  }
}

void ExpectFactors(Core& c, int s, int m, int l) {
  EXPECT_EQ(c.link.DelayFactorShort, s);
  EXPECT_EQ(c.link.DelayFactorMedium, m);
  EXPECT_EQ(c.link.DelayFactorLong, l);
  // The delay counts already follow the new factors.
  auto counts = std::tuple(c.link.StrobeDelayCount, c.link.MediumDelayCount, c.link.LongDelayCount);
  c.link.ApplySpeedSetting();
  EXPECT_EQ(counts,
            std::tuple(c.link.StrobeDelayCount, c.link.MediumDelayCount, c.link.LongDelayCount));
}

TEST_F(SelectionTest, Eprom27C256) {
  t->report.RaiseErrorAlert();
  t->report.DataFlowLightOn();
  Choose(k27C256);
  auto& d = t->dev;
  EXPECT_EQ(d.SelectedDeviceName, "Eprom 27C256");
  EXPECT_EQ(d.DeviceKey, "P4");
  EXPECT_EQ(d.DeviceSize, 32768);
  EXPECT_EQ(t->buf.CodeSize, 32768);
  EXPECT_EQ(t->link.Reg1Fixed, 128);
  EXPECT_EQ(t->link.Reg3Fixed, 2);
  ExpectFactors(*t, 5, 100, 500);
  ExpectVoltageOptions(*t, {1}, 1);
  EXPECT_EQ(d.ProgramVoltage, 12);
  EXPECT_EQ(t->ui.Max("VScroll1"), 127);
  EXPECT_EQ(t.LogLines(), (Lines{"Most Common Programming Voltage Selected: 12.5 Volts!!!",
                                 "Device Eprom 27C256 was Selected",
                                 "Device Size is: 32768 Bytes, Initial VPP suggested: 12.5V"}));
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/done.wav");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
  EXPECT_EQ(t->ui.Colour("DataFlow_label"), colour::kButtonFace);
  ExpectMaps(*t, Same, Same);
  // Chip enable and output enable go idle; nothing else touches the board.
  EXPECT_EQ(LatchLoads(*t, t.recording), (Loads{{3, 0xC4}, {0, 0x40}}));
  EXPECT_EQ(t.recording.Log().size(), 8u);
}

TEST_F(SelectionTest, SerialEeprom24C08) {
  Choose(k24C08);
  auto& ui = t->ui;
  EXPECT_EQ(t->dev.DeviceKey, "SA");
  EXPECT_EQ(t->dev.DeviceSize, 1024);
  EXPECT_EQ(ui.Max("VScroll1"), 3);
  EXPECT_FALSE(ui.Enabled("Blank_button"));
  EXPECT_FALSE(ui.Enabled("menuBlankCheck"));
  EXPECT_TRUE(ui.Enabled("Read_button"));
  EXPECT_TRUE(ui.Enabled("EraseFlash_button"));
  EXPECT_TRUE(ui.Enabled("menuEraseFlash"));
  ExpectVoltageOptions(*t, {0}, 0);
  EXPECT_EQ(t->dev.ProgramVoltage, 0);
  EXPECT_EQ(t.LogLines(), (Lines{"Device Eeprom 24C08 Serial (8 pins) was Selected",
                                 "Device Size is: 1024 Bytes, Initial VPP suggested: 5V"}));
  // Both lines off, then both on: the serial bus runs with the chip enabled.
  EXPECT_EQ(LatchLoads(*t, t.recording), (Loads{{3, 0xC4}, {0, 0x40}, {3, 0x44}, {0, 0x00}}));
}

TEST_F(SelectionTest, Eprom2732AOffersAllThreeHighVoltages) {
  Choose(k2732A);
  EXPECT_EQ(t->dev.DeviceKey, "P1");
  EXPECT_EQ(t->link.Reg1Fixed, 32);
  ExpectFactors(*t, 50, 20000, 100000);
  ExpectVoltageOptions(*t, {1, 2, 3}, 1);
  EXPECT_EQ(t->dev.ProgramVoltage, 12);
}

TEST_F(SelectionTest, Eprom27C080IsOneMegabyte) {
  Choose(k27C080);
  EXPECT_EQ(t->dev.DeviceKey, "P9");
  ExpectFactors(*t, 2, 50, 250);
  EXPECT_EQ(t->dev.DeviceSize, 1048576);
  EXPECT_EQ(t->buf.CodeSize, 1048576);
  EXPECT_EQ(t->ui.Max("VScroll1"), 4095);
}

TEST_F(SelectionTest, XicorX28C256MovesA14ToLatch1Bit7) {
  Choose(kX28C256);
  EXPECT_EQ(t->dev.DeviceKey, "EN");
  EXPECT_EQ(t->link.Reg1Fixed, 64);
  ExpectMaps(
      *t, [](int i) { return i >= 64 && i <= 127 ? i + 64 : i; }, Same);
  EXPECT_TRUE(t->ui.Enabled("EraseFlash_button"));
  EXPECT_TRUE(t->ui.Enabled("menuFlashShowCodeID"));
  EXPECT_TRUE(t->ui.Enabled("Blank_button"));
  ExpectVoltageOptions(*t, {0}, 0);
  // A later EPROM gets plain maps again.
  Choose(k27C256);
  ExpectMaps(*t, Same, Same);
  EXPECT_FALSE(t->ui.Enabled("EraseFlash_button"));
}

TEST_F(SelectionTest, RefusedEntryKeepsThePreviousDevice) {
  Choose(k27C256);
  auto before = DeviceState(*t);
  ClearLogAndSounds();
  Choose(kAM29F040);
  EXPECT_EQ(t->ui.ListIndex("Device"), -1);
  EXPECT_EQ(t->ui.Text("Device"), "Please Select Device on this List");
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_TRUE(t.sound.played.empty());
  EXPECT_TRUE(t.recording.Log().empty());
  auto after = DeviceState(*t);
  after["ui Device"] = before["ui Device"];  // only the list itself changed
  ExpectSameState(before, after);
  EXPECT_EQ(t->dev.DeviceKey, "P4");
  EXPECT_EQ(t->dev.SelectedDeviceName, "Eprom 27C256");
}

TEST_F(SelectionTest, RefusedEntryAtStartUpLeavesNoDevice) {
  auto before = DeviceState(*t);
  Choose(0);
  ExpectSameState(before, DeviceState(*t));
  EXPECT_EQ(t->dev.DeviceKey, "");
  EXPECT_TRUE(t->ui.Visible("PleaseSelect"));
}

TEST_F(SelectionTest, LoadedCodeFileEnablesProgramVerifyAndErase) {
  const char* commands[] = {"Erase_button",    "menuEraseCode", "Program_button",
                            "menuProgramCode", "Verify_button", "menuVerifyCode"};
  Choose(k27C256);
  for (auto* c : commands) EXPECT_FALSE(t->ui.Enabled(c)) << c;
  t->buf.CodeBufferLoaded = 1;
  t->buf.DataBufferLoaded = 1;  // no data area on an EPROM: dropped
  Choose(k24C08);
  for (auto* c : commands) EXPECT_TRUE(t->ui.Enabled(c)) << c;
  EXPECT_EQ(t->buf.DataBufferLoaded, 0);
  EXPECT_EQ(t->ui.Value("CheckData"), 0);
  EXPECT_FALSE(t->ui.Enabled("menuProgramData"));
}

TEST_F(SelectionTest, HighVoltageClicksWarnAndFiveVoltsRecordsNothing) {
  Choose(k2732A);
  ClearLogAndSounds();
  t->ChangeValue("Voltage_button(3)", 1);
  EXPECT_EQ(t->dev.ProgramVoltage, 25);
  EXPECT_EQ(t->ui.Value("Voltage_button(1)"), 0);
  t->ChangeValue("Voltage_button(2)", 1);
  EXPECT_EQ(t->dev.ProgramVoltage, 21);
  t->ChangeValue("Voltage_button(0)", 1);
  EXPECT_EQ(t->dev.ProgramVoltage, 21);
  EXPECT_EQ(t.LogLines(),
            (Lines{"BE CAREFULL!!! You just Selected Programming Voltage as 25 Volts!!!",
                   "BE CAREFULL!!! You just Selected Programming Voltage as 21 Volts!!!"}));
  // A 5 V chip leaves the recorded voltage alone; the next EPROM resets it.
  Choose(k24C08);
  EXPECT_EQ(t->dev.ProgramVoltage, 21);
  Choose(k27C256);
  EXPECT_EQ(t->dev.ProgramVoltage, 12);
}

TEST_F(SelectionTest, SameEntryTwiceGivesTheSameState) {
  Choose(k27C256);
  auto first = DeviceState(*t);
  auto first_lines = t.LogLines();
  t->Click("Device");  // the same entry clicked again
  ExpectSameState(first, DeviceState(*t));
  auto lines = t.LogLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(Lines(lines.begin() + 3, lines.end()), first_lines);
  Choose(kX28C256);
  Choose(k27C256);
  ExpectSameState(first, DeviceState(*t));
}

// Slow factors up to the 8 KB parts, fast ones for the 1 MB parts; the voltage
// options and the page count follow the row.
TEST_F(SelectionTest, EveryOfferedRowGetsItsFactorsOptionsAndPages) {
  for (int row = 1; row <= 36; ++row) {
    if (t->ui.Get("Device").items[static_cast<std::size_t>(row)].rfind("N/A", 0) == 0) continue;
    SCOPED_TRACE("row " + std::to_string(row));
    Choose(row);
    if (row <= 6) {
      ExpectFactors(*t, 50, 20000, 100000);
    } else if (row == 18 || row == 19) {
      ExpectFactors(*t, 2, 50, 250);
    } else {
      ExpectFactors(*t, 5, 100, 500);
    }
    int vi = t->dev.VoltageIndex;
    std::vector<int> enabled;
    for (int i = vi == 0 ? 0 : 1; i <= vi; ++i) enabled.push_back(i);
    ExpectVoltageOptions(*t, enabled, vi == 0 ? 0 : 1);
    EXPECT_EQ(t->ui.Max("VScroll1"), t->dev.DeviceKilobytes * 4 - 1);
    EXPECT_EQ(t.LogLines().back(), "Device Size is: " + std::to_string(t->dev.DeviceSize) +
                                       " Bytes, Initial VPP suggested: " + (vi ? "12.5V" : "5V"));
  }
}

// Nothing of the previous device survives a selection (the recorded voltage of
// a 5 V chip aside).
TEST(Reselection, EveryOfferedDeviceEndsAsOnAFreshStart) {
  for (int row = 0; row <= 38; ++row) {
    TestCore fresh;
    fresh->shell.Form_Load();
    if (fresh->ui.Get("Device").items[static_cast<std::size_t>(row)].rfind("N/A", 0) == 0) continue;
    fresh->ChooseListIndex("Device", row);
    auto want = DeviceState(*fresh, false);
    for (int previous : {k2732A, k27C080, kX28C256, k24C08}) {
      SCOPED_TRACE("row " + std::to_string(row) + " after " + std::to_string(previous));
      TestCore t;
      t->shell.Form_Load();
      t->ChooseListIndex("Device", previous);
      t->ChooseListIndex("Device", row);
      ExpectSameState(want, DeviceState(*t, false));
    }
  }
}

}  // namespace
}  // namespace zambrix
