#include "gui/device_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QProxyStyle>
#include <QScreen>
#include <algorithm>

namespace zambrix::gui {

namespace {

// Some styles open a list as tall as its entries, scrolled by hovering near
// its edges; this list always opens as a list with a scroll bar.
class ListPopupStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == QStyle::SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }
};

// The open list searches as the closed box does.
class SearchingList : public QListView {
 public:
  using QListView::QListView;
  void keyboardSearch(const QString& typed) override {
    const int row = search_.Find(model(), currentIndex().row(), typed);
    if (row >= 0) {
      setCurrentIndex(model()->index(row, modelColumn()));
      scrollTo(currentIndex());
    }
  }

 private:
  TypeSearch search_;
};

constexpr int kMostRows = 20;
constexpr int kFewestRows = 5;

}  // namespace

int TypeSearch::Find(const QAbstractItemModel* model, int current, const QString& typed) {
  const bool going_on =
      since_.isValid() && since_.elapsed() < QApplication::keyboardInputInterval();
  since_.start();
  text_ = going_on ? text_ + typed : typed;
  const int rows = model->rowCount();
  // A longer text may still be the current entry; a new one looks further on.
  for (const QString& text : {text_, typed}) {
    const int from = text == text_ && going_on ? std::max(current, 0) : current + 1;
    for (int i = 0; i < rows; ++i) {
      const int row = (from + i) % rows;
      if (model->index(row, 0).data().toString().contains(text.trimmed(), Qt::CaseInsensitive)) {
        text_ = text;
        return row;
      }
    }
  }
  return -1;
}

DeviceBox::DeviceBox(QWidget* parent) : QComboBox(parent) {
  auto* style = new ListPopupStyle;
  style->setParent(this);
  setStyle(style);
  setView(new SearchingList(this));
  setEditable(false);
  setMaxVisibleItems(kMostRows);
  commit_.setSingleShot(true);
  connect(&commit_, &QTimer::timeout, this, &DeviceBox::Commit);
}

void DeviceBox::showPopup() {
  // As many rows as fit in most of the screen's height, and never all of them.
  if (const QScreen* s = screen()) {
    const int row = std::max(1, view()->sizeHintForRow(0));
    const int fit = s->availableGeometry().height() * 2 / 3 / row;
    setMaxVisibleItems(std::clamp(fit, kFewestRows, kMostRows));
  }
  commit_.stop();
  QComboBox::showPopup();
}

void DeviceBox::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
  // A blank opens the list unless it is part of a name being typed.
  const bool blank = text == QStringLiteral(" ");
  if (plain && text.size() == 1 && text[0].isPrint() && (!blank || commit_.isActive())) {
    const int row = search_.Find(model(), currentIndex(), text);
    if (row >= 0) setCurrentIndex(row);
    commit_.start(QApplication::keyboardInputInterval());
    event->accept();
    return;
  }
  if (commit_.isActive() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    Commit();
    event->accept();
    return;
  }
  QComboBox::keyPressEvent(event);
}

void DeviceBox::focusOutEvent(QFocusEvent* event) {
  if (commit_.isActive()) Commit();
  QComboBox::focusOutEvent(event);
}

void DeviceBox::Commit() {
  commit_.stop();
  if (currentIndex() >= 0) emit activated(currentIndex());
}

}  // namespace zambrix::gui
