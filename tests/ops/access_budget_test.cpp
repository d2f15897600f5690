// Port-access budgets: three runs counted on the simulated board must take
// exactly the accesses docs/benchmarks.md gives. A change that adds accesses
// fails here until the table is updated on purpose (tools/bench.sh prints the
// new figures).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "sim/sim_port.h"
#include "support/fakes.h"

namespace zambrix {
namespace {

// The rows "| budget: NAME | N |" of the benchmark table, by NAME.
std::map<std::string, std::uint64_t> Budgets() {
  std::ifstream in(std::string(ZAMBRIX_SOURCE_DIR) + "/docs/benchmarks.md");
  std::map<std::string, std::uint64_t> out;
  const std::regex row(R"(^\|\s*budget: ([^|]+?)\s*\|\s*([0-9,]+)\s*\|)");
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, row)) continue;
    std::string digits;
    for (char c : m[2].str()) {
      if (c != ',') digits += c;
    }
    out[m[1].str()] = std::stoull(digits);
  }
  return out;
}

// A board found at start-up with a chip in its socket, the chip chosen.
struct Counted {
  Counted(const std::string& chip, const std::string& name, std::vector<std::uint8_t> contents) {
    config.chip = sim::FindChipSpec(chip);
    config.demo_image = false;
    config.contents = std::move(contents);
    port = std::make_unique<sim::SimPort>(config, clock);
    t = std::make_unique<testing::TestCore>(port.get(), &clock);
    (*t)->shell.Form_Load();
    const auto& rows = (*t)->dev.DeviceTable;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i][0].rfind(name, 0) == 0) (*t)->ChooseListIndex("Device", static_cast<int>(i));
    }
  }
  // Accesses the click takes.
  std::uint64_t Count(const std::string& control) {
    const auto& c = port->Trace().counts;
    const auto before = c.reads + c.writes;
    (*t)->Click(control);
    return c.reads + c.writes - before;
  }
  sim::SimConfig config;
  VirtualClock clock{Link::kNsPerIteration};
  std::unique_ptr<sim::SimPort> port;
  std::unique_ptr<testing::TestCore> t;
};

TEST(AccessBudget, ReadProgramAndPageWriteTakeTheAccessesTheTableGives) {
  const auto budgets = Budgets();
  ASSERT_EQ(budgets.size(), 3u) << "docs/benchmarks.md lists the three budgets";

  Counted read("27C512", "Eprom 27C512", std::vector<std::uint8_t>(65536, 0x5A));
  const auto read_accesses = read.Count("Read_button");
  EXPECT_EQ((*read.t)->buf.CodeBuffer[65535], 0x5A);

  Counted program("27C256", "Eprom 27C256", {});
  std::fill_n((*program.t)->buf.CodeBuffer.begin(), 32768, 0x00);
  (*program.t)->buf.CodeSize = 32768;
  const auto program_accesses = program.Count("Program_button");
  EXPECT_EQ((*program.t)->ops.FailFlag, 0);
  EXPECT_EQ(program.port->Board().socket().Chip()->Memory()[32767], 0x00);

  Counted serial("24C08", "Eeprom 24C08", {});
  for (int i = 0; i < 16; ++i)
    (*serial.t)->buf.CodeBuffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  (*serial.t)->buf.CodeSize = 16;
  const auto page_accesses = serial.Count("Program_button");
  EXPECT_EQ((*serial.t)->ops.ErrorCount, 0);

  EXPECT_EQ(read_accesses, budgets.at("64 KB read (27C512), Read button"))
      << "new figure: " << read_accesses;
  EXPECT_EQ(program_accesses, budgets.at("27C256 programmed with 00h, Program button"))
      << "new figure: " << program_accesses;
  EXPECT_EQ(page_accesses, budgets.at("24C08 one 16-byte page, Program button"))
      << "new figure: " << page_accesses;
}

}  // namespace
}  // namespace zambrix
