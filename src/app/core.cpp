#include "app/core.h"

#include <exception>

namespace zambrix {

Core::Core(Services services)
    : svc(services), report(*this), link(*this), dev(*this), buf(*this), ops(*this), setup(*this), shell(*this) {}

void Core::RunEvent(const std::function<void()>& event) {
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
  std::string what;
  try {
    event();
    return;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "unexpected failure";
  }
  try {
    report.LogMessage("*** Operation stopped: " + what);
    report.RaiseErrorAlert();
    report.PlayEventSound("ERROR");
    link.Reset();
  } catch (...) {
    // The report itself failed (the board vanished mid-reset): nothing more to do.
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
