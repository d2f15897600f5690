// Small widgets the window is made of: a label that can be clicked, and a
// read-only text view that follows a growing text cheaply.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <cstdint>
#include <string>

class QPalette;

namespace zambrix::gui {

// A label that reports a left click (the ERROR indicator, the code file name).
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);
  void SetClickable(bool on);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool clickable_ = false;
  bool pressed_ = false;
};

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

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ShowNewest();
  std::size_t mirrored_ = 0;
  QString pending_;
  bool flush_scheduled_ = false;
  bool follow_end_ = true;
};

// A hex page view: monospaced, wide and tall enough for one page of 16 rows
// below its leading empty line, shown from the top.
void DressHexView(TextView* view);

// Model text (CR LF line breaks, UTF-8) as the view shows it.
QString ViewText(std::string_view text);

// The monospaced font of the hex views: DejaVu Sans Mono when installed, else
// the system's fixed font.
QFont MonospaceFont(double point_size);

// A colour of the window model (0x00BBGGRR, or 0x800000xx for a system colour).
QColor ModelColour(std::uint32_t colour, const QPalette& palette);

}  // namespace zambrix::gui
