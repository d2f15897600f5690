#include "gui_support.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>

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

bool PaintCounter::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Paint) ++count;
  return false;
}

}  // namespace zambrix::gui::testing
