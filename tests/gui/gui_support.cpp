#include "gui_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "gui/widgets.h"

namespace zambrix::gui::testing {

namespace {

// One application for the whole test program, on the offscreen platform
// unless the environment asks for another.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

WindowTest::WindowTest() {
  window = std::make_unique<MainWindow>(*t);
  t->shell.Form_Load();
}

WindowTest::~WindowTest() { window.reset(); }

int* WindowTest::CountClicks(const std::string& name) {
  auto& counter = counters_[name];
  counter = std::make_unique<int>(0);
  int* n = counter.get();
  t->ui.SetHandler(name, [n] { ++*n; });
  return n;
}

QString ShownText(QObject* view) {
  if (auto* a = qobject_cast<QAction*>(view)) return a->text();
  if (auto* t = qobject_cast<TextView*>(view)) {
    t->Flush();
    return t->toPlainText();
  }
  if (auto* c = qobject_cast<QComboBox*>(view)) return c->currentText();
  if (auto* g = qobject_cast<QGroupBox*>(view)) return g->title();
  if (auto* b = qobject_cast<QAbstractButton*>(view)) return b->text();
  if (auto* e = qobject_cast<QLineEdit*>(view)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(view)) return l->text();
  return {};
}

bool ShownHidden(QObject* view) {
  if (auto* a = qobject_cast<QAction*>(view)) return !a->isVisible();
  if (auto* w = qobject_cast<QWidget*>(view)) return w->isHidden();
  return false;
}

bool ShownEnabled(QObject* view, bool model_enabled) {
  // Qt disables a hidden action along with it: its own state shows again
  // when it is shown.
  if (auto* a = qobject_cast<QAction*>(view))
    return a->isVisible() ? a->isEnabled() : model_enabled;
  if (auto* w = qobject_cast<QWidget*>(view)) return w->isEnabled();
  return true;
}

QString ShownTooltip(QObject* view) {
  if (auto* a = qobject_cast<QAction*>(view)) return a->toolTip();
  if (auto* w = qobject_cast<QWidget*>(view)) return w->toolTip();
  return {};
}

PaintCounter::PaintCounter(QObject* target) : QObject(target) { target->installEventFilter(this); }

bool PaintCounter::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Paint) ++count;
  return false;
}

}  // namespace zambrix::gui::testing
