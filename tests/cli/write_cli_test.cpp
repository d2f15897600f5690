// The writing commands run as processes on the simulated board, as a script
// would run them: round trips through the chip's file, refusals, exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <random>
#include <string>
#include <tuple>

#include "support/temp_dir.h"

namespace {

using zambrix::testing::ReadWholeFile;
using zambrix::testing::TempDir;
using zambrix::testing::WriteWholeFile;

struct Result {
  int status = -1;
  std::string out, err;
};

class WriteCli : public ::testing::Test {
 protected:
  Result Run(const std::string& args) {
    const auto out = dir_ / "out.txt", err = dir_ / "err.txt";
    const std::string cmd = std::string(ZAMBRIX_CLI_BINARY) + " --settings-dir " + dir_.str() + " --board sim " +
                            args + " >" + out.string() + " 2>" + err.string() + " </dev/null";
    Result r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWholeFile(out);
    r.err = ReadWholeFile(err);
    return r;
  }
  std::string File(const std::string& name, std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = static_cast<char>(gen());
    WriteWholeFile(dir_ / name, bytes);
    return (dir_ / name).string();
  }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  TempDir dir_;
};

// A file shorter than the chip: what lies beyond it on the chip is not touched.
TEST_F(WriteCli, AShortFileProgramsOnlyItsOwnBytes) {
  const auto image = File("short.bin", 100, 3);
  const auto chip = "--sim-chip 27C256:" + Path("chip.bin");
  auto r = Run(chip + " program -d 27C256 -i " + image + " --yes");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto content = ReadWholeFile(Path("chip.bin"));
  ASSERT_EQ(content.size(), 32768u);
  EXPECT_EQ(content.substr(0, 100), ReadWholeFile(image));
  EXPECT_EQ(content.substr(100), std::string(32768 - 100, '\xFF'));
}

TEST_F(WriteCli, ProgramVerifyAndReadRoundTripThroughTheChipsFile) {
  const auto image = File("image.bin", 32768, 1);
  const auto chip = "--sim-chip 27C256:" + Path("chip.bin");
  auto r = Run(chip + " program -d 27C256 -i " + image + " --yes --verify");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Programming Device Successfull"), std::string::npos);
  EXPECT_NE(r.err.find("Device Contents MATCHES with Buffer Contents"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(Path("chip.bin")), ReadWholeFile(image));

  EXPECT_EQ(Run(chip + " verify -d 27C256 -i " + image).status, 0);
  ASSERT_EQ(Run(chip + " read -d 27C256 -o " + Path("back.bin")).status, 0);
  EXPECT_EQ(ReadWholeFile(Path("back.bin")), ReadWholeFile(image));

  // Another image over it: the check says an erase is needed, verify lists the ranges.
  const auto other = File("other.bin", 32768, 2);
  r = Run(chip + " check -d 27C256 -i " + other);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("need erasing"), std::string::npos);
  EXPECT_NE(r.out.find("erase needed at 0-"), std::string::npos);
  r = Run(chip + " verify -d 27C256 -i " + other + " --all");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Differs at 0-"), std::string::npos);
  EXPECT_EQ(Run(chip + " check -d 27C256 -i " + image).status, 0);

  // "Hi Byte" on a fresh chip, then its verify with the same choice.
  const auto fresh = "--sim-chip 27C256:" + Path("fresh.bin");
  ASSERT_EQ(Run(fresh + " program -d 27C256 -i " + image + " --bytes hi --yes").status, 0);
  r = Run(fresh + " verify -d 27C256 -i " + image + " --bytes hi");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Compared 16384 programmed bytes of 32768 read"), std::string::npos);
}

TEST_F(WriteCli, RefusalsComeBeforeAnyWriteWithTheirStatuses) {
  const auto image = File("image.bin", 32768, 3);
  const auto chip = "--sim-chip 27C256:" + Path("chip.bin");
  struct Case {
    std::string args;
    int status;
    std::string says;
  };
  const Case cases[] = {
      {"program -d 27C256 -i " + image, 2, "without a terminal"},
      {"program -d 27C256 -i " + image + " --vpp 25 --yes", 2, "does not allow 25 V"},
      {"program -d 27C256 -i " + image + " --vpp 13 --yes", 2, "--vpp takes"},
      {"program -d 27C256 -i " + image + " --bytes odd --yes", 2, "--bytes takes"},
      {"program -d 27C256 --yes", 2, "needs -i FILE"},
      {"program -d 27C256 -i " + Path("missing.bin") + " --yes", 4, "cannot open"},
      {"erase -d 27C256 --yes", 2, "no chip erase"},
      {"erase -d X28C256", 2, "without a terminal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    auto r = Run(chip + " " + c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("chip.bin")) &&
               ReadWholeFile(Path("chip.bin")).find_first_not_of('\xFF') != std::string::npos);
}

// 25 V on a 21 V part: the program's own run may look fine, the simulator saw the damage.
TEST_F(WriteCli, AChipDestroyedByItsVoltageFailsTheRun) {
  const auto image = File("image.bin", 4096, 4);
  auto r = Run("--sim-chip 2732A program -d 2732A -i " + image + " --vpp 25 --yes");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("[SIMULATED BOARD] 2732A destroyed"), std::string::npos);
}

}  // namespace

// The serial chips: program, verify, read back, erase, on boards 4 and 6.
TEST_F(WriteCli, SerialChipsRoundTripAndEraseThroughTheChipsFile) {
  for (auto [name, size, model] : {std::tuple{"24C08", 1024, 4}, {"24C16", 2048, 6}, {"24C32", 4096, 6}}) {
    SCOPED_TRACE(name);
    std::filesystem::remove(Path("chip.bin"));
    std::filesystem::remove(Path("zambrix6-sim.ini"));  // the board the run before found
    const auto image = File("image.bin", static_cast<std::size_t>(size), 3);
    const auto chip = "--sim-model " + std::to_string(model) + " --sim-chip " + name + ":" + Path("chip.bin");
    const std::string device = std::string(" -d ") + name;
    auto r = Run(chip + " program" + device + " -i " + image + " --yes --verify");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Device Contents MATCHES with Buffer Contents"), std::string::npos) << r.err;
    EXPECT_TRUE(ReadWholeFile(Path("chip.bin")) == ReadWholeFile(image));
    EXPECT_EQ(Run(chip + " verify" + device + " -i " + image).status, 0);
    ASSERT_EQ(Run(chip + " read" + device + " -o " + Path("back.bin")).status, 0);
    EXPECT_TRUE(ReadWholeFile(Path("back.bin")) == ReadWholeFile(image));

    EXPECT_EQ(Run(chip + " erase" + device).status, 2);  // no terminal, no --yes
    r = Run(chip + " erase" + device + " --yes");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Program Buffer will not be erased"), std::string::npos) << r.err;
    EXPECT_TRUE(ReadWholeFile(Path("chip.bin")) == std::string(static_cast<std::size_t>(size), '\xFF'));
    r = Run(chip + " verify" + device + " -i " + image);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Address: 0 ][ Buffer Data: "), std::string::npos) << r.err;
  }
}

// A file that ends inside a page is written to its last byte and verifies.
TEST_F(WriteCli, ASerialFileEndingInsideAPageWritesExactlyItsBytes) {
  const auto image = File("short.bin", 1000, 4);
  const auto chip = std::string("--sim-chip 24C08:") + Path("chip.bin");
  auto r = Run(chip + " program -d 24C08 -i " + image + " --yes --verify");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto written = ReadWholeFile(Path("chip.bin"));
  ASSERT_EQ(written.size(), 1024u);
  EXPECT_TRUE(written.substr(0, 1000) == ReadWholeFile(image));
  EXPECT_EQ(written.substr(1000), std::string(24, '\xFF'));
}
