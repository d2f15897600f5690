// The window while an operation runs: its commands look disabled, Stop is the
// one that works, and the operator's other input is dropped, not queued.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "app/core.h"
#include "gui/view_binder.h"

namespace zambrix::gui {

namespace {

// Controls that act on input: they show disabled while an operation runs.
bool TakesInput(const Control& c) {
  switch (c.kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::Option:
    case ControlKind::ComboBox:
    case ControlKind::ScrollBar:
    case ControlKind::Slider:
    case ControlKind::Menu:
    case ControlKind::ToolButton:
      return true;
    default:
      return false;
  }
}

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

bool IsMouseButton(QEvent::Type type) {
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
}

}  // namespace

bool ViewBinder::ShownEnabled(const Control& c) const {
  if (c.name == kStopControl) return busy_shown_;
  return c.enabled && !(busy_shown_ && TakesInput(c));
}

void ViewBinder::ShowEnabled(QObject* view, const Control& c) {
  const bool on = ShownEnabled(c);
  if (auto* a = qobject_cast<QAction*>(view)) {
    a->setEnabled(on);
  } else if (auto* w = qobject_cast<QWidget*>(view)) {
    w->setEnabled(on);
  }
}

void ViewBinder::ShowBusy(bool on) {
  if (busy_shown_ == on) return;
  busy_shown_ = on;
  for (const auto& [name, view] : views_) {
    if (!view) continue;
    const Control& c = core_.ui.Get(name);
    if (TakesInput(c)) ShowEnabled(view, c);
  }
}

// Esc means one thing at a time: while an operation runs it asks to stop;
// otherwise, while the error alert is lit, it acknowledges the alert as a click
// on ERROR does. A question or an open list takes its own Esc.
bool ViewBinder::AcknowledgeOnEscape(QObject* target, QEvent* event) {
  if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
    return false;
  auto* widget = qobject_cast<QWidget*>(target);
  const auto* error = qobject_cast<QWidget*>(ViewOf("Error_label"));
  if (widget == nullptr || error == nullptr || widget->window() != error->window()) return false;
  if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr)
    return false;
  if (!core_.report.AlertOn()) return false;
  Click("Error_label");
  return true;
}

bool ViewBinder::eventFilter(QObject* target, QEvent* event) {
  if (running_ == 0) return AcknowledgeOnEscape(target, event);
  if (!IsInput(event->type())) return false;
  auto* widget = qobject_cast<QWidget*>(target);
  // A shortcut goes to its action; other input reaches a window first and then
  // the widget under it, where it is judged.
  if (widget == nullptr && event->type() != QEvent::Shortcut) return false;
  // A question asked meanwhile (the event's own dialogs, the stop question)
  // takes the operator's answer, popups of its lists included; Qt keeps the
  // window behind it from input meanwhile.
  if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr)
    return false;
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    Click(kStopControl);
    return true;
  }
  return !(IsMouseButton(event->type()) && widget == ViewOf(kStopControl) &&
           ShownEnabled(core_.ui.Get(kStopControl)));
}

}  // namespace zambrix::gui
