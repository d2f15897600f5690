// The window as a desktop user meets it: the device list and the chip in use,
// paging the hex view, labels that act on a click, keys, placement, help and
// painting while an operation runs.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>
#include <fstream>

#include "gui/about_dialog.h"
#include "gui/qt_services.h"
#include "gui/widgets.h"
#include "gui_support.h"
#include "support/temp_dir.h"

namespace zambrix::gui::testing {
namespace {

class Desktop : public WindowTest {
 protected:
  QComboBox* Devices() const { return View<QComboBox>("Device"); }
  // Chooses a list entry as the operator does.
  void Choose(const QString& entry) {
    const int index = Devices()->findText(entry, Qt::MatchStartsWith);  // entries are padded
    ASSERT_GE(index, 0) << entry.toStdString();
    Devices()->setCurrentIndex(index);
    emit Devices()->activated(index);
  }
  QString ChipInUse() const { return window->findChild<QLabel*>("ChipInUse")->text(); }
  int Page() const { return t->ui.Value("VScroll1"); }
  void Wheel(QWidget* w, int delta) {
    QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
  }
  std::string File(const std::string& name, const std::string& bytes) {
    const auto path = dir.path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  void OpenCode(const std::string& path) {
    t.dialogs.open_files.push_back(path);
    View<QAction>("mnuFileOpenCode")->trigger();
  }
  zambrix::testing::TempDir dir;
};

// The box holds only entries; a refused entry shows the prompt while the
// status bar keeps naming the chip in use, its size and voltage.
TEST_F(Desktop, DeviceBoxShowsEntriesAndTheStatusBarTheChipInUse) {
  EXPECT_FALSE(Devices()->isEditable());
  EXPECT_EQ(ChipInUse(), "No chip selected");
  Choose("Eprom 2732A");
  EXPECT_EQ(ChipInUse(), "In use: Eprom 2732A, 4096 Bytes, VPP 12.5V");
  QTest::mouseClick(View<QRadioButton>("Voltage_button(3)"), Qt::LeftButton);
  EXPECT_EQ(ChipInUse(), "In use: Eprom 2732A, 4096 Bytes, VPP 25V");
  Choose("N/A - Flash AMD AM29F040");
  EXPECT_EQ(Devices()->currentIndex(), -1);
  EXPECT_EQ(ShownText(Devices()), "Please Select Device on this List");
  EXPECT_EQ(ChipInUse(), "In use: Eprom 2732A, 4096 Bytes, VPP 25V");
  // Typing searches the list: what is shown is the entry taken.
  Devices()->setFocus();
  QTest::keyClicks(Devices(), "Eeprom 24C08");
  EXPECT_GE(Devices()->currentIndex(), 0);
  EXPECT_EQ(Devices()->currentText().toStdString(), t->ui.Text("Device"));
  EXPECT_EQ(ChipInUse().toStdString(), "In use: " + t->dev.SelectedDeviceName + ", " +
                                           std::to_string(t->dev.DeviceSize) + " Bytes, VPP 5V");
}

// The wheel and the paging keys over the hex view turn pages as the scroll bar
// does; a 960-byte file's last page is reachable and ends in blanks; the frame
// names the buffer.
TEST_F(Desktop, WheelAndKeysPageTheHexViewToTheLastPartialPage) {
  Choose("Eprom 27C256");
  QTest::mouseClick(View<QPushButton>("Show_button"), Qt::LeftButton);
  auto* view = View<TextView>("BufferDisplay");
  Wheel(view->viewport(), -120);
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(ShownText(view).startsWith("\n000100| "));
  Wheel(View<QScrollBar>("VScroll1"), -240);
  EXPECT_EQ(Page(), 3);
  const std::pair<Qt::Key, int> keys[] = {{Qt::Key_End, 127},    {Qt::Key_PageDown, 127},
                                          {Qt::Key_PageUp, 126}, {Qt::Key_Home, 0},
                                          {Qt::Key_PageUp, 0},   {Qt::Key_PageDown, 1}};
  for (auto [key, page] : keys) {
    QTest::keyClick(view, key);
    EXPECT_EQ(Page(), page) << key;
  }

  OpenCode(File("short.bin", std::string(960, 'A')));
  EXPECT_EQ(View<QScrollBar>("VScroll1")->maximum(), 3);
  QTest::keyClick(view, Qt::Key_End);
  EXPECT_EQ(Page(), 3);
  const QStringList rows = ShownText(view).split('\n');
  ASSERT_EQ(rows.size(), 17);
  EXPECT_EQ(rows[12], "0003B0| 41414141 41414141 41414141 41414141 | AAAAAAAAAAAAAAAA");
  EXPECT_EQ(rows[13].trimmed(), "0003C0|                                     |");
  EXPECT_EQ(View<QGroupBox>("Frame3")->title(), "Code Buffer Hex/Ascii Display");
}

// Labels that act on a click say so while the click acts; file names keep their
// case, lose their middle when long and show the whole path as the tooltip.
TEST_F(Desktop, FileNameLabelsOpenAFileWhileNoneIsNamed) {
  t->ui.SetVisible("FileNameDataText", true);  // shown for chips with a data area
  struct Case {
    const char* label;
    const char* tooltip;
    const char* dialog;
  };
  const Case cases[] = {
      {"FileNameCodeText", "Click to open a code file", "Open Code File"},
      {"FileNameDataText", "Click to open a data file", "Open Data File (eeprom)"}};
  window->resize(1000, 700);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    auto* label = View<ClickLabel>(c.label);
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(label->TooltipText(), c.tooltip);
    const std::string path =
        File(std::string("MixedCase_") + c.label + std::string(90, 'x') + ".BiN", "AB");
    t.dialogs.open_files.push_back(path);
    QTest::mouseClick(label, Qt::LeftButton);
    ASSERT_FALSE(t.dialogs.shown.empty());
    EXPECT_EQ(t.dialogs.shown.back().text, c.dialog);
    EXPECT_EQ(label->text().toStdString(), path);
    EXPECT_EQ(label->TooltipText().toStdString(), path);
    EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor);  // the click does nothing now
    EXPECT_LT(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    const auto shown = t.dialogs.shown.size();
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(t.dialogs.shown.size(), shown);
  }
}

TEST_F(Desktop, TheErrorLampActsOnAClickOnlyWhileLit) {
  auto* error = View<ClickLabel>("Error_label");
  EXPECT_EQ(error->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(error->TooltipText(), "");
  t->report.ErrorLightOn();
  EXPECT_EQ(error->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(error->TooltipText(), "Click to turn the error alert off");
  EXPECT_EQ(error->LampColour(), QColor(255, 0, 0));
  QTest::mouseClick(error, Qt::LeftButton);
  EXPECT_EQ(t.LogLines().back(), "Error Alert was Turned Off");
  EXPECT_EQ(error->cursor().shape(), Qt::ArrowCursor);
  // Unlit lamps keep a legible caption; only their light is dark.
  auto* flow = View<ClickLabel>("DataFlow_label");
  EXPECT_FALSE(flow->LampColour().isValid());
  EXPECT_EQ(flow->palette().color(QPalette::WindowText),
            QApplication::palette().color(QPalette::WindowText));
  EXPECT_TRUE(flow->isEnabled());
}

TEST_F(Desktop, ShortcutsAndTabOrder) {
  const std::pair<const char*, QKeySequence> keys[] = {
      {"mnuFileOpenCode", QKeySequence("Ctrl+O")}, {"mnuFileSaveCode", QKeySequence("Ctrl+S")},
      {"mnuHelpContents", QKeySequence("F1")},     {"menuReadCode", QKeySequence("F5")},
      {"menuBlankCheck", QKeySequence("F6")},      {"menuProgramCode", QKeySequence("F7")},
      {"menuVerifyCode", QKeySequence("F8")},      {"menuDisplayCode", QKeySequence("F9")}};
  for (auto [name, key] : keys) EXPECT_EQ(View<QAction>(name)->shortcut(), key) << name;
  // No key is given twice.
  QList<QKeySequence> all;
  for (QAction* a : window->findChildren<QAction*>()) {
    if (!a->shortcut().isEmpty()) all << a->shortcut();
  }
  EXPECT_EQ(QSet<QKeySequence>(all.begin(), all.end()).size(), all.size());

  int* opened = CountClicks("mnuFileOpenCode");
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(*opened, 1);

  // The chain starts at the device list and reads down the left column, then
  // the right one.
  EXPECT_EQ(QApplication::focusWidget(), Devices());
  QStringList chain;
  QWidget* w = Devices();
  const QStringList wanted = {"Device",      "BufferDisplay", "SystemLog", "TestHardware_button",
                              "Read_button", "CheckCode",     "Slider1"};
  do {
    if (wanted.contains(w->objectName()) && !chain.contains(w->objectName()))
      chain << w->objectName();
    w = w->nextInFocusChain();
  } while (w != Devices());
  EXPECT_EQ(chain, wanted);
}

// A placement stored on a screen that is gone comes back whole on this one; a
// maximised window comes back maximised.
TEST_F(Desktop, PlacementIsClampedToTheScreen) {
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  const double tpp = window->TwipsPerPixel();
  const double far = 1e6, big = 5e5;
  const double stored[][4] = {{far, far, 9000, 6000}, {-far, -far, 9000, 6000}, {0, 0, big, big}};
  for (const auto& s : stored) {
    t->ui.SetGeometry("frmMain", s[0], s[1], s[2], s[3]);
    window->ApplyPlacement();
    // On each axis the window lies inside the screen, or starts at its edge
    // when the screen is smaller than the layout.
    auto inside = [](int at, int size, int from, int span) {
      return size <= span ? at >= from && at + size <= from + span : at == from;
    };
    EXPECT_TRUE(inside(window->x(), window->width(), room.x(), room.width())) << s[0];
    EXPECT_TRUE(inside(window->y(), window->height(), room.y(), room.height())) << s[1];
  }
  t->ui.SetGeometry("frmMain", 300 * tpp, 200 * tpp, 700 * tpp, 500 * tpp);
  t->ui.SetWindowState("frmMain", 2);
  window->ApplyPlacement();
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

// A large window gives its height to the log and the hex view; buttons keep
// their size.
TEST_F(Desktop, ExtraSpaceGoesToTheLogAndTheHexView) {
  window->setWindowState(Qt::WindowNoState);
  window->resize(1900, 1400);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  auto* log = View<QWidget>("Frame6");
  auto* hex = View<QWidget>("Frame3");
  auto* read = View<QWidget>("Read_button");
  EXPECT_GT(log->height(), hex->height());
  EXPECT_GT(hex->height(), hex->minimumSizeHint().height());
  EXPECT_LT(read->height(), 60);
  EXPECT_LT(read->width(), 250);
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_FALSE(window->about()->windowIcon().isNull());
}

// A button's face follows the model's back colour (the running verify).
TEST_F(Desktop, ButtonFaceColour) {
  auto* verify = View<QPushButton>("Verify_button");
  const QColor normal = verify->palette().color(QPalette::Button);
  t->ui.SetBackColour("Verify_button", 0x000000FF);
  EXPECT_EQ(verify->palette().color(QPalette::Button), QColor(255, 0, 0));
  t->ui.SetBackColour("Verify_button", colour::kButtonFace);
  EXPECT_EQ(verify->palette().color(QPalette::Button), normal);
}

// Without a viewer of the desktop, the manual opens in the built-in browser.
TEST_F(Desktop, HelpFallsBackToTheBuiltInViewer) {
  const std::string page = File("manual.html", "<html><title>Manual</title><p>Read a chip</p>");
  QtPlatform platform;
  int asked = 0;
  platform.open_url = [&asked](const QUrl&) { return ++asked, false; };
  EXPECT_EQ(platform.OpenDocument(page), std::nullopt);
  ASSERT_NE(platform.BuiltInViewer(), nullptr);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(platform.BuiltInViewer()->isVisible());
  EXPECT_TRUE(platform.BuiltInViewer()->toPlainText().contains("Read a chip"));
  EXPECT_EQ(platform.BuiltInViewer()->windowTitle(), "Manual");
  platform.open_url = [](const QUrl&) { return true; };
  EXPECT_EQ(platform.OpenDocument(page), std::nullopt);
  EXPECT_NE(platform.OpenDocument(page + ".gone"), std::nullopt);
}

// While an operation holds the event loop the window paints at a bounded rate,
// only at the operation's progress reports, and never while the programming
// voltage is on the chip's OE/VPP pin.
TEST_F(Desktop, PaintsAtProgressReportsAtABoundedRateWhileAnOperationRuns) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QCoreApplication::processEvents();
  const std::function<void(int)> report = [this](int i) {
    t->report.DataFlowLightOn();
    t->report.DataFlowLightOff();
    t->ui.SetValueQuiet("ProgressBar1", i);
  };
  const std::function<void(int)> other = [this](int i) {
    t->ui.SetEnabled("Verify_button", i % 2 == 0);
    t->ui.SetText("sbStatusBar", std::to_string(i));
  };
  struct Case {
    const char* what;
    int interval_ms;
    int reg0;
    const std::function<void(int)>* step;
    int paints;
  };
  const Case cases[] = {{"a long interval: the first report only", 1'000'000, 0x40, &report, 1},
                        {"no interval: every report", 0, 0x40, &report, 300},
                        {"VPP on the OE pin: none", 0, 0xC0, &report, 0},
                        {"enables and texts are no reports", 0, 0x40, &other, 0}};
  t->ui.SetEnabled("Read_button", true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PaintCounter flow(View<QLabel>("DataFlow_label"));
    t->ui.SetHandler("Read_button", [&] {
      t->link.Reg0Value = c.reg0;
      for (int i = 1; i <= 100; ++i) (*c.step)(i);
      t->link.Reg0Value = 0x40;
    });
    window->binder().SetPaintPacing(c.interval_ms, 0);
    const int before = window->binder().PaintsWhileBusy();
    QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);
    EXPECT_EQ(window->binder().PaintsWhileBusy() - before, c.paints);
    EXPECT_LE(flow.count, c.paints + 1);
    if (c.paints >= 100) {
      EXPECT_GE(flow.count, 10);
    }
    if (c.step == &report) {
      EXPECT_EQ(View<QProgressBar>("ProgressBar1")->value(), 100);
    }
    QCoreApplication::processEvents();
  }
}

}  // namespace
}  // namespace zambrix::gui::testing
