#include "app/core.h"

#include <exception>

#include "base/control_names.h"
#include "base/interrupt.h"

namespace zambrix {

Core::Core(Services services)
    : svc(services),
      report(*this),
      board(*this),
      link(svc.port, svc.clock, board),
      dev(ui, report, link, buf, ops),
      buf(ui, report, svc, link, dev, ops, fixed_saves),
      ops(ui, report, svc, link, dev, buf, board),
      setup(ui, report, svc, link, dev, buf, board),
      shell(*this) {
  // The simulated board's own events, marked so they are never taken for the
  // program's lines.
  // The port may outlive this core (or be gone first): the sink holds only a
  // weak reference to it.
  if (svc.port) {
    std::weak_ptr<Core*> self = self_;
    svc.port->SetEventSink([self](const std::string& text) {
      auto core = self.lock();
      if (core && (*core)->ui.Has(control::SystemLog))
        (*core)->report.LogMessage(std::string(kSimulatorMark) + text);
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
    ~Depth() {
      --d;
      // The operator's stop belongs to the event it was asked in: one that came
      // after the last board access leaves nothing for the next event to meet.
      if (OperatorStopRequested()) ClearStop();
    }
  } depth(event_depth_);
  ops.BoardLost = false;
  ops.VppMayBeOn = false;
  ops.ChipWriting = false;
  ops.Result = {};
  std::string what;
  bool operator_stop = false;
  try {
    event();
    return;
  } catch (const OperationStopped& e) {
    what = e.what();
    operator_stop = OperatorStopRequested();
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
    if (operator_stop) {
      ops.Stopped();
      return;
    }
    ops.Conclude(Outcome::Kind::kStopped, "*** Operation stopped: " + what);
    report.RaiseErrorAlert();
    report.PlayEventSound("ERROR");
  } catch (...) {
    // The report itself failed: nothing more to do.
  }
}

bool Core::AskToStop(bool closing) {
  if (StopRequested() != 0 || OperatorStopRequested()) return true;  // already stopping
  std::string text =
      closing ? "An operation is running.\n\nStop it, reset the board and close the program?"
              : "Stop the operation and reset the board?";
  if (ops.ChipWriting) text += "\nA chip being programmed is left partly written.";
  if ((closing || ops.ChipWriting) &&
      svc.dialogs->MessageBox(text, MsgButtons::YesNo, MsgIcon::Warning, kAppTitle) !=
          MsgAnswer::Yes) {
    return false;
  }
  RequestStop(0);
  return true;
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
