// The main window holds every control of the model with its exact texts, the
// menu tree and the toolbar.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

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

// Blanks, quotes and misspellings are kept.
TEST_F(WindowTest, TextsAreExactToTheCharacter) {
  EXPECT_EQ(ShownText(window->ViewOf("Read_button")), "Read ");
  EXPECT_EQ(ShownText(window->ViewOf("PleaseSelect")), "Please  Select Device");
  EXPECT_EQ(window->ViewOf("Erase_button")->property("toolTip").toString(),
            "Erase Buffer to all \"FF\"");
  EXPECT_EQ(window->ViewOf("Voltage_button(3)")->property("toolTip").toString(),
            "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms.");
  EXPECT_TRUE(
      window->windowTitle().startsWith("ZAMBRIX-6 Eprom Programmer - MNX Research Inc. - "));
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

TEST_F(WindowTest, MenuTreeHasAccessKeysSeparatorsAndDisabledEntries) {
  QStringList top;
  std::map<QString, QStringList> menus;
  for (QAction* a : window->menuBar()->actions()) {
    top << a->text();
    ASSERT_NE(a->menu(), nullptr);
    menus[a->text()] = Entries(a->menu());
  }
  EXPECT_EQ(top, QStringList({"&File", "&Tools", "&Command", "&Setup", "&Help"}));
  EXPECT_EQ(menus["&File"],
            QStringList({"&Open Code...", "&Save Code (off)", "Save Code &As... (off)", "-",
                         "Open Data... (off)", "Save Data (off)", "Save Data As... (off)", "-",
                         "&Close", "E&xit"}));
  EXPECT_EQ(menus["&Tools"], QStringList({"&Options...", "&Port Doctor...", "&Extended Device Catalogue: Off"}));
  // Every chip command waits for a device; only the port test is usable.
  EXPECT_EQ(menus["&Command"],
            QStringList({"Blank Check Device for Erased (off)", "-", "Program Device Code (off)",
                         "Read Device Code (off)", "Verify Device Code (off)", "-",
                         "Program Device Data (off)", "Read Device Data (off)",
                         "Verify Device Data (off)", "-", "Display Device CODE (off)",
                         "Display Device DATA (off)", "-", "Erase CODE Buffer (\"FF\")  (off)",
                         "Erase DATA Buffer (\"FF\")  (off)", "Erase Device Flash Memory (off)", "-",
                         "Test LPT Ports", "-", "Show Flash Code ID# (off)"}));
  EXPECT_EQ(
      menus["&Setup"],
      QStringList(
          {"[&Load Setup: Load Setup #&1 (off), Load Setup #&2 (off), Load Setup #&3 (off), "
           "Load Setup #&4 (off)]",
           "-", "[&Save Setup: Save Setup #&1, Save Setup #&2, Save Setup #&3, Save Setup #&4]",
           "-", "Force Set ZAMBRIX-4", "Force Set ZAMBRIX-5", "Force Set ZAMBRIX-6", "-",
           "LoopFlashTest (hidden)", "ResetFlash (hidden)"}));
  EXPECT_EQ(menus["&Help"], QStringList({"&Contents", "&Search For Help On...", "-", "&About "}));
}

TEST_F(WindowTest, ToolbarHasFiveButtonsByKeyWithImagesAndTooltips) {
  auto* bar = window->findChild<QToolBar*>("tbToolBar");
  ASSERT_NE(bar, nullptr);
  const QList<QAction*> actions = bar->actions();
  ASSERT_EQ(actions.size(), 5);
  const char* keys[] = {"OpenCode", "SaveCode", "", "OpenData", "SaveData"};
  const char* tips[] = {"Open File into Code Buffer", "Save Code Buffer Into File", "",
                        "Open File into Data Buffer", "Save Data Buffer into File"};
  for (int i = 0; i < 5; ++i) {
    QAction* a = actions[i];
    EXPECT_EQ(a, window->ViewOf("tbToolBar.Buttons(" + std::to_string(i + 1) + ")"));
    EXPECT_EQ(a->isSeparator(), i == 2) << i;
    EXPECT_EQ(a->data().toString(), keys[i]);
    EXPECT_EQ(a->toolTip(), tips[i]);
    EXPECT_EQ(a->icon().isNull(), i == 2) << i;
  }
}

TEST_F(WindowTest, SimulatedBoardIsSaidInTitleAndStatusBar) {
  window->SetSimulatedBoard(true, "recording back end");
  EXPECT_TRUE(window->windowTitle().endsWith(" [SIMULATED BOARD]"));
  auto* label = window->findChild<QLabel*>("SimulatedBoard");
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->isHidden());
  EXPECT_EQ(label->text(), "SIMULATED BOARD - no chip is touched");
  // A later caption keeps the mark.
  t->ui.SetCaption("frmMain", "ZAMBRIX");
  EXPECT_EQ(window->windowTitle(), "ZAMBRIX [SIMULATED BOARD]");
}

}  // namespace
}  // namespace zambrix::gui::testing
