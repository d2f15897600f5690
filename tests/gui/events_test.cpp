// Operator input reaches the core, and model changes reach the widgets
// without coming back as input.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include "gui/widgets.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

TEST_F(WindowTest, ClicksOnButtonsLabelsToolbarAndMenusReachTheCore) {
  const char* names[] = {"Read_button", "FileNameCodeText",   "tbToolBar.Buttons(1)",
                         "Setup",       "SystemLog:DblClick", "BufferDisplay:DblClick"};
  std::vector<int*> runs;
  for (const char* name : names) runs.push_back(CountClicks(name));
  t->ui.SetEnabled("Read_button", true);
  QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);
  QTest::mouseClick(View<QLabel>("FileNameCodeText"), Qt::LeftButton);
  View<QAction>("tbToolBar.Buttons(1)")->trigger();
  emit window->findChild<QMenu*>("Setup")->aboutToShow();
  QTest::mouseDClick(View<TextView>("SystemLog")->viewport(), Qt::LeftButton);
  QTest::mouseDClick(View<TextView>("BufferDisplay")->viewport(), Qt::LeftButton);
  for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(*runs[i], 1) << names[i];
  View<QAction>("mnuHelpContents")->trigger();
  EXPECT_EQ(t.platform.opened, std::vector<std::string>{"/opt/zambrix/zambrix5.html"});
}

TEST_F(WindowTest, RefusedDeviceEntrySnapsBack) {
  t->ui.SetItems("Device", {"Eprom 27C256", "N/A - Flash 29F040"});
  t->ui.SetHandler("Device", [this] {
    if (t->ui.ListIndex("Device") != 1) return;
    t->ui.SetListIndex("Device", -1);
    t->ui.SetText("Device", "Please Select Device on this List");
  });
  auto* combo = View<QComboBox>("Device");
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(ShownText(combo), "Please Select Device on this List");

  combo->setCurrentIndex(0);
  emit combo->activated(0);
  EXPECT_EQ(t->ui.Text("Device"), "Eprom 27C256");
}

TEST_F(WindowTest, OptionButtonsFollowTheModelsGroups) {
  int* lpt = CountClicks("LPTSelection(1)");
  auto* r1 = View<QRadioButton>("LPTSelection(1)");
  auto* r2 = View<QRadioButton>("LPTSelection(2)");
  QTest::mouseClick(r1, Qt::LeftButton);
  EXPECT_EQ(*lpt, 1);
  QTest::mouseClick(r2, Qt::LeftButton);
  EXPECT_FALSE(r1->isChecked());
  // Clicking the selected option keeps it selected.
  QTest::mouseClick(r2, Qt::LeftButton);
  EXPECT_TRUE(r2->isChecked());
  // Code clears all three options (start-up does): every one shows cleared.
  for (int i = 0; i < 3; ++i) t->ui.SetValueQuiet(Indexed("LPTSelection", i), 0);
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(View<QRadioButton>(Indexed("LPTSelection", i))->isChecked()) << i;
}

TEST_F(WindowTest, ModelValuesAreNotSentBackAsInput) {
  int* scrolled = CountClicks("VScroll1");
  auto* scroll = View<QScrollBar>("VScroll1");
  t->ui.SetMax("VScroll1", 10);
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

}  // namespace
}  // namespace zambrix::gui::testing
