// Ties the window model to the widgets: every change of a control in the model
// is mirrored into its widget or menu action at once, and every operator input
// on a widget becomes one event of the core. Changes coming from the model are
// never sent back as operator input.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "base/control_names.h"
#include "base/window_model.h"
#include "gui/run_report.h"

class QAction;
class QMenu;

namespace zambrix {
class Core;
}

namespace zambrix::gui {

class ViewBinder : public QObject {
  Q_OBJECT
 public:
  using FormHook = std::function<void(const Control&, Change)>;

  explicit ViewBinder(Core& core, QObject* parent = nullptr);
  ~ViewBinder() override;

  // Registers the widget (or action, timer) that shows the named control,
  // connects its operator input to the core and shows the model's state.
  void Bind(const std::string& name, QObject* view);
  // A menu that holds entries: its action shows the state; opening it runs the
  // menu's own handler, if it has one.
  void BindMenu(const std::string& name, QMenu* menu);
  // Changes of a form (caption, visibility, placement) go to its window.
  void OnForm(const std::string& name, FormHook hook);

  // The widget or action showing a control (null when none).
  QObject* ViewOf(const std::string& name) const;
  // Shows the model's whole state of one control.
  void Sync(const std::string& name);

  // Operator input, each run as one event of the core.
  void Click(const std::string& name);
  void ChangeValue(const std::string& name, int value);
  void ChooseListIndex(const std::string& name, int index);
  // Any other operator input (a key typed into the hex view, a dropped file),
  // run as one event of the core.
  void Run(const std::function<void()>& event);
  // A key or click that changes a byte or moves the cursor: it ends at once, so
  // the window does not paint meanwhile, and keys typed quickly after it wait
  // their turn instead of being dropped as input to a running operation.
  void RunShort(const std::function<void()>& event);
  // Plain model writes from the view that are no event (typed text, a form
  // closed by its window's close button).
  void SetTextQuietly(const std::string& name, const std::string& text);
  void SetFormHidden(const std::string& name);

  // True while a model change is being shown (widget signals are not input).
  bool Applying() const { return applying_ > 0; }
  // True while an operator event runs in the core.
  bool Busy() const { return running_ > 0; }
  // True while an operation that paints as it runs shows its commands disabled
  // and the Stop button enabled.
  bool BusyShown() const { return busy_shown_; }
  // While an event runs, the window paints at most once per interval, and a
  // paint that took d waits at least cost_factor × d before the next one.
  // It paints only at the operation's progress reports (progress steps,
  // indicators, log lines), which come between pages, pulses and bytes, and
  // never while the programming voltage is switched onto the chip's OE/VPP pin.
  void SetPaintPacing(int interval_ms, int cost_factor) {
    paint_interval_ms_ = interval_ms;
    paint_cost_factor_ = cost_factor;
  }
  int PaintsWhileBusy() const { return paints_while_busy_; }
  // Time spent painting while events ran, in nanoseconds.
  qint64 PaintNsWhileBusy() const { return paint_ns_while_busy_; }
  // Runs at every paint while an event runs, before the window paints.
  std::function<void()> on_paint;
  // Runs after every operator event (the main window checks File / Exit here).
  std::function<void()> after_event;
  // The time left and the result line; its clock can be set (tests).
  RunReport& run_report() { return run_report_; }

  Core& core() { return core_; }

 protected:
  // While an event runs, drops the operator's input before any widget sees it:
  // clicks, keys, wheel turns, drops and shortcuts. A click on the Stop button
  // and the Esc key ask to stop; a question asked meanwhile takes its answer;
  // a close from the window system passes (it is no input).
  bool eventFilter(QObject* target, QEvent* event) override;
  bool AcknowledgeOnEscape(QObject* target, QEvent* event);

 private:
  static constexpr const char* kStopControl = control::Stop_button;
  // The enabled state a control shows: the model's, except that while an
  // operation runs every command shows disabled and Stop enabled.
  bool ShownEnabled(const Control& c) const;
  void ShowEnabled(QObject* view, const Control& c);
  // Enters or leaves the running look.
  void ShowBusy(bool on);
  void OnModelChange(const Control& c, Change what);
  void Apply(QObject* view, const Control& c, Change what);
  void ShowTimeLeft(QWidget* w, const Control& c);
  void Connect(const std::string& name, QObject* view);
  void AfterEvent(const std::string& name);
  void RunningEvent(const std::function<void()>& event);
  // The status bar keeps the result line of an event that reported one.
  void ShowResult();
  void PaintWhileBusy();
  // True when a change is a progress report of the running operation.
  static bool IsPaintPoint(const Control& c, Change what);
  // True unless the programming voltage is on the chip's OE/VPP pin.
  bool BoardAtRest() const;
  // Shows the progress steps held back while an event runs.
  void ShowDeferred();

  Core& core_;
  int observer_ = 0;
  int applying_ = 0;
  int running_ = 0;
  int paint_interval_ms_ = 40;
  int paint_cost_factor_ = 39;  // painting takes at most a fortieth of the time
  int paints_while_busy_ = 0;
  bool short_event_ = false;
  bool busy_shown_ = false;
  qint64 paint_ns_while_busy_ = 0;
  QElapsedTimer since_paint_;
  qint64 next_paint_ns_ = 0;
  std::set<std::string> deferred_;
  RunReport run_report_;
  bool in_event_ = false;
  std::map<std::string, QPointer<QObject>> views_;
  std::map<std::string, FormHook> forms_;
};

}  // namespace zambrix::gui
