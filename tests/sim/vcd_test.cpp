// The VCD file: its structure, changes at their own time, and what sigrok-cli
// (a logic-analyser suite nobody here wrote) reads from it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "app/backend.h"
#include "support/serial_bus.h"
#include "support/sim_support.h"
#include "support/temp_dir.h"
#include "support/tools.h"

namespace zambrix {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

// A VCD file replayed: the value of every named one-bit wire after each time stamp.
struct Replay {
  std::map<std::string, std::string> name_of;  // id -> name ("latch0[7]", "ce_n")
  std::map<std::string, int> width_of;         // id -> bits (0: real)
  std::map<std::string, int> now;              // name -> value
  std::vector<std::pair<std::uint64_t, std::map<std::string, int>>> changes;  // by time stamp

  explicit Replay(const std::string& text) {
    std::istringstream in(text);
    bool defs = true;
    for (std::string word; in >> word;) {
      if (defs) {
        if (word == "$var") {
          std::string kind, id, name, index;
          int bits = 0;
          in >> kind >> bits >> id >> name >> index;
          if (index != "$end") name += index, in >> index;
          name_of[id] = name;
          width_of[id] = kind == "real" ? 0 : bits;
        }
        defs = word != "$enddefinitions";
      } else if (word[0] == '#') {
        changes.push_back({std::stoull(word.substr(1)), {}});
      } else if (word[0] == 'r') {
        in >> word;  // the real's id
      } else if (word[0] == '0' || word[0] == '1') {
        const std::string id = word.substr(1);
        EXPECT_EQ(width_of.count(id), 1u) << "undeclared " << id;
        EXPECT_FALSE(changes.empty()) << "a value before the first time stamp";
        now[name_of[id]] = word[0] - '0';
        if (!changes.empty()) changes.back().second[name_of[id]] = word[0] - '0';
      } else {
        EXPECT_EQ(word[0], '$') << "not a one-bit value: " << word;
      }
    }
  }
  static std::uint32_t Bus(const std::map<std::string, int>& v, const std::string& name, int bits) {
    std::uint32_t out = 0;
    for (int b = 0; b < bits; ++b) {
      auto it = v.find(name + "[" + std::to_string(b) + "]");
      if (it != v.end() && it->second) out |= 1u << b;
    }
    return out;
  }
};

sim::SimConfig TracedSetup(int model, const std::string& chip, std::vector<std::uint8_t> data = {}) {
  return testing::SimSetup(model, 0x378, chip, std::move(data));
}

TEST(Vcd, EveryValueIsAOneBitWireAndTheBusesAreItsBits) {
  TempDir dir;
  const auto file = dir / "session.vcd";
  {
    testing::SimRig rig(TracedSetup(5, "27C256"));
    rig.port.StartVcd(std::make_unique<std::ofstream>(file));
    rig.Use("P4");
    for (int a = 0; a < 4; ++a) rig.ReadByte(a);
    rig.link().Reset();
    rig.port.Finish();
  }
  const std::string text = ReadWholeFile(file);
  Replay r(text);
  int wires = 0, reals = 0;
  std::map<std::string, int> bits_of;  // bus -> number of bits declared
  for (const auto& [id, name] : r.name_of) {
    (r.width_of[id] == 1 ? wires : reals) += 1;
    if (auto bracket = name.find('['); bracket != std::string::npos) ++bits_of[name.substr(0, bracket)];
  }
  EXPECT_EQ(std::tuple(wires, reals), std::tuple(74, 1));
  EXPECT_EQ(bits_of, (std::map<std::string, int>{{"address", 20}, {"data_lines", 8}, {"latch0", 8},
                                                 {"latch1", 8}, {"latch2", 8}, {"latch3", 8},
                                                 {"latch4", 8}}));
  EXPECT_NE(text.find("$timescale 1ns $end"), std::string::npos);
  EXPECT_GT(r.changes.size(), 10u);
  for (std::size_t i = 1; i < r.changes.size(); ++i)
    EXPECT_GT(r.changes[i].first, r.changes[i - 1].first);
  std::map<std::string, int> v;
  std::uint32_t highest = 0;
  for (const auto& [t, changed] : r.changes) {
    for (const auto& [name, value] : changed) v[name] = value;
    highest = std::max(highest, Replay::Bus(v, "address", 20));
  }
  EXPECT_EQ(highest, 3u);
}

// The model-6 identification driver pulls D4 low four port cycles after it is
// enabled, though no port access happens then.
TEST(Vcd, TheChipsOutputsChangeAtTheirOwnTime) {
  TempDir dir;
  const auto file = dir / "id.vcd";
  testing::SimRig rig(TracedSetup(6, "27C256"));
  rig.port.StartVcd(std::make_unique<std::ofstream>(file));
  rig.Use("P4");
  auto& l = rig.link();
  l.Reg4Value = 0xFF, l.SetReg4(), l.REG4OFF();
  l.Reg3Value |= 0x20, l.SetReg3();
  l.SleepMs(1);
  l.PortIn(l.StatusPort);
  rig.port.Finish();
  Replay r(ReadWholeFile(file));
  std::uint64_t rise = 0, settled = 0;
  for (const auto& [t, changed] : r.changes) {
    if (changed.count("latch3[5]") && changed.at("latch3[5]") == 1) rise = t;
    if (changed.count("data_lines[4]") && changed.at("data_lines[4]") == 0) settled = t;
  }
  ASSERT_NE(rise, 0u);
  EXPECT_EQ(settled, rise + 4000);
}

// ---- sigrok-cli ----

class Sigrok : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::ToolAvailable("sigrok-cli")) GTEST_SKIP() << "sigrok-cli is not installed";
  }
  // sigrok-cli with the VCD importer at one sample a microsecond (one port access).
  std::string Run(const std::string& file, const std::string& rest) {
    int status = 0;
    std::string out = testing::RunTool(
        "sigrok-cli -I vcd:downsample=1000 -i " + file + " " + rest, status);
    EXPECT_EQ(status, 0) << out;
    return out;
  }
  TempDir dir;
};

// The data sigrok sees while the chip is read is the chip's at the address it sees.
TEST_F(Sigrok, A27C256ReadShowsTheChipsDataAtEachAddress) {
  std::string image(32768, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + i / 256);
  const auto chip = (dir / "chip.bin").string(), trace = (dir / "read.vcd").string();
  testing::WriteWholeFile(chip, image);
  int status = 0;
  const std::string cli = testing::RunTool(std::string(ZAMBRIX_CLI_BINARY) + " -q --settings-dir " +
                                               dir.str() + " --board sim --sim-chip 27C256:" + chip +
                                               " --sim-trace " + trace + " read -d 27C256 -o " +
                                               (dir / "out.bin").string(),
                                           status);
  ASSERT_EQ(status, 0) << cli;
  Replay r(Run(trace, "-O vcd"));
  std::map<std::string, int> v;
  std::vector<bool> seen(image.size(), false);
  int wrong = 0;
  for (const auto& [t, changed] : r.changes) {
    for (const auto& [name, value] : changed) v[name] = value;
    if (v["ce_n"] != 0 || v["oe_n"] != 0 || v["vcc"] != 1) continue;
    const auto address = Replay::Bus(v, "address", 15);
    const auto data = static_cast<char>(Replay::Bus(v, "data_lines", 8));
    seen[address] = true;
    if (data != image[address] && ++wrong < 5)
      ADD_FAILURE() << "at " << t << " address " << address << " shows " << int(data & 0xFF);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 32768);
}

// sigrok's two-wire decoder on page writes to a 24C08: the starts, the device
// and address bytes, the acknowledges, the data, the stops, and the polling.
TEST_F(Sigrok, TheTwoWireDecoderSeesA24C08PageWrite) {
  const auto trace = (dir / "i2c.vcd").string();
  std::vector<std::uint8_t> data(32);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0xC0 + i);
  {
    testing::Bus bus("SA", TracedSetup(6, "24C08"));
    bus.port.StartVcd(std::make_unique<std::ofstream>(trace));
    ASSERT_EQ(bus.WriteAll(data).size(), 2u);
    bus.port.Finish();
  }
  const std::string out = Run(trace, "-P i2c:scl=scl:sda=sda -A i2c=addr-data");
  std::vector<std::string> events;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) events.push_back(line.substr(line.find(' ') + 1));
  // Each page: start, device, word address, sixteen data bytes with their
  // acknowledges, stop; then the polls until the write cycle ends.
  auto expect_page = [&](int first) {
    std::vector<std::string> want = {"Start", "Write", "Address write: 50", "ACK",
                                     "Data write: " + std::string(first ? "10" : "00"), "ACK"};
    for (int i = 0; i < 16; ++i) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "%02X", data[std::size_t(first + i)]);
      want.push_back(std::string("Data write: ") + byte);
      want.push_back("ACK");
    }
    want.push_back("Stop");
    return want;
  };
  // A start that follows an acknowledged poll without a stop is a repeated one.
  const auto is_start = [](const std::string& e) { return e == "Start" || e == "Start repeat"; };
  std::size_t at = 0;
  for (int first : {0, 16}) {
    SCOPED_TRACE(first);
    const auto want = expect_page(first);
    ASSERT_GE(events.size(), at + want.size()) << out;
    EXPECT_TRUE(is_start(events[at]));
    EXPECT_EQ(std::vector<std::string>(events.begin() + long(at + 1),
                                       events.begin() + long(at + want.size())),
              std::vector<std::string>(want.begin() + 1, want.end()));
    at += want.size();
    // Polls: the device byte goes unanswered while the chip writes, then is acknowledged.
    int unanswered = 0;
    for (bool acked = false; !acked; at += 4) {
      ASSERT_LT(at + 3, events.size()) << out;
      EXPECT_TRUE(is_start(events[at]));
      EXPECT_EQ(events[at + 2], "Address write: 50");
      acked = events[at + 3] == "ACK";
      unanswered += !acked;
    }
    EXPECT_EQ(unanswered, 2);  // polls 1 and 4 ms into the 5 ms write cycle
  }
  EXPECT_EQ(at, events.size());
}

}  // namespace
}  // namespace zambrix
