// Shared by the window tests: a main window over a TestCore on Qt's offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <list>
#include <memory>
#include <ostream>
#include <string>

#include "gui/main_window.h"
#include "support/fakes.h"

// Readable QStrings (and lists of them) in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace zambrix::gui::testing {

// A main window over a core of fakes, after the start-up sequence.
class WindowTest : public ::testing::Test {
 private:
  std::list<int> counters_;  // outlives the window and the core

 protected:
  WindowTest() : window(std::make_unique<MainWindow>(*t)) { t->shell.Form_Load(); }

  template <class T>
  T* View(const std::string& name) const {
    return qobject_cast<T*>(window->ViewOf(name));
  }
  // Counts the runs of a control's handler from now on.
  int* CountClicks(const std::string& name) {
    int* n = &counters_.emplace_back(0);
    t->ui.SetHandler(name, [n] { ++*n; });
    return n;
  }

  zambrix::testing::TestCore t;
  std::unique_ptr<MainWindow> window;
};

// The caption or text a widget or action shows.
QString ShownText(QObject* view);

// Input and requests as the window system sends them: queued, and taken when
// the event loop next takes the window system's events.
void PostClick(QWidget* widget);               // press and release at its centre
void PostClickAt(QWidget* widget, QPoint at);  // at a point of the widget
void PostKey(QWidget* window, Qt::Key key,
             Qt::KeyboardModifiers mods = Qt::NoModifier);  // press and release
void PostText(QWidget* window, const QString& text);        // typed, a key per character
void PostClose(QWidget* window);                            // the title bar's close, Alt+F4
// A file dragged from a file manager and dropped at `at` of `widget`; true
// when the window took it.
bool PostDrop(QWidget* widget, QPoint at, const QString& file);
// Delivers what was posted.
void TakePosted();

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QObject* target) : QObject(target) { target->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override;
};

}  // namespace zambrix::gui::testing
