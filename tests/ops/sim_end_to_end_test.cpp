// The blank check through the window's own handlers, on the simulated
// board with datasheet-true chips.
#include <gtest/gtest.h>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;

// The first programmed byte is the one reported, up to the chip's last address.
TEST(SimulatedBlankCheck, TheFirstProgrammedByteIsReported) {
  struct Case {
    const char *chip, *row;
    std::size_t size, at;
    const char* line;
  };
  for (const auto& c :
       {Case{"27C020", "Eprom 27C020", 262144, 0x12345, "Address: 12345 ][ Device Data: 0"},
        Case{"27C512", "Eprom 27C512", 65536, 0xFFFF, "Address: FFFF ][ Device Data: 0"}}) {
    std::vector<std::uint8_t> chip(c.size, 0xFF);
    chip[c.at] = 0x00;
    Programmer p(c.chip, chip);
    p.Choose(c.row);
    p.core().Click("Blank_button");
    const auto lines = p.Log();
    EXPECT_EQ(lines[lines.size() - 2], c.line);
    EXPECT_EQ(p.core().ui.Colour("Error_label"), colour::kRed);
  }
}

}  // namespace
}  // namespace zambrix
