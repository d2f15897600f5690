// The back-end factory's simulated board: its options and their refusals.
#include "app/backend.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

BackEnd Open(std::vector<std::string> args) { return OpenBackEnd(ExtractBackEndOptions(args)); }

std::string OpenError(std::vector<std::string> args) {
  try {
    Open(std::move(args));
  } catch (const BackEndError& e) {
    return e.what();
  }
  return "";
}

// The fault words of --sim-fault, each to its own setting.
TEST(SimBackEnd, FaultOptionsParse) {
  const auto c = sim::ParseSimOptions(
      {{"fault", "stuck-bit=3:0,stuck-bit=7:1,dead-byte=1A3h,slow-write=800us,vanish=500"}});
  EXPECT_EQ(std::tuple(c.faults.stuck_low, c.faults.stuck_high, c.faults.dead_byte,
                       c.faults.slow_write_ns, c.faults.vanish_after),
            std::tuple(0x08, 0x80, 0x1A3u, 800'000u, 500u));
}

TEST(SimBackEnd, BadValuesAreRefusedWithWhatIsWrong) {
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-model", "7"}),
            "bad value '7' for --sim-model (4, 5 or 6)");
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-trace", "/nonexistent/dir/x.vcd"}),
            "cannot write the trace file /nonexistent/dir/x.vcd");
  EXPECT_EQ(OpenError({"--board", "record", "--sim-model", "4"}),
            "--sim- options need the simulated board");
}

// A chip file longer than the chip is refused, never cut.
TEST(SimBackEnd, AChipFileLongerThanTheChipIsRefused) {
  testing::TempDir dir;
  const std::string file = (dir / "chip.bin").string();
  testing::WriteWholeFile(file, std::string(5000, 'x'));
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-chip", "2732:" + file}),
            "the simulated chip's file " + file + " holds 5000 bytes, more than the chip's 4096");
  EXPECT_EQ(testing::ReadWholeFile(file).size(), 5000u);
}

}  // namespace
}  // namespace zambrix
