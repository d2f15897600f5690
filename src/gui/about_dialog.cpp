#include "gui/about_dialog.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QPushButton>
#include <QStyle>

#include "app/core.h"
#include "base/control_names.h"
#include "gui/view_binder.h"
#include "gui/widgets.h"

namespace zambrix::gui {

namespace {

QLabel* Text(QWidget* parent, bool wrap) {
  auto* l = new ClickLabel(parent);
  l->setWordWrap(wrap);
  return l;
}

QFrame* Line(QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setFrameShape(QFrame::HLine);
  f->setFrameShadow(QFrame::Sunken);
  return f;
}

}  // namespace

AboutDialog::AboutDialog(ViewBinder& binder, QWidget* owner) : QDialog(owner), binder_(binder) {
  setObjectName(QString::fromLatin1(control::frmAbout));
  setModal(true);
  setMinimumWidth(520);

  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);
  auto* title = Text(this, false);
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  title->setFont(big);
  auto* version = Text(this, false);
  auto* description = Text(this, true);
  auto* label1 = Text(this, true);
  auto* disclaimer = Text(this, true);
  auto* ok = new QPushButton(this);
  ok->setDefault(true);
  auto* sysinfo = new QPushButton(this);

  auto* head = new QVBoxLayout;
  head->addWidget(title);
  head->addWidget(version);
  head->addWidget(description);
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addLayout(head, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(sysinfo);
  auto* v = new QVBoxLayout(this);
  v->addLayout(top);
  v->addWidget(Line(this));
  v->addWidget(label1);
  v->addWidget(disclaimer);
  v->addWidget(Line(this));
  v->addLayout(buttons);

  binder.Bind(control::frmAbout_picIcon, icon);
  binder.Bind(control::frmAbout_lblTitle, title);
  binder.Bind(control::frmAbout_lblVersion, version);
  binder.Bind(control::frmAbout_lblDescription, description);
  binder.Bind(control::frmAbout_Label1, label1);
  binder.Bind(control::frmAbout_lblDisclaimer, disclaimer);
  binder.Bind(control::frmAbout_cmdOK, ok);
  binder.Bind(control::frmAbout_cmdSysInfo, sysinfo);

  const Control& form = binder.core().ui.Get(control::frmAbout);
  setWindowTitle(QString::fromStdString(form.caption));
  binder.OnForm(control::frmAbout, [this](const Control& c, Change what) {
    if (what == Change::Caption) setWindowTitle(QString::fromStdString(c.caption));
    if (what == Change::Visible) c.visible ? show() : hide();
  });
}

void AboutDialog::reject() {
  QDialog::reject();
  binder_.SetFormHidden(control::frmAbout);
}

}  // namespace zambrix::gui
