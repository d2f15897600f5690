// The secondary display window "frmDisplay1": a hex page and a scroll bar, not
// modal, shown while the model's "frmDisplay1" is visible.
#pragma once

#include <QWidget>

namespace zambrix::gui {

class ViewBinder;

class DisplayWindow : public QWidget {
  Q_OBJECT
 public:
  DisplayWindow(ViewBinder& binder, QWidget* owner);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ViewBinder& binder_;
};

}  // namespace zambrix::gui
