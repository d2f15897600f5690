// Port-access budgets: three runs counted on the simulated board must take
// exactly the accesses docs/benchmarks.md gives. A change that adds accesses
// fails here until the table is updated on purpose (tools/bench.sh prints the
// new figures).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "program_window_support.h"

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

TEST(AccessBudget, ReadProgramAndPageWriteTakeTheAccessesTheTableGives) {
  const auto budgets = Budgets();
  ASSERT_EQ(budgets.size(), 3u) << "docs/benchmarks.md lists the three budgets";

  testing::Programmer read("27C512", std::vector<std::uint8_t>(65536, 0x5A));
  read.Choose("Eprom 27C512");
  const auto read_accesses = read.Accesses("Read_button");
  EXPECT_EQ(read.core().buf.CodeBuffer[65535], 0x5A);

  testing::Programmer program("27C256");
  program.Choose("Eprom 27C256");
  program.Load(std::vector<std::uint8_t>(32768, 0x00));
  const auto program_accesses = program.Accesses("Program_button");
  EXPECT_EQ(program.core().ops.FailFlag, 0);
  EXPECT_EQ(program.Chip()[32767], 0x00);

  testing::Programmer serial("24C08");
  serial.Choose("24C08");
  serial.Load({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  const auto page_accesses = serial.Accesses("Program_button");
  EXPECT_EQ(serial.core().ops.ErrorCount, 0);

  EXPECT_EQ(read_accesses, budgets.at("64 KB read (27C512), Read button"))
      << "new figure: " << read_accesses;
  EXPECT_EQ(program_accesses, budgets.at("27C256 programmed with 00h, Program button"))
      << "new figure: " << program_accesses;
  EXPECT_EQ(page_accesses, budgets.at("24C08 one 16-byte page, Program button"))
      << "new figure: " << page_accesses;
}

}  // namespace
}  // namespace zambrix
