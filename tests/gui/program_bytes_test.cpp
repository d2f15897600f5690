// What the window writes into a chip: only the bytes of the operator's file,
// and a serial chip read back before success is claimed. Files opened and
// Program clicked as the operator does it, on the simulated board.
#include <QAction>
#include <QPushButton>
#include <QTest>

#include "gui_support.h"
#include "ops/program_window_support.h"

namespace zambrix::gui::testing {
namespace {

using zambrix::testing::Programmer;
using zambrix::testing::RandomImage;

// Opens `image` through File / Open Code and clicks Program in the window.
void OpenAndProgram(Programmer& p, const std::vector<std::uint8_t>& image) {
  MainWindow window(p.core());
  const auto path = p.dir / "image.bin";
  zambrix::testing::WriteWholeFile(path, std::string(image.begin(), image.end()));
  p.t->dialogs.open_files.push_back(path.string());
  qobject_cast<QAction*>(window.ViewOf("mnuFileOpenCode"))->trigger();
  auto* program = qobject_cast<QPushButton*>(window.ViewOf("Program_button"));
  ASSERT_TRUE(program->isEnabled());
  QTest::mouseClick(program, Qt::LeftButton);
}

TEST(ProgramBytes, AShortFileLeavesTheRestOfTheChipAlone) {
  Programmer p("27C512");
  p.Choose("Eprom 27C512");
  const auto image = RandomImage(32768, 9);
  OpenAndProgram(p, image);
  EXPECT_TRUE(
      p.Logged("File is 32768 bytes, the Device 65536: the rest of the buffer is FFh and will "
               "not be programmed"));
  EXPECT_TRUE(p.Logged("Programming Device Successfull"));
  const auto& chip = p.Chip();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip.begin()));
  EXPECT_EQ(std::count(chip.begin() + 32768, chip.end(), 0xFF), 32768)
      << "the upper half was programmed";
}

// The 24Cxx gives no failure signal: a byte that refused its write is found by
// reading back what was written, without the verify being asked for.
TEST(ProgramBytes, ASerialChipIsReadBackBeforeSuccessIsClaimed) {
  sim::SimFaults dead;
  dead.dead_byte = 0x100;
  Programmer p("24C16", {}, 6, 12.5, dead);
  p.Choose("24C16");
  OpenAndProgram(p, RandomImage(2048, 4));
  EXPECT_FALSE(p.Logged("Programming Device Successfull"));
  EXPECT_TRUE(p.Logged("Device Memory DOES NOT VERIFY with Buffer Contents"));
  EXPECT_EQ(p.core().ui.Colour("Error_label"), colour::kRed);
}

}  // namespace
}  // namespace zambrix::gui::testing
