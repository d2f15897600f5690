// The widgets of the main window's controls and their arrangement.
#pragma once

#include <string>

class QMainWindow;
class QObject;
class QWidget;

namespace zambrix {
class WindowModel;
}

namespace zambrix::gui {

class ViewBinder;

// The form a control belongs to ("frmMain", "frmAbout", ...).
std::string RootForm(const WindowModel& model, const std::string& name);

// Creates a widget for every control of the main window except the menus and
// the toolbar, arranges them in the window's central widget and status bar,
// and binds each to its control.
void BuildMainControls(QMainWindow& window, ViewBinder& binder);

// Makes each group of option buttons one Tab stop with arrow keys inside.
void GroupOptions(ViewBinder& binder, QObject* owner);

// The menu bar and the toolbar of the main window, from the model.
void BuildMenus(QMainWindow& window, ViewBinder& binder);
void BuildToolBar(QMainWindow& window, ViewBinder& binder);

}  // namespace zambrix::gui
