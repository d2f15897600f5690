// Each group of option buttons is one stop of the Tab key: Tab reaches the
// option that is selected (or the first usable one), and the arrow keys move
// to the next or previous usable option of the group and select it, as a
// click does.
#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <algorithm>
#include <map>
#include <vector>

#include "app/core.h"
#include "gui/main_layout.h"
#include "gui/view_binder.h"

namespace zambrix::gui {

namespace {

class OptionGroup : public QObject {
 public:
  OptionGroup(std::vector<QAbstractButton*> options, QObject* parent)
      : QObject(parent), options_(std::move(options)) {
    for (auto* o : options_) {
      o->installEventFilter(this);
      connect(o, &QAbstractButton::toggled, this, [this] { UpdateTabStop(); });
    }
    UpdateTabStop();
  }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange) UpdateTabStop();
    if (event->type() != QEvent::KeyPress) return false;
    int step = 0;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Left:
      case Qt::Key_Up:
        step = -1;
        break;
      case Qt::Key_Right:
      case Qt::Key_Down:
        step = 1;
        break;
      default:
        return false;
    }
    Move(static_cast<QAbstractButton*>(target), step);
    return true;
  }

 private:
  void Move(QAbstractButton* from, int step) {
    const int n = static_cast<int>(options_.size());
    int at = static_cast<int>(std::find(options_.begin(), options_.end(), from) - options_.begin());
    for (int i = 1; i < n; ++i) {
      QAbstractButton* next = options_[static_cast<std::size_t>(((at + step * i) % n + n) % n)];
      if (!next->isEnabled() || next->isHidden()) continue;
      next->setFocus(Qt::TabFocusReason);
      next->click();
      return;
    }
  }
  void UpdateTabStop() {
    QAbstractButton* stop = nullptr;
    for (auto* o : options_) {
      if (o->isEnabled() && o->isChecked()) stop = o;
    }
    for (auto* o : options_) {
      if (stop == nullptr && o->isEnabled()) stop = o;
    }
    for (auto* o : options_) o->setFocusPolicy(o == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
  std::vector<QAbstractButton*> options_;
};

}  // namespace

void GroupOptions(ViewBinder& binder, QObject* owner) {
  const WindowModel& m = binder.core().ui;
  std::map<std::string, std::vector<QAbstractButton*>> groups;
  for (const auto& name : m.Names()) {
    const Control& c = m.Get(name);
    if (c.kind != ControlKind::Option || c.group.empty()) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(binder.ViewOf(name))) groups[c.group].push_back(b);
  }
  for (auto& [group, options] : groups) new OptionGroup(std::move(options), owner);
}

}  // namespace zambrix::gui
