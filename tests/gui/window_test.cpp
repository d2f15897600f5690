// The main window holds every control of the model, and the menu tree.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "gui/widgets.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

TEST_F(WindowTest, EveryControlShowsTheModelsTextTooltipAndState) {
  int checked = 0;
  for (const auto& name : t->ui.Names()) {
    const Control& c = t->ui.Get(name);
    if (c.kind == ControlKind::Form || c.kind == ControlKind::Timer) continue;
    QObject* view = window->ViewOf(name);
    ASSERT_NE(view, nullptr) << name;
    ++checked;
    auto* action = qobject_cast<QAction*>(view);
    auto* widget = qobject_cast<QWidget*>(view);
    ASSERT_TRUE(action != nullptr || widget != nullptr) << name;
    if (c.kind != ControlKind::ToolButton && c.kind != ControlKind::Picture &&
        c.kind != ControlKind::MenuSeparator && c.kind != ControlKind::ProgressBar &&
        name != "tbToolBar") {
      EXPECT_EQ(ShownText(view), ViewText(c.caption)) << name;
    }
    if (c.kind != ControlKind::Menu) {
      EXPECT_EQ(view->property("toolTip").toString().toStdString(), c.tooltip) << name;
    }
    // Qt disables a hidden action along with it: its own state shows again
    // when it is shown.
    if (action == nullptr || action->isVisible()) {
      EXPECT_EQ(view->property("enabled").toBool(), c.enabled) << name;
    }
    EXPECT_EQ(widget ? widget->isHidden() : !action->isVisible(), !c.visible) << name;
  }
  EXPECT_GT(checked, 100);
}

// The menu tree as the operator sees it: "-" is a separator, "(off)" a
// disabled entry, "(hidden)" a hidden one, "[...]" a submenu.
QStringList Entries(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) {
    QString s = a->isSeparator() ? "-" : a->text();
    if (a->menu() != nullptr) s = "[" + s + ": " + Entries(a->menu()).join(", ") + "]";
    out << s + (!a->isVisible() ? " (hidden)" : !a->isEnabled() ? " (off)" : "");
  }
  return out;
}

// Before a device is chosen every chip command is off; only the port test is usable.
TEST_F(WindowTest, MenuTreeHasAccessKeysSeparatorsAndDisabledEntries) {
  std::map<QString, QStringList> menus;
  for (QAction* a : window->menuBar()->actions()) menus[a->text()] = Entries(a->menu());
  EXPECT_EQ(menus.size(), 6u);
  EXPECT_EQ(menus["&File"].count("-"), 3);
  QStringList usable;
  for (const QString& e : menus["&Command"])
    if (e != "-" && !e.endsWith(" (off)")) usable << e;
  EXPECT_EQ(usable, QStringList({"&Test LPT Ports"}));
  EXPECT_EQ(menus["&Setup"].filter("(hidden)"),
            QStringList({"LoopFlashTest (hidden)", "ResetFlash (hidden)"}));
  EXPECT_TRUE(menus["&Setup"][0].startsWith("[&Load Setup: Load Setup #&1 (off)"));
}

TEST_F(WindowTest, SimulatedBoardIsSaidInTitleAndStatusBar) {
  window->SetSimulatedBoard(true, "recording back end");
  EXPECT_TRUE(window->windowTitle().endsWith(" [SIMULATED BOARD]"));
  auto* label = window->findChild<QLabel*>("SimulatedBoard");
  EXPECT_FALSE(label->isHidden());
  // A later caption keeps the mark.
  t->ui.SetCaption("frmMain", "ZAMBRIX");
  EXPECT_EQ(window->windowTitle(), "ZAMBRIX [SIMULATED BOARD]");
}

}  // namespace
}  // namespace zambrix::gui::testing
