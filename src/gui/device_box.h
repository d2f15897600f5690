// The device list: its open list fits the screen (a bounded number of rows
// with a scroll bar), and typing part of an entry's name ("27c256", "x28",
// "24c16") finds the entry that holds it, in the closed box and in the open
// list. In the closed box the entry found is chosen once typing pauses, or at
// Return, so the chips passed on the way are never selected.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>

namespace zambrix::gui {

// Finds what was typed in a list's entries, anywhere in them and in any case;
// letters typed in quick succession add up.
class TypeSearch {
 public:
  // The row whose entry holds the text typed so far with `typed` added, from
  // `current` on (wrapping round); -1 when none does.
  int Find(const QAbstractItemModel* model, int current, const QString& typed);

 private:
  QString text_;
  QElapsedTimer since_;
};

class DeviceBox : public QComboBox {
  Q_OBJECT
 public:
  explicit DeviceBox(QWidget* parent = nullptr);
  void showPopup() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Commit();
  TypeSearch search_;
  QTimer commit_;
};

}  // namespace zambrix::gui
