// The program's icon, the paging of the hex views and where windows open.
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>

#include "gui/widgets.h"

namespace zambrix::gui {

namespace {

// Draws data/zambrix.svg (a 64 x 64 grid) at `size` pixels: a DIP chip in a
// programmer's socket, with a lit lamp.
QPixmap IconPixmap(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  p.setPen(QPen(QColor(0x0D, 0x2E, 0x1E), 2));
  p.setBrush(QColor(0x1F, 0x5F, 0x3F));
  p.drawRoundedRect(QRectF(4, 6, 56, 52), 5, 5);
  p.setPen(QPen(QColor(0x11, 0x11, 0x11), 1.5));
  p.setBrush(QColor(0x2B, 0x2B, 0x2B));
  p.drawRoundedRect(QRectF(10, 14, 44, 36), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xC8, 0xC8, 0xC8));
  for (int x = 14; x <= 46; x += 8) {
    p.drawRect(QRectF(x, 10, 4, 6));
    p.drawRect(QRectF(x, 48, 4, 6));
  }
  p.setBrush(QColor(0x55, 0x55, 0x55));
  p.drawEllipse(QPointF(17, 21), 2.5, 2.5);
  QColor window(0x6F, 0xA8, 0xDC);
  window.setAlphaF(0.85);
  p.setBrush(window);
  p.drawRoundedRect(QRectF(24, 24, 20, 16), 2, 2);
  p.setPen(QPen(QColor(0x7A, 0x00, 0x00), 1));
  p.setBrush(QColor(0xFF, 0x3B, 0x30));
  p.drawEllipse(QPointF(53, 54), 4, 4);
  return pm;
}

class Pager : public QObject {
 public:
  Pager(QObject* parent, QAbstractSlider* pager) : QObject(parent), pager_(pager) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Wheel) {
      // One notch (120) is one page; smooth wheels add up to a notch first.
      wheel_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
      const int pages = wheel_ / 120;
      wheel_ %= 120;
      if (pages != 0) Go(pager_->value() - pages);
      return true;
    }
    if (event->type() != QEvent::KeyPress) return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_PageUp:
        Go(pager_->value() - 1);
        return true;
      case Qt::Key_PageDown:
        Go(pager_->value() + 1);
        return true;
      case Qt::Key_Home:
        Go(pager_->minimum());
        return true;
      case Qt::Key_End:
        Go(pager_->maximum());
        return true;
      default:
        return false;
    }
  }

 private:
  void Go(int page) {
    if (pager_->isEnabled())
      pager_->setValue(std::clamp(page, pager_->minimum(), pager_->maximum()));
  }
  QAbstractSlider* pager_;
  int wheel_ = 0;
};

}  // namespace

void InstallPaging(QWidget* view, QAbstractSlider* pager) {
  auto* filter = new Pager(view, pager);
  view->installEventFilter(filter);
  if (auto* area = qobject_cast<QAbstractScrollArea*>(view))
    area->viewport()->installEventFilter(filter);
  pager->installEventFilter(filter);
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(IconPixmap(size));
  return icon;
}

void PlaceInsideScreen(QWidget* window, const QWidget* owner) {
  const QScreen* screen = owner != nullptr ? owner->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  // The frame around the inside: known once shown, otherwise a usual one.
  QMargins frame(4, 30, 4, 4);
  if (window->isVisible()) {
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                     outer.right() - inner.right(), outer.bottom() - inner.bottom());
  }
  const QSize most =
      room.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  const QSize size =
      window->size().boundedTo(most).expandedTo(window->minimumSizeHint().boundedTo(most));
  window->resize(size);
  const QPoint centre = owner != nullptr ? owner->frameGeometry().center() : room.center();
  const int w = size.width() + frame.left() + frame.right();
  const int h = size.height() + frame.top() + frame.bottom();
  window->move(
      std::clamp(centre.x() - w / 2, room.left(), std::max(room.left(), room.right() + 1 - w)),
      std::clamp(centre.y() - h / 2, room.top(), std::max(room.top(), room.bottom() + 1 - h)));
}

}  // namespace zambrix::gui
