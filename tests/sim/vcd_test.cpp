// The VCD file: its structure, changes at their own time, and what sigrok-cli
// (a logic-analyser suite nobody here wrote) reads from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "app/backend.h"
#include "support/sim_support.h"
#include "support/temp_dir.h"
#include "support/tools.h"
#include "support/vcd_replay.h"

namespace zambrix {
namespace {

using testing::ReadWholeFile;
using testing::Replay;
using testing::TempDir;

// A 27C256 selected on a board of `model` at 378h, its trace going to `file`.
struct Traced : testing::SimRig {
  Traced(int model, const std::filesystem::path& file)
      : SimRig(testing::SimSetup(model, 0x378, "27C256")) {
    port.StartVcd(std::make_unique<std::ofstream>(file));
    Use("P4");
  }
};

// The model-6 identification driver pulls D4 low four port cycles after it is
// enabled, though no port access happens then.
TEST(Vcd, TheChipsOutputsChangeAtTheirOwnTime) {
  TempDir dir;
  const auto file = dir / "id.vcd";
  Traced rig(6, file);
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

// The writer hands its changes to the file in blocks; a run that ends without
// closing the trace still leaves every change in it.
TEST(Vcd, ARunThatEndsWithoutFinishKeepsEveryChange) {
  TempDir dir;
  std::string text[2];
  for (int finish : {0, 1}) {
    const auto file = dir / ("run" + std::to_string(finish) + ".vcd");
    {
      Traced rig(5, file);
      for (int a = 0; a < 4096; ++a) rig.ReadByte(a);
      if (finish) rig.port.Finish();
    }
    text[finish] = ReadWholeFile(file);
  }
  ASSERT_GT(text[0].size(), 70000u);  // more than one block
  // The closed file only adds its closing time stamp.
  EXPECT_EQ(text[1].substr(0, text[0].size()), text[0]);
  EXPECT_EQ(text[1].find('\n', text[0].size()), text[1].size() - 1);
}

// ---- sigrok-cli ----

class Sigrok : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::ToolAvailable("sigrok-cli")) GTEST_SKIP() << "sigrok-cli is not installed";
  }
  // sigrok-cli with the VCD importer at one sample a microsecond (one port
  // access), from `from_ns` on (the importer skips in the file's own time unit).
  std::string Run(const std::string& file, const std::string& rest, std::uint64_t from_ns = 0) {
    int status = 0;
    const std::string skip = from_ns != 0 ? ":skip=" + std::to_string(from_ns) : "";
    std::string out = testing::RunTool(
        "sigrok-cli -I vcd:downsample=1000" + skip + " -i " + file + " " + rest, status);
    EXPECT_EQ(status, 0) << out;
    return out;
  }
  // zambrix-cli on the simulated board, its settings in the test's folder.
  void Cli(const std::string& args) {
    int status = 0;
    const std::string out =
        testing::RunTool(std::string(ZAMBRIX_CLI_BINARY) + " -q --settings-dir " + dir.str() +
                             " --board sim " + args,
                         status);
    ASSERT_EQ(status, 0) << out;
  }
  TempDir dir;
};

// The data sigrok sees while the chip is read is the chip's at the address it sees.
TEST_F(Sigrok, A27C256ReadShowsTheChipsDataAtEachAddress) {
  std::string image(32768, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + i / 256);
  const auto chip = (dir / "chip.bin").string(), trace = (dir / "read.vcd").string();
  testing::WriteWholeFile(chip, image);
  ASSERT_NO_FATAL_FAILURE(Cli("--sim-chip 27C256:" + chip + " --sim-trace " + trace +
                              " read -d 27C256 -o " + (dir / "out.bin").string()));
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

// The end of the last start that was directly followed by a stop (the stop's
// own clock pulse the only one between them) before the first byte on the
// bus; 0 when there is none.
std::uint64_t EndOfEmptyTransferBeforeTheFirstByte(const Replay& r) {
  std::map<std::string, int> v{{"scl", 0}, {"sda", 0}};
  std::uint64_t found = 0;
  int clocks = 0;  // SCL rising edges since the last start
  bool started = false;
  for (const auto& [t, changed] : r.changes) {
    std::map<std::string, int> next = v;
    for (const auto& [name, value] : changed) next[name] = value;
    if (v["scl"] == 0 && next["scl"] == 1 && ++clocks == 9 && started)
      break;  // a byte and its acknowledge
    if (v["scl"] == 1 && next["scl"] == 1 && v["sda"] != next["sda"]) {
      if (next["sda"] == 0) clocks = 0, started = true;  // start
      if (next["sda"] == 1 && clocks <= 1) found = t;    // stop
    }
    v = std::move(next);
  }
  return found;
}

// "i2c-1: Data write: 4D" -> "Data write: 4D", one a line.
std::vector<std::string> Annotations(const std::string& out) {
  std::vector<std::string> events;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    events.push_back(line.substr(line.find(' ') + 1));
  return events;
}

std::string DataWrite(std::uint8_t byte) {
  char text[24];
  std::snprintf(text, sizeof text, "Data write: %02X", byte);
  return text;
}

// sigrok's two-wire decoder on the program's own page writes to a 24C08: twenty
// bytes, one whole page and four bytes of the next, each page followed by the
// polls of its write cycle.
TEST_F(Sigrok, TheTwoWireDecoderSeesTheProgramsPageWritesToA24C08) {
  std::string image(20, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(0x3C * i + 0x11);
  const auto file = (dir / "image.bin").string(), chip = (dir / "chip.bin").string(),
             trace = (dir / "program.vcd").string();
  testing::WriteWholeFile(file, image);
  ASSERT_NO_FATAL_FAILURE(Cli("--sim-chip 24C08:" + chip + " --sim-trace " + trace +
                              " --yes program -d 24C08 -i " + file));
  EXPECT_EQ(ReadWholeFile(chip).substr(0, image.size()), image);
  // Before its first page the program frees the bus, which ends in a start
  // directly followed by a stop (the datasheets' memory reset). sigrok 0.5's
  // decoder takes a start's next clock pulse for an address bit, even the one
  // of a stop, and misreads the transfer that follows: it reads from after it.
  const std::uint64_t from = EndOfEmptyTransferBeforeTheFirstByte(Replay(ReadWholeFile(trace)));
  ASSERT_NE(from, 0u) << "the bus was not freed";
  const auto events =
      Annotations(Run(trace, "-P i2c:scl=scl:sda=sda -A i2c=addr-data", from + 1000));
  // Each page: its start, device byte, word address, the data with their
  // acknowledges and its stop, in order; the polls of its write cycle between.
  auto at = events.begin();
  for (std::size_t first : {0u, 16u}) {
    SCOPED_TRACE(first);
    std::vector<std::string> want = {"Write", "Address write: 50", "ACK",
                                     DataWrite(static_cast<std::uint8_t>(first)), "ACK"};
    for (std::size_t i = first; i < std::min(first + 16, image.size()); ++i)
      want.insert(want.end(), {DataWrite(static_cast<std::uint8_t>(image[i])), "ACK"});
    want.push_back("Stop");
    // A start that follows an acknowledged poll without a stop is a repeated one.
    auto found = std::search(at, events.end(), want.begin(), want.end());
    ASSERT_TRUE(found != events.end() && found != events.begin()) << ::testing::PrintToString(want);
    EXPECT_TRUE(found[-1] == "Start" || found[-1] == "Start repeat") << found[-1];
    EXPECT_TRUE(first == 0 || std::find(at, found, "NACK") != found);  // a poll in the write
    at = found + long(want.size());
  }
}

}  // namespace
}  // namespace zambrix
