#include "gui_support.h"

#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

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

void PostClick(QWidget* widget) { PostClickAt(widget, widget->rect().center()); }

void PostClickAt(QWidget* widget, QPoint point) {
  QWindow* window = widget->window()->windowHandle();
  const QPointF at = widget->mapTo(widget->window(), point);
  const QPointF global = widget->mapToGlobal(point);
  QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::LeftButton,
                                                   Qt::LeftButton, QEvent::MouseButtonPress);
  QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::NoButton, Qt::LeftButton,
                                                   QEvent::MouseButtonRelease);
}

void PostKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods) {
  QWindow* handle = window->windowHandle();
  QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyPress, key, mods);
  QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyRelease, key, mods);
}

void PostText(QWidget* window, const QString& text) {
  QWindow* handle = window->windowHandle();
  for (const QChar ch : text) {
    const int key = ch.isLetter() ? ch.toUpper().unicode() : ch.unicode();
    QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyPress, key, Qt::NoModifier,
                                                   QString(ch));
    QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyRelease, key, Qt::NoModifier,
                                                   QString(ch));
  }
}

bool PostDrop(QWidget* widget, QPoint point, const QString& file) {
  QWindow* window = widget->window()->windowHandle();
  const QPoint at = widget->mapTo(widget->window(), point);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(file)});
  const auto move = QWindowSystemInterface::handleDrag(window, &data, at, Qt::CopyAction,
                                                       Qt::LeftButton, Qt::NoModifier);
  if (!move.isAccepted()) return false;
  return QWindowSystemInterface::handleDrop(window, &data, at, Qt::CopyAction, Qt::LeftButton,
                                            Qt::NoModifier)
      .isAccepted();
}

void TakePosted() {
  QWindowSystemInterface::flushWindowSystemEvents();
  QCoreApplication::processEvents();
}

void PostClose(QWidget* window) {
  QWindowSystemInterface::handleCloseEvent<Queued>(window->windowHandle());
}

bool PaintCounter::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Paint) ++count;
  return false;
}

}  // namespace zambrix::gui::testing
