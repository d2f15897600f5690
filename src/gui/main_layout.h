// The widgets of the main window's controls and their arrangement.
#pragma once

#include <string>

class QMainWindow;
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

// The menu bar and the toolbar of the main window, from the model.
void BuildMenus(QMainWindow& window, ViewBinder& binder);
void BuildToolBar(QMainWindow& window, ViewBinder& binder);

}  // namespace zambrix::gui
