// Shared by the window tests: one QApplication on Qt's offscreen platform, a
// main window over a TestCore, and readers of what a widget shows.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "gui/main_window.h"
#include "support/fakes.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{';
  for (const auto& s : l) *os << " \"" << s.toStdString() << '"';
  *os << " }";
}

namespace zambrix::gui::testing {

// A main window over a core of fakes, after the start-up sequence.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  template <class T>
  T* View(const std::string& name) const {
    return qobject_cast<T*>(window->ViewOf(name));
  }
  // Counts the runs of a control's handler from now on.
  int* CountClicks(const std::string& name);

  zambrix::testing::TestCore t;
  std::unique_ptr<MainWindow> window;

 private:
  std::map<std::string, std::unique_ptr<int>> counters_;
};

// The caption or text a widget or action shows.
QString ShownText(QObject* view);
// True when the widget or action is hidden on its own account.
bool ShownHidden(QObject* view);
bool ShownEnabled(QObject* view, bool model_enabled);
QString ShownTooltip(QObject* view);
// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QObject* target);
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zambrix::gui::testing
