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
  ++event_depth_;
  try {
    event();
  } catch (const std::exception& e) {
    report.LogMessage(std::string("*** Operation stopped: ") + e.what());
    report.RaiseErrorAlert();
    report.PlayEventSound("ERROR");
    try {
      link.Reset();
    } catch (const std::exception&) {
    }
  }
  --event_depth_;
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
