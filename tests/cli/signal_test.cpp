// The command line stopped or contended in the middle of programming: a signal
// resets the board and keeps the simulated chip's file, exit 128 + signal; a
// second run on the same board is refused while the first programs.
#include <gtest/gtest.h>
#include <signal.h>

#include <random>
#include <string>

#include "child_process.h"
#include "support/temp_dir.h"

namespace {

using zambrix::testing::ChildRun;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::RunCliChild;
using zambrix::testing::TempDir;

// A run on the simulated board whose chip is chip.bin, its settings and log in `own`.
std::string Board(const TempDir& dir, const std::string& device, const std::string& own) {
  std::filesystem::create_directories(dir / own);
  return "--board sim --settings-dir " + (dir / own).string() + " --sim-chip " + device + ":" +
         (dir / "chip.bin").string() + " --log " + (dir / own / "run.log").string() + " ";
}

// Writes an image of `size` bytes, and gives the command that programs it.
std::string Program(const TempDir& dir, const std::string& device, std::string& image) {
  std::mt19937 gen(static_cast<unsigned>(image.size()));
  for (auto& b : image) b = static_cast<char>(gen() & 0x7F);
  zambrix::testing::WriteWholeFile(dir / "image.bin", image);
  return "program -d " + device + " -i " + (dir / "image.bin").string() + " --yes --verify";
}

TEST(Signals, StopProgrammingResetTheBoardAndKeepTheChipFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    std::string image(1 << 20, '\0');
    auto r = RunCliChild(Board(dir, "27C080", "s") + Program(dir, "27C080", image),
                         "Programming Started", [sig](pid_t pid) { ::kill(pid, sig); });
    EXPECT_EQ(r.status, 128 + sig) << r.err;
    EXPECT_NE(r.err.find("interrupted by signal " + std::to_string(sig)), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Programming Device Successfull"), std::string::npos) << r.err;
    // The chip as the board left it is in its file: whole, and partly written.
    const auto written = ReadWholeFile(dir / "chip.bin");
    ASSERT_EQ(written.size(), image.size());
    EXPECT_NE(written, image);
    // The log was still saved, and it says the operation stopped.
    EXPECT_NE(ReadWholeFile(dir / "s" / "run.log").find("*** Operation stopped: interrupted"),
              std::string::npos);
  }
}

// A closed pipe on standard error (`program ... 2>&1 | head`) stops the run
// as an interrupt does: the board reset, the chip's file written back, the log
// saved, exit 128 + SIGPIPE.
TEST(Signals, AClosedPipeStopsTheRunAsAnInterruptDoes) {
  TempDir dir;
  std::string image(32768, '\0');
  auto r = RunCliChild(Board(dir, "27C256", "s") + Program(dir, "27C256", image),
                       "Programming Started", {}, {.hang_up_at_cue = true});
  EXPECT_EQ(r.status, 128 + SIGPIPE);
  EXPECT_EQ(ReadWholeFile(dir / "chip.bin").size(), image.size());
  EXPECT_NE(
      ReadWholeFile(dir / "s" / "run.log").find("*** Operation stopped: interrupted by signal 13"),
      std::string::npos);
}

// Ctrl+C while the board is still being searched for.
TEST(Signals, AnInterruptBeforeTheBoardIsFoundExits130) {
  TempDir dir;
  auto r = RunCliChild("--board sim --settings-dir " + dir.str() + " detect", "", {},
                       {.interrupted_at_start = true});
  EXPECT_EQ(r.status, 130) << r.err;
  EXPECT_NE(r.err.find("interrupted by signal 2"), std::string::npos) << r.err;
}

TEST(PortLockCli, ASecondRunOnTheSameSimulatedBoardIsRefusedWhileTheFirstPrograms) {
  TempDir dir;
  std::string image(32768, '\0');
  const auto first_run = Board(dir, "27C256", "first") + Program(dir, "27C256", image);
  const auto second_run =
      Board(dir, "27C256", "second") + "read -d 27C256 -o " + (dir / "read.bin").string();
  ChildRun second;
  pid_t first_pid = 0;
  // The first is held still mid-programming while the second tries its luck.
  ChildRun first = RunCliChild(first_run, "Programming Started", [&](pid_t pid) {
    first_pid = pid;
    ::kill(pid, SIGSTOP);
    second = RunCliChild(second_run);
    ::kill(pid, SIGCONT);
  });
  EXPECT_EQ(second.status, 3) << second.err;
  EXPECT_NE(second.err.find("in use by another zambrix program (zambrix-cli, process " +
                            std::to_string(first_pid) + ")"),
            std::string::npos)
      << second.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "read.bin"));
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(ReadWholeFile(dir / "chip.bin"), image);
  // With the first gone, the board is free again.
  EXPECT_EQ(RunCliChild(second_run).status, 0);
  EXPECT_EQ(ReadWholeFile(dir / "read.bin"), image);
}

}  // namespace
