#include "gui/display_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QScrollBar>

#include "app/core.h"
#include "base/control_names.h"
#include "gui/view_binder.h"
#include "gui/widgets.h"

namespace zambrix::gui {

DisplayWindow::DisplayWindow(ViewBinder& binder, QWidget* owner)
    : QWidget(owner, Qt::Window), binder_(binder) {
  setObjectName(QString::fromLatin1(control::frmDisplay1));
  auto* text = new TextView(this);
  DressHexView(text);
  auto* scroll = new QScrollBar(Qt::Vertical, this);
  scroll->setTracking(false);
  auto* row = new QHBoxLayout(this);
  row->addWidget(text, 1);
  row->addWidget(scroll);

  binder.Bind(control::frmDisplay1_BufferDisplay, text);
  binder.Bind(control::frmDisplay1_VScroll1, scroll);
  setWindowTitle(QString::fromStdString(binder.core().ui.Caption(control::frmDisplay1)));
  binder.OnForm(control::frmDisplay1, [this](const Control& c, Change what) {
    if (what == Change::Caption) setWindowTitle(QString::fromStdString(c.caption));
    if (what != Change::Visible) return;
    if (!c.visible) {
      hide();
      return;
    }
    if (!isVisible()) PlaceInsideScreen(this, parentWidget());
    show();
  });
}

void DisplayWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  binder_.SetFormHidden(control::frmDisplay1);
}

}  // namespace zambrix::gui
