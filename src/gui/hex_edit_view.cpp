#include "gui/hex_edit_view.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <algorithm>

#include "app/core.h"
#include "base/control_names.h"
#include "gui/view_binder.h"
#include "gui/widgets.h"

namespace zambrix::gui {

namespace {

// A character of the hex column's digits, or -1.
int HexDigit(const QString& text) {
  if (text.size() != 1) return -1;
  bool ok = false;
  const int d = text.toInt(&ok, 16);
  return ok ? d : -1;
}

QTextEdit::ExtraSelection Mark(QTextDocument* doc, int line, int column, int length,
                               const QTextCharFormat& format) {
  QTextEdit::ExtraSelection s;
  const QTextBlock block = doc->findBlockByNumber(line);
  s.cursor = QTextCursor(block);
  s.cursor.setPosition(block.position() + column);
  s.cursor.setPosition(block.position() + column + length, QTextCursor::KeepAnchor);
  s.format = format;
  return s;
}

}  // namespace

HexEditView::HexEditView(ViewBinder& binder, TextView* view)
    : QObject(view), binder_(binder), view_(view) {
  view->installEventFilter(this);
  view->viewport()->installEventFilter(this);
  view->on_changed = [this] { Refresh(); };
  // After Go to Address the keys type at the address gone to.
  if (auto* go = qobject_cast<QAction*>(binder.ViewOf(control::mnuEditGoTo))) {
    connect(go, &QAction::triggered, view, [view] {
      if (view->isVisible()) view->setFocus(Qt::ShortcutFocusReason);
    });
  }
}

bool HexEditView::ShowsPage(std::int32_t first) const {
  const QTextBlock row = view_->document()->findBlockByNumber(1);
  return row.isValid() &&
         row.text().startsWith(QStringLiteral("%1|").arg(first, 6, 16, QLatin1Char('0')).toUpper());
}

void HexEditView::Refresh() {
  const Buffers& buf = binder_.core().buf;
  const Buffers::ShownPage shown = buf.Shown();
  QList<QTextEdit::ExtraSelection> marks;
  if (shown.kind != Buffers::ShownKind::Other && ShowsPage(shown.first)) {
    const QPalette& pal = view_->palette();
    QTextCharFormat changed;
    changed.setBackground(ChangedColour());
    changed.setForeground(QColor(0x80, 0x30, 0x00));
    changed.setFontWeight(QFont::Bold);
    QTextCharFormat differs;
    differs.setBackground(DifferenceColour());
    differs.setForeground(QColor(0xA0, 0x00, 0x00));
    differs.setFontWeight(QFont::Bold);
    QTextCharFormat cursor;
    cursor.setBackground(pal.color(QPalette::Highlight));
    cursor.setForeground(pal.color(QPalette::HighlightedText));
    QTextCharFormat other_column;
    other_column.setBackground(pal.color(QPalette::Inactive, QPalette::Highlight).lighter(150));
    const bool code = shown.kind == Buffers::ShownKind::Code;
    for (int row = 0; row < shown.rows; ++row) {
      for (int i = 0; i < 16; ++i) {
        const std::int32_t a = shown.first + row * 16 + i;
        if (a >= shown.end) continue;
        const bool marked = code ? buf.CodeEdits.Changed(a) : buf.DifferenceAt(a) != nullptr;
        if (marked) {
          const QTextCharFormat& f = code ? changed : differs;
          marks << Mark(view_->document(), row + 1, HexColumn(i), 2, f)
                << Mark(view_->document(), row + 1, CharColumn(i), 1, f);
        }
        if (a != buf.Cursor.address) continue;
        const bool ascii = code && buf.Cursor.ascii;
        const bool low = code && !ascii && buf.Cursor.low_nibble;
        marks << Mark(view_->document(), row + 1, HexColumn(i) + (low ? 1 : 0), low ? 1 : 2,
                      ascii ? other_column : cursor)
              << Mark(view_->document(), row + 1, CharColumn(i), 1, ascii ? cursor : other_column);
      }
    }
  }
  view_->setExtraSelections(marks);
}

std::optional<HexEditView::Cell> HexEditView::CellAt(const QPoint& at) const {
  const Buffers::ShownPage shown = binder_.core().buf.Shown();
  if (shown.kind != Buffers::ShownKind::Code || !ShowsPage(shown.first)) return std::nullopt;
  const QTextCursor c = view_->cursorForPosition(at);
  const int row = c.blockNumber() - 1;
  const int column = c.positionInBlock();
  if (row < 0 || row >= shown.rows) return std::nullopt;
  int byte = -1;
  bool ascii = false;
  if (column >= CharColumn(0) && column < CharColumn(16)) {
    byte = column - CharColumn(0);
    ascii = true;
  } else if (column >= HexColumn(0) && column < HexColumn(16)) {
    const int in_group = (column - HexColumn(0)) % 9;
    byte = (column - HexColumn(0)) / 9 * 4 + std::min(in_group / 2, 3);
  }
  const std::int32_t address = shown.first + row * 16 + byte;
  if (byte < 0 || address >= shown.end) return std::nullopt;
  return Cell{address, ascii};
}

void HexEditView::Click(QMouseEvent* click) {
  if (click->button() != Qt::LeftButton) return;
  const auto cell = CellAt(click->position().toPoint());
  if (!cell) return;
  view_->setFocus(Qt::MouseFocusReason);
  Buffers& buf = binder_.core().buf;
  binder_.RunShort([&buf, cell] { buf.EditCursorTo(cell->address, cell->ascii); });
}

bool HexEditView::Key(QKeyEvent* key) {
  Buffers& buf = binder_.core().buf;
  if (!buf.CodeViewEditable()) return false;
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  std::function<void()> act;
  switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Backspace:
      act = [&buf] { buf.MoveEditCursor(-1); };
      break;
    case Qt::Key_Right:
      act = [&buf] { buf.MoveEditCursor(1); };
      break;
    case Qt::Key_Up:
      act = [&buf] { buf.MoveEditCursor(-16); };
      break;
    case Qt::Key_Down:
      act = [&buf] { buf.MoveEditCursor(16); };
      break;
    case Qt::Key_Tab:
      if (mods != Qt::ControlModifier) return false;
      act = [&buf] { buf.SwitchEditColumn(); };
      break;
    default:
      break;
  }
  const QString text = key->text();
  if (!act && (mods & ~Qt::ShiftModifier) == 0 && text.size() == 1) {
    const QChar ch = text[0];
    if (buf.Cursor.ascii && ch.unicode() >= 0x20 && ch.unicode() < 0x7F) {
      const auto byte = static_cast<std::uint8_t>(ch.unicode());
      act = [&buf, byte] { buf.TypeCharacter(byte); };
    } else if (const int d = HexDigit(text); !buf.Cursor.ascii && d >= 0) {
      act = [&buf, d] { buf.TypeHexDigit(d); };
    }
  }
  if (!act) return false;
  binder_.RunShort(act);
  return true;
}

// A taller view shows more rows from the page on, as many as fit.
void HexEditView::FitRows() {
  const int line = view_->fontMetrics().lineSpacing();
  const auto margin = static_cast<int>(2 * view_->document()->documentMargin());
  const int rows = std::clamp((view_->viewport()->height() - margin) / std::max(1, line), 16, 256);
  Buffers& buf = binder_.core().buf;
  if (rows == buf.ViewRows) return;
  buf.ViewRows = rows;
  binder_.RunShort([&buf] { buf.VScroll1_Change(); });
}

bool HexEditView::eventFilter(QObject* target, QEvent* event) {
  if (event->type() == QEvent::Resize && target == view_->viewport()) FitRows();
  if (event->type() == QEvent::KeyPress && target == view_)
    return Key(static_cast<QKeyEvent*>(event));
  if (event->type() == QEvent::MouseButtonPress && target == view_->viewport())
    Click(static_cast<QMouseEvent*>(event));
  return false;
}

}  // namespace zambrix::gui
