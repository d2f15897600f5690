// zambrix-cli: the command-line front end.
#include <csignal>

#include "base/interrupt.h"
#include "cli/cli.h"

namespace {
void OnSignal(int signal) { zambrix::RequestStop(signal); }
}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, kill, a closed terminal and a closed pipe on standard output or
  // error stop the running operation at its next board access; the board is
  // reset and the chip file written back before exit.
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigset_t ours;
  sigemptyset(&ours);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    sigaction(s, &action, nullptr);
    sigaddset(&ours, s);
  }
  // A parent that started us with these blocked still gets its Ctrl+C: one
  // already pending is taken now, before the board is searched.
  sigprocmask(SIG_UNBLOCK, &ours, nullptr);
  return zambrix::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
}
