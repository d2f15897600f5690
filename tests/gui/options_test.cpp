// The window program's own options.
#include <gtest/gtest.h>

#include "gui/gui_app.h"

namespace zambrix::gui {
namespace {

TEST(GuiOptionsTest, BackEndOursAndQtsAreSeparated) {
  GuiOptions o = ParseGuiOptions(
      {"--board", "sim", "--sim-model=4", "--screenshot", "shot.png", "-style", "fusion"});
  EXPECT_EQ(o.backend.board, "sim");
  EXPECT_EQ(o.backend.sim.at("model"), "4");
  EXPECT_EQ(o.screenshot, "shot.png");
  EXPECT_EQ(o.rest, (std::vector<std::string>{"-style", "fusion"}));
  EXPECT_FALSE(o.help);
  EXPECT_TRUE(ParseGuiOptions({"--help"}).help);
  EXPECT_TRUE(ParseGuiOptions({"--version"}).version);
  EXPECT_EQ(ParseGuiOptions({"--screenshot=a.png"}).screenshot, "a.png");
}

TEST(GuiOptionsTest, MissingValuesAreErrors) {
  EXPECT_THROW(ParseGuiOptions({"--screenshot"}), BackEndError);
  EXPECT_THROW(ParseGuiOptions({"--screenshot="}), BackEndError);
  EXPECT_THROW(ParseGuiOptions({"--board"}), BackEndError);
}

}  // namespace
}  // namespace zambrix::gui
