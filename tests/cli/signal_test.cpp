// A signal in the middle of programming: the board is reset, the simulated
// chip's file written back, the way out said in one line, exit 128 + signal.
#include <gtest/gtest.h>
#include <signal.h>

#include <random>
#include <string>
#include <vector>

#include "child_process.h"
#include "support/temp_dir.h"

namespace {

using zambrix::testing::ReadWholeFile;
using zambrix::testing::TempDir;
using zambrix::testing::WriteWholeFile;

TEST(Signals, StopProgrammingResetTheBoardAndKeepTheChipFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    std::string image(1 << 20, '\0');
    std::mt19937 gen(static_cast<unsigned>(sig));
    for (auto& b : image) b = static_cast<char>(gen() & 0x7F);
    WriteWholeFile(dir / "image.bin", image);
    const std::string chip = (dir / "chip.bin").string();
    auto r = zambrix::testing::RunCliChild({"--board", "sim", "--settings-dir", dir.str(), "--sim-chip", "27C080:" + chip, "--log",
                         (dir / "run.log").string(), "program", "-d", "27C080", "-i", (dir / "image.bin").string(),
                         "--yes", "--verify"},
                        "Programming Started", [sig](pid_t pid) { ::kill(pid, sig); });
    EXPECT_EQ(r.status, 128 + sig) << r.err;
    EXPECT_NE(r.err.find("interrupted by signal " + std::to_string(sig)), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("failed (see log)"), std::string::npos) << "one line says what happened";
    EXPECT_EQ(r.err.find("Programming Device Successfull"), std::string::npos) << r.err;
    // The chip as the board left it is in its file: whole, and partly written.
    const auto written = ReadWholeFile(chip);
    ASSERT_EQ(written.size(), image.size());
    EXPECT_NE(written, image);
    // The log was still saved, and it says the operation stopped.
    EXPECT_NE(ReadWholeFile(dir / "run.log").find("*** Operation stopped: interrupted"), std::string::npos);
  }
}

}  // namespace
