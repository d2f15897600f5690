#include <gtest/gtest.h>

#include "support/fakes.h"

namespace zambrix {
namespace {

using testing::TestCore;

// What is stored is read; garbage and missing values give the defaults.
TEST(WindowPlacement, StoredValuesAreReadAndGarbageFallsBack) {
  TestCore t;
  t.settings.Save("ZAMBRIX6", "Settings", "MainLeft", "1500");
  t.settings.Save("ZAMBRIX6", "Settings", "MainTop", "abc");
  t.settings.Save("ZAMBRIX6", "Settings", "MainWidth", "12345.5");
  t->shell.Form_Load();
  const auto& f = t->ui.Get("frmMain");
  EXPECT_EQ(std::tuple(f.left, f.top, f.width, f.height), std::tuple(1500, 100, 12345.5, 6500));
}

// A viewer that fails says why; a project without a manual opens nothing.
TEST(Help, ShowsWhyTheManualDidNotOpen) {
  TestCore t;
  t.platform.open_error = "No document viewer";
  t->Click("mnuHelpSearchForHelpOn");
  t->shell.HelpFile.clear();
  t->Click("mnuHelpContents");
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(t.dialogs.shown[0].text, "No document viewer");
  EXPECT_EQ(t.platform.opened.size(), 1u);
}

}  // namespace
}  // namespace zambrix
