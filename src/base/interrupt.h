// A request from outside the program (a signal, the window closing) to stop
// the running chip operation.
//
// The request is a flag a signal handler may set. The next board access sees it
// and throws OperationStopped once; the event guard then turns it into a log
// line, the alert and a board reset (programming voltage off, chip deselected),
// and no further operator event runs. The front end decides how to leave.
#pragma once

#include <stdexcept>
#include <string_view>

namespace zambrix {

struct OperationStopped : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What a stop the operator asked for (signal 0) says.
constexpr std::string_view kOperatorStopText = "Operation stopped by the Operator";

// Async-signal-safe: records the signal, or 0 for the operator's own request
// (the window's Stop button, Esc, or closing the window).
void RequestStop(int signal) noexcept;
// The signal that asked to stop, 0 when none did.
int StopRequested() noexcept;
// True while the operator's own stop request is pending.
bool OperatorStopRequested() noexcept;
// Throws OperationStopped the first time it is called after a request; later
// calls return, so the reset that follows reaches the board.
void ThrowIfStopRequested();
// Lets later board accesses through without throwing (the way out has begun).
void AcknowledgeStop() noexcept;
// Forgets the request (tests, and a window that chose to stay open).
void ClearStop() noexcept;

}  // namespace zambrix
