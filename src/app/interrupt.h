// A request from outside the program (a signal, the window closing) to stop
// the running chip operation.
//
// The request is a flag a signal handler may set. The next board access sees it
// and throws OperationStopped once; the event guard then turns it into a log
// line, the alert and a board reset (programming voltage off, chip deselected),
// and no further operator event runs. The front end decides how to leave.
#pragma once

#include <stdexcept>

namespace zambrix {

struct OperationStopped : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Async-signal-safe: records the signal (or any non-zero reason).
void RequestStop(int signal) noexcept;
// The signal that asked to stop, 0 when none did.
int StopRequested() noexcept;
// Throws OperationStopped the first time it is called after a request; later
// calls return, so the reset that follows reaches the board.
void ThrowIfStopRequested();
// Lets later board accesses through without throwing (the way out has begun).
void AcknowledgeStop() noexcept;
// Forgets the request (tests, and a window that chose to stay open).
void ClearStop() noexcept;

}  // namespace zambrix
