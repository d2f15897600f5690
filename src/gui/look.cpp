// The program's icon and the paging of the hex views.
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>
#include <algorithm>

#include "gui/widgets.h"

namespace zambrix::gui {

namespace {

// Draws the icon on a 64 x 64 grid, scaled to `size` pixels.
QPixmap IconPixmap(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  const QColor pins(0xD8, 0xD8, 0xD8);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1D, 0x4F, 0x91));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  p.setBrush(pins);
  for (int y = 12; y <= 44; y += 8) {
    p.drawRect(QRectF(10, y, 9, 4));
    p.drawRect(QRectF(45, y, 9, 4));
  }
  p.setPen(QPen(pins, 2));
  p.setBrush(QColor(0x2B, 0x2B, 0x2B));
  p.drawRoundedRect(QRectF(18, 8, 28, 44), 3, 3);
  p.setPen(QPen(pins, 1.5));
  p.setBrush(QColor(0x8F, 0xD3, 0xFF));
  p.drawEllipse(QPointF(32, 30), 8, 8);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFF, 0xD2, 0x3F));
  p.drawRoundedRect(QRectF(14, 55, 36, 4), 2, 2);
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
    if (pager_->isEnabled()) pager_->setValue(std::clamp(page, pager_->minimum(), pager_->maximum()));
  }
  QAbstractSlider* pager_;
  int wheel_ = 0;
};

}  // namespace

void InstallPaging(QWidget* view, QAbstractSlider* pager) {
  auto* filter = new Pager(view, pager);
  view->installEventFilter(filter);
  if (auto* area = qobject_cast<QAbstractScrollArea*>(view)) area->viewport()->installEventFilter(filter);
  pager->installEventFilter(filter);
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(IconPixmap(size));
  return icon;
}

}  // namespace zambrix::gui
