// zambrix-cli: the command-line front end.
#include <csignal>

#include "app/interrupt.h"
#include "cli/cli.h"

namespace {
void OnSignal(int signal) { zambrix::RequestStop(signal); }
}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, kill and a closed terminal stop the running operation at its next
  // board access; the board is reset and the chip file written back before exit.
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
  return zambrix::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
}
