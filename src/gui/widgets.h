// Small widgets the window is made of: a label that can be clicked, and a
// read-only text view that follows a growing text cheaply.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <cstdint>
#include <functional>
#include <string>

class QPalette;
class QAbstractSlider;
class QIcon;

namespace zambrix::gui {

// A label that reports a left click (the ERROR indicator, the code file name).
// It can elide its text in the middle (file names), say in its tooltip what a
// click does while a click does something, and show itself as an indicator
// lamp.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);
  // Clicks are reported (a handler listens).
  void SetClickable(bool on);
  // Whether a click does something now, and what: the pointing hand and the
  // hint in the tooltip show only then.
  void SetClickHint(bool acts, const QString& hint);
  bool ClickActs() const { return clickable_ && acts_; }
  // Long texts lose their middle rather than widen the window; the tooltip
  // then holds the whole text.
  void SetElideMiddle(bool on);
  // An indicator lamp: a round light before the caption, lit in `colour` or
  // unlit (an invalid colour). The caption stays legible when unlit.
  void SetLamp(const QColor& colour);
  bool IsLamp() const { return lamp_; }
  const QColor& LampColour() const { return lamp_colour_; }
  // What the tooltip shows: the widget's own tooltip, the whole text when it is
  // elided, and the hint when a click acts.
  QString TooltipText() const;
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 signals:
  void clicked();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool Elided() const;
  int LampSpace() const;
  bool clickable_ = false;
  bool acts_ = true;
  bool pressed_ = false;
  bool elide_ = false;
  bool lamp_ = false;
  QColor lamp_colour_;
  QString hint_;
};

// Pages a hex view with the mouse wheel and PageUp, PageDown, Home and End, as
// its scroll bar does: one notch or key is one page.
void InstallPaging(QWidget* view, QAbstractSlider* pager);

// Places a window near `owner` (the primary screen's centre without one) and
// wholly inside the available area of that screen, no larger than it.
void PlaceInsideScreen(QWidget* window, const QWidget* owner);

// The program's icon, drawn as data/zambrix.svg (the desktop entry's icon) draws it.
QIcon AppIcon();

// A read-only multi-line text box mirroring a text of the window model. The
// model's text uses CR LF between lines. Mirror() takes only what was added
// since the last call and inserts it when the event loop next runs, all pieces
// in one go: a log of 100,000 lines is never copied whole, and a long run of
// log lines costs one insertion (the log is not repainted while an operation
// holds the event loop anyway).
class TextView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TextView(QWidget* parent = nullptr);

  // Replaces the whole text.
  void SetWholeText(const std::string& text);
  // Brings the view up to the model's text, which grew at its end.
  void Mirror(const std::string& text);
  // Inserts what is waiting now.
  void Flush();
  // Keep the newest line in view (the log); otherwise show the top (hex view).
  void SetFollowEnd(bool on) { follow_end_ = on; }
  std::size_t MirroredBytes() const { return mirrored_; }
  // Hides a leading empty line (a hex page's text begins with a line break).
  void SetHideLeadingBlank(bool on) { hide_leading_blank_ = on; }
  // Runs whenever the shown text changed.
  std::function<void()> on_changed;

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ShowNewest();
  std::size_t mirrored_ = 0;
  QString pending_;
  void AfterChange();
  bool flush_scheduled_ = false;
  bool follow_end_ = true;
  bool hide_leading_blank_ = false;
};

// A hex page view: monospaced, wide and tall enough for one page of 16 rows,
// its leading empty line hidden, shown from the top.
void DressHexView(TextView* view);

// Model text (CR LF line breaks, UTF-8) as the view shows it.
QString ViewText(std::string_view text);

// The monospaced font of the hex views: DejaVu Sans Mono when installed, else
// the system's fixed font.
QFont MonospaceFont(double point_size);

// A colour of the window model (0x00BBGGRR, or 0x800000xx for a system colour).
QColor ModelColour(std::uint32_t colour, const QPalette& palette);

}  // namespace zambrix::gui
