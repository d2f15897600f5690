// The flash commands of the command line, run as a process on the simulated board.
#include "cli/cli_process.h"

namespace {

struct CliFlash : zambrix::testing::Cli {
  zambrix::testing::Result Sim(const std::string& args) { return Run("--board sim " + args); }
};

TEST_F(CliFlash, IdPrintsTheIdentificationLinesAndFailsWhenNothingValidAnswers) {
  struct Case {
    std::string args, line;
    int status;
  };
  for (const auto& c : {
           Case{"--sim-chip EN29F040 --catalogue extended id -d EN29F040",
                "Device ID# 1C04 - EON EN29F040 Flash Memory", 0},
           Case{"--sim-chip 27C040 --catalogue extended id -d AM29F040", "  Not Valid!!!", 1},
       }) {
    SCOPED_TRACE(c.args);
    const auto r = Sim(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.out.find(c.line + "\n"), std::string::npos) << r.out;
  }
}

TEST_F(CliFlash, TheStandardCatalogueRefusesTheFlashRows) {
  EXPECT_EQ(Sim("--sim-chip AM29F040 id -d AM29F040").status, 2);
  EXPECT_EQ(Sim("--catalogue everything list").status, 2);
  EXPECT_NE(Sim("--catalogue extended list").out.find("\tFlash AMD AM29F040"), std::string::npos);
}

// The flash's chip erase leaves FFh in the chip's file; one that never ends fails.
TEST_F(CliFlash, EraseLeavesFFhEverywhere) {
  const auto file = dir_ / "chip.bin";
  std::ofstream(file, std::ios::binary) << std::string(131072, '\x5A');
  EXPECT_EQ(
      Sim("--sim-chip AM29F010:" + file.string() + " --catalogue extended erase -d AM29F010 --yes")
          .status,
      0);
  EXPECT_EQ(Slurp(file), std::string(131072, '\xFF'));
  EXPECT_EQ(Sim("--sim-chip AM29F040 --sim-fault slow-write=100000ms --catalogue extended erase "
                "-d AM29F040 --yes")
                .status,
            1);
}

}  // namespace
