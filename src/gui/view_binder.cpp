#include "gui/view_binder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

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
    case Change::Enabled:
      a->setEnabled(c.enabled);
      break;
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
      l->repaint();  // indicators change while an operation holds the event loop
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
    p->setValue(c.value);
    p->repaint();
  }
}

void ApplyRange(QWidget* w, const Control& c) {
  if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
    s->setRange(c.min, c.max);
    s->setValue(c.value);
  } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
    p->setRange(c.min, c.max);
    p->setValue(c.value);
    p->repaint();
  }
}

void ApplyColour(QWidget* w, const Control& c) {
  if (!qobject_cast<QLabel*>(w)) return;
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, ModelColour(c.fore_colour, QApplication::palette()));
  w->setPalette(pal);
  w->repaint();
}

// A button's face colour (the Verify button lights while the compare runs).
void ApplyBackColour(QWidget* w, const Control& c) {
  auto* b = qobject_cast<QAbstractButton*>(w);
  if (b == nullptr) return;
  QPalette pal = b->palette();
  pal.setColor(QPalette::Button, ModelColour(c.back_colour, QApplication::palette()));
  b->setPalette(pal);
  b->setAutoFillBackground(c.back_colour != colour::kButtonFace);
  b->repaint();
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
  if (auto f = forms_.find(c.name); f != forms_.end()) f->second(c, what);
  auto it = views_.find(c.name);
  if (it != views_.end() && it->second) Apply(it->second, c, what);
}

void ViewBinder::Apply(QObject* view, const Control& c, Change what) {
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
    case Change::Enabled:
      w->setEnabled(c.enabled);
      break;
    case Change::Visible:
      if (!w->isWindow()) w->setVisible(c.visible);
      break;
    case Change::Tooltip:
      w->setToolTip(Qs(c.tooltip));
      break;
    case Change::Caption:
      ApplyCaption(w, c);
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
      break;
    case Change::Range:
      ApplyRange(w, c);
      break;
    case Change::Colour:
      ApplyColour(w, c);
      break;
    case Change::BackColour:
      ApplyBackColour(w, c);
      break;
    case Change::Items:
    case Change::ListIndex:
      ApplyList(w, c);
      break;
    case Change::Geometry:
      break;
  }
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
  if (Applying()) return;
  core_.Click(name);
  AfterEvent(name);
}

void ViewBinder::ChangeValue(const std::string& name, int value) {
  if (Applying()) return;
  core_.ChangeValue(name, value);
  AfterEvent(name);
}

void ViewBinder::ChooseListIndex(const std::string& name, int index) {
  if (Applying()) return;
  core_.ChooseListIndex(name, index);
  AfterEvent(name);
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

void ViewBinder::AfterEvent(const std::string& name) {
  // The widget shows the model's answer (a refused choice snaps back, an option
  // clicked twice stays selected).
  Sync(name);
  if (after_event) after_event();
}

}  // namespace zambrix::gui
