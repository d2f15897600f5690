// The menu bar and the toolbar of the main window, built from the model.
#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <map>
#include <set>

#include "app/core.h"
#include "base/control_names.h"
#include "gui/main_layout.h"
#include "gui/view_binder.h"

namespace zambrix::gui {

namespace {

// Keys of the common commands; the menus show them beside the entries.
QKeySequence ShortcutFor(const std::string& name) {
  static const std::map<std::string, QKeySequence> keys = {
      {control::mnuFileOpenCode, QKeySequence(Qt::CTRL | Qt::Key_O)},
      {control::mnuFileSaveCode, QKeySequence(Qt::CTRL | Qt::Key_S)},
      {control::mnuFileSaveCodeAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {control::mnuFileExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {control::menuReadCode, QKeySequence(Qt::Key_F5)},
      {control::menuBlankCheck, QKeySequence(Qt::Key_F6)},
      {control::menuProgramCode, QKeySequence(Qt::Key_F7)},
      {control::menuVerifyCode, QKeySequence(Qt::Key_F8)},
      {control::menuDisplayCode, QKeySequence(Qt::Key_F9)},
      {control::menuEraseCode, QKeySequence(Qt::CTRL | Qt::Key_E)},
      {control::menuTestHardware, QKeySequence(Qt::CTRL | Qt::Key_T)},
      {control::menuEraseFlash, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
      {control::menuErrorReset, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)},
      {control::mnuEditUndo, QKeySequence(Qt::CTRL | Qt::Key_Z)},
      {control::mnuEditRedo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
      {control::mnuEditGoTo, QKeySequence(Qt::CTRL | Qt::Key_G)},
      {control::mnuEditNextDifference, QKeySequence(Qt::Key_F3)},
      {control::mnuEditPreviousDifference, QKeySequence(Qt::SHIFT | Qt::Key_F3)},
      {control::mnuHelpContents, QKeySequence(Qt::Key_F1)},
  };
  auto it = keys.find(name);
  return it == keys.end() ? QKeySequence() : it->second;
}

}  // namespace

void BuildMenus(QMainWindow& window, ViewBinder& binder) {
  const WindowModel& m = binder.core().ui;
  auto is_menu = [](const Control& c) {
    return c.kind == ControlKind::Menu || c.kind == ControlKind::MenuSeparator;
  };
  // A menu control that holds entries opens a menu; the others are commands.
  std::set<std::string> holders;
  for (const auto& name : m.Names()) {
    const Control& c = m.Get(name);
    if (is_menu(c)) holders.insert(c.parent);
  }
  std::map<std::string, QMenu*> menus;
  QMenuBar* bar = window.menuBar();
  for (const auto& name : m.Names()) {
    const Control& c = m.Get(name);
    if (!is_menu(c) || RootForm(m, name) != control::frmMain) continue;
    auto parent = menus.find(c.parent);
    QMenu* in = parent == menus.end() ? nullptr : parent->second;
    const QString text = QString::fromStdString(c.caption);
    if (c.kind == ControlKind::MenuSeparator) {
      QAction* sep = in ? in->addSeparator() : bar->addSeparator();
      sep->setObjectName(QString::fromStdString(name));
      binder.Bind(name, sep);
    } else if (holders.count(name)) {
      QMenu* menu = in ? in->addMenu(text) : bar->addMenu(text);
      menu->setObjectName(QString::fromStdString(name));
      menu->menuAction()->setObjectName(QString::fromStdString(name));
      menus[name] = menu;
      binder.BindMenu(name, menu);
    } else {
      QAction* a = in ? in->addAction(text) : bar->addAction(text);
      a->setObjectName(QString::fromStdString(name));
      a->setShortcut(ShortcutFor(name));
      binder.Bind(name, a);
    }
  }
}

void BuildToolBar(QMainWindow& window, ViewBinder& binder) {
  const WindowModel& m = binder.core().ui;
  if (!m.Has(control::tbToolBar)) return;
  auto* bar = window.addToolBar(QStringLiteral("Toolbar"));
  bar->setObjectName(QString::fromLatin1(control::tbToolBar));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->setIconSize(QSize(20, 20));
  binder.Bind(control::tbToolBar, bar);
  for (const auto& name : m.Names()) {
    const Control& c = m.Get(name);
    if (c.kind != ControlKind::ToolButton || c.parent != control::tbToolBar) continue;
    QAction* a =
        c.key.empty() ? bar->addSeparator() : bar->addAction(QString::fromStdString(c.key));
    a->setObjectName(QString::fromStdString(name));
    binder.Bind(name, a);
  }
}

}  // namespace zambrix::gui
