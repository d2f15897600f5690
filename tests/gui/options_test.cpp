// The window program's own options.
#include <gtest/gtest.h>

#include "gui/gui_app.h"

namespace zambrix::gui {
namespace {

TEST(GuiOptionsTest, BackEndOursAndQtsAreSeparatedAndMissingValuesAreErrors) {
  GuiOptions o = ParseGuiOptions(
      {"--board", "sim", "--sim-model=4", "--screenshot", "shot.png", "-style", "fusion"});
  EXPECT_EQ(o.backend.board, "sim");
  EXPECT_EQ(o.backend.sim.at("model"), "4");
  EXPECT_EQ(o.screenshot, "shot.png");
  EXPECT_EQ(o.rest, (std::vector<std::string>{"-style", "fusion"}));
  EXPECT_EQ(ParseGuiOptions({"--screenshot=a.png"}).screenshot, "a.png");
  for (const char* bad : {"--screenshot", "--screenshot=", "--board"}) {
    EXPECT_THROW(ParseGuiOptions({bad}), BackEndError) << bad;
  }
}

}  // namespace
}  // namespace zambrix::gui
