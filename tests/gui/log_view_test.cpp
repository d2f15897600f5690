// The system log in the window: appended piece by piece, newest line in view,
// fast enough for very long logs.
#include <QTest>
#include <QTextBlock>

#include "gui/widgets.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

TEST_F(WindowTest, LogShowsEveryEntryOnItsOwnLine) {
  t->report.LogMessage("first");
  t->report.LogMessage("second");
  auto* log = View<TextView>("SystemLog");
  QCoreApplication::processEvents();  // the pieces are inserted together
  // Each entry begins with a line break: an empty first line.
  EXPECT_EQ(log->toPlainText(), "\n12:34:56>  first\n12:34:56>  second");
  t->report.LogMessage("waiting");
  t->report.ClearLog();  // what waited goes with the old text
  QCoreApplication::processEvents();
  EXPECT_EQ(log->toPlainText(), "");
  // A line break split across two appends is one break.
  t->ui.AppendText("SystemLog", "a\r");
  t->ui.AppendText("SystemLog", "\nb");
  EXPECT_EQ(ShownText(log), "a\nb");
}

TEST_F(WindowTest, AHundredThousandLinesAppendAndTheNewestStaysInView) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  constexpr int kLines = 100000;
  for (int i = 0; i < kLines; ++i) t->report.LogMessage("line " + std::to_string(i));
  auto* log = View<TextView>("SystemLog");
  QCoreApplication::processEvents();
  EXPECT_EQ(log->document()->blockCount(), kLines + 1);
  EXPECT_EQ(log->document()->lastBlock().text(), "12:34:56>  line 99999");
  EXPECT_EQ(log->MirroredBytes(), t->report.LogText().size());
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()))
      << "the newest line is out of view";
}

}  // namespace
}  // namespace zambrix::gui::testing
