// Operator input reaches the core; model changes never come back as input.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
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
}

// While the error alert is lit, Read, Verify, Program and Display show as off
// and a click on them runs nothing; a click on the alert gives them back.
TEST_F(WindowTest, TheErrorAlertLocksTheOperationButtonsUntilItIsClicked) {
  const char* locked[] = {"Read_button", "Verify_button", "Program_button", "Display_button"};
  t->ChooseListIndex("Device", 3);
  for (const char* name : locked) t->ui.SetEnabled(name, true);
  QTest::mouseClick(View<QPushButton>("Read_button"), Qt::LeftButton);  // no board: the alert
  ASSERT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  std::vector<int*> runs;
  for (const char* name : locked) runs.push_back(CountClicks(name));
  for (const char* name : locked) {
    EXPECT_FALSE(View<QPushButton>(name)->isEnabled()) << name;
    QTest::mouseClick(View<QPushButton>(name), Qt::LeftButton);
  }
  QTest::mouseClick(View<QLabel>("Error_label"), Qt::LeftButton);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(*runs[i], 0) << locked[i];
    QTest::mouseClick(View<QPushButton>(locked[i]), Qt::LeftButton);
    EXPECT_EQ(*runs[i], 1) << locked[i];
  }
}

TEST_F(WindowTest, OptionButtonsFollowTheModelsGroups) {
  int* lpt = CountClicks("LPTSelection(1)");
  auto* r1 = View<QRadioButton>("LPTSelection(1)");
  auto* r2 = View<QRadioButton>("LPTSelection(2)");
  QTest::mouseClick(r1, Qt::LeftButton);
  EXPECT_EQ(*lpt, 1);
  QTest::mouseClick(r2, Qt::LeftButton);
  QTest::mouseClick(r2, Qt::LeftButton);  // clicking the selected option keeps it selected
  EXPECT_TRUE(r2->isChecked() && !r1->isChecked());
  // Code clears all three options (start-up does): every one shows cleared.
  for (int i = 0; i < 3; ++i) t->ui.SetValueQuiet(Indexed("LPTSelection", i), 0);
  EXPECT_FALSE(r2->isChecked());
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
}

}  // namespace
}  // namespace zambrix::gui::testing
