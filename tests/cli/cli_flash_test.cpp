// The flash commands of the command line, run as a process on the simulated board.
#include "cli/cli_process.h"

namespace {

using CliFlash = zambrix::testing::Cli;

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

// A chip that says its erase is done while one byte kept its value: the
// read-back after the erase finds the byte and the run fails.
TEST_F(CliFlash, AnEraseThatLeftAByteFailsNamingIt) {
  zambrix::testing::WriteWholeFile(dir_ / "chip.bin", std::string(128 * 1024, '\0'));
  const auto r = Sim("--sim-chip AM29F010:" + (dir_ / "chip.bin").string() +
                     " --sim-fault no-erase=1A3C5h --catalogue extended erase -d AM29F010 --yes");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("*** Address:1A3C5h, Read BYTE:0h after the erase"), std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("Chip Erased"), std::string::npos) << r.err;
  std::string erased(128 * 1024, '\xFF');
  erased[0x1A3C5] = '\0';
  EXPECT_TRUE(Slurp(dir_ / "chip.bin") == erased);
}

}  // namespace
