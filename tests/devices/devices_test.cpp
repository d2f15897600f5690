#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "app/text.h"
#include "support/link_traffic.h"

namespace zambrix {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

// Catalogue rows the tests choose.
constexpr int k2732A = 1, k27C256 = 10, k27C080 = 19, kAM29F040 = 25, kX28C256 = 31, k24C08 = 34;

// What a selection leaves behind (the recorded voltage aside), as texts.
std::map<std::string, std::string> DeviceState(Core& c) {
  const auto& l = c.link;
  std::ostringstream o;
  o << c.dev.SelectedDeviceName << '/' << c.dev.DeviceKey << ' ' << c.dev.DeviceSize << ' '
    << c.buf.CodeSize << ' ' << c.dev.VoltageIndex << ' ' << c.buf.DataBufferLoaded << ' '
    << l.Reg1Fixed << ' ' << l.Reg3Fixed << ' ' << l.StrobeDelayCount << ' ' << l.MediumDelayCount
    << ' ' << l.LongDelayCount << ' ' << l.Reg0Value << ' ' << l.Reg3Value;
  for (std::size_t i = 0; i < 256; ++i)
    o << ' ' << l.AddressMidMap[i] << ',' << l.AddressHighMap[i];
  std::map<std::string, std::string> s{{"", o.str()}};
  for (const auto& name : c.ui.Names()) {
    const auto& k = c.ui.Get(name);
    s[name] = std::to_string(k.enabled) + std::to_string(k.visible) + " " +
              std::to_string(k.value) + " " + std::to_string(k.max) + " [" + k.caption + "] " +
              std::to_string(k.list_index);
  }
  s.erase("SystemLog");
  return s;
}

// Voltage options: '-' off, 'e' enabled, 'S' selected.
std::string VoltageOptions(const WindowModel& ui) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    auto name = Indexed("Voltage_button", i);
    s += ui.Value(name) ? 'S' : ui.Enabled(name) ? 'e' : '-';
  }
  return s;
}

// What the examples look at: key, sizes, fixed bits, delay factors, scroll
// maximum, voltage options, blank check, chip erase, the latch-1 map of A14
// and programming (only with a code file loaded).
std::string Summary(Core& c) {
  const auto& l = c.link;
  std::ostringstream o;
  o << c.dev.DeviceKey << ' ' << c.dev.DeviceSize << '/' << c.buf.CodeSize << ' ' << l.Reg1Fixed
    << '/' << l.Reg3Fixed << ' ' << l.DelayFactorShort << '/' << l.DelayFactorMedium << '/'
    << l.DelayFactorLong << ' ' << c.ui.Max("VScroll1") << ' ' << VoltageOptions(c.ui) << " blank "
    << c.ui.Enabled("Blank_button") << " erase " << c.ui.Enabled("EraseFlash_button") << " A14 "
    << l.AddressMidMap[64] << '-' << l.AddressMidMap[127] << " program "
    << c.ui.Enabled("Program_button");
  return o.str();
}

// Start-up, then the board on 378h as a ZAMBRIX-4 so latch loads can be checked.
void Start(TestCore& c) {
  c->shell.Form_Load();
  Install(c, 4);
  c->link.Reset();
}

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(t); }
  void Choose(int row) { t->ChooseListIndex("Device", row); }
  void Clear() {
    t->report.ClearLog();
    t.sound.played.clear();
    t.recording.Clear();
  }
  std::vector<PortAccess> LatchLoad(std::size_t n, int value) {
    return Load(value, t->link.RegSelect[n], t->link.RegStrobe[n]);
  }
  TestCore t;
};

// The catalogue's facts as the start-up list shows them; not a copy of the rows.
TEST_F(SelectionTest, CatalogueFactsAndTheStartUpList) {
  const auto& table = t->dev.DeviceTable;
  const auto& list = t->ui.Get("Device");
  ASSERT_EQ(list.items.size(), 39u);
  std::map<std::string, std::string> offered, refused;  // key -> KB/latch 1/latch 3
  int offered_rows = 0;
  for (std::size_t row = 0; row < 39; ++row) {
    const auto& c = table[row];
    const std::string name = Trim(c[0]), key = c[1] + c[2], facts = c[3] + "/" + c[4] + "/" + c[5];
    EXPECT_EQ(c[0], name + std::string(30 - name.size(), ' ')) << row;
    const bool yes = c[7] == "Y";
    EXPECT_EQ(list.items[row], (yes ? "" : "N/A - ") + c[0]);
    offered_rows += yes ? 1 : 0;
    EXPECT_EQ((yes ? offered : refused).emplace(key, facts).first->second, facts) << key;
  }
  EXPECT_EQ(offered_rows, 23);
  std::string keys;
  for (const auto& [key, facts] : offered) keys += key + " " + facts + ", ";
  EXPECT_EQ(keys,
            "EN 32/64/2, P1 4/32/0, P2 8/192/2, P3 16/192/2, P4 32/128/2, P5 64/0/2, P6 128/0/12, "
            "P7 256/0/12, P8 512/0/8, P9 1024/0/0, SA 1/0/0, SB 2/0/0, SC 4/0/0, ");
  keys.clear();
  for (const auto& r : refused) keys += r.first + " ";
  EXPECT_EQ(keys, "EO EP FA FL FM FN FO FP FQ FR FS MJ P1 PM SE ");
  EXPECT_EQ(list.items[0], "N/A - Eprom 2716" + std::string(20, ' '));
  EXPECT_EQ(list.caption, "Please Select Device on this List");
  EXPECT_EQ(list.list_index, -1);
}

// Each one after the one before, ending as on a fresh start.
TEST_F(SelectionTest, ExamplesGetTheirKeySizeFixedBitsFactorsAndOptions) {
  const std::pair<int, std::string> examples[] = {
      {k24C08, "SA 1024/1024 0/0 5/100/500 3 S--- blank 0 erase 1 A14 64-127 program 0"},
      {k2732A, "P1 4096/4096 32/0 50/20000/100000 15 -See blank 1 erase 0 A14 64-127 program 0"},
      {kX28C256, "EN 32768/32768 64/2 1/100/500 127 S--- blank 1 erase 1 A14 128-191 program 0"},
      {k27C256, "P4 32768/32768 128/2 5/100/500 127 -S-- blank 1 erase 0 A14 64-127 program 0"},
      {k27C080, "P9 1048576/1048576 0/0 2/50/250 4095 -S-- blank 1 erase 0 A14 64-127 program 0"},
  };
  for (const auto& [row, summary] : examples) {
    Choose(row);
    EXPECT_EQ(Summary(*t), summary);
    TestCore fresh;
    Start(fresh);
    fresh->ChooseListIndex("Device", row);
    EXPECT_EQ(DeviceState(*t), DeviceState(*fresh)) << summary;
    auto& l = t->link;  // the delay counts already follow the new factors
    auto counts = std::tuple(l.StrobeDelayCount, l.MediumDelayCount, l.LongDelayCount);
    l.ApplySpeedSetting();
    EXPECT_EQ(counts, std::tuple(l.StrobeDelayCount, l.MediumDelayCount, l.LongDelayCount));
  }
}

// Chip enable and output enable go idle; the serial bus runs with both on.
TEST_F(SelectionTest, LogLinesSoundAndBoardLines) {
  t->report.RaiseErrorAlert();
  Clear();
  Choose(k27C256);
  EXPECT_EQ(t.LogLines(), (Lines{"Most Common Programming Voltage Selected: 12.5 Volts!!!",
                                 "Device Eprom 27C256 was Selected",
                                 "Device Size is: 32768 Bytes, Initial VPP suggested: 12.5V"}));
  EXPECT_EQ(t.sound.played, Lines{"/opt/zambrix/done.wav"});
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
  for (auto* c : {"Frame5", "VerifyAfterProgramming", "FrameVoltageSelection", "BufferDisplay"}) {
    EXPECT_TRUE(t->ui.Visible(c)) << c;
  }
  EXPECT_FALSE(t->ui.Visible("PleaseSelect"));
  EXPECT_EQ(t.recording.Log(), Concat({LatchLoad(3, 0xC4), LatchLoad(0, 0x40)}));
  Clear();
  Choose(k24C08);
  EXPECT_EQ(t.LogLines(), (Lines{"Device Eeprom 24C08 Serial (8 pins) was Selected",
                                 "Device Size is: 1024 Bytes, Initial VPP suggested: 5V"}));
  EXPECT_EQ(t.recording.Log(), Concat({LatchLoad(3, 0xC4), LatchLoad(0, 0x40), LatchLoad(3, 0x44),
                                       LatchLoad(0, 0x00)}));
}

// The same entry again repeats the selection; a refused one leaves it in force.
TEST_F(SelectionTest, SameEntryTwiceAndRefusedEntriesKeepTheState) {
  auto start = DeviceState(*t);
  Choose(0);
  EXPECT_EQ(DeviceState(*t), start);
  Choose(k27C256);
  auto before = DeviceState(*t);
  t->Click("Device");
  EXPECT_EQ(DeviceState(*t), before);
  auto log = t.LogLines();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(Lines(log.begin(), log.begin() + 3), Lines(log.begin() + 3, log.end()));
  Clear();
  Choose(kAM29F040);
  EXPECT_TRUE(t.LogLines().empty() && t.sound.played.empty() && t.recording.Log().empty());
  auto after = DeviceState(*t);
  EXPECT_EQ(after["Device"], "11 0 0 [Please Select Device on this List] -1");
  after["Device"] = before["Device"];  // only the list itself changed
  EXPECT_EQ(after, before);
}

// High voltages warn, 5 V records nothing; a loaded code file enables the
// buffer commands, a data file is dropped on a chip without a data area.
TEST_F(SelectionTest, VoltageClicksThenA5VChipWithACodeFile) {
  Choose(k2732A);
  Clear();
  t->ChangeValue("Voltage_button(3)", 1);
  EXPECT_EQ(VoltageOptions(t->ui) + std::to_string(t->dev.ProgramVoltage), "-eeS25");
  t->ChangeValue("Voltage_button(2)", 1);
  t->ChangeValue("Voltage_button(0)", 1);
  t->buf.CodeBufferLoaded = t->buf.DataBufferLoaded = 1;
  Choose(k24C08);  // a 5 V chip leaves the recorded voltage alone
  for (auto* c : {"Program_button", "Verify_button", "Erase_button", "menuProgramCode"}) {
    EXPECT_TRUE(t->ui.Enabled(c)) << c;
  }
  EXPECT_EQ(t->buf.DataBufferLoaded, 0);
  // Back to the no-device state; clearing the options is no click.
  t->dev.ResetDeviceControls();
  EXPECT_EQ(VoltageOptions(t->ui) + std::to_string(t->dev.ProgramVoltage), "----21");
  for (auto* c :
       {"Read_button",     "Display_button",  "Blank_button",      "Program_button",
        "Verify_button",   "Erase_button",    "EraseFlash_button", "Show_button",
        "menuReadCode",    "menuDisplayCode", "menuBlankCheck",    "menuProgramCode",
        "menuVerifyCode",  "menuEraseCode",   "menuEraseFlash",    "menuFlashShowCodeID",
        "menuProgramData", "menuReadData",    "menuVerifyData",    "menuDisplayData",
        "menuEraseData",   "CheckCode",       "CheckData",         "tbToolBar.Buttons(2)"}) {
    EXPECT_FALSE(t->ui.Enabled(c)) << c;
  }
  auto log = t.LogLines();
  ASSERT_EQ(log.size(), 4u);  // the 24C08's two lines follow
  EXPECT_EQ(log[0], "BE CAREFULL!!! You just Selected Programming Voltage as 25 Volts!!!");
  EXPECT_EQ(log[1], "BE CAREFULL!!! You just Selected Programming Voltage as 21 Volts!!!");
}

}  // namespace
}  // namespace zambrix
