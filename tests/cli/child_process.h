// Runs the command line as a child process with its standard error in a pipe,
// so that a test can act on the process while it runs (send it a signal, stop
// it, start a second one beside it).
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace zambrix::testing {

struct ChildRun {
  int status = -1;  // the exit status, -1 when it did not exit
  std::string err;
};

// What a child meets besides the cue.
struct ChildEvents {
  bool hang_up_at_cue = false;        // standard error's reader goes away at the cue
  bool interrupted_at_start = false;  // a SIGINT is waiting before the program's first step
};

// Runs the command line with the blank-separated `command`; `at_cue` runs once,
// with the process id, as soon as `cue` has come out on standard error. An
// empty cue runs nothing.
inline ChildRun RunCliChild(const std::string& command, const std::string& cue = "",
                            const std::function<void(pid_t)>& at_cue = {},
                            ChildEvents events = {}) {
  std::vector<std::string> args;
  std::istringstream words(command);
  for (std::string w; words >> w;) args.push_back(w);
  int pipe_fd[2];
  EXPECT_EQ(::pipe(pipe_fd), 0);
  // Blocked across the exec, a SIGINT sent now waits for the program to take it.
  sigset_t interrupt, old;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  if (events.interrupted_at_start) ::pthread_sigmask(SIG_BLOCK, &interrupt, &old);
  pid_t pid = ::fork();
  if (events.interrupted_at_start && pid != 0) {
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::kill(pid, SIGINT);
  }
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
  ChildRun r;
  bool cued = cue.empty();
  char buf[4096];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{pipe_fd[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    auto n = ::read(pipe_fd[0], buf, sizeof buf);
    if (n <= 0) break;
    r.err.append(buf, static_cast<std::size_t>(n));
    if (!cued && r.err.find(cue) != std::string::npos) {
      cued = true;
      if (at_cue) at_cue(pid);
      if (events.hang_up_at_cue) break;
    }
  }
  ::close(pipe_fd[0]);
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  EXPECT_TRUE(cued) << "the cue never came: " << r.err;
  return r;
}

}  // namespace zambrix::testing
