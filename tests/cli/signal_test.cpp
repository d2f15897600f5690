// The command line stopped or contended in the middle of programming: a signal
// resets the board and keeps the simulated chip's file, exit 128 + signal; a
// second run on the same board is refused while the first programs.
#include <gtest/gtest.h>
#include <signal.h>

#include <random>
#include <string>
#include <vector>

#include "child_process.h"
#include "support/temp_dir.h"

namespace {

using zambrix::testing::ChildRun;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::RunCliChild;
using zambrix::testing::TempDir;
using zambrix::testing::WriteWholeFile;

// An image of `size` bytes in the folder, and the program command that writes it
// through the simulated board to `chip` with the settings folder `settings`.
std::vector<std::string> Program(const TempDir& dir, const std::string& device, std::size_t size,
                                 const std::string& settings, std::string& image) {
  image.assign(size, '\0');
  std::mt19937 gen(static_cast<unsigned>(size));
  for (auto& b : image) b = static_cast<char>(gen() & 0x7F);
  WriteWholeFile(dir / "image.bin", image);
  std::filesystem::create_directories(dir / settings);
  return {"--board",
          "sim",
          "--settings-dir",
          (dir / settings).string(),
          "--sim-chip",
          device + ":" + (dir / "chip.bin").string(),
          "--log",
          (dir / settings / "run.log").string(),
          "program",
          "-d",
          device,
          "-i",
          (dir / "image.bin").string(),
          "--yes",
          "--verify"};
}

TEST(Signals, StopProgrammingResetTheBoardAndKeepTheChipFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    std::string image;
    auto r = RunCliChild(Program(dir, "27C080", 1 << 20, "s", image), "Programming Started",
                         [sig](pid_t pid) { ::kill(pid, sig); });
    EXPECT_EQ(r.status, 128 + sig) << r.err;
    EXPECT_NE(r.err.find("interrupted by signal " + std::to_string(sig)), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("failed (see log)"), std::string::npos) << "one line says what happened";
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

TEST(PortLockCli, ASecondRunOnTheSameSimulatedBoardIsRefusedWhileTheFirstPrograms) {
  TempDir dir;
  std::string image;
  auto first_args = Program(dir, "27C256", 32768, "first", image);
  std::filesystem::create_directories(dir / "second");
  const std::vector<std::string> second_args{"--board",
                                             "sim",
                                             "--settings-dir",
                                             (dir / "second").string(),
                                             "--sim-chip",
                                             "27C256:" + (dir / "chip.bin").string(),
                                             "read",
                                             "-d",
                                             "27C256",
                                             "-o",
                                             (dir / "read.bin").string()};
  ChildRun second;
  pid_t first_pid = 0;
  // The first is held still mid-programming while the second tries its luck.
  ChildRun first = RunCliChild(first_args, "Programming Started", [&](pid_t pid) {
    first_pid = pid;
    ::kill(pid, SIGSTOP);
    second = RunCliChild(second_args);
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
  EXPECT_EQ(RunCliChild(second_args).status, 0);
  EXPECT_EQ(ReadWholeFile(dir / "read.bin"), image);
}

}  // namespace
