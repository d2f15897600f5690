// What a device selection leaves behind, as named texts, so two runs can be
// compared entry by entry.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/fakes.h"

namespace zambrix::testing {

// Rows of the catalogue the tests choose.
inline constexpr int k2732A = 1;
inline constexpr int k27C256 = 10;
inline constexpr int k27C080 = 19;
inline constexpr int kAM29F040 = 25;
inline constexpr int kX28C256 = 31;
inline constexpr int k24C08 = 34;
inline constexpr int kMicro = 38;

inline std::map<std::string, std::string> DeviceState(Core& c, bool with_voltage = true) {
  std::map<std::string, std::string> s;
  auto& d = c.dev;
  auto& l = c.link;
  s["SelectedDeviceName"] = d.SelectedDeviceName;
  s["DeviceKey"] = d.DeviceKey + "/" + d.DeviceClass + "/" + d.DeviceSizeCode;
  s["Sizes"] = std::to_string(d.DeviceKilobytes) + "/" + std::to_string(d.DeviceSize) + "/" +
               std::to_string(c.buf.CodeSize);
  s["Fixed"] = std::to_string(l.Reg1Fixed) + "/" + std::to_string(l.Reg3Fixed);
  s["Factors"] = std::to_string(l.DelayFactorShort) + "/" + std::to_string(l.DelayFactorMedium) +
                 "/" + std::to_string(l.DelayFactorLong);
  s["Counts"] = std::to_string(l.StrobeDelayCount) + "/" + std::to_string(l.MediumDelayCount) +
                "/" + std::to_string(l.LongDelayCount);
  s["Latches"] = std::to_string(l.Reg0Value) + "/" + std::to_string(l.Reg3Value);
  std::string maps;
  for (int i = 0; i < 256; ++i) {
    maps += std::to_string(l.AddressMidMap[static_cast<std::size_t>(i)]) + "," +
            std::to_string(l.AddressHighMap[static_cast<std::size_t>(i)]) + " ";
  }
  s["Maps"] = maps;
  s["VoltageIndex"] = std::to_string(d.VoltageIndex);
  if (with_voltage) s["ProgramVoltage"] = std::to_string(d.ProgramVoltage);
  s["DataBufferLoaded"] = std::to_string(c.buf.DataBufferLoaded);
  for (const auto& name : c.ui.Names()) {
    if (name == "SystemLog") continue;
    const auto& k = c.ui.Get(name);
    s["ui " + name] = std::string(k.enabled ? "E" : "-") + (k.visible ? "V" : "-") + " " +
                      std::to_string(k.value) + " " + std::to_string(k.max) + " " +
                      std::to_string(k.fore_colour) + " [" + k.caption + "] " +
                      std::to_string(k.list_index);
  }
  return s;
}

inline void ExpectSameState(const std::map<std::string, std::string>& want,
                            const std::map<std::string, std::string>& got) {
  ASSERT_EQ(want.size(), got.size());
  for (const auto& [key, value] : want) EXPECT_EQ(got.at(key), value) << key;
}

// Both address maps, entry by entry, against what they should give.
template <typename Mid, typename High>
void ExpectMaps(const Core& c, Mid mid, High high) {
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(c.link.AddressMidMap[static_cast<std::size_t>(i)], mid(i)) << "mid " << i;
    EXPECT_EQ(c.link.AddressHighMap[static_cast<std::size_t>(i)], high(i)) << "high " << i;
  }
}
inline int Same(int i) { return i; }

// Latch loads (latch number, value) in a recorded stretch of port traffic: data
// byte, then select, strobe, select on the control port.
inline std::vector<std::pair<int, int>> LatchLoads(const Core& c, const RecordingPort& port) {
  std::vector<std::pair<int, int>> loads;
  const auto& log = port.Log();
  for (std::size_t i = 0; i + 1 < log.size(); ++i) {
    if (!log[i].write || log[i].address != c.link.PortAddress) continue;
    for (int n = 0; n < 5; ++n) {
      if (log[i + 1].address == c.link.ControlPort &&
          log[i + 1].value == c.link.RegSelect[static_cast<std::size_t>(n)]) {
        loads.emplace_back(n, log[i].value);
      }
    }
  }
  return loads;
}

// Start-up, then the board on 378h as a ZAMBRIX-4, so latch loads can be read back.
class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t->shell.Form_Load();
    t->link.PortAddress = 0x378;
    t->link.BoardModel = 4;
    t->link.ApplyBoardModel();
    t->link.Reset();
    t.recording.Clear();
  }
  void Choose(int row) { t->ChooseListIndex("Device", row); }
  void ClearLogAndSounds() {
    t->report.ClearLog();
    t.sound.played.clear();
    t.recording.Clear();
  }
  TestCore t;
};

}  // namespace zambrix::testing
