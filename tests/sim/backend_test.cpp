// The back-end factory's simulated board: its options and their refusals.
#include "app/backend.h"

#include <gtest/gtest.h>

#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

std::string OpenError(std::vector<std::string> args) {
  try {
    OpenBackEnd(ExtractBackEndOptions(args));
  } catch (const BackEndError& e) {
    return e.what();
  }
  return "";
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
