#include "base/interrupt.h"

#include <atomic>
#include <string>

namespace zambrix {

namespace {
// Signals reach the process asynchronously: lock-free atomics are safe to set
// from a handler.
std::atomic<int> g_requested{0};
std::atomic<bool> g_acknowledged{false};
}  // namespace

void RequestStop(int signal) noexcept {
  g_requested.store(signal == 0 ? -1 : signal, std::memory_order_relaxed);
}

bool OperatorStopRequested() noexcept { return g_requested.load(std::memory_order_relaxed) < 0; }

int StopRequested() noexcept {
  int s = g_requested.load(std::memory_order_relaxed);
  return s < 0 ? 0 : s;
}

void ThrowIfStopRequested() {
  if (g_requested.load(std::memory_order_relaxed) == 0) [[likely]]
    return;
  if (g_acknowledged.exchange(true)) return;
  const int s = g_requested.load(std::memory_order_relaxed);
  throw OperationStopped(s > 0 ? "interrupted by signal " + std::to_string(s)
                               : std::string(kOperatorStopText));
}

void AcknowledgeStop() noexcept { g_acknowledged.store(true); }

void ClearStop() noexcept {
  g_requested.store(0);
  g_acknowledged.store(false);
}

}  // namespace zambrix
