#include "gui/display_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QScrollBar>

#include "app/core.h"
#include "gui/view_binder.h"
#include "gui/widgets.h"

namespace zambrix::gui {

DisplayWindow::DisplayWindow(ViewBinder& binder, QWidget* owner)
    : QWidget(owner, Qt::Window), binder_(binder) {
  setObjectName(QStringLiteral("frmDisplay1"));
  auto* text = new TextView(this);
  DressHexView(text);
  auto* scroll = new QScrollBar(Qt::Vertical, this);
  scroll->setTracking(false);
  auto* row = new QHBoxLayout(this);
  row->addWidget(text, 1);
  row->addWidget(scroll);

  binder.Bind("frmDisplay1.BufferDisplay", text);
  binder.Bind("frmDisplay1.VScroll1", scroll);
  setWindowTitle(QString::fromStdString(binder.core().ui.Caption("frmDisplay1")));
  binder.OnForm("frmDisplay1", [this](const Control& c, Change what) {
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
  binder_.SetFormHidden("frmDisplay1");
}

}  // namespace zambrix::gui
