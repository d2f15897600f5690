#include "gui/view_binder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <set>
#include <utility>

#include "app/core.h"
#include "gui/widgets.h"

namespace zambrix::gui {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// The picture of a toolbar button, by the image key of its image list.
QIcon IconForImageKey(const std::string& key) {
  QStyle* style = QApplication::style();
  if (key == "Open") return style->standardIcon(QStyle::SP_DialogOpenButton);
  if (key == "Save") return style->standardIcon(QStyle::SP_DialogSaveButton);
  if (key.empty()) return {};
  return style->standardIcon(QStyle::SP_FileIcon);
}

void ApplyAction(QAction* a, const Control& c, Change what) {
  switch (what) {
    case Change::Visible:
      a->setVisible(c.visible);
      break;
    case Change::Tooltip:
      a->setToolTip(Qs(c.tooltip));
      break;
    case Change::Caption:
    case Change::Appended:
      if (c.kind == ControlKind::ToolButton) {
        a->setIcon(IconForImageKey(c.caption));
        a->setData(Qs(c.key));
      } else if (c.kind == ControlKind::Menu) {
        a->setText(Qs(c.caption));
      }
      break;
    default:
      break;
  }
}

void ApplyCaption(QWidget* w, const Control& c) {
  const QString text = Qs(c.caption);
  if (auto* t = qobject_cast<TextView*>(w)) {
    t->SetWholeText(c.caption);
  } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
    // A list that takes no typing shows its prompt when no entry is chosen.
    if (!cb->isEditable() && cb->currentIndex() < 0) cb->setPlaceholderText(text);
    if (cb->isEditable() && cb->currentText() != text) cb->setEditText(text);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(text);
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    if (e->text() != text) e->setText(text);  // typing keeps its caret
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    if (l->pixmap().isNull()) {
      l->setText(text);
      l->update();
    }
  } else if (w->isWindow()) {
    w->setWindowTitle(text);
  }
}

void ApplyValue(QWidget* w, const Control& c) {
  if (auto* check = qobject_cast<QCheckBox*>(w)) {
    check->setCheckState(c.value == 2 ? Qt::PartiallyChecked
                         : c.value    ? Qt::Checked
                                      : Qt::Unchecked);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (b->isCheckable()) b->setChecked(c.value != 0);
  } else if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
    s->setValue(c.value);
  } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
    p->setValue(c.value);  // repaints at once when the change shows
  }
}

void ApplyRange(QWidget* w, const Control& c) {
  if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
    s->setRange(c.min, c.max);
    s->setValue(c.value);
  } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
    p->setRange(c.min, c.max);
    p->setValue(c.value);
  }
}

void ApplyColour(QWidget* w, const Control& c) {
  if (!qobject_cast<QLabel*>(w)) return;
  QPalette pal = w->palette();
  QColor shown = ModelColour(c.fore_colour, QApplication::palette());
  auto* lamp = qobject_cast<ClickLabel*>(w);
  if (lamp != nullptr && lamp->IsLamp()) {
    // An unlit lamp keeps a legible caption: only its light is dark.
    const bool lit = c.fore_colour != colour::kButtonFace;
    lamp->SetLamp(lit ? shown : QColor());
    if (!lit) shown = QApplication::palette().color(QPalette::WindowText);
  }
  pal.setColor(QPalette::WindowText, shown);
  w->setPalette(pal);
  w->update();
}

// A button's face colour; the button face itself is the style's own.
void ApplyBackColour(QWidget* w, const Control& c) {
  if (qobject_cast<QAbstractButton*>(w) == nullptr) return;
  QPalette pal = w->palette();
  const QPalette normal = QApplication::palette(w);
  pal.setColor(QPalette::Button, c.back_colour == colour::kButtonFace
                                     ? normal.color(QPalette::Button)
                                     : ModelColour(c.back_colour, normal));
  w->setPalette(pal);
  w->update();
}

// Labels whose click acts only in some states say so by cursor and tooltip.
void UpdateClickHint(QWidget* w, const Control& c) {
  auto* l = qobject_cast<ClickLabel*>(w);
  if (l == nullptr) return;
  if (c.name == "Error_label") {
    l->SetClickHint(c.fore_colour == colour::kRed,
                    QStringLiteral("Click to turn the error alert off"));
  } else if (c.name == "FileNameCodeText" || c.name == "FileNameDataText") {
    // A file's name opens a file only while none is named.
    const bool code = c.name == "FileNameCodeText";
    l->SetClickHint(
        QString::fromStdString(c.caption).trimmed() == QLatin1String("Click To Select a File"),
        code ? QStringLiteral("Click to open a code file")
             : QStringLiteral("Click to open a data file"));
  }
}

bool SameItems(const QComboBox* cb, const std::vector<std::string>& items) {
  if (cb->count() != static_cast<int>(items.size())) return false;
  for (int i = 0; i < cb->count(); ++i) {
    if (cb->itemText(i) != Qs(items[static_cast<std::size_t>(i)])) return false;
  }
  return true;
}

void ApplyList(QWidget* w, const Control& c) {
  auto* cb = qobject_cast<QComboBox*>(w);
  if (cb == nullptr) return;
  if (!SameItems(cb, c.items)) {
    cb->clear();
    for (const auto& item : c.items) cb->addItem(Qs(item));
  }
  cb->setCurrentIndex(c.list_index);
  if (cb->isEditable() && cb->currentText() != Qs(c.caption)) cb->setEditText(Qs(c.caption));
  if (!cb->isEditable() && c.list_index < 0) cb->setPlaceholderText(Qs(c.caption));
}

struct ApplyingScope {
  explicit ApplyingScope(int& n) : n_(n) { ++n_; }
  ~ApplyingScope() { --n_; }
  int& n_;
};

}  // namespace

ViewBinder::ViewBinder(Core& core, QObject* parent) : QObject(parent), core_(core) {
  observer_ =
      core_.ui.AddObserver([this](const Control& c, Change what) { OnModelChange(c, what); });
  qApp->installEventFilter(this);
}

ViewBinder::~ViewBinder() { core_.ui.RemoveObserver(observer_); }

void ViewBinder::Bind(const std::string& name, QObject* view) {
  views_[name] = view;
  Connect(name, view);
  Sync(name);
}

void ViewBinder::BindMenu(const std::string& name, QMenu* menu) {
  views_[name] = menu->menuAction();
  if (core_.ui.HasHandler(name)) {
    connect(menu, &QMenu::aboutToShow, this, [this, name] {
      if (!Applying()) Click(name);
    });
  }
  Sync(name);
}

void ViewBinder::OnForm(const std::string& name, FormHook hook) { forms_[name] = std::move(hook); }

QObject* ViewBinder::ViewOf(const std::string& name) const {
  auto it = views_.find(name);
  return it == views_.end() ? nullptr : it->second.data();
}

void ViewBinder::OnModelChange(const Control& c, Change what) {
  ApplyingScope guard(applying_);
  if (running_ > 0 && c.kind == ControlKind::ProgressBar &&
      (what == Change::Value || what == Change::Range)) {
    // A progress step while an event runs, thousands of them in a read: the
    // bar shows it at the next paint, which the step itself may be.
    deferred_.insert(c.name);
    PaintWhileBusy();
    return;
  }
  if (auto f = forms_.find(c.name); f != forms_.end()) f->second(c, what);
  auto it = views_.find(c.name);
  if (it != views_.end() && it->second) Apply(it->second, c, what);
  if (running_ > 0 && IsPaintPoint(c, what)) PaintWhileBusy();
}

bool ViewBinder::IsPaintPoint(const Control& c, Change what) {
  // The operations report progress between pages, pulses and bytes, never
  // inside a page load, a program pulse or a byte on the serial bus; other
  // changes (enables, captions) may come anywhere and wait for the next report.
  switch (what) {
    case Change::Value:
    case Change::Range:
      return c.kind == ControlKind::ProgressBar;
    case Change::Colour:
      return c.kind == ControlKind::Label;
    case Change::Appended:
      return true;
    default:
      return false;
  }
}

bool ViewBinder::BoardAtRest() const {
  // Latch 0 bits 7 and 6 both set: the OE/VPP pin carries the programming
  // voltage, which only a program pulse does.
  return (core_.link.Reg0Value & 0xC0) != 0xC0;
}

void ViewBinder::PaintWhileBusy() {
  // An operation holds the event loop: at a bounded rate, let the window paint
  // what changed and answer the window system (uncovered, moved, closed).
  // Operator input other than a stop is dropped (eventFilter), and widget
  // signals meanwhile are no input (applying_ is set).
  if (since_paint_.isValid() && since_paint_.nsecsElapsed() < next_paint_ns_) return;
  if (!BoardAtRest() || short_event_) return;
  ++paints_while_busy_;
  QElapsedTimer took;
  took.start();
  if (on_paint) on_paint();
  ShowDeferred();
  ShowBusy(true);
  // Everything the window system sends is taken now, so that a stop or a close
  // reaches the operation; the input filter drops the operator's other input.
  QCoreApplication::processEvents();
  const qint64 ns = took.nsecsElapsed();
  paint_ns_while_busy_ += ns;
  next_paint_ns_ =
      std::max<qint64>(qint64{paint_interval_ms_} * 1'000'000, paint_cost_factor_ * ns);
  since_paint_.start();
}

void ViewBinder::Apply(QObject* view, const Control& c, Change what) {
  if (what == Change::Enabled && qobject_cast<QTimer*>(view) == nullptr) {
    ShowEnabled(view, c);
    return;
  }
  if (auto* a = qobject_cast<QAction*>(view)) {
    ApplyAction(a, c, what);
    return;
  }
  if (auto* t = qobject_cast<QTimer*>(view)) {
    if (what == Change::Enabled) c.enabled ? t->start() : t->stop();
    return;
  }
  auto* w = qobject_cast<QWidget*>(view);
  if (w == nullptr) return;
  switch (what) {
    case Change::Visible:
      if (!w->isWindow()) w->setVisible(c.visible);
      break;
    case Change::Tooltip:
      w->setToolTip(Qs(c.tooltip));
      break;
    case Change::Caption:
      ApplyCaption(w, c);
      UpdateClickHint(w, c);
      break;
    case Change::Appended:
      if (auto* t = qobject_cast<TextView*>(w)) {
        t->Mirror(c.caption);
      } else {
        ApplyCaption(w, c);
      }
      break;
    case Change::Value:
      ApplyValue(w, c);
      ShowTimeLeft(w, c);
      break;
    case Change::Range:
      ApplyRange(w, c);
      ShowTimeLeft(w, c);
      break;
    case Change::Colour:
      ApplyColour(w, c);
      UpdateClickHint(w, c);
      break;
    case Change::BackColour:
      ApplyBackColour(w, c);
      break;
    case Change::Items:
    case Change::ListIndex:
      ApplyList(w, c);
      break;
    case Change::Enabled:  // shown above
    case Change::Geometry:
      break;
  }
}

void ViewBinder::ShowTimeLeft(QWidget* w, const Control& c) {
  if (auto* p = qobject_cast<QProgressBar*>(w))
    p->setFormat(run_report_.ProgressText(c.value, c.min, c.max, in_event_));
}

void ViewBinder::Sync(const std::string& name) {
  auto it = views_.find(name);
  if (it == views_.end() || !it->second) return;
  ApplyingScope guard(applying_);
  const Control& c = core_.ui.Get(name);
  for (Change what : {Change::Items, Change::Range, Change::Value, Change::Caption, Change::Tooltip,
                      Change::Enabled, Change::Visible}) {
    Apply(it->second, c, what);
  }
  if (c.kind == ControlKind::Label) Apply(it->second, c, Change::Colour);
  if (c.kind == ControlKind::Button) Apply(it->second, c, Change::BackColour);
}

void ViewBinder::Connect(const std::string& name, QObject* view) {
  const Control& c = core_.ui.Get(name);
  auto* button = qobject_cast<QAbstractButton*>(view);
  auto* action = qobject_cast<QAction*>(view);
  switch (c.kind) {
    case ControlKind::Button:
      if (button) connect(button, &QAbstractButton::clicked, this, [this, name] { Click(name); });
      break;
    case ControlKind::CheckBox:
      if (button) {
        connect(button, &QAbstractButton::clicked, this,
                [this, name](bool checked) { ChangeValue(name, checked ? 1 : 0); });
      }
      break;
    case ControlKind::Option:
      if (button)
        connect(button, &QAbstractButton::clicked, this, [this, name] { ChangeValue(name, 1); });
      break;
    case ControlKind::Label:
      if (auto* l = qobject_cast<ClickLabel*>(view); l && core_.ui.HasHandler(name)) {
        l->SetClickable(true);
        connect(l, &ClickLabel::clicked, this, [this, name] { Click(name); });
      }
      break;
    case ControlKind::TextBox:
      if (auto* t = qobject_cast<TextView*>(view); t && core_.ui.HasHandler(name + ":DblClick")) {
        connect(t, &TextView::doubleClicked, this, [this, name] { Click(name + ":DblClick"); });
      }
      if (auto* e = qobject_cast<QLineEdit*>(view)) {
        connect(e, &QLineEdit::textEdited, this,
                [this, name](const QString& text) { SetTextQuietly(name, text.toStdString()); });
      }
      break;
    case ControlKind::ComboBox:
      if (auto* cb = qobject_cast<QComboBox*>(view)) {
        connect(cb, &QComboBox::activated, this,
                [this, name](int index) { ChooseListIndex(name, index); });
        connect(cb, &QComboBox::editTextChanged, this, [this, name](const QString& text) {
          if (!Applying()) SetTextQuietly(name, text.toStdString());
        });
      }
      break;
    case ControlKind::ScrollBar:
    case ControlKind::Slider:
      if (auto* s = qobject_cast<QAbstractSlider*>(view)) {
        connect(s, &QAbstractSlider::valueChanged, this, [this, name](int v) {
          if (!Applying()) ChangeValue(name, v);
        });
      }
      break;
    case ControlKind::Menu:
    case ControlKind::ToolButton:
      if (action) connect(action, &QAction::triggered, this, [this, name] { Click(name); });
      break;
    case ControlKind::Timer:
      if (auto* t = qobject_cast<QTimer*>(view))
        connect(t, &QTimer::timeout, this, [this, name] { Click(name); });
      break;
    default:
      break;
  }
}

void ViewBinder::Click(const std::string& name) {
  if (Busy()) {
    // Input that arrives while an operation runs is dropped, except a stop.
    if (name == kStopControl) core_.AskToStop(false);
    return;
  }
  if (Applying()) return;
  RunningEvent([&] { core_.Click(name); });
  AfterEvent(name);
}

void ViewBinder::ChangeValue(const std::string& name, int value) {
  if (Applying() || Busy()) return;
  RunningEvent([&] { core_.ChangeValue(name, value); });
  AfterEvent(name);
}

void ViewBinder::ChooseListIndex(const std::string& name, int index) {
  if (Applying() || Busy()) return;
  RunningEvent([&] { core_.ChooseListIndex(name, index); });
  AfterEvent(name);
}

void ViewBinder::Run(const std::function<void()>& event) {
  if (Applying() || Busy()) return;
  RunningEvent([&] { core_.RunEvent(event); });
  AfterEvent("");
}

void ViewBinder::RunShort(const std::function<void()>& event) {
  const bool was = std::exchange(short_event_, true);
  Run(event);
  short_event_ = was;
}

void ViewBinder::SetTextQuietly(const std::string& name, const std::string& text) {
  if (Applying()) return;
  ApplyingScope guard(applying_);
  core_.ui.SetText(name, text);
}

void ViewBinder::SetFormHidden(const std::string& name) {
  ApplyingScope guard(applying_);
  core_.ui.SetVisible(name, false);
}

void ViewBinder::RunningEvent(const std::function<void()>& event) {
  run_report_.Start();
  in_event_ = true;
  {
    ApplyingScope running(running_);
    since_paint_.invalidate();  // the first change of an operation shows at once
    event();
  }
  ShowDeferred();
  in_event_ = false;
  ShowBusy(false);
  ShowResult();
}

void ViewBinder::ShowResult() {
  const QString line = run_report_.Finish(core_.ops.Result);
  if (!line.isEmpty() && core_.ui.Has("sbStatusBar"))
    SetTextQuietly("sbStatusBar", line.toStdString());
  // The bar shows the percentage again.
  if (core_.ui.Has("ProgressBar1")) Sync("ProgressBar1");
}

void ViewBinder::ShowDeferred() {
  const std::set<std::string> names = std::move(deferred_);
  deferred_.clear();
  const int running = std::exchange(running_, 0);
  for (const auto& name : names) Sync(name);
  running_ = running;
}

void ViewBinder::AfterEvent(const std::string& name) {
  // The widget shows the model's answer (a refused choice snaps back, an option
  // clicked twice stays selected).
  Sync(name);
  if (after_event) after_event();
}

}  // namespace zambrix::gui
