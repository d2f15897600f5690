#include "gui/main_layout.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <map>
#include <set>
#include <vector>

#include "app/core.h"
#include "base/control_names.h"
#include "gui/device_box.h"
#include "gui/view_binder.h"
#include "gui/widgets.h"

namespace zambrix::gui {

namespace {

// Frames whose controls sit side by side.
bool FrameIsRow(const std::string& name) {
  static const std::set<std::string> rows = {control::Frame2,  control::Frame3,
                                             control::Frame4,  control::Frame8,
                                             control::Frame10, control::FrameVoltageSelection};
  return rows.count(name) != 0;
}

QWidget* CreateWidget(const Control& c, QWidget* parent) {
  switch (c.kind) {
    case ControlKind::Frame: {
      auto* g = new QGroupBox(parent);
      auto* l =
          new QBoxLayout(FrameIsRow(c.name) ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, g);
      l->setContentsMargins(6, 4, 6, 4);  // the window fits a 1024 x 600 screen
      return g;
    }
    case ControlKind::Label:
    case ControlKind::Picture:
      return new ClickLabel(parent);
    case ControlKind::Button:
      return new QPushButton(parent);
    case ControlKind::CheckBox:
      return new QCheckBox(parent);
    case ControlKind::Option: {
      auto* r = new QRadioButton(parent);
      r->setAutoExclusive(false);  // the model keeps one option of a group selected
      return r;
    }
    case ControlKind::TextBox: {
      if (c.name == control::SystemLog || c.name == control::BufferDisplay)
        return new TextView(parent);
      auto* e = new QLineEdit(parent);
      e->setReadOnly(true);
      return e;
    }
    case ControlKind::ComboBox:
      // Only list entries: typing finds an entry but never leaves a text that
      // names no entry.
      return new DeviceBox(parent);
    case ControlKind::ScrollBar: {
      auto* s = new QScrollBar(Qt::Vertical, parent);
      s->setTracking(false);  // a page is shown when the thumb is let go
      s->setPageStep(1);
      return s;
    }
    case ControlKind::Slider: {
      auto* s = new QSlider(Qt::Horizontal, parent);
      s->setTracking(false);
      s->setTickPosition(QSlider::TicksBelow);
      s->setTickInterval(10);
      return s;
    }
    case ControlKind::ProgressBar: {
      // It steps while an operation runs: filling its own background spares
      // the window behind it a repaint at every step.
      auto* p = new QProgressBar(parent);
      p->setAutoFillBackground(true);
      return p;
    }
    default:
      return nullptr;
  }
}

// An indicator: a light and its caption in a flat panel, nothing like a
// button; unlit, the light is dark and the caption stays legible.
void MakeLamp(QWidget* w) {
  auto* l = static_cast<ClickLabel*>(w);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  l->setAlignment(Qt::AlignCenter);
  l->setMinimumSize(100, 26);
  l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  l->SetLamp(QColor());
}

void SetPointSize(QWidget* w, double size, bool bold) {
  QFont f = w->font();
  f.setPointSizeF(size);
  f.setBold(bold);
  w->setFont(f);
}

void RetainSpace(QWidget* w) {
  QSizePolicy p = w->sizePolicy();
  p.setRetainSizeWhenHidden(true);
  w->setSizePolicy(p);
}

// Fonts and sizes of single controls.
void Dress(const std::string& name, QWidget* w) {
  if (name == control::PleaseSelect) {
    SetPointSize(w, 13.5, false);
    RetainSpace(w);
  } else if (name == control::ZambrixHardwareFound) {
    SetPointSize(w, 12, true);
    static_cast<QLabel*>(w)->setAlignment(Qt::AlignCenter);
  } else if (name == control::Error_label || name == control::Program_label ||
             name == control::DataFlow_label) {
    MakeLamp(w);
  } else if (name == control::Ready_label) {
    SetPointSize(w, w->font().pointSizeF(), true);
    static_cast<QLabel*>(w)->setAlignment(Qt::AlignCenter);
  } else if (name == control::BufferDisplay) {
    DressHexView(static_cast<TextView*>(w));
  } else if (name == control::SystemLog) {
    static_cast<TextView*>(w)->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    w->setMinimumHeight(64);
  } else if (name == control::Device) {
    static_cast<QComboBox*>(w)->setMinimumContentsLength(30);
  } else if (name == control::PortSelected) {
    static_cast<QLineEdit*>(w)->setMaximumWidth(70);
  } else if (name == control::FileNameCodeText || name == control::FileNameDataText) {
    w->setMinimumWidth(160);
    w->setSizePolicy(QSizePolicy::Ignored,
                     QSizePolicy::Preferred);  // long paths never widen the window
    static_cast<ClickLabel*>(w)->SetElideMiddle(true);
  } else if (name == control::Frame5 || name == control::FrameVoltageSelection) {
    RetainSpace(w);
  }
}

// Takes widgets out of the made set as they are placed; what is left over goes
// into a row of its own, so no control is ever lost.
class Placer {
 public:
  explicit Placer(std::map<std::string, QWidget*>& made) : made_(made) {}
  QWidget* Take(const std::string& name) {
    auto it = made_.find(name);
    if (it == made_.end() || placed_.count(name)) return nullptr;
    placed_.insert(name);
    return it->second;
  }
  void Add(QBoxLayout* l, const std::string& name, int stretch = 0) {
    if (QWidget* w = Take(name)) l->addWidget(w, stretch);
  }
  QHBoxLayout* Row(QBoxLayout* into, std::initializer_list<std::string> names) {
    auto* row = new QHBoxLayout;
    for (const auto& n : names) Add(row, n);
    into->addLayout(row);
    return row;
  }
  QGridLayout* Grid(QBoxLayout* into, const std::vector<std::vector<std::string>>& rows) {
    auto* g = new QGridLayout;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
      for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
        if (QWidget* w = Take(rows[r][c])) g->addWidget(w, r, c);
      }
    }
    into->addLayout(g);
    return g;
  }
  void Rest(QBoxLayout* into, const std::vector<std::string>& top_level) {
    QHBoxLayout* row = nullptr;
    for (const auto& n : top_level) {
      QWidget* w = Take(n);
      if (w == nullptr) continue;
      if (row == nullptr) into->addLayout(row = new QHBoxLayout);
      row->addWidget(w);
    }
  }

 private:
  std::map<std::string, QWidget*>& made_;
  std::set<std::string> placed_;
};

QWidget* ArrangeLeft(Placer& p, QWidget* central) {
  auto* left = new QWidget(central);
  auto* v = new QVBoxLayout(left);
  v->setContentsMargins(0, 0, 0, 0);
  auto* top = p.Row(v, {});
  p.Add(top, control::Frame2, 1);
  p.Add(top, control::PleaseSelect);
  // The hex view and the log share the height: each has half once the window
  // is tall enough for the page's 16 rows.
  p.Add(v, control::Frame3, 1);
  auto* files = p.Grid(
      v, {{control::FileNameCodeLabel, control::FileNameCodeText, control::FileNameCodeSize},
          {control::FileNameDataLabel, control::FileNameDataText, control::FileNameDataSize}});
  files->setColumnStretch(1, 1);  // the names take the width
  p.Add(v, control::Frame6, 1);
  return left;
}

QWidget* ArrangeRight(Placer& p, QWidget* central) {
  auto* right = new QWidget(central);
  auto* v = new QVBoxLayout(right);
  v->setContentsMargins(0, 0, 0, 0);
  p.Add(v, control::Frame9);
  auto* port = p.Row(v, {control::Frame4});
  auto* test = new QVBoxLayout;
  p.Add(test, control::TestHardware_button);
  p.Add(test, control::Ready_label);
  port->addLayout(test);
  p.Row(v, {control::Error_label, control::Program_label, control::DataFlow_label});
  p.Grid(v, {{control::Read_button, control::Blank_button, control::Program_button},
             {control::Verify_button, control::EraseFlash_button, control::Display_button},
             {control::Show_button, control::Erase_button, control::Command1},
             {control::VerifyButton}});
  p.Row(v, {control::Frame8, control::Frame10});
  p.Add(v, control::FrameVoltageSelection);
  p.Add(v, control::Frame5);
  auto* speed = p.Row(v, {control::Label4});
  p.Add(speed, control::Slider1, 1);
  auto* progress = p.Row(v, {});
  p.Add(progress, control::ProgressBar1, 1);
  p.Add(progress, control::Stop_button);
  v->addStretch(1);
  return right;
}

// The keyboard's way through the window: from the device list down the left
// column, then down the right one, as the window reads.
void SetTabOrder(const std::map<std::string, QWidget*>& made) {
  static const char* const order[] = {control::Device,
                                      control::BufferDisplay,
                                      control::SystemLog,
                                      "LPTSelection(0)",
                                      "LPTSelection(1)",
                                      "LPTSelection(2)",
                                      control::PortSelected,
                                      control::TestHardware_button,
                                      control::Read_button,
                                      control::Blank_button,
                                      control::Program_button,
                                      control::Verify_button,
                                      control::EraseFlash_button,
                                      control::Display_button,
                                      control::Show_button,
                                      control::Erase_button,
                                      control::Command1,
                                      control::VerifyButton,
                                      control::CheckCode,
                                      control::CheckData,
                                      "HiLow_button(0)",
                                      "HiLow_button(1)",
                                      "HiLow_button(2)",
                                      "Voltage_button(0)",
                                      "Voltage_button(1)",
                                      "Voltage_button(2)",
                                      "Voltage_button(3)",
                                      control::CheckBlankPriorProgramming,
                                      control::VerifyAfterProgramming,
                                      control::Slider1};
  QWidget* before = nullptr;
  for (const char* name : order) {
    auto it = made.find(name);
    if (it == made.end()) continue;
    if (before != nullptr) QWidget::setTabOrder(before, it->second);
    before = it->second;
  }
}

}  // namespace

std::string RootForm(const WindowModel& model, const std::string& name) {
  std::string at = name;
  for (int depth = 0; depth < 16; ++depth) {
    const std::string& parent = model.Get(at).parent;
    if (parent.empty() || !model.Has(parent)) return at;
    at = parent;
  }
  return at;
}

void BuildMainControls(QMainWindow& window, ViewBinder& binder) {
  const WindowModel& m = binder.core().ui;
  auto* central = new QWidget(&window);
  window.setCentralWidget(central);

  // Frames first, so that every control finds its frame.
  std::map<std::string, QWidget*> made;
  std::vector<std::string> order, top_level;
  for (const auto& name : m.Names()) {
    const Control& c = m.Get(name);
    if (name == control::frmMain || RootForm(m, name) != control::frmMain ||
        c.parent == control::tbToolBar)
      continue;
    if (name == control::tbToolBar || c.kind == ControlKind::Menu ||
        c.kind == ControlKind::MenuSeparator)
      continue;
    order.push_back(name);
  }
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& name : order) {
      const Control& c = m.Get(name);
      if ((c.kind == ControlKind::Frame) != (pass == 0)) continue;
      auto frame = made.find(c.parent);
      QWidget* parent = frame != made.end() ? frame->second : central;
      QWidget* w = CreateWidget(c, parent);
      if (w == nullptr) continue;
      w->setObjectName(QString::fromStdString(name));
      Dress(name, w);
      made[name] = w;
      if (frame != made.end()) {
        frame->second->layout()->addWidget(w);
      } else {
        top_level.push_back(name);
      }
    }
  }

  Placer placer(made);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(6, 4, 6, 4);
  auto* columns = new QHBoxLayout;
  // Extra width goes to the hex view and the log; the controls keep their size.
  columns->addWidget(ArrangeLeft(placer, central), 1);
  columns->addWidget(ArrangeRight(placer, central), 0);
  outer->addLayout(columns, 1);
  placer.Rest(outer, top_level);

  for (const auto& [name, w] : made) binder.Bind(name, w);
  if (made.count(control::BufferDisplay) && made.count(control::VScroll1))
    InstallPaging(made[control::BufferDisplay], static_cast<QScrollBar*>(made[control::VScroll1]));
  SetTabOrder(made);
  // A long caption of the hex view's frame (a difference after a verify) is
  // cut at the frame's edge and never widens the window past the screen.
  if (auto it = made.find(control::Frame3); it != made.end())
    it->second->setMinimumWidth(it->second->minimumSizeHint().width());
  GroupOptions(binder, &window);
  // Files dropped anywhere reach the window, which opens them.
  for (auto* w : central->findChildren<QWidget*>()) w->setAcceptDrops(false);
  window.setAcceptDrops(true);

  // The status bar in simple-text mode, and the timer.
  for (const auto& name : order) {
    const Control& c = m.Get(name);
    if (c.kind == ControlKind::StatusBar) {
      auto* text = new QLabel(window.statusBar());
      text->setObjectName(QString::fromStdString(name));
      text->setTextFormat(Qt::PlainText);
      window.statusBar()->addWidget(text, 1);
      binder.Bind(name, text);
    } else if (c.kind == ControlKind::Timer) {
      auto* timer = new QTimer(&window);
      timer->setObjectName(QString::fromStdString(name));
      timer->setInterval(1000);
      binder.Bind(name, timer);
    }
  }
}

}  // namespace zambrix::gui
