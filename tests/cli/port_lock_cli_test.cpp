// Two command lines on one simulated board: the second is refused while the
// first programs the chip, and the first finishes unharmed.
#include <signal.h>

#include "child_process.h"
#include "support/temp_dir.h"

namespace {

using zambrix::testing::ChildRun;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::RunCliChild;
using zambrix::testing::TempDir;
using zambrix::testing::WriteWholeFile;

TEST(PortLockCli, ASecondRunOnTheSameSimulatedBoardIsRefusedWhileTheFirstPrograms) {
  TempDir dir;
  std::string image(32768, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 1);
  WriteWholeFile(dir / "image.bin", image);
  const std::string chip = (dir / "chip.bin").string();
  auto board = [&](const std::string& settings) {
    std::vector<std::string> a{"--board",        "sim",
                               "--sim-chip",     "27C256:" + chip,
                               "--settings-dir", (dir / settings).string()};
    std::filesystem::create_directories(dir / settings);
    return a;
  };
  auto first_args = board("first");
  first_args.insert(first_args.end(), {"program", "-d", "27C256", "-i",
                                       (dir / "image.bin").string(), "--yes", "--verify"});
  auto second_args = board("second");
  second_args.insert(second_args.end(),
                     {"read", "-d", "27C256", "-o", (dir / "read.bin").string()});

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
  EXPECT_EQ(ReadWholeFile(chip), image);
  // With the first gone, the board is free again.
  EXPECT_EQ(RunCliChild(second_args).status, 0);
  EXPECT_EQ(ReadWholeFile(dir / "read.bin"), image);
}

}  // namespace
