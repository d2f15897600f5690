// Operator input reaches the core, and model changes reach the widgets
// without coming back as input.
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "gui/widgets.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

TEST_F(WindowTest, ToolsOptionsShowsItsMessage) {
  View<QAction>("mnuToolsOptions")->trigger();
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "This menu option is not available.");
}

TEST_F(WindowTest, DisabledMenuEntriesAndButtonsDoNotRun) {
  int* save = CountClicks("mnuFileSaveCode");
  View<QAction>("mnuFileSaveCode")->trigger();
  EXPECT_EQ(*save, 0);
  int* read = CountClicks("Read_button");
  t->ui.SetEnabled("Read_button", false);
  QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);
  EXPECT_EQ(*read, 0);
  t->ui.SetEnabled("Read_button", true);
  QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);
  EXPECT_EQ(*read, 1);
}

TEST_F(WindowTest, ClickingTheRedErrorIndicatorResetsTheAlert) {
  t->ui.SetEnabled("Program_button", true);
  t->ui.SetEnabled("Verify_button", false);
  t->report.RaiseErrorAlert();
  auto* error = View<QLabel>("Error_label");
  EXPECT_EQ(error->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_FALSE(View<QPushButton>("Program_button")->isEnabled());

  QTest::mouseClick(error, Qt::LeftButton);
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
  EXPECT_EQ(error->palette().color(QPalette::WindowText),
            QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(t.LogLines().back(), "Error Alert was Turned Off");
  EXPECT_TRUE(View<QPushButton>("Program_button")->isEnabled());
  EXPECT_FALSE(View<QPushButton>("Verify_button")->isEnabled());
}

TEST_F(WindowTest, IndicatorsAndProgressBarRepaintWithoutTheEventLoop) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QCoreApplication::processEvents();
  PaintCounter error(View<QLabel>("Error_label"));
  PaintCounter flow(View<QLabel>("DataFlow_label"));
  PaintCounter progress(View<QProgressBar>("ProgressBar1"));
  // An operation holds the event loop: no events are processed below.
  t->report.DataFlowLightOn();
  EXPECT_EQ(flow.count, 1);
  EXPECT_EQ(View<QLabel>("DataFlow_label")->palette().color(QPalette::WindowText),
            QColor(0, 0x80, 0));
  t->report.ErrorLightOn();
  EXPECT_GE(error.count, 1);
  EXPECT_GE(flow.count, 2);  // ErrorLightOn turns DataFlow off
  t->ui.SetValueQuiet("ProgressBar1", 40);
  EXPECT_GE(progress.count, 1);
  EXPECT_EQ(View<QProgressBar>("ProgressBar1")->value(), 40);
}

TEST_F(WindowTest, RefusedDeviceEntrySnapsBack) {
  t->ui.SetItems("Device", {"Eprom 27C256", "N/A - Flash 29F040"});
  t->ui.SetHandler("Device", [this] {
    if (t->ui.ListIndex("Device") != 1) return;
    t->ui.SetListIndex("Device", -1);
    t->ui.SetText("Device", "Please Select Device on this List");
  });
  auto* combo = View<QComboBox>("Device");
  ASSERT_EQ(combo->count(), 2);

  combo->setCurrentIndex(1);
  emit combo->activated(1);
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(combo->currentText(), "Please Select Device on this List");
  EXPECT_EQ(t->ui.ListIndex("Device"), -1);

  combo->setCurrentIndex(0);
  emit combo->activated(0);
  EXPECT_EQ(t->ui.ListIndex("Device"), 0);
  EXPECT_EQ(t->ui.Text("Device"), "Eprom 27C256");
  EXPECT_EQ(combo->currentText(), "Eprom 27C256");
}

TEST_F(WindowTest, OptionButtonsFollowTheModelsGroups) {
  int* lpt = CountClicks("LPTSelection(1)");
  auto* r1 = View<QRadioButton>("LPTSelection(1)");
  QTest::mouseClick(r1, Qt::LeftButton);
  EXPECT_EQ(*lpt, 1);
  EXPECT_EQ(t->ui.Value("LPTSelection(1)"), 1);
  QTest::mouseClick(View<QRadioButton>("LPTSelection(2)"), Qt::LeftButton);
  EXPECT_FALSE(r1->isChecked());
  EXPECT_EQ(t->ui.Value("LPTSelection(1)"), 0);
  // Clicking the selected option keeps it selected.
  QTest::mouseClick(View<QRadioButton>("LPTSelection(2)"), Qt::LeftButton);
  EXPECT_TRUE(View<QRadioButton>("LPTSelection(2)")->isChecked());
  // Code clears all three options (start-up does): every one shows cleared.
  for (int i = 0; i < 3; ++i) t->ui.SetValueQuiet(Indexed("LPTSelection", i), 0);
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(View<QRadioButton>(Indexed("LPTSelection", i))->isChecked()) << i;

  // Start-up disables the check boxes until a device is chosen.
  t->ui.SetEnabled("CheckCode", true);
  QTest::mouseClick(View<QCheckBox>("CheckCode"), Qt::LeftButton);
  EXPECT_EQ(t->ui.Value("CheckCode"), 1);
}

TEST_F(WindowTest, ModelValuesAreNotSentBackAsInput) {
  int* scrolled = CountClicks("VScroll1");
  auto* scroll = View<QScrollBar>("VScroll1");
  t->ui.SetMax("VScroll1", 10);
  EXPECT_EQ(scroll->maximum(), 10);
  t->ui.SetValue("VScroll1", 3);  // the program pages: one handler run
  EXPECT_EQ(*scrolled, 1);
  EXPECT_EQ(scroll->value(), 3);
  scroll->setValue(5);  // the operator pages
  EXPECT_EQ(*scrolled, 2);
  EXPECT_EQ(t->ui.Value("VScroll1"), 5);

  auto* slider = View<QSlider>("Slider1");
  slider->setValue(70);
  EXPECT_EQ(t->ui.Value("Slider1"), 70);
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/slide.wav");
  const auto sounds = t.sound.played.size();
  t->ui.SetValueQuiet("Slider1", 20);
  EXPECT_EQ(slider->value(), 20);
  EXPECT_EQ(t.sound.played.size(), sounds);
}

TEST_F(WindowTest, ModelChangesShowAtOnce) {
  t->ui.SetCaption("Frame3", "Code Buffer Hex/Ascii Display");
  EXPECT_EQ(View<QGroupBox>("Frame3")->title(), "Code Buffer Hex/Ascii Display");
  t->ui.SetVisible("Frame5", true);
  EXPECT_FALSE(View<QGroupBox>("Frame5")->isHidden());
  t->ui.SetText("sbStatusBar", "Reading Device...");
  EXPECT_EQ(View<QLabel>("sbStatusBar")->text(), "Reading Device...");
  t->ui.SetColour("ZambrixHardwareFound", colour::kGreen);
  EXPECT_EQ(View<QLabel>("ZambrixHardwareFound")->palette().color(QPalette::WindowText),
            QColor(0, 0x80, 0));
  t->ui.SetText("BufferDisplay",
                "\r\n000000| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
  EXPECT_EQ(View<TextView>("BufferDisplay")->toPlainText(),
            "\n000000| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
  t->ui.SetVisible("tbToolBar.Buttons(4)", false);
  EXPECT_FALSE(View<QAction>("tbToolBar.Buttons(4)")->isVisible());
}

TEST_F(WindowTest, ClicksOnLabelsToolbarAndMenusReachTheCore) {
  int* file = CountClicks("FileNameCodeText");
  QTest::mouseClick(View<QLabel>("FileNameCodeText"), Qt::LeftButton);
  EXPECT_EQ(*file, 1);
  int* tool = CountClicks("tbToolBar.Buttons(1)");
  View<QAction>("tbToolBar.Buttons(1)")->trigger();
  EXPECT_EQ(*tool, 1);
  int* setup = CountClicks("Setup");
  emit window->findChild<QMenu*>("Setup")->aboutToShow();
  EXPECT_EQ(*setup, 1);
  View<QAction>("mnuHelpContents")->trigger();
  ASSERT_EQ(t.platform.opened.size(), 1u);
  EXPECT_EQ(t.platform.opened[0], "/opt/zambrix/zambrix5.html");
}

TEST_F(WindowTest, DoubleClicksSaveTheLogAndTheHexView) {
  namespace fs = std::filesystem;
  const fs::path old = fs::current_path();
  const fs::path dir = fs::temp_directory_path() / ("zambrix_gui_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  t->report.LogMessage("hello");
  auto* log = View<TextView>("SystemLog");
  QTest::mouseDClick(log->viewport(), Qt::LeftButton);
  fs::current_path(old);
  EXPECT_TRUE(fs::exists(dir / "ZAMBRIX.LOG"));
  fs::remove_all(dir);
  EXPECT_EQ(t.LogLines().back(), "System Log was Saved to ZAMBRIX.LOG file");

  int* hex = CountClicks("BufferDisplay:DblClick");
  QTest::mouseDClick(View<TextView>("BufferDisplay")->viewport(), Qt::LeftButton);
  EXPECT_EQ(*hex, 1);
}

}  // namespace
}  // namespace zambrix::gui::testing
