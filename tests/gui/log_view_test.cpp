// The system log in the window keeps its newest line in view.
#include <QTest>
#include <QTextBlock>

#include "gui/widgets.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

TEST_F(WindowTest, AHundredThousandLinesAppendAndTheNewestStaysInView) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  constexpr int kLines = 100000;
  for (int i = 0; i < kLines; ++i) t->report.LogMessage("line " + std::to_string(i));
  auto* log = View<TextView>("SystemLog");
  QCoreApplication::processEvents();
  EXPECT_EQ(log->document()->lastBlock().text(), "12:34:56>  line 99999");
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()))
      << "the newest line is out of view";
}

}  // namespace
}  // namespace zambrix::gui::testing
