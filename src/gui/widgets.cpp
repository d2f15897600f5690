#include "gui/widgets.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace zambrix::gui {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

void ClickLabel::SetClickable(bool on) {
  clickable_ = on;
  setCursor(ClickActs() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void ClickLabel::SetClickHint(bool acts, const QString& hint) {
  acts_ = acts;
  hint_ = hint;
  setCursor(ClickActs() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void ClickLabel::SetElideMiddle(bool on) {
  elide_ = on;
  update();
}

void ClickLabel::SetLamp(const QColor& colour) {
  lamp_ = true;
  lamp_colour_ = colour;
  update();
}

bool ClickLabel::Elided() const {
  return elide_ && fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QString ClickLabel::TooltipText() const {
  QStringList parts;
  if (!toolTip().isEmpty()) parts << toolTip();
  if (elide_ && !ClickActs() && !text().isEmpty()) parts << text();
  if (ClickActs() && !hint_.isEmpty()) parts << hint_;
  return parts.join(QLatin1Char('\n'));
}

bool ClickLabel::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QLabel::event(event);
  const QString tip = TooltipText();
  if (tip.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
  }
  return true;
}

int ClickLabel::LampSpace() const { return lamp_ ? fontMetrics().height() + 8 : 0; }

QSize ClickLabel::sizeHint() const { return QLabel::sizeHint() + QSize(LampSpace(), 0); }

QSize ClickLabel::minimumSizeHint() const {
  if (elide_)
    return {fontMetrics().horizontalAdvance(QStringLiteral("...")),
            QLabel::minimumSizeHint().height()};
  return QLabel::minimumSizeHint() + QSize(LampSpace(), 0);
}

void ClickLabel::paintEvent(QPaintEvent* event) {
  if (!elide_ && !lamp_) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter p(this);
  drawFrame(&p);
  QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  if (lamp_) {
    const int d = std::max(6, std::min(r.height() - 8, fontMetrics().height() - 4));
    const QRect light(r.left() + 6, r.center().y() - d / 2 + 1, d, d);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(palette().color(QPalette::Dark));
    p.setBrush(lamp_colour_.isValid() ? lamp_colour_ : palette().color(QPalette::Mid));
    p.drawEllipse(light);
    r.setLeft(light.right() + 4);
  }
  p.setPen(palette().color(QPalette::WindowText));
  const QString shown =
      elide_ ? fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width()) : text();
  p.drawText(r, static_cast<int>(alignment()), shown);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = clickable_ && event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) emit clicked();
}

TextView::TextView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setTabChangesFocus(true);  // read-only: Tab moves on
  setLineWrapMode(QPlainTextEdit::NoWrap);
  // Keep the caret visible so the operator sees where the text ends.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QString ViewText(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

void TextView::SetWholeText(const std::string& text) {
  pending_.clear();
  setPlainText(ViewText(text));
  mirrored_ = text.size();
  ShowNewest();
  AfterChange();
}

void TextView::AfterChange() {
  QTextBlock first = document()->firstBlock();
  if (hide_leading_blank_ && first.isValid() && first.text().isEmpty() &&
      document()->blockCount() > 1 && first.isVisible()) {
    first.setVisible(false);
    document()->markContentsDirty(first.position(), first.length());
  }
  if (on_changed) on_changed();
}

void TextView::Mirror(const std::string& text) {
  if (text.size() < mirrored_) {  // replaced, not grown
    SetWholeText(text);
    return;
  }
  if (text.size() == mirrored_) return;
  std::size_t from = mirrored_;
  // A CR LF split across two appends is still one line break.
  if (from > 0 && text[from - 1] == '\r' && text[from] == '\n') ++from;
  pending_ += ViewText(std::string_view(text).substr(from));
  mirrored_ = text.size();
  if (!flush_scheduled_) {
    flush_scheduled_ = true;
    QTimer::singleShot(0, this, &TextView::Flush);
  }
}

void TextView::Flush() {
  flush_scheduled_ = false;
  if (pending_.isEmpty()) return;
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(pending_);
  pending_.clear();
  ShowNewest();
  AfterChange();
}

void TextView::ShowNewest() {
  if (follow_end_) {
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  } else {
    moveCursor(QTextCursor::Start);
  }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void DressHexView(TextView* view) {
  view->SetFollowEnd(false);
  view->SetHideLeadingBlank(true);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // its own scroll bar pages
  view->setCursorWidth(0);  // the byte under the cursor is marked instead
  view->setAcceptDrops(false);
  view->setFont(MonospaceFont(9.0));
  QFontMetrics fm(view->font());
  // 62 characters a row and 16 rows, plus the frame and the document margin.
  view->setMinimumSize(fm.horizontalAdvance(QString(64, QLatin1Char('0'))) + 12,
                       fm.lineSpacing() * 16 + 14);
}

QFont MonospaceFont(double point_size) {
  QFont f;
  if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Mono"))) {
    f = QFont(QStringLiteral("DejaVu Sans Mono"));
  } else {
    f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  }
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  f.setPointSizeF(point_size);
  return f;
}

QColor ModelColour(std::uint32_t colour, const QPalette& palette) {
  if ((colour & 0x80000000u) == 0) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
  }
  switch (colour & 0xFF) {
    case 4:   // menu
    case 15:  // button face
      return palette.color(QPalette::Button);
    case 5:  // window
      return palette.color(QPalette::Base);
    case 13:  // highlight
      return palette.color(QPalette::Highlight);
    case 14:  // highlight text
      return palette.color(QPalette::HighlightedText);
    case 16:  // button shadow
      return palette.color(QPalette::Dark);
    case 17:  // grey text
      return palette.color(QPalette::Disabled, QPalette::WindowText);
    case 18:  // button text
      return palette.color(QPalette::ButtonText);
    case 20:  // button highlight
      return palette.color(QPalette::Light);
    default:  // window text and the rest
      return palette.color(QPalette::WindowText);
  }
}

}  // namespace zambrix::gui
