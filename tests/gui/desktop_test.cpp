// The window as a desktop user meets it.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

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
  std::string File(const std::string& name, const std::string& bytes) {
    zambrix::testing::WriteWholeFile(dir / name, bytes);
    return (dir / name).string();
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
  Choose("N/A - Flash AMD AM29F040");
  EXPECT_EQ(ShownText(Devices()), "Please Select Device on this List");
  EXPECT_EQ(ChipInUse(), "In use: Eprom 2732A, 4096 Bytes, VPP 25V");
}

// The wheel and the paging keys over the hex view turn pages as the scroll bar
// does; a 960-byte file's last page is reachable and ends in blanks; the frame
// names the buffer.
TEST_F(Desktop, WheelAndKeysPageTheHexViewToTheLastPartialPage) {
  Choose("Eprom 27C256");
  QTest::mouseClick(View<QPushButton>("Show_button"), Qt::LeftButton);
  auto* view = View<TextView>("BufferDisplay");
  QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->viewport(), &wheel);
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(ShownText(view).startsWith("\n000100| "));
  const std::pair<Qt::Key, int> keys[] = {
      {Qt::Key_End, 127}, {Qt::Key_PageUp, 126}, {Qt::Key_Home, 0}, {Qt::Key_PageDown, 1}};
  for (auto [key, page] : keys) {
    QTest::keyClick(view, key);
    EXPECT_EQ(Page(), page) << key;
  }

  t.dialogs.open_files.push_back(File("short.bin", std::string(960, 'A')));
  View<QAction>("mnuFileOpenCode")->trigger();
  EXPECT_EQ(View<QScrollBar>("VScroll1")->maximum(), 3);
  QTest::keyClick(view, Qt::Key_End);
  EXPECT_EQ(Page(), 3);
  const QStringList rows = ShownText(view).split('\n');
  ASSERT_EQ(rows.size(), 17);
  EXPECT_TRUE(rows[12].startsWith("0003B0| 41414141"));
  EXPECT_EQ(rows[13].simplified(), "0003C0| |");
}

// Labels that act on a click say so while the click acts; file names keep their
// case, lose their middle when long and show the whole path as the tooltip.
TEST_F(Desktop, FileNameLabelsOpenAFileWhileNoneIsNamed) {
  window->resize(1000, 700);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  auto* label = View<ClickLabel>("FileNameCodeText");
  EXPECT_EQ(label->TooltipText(), "Click to open a code file");
  const std::string path = File("MixedCase_" + std::string(90, 'x') + ".BiN", "AB");
  t.dialogs.open_files.push_back(path);
  QTest::mouseClick(label, Qt::LeftButton);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(label->TooltipText().toStdString(), path);
  EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor);  // the click does nothing now
  EXPECT_LT(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(t.dialogs.shown.size(), 1u);
}

TEST_F(Desktop, ShortcutsAndTabOrder) {
  QList<QKeySequence> all;  // no key is given twice
  for (QAction* a : window->findChildren<QAction*>())
    if (!a->shortcut().isEmpty()) all << a->shortcut();
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

// While an operation holds the event loop the window paints at a bounded rate,
// only at the operation's progress reports, and never while the programming
// voltage is on the chip's OE/VPP pin.
TEST_F(Desktop, PaintsAtProgressReportsAtABoundedRateWhileAnOperationRuns) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QCoreApplication::processEvents();
  const std::tuple<const char*, int, int, int> cases[] = {
      // what, interval, latch 0, paints
      {"a long interval: the first report only", 1'000'000, 0x40, 1},
      {"no interval: every report", 0, 0x40, 300},
      {"VPP on the OE pin: none", 0, 0xC0, 0}};
  t->ui.SetEnabled("Read_button", true);
  for (const auto& [what, interval_ms, reg0, paints] : cases) {
    SCOPED_TRACE(what);
    PaintCounter flow(View<QLabel>("DataFlow_label"));
    t->ui.SetHandler("Read_button", [this, latch0 = reg0] {
      t->link.Reg0Value = latch0;
      for (int i = 1; i <= 100; ++i) {
        t->report.DataFlowLightOn();
        t->report.DataFlowLightOff();
        t->ui.SetValueQuiet("ProgressBar1", i);
      }
      t->link.Reg0Value = 0x40;
    });
    window->binder().SetPaintPacing(interval_ms, 0);
    const int before = window->binder().PaintsWhileBusy();
    QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);
    EXPECT_EQ(window->binder().PaintsWhileBusy() - before, paints);
    EXPECT_LE(flow.count, paints + 1);
    if (paints >= 100) {
      EXPECT_GE(flow.count, 10);
    }
    QCoreApplication::processEvents();
  }
}

}  // namespace
}  // namespace zambrix::gui::testing
