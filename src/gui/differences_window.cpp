#include "gui/differences_window.h"

#include <QAbstractTableModel>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "app/core.h"
#include "base/control_names.h"
#include "gui/view_binder.h"
#include "gui/widgets.h"

namespace zambrix::gui {

// The core's list of differences as a table, read where it is: a million rows
// cost nothing until they are shown.
class DifferencesModel : public QAbstractTableModel {
 public:
  DifferencesModel(const Buffers& buf, QObject* parent) : QAbstractTableModel(parent), buf_(buf) {}
  void Reload() {
    beginResetModel();
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(buf_.Differences.size());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const auto& d = buf_.Differences.at(static_cast<std::size_t>(index.row()));
    switch (index.column()) {
      case 0:
        return QStringLiteral("%1").arg(d.address, 6, 16, QLatin1Char('0')).toUpper();
      case 1:
        return QStringLiteral("%1").arg(d.buffer, 2, 16, QLatin1Char('0')).toUpper();
      default:
        return QStringLiteral("%1").arg(d.device, 2, 16, QLatin1Char('0')).toUpper();
    }
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const names[] = {"Address", "Buffer Data", "Device Data"};
    return QString::fromLatin1(names[section]);
  }

 private:
  const Buffers& buf_;
};

DifferencesWindow::DifferencesWindow(ViewBinder& binder, QWidget* owner)
    : QWidget(owner, Qt::Window), binder_(binder) {
  setObjectName(QString::fromLatin1(control::frmDifferences));
  auto* summary = new QLabel(this);
  summary->setTextFormat(Qt::PlainText);
  model_ = new DifferencesModel(binder.core().buf, this);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("DifferencesList"));
  table_->setModel(model_);
  table_->setFont(MonospaceFont(9.0));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  auto* save = new QPushButton(this);
  auto* close = new QPushButton(this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(summary);
  column->addWidget(table_, 1);
  column->addLayout(buttons);
  resize(420, 480);

  binder.Bind(control::frmDifferences_lblSummary, summary);
  binder.Bind(control::frmDifferences_cmdSave, save);
  binder.Bind(control::frmDifferences_cmdClose, close);
  setWindowTitle(QString::fromStdString(binder.core().ui.Caption(control::frmDifferences)));
  binder.OnForm(control::frmDifferences, [this, owner](const Control& c, Change what) {
    if (what == Change::Caption) setWindowTitle(QString::fromStdString(c.caption));
    if (what != Change::Visible) return;
    model_->Reload();
    if (!c.visible) {
      hide();
      return;
    }
    if (!isVisible()) PlaceInsideScreen(this, owner);
    show();
    raise();
  });
  // A double click shows that difference in the hex view.
  connect(table_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    Buffers& buf = binder_.core().buf;
    const auto row = static_cast<std::size_t>(index.row());
    binder_.Run([&buf, row] {
      if (row < buf.Differences.size()) buf.GoToDifference(row);
    });
  });
}

void DifferencesWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  binder_.SetFormHidden(control::frmDifferences);
}

}  // namespace zambrix::gui
