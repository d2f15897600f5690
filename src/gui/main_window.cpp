#include "gui/main_window.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/core.h"
#include "base/interrupt.h"
#include "base/text.h"
#include "gui/about_dialog.h"
#include "gui/differences_window.h"
#include "gui/display_window.h"
#include "gui/hex_edit_view.h"
#include "gui/main_layout.h"
#include "gui/widgets.h"

namespace zambrix::gui {

namespace {
constexpr double kTwipsPerInch = 1440.0;
const char kSimulatedMark[] = " [SIMULATED BOARD]";
constexpr std::string_view kNoFileYet = "Click To Select a File";

// The data file's name opens a data file while no file is named, as the code
// file's name does for the code file.
void WireDataFileLabel(Core& core) {
  if (core.ui.HasHandler("FileNameDataText")) return;
  core.ui.SetHandler("FileNameDataText", [&core] {
    if (Trim(core.ui.Caption("FileNameDataText")) == kNoFileYet) core.buf.mnuFileOpenData_Click();
  });
}

// The first local file of a drag, or empty.
QString DraggedFile(const QMimeData* data) {
  if (data == nullptr) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}
}  // namespace

MainWindow::MainWindow(Core& core, QWidget* parent)
    : QMainWindow(parent), core_(core), binder_(core) {
  setObjectName(QStringLiteral("frmMain"));
  WireDataFileLabel(core_);
  BuildMenus(*this, binder_);
  BuildToolBar(*this, binder_);
  BuildMainControls(*this, binder_);
  about_ = new AboutDialog(binder_, this);
  display_ = new DisplayWindow(binder_, this);
  differences_ = new DifferencesWindow(binder_, this);
  if (auto* hex = qobject_cast<TextView*>(ViewOf("BufferDisplay")))
    hex_ = new HexEditView(binder_, hex);
  // The window lists every difference a failed verify finds.
  core_.buf.ListDifferences = true;

  setWindowIcon(AppIcon());
  port_label_ = new QLabel(statusBar());
  port_label_->setObjectName(QStringLiteral("PortInUse"));
  port_label_->setTextFormat(Qt::PlainText);
  statusBar()->addPermanentWidget(port_label_);
  chip_label_ = new QLabel(statusBar());
  chip_label_->setObjectName(QStringLiteral("ChipInUse"));
  chip_label_->setTextFormat(Qt::PlainText);
  statusBar()->addPermanentWidget(chip_label_);

  binder_.OnForm("frmMain", [this](const Control&, Change what) {
    if (what == Change::Caption) UpdateTitle();
  });
  binder_.after_event = [this] {
    UpdateChipInUse();
    UpdatePortInUse();
    if (hex_ != nullptr) hex_->Refresh();
    // File / Exit asks the window to close, and so may a close that came while
    // an operation ran; the close runs the shutdown.
    if ((core_.shell.ExitRequested() || close_pending_) && !unloaded_)
      QTimer::singleShot(0, this, &QWidget::close);
  };
  UpdateTitle();
  UpdateChipInUse();
  UpdatePortInUse();
  if (QWidget* device = qobject_cast<QWidget*>(ViewOf("Device"))) device->setFocus();
}

void MainWindow::UpdateChipInUse() {
  const auto& dev = core_.dev;
  if (dev.SelectedDeviceName.empty()) {
    chip_label_->setText(QStringLiteral("No chip selected"));
    return;
  }
  QString volts = QStringLiteral("-");
  for (int i = 0; i < 4; ++i) {
    const std::string option = Indexed("Voltage_button", i);
    if (core_.ui.Has(option) && core_.ui.Value(option) != 0)
      volts = QString::fromStdString(core_.ui.Caption(option));
  }
  chip_label_->setText(QStringLiteral("In use: %1, %2 Bytes, VPP %3")
                           .arg(QString::fromStdString(dev.SelectedDeviceName))
                           .arg(dev.DeviceSize)
                           .arg(volts));
}

void MainWindow::UpdatePortInUse() {
  const std::string text = core_.shell.PortInUseText();
  port_label_->setText(QString::fromStdString(text));
  port_label_->setVisible(!text.empty());
}

void MainWindow::UpdateTitle() {
  QString title = QString::fromStdString(core_.ui.Caption("frmMain"));
  if (simulated_) title += QLatin1String(kSimulatedMark);
  setWindowTitle(title);
}

void MainWindow::SetSimulatedBoard(bool simulated, const std::string& description) {
  simulated_ = simulated;
  if (simulated && simulated_label_ == nullptr) {
    simulated_label_ = new QLabel(statusBar());
    simulated_label_->setObjectName(QStringLiteral("SimulatedBoard"));
    QFont f = simulated_label_->font();
    f.setBold(true);
    simulated_label_->setFont(f);
    QPalette pal = simulated_label_->palette();
    pal.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    simulated_label_->setPalette(pal);
    statusBar()->addPermanentWidget(simulated_label_);
  }
  if (simulated_label_ != nullptr) {
    simulated_label_->setText(QStringLiteral("SIMULATED BOARD - no chip is touched"));
    simulated_label_->setToolTip(QString::fromStdString(description));
    simulated_label_->setVisible(simulated);
  }
  UpdateTitle();
}

double MainWindow::TwipsPerPixel() const {
  const QScreen* s = screen();
  const double dpi = s != nullptr && s->logicalDotsPerInch() > 0 ? s->logicalDotsPerInch() : 96.0;
  return kTwipsPerInch / dpi;
}

void MainWindow::ApplyPlacement() {
  const Control& f = core_.ui.Get("frmMain");
  const double tpp = TwipsPerPixel();
  auto px = [tpp](double twips) { return static_cast<int>(std::lround(twips / tpp)); };
  QSize want(px(f.width), px(f.height));
  // A stored width of 100 twips (the first run's default) would make a useless
  // window: the layout's minimum size wins.
  const QSize least = minimumSizeHint().expandedTo(minimumSize());
  want = want.expandedTo(least);
  QPoint at(px(f.left), px(f.top));
  // The screen the placement was stored on may be gone: the window then goes
  // to the primary screen, wholly inside its available area.
  const QScreen* s = QGuiApplication::screenAt(at);
  if (s == nullptr) s = QGuiApplication::primaryScreen();
  if (s != nullptr) {
    const QRect room = PlaceableArea(*s);
    want = want.boundedTo(room.size()).expandedTo(least);
    at.setX(std::clamp(at.x(), room.left(),
                       std::max(room.left(), room.x() + room.width() - want.width())));
    at.setY(std::clamp(at.y(), room.top(),
                       std::max(room.top(), room.y() + room.height() - want.height())));
  }
  resize(want);
  move(at);
  if (f.window_state == 2) setWindowState(windowState() | Qt::WindowMaximized);
}

QRect MainWindow::PlaceableArea(const QScreen& s) const {
  // The frame around the inside: known once shown, otherwise a usual title bar
  // and border.
  QMargins frame(4, 30, 4, 4);
  if (isVisible()) {
    const QRect outer = frameGeometry(), inner = geometry();
    frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                     outer.right() - inner.right(), outer.bottom() - inner.bottom());
  }
  const QRect room = s.availableGeometry();
  // Left and top are the frame's; the size is the inside's.
  return QRect(room.topLeft(),
               room.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()));
}

void MainWindow::StorePlacement() {
  // The position is the frame's, the size the inside's: exactly what
  // ApplyPlacement sets again, so the window does not grow by its frame at
  // every start.
  const double tpp = TwipsPerPixel();
  const QPoint at = frameGeometry().topLeft();
  core_.ui.SetGeometry("frmMain", at.x() * tpp, at.y() * tpp, width() * tpp, height() * tpp);
  const Qt::WindowStates s = windowState();
  core_.ui.SetWindowState("frmMain", s & Qt::WindowMinimized ? 1 : s & Qt::WindowMaximized ? 2 : 0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A close while an operation runs arrives at one of its paint points, between
  // pages, pulses and bytes. Once the operator agrees (a signal does not ask),
  // the operation stops at its next board access, the board is reset, and the
  // window closes when the operation's event has ended.
  if (binder_.Busy()) {
    event->ignore();
    if (close_pending_ || asking_close_) return;
    if (StopRequested() == 0) {
      asking_close_ = true;
      const bool stop = core_.AskToStop(true);
      asking_close_ = false;
      if (!stop) return;
    }
    close_pending_ = true;
    return;
  }
  // Bytes edited by hand are not lost without a word (File / Exit has asked).
  if (!unloaded_ && !core_.shell.ExitRequested() && !core_.buf.MayLoseEdits()) {
    event->ignore();
    return;
  }
  // The shutdown never cancels the close.
  if (!unloaded_) {
    unloaded_ = true;
    Unload();
    // The other windows go with the main window.
    about_->hide();
    display_->hide();
    differences_->hide();
  }
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

bool MainWindow::OnDataArea(const QPoint& at) const {
  const QWidget* under = childAt(at);
  for (const char* name : {"FileNameDataLabel", "FileNameDataText", "FileNameDataSize"}) {
    const auto* area = qobject_cast<const QWidget*>(ViewOf(name));
    if (area != nullptr && area->isVisible() && (under == area || area->isAncestorOf(under)))
      return true;
  }
  return false;
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = DraggedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  const bool data = OnDataArea(event->position().toPoint());
  Buffers& buf = core_.buf;
  const std::string path = file.toStdString();
  binder_.Run([&buf, &path, data] { buf.OpenDroppedFile(path, data); });
}

void MainWindow::Unload() {
  // The way out runs to its end: the reset reaches the board even when a stop
  // was asked for and no board access has seen it yet.
  AcknowledgeStop();
  StorePlacement();
  try {
    core_.shell.Form_Unload();
  } catch (...) {
    try {
      core_.link.Reset();
    } catch (...) {
      // The port itself failed: nothing more can reach the board.
    }
  }
  // The window's own stop is served; a signal's stays for the exit status.
  if (StopRequested() == 0) ClearStop();
}

}  // namespace zambrix::gui
