// The flash commands of the command line, run as a process on the simulated board.
#include "cli/cli_process.h"

namespace {

struct CliFlash : zambrix::testing::Cli {
  zambrix::testing::Result Sim(const std::string& args) { return Run("--board sim " + args); }
};

// Flash rows only in the extended catalogue; an id that nothing valid answers fails.
TEST_F(CliFlash, IdPrintsTheIdentificationAndAnswersWithItsStatus) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"--sim-chip EN29F040 --catalogue extended id -d EN29F040", 0,
       "Device ID# 1C04 - EON EN29F040 Flash Memory\n"},
      {"--sim-chip 27C040 --catalogue extended id -d AM29F040", 1, "  Not Valid!!!\n"},
      {"--sim-chip AM29F040 id -d AM29F040", 2, ""},
  };
  for (const auto& [args, status, line] : cases) {
    const auto r = Sim(args);
    EXPECT_EQ(r.status, status) << args;
    EXPECT_NE(r.out.find(line), std::string::npos) << args << r.out;
  }
}

}  // namespace
