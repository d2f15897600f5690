// The code buffer's hex view as an editor: keys and clicks become the core's
// edit events, and the view marks the byte under the cursor, the bytes changed
// since the buffer was last loaded, read or saved, and after a failed verify
// every byte where the chip differs.
#pragma once

#include <QColor>
#include <QObject>
#include <cstdint>
#include <optional>

class QKeyEvent;
class QMouseEvent;
class QPoint;

namespace zambrix::gui {

class TextView;
class ViewBinder;

class HexEditView : public QObject {
  Q_OBJECT
 public:
  HexEditView(ViewBinder& binder, TextView* view);
  // Draws the marks from the core's state.
  void Refresh();

  // Where a byte's cells lie in a page's text: its line, and the columns of
  // its two hex digits and of its character.
  static int HexColumn(int byte_in_row) { return 8 + 2 * byte_in_row + byte_in_row / 4; }
  static int CharColumn(int byte_in_row) { return 46 + byte_in_row; }
  // The backgrounds of a changed byte and of a byte where the chip differs.
  static QColor ChangedColour() { return {0xFF, 0xE0, 0x80}; }
  static QColor DifferenceColour() { return {0xFF, 0xB0, 0xB0}; }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  struct Cell {
    std::int32_t address = 0;
    bool ascii = false;
  };
  bool Key(QKeyEvent* key);
  void Click(QMouseEvent* click);
  void FitRows();
  std::optional<Cell> CellAt(const QPoint& at) const;
  // True when the text is the page the core says is shown.
  bool ShowsPage(std::int32_t first) const;

  ViewBinder& binder_;
  TextView* view_;
};

}  // namespace zambrix::gui
