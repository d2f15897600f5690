// The "Differences" window: every address where the chip differs from the
// buffer after a failed verify, with both bytes; Save As writes the list as
// text, a double click shows the difference in the hex view.
#pragma once

#include <QWidget>

class QTableView;

namespace zambrix::gui {

class DifferencesModel;
class ViewBinder;

class DifferencesWindow : public QWidget {
  Q_OBJECT
 public:
  DifferencesWindow(ViewBinder& binder, QWidget* owner);
  QTableView* table() const { return table_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ViewBinder& binder_;
  DifferencesModel* model_ = nullptr;
  QTableView* table_ = nullptr;
};

}  // namespace zambrix::gui
