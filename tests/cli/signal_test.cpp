// A signal in the middle of programming: the board is reset, the simulated
// chip's file written back, the way out said in one line, exit 128 + signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

using zambrix::testing::ReadWholeFile;
using zambrix::testing::TempDir;
using zambrix::testing::WriteWholeFile;

struct Run {
  int status = -1;
  std::string err;
};

// Starts the command line, waits until its log shows `cue`, sends `sig`, and
// collects standard error and the exit status.
Run SignalWhen(const std::vector<std::string>& args, const std::string& cue, int sig) {
  int pipe_fd[2];
  EXPECT_EQ(::pipe(pipe_fd), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipe_fd[1], 2);
    int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::close(pipe_fd[0]);
    std::vector<char*> argv{const_cast<char*>(ZAMBRIX_CLI_BINARY)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(ZAMBRIX_CLI_BINARY, argv.data());
    ::_exit(127);
  }
  ::close(pipe_fd[1]);
  Run r;
  bool sent = false;
  char buf[4096];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{pipe_fd[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    auto n = ::read(pipe_fd[0], buf, sizeof buf);
    if (n <= 0) break;
    r.err.append(buf, static_cast<std::size_t>(n));
    if (!sent && r.err.find(cue) != std::string::npos) {
      ::kill(pid, sig);
      sent = true;
    }
  }
  ::close(pipe_fd[0]);
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  EXPECT_TRUE(sent) << "the cue never came: " << r.err;
  return r;
}

TEST(Signals, StopProgrammingResetTheBoardAndKeepTheChipFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    std::string image(1 << 20, '\0');
    std::mt19937 gen(static_cast<unsigned>(sig));
    for (auto& b : image) b = static_cast<char>(gen() & 0x7F);
    WriteWholeFile(dir / "image.bin", image);
    const std::string chip = (dir / "chip.bin").string();
    auto r = SignalWhen({"--board", "sim", "--settings-dir", dir.str(), "--sim-chip", "27C080:" + chip, "--log",
                         (dir / "run.log").string(), "program", "-d", "27C080", "-i", (dir / "image.bin").string(),
                         "--yes", "--verify"},
                        "Programming Started", sig);
    EXPECT_EQ(r.status, 128 + sig) << r.err;
    EXPECT_NE(r.err.find("interrupted by signal " + std::to_string(sig)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the chip may be partly written"), std::string::npos);
    EXPECT_EQ(r.err.find("failed (see log)"), std::string::npos) << "one line says what happened";
    EXPECT_EQ(r.err.find("Programming Device Successfull"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("MATCHES"), std::string::npos);
    // The chip as the board left it is in its file: whole, and partly written.
    const auto written = ReadWholeFile(chip);
    ASSERT_EQ(written.size(), image.size());
    EXPECT_NE(written, image);
    // The log was still saved, and it says the operation stopped.
    EXPECT_NE(ReadWholeFile(dir / "run.log").find("*** Operation stopped: interrupted"), std::string::npos);
  }
}

}  // namespace
