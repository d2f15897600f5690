// The writing commands run as processes on the simulated board, as a script
// would run them: round trips through the chip's file, refusals, exit statuses.
#include <nlohmann/json.hpp>
#include <tuple>

#include "cli/cli_process.h"

namespace {

namespace fs = std::filesystem;

using WriteCli = zambrix::testing::Cli;

// A file shorter than the chip (or ending inside a serial page) writes exactly
// its bytes: what lies beyond it on the chip is not touched.
TEST_F(WriteCli, AShortFileProgramsOnlyItsOwnBytes) {
  for (auto [device, size, chip_size] : {std::tuple{"27C256", 100, 32768}, {"24C08", 1000, 1024}}) {
    SCOPED_TRACE(device);
    fs::remove(dir_ / "chip.bin");
    const auto image = RandomFile("short.bin", static_cast<std::size_t>(size), 3);
    auto r = Sim(std::string("--sim-chip ") + device + ":" + Path("chip.bin") + " program -d " +
                 device + " -i " + image + " --yes --verify");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto content = Slurp(dir_ / "chip.bin");
    EXPECT_TRUE(content.substr(0, size) == Slurp(image));
    EXPECT_EQ(content.substr(size), std::string(chip_size - size, '\xFF'));
  }
}

TEST_F(WriteCli, ProgramVerifyCheckAndReadRoundTripThroughTheChipsFile) {
  const auto image = RandomFile("image.bin", 32768, 1);
  const auto chip = "--sim-chip 27C256:" + Path("chip.bin");
  auto r = Sim(chip + " program -d 27C256 -i " + image + " --yes --verify");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Device Contents MATCHES with Buffer Contents"), std::string::npos);
  ASSERT_EQ(Sim(chip + " read -d 27C256 -o " + Path("back.bin")).status, 0);
  EXPECT_TRUE(Slurp(Path("back.bin")) == Slurp(image));

  // Another image over it: the check says an erase is needed, and a verify
  // that lists every difference fails like the one that stops at the first.
  const auto other = RandomFile("other.bin", 32768, 2);
  r = Sim(chip + " check -d 27C256 -i " + other);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("erase needed at 0-"), std::string::npos);
  EXPECT_EQ(Sim(chip + " verify -d 27C256 -i " + image + " --all").status, 0);
  r = Sim(chip + " verify -d 27C256 -i " + other + " --all");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Differs at 0-"), std::string::npos) << r.err;

  // "Hi Byte" on a fresh chip, then its verify with the same choice.
  const auto fresh = "--sim-chip 27C256:" + Path("fresh.bin");
  ASSERT_EQ(Sim(fresh + " program -d 27C256 -i " + image + " --bytes hi --yes").status, 0);
  r = Sim(fresh + " verify -d 27C256 -i " + image + " --bytes hi");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Compared 16384 programmed bytes of 32768 read"), std::string::npos);
}

TEST_F(WriteCli, RefusalsComeBeforeAnyWriteWithTheirStatuses) {
  const auto image = RandomFile("image.bin", 32768, 3);
  const auto chip = "--sim-chip 27C256:" + Path("chip.bin");
  const std::tuple<std::string, int, std::string> cases[] = {
      {"program -d 27C256 -i " + image, 2, "without a terminal"},
      {"program -d 27C256 -i " + image + " --vpp 25 --yes", 2, "does not allow 25 V"},
      {"erase -d 27C256 --yes", 2, "no chip erase"},
      {"erase -d X28C256", 2, "without a terminal"},
  };
  for (const auto& [args, status, says] : cases) {
    auto r = Sim(chip + " " + args);
    EXPECT_EQ(r.status, status) << args << r.err;
    EXPECT_NE(r.err.find(says), std::string::npos) << args << r.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "chip.bin") &&
               Slurp(dir_ / "chip.bin").find_first_not_of('\xFF') != std::string::npos);
}

// A tired part that takes more pulses than its datasheet allows still
// programs; the bytes over the limit are named in the log and the JSON result,
// and --sim-report prints what the simulated chip judged.
TEST_F(WriteCli, BytesOverThePulseLimitAreNamedAndTheSimulatorGivesItsJudgement) {
  auto r =
      Sim("--sim-chip 27C256 --sim-fault weak-cells=5 --sim-report --json program -d 27C256 -i " +
          RandomFile("image.bin", 64, 5) + " --yes");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto line = r.err.find(" needed more than 25 pulses, first at ");
  ASSERT_NE(line, std::string::npos) << r.err;
  EXPECT_NE(r.err.find("h: such a chip may not keep its data", line), std::string::npos);
  EXPECT_NE(r.err.find("simulated board: no timing violation, no damage\n"), std::string::npos);
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["over_pulsed"]["limit"], 25);
  EXPECT_GT(json["over_pulsed"]["bytes"].get<int>(), 0);
  EXPECT_EQ(json["sim_report"]["violations"], 0);
  EXPECT_TRUE(json["sim_report"]["damage"].is_null());
}

}  // namespace
