// Choosing the port back end: a real port (ppdev or raw I/O), the simulated
// board, or the recording back end. Chosen here and nowhere else; the rest of
// the program asks the back end whether it is simulated.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/port.h"
#include "link/port_lock.h"

namespace zambrix {

struct BackEndOptions {
  std::string board = "auto";              // auto | sim | ppdev[:DEVICE] | direct | record
  std::map<std::string, std::string> sim;  // --sim-NAME VALUE, by NAME
  // --port CHOICE=WHERE, by hand: a /dev/parportN, or an I/O address for
  // --board direct. They replace the automatic binding.
  PortRequests ports{};
  // How the real ports are reached; tests put fakes here.
  const PpdevSys* ppdev = nullptr;  // null: the system calls
  std::string proc_parport = "/proc/sys/dev/parport";
  PortGrant grant{};  // raw port I/O's ioperm; empty: the system call
};

struct BackEnd {
  // Keeps a second program off the simulated board's chip file while this one
  // runs (a real port's back end holds its own lock).
  std::unique_ptr<ResourceLock> lock;
  std::unique_ptr<Clock> clock;
  std::unique_ptr<PortBackend> port;
  bool simulated = false;
  std::string description;  // what runs, for the log
  std::string problem;      // why a real port was not used (empty when none was asked for)
  // Run once when the program ends (e.g. the simulated chip written back to its
  // file); returns why it failed, empty when all went well.
  std::function<std::string()> at_exit;
  // Non-empty when the port or the simulated board asked for is in use by
  // another program of ours: then `port` is a NoPort, `problem` says the same,
  // and a front end that goes on finds no board.
  std::string refused;
};

struct BackEndError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A real port that was asked for (by --board or --port) cannot be opened.
struct BackEndPortError : BackEndError {
  using BackEndError::BackEndError;
};
// A file the back end needs (the simulated chip's contents) cannot be used.
struct BackEndFileError : BackEndError {
  using BackEndError::BackEndError;
};

// Takes back-end options out of an argument list ("--board X", "--board=X",
// "--sim-NAME X", "--sim-NAME=X", the bare flags "--sim-NAME" that take no
// value, and the bindings "--port CHOICE=WHERE"); leaves every other argument
// (a plain "--port 378h" too) in place. Throws BackEndError on a
// missing value or a binding that names no port choice or names one twice.
BackEndOptions ExtractBackEndOptions(std::vector<std::string>& args);
// Opens the back end; throws BackEndError for an unknown board or bad option,
// BackEndPortError when an explicitly asked-for port cannot be opened.
BackEnd OpenBackEnd(const BackEndOptions& options);
// Help text of the back-end options.
std::string BackEndHelp();

}  // namespace zambrix
