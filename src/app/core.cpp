#include "app/core.h"

#include "app/interrupt.h"

#include <exception>

namespace zambrix {

Core::Core(Services services)
    : svc(services), report(*this), link(*this), dev(*this), buf(*this), ops(*this), setup(*this), shell(*this) {
  // The simulated board's own events, marked so they are never taken for the
  // program's lines.
  // The port may outlive this core (or be gone first): the sink holds only a
  // weak reference to it.
  if (svc.port) {
    std::weak_ptr<Core*> self = self_;
    svc.port->SetEventSink([self](const std::string& text) {
      auto core = self.lock();
      if (core && (*core)->ui.Has("SystemLog")) (*core)->report.LogMessage(std::string(kSimulatorMark) + text);
    });
  }
}

void Core::RunEvent(const std::function<void()>& event) {
  // After a stop request nothing new starts (no save of a half-read buffer).
  if (event_depth_ == 0 && StopRequested() != 0) return;
  if (event_depth_ > 0) {
    event();
    return;
  }
  struct Depth {
    int& d;
    explicit Depth(int& depth) : d(depth) { ++d; }
    ~Depth() { --d; }
  } depth(event_depth_);
  ops.BoardLost = false;
  ops.VppMayBeOn = false;
  std::string what;
  try {
    event();
    return;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "unexpected failure";
  }
  // The board first: programming voltage off and the chip deselected before
  // anything is logged.
  try {
    link.Reset();
  } catch (...) {
    // The port itself failed: the report below still tells the operator.
  }
  try {
    report.LogMessage("*** Operation stopped: " + what);
    report.RaiseErrorAlert();
    report.PlayEventSound("ERROR");
  } catch (...) {
    // The report itself failed: nothing more to do.
  }
}

void Core::Click(std::string_view control) {
  std::string name(control);
  RunEvent([this, name] { ui.Fire(name); });
}

void Core::ChangeValue(std::string_view control, int value) {
  std::string name(control);
  RunEvent([this, name, value] { ui.SetValue(name, value); });
}

void Core::ChooseListIndex(std::string_view control, int index) {
  std::string name(control);
  RunEvent([this, name, index] {
    // Picking the entry already chosen runs the selection again, as a click does.
    if (ui.ListIndex(name) == index) {
      ui.Fire(name);
    } else {
      ui.SetListIndex(name, index);
    }
  });
}

}  // namespace zambrix
