#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/link_traffic.h"

namespace zambrix {
namespace {

using namespace testing;

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
    t.recording.Clear();
  }
  std::vector<PortAccess> LatchLoad(std::size_t n, int value) {
    return Load(value, t->link.RegSelect[n], t->link.RegStrobe[n]);
  }
  TestCore t;
};

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
TEST_F(SelectionTest, ParallelAndSerialChipsLoadTheirLatches) {
  Clear();
  Choose(k27C256);
  EXPECT_EQ(t.recording.Log(), Concat({LatchLoad(3, 0xC4), LatchLoad(0, 0x40)}));
  Clear();
  Choose(k24C08);
  EXPECT_EQ(t.recording.Log(), Concat({LatchLoad(3, 0xC4), LatchLoad(0, 0x40), LatchLoad(3, 0x44),
                                       LatchLoad(0, 0x00)}));
}

// A refused entry leaves the selection before it in force.
TEST_F(SelectionTest, ARefusedEntryKeepsTheState) {
  Choose(k27C256);
  auto before = DeviceState(*t);
  Clear();
  Choose(kAM29F040);
  EXPECT_TRUE(t.LogLines().empty() && t.recording.Log().empty());
  auto after = DeviceState(*t);
  EXPECT_EQ(after["Device"], "11 0 0 [Please Select Device on this List] -1");
  after["Device"] = before["Device"];  // only the list itself changed
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace zambrix
