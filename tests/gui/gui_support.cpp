#include "gui_support.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include "gui/widgets.h"

namespace zambrix::gui::testing {

namespace {

// One application for the whole test program, on the offscreen platform
// unless the environment asks for another.
class QtEnvironment : public ::testing::Environment {
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QString ShownText(QObject* view) {
  if (auto* t = qobject_cast<TextView*>(view)) t->Flush();
  // A list without a chosen entry shows its prompt.
  if (auto* cb = qobject_cast<QComboBox*>(view); cb && cb->currentIndex() < 0)
    return cb->placeholderText();
  for (const char* property : {"plainText", "currentText", "title", "text"}) {
    if (const QVariant v = view->property(property); v.isValid()) return v.toString();
  }
  return {};
}

namespace {
using Queued = QWindowSystemInterface::AsynchronousDelivery;
}

void PostClick(QWidget* widget) {
  QWindow* window = widget->window()->windowHandle();
  const QPointF at = widget->mapTo(widget->window(), widget->rect().center());
  const QPointF global = widget->mapToGlobal(widget->rect().center());
  QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::LeftButton,
                                                   Qt::LeftButton, QEvent::MouseButtonPress);
  QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::NoButton,
                                                   Qt::LeftButton, QEvent::MouseButtonRelease);
}

void PostKey(QWidget* window, Qt::Key key) {
  QWindow* handle = window->windowHandle();
  QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyPress, key, Qt::NoModifier);
  QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyRelease, key, Qt::NoModifier);
}

void PostClose(QWidget* window) {
  QWindowSystemInterface::handleCloseEvent<Queued>(window->windowHandle());
}

bool PaintCounter::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Paint) ++count;
  return false;
}

}  // namespace zambrix::gui::testing
