// The operator's main window "frmMain": a thin view over the core's window
// model, with the about box and the display window it owns.
#pragma once

#include <QMainWindow>
#include <string>

#include "gui/view_binder.h"

class QLabel;
class QScreen;

namespace zambrix {
class Core;
}

namespace zambrix::gui {

class AboutDialog;
class DifferencesWindow;
class DisplayWindow;
class HexEditView;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The core's controls must be declared (Shell::CreateWindow) before.
  explicit MainWindow(Core& core, QWidget* parent = nullptr);

  // Says plainly in the title and the status bar that no chip is touched.
  void SetSimulatedBoard(bool simulated, const std::string& description);
  // The status bar names the real port behind the port choice in use (after
  // every event, and once the back end is announced).
  void UpdatePortInUse();
  // Places the window as the model's frmMain says (twips: left and top of the
  // frame, width and height inside it); the layout's minimum size wins over a
  // smaller stored size, and the window stays on the screen.
  void ApplyPlacement();
  // Writes the window's placement and state (minimised = 1) into the model.
  void StorePlacement();

  QObject* ViewOf(const std::string& name) const { return binder_.ViewOf(name); }
  ViewBinder& binder() { return binder_; }
  AboutDialog* about() const { return about_; }
  DisplayWindow* display() const { return display_; }
  DifferencesWindow* differences() const { return differences_; }
  // Twips per pixel of this window's screen (15 at 96 dots per inch).
  double TwipsPerPixel() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // A file dropped on the window opens as the code file; on the data area,
  // while data files can be opened, as the data file.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void UpdateTitle();
  // The shutdown: the board reset and the settings saved, whatever fails.
  void Unload();
  // The status bar names the chip in use, its size and programming voltage.
  void UpdateChipInUse();
  // Where the window's inside may go on a screen (its frame counted).
  QRect PlaceableArea(const QScreen& s) const;
  bool OnDataArea(const QPoint& at) const;

  Core& core_;
  ViewBinder binder_;
  AboutDialog* about_ = nullptr;
  DisplayWindow* display_ = nullptr;
  DifferencesWindow* differences_ = nullptr;
  HexEditView* hex_ = nullptr;
  QLabel* simulated_label_ = nullptr;
  QLabel* chip_label_ = nullptr;
  QLabel* port_label_ = nullptr;
  bool close_pending_ = false;
  bool asking_close_ = false;
  bool simulated_ = false;
  bool unloaded_ = false;
};

}  // namespace zambrix::gui
