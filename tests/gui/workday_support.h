// A shown, active window over a programmer on the simulated board, with the
// cells of its hex view and the marks drawn on them.
#pragma once

#include <QAction>
#include <QTest>
#include <QTextBlock>

#include "gui/widgets.h"
#include "gui_support.h"
#include "ops/program_window_support.h"

namespace zambrix::gui::testing {

class Workday : public ::testing::Test {
 protected:
  void Start(const std::string& chip, const std::string& device,
             std::vector<std::uint8_t> contents = {}, sim::SimFaults faults = {}) {
    p = std::make_unique<zambrix::testing::Programmer>(chip, std::move(contents), 6, 12.5, faults);
    window = std::make_unique<MainWindow>(p->core());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    if (!device.empty()) p->Choose(device);
  }
  template <class T>
  T* View(const std::string& name) const {
    return qobject_cast<T*>(window->ViewOf(name));
  }
  std::string Shown(const std::string& name) const {
    return ShownText(window->ViewOf(name)).toStdString();
  }
  TextView* Hex() const { return View<TextView>("BufferDisplay"); }
  // Where the hex view shows column `column` of page row `row`.
  QPoint Cell(int row, int column) const {
    const QTextBlock b = Hex()->document()->findBlockByNumber(row + 1);
    QTextCursor c(b);
    c.setPosition(b.position() + column);
    const QRect r = Hex()->cursorRect(c);
    return QPoint(r.left() + Hex()->fontMetrics().horizontalAdvance('0') / 2, r.center().y());
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    PostKey(window.get(), key, mods);
    TakePosted();
  }
  void Type(const QString& text) {
    PostText(window.get(), text);
    TakePosted();
  }
  void ClickCell(int row, int column) {
    TakePosted();  // the page's text is in the view
    PostClickAt(Hex()->viewport(), Cell(row, column));
    TakePosted();
  }
  // The texts of the marks drawn with `background`.
  QStringList Marked(const QColor& background) const {
    QStringList out;
    for (const auto& s : Hex()->extraSelections()) {
      if (s.format.background().color() == background) out << s.cursor.selectedText();
    }
    return out;
  }
  void Trigger(const std::string& action) { View<QAction>(action)->trigger(); }
  zambrix::testing::ScriptedDialogs& Dialogs() { return p->t->dialogs; }

  std::unique_ptr<zambrix::testing::Programmer> p;
  std::unique_ptr<MainWindow> window;
};

}  // namespace zambrix::gui::testing
