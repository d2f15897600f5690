// The about box: modal, owned by the main window, shown while the model's
// "frmAbout" is visible.
#pragma once

#include <QDialog>

namespace zambrix::gui {

class ViewBinder;

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(ViewBinder& binder, QWidget* owner);

 protected:
  // Closed by its window's close button or Escape: unloaded like OK does.
  void reject() override;

 private:
  ViewBinder& binder_;
};

}  // namespace zambrix::gui
